#include "RenameTagCommand.h"

#include "model/Kanban.h"
#include "model/Tag.h"
#include "store/AppDelegate.h"
#include "store/NotificationCenter.h"

#include <QCoreApplication>

RenameTagCommand::RenameTagCommand(Tag* tag, const QString& newName)
    : m_tag(tag)
    , m_oldName(tag->name())
    , m_newName(newName.trimmed())
{
    setText(actionName());
}

QString RenameTagCommand::actionName()
{
    return QCoreApplication::translate("RenameTagCommand", "Rename Tag");
}

std::optional<QString> RenameTagCommand::refusal(const Tag* tag, const QString& name)
{
    const QString wanted = name.trimmed();
    if (wanted.isEmpty())
        return QCoreApplication::translate("RenameTagCommand", "A tag needs a name.");
    if (wanted.contains(QLatin1Char(',')))
        return QCoreApplication::translate("RenameTagCommand",
                                           "A tag name cannot contain a comma.");
    if (const Kanban* board = tag->kanban()) {
        for (const Tag* other : board->tags()) {
            if (other != tag && !other->isDeleted() && other->name() == wanted)
                return QCoreApplication::translate("RenameTagCommand",
                                                   "This board already has a tag named “%1”.")
                    .arg(wanted);
        }
    }
    return std::nullopt;
}

bool RenameTagCommand::apply(const QString& name)
{
    // A later rename may have taken the name meanwhile: two tags must never share one.
    if (m_tag->isDeleted() || refusal(m_tag, name))
        return false;
    m_tag->setName(name);
    if (AppDelegate* delegate = AppDelegate::shared())
        delegate->save();
    NotificationCenter::defaultCenter().post(
        QStringLiteral("tagValueChanged"), m_tag,
        {{QStringLiteral("affectedTag"), QVariant::fromValue(m_tag)}});
    return true;
}

void RenameTagCommand::redo()
{
    if (!apply(m_newName))
        setObsolete(true);
}

void RenameTagCommand::undo()
{
    if (!apply(m_oldName))
        setObsolete(true);
}
