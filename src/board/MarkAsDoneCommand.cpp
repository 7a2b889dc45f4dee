#include "MarkAsDoneCommand.h"

#include "ListViewController.h"
#include "model/ListItem.h"

#include <QCoreApplication>

MarkAsDoneCommand::MarkAsDoneCommand(ListItem* item)
    : m_item(item)
{
    setText(QCoreApplication::translate("ListViewController", "Mark as Done"));
}

void MarkAsDoneCommand::toggle()
{
    if (m_item->isDeleted())
        return;
    const bool markingNotDone = m_item->isDone();
    const bool restored =
        ListViewController::flipDoneStateOfItemWithoutUndo(m_item, m_restoredFromArchive);
    if (markingNotDone)
        m_restoredFromArchive = restored;
}
