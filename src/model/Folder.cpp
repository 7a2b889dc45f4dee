#include "Folder.h"

bool Folder::childrenHasMixedStates()
{
    qsizetype exported = 0;
    bool partly = false;
    for (DisplayItem* child : children()) {
        auto* folder = child->isKindOf(Entity::Folder) ? static_cast<Folder*>(child) : nullptr;
        if (folder && folder->childrenHasMixedStates())
            partly = true;
        else if (child->isExported())
            ++exported;
    }
    const bool allExported = !children().isEmpty() && exported == children().size();
    setExportFlag(allExported);
    return !allExported && (exported > 0 || partly);
}
