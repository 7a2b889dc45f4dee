#pragma once

#include "DataChanges.h"

class ObjectContext;

// The rewrites of data left by earlier versions, and the repair of cards that lost their
// column. Each walks every object of one kind in the order the store keeps them and returns
// what it would change, unmade: the caller makes it (DataChanges::apply) and saves. The
// console lines are written when the changes are made.
class DataUpgrades final
{
public:
    DataUpgrades() = delete;

    // Which cards count as orphans.
    enum class Orphans
    {
        WithoutColumn, // every card without a column, items of lists too
        Detached,      // only cards on neither a board nor a list
    };

    // Gives runs named "title", "header" or "body", and checklist runs, the attributes their
    // note style has now, over the attributes they had.
    static DataChanges updateNotesTextStyle(ObjectContext& context);
    // Strikes through the whole notes of every done card (archived or not); never unstrikes.
    static DataChanges applyStrikeThroughForArchivedItems(ObjectContext& context);
    static DataChanges markArchivedItemsAsDone(ObjectContext& context);
    // Tag i of each board gets colour i, unwrapped.
    static DataChanges assignColoursToTags(ObjectContext& context);
    // Puts each card's title, in the title style, in front of its notes.
    static DataChanges mergeTitleAndNotes(ObjectContext& context);
    // An orphan with a tag goes to the end of the first column of its first tag's board. One
    // that still belongs nowhere afterwards goes to the column "Recovered cards" of the board
    // "Recovered", so that no card is left where no view shows it.
    static DataChanges attachOrphanedListItems(ObjectContext& context,
                                               Orphans orphans = Orphans::WithoutColumn);
    // The same, recorded into `changes`.
    static void attachOrphanedListItems(ObjectContext& context, Orphans orphans,
                                        DataChanges& changes);
};
