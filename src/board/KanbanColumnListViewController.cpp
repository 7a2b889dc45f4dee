#include "KanbanColumnListViewController.h"

#include "AddCardsCommand.h"
#include "CardPasteboard.h"
#include "CardTableModel.h"
#include "DeleteCardsCommand.h"
#include "ExchangeRebuilder.h"
#include "KanbanColumnHost.h"
#include "KanbanColumnTableView.h"
#include "MoveRowsCommand.h"
#include "cards/CardEditor.h"
#include "cards/ListItemCellView.h"
#include "model/Clock.h"
#include "model/Kanban.h"
#include "model/KanbanColumn.h"
#include "model/ListItem.h"
#include "model/Tag.h"
#include "model/TagCleanUp.h"
#include "store/AppDelegate.h"
#include "store/ObjectContext.h"
#include "widgets/MessageBox.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMimeData>
#include <QUndoStack>

#include <algorithm>

KanbanColumnListViewController::KanbanColumnListViewController(QWidget* parentWidget)
    : ListViewController(nullptr)
{
    m_view = new KanbanColumnTableView(this, parentWidget);
    setParent(m_view);
    setTableView(m_view);
    cellView()->setPresentedContext(1);
    connect(m_view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected) {
                if (!selected.isEmpty() && m_host)
                    m_host->deselectItemsInAllColumnsOtherThanWithColumn(m_column);
            });
}

KanbanColumnListViewController::~KanbanColumnListViewController() = default;

KanbanColumnListViewController*
KanbanColumnListViewController::controllerFor(const KanbanColumn* column)
{
    if (!column)
        return nullptr;
    // The newest controller of a column is the one on screen.
    const QList<ListViewController*>& all = liveControllers();
    for (auto it = all.crbegin(); it != all.crend(); ++it) {
        auto* controller = qobject_cast<KanbanColumnListViewController*>(*it);
        if (controller && controller->column() == column)
            return controller;
    }
    return nullptr;
}

void KanbanColumnListViewController::setColumn(KanbanColumn* column)
{
    m_column = column;
    setDraggedItemIndexes({});
    cellView()->invalidateAll();
    fetchListItems();
}

Kanban* KanbanColumnListViewController::kanban() const
{
    if (m_host && m_host->kanban())
        return m_host->kanban();
    return m_column ? m_column->kanban() : nullptr;
}

bool KanbanColumnListViewController::hasAddCardRow() const
{
    return listViewMode() != ListViewMode::Archived;
}

StoredObject* KanbanColumnListViewController::container() const
{
    return m_column;
}

QList<ListItem*> KanbanColumnListViewController::storedItems() const
{
    return m_column ? m_column->item() : QList<ListItem*>();
}

void KanbanColumnListViewController::setStoredItems(const QList<ListItem*>& items)
{
    if (m_column)
        m_column->setItem(items);
}

// Adding cards

void KanbanColumnListViewController::addNewItem()
{
    addCardAtIndex(-1);
}

void KanbanColumnListViewController::addCardAbove(ListItem* item)
{
    const int index = int(listItems().indexOf(item));
    if (index >= 0)
        addCardAtIndex(index);
}

void KanbanColumnListViewController::addCardBelow(ListItem* item)
{
    const int index = int(listItems().indexOf(item));
    if (index >= 0)
        addCardAtIndex(index + 1);
}

ListItem* KanbanColumnListViewController::addCardAtIndex(int index)
{
    QUndoStack* stack = AppDelegate::sharedUndoStack();
    if (!m_column || m_column->isDeleted() || !stack)
        return nullptr;
    ListItem* item = addCardWithoutUndo(index);
    if (!item)
        return nullptr;
    stack->push(new AddCardsCommand(AddCardsCommand::newCardName(), m_column, {item}));
    openCardForTyping(item);
    return item;
}

ListItem* KanbanColumnListViewController::addCardWithoutUndo(int index)
{
    ObjectContext* objects = AppDelegate::sharedContext();
    if (!objects || !m_column)
        return nullptr;
    auto* item = objects->insert<ListItem>();
    item->setTitle(QStringLiteral("untitled"));
    item->setNotesExpanded(true);
    item->setDateAdded(Clock::now());
    item->setPriority(0);
    if (tagFilter()) {
        // A filtered tag may have lost its last card and been deleted since it was chosen.
        QList<Tag*> tags = *tagFilter();
        tags.removeIf([](const Tag* tag) { return tag->isDeleted(); });
        item->setTags(tags);
    }
    QList<ListItem*>& items = mutableListItems();
    if (index < 0 || index > items.size())
        items.append(item);
    else
        items.insert(index, item);
    setHasListItems(true);
    sortList();
    clearSelection();
    syncTable();
    writeBackListItems();
    save();
    return item;
}

void KanbanColumnListViewController::openCardForTyping(ListItem* item)
{
    const QModelIndex index = tableModel()->indexForItem(item);
    if (!index.isValid())
        return;
    m_view->scrollTo(index);
    selectRowFor(item);
    m_view->edit(index);
    if (auto* editor = qobject_cast<CardEditor*>(m_view->indexWidget(index)))
        editor->focusNotesAtEnd();
}

// Deleting cards

void KanbanColumnListViewController::deleteCurrentSelectedItems()
{
    deleteItems(selectedItems());
}

void KanbanColumnListViewController::deleteItems(const QList<ListItem*>& items)
{
    QList<ListItem*> cards;
    for (ListItem* item : items) {
        if (listItems().contains(item))
            cards.append(item);
    }
    if (!cards.isEmpty() && m_column && AppDelegate::sharedUndoStack())
        AppDelegate::sharedUndoStack()->push(new DeleteCardsCommand(m_column, cards));
}

// The clipboard

void KanbanColumnListViewController::copySelectedCardsToPasteboard()
{
    const QList<ListItem*> items = selectedItems();
    if (items.isEmpty())
        return;
    QApplication::clipboard()->setMimeData(
        CardPasteboard::cardData(CardPasteboard::dictionariesOf(items)).release());
}

void KanbanColumnListViewController::cut()
{
    copySelectedCardsToPasteboard();
    deleteCurrentSelectedItems();
}

bool KanbanColumnListViewController::canPaste() const
{
    const QMimeData* data = QApplication::clipboard()->mimeData();
    return data && (data->hasFormat(CardPasteboard::cardDataType()) ||
                    (m_host && data->hasFormat(CardPasteboard::columnDataType())));
}

int KanbanColumnListViewController::pasteAnchorRow() const
{
    const QList<int> rows = selectedRows();
    if (!rows.isEmpty())
        return rows.last();
    const int n = int(listItems().size());
    const int a = indexArchivesBegin();
    int last = n - 1;
    if (listViewMode() == ListViewMode::Available && a >= 0)
        last = a - 1;
    return last < 0 ? 0 : tableRowFromIndex(last);
}

QList<ListItem*> KanbanColumnListViewController::paste()
{
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (!data || !m_column)
        return {};
    if (!data->hasFormat(CardPasteboard::cardDataType())) {
        if (m_host && data->hasFormat(CardPasteboard::columnDataType()))
            m_host->pasteColumns();
        return {};
    }
    QString error;
    const auto dictionaries = CardPasteboard::dictionaries(data, &error);
    std::optional<QList<StoredObject*>> objects;
    if (dictionaries)
        objects =
            ExchangeRebuilder::rebuild(*dictionaries, ExchangeRebuilder::Purpose::Paste, &error);
    if (!objects) {
        MessageBox::critical(m_view, tr("The cards cannot be pasted."), error);
        return {};
    }
    const QList<ListItem*> items = ExchangeRebuilder::only<ListItem>(*objects);
    TagCleanUp::cleanUpTagsInItems(kanban(), items);

    const int anchor = pasteAnchorRow();
    const int first = anchor < 1 ? 0 : indexFromTableWithRow(anchor) + 1;
    const int a = indexArchivesBegin();
    for (ListItem* item : items) {
        switch (listViewMode()) {
        case ListViewMode::Archived:
            item->setArchived(true);
            item->setDone(true);
            break;
        case ListViewMode::Mixed: {
            const bool archived = a >= 0 && first > a;
            item->setArchived(archived);
            item->setDone(archived);
            break;
        }
        case ListViewMode::Available:
            if (item->isArchived()) {
                item->setArchived(false);
                item->setDone(false);
            }
            break;
        }
    }
    QList<int> indexes;
    for (int k = 0; k < items.size(); ++k)
        indexes.append(first + k);
    insertItemsWithoutUndo(items, indexes);
    if (items.isEmpty())
        return items;
    if (QUndoStack* stack = AppDelegate::sharedUndoStack())
        stack->push(new AddCardsCommand(AddCardsCommand::pasteCardName(), m_column, items));
    m_view->scrollTo(tableModel()->indexForItem(items.constLast()));
    return items;
}

// Moving cards

bool KanbanColumnListViewController::moveRowsWithinColumn(const QList<int>& draggedIndexes, int row)
{
    if (draggedIndexes.isEmpty() || !m_column || !AppDelegate::sharedUndoStack())
        return false;
    QList<int> dragged = draggedIndexes;
    std::sort(dragged.begin(), dragged.end());
    const int n = int(listItems().size());
    const int d = indexFromTableWithRow(row);
    const int k =
        int(std::count_if(dragged.cbegin(), dragged.cend(), [d](int i) { return i < d; }));
    int target = d - k;
    if (n - k < target) {
        qWarning("KanbanColumnListViewController: a move beyond the end goes to the end");
        target = n - k;
    }
    const int a = indexArchivesBegin();
    const ListViewMode mode = listViewMode();
    if (a >= 0 && a <= target && mode != ListViewMode::Mixed && mode != ListViewMode::Archived)
        target = a - k;
    target = std::clamp(target, 0, n - int(dragged.size()));
    QList<ListItem*> moved;
    for (int index : std::as_const(dragged)) {
        if (index >= 0 && index < n)
            moved.append(listItems().at(index));
    }
    const QList<ListItem*> before = m_column->item();
    moveWithinColumnWithoutUndo(dragged, target);
    const QList<ListItem*> after = m_column->item();
    // A drop where the cards were is no change to undo.
    if (before != after)
        AppDelegate::sharedUndoStack()->push(
            new MoveRowsCommand({{m_column, before, after}}, moved));
    return true;
}

void KanbanColumnListViewController::moveWithinColumnWithoutUndo(const QList<int>& from, int target)
{
    QList<ListItem*>& items = mutableListItems();
    QList<ListItem*> moved;
    for (auto it = from.crbegin(); it != from.crend(); ++it) {
        if (*it >= 0 && *it < items.size())
            moved.prepend(items.takeAt(*it));
    }
    const int at = std::clamp(target, 0, int(items.size()));
    for (qsizetype k = 0; k < moved.size(); ++k)
        items.insert(at + k, moved.at(k));
    sortList();
    syncTable();
    writeBackListItems();
    save();
    selectItems(moved);
}

bool KanbanColumnListViewController::moveRowsFromSourceColumn(
    KanbanColumnListViewController* source, const QList<ListItem*>& items, int row)
{
    if (items.isEmpty() || !m_column || !AppDelegate::sharedUndoStack())
        return false;
    // Where each card would land, computed on a copy of the display list.
    QList<ListItem*> preview = listItems();
    QList<int> indexes;
    const ListViewMode mode = listViewMode();
    for (qsizetype j = 0; j < items.size(); ++j) {
        const int n = int(preview.size());
        const auto archivesBegin = std::find_if(preview.cbegin(), preview.cend(),
                                                [](const ListItem* i) { return i->isArchived(); });
        const int a = archivesBegin == preview.cend() ? -1 : int(archivesBegin - preview.cbegin());
        const int r = int(row + j);
        int x = r - 1;
        if (mode == ListViewMode::Mixed)
            x = a >= 0 && r - 1 > a ? r - 2 : r - 1;
        else if (mode == ListViewMode::Archived)
            x = a >= 0 ? r + a - 1 : r - 1;
        x = std::clamp(x, 0, n);
        if (a >= 0 && a <= x && mode != ListViewMode::Mixed && mode != ListViewMode::Archived)
            x = a;
        preview.insert(x, items.at(j));
        indexes.append(x);
    }
    // Every column the cards leave, and this one, before and after.
    QList<KanbanColumn*> columns{m_column};
    for (ListItem* item : items) {
        if (item->column() && !columns.contains(item->column()))
            columns.append(item->column());
    }
    if (source && source->column() && !columns.contains(source->column()))
        columns.append(source->column());
    QList<MoveRowsCommand::ColumnCards> cards;
    for (KanbanColumn* column : std::as_const(columns))
        cards.append({column, column->item(), {}});
    insertItemsWithoutUndo(items, indexes);
    for (MoveRowsCommand::ColumnCards& column : cards) {
        column.after = column.column->item();
        if (column.column != m_column)
            ListViewController::storedItemsChanged(column.column);
    }
    AppDelegate::sharedUndoStack()->push(new MoveRowsCommand(cards, items));
    return true;
}

void KanbanColumnListViewController::insertItemsWithoutUndo(const QList<ListItem*>& items,
                                                            const QList<int>& indexes)
{
    QList<ListItem*>& list = mutableListItems();
    for (qsizetype k = 0; k < items.size(); ++k) {
        list.removeOne(items.at(k));
        const int at = std::clamp(indexes.value(k, int(list.size())), 0, int(list.size()));
        list.insert(at, items.at(k));
    }
    setHasListItems(true);
    sortList();
    syncTable();
    writeBackListItems();
    save();
    selectItems(items);
}

bool KanbanColumnListViewController::acceptDrop(KanbanColumnListViewController* source,
                                                const QStringList& uris, int row)
{
    const int dropRow = validateDropRow(row);
    if (dropRow < 0 || uris.isEmpty())
        return false;
    if (source == this)
        return moveRowsWithinColumn(draggedItemIndexes(), dropRow);
    ObjectContext* objects = AppDelegate::sharedContext();
    QList<ListItem*> items;
    for (const QString& uri : uris) {
        StoredObject* object = objects ? objects->objectForUri(uri) : nullptr;
        if (!object || object->entity() != Entity::ListItem) {
            qWarning("could not find item");
            return false;
        }
        items.append(static_cast<ListItem*>(object));
    }
    return moveRowsFromSourceColumn(source, items, dropRow);
}

// The keyboard

void KanbanColumnListViewController::moveKeyboardToNeighbourColumn(int step)
{
    KanbanColumnListViewController* next =
        m_host ? m_host->neighbourColumnList(m_column, step) : nullptr;
    if (!next)
        return;
    const ListItem* current = m_view->currentCard();
    const int index = current ? int(listItems().indexOf(current)) : 0;
    m_view->closeOpenEditor();
    clearSelection();
    next->columnTableView()->setFocus(Qt::OtherFocusReason);
    // The card at the same place, or the last one when the column is shorter.
    const QList<ListItem*> rows = next->selectableItems();
    if (!rows.isEmpty())
        next->columnTableView()->selectCard(rows.at(std::clamp(index, 0, int(rows.size()) - 1)));
}

QList<ListItem*> KanbanColumnListViewController::selectableItems() const
{
    QList<ListItem*> items;
    for (const auto& [kind, item] : rows()) {
        if (item)
            items.append(item);
    }
    return items;
}

void KanbanColumnListViewController::moveSelectedCardsBy(int step)
{
    const QList<ListItem*> selected = selectedItems();
    if (selected.isEmpty() || step == 0)
        return;
    m_view->closeOpenEditor();
    QList<int> indexes;
    for (ListItem* item : selected)
        indexes.append(int(listItems().indexOf(item)));
    std::sort(indexes.begin(), indexes.end());
    // Above the card before the first one, or below the card after the last one.
    const QList<ListItem*> shown = selectableItems();
    const int first = int(shown.indexOf(listItems().at(indexes.first())));
    const int last = int(shown.indexOf(listItems().at(indexes.last())));
    int row = -1;
    if (step < 0 && first > 0)
        row = tableRowFromIndex(int(listItems().indexOf(shown.at(first - 1))));
    else if (step > 0 && last >= 0 && last + 1 < shown.size())
        row = tableRowFromIndex(int(listItems().indexOf(shown.at(last + 1)))) + 1;
    // Never across the header between the active and the archived cards.
    const ListItem* neighbour = row < 0 ? nullptr : itemAtRow(step < 0 ? row : row - 1);
    if (!neighbour || neighbour->isArchived() != selected.constFirst()->isArchived() ||
        validateDropRow(row) != row)
        return;
    moveRowsWithinColumn(indexes, row);
    selectItems(selected);
    m_view->selectionModel()->setCurrentIndex(tableModel()->indexForItem(selected.constFirst()),
                                              QItemSelectionModel::NoUpdate);
}

void KanbanColumnListViewController::moveSelectedCardsToNeighbourColumn(int step)
{
    KanbanColumnListViewController* next =
        m_host ? m_host->neighbourColumnList(m_column, step) : nullptr;
    const QList<ListItem*> selected = selectedItems();
    if (!next || selected.isEmpty())
        return;
    m_view->closeOpenEditor();
    // At the same place in the other column, or at its end when it is shorter.
    const QList<ListItem*> shown = selectableItems();
    const QList<ListItem*> there = next->selectableItems();
    const int place = std::clamp(int(shown.indexOf(selected.constFirst())), 0, int(there.size()));
    const int row = place < there.size() ? next->tableRowForItem(there.at(place))
                                         : next->validateDropRow(next->numberOfRows());
    if (row < 0 || !next->moveRowsFromSourceColumn(this, selected, row))
        return;
    next->columnTableView()->setFocus(Qt::OtherFocusReason);
    next->selectItems(selected);
    next->columnTableView()->selectionModel()->setCurrentIndex(
        next->tableModel()->indexForItem(selected.constFirst()), QItemSelectionModel::NoUpdate);
}

// The column menu

void KanbanColumnListViewController::addListBefore()
{
    if (m_host && m_column)
        m_host->addColumnWithItem(m_column, false);
}

void KanbanColumnListViewController::addListAfter()
{
    if (m_host && m_column)
        m_host->addColumnWithItem(m_column, true);
}

void KanbanColumnListViewController::deleteList()
{
    if (m_host && m_column)
        m_host->deleteSelectedColumns(m_column);
}

void KanbanColumnListViewController::addColumnMenuItems(QMenu* menu)
{
    menu->addAction(tr("Add Column Before"), this, &KanbanColumnListViewController::addListBefore)
        ->setEnabled(m_host);
    menu->addAction(tr("Add Column After"), this, &KanbanColumnListViewController::addListAfter)
        ->setEnabled(m_host);
    const bool several = m_host && m_host->numberOfSelectedColumns() >= 2;
    QAction* remove = menu->addAction(several ? tr("Delete Selected Lists") : tr("Delete List"),
                                      this, &KanbanColumnListViewController::deleteList);
    remove->setObjectName(QStringLiteral("deleteList"));
    remove->setEnabled(m_host);
}
