#pragma once

#include "DataChanges.h"

class ObjectContext;

// Mends what a crash, a full disk or a fault may leave in a loaded graph: objects cut off
// from the tree (a damaged children, columns or items list), cards that lost their column,
// tags that lost their board, a second Root. What the loader skipped as damaged is mended by
// the next save, which writes those rows again from the graph.
class StoreRepair final
{
public:
    StoreRepair() = delete;

    // What the repair would change, unmade; every change is described in one line.
    static DataChanges plan(ObjectContext& context);
    // Makes the changes, again until nothing is left to mend, and returns their descriptions.
    static QStringList repair(ObjectContext& context);

private:
    // Everything but the orphaned cards: the tree, the columns and the tags.
    static void planStructure(ObjectContext& context, DataChanges& changes);
};
