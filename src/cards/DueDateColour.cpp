#include "DueDateColour.h"

#include "appearance/Palette.h"
#include "model/ListItem.h"

QColor dueDateColour(const ListItem& item)
{
    if (item.isDone())
        return QColor(Qt::lightGray);
    if (!item.dueDate().isValid())
        return Palette::cardBackgroundColour();
    if (item.isOverdue())
        return Palette::colourFromHex(0xDF6969);
    if (item.isDueSoon())
        return Palette::colourFromHex(0xF6A623);
    return Palette::colourFromHex(0x797979);
}
