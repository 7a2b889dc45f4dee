#include "PlainListViewController.h"

#include "ArchiveDoneListItemsCommand.h"
#include "MoveListItemsCommand.h"
#include "NewListItemCommand.h"
#include "PlainListTableView.h"
#include "board/CardTableModel.h"
#include "cards/ListItemCellView.h"
#include "model/Clock.h"
#include "model/List.h"
#include "model/ListItem.h"
#include "model/NoteStyle.h"
#include "store/AppDelegate.h"
#include "store/NotificationCenter.h"
#include "store/ObjectContext.h"

#include <QUndoStack>

#include <algorithm>

PlainListViewController::PlainListViewController(QWidget* parentWidget)
    : ListViewController(nullptr)
{
    m_view = new PlainListTableView(this, parentWidget);
    setParent(m_view);
    setTableView(m_view);
    cellView()->setPresentedContext(0);
}

PlainListViewController::~PlainListViewController() = default;

PlainListViewController* PlainListViewController::controllerFor(const List* list)
{
    if (!list)
        return nullptr;
    // The newest controller of a list is the one on screen.
    const QList<ListViewController*>& all = liveControllers();
    for (auto it = all.crbegin(); it != all.crend(); ++it) {
        auto* controller = qobject_cast<PlainListViewController*>(*it);
        if (controller && controller->list() == list)
            return controller;
    }
    return nullptr;
}

void PlainListViewController::setList(List* list)
{
    m_view->closeOpenEditor();
    m_list = list && !list->isDeleted() ? list : nullptr;
    setDraggedItemIndexes({});
    cellView()->invalidateAll();
    fetchListItems();
    clearSelection();
}

StoredObject* PlainListViewController::container() const
{
    return m_list;
}

QList<ListItem*> PlainListViewController::storedItems() const
{
    return m_list ? m_list->item() : QList<ListItem*>();
}

void PlainListViewController::setStoredItems(const QList<ListItem*>& items)
{
    if (m_list)
        m_list->setItem(items);
}

int PlainListViewController::numberOfDoneNotArchived() const
{
    const QList<ListItem*> items = storedItems();
    return int(std::count_if(items.cbegin(), items.cend(), [](const ListItem* item) {
        return item->done() == true && item->archived() == false;
    }));
}

// Undoable changes

ListItem* PlainListViewController::addItemWithTitle(const QString& text)
{
    QUndoStack* stack = AppDelegate::sharedUndoStack();
    if (!m_list || m_list->isDeleted()) {
        qInfo("list not found");
        return nullptr;
    }
    if (!stack)
        return nullptr;
    auto* command = new NewListItemCommand(m_list, text);
    stack->push(command);
    return command->item();
}

bool PlainListViewController::moveDraggedItems(int row)
{
    QUndoStack* stack = AppDelegate::sharedUndoStack();
    QList<int> dragged = draggedItemIndexes();
    if (!m_list || !stack || dragged.isEmpty())
        return false;
    std::sort(dragged.begin(), dragged.end());
    const QList<ListItem*> before = listItems();
    int d = indexFromTableWithRow(row);
    if (d > dragged.last())
        d -= int(dragged.size());
    QList<ListItem*> order = before;
    QList<ListItem*> moved;
    for (auto it = dragged.crbegin(); it != dragged.crend(); ++it) {
        if (*it >= 0 && *it < order.size())
            moved.prepend(order.takeAt(*it));
    }
    d = std::clamp(d, 0, int(order.size()));
    for (qsizetype k = 0; k < moved.size(); ++k)
        order.insert(d + k, moved.at(k));
    std::stable_sort(order.begin(), order.end(), [](const ListItem* a, const ListItem* b) {
        return !a->isArchived() && b->isArchived();
    });
    if (order == before)
        return true; // dropped where they were: nothing to undo
    stack->push(new MoveListItemsCommand(m_list, m_list->item(), order, moved));
    return true;
}

void PlainListViewController::moveSelectedItemsBy(int step)
{
    QUndoStack* stack = AppDelegate::sharedUndoStack();
    const QList<ListItem*> selected = selectedItems();
    if (!m_list || !stack || selected.isEmpty() || step == 0)
        return;
    QList<ListItem*> order = listItems();
    QList<int> indexes;
    for (ListItem* item : selected)
        indexes.append(int(order.indexOf(item)));
    std::sort(indexes.begin(), indexes.end());
    // The item next to the selected block changes places with it, if it is on the same side of
    // the header.
    const int neighbour = step < 0 ? indexes.first() - 1 : indexes.last() + 1;
    if (neighbour < 0 || neighbour >= order.size() || tableRowForItem(order.at(neighbour)) < 0 ||
        order.at(neighbour)->isArchived() != selected.constFirst()->isArchived())
        return;
    ListItem* passed = order.takeAt(neighbour);
    const int at = step < 0 ? indexes.last() : indexes.first();
    order.insert(at, passed);
    m_view->closeOpenEditor();
    stack->push(new MoveListItemsCommand(m_list, m_list->item(), order, selected));
    m_view->selectionModel()->setCurrentIndex(tableModel()->indexForItem(selected.constFirst()),
                                              QItemSelectionModel::NoUpdate);
}

void PlainListViewController::archiveDoneItemsUndoably()
{
    if (QUndoStack* stack = AppDelegate::sharedUndoStack(); stack && m_list)
        stack->push(new ArchiveDoneListItemsCommand(m_list));
}

// Changes of the stored list

QList<ListItem*> PlainListViewController::displayOrder(const List* list)
{
    QList<ListItem*> items = list ? list->item() : QList<ListItem*>();
    std::stable_sort(items.begin(), items.end(), [](const ListItem* a, const ListItem* b) {
        return !a->isArchived() && b->isArchived();
    });
    return items;
}

ListItem* PlainListViewController::addItemWithoutUndo(List* list, const QString& title)
{
    ObjectContext* objects = AppDelegate::sharedContext();
    if (!objects || !list || list->isDeleted())
        return nullptr;
    auto* item = objects->insert<ListItem>();
    item->setTitle(title);
    item->setDateAdded(Clock::now());
    // A card shows its notes, not its title: the text is the notes' one title line.
    item->setAttributedNotes(RichText(title, NoteStyle::attributes(NoteStyle::Title)));
    QList<ListItem*> order = displayOrder(list);
    order.prepend(item);
    list->setItem(order);
    changed(list);
    return item;
}

void PlainListViewController::removeItemWithoutUndo(List* list, ListItem* item)
{
    if (PlainListViewController* controller = controllerFor(list))
        controller->listTableView()->closeOpenEditor();
    if (!item->isDeleted()) {
        list->removeItem(item);
        if (ObjectContext* objects = AppDelegate::sharedContext())
            objects->deleteObject(item);
    }
    changed(list);
}

void PlainListViewController::setOrderWithoutUndo(List* list, const QList<ListItem*>& order,
                                                  const QList<ListItem*>& selected)
{
    QList<ListItem*> alive = order;
    alive.removeIf([](const ListItem* item) { return item->isDeleted(); });
    list->setItem(alive);
    changed(list, selected);
}

QList<ListItem*> PlainListViewController::archiveDoneItemsWithoutUndo(List* list)
{
    if (PlainListViewController* controller = controllerFor(list))
        return controller->archiveDoneItems();
    const ListViewMode mode = listViewMode();
    if (mode == ListViewMode::Mixed || mode == ListViewMode::Archived)
        return {};
    QList<ListItem*> archived;
    for (ListItem* item : displayOrder(list)) {
        if (item->isDone() && item->archived() == false) {
            item->setArchived(true);
            archived.append(item);
        }
    }
    changed(list);
    NotificationCenter::defaultCenter().post(QStringLiteral("refreshToolBar"));
    return archived;
}

void PlainListViewController::restoreArchivedItemsWithoutUndo(List* list,
                                                              const QList<ListItem*>& items)
{
    for (ListItem* item : items) {
        if (!item->isDeleted())
            item->setArchived(false);
    }
    changed(list);
    NotificationCenter::defaultCenter().post(QStringLiteral("refreshToolBar"));
}

void PlainListViewController::changed(List* list, const QList<ListItem*>& selected)
{
    save();
    if (PlainListViewController* controller = controllerFor(list))
        controller->listChangedInStore(selected);
}

void PlainListViewController::listChangedInStore(const QList<ListItem*>& selected)
{
    mutableListItems() = storedItems();
    setHasListItems(m_list != nullptr);
    sortList();
    syncTable();
    if (selected.isEmpty())
        return;
    QItemSelection selection;
    for (ListItem* item : selected) {
        const QModelIndex index = tableModel()->indexForItem(item);
        if (index.isValid())
            selection.select(index, index);
    }
    m_view->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    m_view->selectionModel()->setCurrentIndex(tableModel()->indexForItem(selected.constFirst()),
                                              QItemSelectionModel::NoUpdate);
}
