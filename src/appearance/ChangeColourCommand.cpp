#include "ChangeColourCommand.h"

#include "model/Tag.h"
#include "store/AppDelegate.h"
#include "store/NotificationCenter.h"

#include <QCoreApplication>

ChangeColourCommand::ChangeColourCommand(DisplayItem* item, qint16 colour)
    : m_item(item)
    , m_oldColour(item->colour())
    , m_newColour(colour)
{
    setText(item->isKindOf(Entity::Tag) ? tagActionName() : actionName());
}

QString ChangeColourCommand::actionName()
{
    return QCoreApplication::translate("ChangeColourCommand", "Change Colour");
}

QString ChangeColourCommand::tagActionName()
{
    return QCoreApplication::translate("ChangeColourCommand", "Change Tag Colour");
}

bool ChangeColourCommand::apply(qint16 colour)
{
    if (m_item->isDeleted())
        return false;
    m_item->setColour(colour);
    if (AppDelegate* delegate = AppDelegate::shared())
        delegate->save();
    if (m_item->isKindOf(Entity::Tag))
        NotificationCenter::defaultCenter().post(
            QStringLiteral("tagValueChanged"), m_item,
            {{QStringLiteral("affectedTag"), QVariant::fromValue(static_cast<Tag*>(m_item))}});
    return true;
}

void ChangeColourCommand::redo()
{
    if (!apply(m_newColour))
        setObsolete(true);
}

void ChangeColourCommand::undo()
{
    if (!apply(m_oldColour))
        setObsolete(true);
}
