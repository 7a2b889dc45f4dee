#pragma once

#include "model/RichText.h"

#include <QUndoCommand>

#include <optional>

class ListItem;

// "Typing": one burst of typing in a card's notes, held as the notes before and after, so that
// it undoes and redoes whichever editor shows the card, or none. Later keystrokes of the same
// burst merge into it.
class TypingCommand final : public QUndoCommand
{
public:
    // The burst's first step: the typing has already changed the card's notes to `after`.
    TypingCommand(ListItem* item, const std::optional<RichText>& before,
                  const std::optional<RichText>& after, int burst);

    void redo() override;
    void undo() override;
    int id() const override { return typingCommandId; }
    bool mergeWith(const QUndoCommand* other) override;

    // A number no burst has had yet.
    static int newBurst();

private:
    static constexpr int typingCommandId = 0x7479;

    bool apply(const std::optional<RichText>& notes);

    ListItem* m_item; // the store keeps deleted objects; a rebuilt card is followed
    std::optional<RichText> m_before;
    std::optional<RichText> m_after;
    int m_burst;
    bool m_typed = true; // the first redo finds the typing done
};
