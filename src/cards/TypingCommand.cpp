#include "TypingCommand.h"

#include <QCoreApplication>

TypingCommand::TypingCommand(ListItem* item, const std::optional<RichText>& before,
                             const std::optional<RichText>& after, int burst)
    : ChangeNotesCommand(item, before, after,
                         QCoreApplication::translate("ListItemCellView", "Typing"), true)
    , m_burst(burst)
{}

int TypingCommand::newBurst()
{
    static int bursts = 0;
    return ++bursts;
}

bool TypingCommand::mergeWith(const QUndoCommand* other)
{
    const auto* typing = static_cast<const TypingCommand*>(other);
    if (typing->m_burst != m_burst || typing->item() != item() || typing->before() != after())
        return false;
    setAfter(typing->after());
    // Typing that took back all of itself leaves no step.
    setObsolete(after() == before());
    return true;
}
