#pragma once

#include "Folder.h"

// The single invisible top of the sidebar tree.
class Root final : public Folder
{
public:
    static constexpr Entity staticEntity = Entity::Root;
    Entity entity() const override { return staticEntity; }

private:
    friend class ObjectContext;
    Root() = default;
};
