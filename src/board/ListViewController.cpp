#include "ListViewController.h"

#include "CardShortcuts.h"
#include "CardTableModel.h"
#include "CardTableView.h"
#include "FlipArchiveStateCommand.h"
#include "MarkAsDoneCommand.h"
#include "StoredOrder.h"
#include "cards/ListItemCellView.h"
#include "model/Clock.h"
#include "model/KanbanColumn.h"
#include "model/List.h"
#include "model/ListItem.h"
#include "model/Tag.h"
#include "store/AppDelegate.h"
#include "store/Defaults.h"
#include "store/NotificationCenter.h"

#include <QMenu>
#include <QSet>
#include <QUndoStack>

#include <algorithm>

namespace {
QList<ListViewController*>& controllers()
{
    static QList<ListViewController*> all;
    return all;
}
} // namespace

const QList<ListViewController*>& ListViewController::liveControllers()
{
    return controllers();
}

ListViewController::ListViewController(QObject* parent)
    : QObject(parent)
    , m_model(new CardTableModel(this))
    , m_cellView(new ListItemCellView(this))
{
    controllers().append(this);
}

ListViewController::~ListViewController()
{
    controllers().removeOne(this);
}

ListViewMode ListViewController::listViewMode()
{
    const int mode = Defaults::standard().integer(Defaults::listViewMode);
    return mode == 1 ? ListViewMode::Mixed
                     : (mode == 2 ? ListViewMode::Archived : ListViewMode::Available);
}

ListViewController* ListViewController::controllerShowing(const ListItem* item)
{
    if (!item)
        return nullptr;
    // The newest controller of a container is the one on screen.
    const QList<ListViewController*>& all = liveControllers();
    for (auto it = all.crbegin(); it != all.crend(); ++it) {
        const StoredObject* shown = (*it)->container();
        if (shown && (shown == static_cast<const StoredObject*>(item->column()) ||
                      shown == static_cast<const StoredObject*>(item->list())))
            return *it;
    }
    return nullptr;
}

void ListViewController::setSearchTerm(const QString& term)
{
    if (term == m_searchTerm)
        return;
    m_searchTerm = term;
    // The painted cards mark the term; their heights stay.
    m_cellView->invalidateDocuments();
}

void ListViewController::setListItems(const QList<ListItem*>& items)
{
    // The reset below would drop an open editor without ending it: the focus would go nowhere.
    if (m_cellView->editingItem())
        closeOpenEditor();
    mutableListItems() = items;
    m_hasListItems = true;
    sortList();
    m_model->reset();
    Q_EMIT listItemsChanged();
}

void ListViewController::sortList()
{
    std::stable_sort(m_listItems.begin(), m_listItems.end(),
                     [](ListItem* a, ListItem* b) { return !a->isArchived() && b->isArchived(); });
    m_archivesBeginKnown = false;
}

int ListViewController::indexArchivesBegin() const
{
    if (!m_archivesBeginKnown) {
        const auto it = std::find_if(m_listItems.cbegin(), m_listItems.cend(),
                                     [](const ListItem* item) { return item->isArchived(); });
        m_indexArchivesBegin = it == m_listItems.cend() ? -1 : int(it - m_listItems.cbegin());
        m_archivesBeginKnown = true;
    }
    return m_indexArchivesBegin;
}

int ListViewController::numberOfRows() const
{
    const int n = int(m_listItems.size());
    const int a = indexArchivesBegin();
    const int addRow = hasAddCardRow() ? 1 : 0;
    switch (listViewMode()) {
    case ListViewMode::Mixed:
        return (a >= 0 ? n + 2 : n + 1) + addRow;
    case ListViewMode::Archived:
        return (a >= 0 ? n - a : 0) + 1;
    case ListViewMode::Available:
        break;
    }
    return (a >= 0 ? a + 1 : n + 1) + addRow;
}

CardRowKind ListViewController::rowKind(int row) const
{
    const int count = numberOfRows();
    if (row <= 0 || row >= count)
        return CardRowKind::Spacer;
    if (hasAddCardRow() && row == count - 1)
        return CardRowKind::AddCard;
    const int a = indexArchivesBegin();
    if (listViewMode() == ListViewMode::Mixed && a >= 0 && row == a + 1)
        return CardRowKind::Header;
    return CardRowKind::Card;
}

QList<std::pair<CardRowKind, ListItem*>> ListViewController::rows() const
{
    const int n = int(m_listItems.size());
    const int a = indexArchivesBegin();
    const ListViewMode mode = listViewMode();
    QList<std::pair<CardRowKind, ListItem*>> rows;
    rows.reserve(n + 3);
    rows.append({CardRowKind::Spacer, nullptr});
    const auto cards = [&](int from, int to) {
        for (int i = from; i < to; ++i)
            rows.append({CardRowKind::Card, m_listItems.at(i)});
    };
    switch (mode) {
    case ListViewMode::Mixed:
        cards(0, a >= 0 ? a : n);
        if (a >= 0) {
            rows.append({CardRowKind::Header, nullptr});
            cards(a, n);
        }
        break;
    case ListViewMode::Archived:
        if (a >= 0)
            cards(a, n);
        break;
    case ListViewMode::Available:
        cards(0, a >= 0 ? a : n);
        break;
    }
    if (hasAddCardRow())
        rows.append({CardRowKind::AddCard, nullptr});
    return rows;
}

ListItem* ListViewController::itemAtRow(int row) const
{
    if (rowKind(row) != CardRowKind::Card)
        return nullptr;
    const int index = indexFromTableWithRow(row);
    return index >= 0 && index < m_listItems.size() ? m_listItems.at(index) : nullptr;
}

int ListViewController::indexFromTableWithRow(int row) const
{
    const int a = indexArchivesBegin();
    switch (listViewMode()) {
    case ListViewMode::Mixed:
        return a >= 0 && row - 1 > a ? row - 2 : row - 1;
    case ListViewMode::Archived:
        return a >= 0 ? row + a - 1 : row - 1;
    case ListViewMode::Available:
        break;
    }
    return row - 1;
}

int ListViewController::tableRowFromIndex(int index) const
{
    const int a = indexArchivesBegin();
    switch (listViewMode()) {
    case ListViewMode::Mixed:
        return a < 0 || a > index ? index + 1 : index + 2;
    case ListViewMode::Archived:
        return a >= 0 ? index - a + 1 : index - int(m_listItems.size()) + 1;
    case ListViewMode::Available:
        break;
    }
    return index + 1;
}

int ListViewController::tableRowForItem(const ListItem* item) const
{
    const int index = int(m_listItems.indexOf(item));
    if (index < 0)
        return -1;
    const ListViewMode mode = listViewMode();
    if ((mode == ListViewMode::Archived && !item->isArchived()) ||
        (mode != ListViewMode::Archived && mode != ListViewMode::Mixed && item->isArchived()))
        return -1;
    return tableRowFromIndex(index);
}

bool ListViewController::passesFilterAndSearch(const ListItem* item) const
{
    const QList<Tag*>& tags = item->tags();
    if (m_tagFilter) {
        const bool any = std::any_of(tags.cbegin(), tags.cend(),
                                     [this](Tag* tag) { return m_tagFilter->contains(tag); });
        if (!any)
            return false;
    }
    if (m_searchTerm.isEmpty())
        return true;
    const QString term = m_searchTerm.toLower();
    for (const Tag* tag : tags) {
        if (tag->name().toLower().contains(term))
            return true;
    }
    if (item->title().toLower().contains(term))
        return true;
    return item->notesPlainText().toLower().contains(term);
}

void ListViewController::fetchListItems()
{
    if (!container()) {
        mutableListItems().clear();
        m_hasListItems = false;
        m_model->reset();
        Q_EMIT listItemsChanged();
        return;
    }
    QList<ListItem*> items = storedItems();
    if (isNarrowed())
        items.removeIf([this](const ListItem* item) { return !passesFilterAndSearch(item); });
    setListItems(items);
}

void ListViewController::followStoredItems()
{
    if (!container())
        return;
    const QList<ListItem*> shown = m_listItems;
    QList<ListItem*> items = storedItems();
    if (isNarrowed())
        items.removeIf([this, &shown](const ListItem* item) {
            return !shown.contains(item) && !passesFilterAndSearch(item);
        });
    const ListItem* editing = m_cellView->editingItem();
    if (editing && !items.contains(editing))
        closeOpenEditor();
    for (const ListItem* item : shown) {
        if (!items.contains(item))
            m_cellView->invalidate(item);
    }
    mutableListItems() = items;
    m_hasListItems = true;
    sortList();
    syncTable();
}

void ListViewController::storedItemsChanged(const StoredObject* container)
{
    if (!container)
        return;
    // A copy: following may close an editor, and that may run code that makes controllers.
    const QList<ListViewController*> all = liveControllers();
    for (ListViewController* controller : all) {
        if (liveControllers().contains(controller) && controller->container() == container)
            controller->followStoredItems();
    }
}

void ListViewController::writeBackListItems()
{
    setStoredItems(StoredOrder::merge(storedItems(), m_listItems));
}

CardTableView* ListViewController::tableView() const
{
    return m_tableView;
}

void ListViewController::setTableView(CardTableView* view)
{
    m_tableView = view;
    view->setModel(m_model);
    view->setItemDelegate(m_cellView);
    m_cellView->setListViewController(this);
    connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ListViewController::selectionChanged);
}

void ListViewController::syncTable()
{
    m_model->sync();
    Q_EMIT listItemsChanged();
}

void ListViewController::save()
{
    if (AppDelegate* delegate = AppDelegate::shared())
        delegate->save();
}

void ListViewController::flipDoneStateOfItem(ListItem* item)
{
    QUndoStack* stack = AppDelegate::sharedUndoStack();
    if (!item || item->isDeleted() || !stack)
        return;
    stack->push(new MarkAsDoneCommand(item));
}

bool ListViewController::flipDoneStateOfItemWithoutUndo(ListItem* item, bool archiveAgain)
{
    ListViewController* controller = controllerShowing(item);
    bool restored = false;
    if (!item->isDone()) {
        item->setDone(true);
        item->setDoneDate(Clock::now());
        if (archiveAgain && !item->isArchived()) {
            if (controller)
                controller->flipArchiveStateOfItem(item);
            else
                item->setArchived(true);
        }
    } else {
        item->setDone(false);
        item->setDoneDate({});
        if (item->isArchived()) {
            restored = true;
            if (controller)
                controller->flipArchiveStateOfItem(item);
            else
                item->setArchived(false);
        }
    }
    applyRemoveStrikeThroughForItem(item);
    save();
    if (controller)
        controller->refreshItem(item);
    NotificationCenter::defaultCenter().post(QStringLiteral("refreshToolBar"));
    NotificationCenter::defaultCenter().post(QStringLiteral("itemMarkedDone"));
    return restored;
}

void ListViewController::applyRemoveStrikeThroughForItem(ListItem* item)
{
    const auto& notes = item->attributedNotes();
    if (!notes)
        return;
    RichText text = *notes;
    const int strike = item->isDone() ? 1 : 0;
    text.changeAttributes(0, text.length(),
                          [strike](RichText::Attributes& a) { a.strikethrough = strike; });
    item->setAttributedNotes(text);
}

void ListViewController::flipArchiveStateOfItem(ListItem* item)
{
    if (!item)
        return;
    item->setArchived(!item->isArchived());
    save();
    sortList();
    syncTable();
    clearSelection();
}

int ListViewController::validateDropRow(int row) const
{
    const int n = int(listItems().size());
    const int a = indexArchivesBegin();
    const ListViewMode mode = listViewMode();
    row = std::max(row, 1);
    const int lastCardRow = numberOfRows() - (hasAddCardRow() ? 1 : 0) - 1;
    row = std::min(row, lastCardRow + 1);
    if (mode == ListViewMode::Available) {
        if (a >= 0 && row > a + 1)
            row = a + 1; // never among the hidden archived cards
        row = std::min(row, n + 1);
    }
    if (mode == ListViewMode::Mixed && a >= 0 && row == a + 1)
        return -1; // the header row
    return row;
}

void ListViewController::archiveOrRestoreItem(ListItem* item)
{
    QUndoStack* stack = AppDelegate::sharedUndoStack();
    // An archived card is always a done one: only done cards go to the archive.
    if (!item || item->isDeleted() || !stack || (!item->isArchived() && !item->isDone()))
        return;
    stack->push(new FlipArchiveStateCommand(item));
}

void ListViewController::addDoneMenuItem(QMenu* menu, ListItem* item)
{
    QAction* done = menu->addAction(item->isDone() ? tr("Mark as Not Done") : tr("Mark as Done"),
                                    this, [this, item] { flipDoneStateOfItem(item); });
    done->setShortcut(CardShortcuts::markAsDone());
    done->setObjectName(QStringLiteral("markAsDone"));
}

void ListViewController::addArchiveMenuItem(QMenu* menu, ListItem* item)
{
    QAction* archive = menu->addAction(item->isArchived() ? tr("Restore Card") : tr("Archive Card"),
                                       this, [item] { archiveOrRestoreItem(item); });
    archive->setShortcut(CardShortcuts::archiveCard());
    archive->setEnabled(item->isArchived() || item->isDone());
    archive->setObjectName(QStringLiteral("archiveCard"));
}

QList<ListItem*> ListViewController::archiveDoneItems()
{
    const ListViewMode mode = listViewMode();
    if (mode == ListViewMode::Mixed || mode == ListViewMode::Archived)
        return {};
    QList<ListItem*> archived;
    for (ListItem* item : std::as_const(m_listItems)) {
        if (item->isDone() && item->archived() == false) {
            item->setArchived(true);
            archived.append(item);
        }
    }
    sortList();
    syncTable();
    save();
    NotificationCenter::defaultCenter().post(QStringLiteral("refreshToolBar"));
    return archived;
}

void ListViewController::refreshItem(const ListItem* item)
{
    const QModelIndex index = m_model->indexForItem(item);
    if (!index.isValid() || !m_cellView->hasExactHeight(item)) {
        m_cellView->invalidate(item);
        m_model->itemChanged(item);
        if (index.isValid())
            Q_EMIT m_cellView->sizeHintChanged(index);
        return;
    }
    // A measured card is measured again at once (by its editor, when it has one, as the editor
    // takes the change): when its height stays, only its row is painted again and the rows
    // around it keep their places.
    auto* changed = const_cast<ListItem*>(item);
    const int before = m_cellView->heightForItem(changed);
    m_cellView->forgetDocument(item);
    m_model->itemChanged(item);
    if (m_cellView->editingItem() != item)
        m_cellView->measureExactly(changed);
    if (m_cellView->heightForItem(changed) != before)
        Q_EMIT m_cellView->sizeHintChanged(index);
}

int ListViewController::heightForItem(ListItem* item)
{
    return m_cellView->heightForItem(item);
}

int ListViewController::heightOfRow(int row)
{
    if (!m_hasListItems)
        return 50;
    // From the table's rows, not the mapping: this runs for every row at every layout.
    switch (m_model->kindAt(row)) {
    case CardRowKind::Spacer:
        return 1;
    case CardRowKind::Header:
        return 20;
    case CardRowKind::AddCard:
        return 48;
    case CardRowKind::Card:
        if (ListItem* item = m_model->itemAt(row))
            return heightForItem(item);
        return 48;
    }
    return 50;
}

void ListViewController::updateHeightFor(ListItem* item, bool)
{
    refreshItem(item);
}

void ListViewController::selectRowFor(ListItem* item)
{
    const QModelIndex index = m_model->indexForItem(item);
    if (!index.isValid() || !m_tableView)
        return;
    m_tableView->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
}

void ListViewController::selectItems(const QList<ListItem*>& items)
{
    if (!m_tableView)
        return;
    QItemSelection selection;
    for (ListItem* item : items) {
        const QModelIndex index = m_model->indexForItem(item);
        if (index.isValid())
            selection.select(index, index);
    }
    m_tableView->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    if (const QModelIndex first =
            items.isEmpty() ? QModelIndex() : m_model->indexForItem(items.constFirst());
        first.isValid())
        m_tableView->selectionModel()->setCurrentIndex(first, QItemSelectionModel::NoUpdate);
}

void ListViewController::closeOpenEditor()
{
    if (m_tableView)
        m_tableView->closeOpenEditor();
}

QList<int> ListViewController::selectedRows() const
{
    QList<int> rows;
    if (!m_tableView)
        return rows;
    for (const QModelIndex& index : m_tableView->selectionModel()->selectedIndexes()) {
        if (m_model->kindAt(index.row()) == CardRowKind::Card)
            rows.append(index.row());
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

QList<ListItem*> ListViewController::selectedItems() const
{
    QList<ListItem*> items;
    for (int row : selectedRows()) {
        if (ListItem* item = m_model->itemAt(row))
            items.append(item);
    }
    return items;
}

void ListViewController::clearSelection()
{
    if (m_tableView)
        m_tableView->selectionModel()->clearSelection();
}

void ListViewController::selectionChanged()
{
    collapseNotesAreaForEmptyNotes();
    m_previouslySelected = selectedItems();
}

void ListViewController::collapseNotesAreaForEmptyNotes()
{
    const QList<ListItem*> selected = selectedItems();
    bool collapsed = false;
    for (ListItem* item : std::as_const(m_previouslySelected)) {
        if (item->isDeleted() || selected.contains(item) || !m_listItems.contains(item))
            continue;
        if (item->notesPlainText().isEmpty() && item->notesExpanded().value_or(false)) {
            item->setNotesExpanded(false);
            updateHeightFor(item);
            collapsed = true;
        }
    }
    if (collapsed)
        save();
}

void ListViewController::checkForDueItems()
{
    // Only rows on screen paint, so one repaint recolours every visible due date; an open
    // editor recolours its date button.
    if (m_tableView)
        m_tableView->viewport()->update();
    for (ListItem* item : std::as_const(m_listItems)) {
        if (item == m_cellView->editingItem())
            m_model->itemChanged(item);
    }
}
