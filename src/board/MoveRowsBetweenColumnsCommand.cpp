#include "MoveRowsBetweenColumnsCommand.h"

#include "KanbanColumnListViewController.h"
#include "MoveRowsCommand.h"
#include "model/KanbanColumn.h"
#include "model/ListItem.h"
#include "store/AppDelegate.h"

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

bool MoveRowsBetweenColumnsCommand::canRun() const
{
    return !m_destination->isDeleted() && (!m_source || !m_source->isDeleted()) &&
           std::none_of(m_items.cbegin(), m_items.cend(),
                        [](const ListItem* item) { return item->isDeleted(); }) &&
           KanbanColumnListViewController::controllerFor(m_destination);
}

void MoveRowsBetweenColumnsCommand::redo()
{
    if (!canRun()) {
        setObsolete(true);
        return;
    }
    KanbanColumnListViewController::controllerFor(m_destination)
        ->insertItemsWithoutUndo(m_items, m_destinationIndexes);
    if (auto* source = KanbanColumnListViewController::controllerFor(m_source))
        source->takeItemsWithoutUndo(m_items);
}

void MoveRowsBetweenColumnsCommand::undo()
{
    auto* source = KanbanColumnListViewController::controllerFor(m_source);
    if (!canRun() || !m_source) {
        setObsolete(true);
        return;
    }
    if (source) {
        source->insertItemsWithoutUndo(m_items, m_sourceIndexes);
    } else {
        // The source column is not on screen: its stored cards take the cards back.
        QList<ListItem*> stored = m_source->item();
        for (qsizetype k = 0; k < m_items.size(); ++k)
            stored.insert(std::min<qsizetype>(m_sourceIndexes.value(k), stored.size()),
                          m_items.at(k));
        m_source->setItem(stored);
        if (AppDelegate* delegate = AppDelegate::shared())
            delegate->save();
    }
    KanbanColumnListViewController::controllerFor(m_destination)->takeItemsWithoutUndo(m_items);
}
