#pragma once

#include <QString>

#include <optional>

// The kinds of stored objects. DisplayItem is abstract: nothing is ever created of it.
enum class Entity
{
    DisplayItem,
    Folder,
    Root,
    List,
    Kanban,
    Tag,
    KanbanColumn,
    ListItem,
};

QString entityName(Entity entity);
std::optional<Entity> entityFromName(QStringView name);

// True when `entity` is `ancestor` or inherits from it (a Root is a Folder and a DisplayItem).
bool entityIsKindOf(Entity entity, Entity ancestor);
