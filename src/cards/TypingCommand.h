#pragma once

#include "ChangeNotesCommand.h"

// "Typing": one burst of typing in a card's notes. Later keystrokes of the same burst merge
// into it.
class TypingCommand final : public ChangeNotesCommand
{
public:
    // The burst's first step: the typing has already changed the card's notes to `after`.
    TypingCommand(ListItem* item, const std::optional<RichText>& before,
                  const std::optional<RichText>& after, int burst);

    int id() const override { return typingCommandId; }
    bool mergeWith(const QUndoCommand* other) override;

    // A number no burst has had yet.
    static int newBurst();

private:
    static constexpr int typingCommandId = 0x7479;

    int m_burst;
};
