#include "SourceOutlineView.h"

#include "FHLeftSidebarViewController.h"
#include "SourceOutlineModel.h"
#include "SourceOutlineViewCell.h"

#include <QContextMenuEvent>
#include <QDrag>
#include <QMenu>
#include <QPainter>

SourceOutlineView::SourceOutlineView(FHLeftSidebarViewController* viewController, QWidget* parent)
    : QTreeView(parent)
    , m_viewController(viewController)
{
    setObjectName(QStringLiteral("SourceOutlineView"));
    setHeaderHidden(true);
    setFrameShape(QFrame::NoFrame);
    setUniformRowHeights(true);
    setIndentation(16);
    setAnimated(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::DoubleClicked);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::MoveAction);
    setAutoExpandDelay(700);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setItemDelegate(new SourceOutlineViewCell(this));
    // A source list sits on the window's colour, not on the white of a document.
    viewport()->setBackgroundRole(QPalette::Window);
    setAutoFillBackground(false);
}

SourceOutlineModel* SourceOutlineView::sourceModel() const
{
    return qobject_cast<SourceOutlineModel*>(model());
}

int SourceOutlineView::numberOfRows() const
{
    int rows = 0;
    for (QModelIndex index = model() ? model()->index(0, 0) : QModelIndex(); index.isValid();
         index = indexBelow(index))
        ++rows;
    return rows;
}

int SourceOutlineView::rowForIndex(const QModelIndex& target) const
{
    if (!target.isValid() || !model())
        return -1;
    int row = 0;
    for (QModelIndex index = model()->index(0, 0); index.isValid(); index = indexBelow(index)) {
        if (index == target)
            return row;
        ++row;
    }
    return -1;
}

QModelIndex SourceOutlineView::indexForRow(int row) const
{
    if (row < 0 || !model())
        return {};
    QModelIndex index = model()->index(0, 0);
    for (int i = 0; i < row && index.isValid(); ++i)
        index = indexBelow(index);
    return index;
}

int SourceOutlineView::selectedRow() const
{
    if (!selectionModel())
        return -1;
    const QModelIndex current = currentIndex();
    if (current.isValid() && selectionModel()->isSelected(current))
        return rowForIndex(current);
    int first = -1;
    for (const QModelIndex& index : selectionModel()->selectedRows()) {
        const int row = rowForIndex(index);
        if (row >= 0 && (first < 0 || row < first))
            first = row;
    }
    return first;
}

void SourceOutlineView::selectRow(int row)
{
    const QModelIndex index = indexForRow(row);
    if (!index.isValid())
        return;
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                 QItemSelectionModel::Rows);
    scrollTo(index);
}

QMenu* SourceOutlineView::menuForRow(int row, QWidget* parent)
{
    auto* menu = new QMenu(parent);
    if (row >= 0) {
        QAction* rename = menu->addAction(tr("Rename…"));
        rename->setObjectName(QStringLiteral("Rename…"));
        connect(rename, &QAction::triggered, this,
                [this, row] { runForRow(row, [this] { renameItem(); }); });
        menu->addSeparator();
    }
    QAction* newFolder = menu->addAction(tr("New Folder"));
    connect(newFolder, &QAction::triggered, this,
            [this, row] { runForRow(row, [this] { m_viewController->addFolder(); }); });
    QAction* newBoard = menu->addAction(tr("New Board…"));
    connect(newBoard, &QAction::triggered, this,
            [this, row] { runForRow(row, [this] { m_viewController->addKanban(); }); });
    if (row >= 0) {
        menu->addSeparator()->setObjectName(QStringLiteral("separatorIdentifier"));
        QAction* remove = menu->addAction(tr("Delete"));
        remove->setObjectName(QStringLiteral("Delete"));
        connect(remove, &QAction::triggered, this,
                [this, row] { runForRow(row, [this] { deleteItem(); }); });
    }
    return menu;
}

void SourceOutlineView::runForRow(int row, const std::function<void()>& command)
{
    m_clickedRow = row;
    command();
    m_clickedRow = -1;
}

void SourceOutlineView::contextMenuEvent(QContextMenuEvent* event)
{
    QModelIndex index;
    QPoint position = event->pos();
    if (event->reason() == QContextMenuEvent::Keyboard) {
        index = currentIndex();
        position = visualRect(index).center();
    } else {
        index = indexAt(position);
    }
    QMenu* menu = menuForRow(index.isValid() ? rowForIndex(index) : -1, this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(viewport()->mapToGlobal(position));
}

void SourceOutlineView::renameItem()
{
    const QModelIndex index = indexForRow(m_clickedRow >= 0 ? m_clickedRow : selectedRow());
    if (!index.isValid())
        return;
    scrollTo(index);
    edit(index);
}

void SourceOutlineView::deleteItem()
{
    if (DisplayItem* item = sourceModel()->itemForIndex(indexForRow(m_clickedRow)))
        m_viewController->deleteDisplayItemsWithItems({item});
}

bool SourceOutlineView::handlesEditAction(EditAction action) const
{
    return action == EditAction::Delete || action == EditAction::SelectAll;
}

bool SourceOutlineView::canPerformEditAction(EditAction action) const
{
    if (action == EditAction::Delete)
        return selectionModel() && selectionModel()->hasSelection();
    return action == EditAction::SelectAll && numberOfRows() > 0;
}

void SourceOutlineView::performEditAction(EditAction action)
{
    if (action == EditAction::Delete)
        m_viewController->deleteSelectedRows();
    else if (action == EditAction::SelectAll)
        selectAll();
}

void SourceOutlineView::keyPressEvent(QKeyEvent* event)
{
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (state() != EditingState && plain && event->key() == Qt::Key_Delete) {
        m_viewController->deleteSelectedRows();
        event->accept();
        return;
    }
    QTreeView::keyPressEvent(event);
}

QPixmap SourceOutlineView::dragPixmap(const QModelIndexList& indexes) const
{
    const QModelIndex first = indexes.value(0);
    const QRect rect = visualRect(first);
    if (rect.isEmpty())
        return {};
    const qreal ratio = devicePixelRatioF();
    QPixmap pixmap(rect.size() * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = QRect(QPoint(0, 0), rect.size());
    option.state |= QStyle::State_Selected;
    itemDelegate()->paint(&painter, option, first);
    return pixmap;
}

void SourceOutlineView::startDrag(Qt::DropActions)
{
    QModelIndexList indexes;
    for (const QModelIndex& index : selectionModel()->selectedRows()) {
        if (model()->flags(index) & Qt::ItemIsDragEnabled)
            indexes.append(index);
    }
    QMimeData* data = indexes.isEmpty() ? nullptr : model()->mimeData(indexes);
    if (!data)
        return;
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    const QPixmap pixmap = dragPixmap(indexes);
    if (!pixmap.isNull()) {
        drag->setPixmap(pixmap);
        drag->setHotSpot(QPoint(24, int(pixmap.height() / pixmap.devicePixelRatio() / 2)));
    }
    // The drop moves the nodes itself (the model's dropMimeData): nothing to remove here.
    drag->exec(Qt::MoveAction, Qt::MoveAction);
    drag->deleteLater();
    sourceModel()->clearDraggedItems();
}

bool SourceOutlineView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event)
{
    const bool editing = QTreeView::edit(index, trigger, event);
    if (editing && m_editedIndex != index) {
        m_editedIndex = index;
        m_titleBeforeEditing = index.data(Qt::EditRole).toString();
    }
    return editing;
}

void SourceOutlineView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    // Escape gives the node back the title it had; Tab ends renaming rather than moving on
    // to rename the next row.
    if (hint == QAbstractItemDelegate::RevertModelCache && m_editedIndex.isValid())
        model()->setData(m_editedIndex, m_titleBeforeEditing, Qt::EditRole);
    if (hint == QAbstractItemDelegate::EditNextItem ||
        hint == QAbstractItemDelegate::EditPreviousItem)
        hint = QAbstractItemDelegate::SubmitModelCache;
    m_editedIndex = QPersistentModelIndex();
    QTreeView::closeEditor(editor, hint);
    Q_EMIT titleEditingFinished();
}
