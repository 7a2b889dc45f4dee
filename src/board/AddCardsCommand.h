#pragma once

#include "RemovedCards.h"

#include <QList>
#include <QUndoCommand>

class KanbanColumn;
class ListItem;

// "New Card" or "Paste Card": cards just added to a column (the push finds them there). Undo
// takes them out again, remembering them as they are by then; redo brings them back as they
// were, at their places, so that later steps (typing into a new card) apply to them again.
class AddCardsCommand final : public QUndoCommand
{
public:
    AddCardsCommand(const QString& text, KanbanColumn* column, const QList<ListItem*>& items);

    void redo() override;
    void undo() override;

    static QString newCardName();
    static QString pasteCardName();

private:
    KanbanColumn* m_column;
    QList<ListItem*> m_items; // as added, or as rebuilt by the last redo
    RemovedCards m_removed;
    bool m_added = true; // the first redo finds the cards added
};
