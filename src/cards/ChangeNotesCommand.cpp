#include "ChangeNotesCommand.h"

#include "board/ListViewController.h"
#include "model/ListItem.h"
#include "store/AppDelegate.h"
#include "store/ObjectContext.h"

ChangeNotesCommand::ChangeNotesCommand(ListItem* item, const std::optional<RichText>& before,
                                       const std::optional<RichText>& after, const QString& text,
                                       bool alreadyDone)
    : m_item(item)
    , m_before(before)
    , m_after(after)
    , m_done(alreadyDone)
{
    setText(text);
}

void ChangeNotesCommand::redo()
{
    if (std::exchange(m_done, false))
        return;
    if (!apply(m_after))
        setObsolete(true);
}

void ChangeNotesCommand::undo()
{
    if (!apply(m_before))
        setObsolete(true);
}

bool ChangeNotesCommand::apply(const std::optional<RichText>& notes)
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
