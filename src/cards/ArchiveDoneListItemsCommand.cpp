#include "ArchiveDoneListItemsCommand.h"

#include "PlainListViewController.h"
#include "board/ArchiveDoneCardsCommand.h"
#include "model/List.h"
#include "model/ListItem.h"
#include "store/ObjectContext.h"

ArchiveDoneListItemsCommand::ArchiveDoneListItemsCommand(List* list)
    : m_list(list)
{
    setText(ArchiveDoneCardsCommand::actionName());
}

void ArchiveDoneListItemsCommand::redo()
{
    if (List* list = ObjectContext::live(m_list))
        m_archived = PlainListViewController::archiveDoneItemsWithoutUndo(list);
}

void ArchiveDoneListItemsCommand::undo()
{
    if (List* list = ObjectContext::live(m_list))
        PlainListViewController::restoreArchivedItemsWithoutUndo(list,
                                                                 ObjectContext::live(m_archived));
}
