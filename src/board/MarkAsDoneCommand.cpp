#include "MarkAsDoneCommand.h"

#include "ListViewController.h"
#include "model/ListItem.h"
#include "store/ObjectContext.h"

#include <QCoreApplication>

MarkAsDoneCommand::MarkAsDoneCommand(ListItem* item)
    : m_item(item)
{
    setText(QCoreApplication::translate("ListViewController", "Mark as Done"));
}

void MarkAsDoneCommand::toggle()
{
    // A card deleted and brought back by undo (with its column or board) is the rebuilt one.
    ListItem* item = ObjectContext::live(m_item);
    if (!item) {
        setObsolete(true);
        return;
    }
    m_item = item;
    const bool markingNotDone = m_item->isDone();
    const bool restored =
        ListViewController::flipDoneStateOfItemWithoutUndo(m_item, m_restoredFromArchive);
    if (markingNotDone)
        m_restoredFromArchive = restored;
}
