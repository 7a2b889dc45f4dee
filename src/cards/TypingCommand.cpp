#include "TypingCommand.h"

#include "board/ListViewController.h"
#include "model/ListItem.h"
#include "store/AppDelegate.h"
#include "store/ObjectContext.h"

#include <QCoreApplication>

TypingCommand::TypingCommand(ListItem* item, const std::optional<RichText>& before,
                             const std::optional<RichText>& after, int burst)
    : m_item(item)
    , m_before(before)
    , m_after(after)
    , m_burst(burst)
{
    setText(QCoreApplication::translate("ListItemCellView", "Typing"));
}

int TypingCommand::newBurst()
{
    static int bursts = 0;
    return ++bursts;
}

void TypingCommand::redo()
{
    if (std::exchange(m_typed, false))
        return;
    if (!apply(m_after))
        setObsolete(true);
}

void TypingCommand::undo()
{
    if (!apply(m_before))
        setObsolete(true);
}

bool TypingCommand::mergeWith(const QUndoCommand* other)
{
    const auto* typing = static_cast<const TypingCommand*>(other);
    if (typing->m_burst != m_burst || typing->m_item != m_item || typing->m_before != m_after)
        return false;
    m_after = typing->m_after;
    // Typing that took back all of itself leaves no step.
    setObsolete(m_after == m_before);
    return true;
}

bool TypingCommand::apply(const std::optional<RichText>& notes)
{
    auto* item = static_cast<ListItem*>(m_item->context() ? m_item->context()->liveSuccessor(m_item)
                                                          : nullptr);
    if (!item)
        return false;
    m_item = item;
    item->setAttributedNotes(notes);
    if (AppDelegate* delegate = AppDelegate::shared())
        delegate->save();
    // The painted card, and the editor showing the card, take the notes from the card.
    if (ListViewController* controller = ListViewController::controllerShowing(item))
        controller->refreshItem(item);
    return true;
}
