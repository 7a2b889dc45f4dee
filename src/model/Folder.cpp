#include "Folder.h"

#include <algorithm>

bool Folder::childrenHasMixedStates()
{
    const auto exported =
        std::count_if(children().cbegin(), children().cend(),
                      [](const DisplayItem* child) { return child->isExported(); });
    const bool allExported = !children().isEmpty() && exported == children().size();
    setExportFlag(allExported);
    return !allExported && exported > 0;
}
