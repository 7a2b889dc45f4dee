#include "TagNameTableCell.h"

#include "RenameTagCommand.h"
#include "model/Tag.h"
#include "store/AppDelegate.h"
#include "store/NotificationCenter.h"
#include "widgets/MessageBox.h"

#include <QUndoStack>

TagNameTableCell::TagNameTableCell(QWidget* parent)
    : QLineEdit(parent)
{
    setFrame(false);
    setAccessibleName(tr("Tag name"));
    connect(this, &QLineEdit::editingFinished, this, &TagNameTableCell::tagNameChanged);
    // Undo and redo rename the tag behind the field's back.
    NotificationCenter::defaultCenter().addObserver(
        this, QStringLiteral("tagValueChanged"), [this](const NotificationCenter::Notification& n) {
            if (m_tag && n.sender == m_tag && !isModified())
                setObjectValue(m_tag);
        });
}

void TagNameTableCell::setObjectValue(Tag* tag)
{
    m_tag = tag;
    setText(tag ? tag->name() : QString());
}

void TagNameTableCell::tagNameChanged()
{
    if (!m_tag || m_tag->isDeleted() || text().trimmed() == m_tag->name()) {
        setObjectValue(m_tag);
        return;
    }
    if (const std::optional<QString> reason = RenameTagCommand::refusal(m_tag, text())) {
        const QString attempted = text();
        setObjectValue(m_tag);
        MessageBox::critical(window(), tr("The tag cannot be renamed to “%1”.").arg(attempted),
                             *reason);
        return;
    }
    if (QUndoStack* stack = AppDelegate::sharedUndoStack())
        stack->push(new RenameTagCommand(m_tag, text()));
    setObjectValue(m_tag);
}
