#pragma once

#include <QLineEdit>

// The title of a column. It is a label until editing starts: clicks and drags go through to the
// column (to select or drag it), and only a double click on the title of a selected column, or
// beginEditing(), makes it editable. Return or Enter ends the edit and Escape abandons it;
// leaving the field ends it too.
class DelaySelectionTextField final : public QLineEdit
{
    Q_OBJECT

public:
    explicit DelaySelectionTextField(QWidget* parent = nullptr);

    // Mirrors whether the column is selected; a deselected column's title stops editing.
    bool isSelected() const { return m_isSelected; }
    void setSelected(bool selected);

    bool isEditing() const { return m_editing; }
    // Makes the field editable, focuses it and selects the whole text, so typing replaces it.
    void beginEditing();
    // Ends an edit: with `commit` the text stays and editingEnded tells it; without, the text
    // from before the edit comes back.
    void endEditing(bool commit);

Q_SIGNALS:
    void editingEnded(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void setEditable(bool editable);

    bool m_isSelected = false;
    bool m_editing = false;
    QString m_textBeforeEditing;
};
