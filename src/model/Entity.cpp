#include "Entity.h"

#include <array>
#include <utility>

namespace {

constexpr std::array names{
    std::pair{Entity::DisplayItem, u"DisplayItem"},
    std::pair{Entity::Folder, u"Folder"},
    std::pair{Entity::Root, u"Root"},
    std::pair{Entity::List, u"List"},
    std::pair{Entity::Kanban, u"Kanban"},
    std::pair{Entity::Tag, u"Tag"},
    std::pair{Entity::KanbanColumn, u"KanbanColumn"},
    std::pair{Entity::ListItem, u"ListItem"},
};

std::optional<Entity> parentEntity(Entity entity)
{
    switch (entity) {
    case Entity::Folder:
    case Entity::List:
    case Entity::Kanban:
    case Entity::Tag:
        return Entity::DisplayItem;
    case Entity::Root:
        return Entity::Folder;
    default:
        return std::nullopt;
    }
}

} // namespace

QString entityName(Entity entity)
{
    for (const auto& [value, name] : names) {
        if (value == entity)
            return QString::fromUtf16(name);
    }
    return {};
}

std::optional<Entity> entityFromName(QStringView name)
{
    for (const auto& [value, entityName] : names) {
        if (name == QStringView(entityName))
            return value;
    }
    return std::nullopt;
}

bool entityIsKindOf(Entity entity, Entity ancestor)
{
    for (std::optional<Entity> e = entity; e; e = parentEntity(*e)) {
        if (*e == ancestor)
            return true;
    }
    return false;
}
