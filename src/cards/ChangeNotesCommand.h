#pragma once

#include "model/RichText.h"

#include <QUndoCommand>

#include <optional>

class ListItem;

// A change of a card's notes held as the notes before and after, so that it undoes and redoes
// whichever editor shows the card, or none; the store is saved each time. Its text names the
// change ("Style Change", "Toggle Checklist").
class ChangeNotesCommand : public QUndoCommand
{
public:
    // With `alreadyDone` the change has already been made (by the editor), and the first redo
    // finds nothing to do.
    ChangeNotesCommand(ListItem* item, const std::optional<RichText>& before,
                       const std::optional<RichText>& after, const QString& text, bool alreadyDone);

    void redo() override;
    void undo() override;

protected:
    const ListItem* item() const { return m_item; }
    const std::optional<RichText>& before() const { return m_before; }
    const std::optional<RichText>& after() const { return m_after; }
    void setAfter(const std::optional<RichText>& after) { m_after = after; }

private:
    bool apply(const std::optional<RichText>& notes);

    ListItem* m_item; // the store keeps deleted objects; a rebuilt card is followed
    std::optional<RichText> m_before;
    std::optional<RichText> m_after;
    bool m_done;
};
