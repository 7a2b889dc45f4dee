#pragma once

#include "DisplayItem.h"

class Folder : public DisplayItem
{
public:
    static constexpr Entity staticEntity = Entity::Folder;
    Entity entity() const override { return staticEntity; }

    // Whether the export selection shows this folder as mixed. As a side effect the folder's
    // own export flag follows its children: true when all are exported, false otherwise.
    // A child folder that is itself mixed counts as partly exported, so that a board checked
    // deep inside the tree still makes every folder above it take part in the export.
    bool childrenHasMixedStates();

protected:
    friend class ObjectContext;
    Folder() = default;
};
