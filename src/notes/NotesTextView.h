#pragma once

#include "model/RichText.h"

#include <QTextEdit>

class QMenu;

// The editor of a card's notes: rich text in the note styles, checklist boxes drawn over the
// indent of checklist lines, the first line of an empty text typed as a title, and Return after
// a heading continuing in body text. It lays out its text exactly as the painted card does.
// It keeps no undo history: its document's is off, and Undo and Redo (keys and text menu) are
// the window's.
class NotesTextView final : public QTextEdit
{
    Q_OBJECT

public:
    explicit NotesTextView(QWidget* parent = nullptr);

    // The editor's own clipboard type: a CBOR map of the rich-text object of the exchange
    // document, so that styles and ticks survive copying between cards.
    static QString corklineAttributedString() { return QStringLiteral("corklineAttributedString"); }

    void setRichText(const RichText& text);
    RichText richText() const;

    // Whether the editor is being edited (has the keyboard).
    bool isEditing() const { return m_isFirstResponder; }

    // Heights of the text as laid out now, with the inset above and below: the whole text (at
    // least 30), and the first line alone (the same when there is only one line).
    qreal heightRequiredToFitContent() const;
    qreal heightRequiredForFirstLineOfText() const;

    // A line ending at the caret (Return, also with Shift) starts a new body line after a
    // title or header, and a new unticked checklist line in a checklist line; Return on an
    // empty checklist line turns it into body text instead.
    void insertNewline();

    // The text menu at a point of the document, its Undo and Redo the window's; the caller
    // owns it.
    QMenu* createTextMenu(const QPoint& position);

Q_SIGNALS:
    void editingStarted();
    void editingEnded();

protected:
    QMimeData* createMimeDataFromSelection() const override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // The empty text's line takes the title style, so that every caret in it types a title.
    void startWithTitle();

    bool m_isFirstResponder = false;
};
