#include "KanbanViewController.h"

#include "AddColumnsCommand.h"
#include "ArchiveDoneCardsCommand.h"
#include "CardPasteboard.h"
#include "ColumnPasteboard.h"
#include "DelaySelectionTextField.h"
#include "DeleteColumnsCommand.h"
#include "ExchangeRebuilder.h"
#include "KanbanCollectionViewFlowLayout.h"
#include "KanbanColumnAddColumnView.h"
#include "KanbanColumnListViewController.h"
#include "KanbanColumnTableView.h"
#include "KanbanColumnView.h"
#include "KanbanColumnViewItem.h"
#include "MoveColumnsCommand.h"
#include "appearance/ViewWithBackground.h"
#include "interchange/JSONWriter.h"
#include "model/Folder.h"
#include "model/Kanban.h"
#include "model/KanbanColumn.h"
#include "model/ListItem.h"
#include "model/Tag.h"
#include "model/TagCleanUp.h"
#include "store/AppDelegate.h"
#include "store/NotificationCenter.h"
#include "store/ObjectContext.h"
#include "widgets/MessageBox.h"
#include "widgets/WindowTitle.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDrag>
#include <QDragMoveEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QUndoStack>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>

namespace {
// Sorted, without repeats, and only indexes below `count`.
QList<int> validIndexes(QList<int> indexes, qsizetype count)
{
    std::sort(indexes.begin(), indexes.end());
    indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
    indexes.removeIf([count](int i) { return i < 0 || i >= count; });
    return indexes;
}

constexpr int archiveBarMilliseconds = 300;
constexpr int dragAutoScrollEdge = 48;
} // namespace

KanbanViewController::KanbanViewController(QWidget* parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(tr("Board"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    buildArchiveBar();
    layout->addWidget(m_archiveBar);

    // The picture is drawn once behind the scroll view, which with its cells is transparent.
    m_background = new ViewWithBackground(this);
    auto* backgroundLayout = new QVBoxLayout(m_background);
    backgroundLayout->setContentsMargins(0, 0, 0, 0);
    m_scrollView = new QScrollArea(m_background);
    m_scrollView->setFrameShape(QFrame::NoFrame);
    m_scrollView->setFocusPolicy(Qt::NoFocus);
    m_scrollView->setWidgetResizable(true);
    m_scrollView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scrollView->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_scrollView->viewport()->setAutoFillBackground(false);
    m_scrollView->setAutoFillBackground(false);
    m_collectionView = new QWidget;
    m_collectionView->setAcceptDrops(true);
    m_layout = new KanbanCollectionViewFlowLayout(m_collectionView);
    m_addColumnView = new KanbanColumnAddColumnView(this, m_collectionView);
    m_scrollView->setWidget(m_collectionView);
    // setWidget makes the widget fill its background, which would hide the picture.
    m_collectionView->setAutoFillBackground(false);
    m_collectionView->installEventFilter(this);
    m_scrollView->viewport()->installEventFilter(this);
    backgroundLayout->addWidget(m_scrollView);
    layout->addWidget(m_background, 1);
    connect(m_background, &ViewWithBackground::pictureShownChanged, this,
            &KanbanViewController::setOnPicture);

    NotificationCenter& notifications = NotificationCenter::defaultCenter();
    notifications.addObserver(
        this, QString::fromLatin1(AppDelegate::showHideArchivedSelectedNotification),
        [this](const NotificationCenter::Notification&) { viewModeChanged(); });
    notifications.addObserver(this, QStringLiteral("BackgroundChanged"),
                              [this](const NotificationCenter::Notification& notification) {
                                  if (m_kanban && notification.sender == m_kanban)
                                      m_background->reloadBackground();
                              });
    notifications.addObserver(
        this, QStringLiteral("dueSoonDefinitionChanged"),
        [this](const NotificationCenter::Notification&) { checkForDueItems(); });
    // Folders and boards are renamed in the sidebar; every change is saved at once.
    notifications.addObserver(this, QString::fromLatin1(ObjectContext::didSaveNotification),
                              [this](const NotificationCenter::Notification&) {
                                  updateWindowTitle();
                                  // A card editor may be saving: reload once it is done.
                                  if (filterHoldsDeletedTags())
                                      QMetaObject::invokeMethod(
                                          this, &KanbanViewController::dropDeletedTagsFromFilter,
                                          Qt::QueuedConnection);
                              });
    m_dueTimer.setInterval(dueCheckIntervalMilliseconds);
    connect(&m_dueTimer, &QTimer::timeout, this, &KanbanViewController::checkForDueItems);
    m_dueTimer.start();
    m_dragAutoScroll.setInterval(30);
    connect(&m_dragAutoScroll, &QTimer::timeout, this, &KanbanViewController::autoScrollDuringDrag);

    placeArchiveBar(false);
    arrangeItems(false);
    m_addColumnView->setVisible(false);
}

KanbanViewController::~KanbanViewController()
{
    NotificationCenter::defaultCenter().removeObserver(this);
}

void KanbanViewController::save()
{
    if (AppDelegate* delegate = AppDelegate::shared())
        delegate->save();
}

// Showing a board

void KanbanViewController::setKanban(Kanban* kanban)
{
    const Kanban* shownBefore = m_kanban;
    m_kanban = kanban && !kanban->isDeleted() ? kanban : nullptr;
    updateWindowTitle();
    // A board without columns shows none: never the columns of the board shown before.
    m_columns = m_kanban ? m_kanban->column() : QList<KanbanColumn*>();
    for (KanbanColumnViewItem* item : std::as_const(m_items))
        item->setSelected(false);
    arrangeItems(false);
    reloadData();
    m_addColumnView->setVisible(m_kanban != nullptr);
    m_background->setItem(m_kanban);
    m_scrollView->horizontalScrollBar()->setValue(0);
    // Undo never crosses from one board to another; showing the same board again keeps it, and
    // so does the board shown after a deletion, whose undo brings the deleted board back.
    const bool leftALiveBoard = shownBefore && !shownBefore->isDeleted() && m_kanban != shownBefore;
    if (QUndoStack* stack = AppDelegate::sharedUndoStack(); stack && leftALiveBoard)
        stack->clear();
    Q_EMIT columnSelectionChanged();
}

bool KanbanViewController::isShowing(const Kanban* kanban) const
{
    return kanban && !kanban->isDeleted() && m_kanban == kanban;
}

void KanbanViewController::showKanban(Kanban* kanban, const std::optional<QList<Tag*>>& tagFilter)
{
    const bool changed = m_tagFilter != tagFilter;
    m_tagFilter = tagFilter;
    if (changed)
        Q_EMIT tagFilterChanged(m_tagFilter.has_value());
    setKanban(kanban);
}

void KanbanViewController::setSearchTerm(const QString& term)
{
    m_searchTerm = term;
    reloadData();
}

void KanbanViewController::setTagFilter(const std::optional<QList<Tag*>>& filter)
{
    m_tagFilter = filter;
    reloadData();
    Q_EMIT tagFilterChanged(m_tagFilter.has_value());
}

bool KanbanViewController::filterHoldsDeletedTags() const
{
    return m_tagFilter && std::any_of(m_tagFilter->cbegin(), m_tagFilter->cend(),
                                      [](const Tag* tag) { return tag->isDeleted(); });
}

void KanbanViewController::dropDeletedTagsFromFilter()
{
    if (!filterHoldsDeletedTags())
        return;
    // A tag goes with its last card; a filter left with no tag would show no card at all.
    QList<Tag*> tags = *m_tagFilter;
    tags.removeIf([](const Tag* tag) { return tag->isDeleted(); });
    setTagFilter(tags.isEmpty() ? std::nullopt : std::optional<QList<Tag*>>(tags));
}

void KanbanViewController::updateWindowTitle()
{
    const QString title = WindowTitle::forItem(m_kanban);
    if (title == m_windowTitleText && title.isNull() == m_windowTitleText.isNull())
        return;
    m_windowTitleText = title;
    Q_EMIT windowTitleTextChanged(title);
}

bool KanbanViewController::hasDoneButNotArchivedCards() const
{
    for (const KanbanColumn* column : m_columns) {
        for (const ListItem* item : column->item()) {
            if (item->isDone() && !item->isArchived())
                return true;
        }
    }
    return false;
}

void KanbanViewController::archiveDoneItems()
{
    if (QUndoStack* stack = AppDelegate::sharedUndoStack())
        stack->push(new ArchiveDoneCardsCommand(this));
}

QList<QList<ListItem*>> KanbanViewController::archiveDoneItemsWithoutUndo()
{
    QList<QList<ListItem*>> archived;
    for (int i = 0; i < m_columns.size(); ++i) {
        KanbanColumnViewItem* item = itemAt(i);
        archived.append(item ? item->listViewController()->archiveDoneItems() : QList<ListItem*>());
    }
    NotificationCenter::defaultCenter().post(QStringLiteral("refreshToolBar"), this);
    return archived;
}

void KanbanViewController::restoreArchivedItemsWithoutUndo(const QList<QList<ListItem*>>& items)
{
    for (const QList<ListItem*>& column : items) {
        for (ListItem* card : column) {
            if (!card->isDeleted())
                card->setArchived(false);
        }
    }
    save();
    reloadData();
    NotificationCenter::defaultCenter().post(QStringLiteral("refreshToolBar"), this);
}

// The cells

KanbanColumnViewItem* KanbanViewController::itemAt(int index) const
{
    return index >= 0 && index < m_items.size() ? m_items.at(index) : nullptr;
}

KanbanColumnViewItem* KanbanViewController::itemForColumn(const KanbanColumn* column) const
{
    const qsizetype index = m_columns.indexOf(column);
    return index >= 0 ? itemAt(int(index)) : nullptr;
}

KanbanColumnViewItem* KanbanViewController::makeItem(KanbanColumn* column)
{
    auto* item = new KanbanColumnViewItem(this, m_collectionView);
    item->setOnPicture(m_onPicture);
    configureItem(item, column);
    item->view()->show();
    return item;
}

void KanbanViewController::configureItem(KanbanColumnViewItem* item, KanbanColumn* column)
{
    KanbanColumnListViewController* list = item->listViewController();
    list->setSearchTerm(m_searchTerm);
    list->setTagFilter(m_tagFilter);
    list->setKanbanViewController(this);
    item->setColumnObject(column);
}

void KanbanViewController::retireItem(KanbanColumnViewItem* item)
{
    item->setSelected(false);
    item->detach();
    KanbanColumnView* view = item->view();
    view->hide();
    // Later: the cell may be the one whose menu or key press is being handled.
    view->deleteLater();
}

void KanbanViewController::arrangeItems(bool animated)
{
    QList<KanbanColumnViewItem*> leaving = m_items;
    QList<KanbanColumnViewItem*> items;
    items.reserve(m_columns.size());
    for (KanbanColumn* column : std::as_const(m_columns)) {
        const auto found = std::find_if(leaving.begin(), leaving.end(), [column](auto* item) {
            return item->columnObject() == column;
        });
        if (found != leaving.end()) {
            items.append(*found);
            leaving.erase(found);
        } else {
            items.append(makeItem(column));
        }
    }
    for (KanbanColumnViewItem* item : std::as_const(leaving))
        retireItem(item);
    const bool selectionChanged = std::any_of(leaving.cbegin(), leaving.cend(),
                                              [](auto* item) { return item->isSelected(); });
    m_items = items;

    QList<QWidget*> widgets;
    widgets.reserve(items.size() + 1);
    for (KanbanColumnViewItem* item : std::as_const(m_items))
        widgets.append(item->view());
    widgets.append(m_addColumnView);
    if (animated)
        m_layout->animateNextLayout();
    m_layout->setWidgets(widgets);
    // The scroll range follows at once, so that a new cell can be scrolled to right away.
    const int width = std::max(m_layout->minimumSize().width(), m_scrollView->viewport()->width());
    m_collectionView->resize(width, m_scrollView->viewport()->height());
    if (selectionChanged)
        Q_EMIT columnSelectionChanged();
}

void KanbanViewController::reloadData()
{
    for (int i = 0; i < m_items.size(); ++i)
        configureItem(m_items.at(i), m_columns.at(i));
}

void KanbanViewController::columnTitleChanged(KanbanColumn* column)
{
    if (KanbanColumnViewItem* item = itemForColumn(column))
        item->refreshTitle();
}

void KanbanViewController::setOnPicture(bool onPicture)
{
    m_onPicture = onPicture;
    for (KanbanColumnViewItem* item : std::as_const(m_items))
        item->setOnPicture(onPicture);
    m_addColumnView->setOnPicture(onPicture);
}

void KanbanViewController::writeBack()
{
    if (m_kanban)
        m_kanban->setColumn(m_columns);
}

void KanbanViewController::scrollToItems(const QList<int>& indexes)
{
    if (indexes.isEmpty())
        return;
    QScrollBar* bar = m_scrollView->horizontalScrollBar();
    const int visible = m_scrollView->viewport()->width();
    const int gap = KanbanCollectionViewFlowLayout::gap;
    // The last one, then the first, so that the first is in view when not all fit.
    for (int index : {indexes.last(), indexes.first()}) {
        if (index < 0 || index >= m_items.size())
            continue;
        const int left = m_layout->restingLeft(index);
        const int right = left + m_layout->widthOfItem(index);
        if (right + gap > bar->value() + visible)
            bar->setValue(right + gap - visible);
        if (left - gap < bar->value())
            bar->setValue(left - gap);
    }
}

bool KanbanViewController::scrollHorizontally(QWheelEvent* event)
{
    QScrollBar* bar = m_scrollView->horizontalScrollBar();
    const QPoint pixels = event->pixelDelta();
    const QPoint angle = event->angleDelta();
    const bool sideways = qAbs(angle.x()) > qAbs(angle.y());
    int delta = sideways ? pixels.x() : pixels.y();
    if (delta == 0) {
        const int degrees = sideways ? angle.x() : angle.y();
        delta = degrees * QApplication::wheelScrollLines() * bar->singleStep() / 120;
    }
    if (delta == 0 || bar->maximum() == 0)
        return false;
    bar->setValue(bar->value() - delta);
    event->accept();
    return true;
}

// Adding columns

KanbanColumn* KanbanViewController::addColumn()
{
    return addColumnAtIndex(int(m_columns.size()));
}

void KanbanViewController::addColumnWithItem(KanbanColumn* column, bool after)
{
    const qsizetype index = m_columns.indexOf(column);
    // A column that is not on this board adds at the end.
    addColumnAtIndex(index < 0 ? int(m_columns.size()) : int(index) + (after ? 1 : 0));
}

KanbanColumn* KanbanViewController::addColumnAtIndex(int index)
{
    ObjectContext* objects = AppDelegate::sharedContext();
    QUndoStack* stack = AppDelegate::sharedUndoStack();
    if (!m_kanban || !objects || !stack)
        return nullptr;
    index = std::clamp(index, 0, int(m_columns.size()));
    auto* column = objects->insert<KanbanColumn>();
    column->setTitle(QStringLiteral("new column"));
    m_columns.insert(index, column);
    writeBack();
    arrangeItems(true);
    scrollToItems({index});
    if (isVisible())
        m_items.at(index)->beginRenaming();
    save();
    clearColumnSelection();
    stack->push(new AddColumnsCommand(AddColumnsCommand::newColumnName(), this, {index}, {column}));
    return column;
}

// Deleting columns

void KanbanViewController::deleteColumnsWithIndexes(const QList<int>& indexes)
{
    const QList<int> valid = validIndexes(indexes, m_columns.size());
    QUndoStack* stack = AppDelegate::sharedUndoStack();
    if (valid.isEmpty() || !m_kanban || !stack)
        return;
    stack->push(new DeleteColumnsCommand(this, valid));
}

void KanbanViewController::deleteSelectedColumns()
{
    deleteColumnsWithIndexes(selectedColumnIndexes());
}

void KanbanViewController::deleteSelectedColumns(KanbanColumn* column)
{
    const KanbanColumnViewItem* item = itemForColumn(column);
    if (!column || (item && item->isSelected()))
        deleteSelectedColumns();
    else if (item)
        deleteColumnsWithIndexes({int(m_columns.indexOf(column))});
}

QJsonArray KanbanViewController::deleteColumnsWithoutUndo(const QList<int>& indexes,
                                                          const QList<KanbanColumn*>& expected)
{
    ObjectContext* objects = AppDelegate::sharedContext();
    const QList<int> valid = validIndexes(indexes, m_columns.size());
    if (!m_kanban || !objects || valid.isEmpty())
        return {};
    if (!expected.isEmpty()) {
        for (qsizetype j = 0; j < valid.size(); ++j) {
            if (expected.value(j) != m_columns.at(valid.at(j)))
                return {};
        }
    }
    QJsonArray dictionaries;
    QList<KanbanColumn*> removed;
    for (int index : valid) {
        KanbanColumn* column = m_columns.at(index);
        dictionaries.append(JSONWriter::dictionaryFromObject(*column));
        removed.append(column);
    }
    for (auto it = valid.crbegin(); it != valid.crend(); ++it)
        m_columns.removeAt(*it);
    writeBack();
    arrangeItems(true);
    // Unlinked columns would only pile up unseen: they leave the store now, and undo rebuilds
    // them from their dictionaries. Items of lists stay with their lists.
    for (KanbanColumn* column : std::as_const(removed))
        objects->deleteObject(column);
    save();
    return dictionaries;
}

QList<KanbanColumn*> KanbanViewController::restoreColumnsWithoutUndo(const QJsonArray& dictionaries,
                                                                     const QList<int>& indexes)
{
    if (!m_kanban || dictionaries.isEmpty())
        return {};
    QString error;
    const auto objects =
        ExchangeRebuilder::rebuild(dictionaries, ExchangeRebuilder::Purpose::Undo, &error);
    const QList<KanbanColumn*> columns =
        objects ? ExchangeRebuilder::only<KanbanColumn>(*objects) : QList<KanbanColumn*>();
    if (columns.size() != dictionaries.size()) {
        qWarning("KanbanViewController: the deleted columns cannot be rebuilt: %s",
                 qUtf8Printable(error));
        return {};
    }
    for (KanbanColumn* column : columns)
        TagCleanUp::cleanUpTagsInItems(m_kanban, column->item());
    QList<int> sorted = indexes;
    std::sort(sorted.begin(), sorted.end());
    for (qsizetype j = 0; j < columns.size(); ++j) {
        const int at = j < sorted.size() ? sorted.at(j) : int(m_columns.size());
        m_columns.insert(std::clamp(at, 0, int(m_columns.size())), columns.at(j));
    }
    writeBack();
    arrangeItems(true);
    save();
    return columns;
}

// Moving columns

void KanbanViewController::moveColumnsWithDip(const QList<int>& draggedIndexes, int target)
{
    const QList<int> dragged = validIndexes(draggedIndexes, m_columns.size());
    QUndoStack* stack = AppDelegate::sharedUndoStack();
    if (dragged.isEmpty() || !m_kanban || !stack || target < 0 || target > m_columns.size())
        return;
    // A drop that leaves the order as it is is no change to undo.
    const int k = int(
        std::count_if(dragged.cbegin(), dragged.cend(), [target](int i) { return i < target; }));
    bool unchanged = true;
    for (qsizetype j = 0; j < dragged.size(); ++j)
        unchanged = unchanged && dragged.at(j) == target - k + j;
    if (unchanged)
        return;
    stack->push(new MoveColumnsCommand(this, dragged, target));
}

QList<KanbanColumn*>
KanbanViewController::moveColumnsWithoutUndo(const QList<int>& draggedIndexes, int target,
                                             bool reverse, const QList<KanbanColumn*>& expected)
{
    const QList<int> dragged = validIndexes(draggedIndexes, m_columns.size());
    if (!m_kanban || dragged.isEmpty() || dragged.size() != draggedIndexes.size() || target < 0 ||
        target > m_columns.size())
        return {};
    const int k = int(
        std::count_if(dragged.cbegin(), dragged.cend(), [target](int i) { return i < target; }));
    const int start = target - k;
    QList<KanbanColumn*> moved;
    if (!reverse) {
        for (int index : dragged)
            moved.append(m_columns.at(index));
    } else {
        if (start + dragged.size() > m_columns.size())
            return {};
        moved = m_columns.mid(start, dragged.size());
    }
    if (!expected.isEmpty() && moved != expected)
        return {};
    if (!reverse) {
        for (auto it = dragged.crbegin(); it != dragged.crend(); ++it)
            m_columns.removeAt(*it);
        for (qsizetype j = 0; j < moved.size(); ++j)
            m_columns.insert(start + j, moved.at(j));
    } else {
        m_columns.remove(start, dragged.size());
        for (qsizetype j = 0; j < moved.size(); ++j)
            m_columns.insert(dragged.at(j), moved.at(j));
    }
    writeBack();
    arrangeItems(true);
    save();
    Q_EMIT columnSelectionChanged();
    return moved;
}

// The clipboard

void KanbanViewController::copySelectedColumnsToPasteboard()
{
    QList<KanbanColumn*> selected;
    for (int index : selectedColumnIndexes())
        selected.append(m_columns.at(index));
    if (selected.isEmpty())
        return;
    QApplication::clipboard()->setMimeData(
        ColumnPasteboard::columnData(ColumnPasteboard::dictionariesOf(selected)).release());
}

void KanbanViewController::cut()
{
    if (selectedColumnIndexes().isEmpty())
        return;
    copySelectedColumnsToPasteboard();
    deleteSelectedColumns();
}

bool KanbanViewController::canPaste() const
{
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (!data || !m_kanban)
        return false;
    return data->hasFormat(ColumnPasteboard::columnDataType()) ||
           (data->hasFormat(CardPasteboard::cardDataType()) && !m_columns.isEmpty());
}

void KanbanViewController::paste()
{
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (!data || !m_kanban)
        return;
    if (data->hasFormat(ColumnPasteboard::columnDataType())) {
        pasteColumns();
        return;
    }
    if (!data->hasFormat(CardPasteboard::cardDataType()) || m_items.isEmpty())
        return;
    const QList<int> selected = selectedColumnIndexes();
    KanbanColumnViewItem* target = m_items.at(selected.isEmpty() ? 0 : selected.last());
    target->listViewController()->paste();
}

void KanbanViewController::pasteColumns()
{
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (!data || !m_kanban || !data->hasFormat(ColumnPasteboard::columnDataType()))
        return;
    int anchor = int(m_columns.size()) - 1;
    const QList<int> selected = selectedColumnIndexes();
    if (!selected.isEmpty()) {
        anchor = selected.last();
    } else {
        const auto withCards = std::find_if(m_items.cbegin(), m_items.cend(), [](auto* item) {
            return !item->listViewController()->selectedRows().isEmpty();
        });
        if (withCards != m_items.cend())
            anchor = int(withCards - m_items.cbegin());
    }
    QString error;
    const auto dictionaries = ColumnPasteboard::dictionaries(data, &error);
    QList<KanbanColumn*> columns;
    if (dictionaries) {
        const auto objects =
            ExchangeRebuilder::rebuild(*dictionaries, ExchangeRebuilder::Purpose::Paste, &error);
        if (objects)
            columns = ExchangeRebuilder::only<KanbanColumn>(*objects);
    }
    if (!dictionaries || columns.size() != dictionaries->size()) {
        MessageBox::critical(this, tr("The columns cannot be pasted."), error);
        return;
    }
    for (KanbanColumn* column : std::as_const(columns))
        TagCleanUp::cleanUpTagsInItems(m_kanban, column->item());
    QList<int> indexes;
    for (qsizetype j = 0; j < columns.size(); ++j) {
        m_columns.insert(anchor + 1 + j, columns.at(j));
        indexes.append(int(anchor + 1 + j));
    }
    writeBack();
    save();
    arrangeItems(true);
    setColumnSelection(indexes, true);
    scrollToItems(indexes);
    if (QUndoStack* stack = AppDelegate::sharedUndoStack())
        stack->push(
            new AddColumnsCommand(AddColumnsCommand::pasteColumnName(), this, indexes, columns));
}

void KanbanViewController::cleanUpTagsInItems(const QList<ListItem*>& items)
{
    TagCleanUp::cleanUpTagsInItems(m_kanban, items);
    save();
}

// Selection

QList<int> KanbanViewController::selectedColumnIndexes() const
{
    QList<int> indexes;
    for (int i = 0; i < m_items.size(); ++i) {
        if (m_items.at(i)->isSelected())
            indexes.append(i);
    }
    return indexes;
}

KanbanColumnListViewController* KanbanViewController::listWithSelectedCards() const
{
    for (KanbanColumnViewItem* item : m_items) {
        if (!item->listViewController()->selectedRows().isEmpty())
            return item->listViewController();
    }
    return nullptr;
}

int KanbanViewController::numberOfSelectedColumns() const
{
    return int(selectedColumnIndexes().size());
}

void KanbanViewController::setColumnSelection(const QList<int>& indexes, bool clearCards)
{
    const QList<int> valid = validIndexes(indexes, m_items.size());
    if (clearCards && !valid.isEmpty()) {
        for (KanbanColumnViewItem* item : std::as_const(m_items))
            item->listViewController()->clearSelection();
    }
    bool changed = false;
    for (int i = 0; i < m_items.size(); ++i) {
        const bool selected = valid.contains(i);
        changed = changed || m_items.at(i)->isSelected() != selected;
        m_items.at(i)->setSelected(selected);
    }
    if (!valid.isEmpty())
        m_anchorIndex = valid.last();
    if (changed)
        Q_EMIT columnSelectionChanged();
}

void KanbanViewController::setSelectedColumnIndexes(const QList<int>& indexes)
{
    setColumnSelection(indexes, true);
}

void KanbanViewController::selectWithColumn(KanbanColumn* column)
{
    const qsizetype index = m_columns.indexOf(column);
    if (index < 0)
        return;
    setColumnSelection(selectedColumnIndexes() << int(index), true);
}

void KanbanViewController::clearColumnSelection()
{
    setColumnSelection({}, false);
}

void KanbanViewController::deselectItemsInAllColumnsOtherThanWithColumn(KanbanColumn* column)
{
    for (KanbanColumnViewItem* item : std::as_const(m_items)) {
        if (item->columnObject() != column)
            item->listViewController()->clearSelection();
    }
    // Selected cards take the Edit commands from here on, not columns.
    clearColumnSelection();
}

KanbanColumnListViewController* KanbanViewController::neighbourColumnList(KanbanColumn* column,
                                                                          int step)
{
    const qsizetype index = m_columns.indexOf(column);
    KanbanColumnViewItem* item = index < 0 ? nullptr : itemAt(int(index + step));
    return item ? item->listViewController() : nullptr;
}

void KanbanViewController::selectIndexesByUser(const QList<int>& indexes)
{
    setColumnSelection(indexes, true);
    // The board takes the keys and the Edit commands of the selected columns.
    if (!indexes.isEmpty())
        setFocus(Qt::MouseFocusReason);
}

void KanbanViewController::selectColumnByClick(KanbanColumn* column, bool extend)
{
    const int index = int(m_columns.indexOf(column));
    if (index < 0)
        return;
    if (!extend || m_anchorIndex < 0 || m_anchorIndex >= m_columns.size()) {
        selectIndexesByUser({index});
        return;
    }
    // Shift extends from the last selected column to this one.
    QList<int> indexes = selectedColumnIndexes();
    const int anchor = m_anchorIndex;
    for (int i = std::min(anchor, index); i <= std::max(anchor, index); ++i)
        indexes.append(i);
    selectIndexesByUser(indexes);
    m_anchorIndex = anchor;
}

void KanbanViewController::selectColumnForMenu(KanbanColumn* column, bool extend)
{
    const KanbanColumnViewItem* item = itemForColumn(column);
    if (!item)
        return;
    if (!item->isSelected() && !extend)
        clearColumnSelection();
    selectWithColumn(column);
    setFocus(Qt::MouseFocusReason);
}

QMenu* KanbanViewController::showContextMenuForColumn(KanbanColumn* column,
                                                      const QPoint& globalPosition)
{
    KanbanColumnViewItem* item = itemForColumn(column);
    if (!item)
        return nullptr;
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    item->populateContextMenu(menu);
    menu->popup(globalPosition);
    return menu;
}

void KanbanViewController::moveSelectionBy(int step, bool extend)
{
    if (m_columns.isEmpty())
        return;
    const QList<int> selected = selectedColumnIndexes();
    int from = step > 0 ? -1 : int(m_columns.size());
    if (!selected.isEmpty())
        from = step > 0 ? selected.last() : selected.first();
    const int to = std::clamp(from + step, 0, int(m_columns.size()) - 1);
    selectIndexesByUser(extend ? selected + QList<int>{to} : QList<int>{to});
    m_anchorIndex = to;
    scrollToItems({to});
}

void KanbanViewController::moveSelectedColumnsBy(int step)
{
    const QList<int> selected = selectedColumnIndexes();
    if (selected.isEmpty())
        return;
    if (step < 0 && selected.first() > 0)
        moveColumnsWithDip(selected, selected.first() - 1);
    else if (step > 0 && selected.last() < m_columns.size() - 1)
        moveColumnsWithDip(selected, selected.last() + 2);
    const QList<int> now = selectedColumnIndexes();
    if (!now.isEmpty())
        scrollToItems({step < 0 ? now.first() : now.last()});
}

// The show-archived mode and due dates

void KanbanViewController::buildArchiveBar()
{
    m_archiveBar = new QWidget(this);
    m_archiveBar->setAutoFillBackground(true);
    m_archiveBar->setBackgroundRole(QPalette::AlternateBase);
    auto* layout = new QHBoxLayout(m_archiveBar);
    // In line with the columns below.
    layout->setContentsMargins(KanbanCollectionViewFlowLayout::gap, 6,
                               KanbanCollectionViewFlowLayout::gap, 6);
    m_archiveLabel = new QLabel(tr("Archived cards"), m_archiveBar);
    QFont font = m_archiveLabel->font();
    font.setWeight(QFont::DemiBold);
    m_archiveLabel->setFont(font);
    layout->addWidget(m_archiveLabel);
    layout->addStretch(1);
    auto* leave = new QPushButton(tr("Switch to Edit"), m_archiveBar);
    leave->setFocusPolicy(Qt::TabFocus);
    connect(leave, &QPushButton::clicked, this, [] {
        if (AppDelegate* delegate = AppDelegate::shared())
            delegate->showArchivedSelected();
    });
    layout->addWidget(leave);
    m_archiveBarAnimation = new QPropertyAnimation(m_archiveBar, "maximumHeight", this);
    m_archiveBarAnimation->setDuration(archiveBarMilliseconds);
    m_archiveBarAnimation->setEasingCurve(QEasingCurve::InOutQuad);
    connect(m_archiveBarAnimation, &QPropertyAnimation::finished, this, [this] {
        if (!m_archiveBarShown)
            m_archiveBar->hide();
    });
}

void KanbanViewController::placeArchiveBar(bool animated)
{
    m_archiveBarShown = ListViewController::listViewMode() == ListViewMode::Archived;
    const int target = m_archiveBarShown ? m_archiveBar->sizeHint().height() : 0;
    m_archiveBarAnimation->stop();
    if (!animated || !isVisible()) {
        m_archiveBar->setMaximumHeight(target);
        m_archiveBar->setVisible(m_archiveBarShown);
        return;
    }
    const int from = m_archiveBar->isVisible() ? m_archiveBar->height() : 0;
    m_archiveBar->setMaximumHeight(from);
    m_archiveBar->show();
    m_archiveBarAnimation->setStartValue(from);
    m_archiveBarAnimation->setEndValue(target);
    m_archiveBarAnimation->start();
}

void KanbanViewController::viewModeChanged()
{
    showHideArchiveBarWithReloadTable(true);
}

void KanbanViewController::showHideArchiveBarWithReloadTable(bool reload)
{
    if (reload)
        reloadData();
    placeArchiveBar(true);
}

void KanbanViewController::checkForDueItems()
{
    for (KanbanColumnViewItem* item : std::as_const(m_items))
        item->listViewController()->checkForDueItems();
}

// Dragging columns

bool KanbanViewController::beginColumnDrag(const QList<int>& indexes)
{
    const QList<int> valid = validIndexes(indexes, m_columns.size());
    if (valid.isEmpty() || valid.size() != indexes.size())
        return false;
    m_draggingIndexes = valid;
    return true;
}

std::unique_ptr<QMimeData> KanbanViewController::columnDragData(const QList<int>& indexes) const
{
    ObjectContext* objects = AppDelegate::sharedContext();
    QStringList uris;
    for (int index : validIndexes(indexes, m_columns.size())) {
        if (objects)
            uris.append(objects->uriFor(m_columns.at(index)));
    }
    return ColumnPasteboard::dragData(uris);
}

int KanbanViewController::dropIndexAt(const QPoint& point) const
{
    // Measured on the row without the dragged columns and without the gap of the preview, so
    // that a point means the same index whatever the preview shows.
    int shift = 0;
    for (int i = 0; i < m_columns.size(); ++i) {
        if (m_draggingIndexes.contains(i)) {
            shift += KanbanCollectionViewFlowLayout::previewShift;
            continue;
        }
        const int left = m_layout->restingLeft(i) - shift;
        if (point.x() < left + KanbanColumnViewItem::width / 2)
            return i;
    }
    return int(m_columns.size());
}

void KanbanViewController::updateColumnDropPreview(int index)
{
    if (m_draggingIndexes.isEmpty())
        return;
    index = std::clamp(index, 0, int(m_columns.size()));
    m_layout->setDragPreview(m_draggingIndexes, index);
    // The dragged columns travel with the pointer; their places close up.
    for (int dragged : std::as_const(m_draggingIndexes))
        m_items.at(dragged)->view()->hide();
}

bool KanbanViewController::dropColumns(int index)
{
    m_dragAutoScroll.stop();
    m_layout->endDragPreview();
    if (m_draggingIndexes.isEmpty())
        return false;
    const QList<int> dragged = m_draggingIndexes;
    m_draggingIndexes.clear();
    for (KanbanColumnViewItem* item : std::as_const(m_items))
        item->view()->show();
    moveColumnsWithDip(dragged, std::clamp(index, 0, int(m_columns.size())));
    return true;
}

void KanbanViewController::endColumnDrag()
{
    m_dragAutoScroll.stop();
    m_layout->endDragPreview();
    m_draggingIndexes.clear();
    for (KanbanColumnViewItem* item : std::as_const(m_items))
        item->view()->show();
    setCardDropsEnabled(true);
}

void KanbanViewController::setCardDropsEnabled(bool enabled)
{
    if (!enabled) {
        // Only the board takes a column drop: nothing inside a column may claim it.
        for (QWidget* child : m_collectionView->findChildren<QWidget*>()) {
            if (child->acceptDrops()) {
                child->setAcceptDrops(false);
                m_cardDropTargets.append(child);
            }
        }
        return;
    }
    for (const QPointer<QWidget>& target : std::as_const(m_cardDropTargets)) {
        if (target)
            target->setAcceptDrops(true);
    }
    m_cardDropTargets.clear();
}

void KanbanViewController::startColumnDrag(KanbanColumn* column, const QPoint& hotSpot)
{
    KanbanColumnViewItem* item = itemForColumn(column);
    if (!item)
        return;
    if (!item->isSelected())
        selectIndexesByUser({int(m_columns.indexOf(column))});
    if (!beginColumnDrag(selectedColumnIndexes()))
        return;
    std::unique_ptr<QMimeData> data = columnDragData(m_draggingIndexes);
    // The picture under the pointer: the column as it looks, slightly transparent.
    const QPixmap look = item->view()->grab();
    QPixmap picture(look.size());
    picture.setDevicePixelRatio(look.devicePixelRatio());
    picture.fill(Qt::transparent);
    {
        QPainter painter(&picture);
        painter.setOpacity(0.8);
        painter.drawPixmap(0, 0, look);
    }
    auto* drag = new QDrag(item->view());
    drag->setMimeData(data.release());
    drag->setPixmap(picture);
    drag->setHotSpot(hotSpot);
    setCardDropsEnabled(false);
    drag->exec(Qt::MoveAction, Qt::MoveAction);
    endColumnDrag();
}

void KanbanViewController::autoScrollDuringDrag()
{
    QScrollBar* bar = m_scrollView->horizontalScrollBar();
    bar->setValue(bar->value() + m_dragAutoScrollStep);
}

void KanbanViewController::handleDragEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (m_draggingIndexes.isEmpty() ||
            !drag->mimeData()->hasFormat(ColumnPasteboard::dragType())) {
            drag->ignore();
            return;
        }
        const QPoint point = drag->position().toPoint();
        updateColumnDropPreview(dropIndexAt(point));
        const int x = m_collectionView->mapTo(m_scrollView->viewport(), point).x();
        const int width = m_scrollView->viewport()->width();
        m_dragAutoScrollStep =
            x < dragAutoScrollEdge ? -16 : (x > width - dragAutoScrollEdge ? 16 : 0);
        if (m_dragAutoScrollStep == 0)
            m_dragAutoScroll.stop();
        else if (!m_dragAutoScroll.isActive())
            m_dragAutoScroll.start();
        drag->setDropAction(Qt::MoveAction);
        drag->accept();
        return;
    }
    case QEvent::DragLeave:
        m_dragAutoScroll.stop();
        m_layout->endDragPreview();
        for (KanbanColumnViewItem* item : std::as_const(m_items))
            item->view()->show();
        return;
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        if (!dropColumns(dropIndexAt(drop->position().toPoint()))) {
            drop->ignore();
            return;
        }
        drop->setDropAction(Qt::MoveAction);
        drop->accept();
        return;
    }
    default:
        return;
    }
}

// Events

bool KanbanViewController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_collectionView) {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::DragLeave:
        case QEvent::Drop:
            handleDragEvent(event);
            return true;
        case QEvent::MouseButtonPress:
            // A click on the board between the columns.
            clearColumnSelection();
            setFocus(Qt::MouseFocusReason);
            return true;
        default:
            break;
        }
    } else if (event->type() == QEvent::Wheel && watched == m_scrollView->viewport()) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        const QPoint point =
            m_collectionView->mapFrom(m_scrollView->viewport(), wheel->position().toPoint());
        const QWidget* under = m_collectionView->childAt(point);
        const bool overColumn = under && under != m_addColumnView;
        // Over the board the wheel scrolls sideways whichever way it turns; a column scrolled
        // to its end does not pass its downward turns on to the board.
        if (overColumn && qAbs(wheel->angleDelta().y()) >= qAbs(wheel->angleDelta().x())) {
            wheel->accept();
            return true;
        }
        return scrollHorizontally(wheel);
    }
    return QWidget::eventFilter(watched, event);
}

void KanbanViewController::keyPressEvent(QKeyEvent* event)
{
    const auto tryEdit = [this, event](EditAction action) {
        if (!canPerformEditAction(action))
            return false;
        performEditAction(action);
        event->accept();
        return true;
    };
    if ((event->matches(QKeySequence::Copy) && tryEdit(EditAction::Copy)) ||
        (event->matches(QKeySequence::Cut) && tryEdit(EditAction::Cut)) ||
        (event->matches(QKeySequence::Paste) && tryEdit(EditAction::Paste)) ||
        (event->matches(QKeySequence::SelectAll) && tryEdit(EditAction::SelectAll)))
        return;
    const bool shift = event->modifiers().testFlag(Qt::ShiftModifier);
    const bool control = event->modifiers().testFlag(Qt::ControlModifier);
    const QList<int> selected = selectedColumnIndexes();
    switch (event->key()) {
    case Qt::Key_Delete:
    case Qt::Key_Backspace:
        if (canPerformEditAction(EditAction::Delete)) {
            performEditAction(EditAction::Delete);
            return;
        }
        break;
    case Qt::Key_F2:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!selected.isEmpty()) {
            m_items.at(selected.last())->beginRenaming();
            return;
        }
        break;
    case Qt::Key_Left:
    case Qt::Key_Right: {
        const int step = event->key() == Qt::Key_Left ? -1 : 1;
        if (control && shift)
            moveSelectedColumnsBy(step);
        else
            moveSelectionBy(step, shift);
        return;
    }
    case Qt::Key_Escape:
        if (!selected.isEmpty()) {
            clearColumnSelection();
            return;
        }
        break;
    default:
        break;
    }
    QWidget::keyPressEvent(event);
}

void KanbanViewController::contextMenuEvent(QContextMenuEvent* event)
{
    const QList<int> selected = selectedColumnIndexes();
    if (event->reason() == QContextMenuEvent::Mouse || selected.isEmpty()) {
        QWidget::contextMenuEvent(event);
        return;
    }
    // The menu key: the menu of the last selected column, below its title.
    KanbanColumnViewItem* item = m_items.at(selected.last());
    showContextMenuForColumn(
        item->columnObject(),
        item->view()->mapToGlobal(item->columnTitle()->geometry().bottomLeft()));
    event->accept();
}

void KanbanViewController::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    updateWindowTitle();
    placeArchiveBar(false);
}

// EditResponder

bool KanbanViewController::handlesEditAction(EditAction) const
{
    return true;
}

bool KanbanViewController::canPerformEditAction(EditAction action) const
{
    switch (action) {
    case EditAction::Cut:
    case EditAction::Copy:
    case EditAction::Delete:
        return canDeleteColumns() || listWithSelectedCards();
    case EditAction::Paste:
        return canPaste();
    case EditAction::SelectAll:
        return !m_columns.isEmpty();
    }
    return false;
}

void KanbanViewController::performEditAction(EditAction action)
{
    // The focus is on the board or a column cell (after Escape, a menu, or a click between
    // the columns): without a selected column, the selected cards are the target.
    KanbanColumnListViewController* cards = canDeleteColumns() ? nullptr : listWithSelectedCards();
    if (cards && action != EditAction::Paste && action != EditAction::SelectAll) {
        KanbanColumnTableView* table = cards->columnTableView();
        if (table->canPerformEditAction(action))
            table->performEditAction(action);
        return;
    }
    switch (action) {
    case EditAction::Cut:
        cut();
        break;
    case EditAction::Copy:
        copySelectedColumnsToPasteboard();
        break;
    case EditAction::Paste:
        paste();
        break;
    case EditAction::Delete:
        deleteSelectedColumns();
        break;
    case EditAction::SelectAll: {
        QList<int> all;
        for (int i = 0; i < m_columns.size(); ++i)
            all.append(i);
        selectIndexesByUser(all);
        break;
    }
    }
}
