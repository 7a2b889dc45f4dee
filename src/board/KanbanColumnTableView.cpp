#include "KanbanColumnTableView.h"

#include "CardPasteboard.h"
#include "CardTableModel.h"
#include "KanbanColumnListViewController.h"
#include "cards/CardEditor.h"
#include "cards/ListItemCellView.h"
#include "model/ListItem.h"
#include "store/AppDelegate.h"
#include "store/ObjectContext.h"
#include "widgets/OverlayScrollBar.h"

#include <QApplication>
#include <QDrag>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>
#include <QScopedValueRollback>
#include <QScrollBar>

namespace {
constexpr int gapHeight = 44;
} // namespace

KanbanColumnTableView::KanbanColumnTableView(KanbanColumnListViewController* controller,
                                             QWidget* parent)
    : QListView(parent)
    , m_controller(controller)
{
    setFrameShape(QFrame::NoFrame);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(false);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(false);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::MoveAction);
    setMouseTracking(true);
    setAutoFillBackground(false);
    viewport()->setAutoFillBackground(false);
    verticalScrollBar()->setSingleStep(24);
    new OverlayScrollBar(this);
    setAccessibleName(tr("Cards"));
    m_autoScroll.setInterval(30);
    connect(&m_autoScroll, &QTimer::timeout, this, &KanbanColumnTableView::autoScrollStep);

    // The gap under a hovering drag opens smoothly.
    m_gapAnimation = new QVariantAnimation(this);
    m_gapAnimation->setDuration(120);
    m_gapAnimation->setEasingCurve(QEasingCurve::OutCubic);
    connect(m_gapAnimation, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        cellView()->setDropGap(m_dropRow, value.toInt());
        doItemsLayout();
    });
}

ListItemCellView* KanbanColumnTableView::cellView() const
{
    return m_controller->cellView();
}

void KanbanColumnTableView::closeOpenEditor()
{
    const ListItem* editing = cellView()->editingItem();
    if (!editing)
        return;
    const QModelIndex index = m_controller->tableModel()->indexForItem(editing);
    if (QWidget* editor = index.isValid() ? indexWidget(index) : nullptr) {
        if (auto* card = qobject_cast<CardEditor*>(editor))
            card->storeNotes();
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
    cellView()->setEditingItem(nullptr);
}

bool KanbanColumnTableView::handlesEditAction(EditAction) const
{
    return true;
}

bool KanbanColumnTableView::canPerformEditAction(EditAction action) const
{
    switch (action) {
    case EditAction::Cut:
    case EditAction::Copy:
    case EditAction::Delete:
        return !m_controller->selectedRows().isEmpty();
    case EditAction::Paste:
        return m_controller->canPaste();
    case EditAction::SelectAll:
        return !m_controller->listItems().isEmpty();
    }
    return false;
}

void KanbanColumnTableView::performEditAction(EditAction action)
{
    switch (action) {
    case EditAction::Cut:
        m_controller->cut();
        break;
    case EditAction::Copy:
        m_controller->copySelectedCardsToPasteboard();
        break;
    case EditAction::Paste:
        m_controller->paste();
        break;
    case EditAction::Delete:
        m_controller->deleteCurrentSelectedItems();
        break;
    case EditAction::SelectAll:
        selectAll();
        break;
    }
}

bool KanbanColumnTableView::measureVisibleCards()
{
    if (!isVisible())
        return false;
    // Rows are placed from the cached heights, exactly as the view places them, rather than by
    // asking the view (indexAt, visualRect): that would run a pending layout from inside this
    // one. Each card is measured before the rows below it are placed, so one walk suffices.
    CardTableModel* model = m_controller->tableModel();
    ListItemCellView* cells = cellView();
    const int top = verticalScrollBar()->value();
    const int bottom = top + viewport()->height();
    bool changed = false;
    int y = 0;
    for (int row = 0; row < model->rowCount() && y <= bottom; ++row) {
        ListItem* item = model->itemAt(row);
        if (item && !cells->hasExactHeight(item) &&
            y + m_controller->heightOfRow(row) + cells->gapAbove(row) > top)
            changed = cells->measureExactly(item) || changed;
        y += m_controller->heightOfRow(row) + cells->gapAbove(row) + spacing();
    }
    return changed;
}

void KanbanColumnTableView::doItemsLayout()
{
    // A layout never starts another from inside itself: whatever asks for one meanwhile (the
    // scroll position clamped to a shorter column, cards measured as they come into view) has
    // it run once this pass is done. Every round measures cards for good, so it ends.
    if (m_layingOut) {
        m_layoutAgain = true;
        return;
    }
    const QScopedValueRollback guard(m_layingOut, true);
    for (int round = 0; round < maximumLayoutRounds; ++round) {
        m_layoutAgain = false;
        measureVisibleCards();
        QListView::doItemsLayout();
        if (!m_layoutAgain)
            return;
    }
    scheduleDelayedItemsLayout(); // should never be needed; the event loop keeps turning
}

void KanbanColumnTableView::scrollContentsBy(int dx, int dy)
{
    QListView::scrollContentsBy(dx, dy);
    if (measureVisibleCards())
        doItemsLayout();
}

void KanbanColumnTableView::paintEvent(QPaintEvent* event)
{
    QListView::paintEvent(event);
    CardTableModel* model = m_controller->tableModel();
    // A drop after the last row has no row to open a gap above: a line marks it.
    if (m_dropRow < model->rowCount() || model->rowCount() == 0)
        return;
    const int y = visualRect(model->index(model->rowCount() - 1)).bottom() + 1;
    QPainter painter(viewport());
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor colour = palette().color(QPalette::Highlight);
    const QRectF bar(10, y, viewport()->width() - 20, 3);
    QPainterPath path;
    path.addRoundedRect(bar, 1.5, 1.5);
    painter.fillPath(path, colour);
}

void KanbanColumnTableView::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Delete:
    case Qt::Key_Backspace:
        m_controller->deleteCurrentSelectedItems();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_F2:
        if (currentIndex().isValid() && m_controller->tableModel()->itemAt(currentIndex().row())) {
            edit(currentIndex());
            if (auto* editor = qobject_cast<CardEditor*>(indexWidget(currentIndex())))
                editor->focusNotesAtEnd();
            return;
        }
        break;
    default:
        break;
    }
    QListView::keyPressEvent(event);
}

void KanbanColumnTableView::mousePressEvent(QMouseEvent* event)
{
    m_pressPosition = event->position().toPoint();
    m_pressedIndex = indexAt(m_pressPosition);
    setFocus(Qt::MouseFocusReason);
    QListView::mousePressEvent(event);
}

void KanbanColumnTableView::mouseMoveEvent(QMouseEvent* event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    setHoveredRow(index.isValid() ? index.row() : -1);
    QListView::mouseMoveEvent(event);
}

void KanbanColumnTableView::setHoveredRow(int row)
{
    const int previous = cellView()->hoveredRow();
    if (previous == row)
        return;
    cellView()->setHoveredRow(row);
    CardTableModel* model = m_controller->tableModel();
    if (previous >= 0 && previous < model->rowCount())
        viewport()->update(visualRect(model->index(previous)));
    if (row >= 0)
        viewport()->update(visualRect(model->index(row)));
}

void KanbanColumnTableView::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint position = event->position().toPoint();
    const QModelIndex index = indexAt(position);
    const bool click =
        (position - m_pressPosition).manhattanLength() < QApplication::startDragDistance();
    QListView::mouseReleaseEvent(event);
    if (!click || !index.isValid() || index != m_pressedIndex ||
        event->button() != Qt::LeftButton ||
        (event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier)))
        return;
    const auto control = cellView()->controlAt(index, visualRect(index), position);
    if (control != ListItemCellView::Control::Notes && control != ListItemCellView::Control::Tags)
        return;
    // A click into a card's text or tags starts editing there.
    edit(index);
    if (auto* editor = qobject_cast<CardEditor*>(indexWidget(index))) {
        if (control == ListItemCellView::Control::Tags)
            editor->focusTags();
        else
            editor->focusNotesAt(editor->mapFrom(viewport(), position));
    }
}

void KanbanColumnTableView::contextMenuEvent(QContextMenuEvent* event)
{
    const QModelIndex index = indexAt(event->pos());
    ListItem* item = index.isValid() ? m_controller->tableModel()->itemAt(index.row()) : nullptr;
    QMenu menu(this);
    if (item) {
        if (!selectionModel()->isSelected(index))
            m_controller->selectRowFor(item);
        addCardMenuItems(&menu, item);
    } else {
        m_controller->addColumnMenuItems(&menu);
    }
    if (!menu.isEmpty())
        menu.exec(event->globalPos());
}

void KanbanColumnTableView::addCardMenuItems(QMenu* menu, ListItem* item)
{
    if (ListViewController::listViewMode() == ListViewMode::Archived)
        return;
    menu->addAction(tr("Add Card Above"), this, [this, item] { m_controller->addCardAbove(item); });
    menu->addAction(tr("Add Card Below"), this, [this, item] { m_controller->addCardBelow(item); });
    menu->addSeparator();
    const bool several = m_controller->selectedRows().size() >= 2;
    QAction* remove = menu->addAction(several ? tr("Delete Selected Cards") : tr("Delete Card"),
                                      this, [this, item, several] {
                                          if (several)
                                              m_controller->deleteCurrentSelectedItems();
                                          else
                                              m_controller->deleteItems({item});
                                      });
    remove->setObjectName(QStringLiteral("deleteCard"));
}

std::unique_ptr<QMimeData> KanbanColumnTableView::prepareDrag(const QList<int>& rows)
{
    CardTableModel* model = m_controller->tableModel();
    ObjectContext* context = AppDelegate::sharedContext();
    QList<int> indexes;
    QStringList uris;
    for (int row : rows) {
        ListItem* item = model->itemAt(row);
        if (!item || !context)
            continue;
        indexes.append(m_controller->indexFromTableWithRow(row));
        uris.append(context->uriFor(item));
    }
    if (uris.isEmpty())
        return nullptr;
    m_controller->setDraggedItemIndexes(indexes);
    return CardPasteboard::dragData(uris);
}

void KanbanColumnTableView::startDrag(Qt::DropActions)
{
    CardTableModel* model = m_controller->tableModel();
    QList<int> rows = m_controller->selectedRows();
    if (m_pressedIndex.isValid() && model->itemAt(m_pressedIndex.row()) &&
        !rows.contains(m_pressedIndex.row()))
        rows = {m_pressedIndex.row()};
    closeOpenEditor();
    std::unique_ptr<QMimeData> data = prepareDrag(rows);
    if (!data)
        return;

    // The picture under the pointer: the first card, slightly transparent.
    const QModelIndex first = model->index(rows.first());
    const QRect rect = visualRect(first);
    QPixmap picture(rect.size() * devicePixelRatioF());
    picture.setDevicePixelRatio(devicePixelRatioF());
    picture.fill(Qt::transparent);
    {
        QPainter painter(&picture);
        painter.setOpacity(0.85);
        cellView()->paintCard(&painter, QRect(QPoint(), rect.size()), model->itemAt(rows.first()),
                              true, false);
    }
    auto* drag = new QDrag(this);
    drag->setMimeData(data.release());
    drag->setPixmap(picture);
    drag->setHotSpot(m_pressPosition - rect.topLeft());
    drag->exec(Qt::MoveAction, Qt::MoveAction);
    m_controller->setDraggedItemIndexes({});
    setDropRow(-1);
}

bool KanbanColumnTableView::dropCards(const QMimeData* data, const QPoint& point,
                                      KanbanColumnTableView* sourceView)
{
    const int row = m_controller->validateDropRow(dropRowAt(point));
    setDropRow(-1);
    KanbanColumnListViewController* source = sourceView ? sourceView->controller() : nullptr;
    return row >= 0 && m_controller->acceptDrop(source, CardPasteboard::draggedUris(data), row);
}

int KanbanColumnTableView::dropRowAt(const QPoint& point) const
{
    CardTableModel* model = m_controller->tableModel();
    const QModelIndex index = indexAt(point);
    if (!index.isValid())
        return point.y() < 0 ? 1 : model->rowCount();
    // The open gap belongs to the row below it; halves are taken of the row's contents.
    const QRect rect = cellView()->contentRect(index, visualRect(index));
    if (point.y() < rect.top())
        return index.row();
    return point.y() > rect.center().y() ? index.row() + 1 : index.row();
}

void KanbanColumnTableView::setDropRow(int row)
{
    if (row == m_dropRow)
        return;
    m_dropRow = row;
    m_gapAnimation->stop();
    cellView()->setDropGap(-1, 0);
    if (row >= 0 && row < m_controller->tableModel()->rowCount()) {
        m_gapAnimation->setStartValue(0);
        m_gapAnimation->setEndValue(gapHeight);
        m_gapAnimation->start();
    } else {
        doItemsLayout();
    }
    viewport()->update();
}

void KanbanColumnTableView::dragEnterEvent(QDragEnterEvent* event)
{
    if (!event->mimeData()->hasFormat(CardPasteboard::dragType())) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::MoveAction);
    event->accept();
}

void KanbanColumnTableView::dragMoveEvent(QDragMoveEvent* event)
{
    if (!event->mimeData()->hasFormat(CardPasteboard::dragType())) {
        event->ignore();
        return;
    }
    const QPoint point = event->position().toPoint();
    const int edge = 24;
    m_autoScrollDelta = point.y() < edge ? -12 : (point.y() > viewport()->height() - edge ? 12 : 0);
    if (m_autoScrollDelta != 0 && !m_autoScroll.isActive())
        m_autoScroll.start();
    else if (m_autoScrollDelta == 0)
        m_autoScroll.stop();

    const int row = m_controller->validateDropRow(dropRowAt(point));
    setDropRow(row);
    if (row < 0) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::MoveAction);
    event->accept();
}

void KanbanColumnTableView::autoScrollStep()
{
    verticalScrollBar()->setValue(verticalScrollBar()->value() + m_autoScrollDelta);
}

void KanbanColumnTableView::dragLeaveEvent(QDragLeaveEvent* event)
{
    m_autoScroll.stop();
    setDropRow(-1);
    event->accept();
}

void KanbanColumnTableView::dropEvent(QDropEvent* event)
{
    m_autoScroll.stop();
    if (!dropCards(event->mimeData(), event->position().toPoint(),
                   qobject_cast<KanbanColumnTableView*>(event->source()))) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::MoveAction);
    event->accept();
}

void KanbanColumnTableView::resizeEvent(QResizeEvent* event)
{
    QListView::resizeEvent(event);
    // Heights depend on the width; the delegate notices a new width on its next question.
    if (event->size().width() != event->oldSize().width())
        scheduleDelayedItemsLayout();
}
