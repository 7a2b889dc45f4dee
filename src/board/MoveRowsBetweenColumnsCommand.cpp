#include "MoveRowsBetweenColumnsCommand.h"

#include "KanbanColumnListViewController.h"
#include "MoveRowsCommand.h"
#include "model/KanbanColumn.h"
#include "model/ListItem.h"
#include "store/AppDelegate.h"
#include "store/ObjectContext.h"

#include <QWidget>

#include <algorithm>

MoveRowsBetweenColumnsCommand::MoveRowsBetweenColumnsCommand(KanbanColumn* source,
                                                             const QList<int>& sourceIndexes,
                                                             KanbanColumn* destination,
                                                             const QList<int>& destinationIndexes,
                                                             const QList<ListItem*>& items)
    : m_source(source)
    , m_sourceIndexes(sourceIndexes)
    , m_destination(destination)
    , m_destinationIndexes(destinationIndexes)
    , m_items(items)
{
    setText(MoveRowsCommand::actionName(items.size()));
}

MoveRowsBetweenColumnsCommand::Parties MoveRowsBetweenColumnsCommand::liveParties() const
{
    // Either column, and the cards with it, may have been deleted and brought back by undo.
    Parties parties{ObjectContext::live(m_source), ObjectContext::live(m_destination), {}};
    for (ListItem* item : m_items)
        parties.items.append(ObjectContext::live(item));
    return parties;
}

bool MoveRowsBetweenColumnsCommand::canRun(const Parties& parties, bool needsSource) const
{
    return parties.destination && (parties.source || (!needsSource && !m_source)) &&
           !parties.items.contains(nullptr) &&
           KanbanColumnListViewController::controllerFor(parties.destination);
}

void MoveRowsBetweenColumnsCommand::redo()
{
    const Parties parties = liveParties();
    if (!canRun(parties, false)) {
        setObsolete(true);
        return;
    }
    KanbanColumnListViewController::controllerFor(parties.destination)
        ->insertItemsWithoutUndo(parties.items, m_destinationIndexes);
    if (auto* source = KanbanColumnListViewController::controllerFor(parties.source))
        source->takeItemsWithoutUndo(parties.items);
}

void MoveRowsBetweenColumnsCommand::undo()
{
    const Parties parties = liveParties();
    if (!canRun(parties, true)) {
        setObsolete(true);
        return;
    }
    if (auto* source = KanbanColumnListViewController::controllerFor(parties.source)) {
        source->insertItemsWithoutUndo(parties.items, m_sourceIndexes);
    } else {
        // The source column is not on screen: its stored cards take the cards back.
        QList<ListItem*> stored = parties.source->item();
        for (qsizetype k = 0; k < parties.items.size(); ++k)
            stored.insert(std::min<qsizetype>(m_sourceIndexes.value(k), stored.size()),
                          parties.items.at(k));
        parties.source->setItem(stored);
        if (AppDelegate* delegate = AppDelegate::shared())
            delegate->save();
    }
    KanbanColumnListViewController::controllerFor(parties.destination)
        ->takeItemsWithoutUndo(parties.items);
}
