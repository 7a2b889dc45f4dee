#include "ArchiveDoneCardsCommand.h"

#include "KanbanViewController.h"

#include <QCoreApplication>

ArchiveDoneCardsCommand::ArchiveDoneCardsCommand(KanbanViewController* board)
    : m_board(board)
{
    setText(actionName());
}

QString ArchiveDoneCardsCommand::actionName()
{
    return QCoreApplication::translate("KanbanViewController", "Archive Done Cards");
}

void ArchiveDoneCardsCommand::redo()
{
    if (m_board)
        m_archived = m_board->archiveDoneItemsWithoutUndo();
}

void ArchiveDoneCardsCommand::undo()
{
    if (m_board)
        m_board->restoreArchivedItemsWithoutUndo(m_archived);
}
