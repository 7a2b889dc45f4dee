#include "TagCleanUp.h"

#include "Kanban.h"
#include "ListItem.h"
#include "Tag.h"
#include "store/ObjectContext.h"

#include <QSet>

void TagCleanUp::cleanUpTagsInItems(Kanban* board, const QList<ListItem*>& items)
{
    if (!board)
        return;
    // Duplicates are deleted only after every card has its new tags: one pasted tag may be
    // shared by several cards, and deleting it earlier would take it off the others unseen.
    QList<Tag*> duplicates;
    for (ListItem* item : items) {
        if (!item || item->isDeleted())
            continue;
        QList<Tag*> kept;
        QList<Tag*> replacements;
        for (Tag* tag : item->tags()) {
            Tag* match = nullptr;
            for (Tag* boardTag : board->tags()) {
                if (boardTag != tag && boardTag->name() == tag->name()) {
                    match = boardTag;
                    break;
                }
            }
            if (match) {
                if (!duplicates.contains(tag))
                    duplicates.append(tag);
                replacements.append(match);
            } else {
                kept.append(tag);
                if (tag->kanban() != board)
                    tag->setKanban(board);
            }
        }
        item->setTags(kept + replacements);
    }
    for (Tag* tag : std::as_const(duplicates)) {
        if (!tag->isDeleted() && tag->context())
            tag->context()->deleteObject(tag);
    }
}
