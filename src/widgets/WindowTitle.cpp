#include "WindowTitle.h"

#include "model/DisplayItem.h"

QString WindowTitle::forItem(const DisplayItem* item)
{
    if (!item || !(item->isKindOf(Entity::Kanban) || item->isKindOf(Entity::List)))
        return {};
    QString text;
    if (!item->title().isNull())
        text = item->title() + (item->isKindOf(Entity::Kanban) ? QStringLiteral(" (Board)")
                                                               : QStringLiteral(" (List)"));
    for (const DisplayItem* ancestor = item->parent();
         ancestor && ancestor->entity() != Entity::Root; ancestor = ancestor->parent()) {
        if (ancestor->isKindOf(Entity::Folder))
            text = ancestor->title() + QStringLiteral(" - ") + text;
    }
    return text;
}
