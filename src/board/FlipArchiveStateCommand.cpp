#include "FlipArchiveStateCommand.h"

#include "ListViewController.h"
#include "model/ListItem.h"
#include "store/AppDelegate.h"
#include "store/NotificationCenter.h"
#include "store/ObjectContext.h"

#include <QCoreApplication>

FlipArchiveStateCommand::FlipArchiveStateCommand(ListItem* item)
    : m_item(item)
{
    setText(actionName(!item->isArchived()));
}

QString FlipArchiveStateCommand::actionName(bool archiving)
{
    return archiving ? QCoreApplication::translate("ListViewController", "Archive Card")
                     : QCoreApplication::translate("ListViewController", "Restore Card");
}

void FlipArchiveStateCommand::flip()
{
    ListItem* item = ObjectContext::live(m_item);
    if (!item) {
        setObsolete(true);
        return;
    }
    m_item = item;
    if (ListViewController* controller = ListViewController::controllerShowing(m_item)) {
        controller->flipArchiveStateOfItem(m_item);
    } else {
        m_item->setArchived(!m_item->isArchived());
        if (AppDelegate* delegate = AppDelegate::shared())
            delegate->save();
    }
    NotificationCenter::defaultCenter().post(QStringLiteral("refreshToolBar"));
}
