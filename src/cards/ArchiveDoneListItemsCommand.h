#pragma once

#include <QList>
#include <QUndoCommand>

class List;
class ListItem;

// "Archive Done Cards" of a plain list: archives its done items (in the working view only);
// undo makes exactly those items active again, redo archives whatever is done by then.
class ArchiveDoneListItemsCommand final : public QUndoCommand
{
public:
    explicit ArchiveDoneListItemsCommand(List* list);

    void redo() override;
    void undo() override;

private:
    List* m_list; // the store keeps deleted objects; a deleted list is left alone
    QList<ListItem*> m_archived;
};
