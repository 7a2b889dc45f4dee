#include "ArchiveDoneListItemsCommand.h"

#include "PlainListViewController.h"
#include "board/ArchiveDoneCardsCommand.h"
#include "model/List.h"

ArchiveDoneListItemsCommand::ArchiveDoneListItemsCommand(List* list)
    : m_list(list)
{
    setText(ArchiveDoneCardsCommand::actionName());
}

void ArchiveDoneListItemsCommand::redo()
{
    if (!m_list->isDeleted())
        m_archived = PlainListViewController::archiveDoneItemsWithoutUndo(m_list);
}

void ArchiveDoneListItemsCommand::undo()
{
    if (!m_list->isDeleted())
        PlainListViewController::restoreArchivedItemsWithoutUndo(m_list, m_archived);
}
