#include "ChangeBackgroundCommand.h"

#include "model/DisplayItem.h"
#include "store/AppDelegate.h"
#include "store/NotificationCenter.h"

#include <QCoreApplication>

ChangeBackgroundCommand::ChangeBackgroundCommand(DisplayItem* item, const QString& bgImage)
    : m_item(item)
    , m_oldBgImage(item->bgImage())
    , m_newBgImage(bgImage)
{
    setText(actionName());
}

QString ChangeBackgroundCommand::actionName()
{
    return QCoreApplication::translate("ChangeBackgroundCommand", "Change Background");
}

bool ChangeBackgroundCommand::apply(const QString& bgImage)
{
    if (m_item->isDeleted())
        return false;
    m_item->setBgImage(bgImage);
    if (AppDelegate* delegate = AppDelegate::shared())
        delegate->save();
    NotificationCenter::defaultCenter().post(QStringLiteral("BackgroundChanged"), m_item);
    return true;
}

void ChangeBackgroundCommand::redo()
{
    if (!apply(m_newBgImage))
        setObsolete(true);
}

void ChangeBackgroundCommand::undo()
{
    if (!apply(m_oldBgImage))
        setObsolete(true);
}
