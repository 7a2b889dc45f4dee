#pragma once

#include <QToolButton>

class QMenu;
class Tag;

// The colour cell of a board's tag table: a swatch of the tag's colour whose menu offers the
// seven palette colours, the tag's own one checked; choosing one recolours the tag (undoably).
class TagColourTableCell final : public QToolButton
{
    Q_OBJECT

public:
    static constexpr int swatchSize = 16;

    explicit TagColourTableCell(QWidget* parent = nullptr);

    Tag* objectValue() const { return m_tag; }
    void setObjectValue(Tag* tag);
    QMenu* colourPopupMenu() const { return m_colourPopupMenu; }

    void populateMenu();
    void colourChanged(int colour);

    static QIcon swatch(int colour);

private:
    Tag* m_tag = nullptr;
    QMenu* m_colourPopupMenu;
};
