#pragma once

#include <QLineEdit>

class Tag;

// The name cell of a board's tag table: shows the tag's name and renames the tag (undoably)
// when editing ends. A name the tag cannot take is refused with a message and the field shows
// the tag's name again.
class TagNameTableCell final : public QLineEdit
{
    Q_OBJECT

public:
    explicit TagNameTableCell(QWidget* parent = nullptr);

    Tag* objectValue() const { return m_tag; }
    void setObjectValue(Tag* tag);

    void tagNameChanged();

private:
    Tag* m_tag = nullptr;
};
