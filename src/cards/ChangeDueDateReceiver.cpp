#include "ChangeDueDateReceiver.h"

#include "ChangeDueDateCommand.h"
#include "model/ListItem.h"
#include "store/AppDelegate.h"

#include <QWidget>

ChangeDueDateReceiver::ChangeDueDateReceiver(ListItem* item, QObject* parent)
    : QObject(parent)
    , m_item(item)
{}

void ChangeDueDateReceiver::datePickedWithDate(const std::optional<QDateTime>& date)
{
    const QDateTime newDate = date.value_or(QDateTime());
    if (m_item->isDeleted() || newDate == m_item->dueDate())
        return;
    if (AppDelegate* delegate = AppDelegate::shared())
        delegate->undoManager()->push(new ChangeDueDateCommand(m_item, newDate));
    else
        ChangeDueDateCommand::setDueDate(m_item, newDate);
}
