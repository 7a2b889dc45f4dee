#include "ChangeDueDateCommand.h"

#include "board/ListViewController.h"
#include "model/ListItem.h"
#include "store/AppDelegate.h"
#include "store/NotificationCenter.h"
#include "store/ObjectContext.h"

#include <QCoreApplication>
#include <QWidget>

ChangeDueDateCommand::ChangeDueDateCommand(ListItem* item, const QDateTime& newDate)
    : m_item(item)
    , m_oldDate(item->dueDate())
    , m_newDate(newDate)
{
    setText(QCoreApplication::translate("ListItemCellView", "Change Due Date"));
}

void ChangeDueDateCommand::apply(const QDateTime& date)
{
    ListItem* item = ObjectContext::live(m_item);
    if (!item) {
        setObsolete(true);
        return;
    }
    m_item = item;
    setDueDate(item, date);
}

void ChangeDueDateCommand::setDueDate(ListItem* item, const QDateTime& date)
{
    item->setDueDate(date);
    if (AppDelegate* delegate = AppDelegate::shared())
        delegate->save();
    if (ListViewController* controller = ListViewController::controllerShowing(item))
        controller->refreshItem(item);
    NotificationCenter::defaultCenter().post(QStringLiteral("dueSoonDefinitionChanged"));
}
