#include "CardTableView.h"

#include "CardPasteboard.h"
#include "CardTableModel.h"
#include "ListViewController.h"
#include "cards/CardEditor.h"
#include "cards/CardGeometry.h"
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

CardTableView::CardTableView(ListViewController* controller, QWidget* parent)
    : QListView(parent)
    , m_listController(controller)
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
    connect(&m_autoScroll, &QTimer::timeout, this, &CardTableView::autoScrollStep);
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* now) { followFocus(now); });

    // The gap under a hovering drag opens smoothly.
    m_gapAnimation = new QVariantAnimation(this);
    m_gapAnimation->setDuration(120);
    m_gapAnimation->setEasingCurve(QEasingCurve::OutCubic);
    connect(m_gapAnimation, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        cellView()->setDropGap(m_dropRow, value.toInt());
        doItemsLayout();
    });
}

ListItemCellView* CardTableView::cellView() const
{
    return m_listController->cellView();
}

void CardTableView::followFocus(QWidget* now)
{
    const bool inside = now && (now == this || isAncestorOf(now));
    if (inside == m_focusWithin)
        return;
    m_focusWithin = inside;
    viewport()->update();
    Q_EMIT focusWithinChanged(inside);
}

// Editing

void CardTableView::openEditorFor(ListItem* item, bool tags)
{
    const QModelIndex index = m_listController->tableModel()->indexForItem(item);
    if (!index.isValid())
        return;
    scrollTo(index);
    if (!selectionModel()->isSelected(index) || currentIndex() != index)
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    edit(index);
    if (auto* editor = qobject_cast<CardEditor*>(indexWidget(index))) {
        if (tags)
            editor->focusTags();
        else
            editor->focusNotesAtEnd();
    }
}

void CardTableView::closeOpenEditor()
{
    const ListItem* editing = cellView()->editingItem();
    if (!editing)
        return;
    const QModelIndex index = m_listController->tableModel()->indexForItem(editing);
    if (QWidget* editor = index.isValid() ? indexWidget(index) : nullptr) {
        if (auto* card = qobject_cast<CardEditor*>(editor))
            card->storeNotes();
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
    cellView()->setEditingItem(nullptr);
}

ListItem* CardTableView::currentCard() const
{
    CardTableModel* model = m_listController->tableModel();
    if (const ListItem* editing = cellView()->editingItem()) {
        const QModelIndex index = model->indexForItem(editing);
        if (index.isValid())
            return model->itemAt(index.row());
    }
    const QModelIndex current = currentIndex();
    if (current.isValid() && selectionModel()->isSelected(current))
        return model->itemAt(current.row());
    const QList<ListItem*> selected = m_listController->selectedItems();
    return selected.isEmpty() ? nullptr : selected.constFirst();
}

void CardTableView::selectCard(ListItem* item)
{
    const QModelIndex index = m_listController->tableModel()->indexForItem(item);
    if (!index.isValid())
        return;
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    scrollTo(index);
}

void CardTableView::openDatePickerFor(ListItem* item)
{
    const QModelIndex index = m_listController->tableModel()->indexForItem(item);
    if (!index.isValid())
        return;
    closeOpenEditor();
    scrollTo(index);
    const QRect row = cellView()->contentRect(index, visualRect(index));
    cellView()->openDatePicker(item, viewport(), cellView()->geometryFor(item, row).dueDateArea);
}

// Layout

bool CardTableView::measureVisibleCards()
{
    if (!isVisible())
        return false;
    // Rows are placed from the cached heights, exactly as the view places them, rather than by
    // asking the view (indexAt, visualRect): that would run a pending layout from inside this
    // one. Each card is measured before the rows below it are placed, so one walk suffices.
    CardTableModel* model = m_listController->tableModel();
    ListItemCellView* cells = cellView();
    const int top = verticalScrollBar()->value();
    const int bottom = top + viewport()->height();
    bool changed = false;
    int y = 0;
    for (int row = 0; row < model->rowCount() && y <= bottom; ++row) {
        ListItem* item = model->itemAt(row);
        if (item && !cells->hasExactHeight(item) &&
            y + m_listController->heightOfRow(row) + cells->gapAbove(row) > top)
            changed = cells->measureExactly(item) || changed;
        y += m_listController->heightOfRow(row) + cells->gapAbove(row) + spacing();
    }
    return changed;
}

void CardTableView::doItemsLayout()
{
    // A layout never starts another from inside itself: whatever asks for one meanwhile (the
    // scroll position clamped to a shorter table, cards measured as they come into view) has
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

void CardTableView::scrollContentsBy(int dx, int dy)
{
    QListView::scrollContentsBy(dx, dy);
    if (measureVisibleCards())
        doItemsLayout();
}

void CardTableView::resizeEvent(QResizeEvent* event)
{
    QListView::resizeEvent(event);
    // Heights depend on the width; the delegate notices a new width on its next question.
    if (event->size().width() != event->oldSize().width())
        scheduleDelayedItemsLayout();
}

// Painting

void CardTableView::paintEvent(QPaintEvent* event)
{
    QListView::paintEvent(event);
    QPainter painter(viewport());
    painter.setRenderHint(QPainter::Antialiasing);
    paintFocusRing(&painter);
    CardTableModel* model = m_listController->tableModel();
    // A drop after the last row has no row to open a gap above: a line marks it.
    if (m_dropRow < model->rowCount() || model->rowCount() == 0)
        return;
    const int y = visualRect(model->index(model->rowCount() - 1)).bottom() + 1;
    const QColor colour = palette().color(QPalette::Highlight);
    const QRectF bar(10, y, viewport()->width() - 20, 3);
    QPainterPath path;
    path.addRoundedRect(bar, 1.5, 1.5);
    painter.fillPath(path, colour);
}

void CardTableView::paintFocusRing(QPainter* painter)
{
    // The keyboard's card: a ring just outside the card, while the table has the keyboard.
    if (!hasFocus())
        return;
    const QModelIndex current = currentIndex();
    ListItem* item =
        current.isValid() ? m_listController->tableModel()->itemAt(current.row()) : nullptr;
    if (!item)
        return;
    const QRect row = cellView()->contentRect(current, visualRect(current));
    const QRectF ring =
        QRectF(cellView()->geometryFor(item, row).card).adjusted(-2.5, -2.5, 2.5, 2.5);
    QPainterPath path;
    path.addRoundedRect(ring, CardGeometry::cornerRadius + 2, CardGeometry::cornerRadius + 2);
    QColor colour = palette().color(QPalette::Highlight);
    colour.setAlphaF(0.6f);
    painter->strokePath(path, QPen(colour, 2.0, Qt::DotLine));
}

// Keys

QModelIndex CardTableView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    // The keys go from card to card: spacer, header and add-card rows are stepped over.
    CardTableModel* model = m_listController->tableModel();
    const QModelIndex current = currentIndex();
    QModelIndex next = QListView::moveCursor(action, modifiers);
    const bool down =
        action == MoveDown || action == MoveNext || action == MovePageDown || action == MoveEnd;
    const bool up =
        action == MoveUp || action == MovePrevious || action == MovePageUp || action == MoveHome;
    if (!up && !down)
        return next;
    int row = next.isValid() ? next.row() : (down ? 0 : model->rowCount() - 1);
    while (row >= 0 && row < model->rowCount() && !model->itemAt(row))
        row += down ? 1 : -1;
    if (row < 0 || row >= model->rowCount()) {
        // Nothing further that way: Home and End go to the last card the other way.
        row = next.isValid() ? next.row() : -1;
        while (row >= 0 && row < model->rowCount() && !model->itemAt(row))
            row += down ? -1 : 1;
    }
    if (row < 0 || row >= model->rowCount())
        return current.isValid() && model->itemAt(current.row()) ? current : QModelIndex();
    return model->index(row);
}

void CardTableView::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_F2:
        if (ListItem* item = currentCard()) {
            openEditorFor(item);
            return;
        }
        break;
    default:
        break;
    }
    QListView::keyPressEvent(event);
}

// Mouse

void CardTableView::mousePressEvent(QMouseEvent* event)
{
    m_pressPosition = event->position().toPoint();
    m_pressedIndex = indexAt(m_pressPosition);
    setFocus(Qt::MouseFocusReason);
    QListView::mousePressEvent(event);
}

void CardTableView::mouseMoveEvent(QMouseEvent* event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    setHoveredRow(index.isValid() ? index.row() : -1);
    QListView::mouseMoveEvent(event);
}

void CardTableView::setHoveredRow(int row)
{
    const int previous = cellView()->hoveredRow();
    if (previous == row)
        return;
    cellView()->setHoveredRow(row);
    CardTableModel* model = m_listController->tableModel();
    if (previous >= 0 && previous < model->rowCount())
        viewport()->update(visualRect(model->index(previous)));
    if (row >= 0)
        viewport()->update(visualRect(model->index(row)));
}

void CardTableView::mouseReleaseEvent(QMouseEvent* event)
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

void CardTableView::contextMenuEvent(QContextMenuEvent* event)
{
    CardTableModel* model = m_listController->tableModel();
    QModelIndex index = indexAt(event->pos());
    // The menu key: the menu of the keyboard's card, below its top.
    QPoint position = event->globalPos();
    if (event->reason() == QContextMenuEvent::Keyboard && currentCard()) {
        index = model->indexForItem(currentCard());
        position = viewport()->mapToGlobal(visualRect(index).topLeft() + QPoint(24, 24));
    }
    ListItem* item = index.isValid() ? model->itemAt(index.row()) : nullptr;
    QMenu menu(this);
    if (item) {
        if (!selectionModel()->isSelected(index))
            m_listController->selectRowFor(item);
        addCardMenuItems(&menu, item);
    } else {
        addMenuItemsOutsideCards(&menu);
    }
    if (!menu.isEmpty())
        menu.exec(position);
}

// Edit menu

bool CardTableView::handlesEditAction(EditAction) const
{
    return true;
}

bool CardTableView::canPerformEditAction(EditAction action) const
{
    return action == EditAction::SelectAll && !m_listController->listItems().isEmpty();
}

void CardTableView::performEditAction(EditAction action)
{
    if (action == EditAction::SelectAll)
        selectAll();
}

// Dragging

std::unique_ptr<QMimeData> CardTableView::prepareDrag(const QList<int>& rows)
{
    CardTableModel* model = m_listController->tableModel();
    ObjectContext* context = AppDelegate::sharedContext();
    QList<int> indexes;
    QStringList uris;
    for (int row : rows) {
        ListItem* item = model->itemAt(row);
        if (!item || !context)
            continue;
        indexes.append(m_listController->indexFromTableWithRow(row));
        uris.append(context->uriFor(item));
    }
    if (uris.isEmpty())
        return nullptr;
    m_listController->setDraggedItemIndexes(indexes);
    return CardPasteboard::dragData(uris);
}

void CardTableView::startDrag(Qt::DropActions)
{
    CardTableModel* model = m_listController->tableModel();
    QList<int> rows = m_listController->selectedRows();
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
    m_listController->setDraggedItemIndexes({});
    setDropRow(-1);
}

bool CardTableView::dropCards(const QMimeData* data, const QPoint& point, CardTableView* sourceView)
{
    const int row = m_listController->validateDropRow(dropRowAt(point));
    setDropRow(-1);
    return row >= 0 && acceptsDragFrom(sourceView) && acceptDrop(data, row, sourceView);
}

int CardTableView::dropRowAt(const QPoint& point) const
{
    CardTableModel* model = m_listController->tableModel();
    const QModelIndex index = indexAt(point);
    if (!index.isValid())
        return point.y() < 0 ? 1 : model->rowCount();
    // The open gap belongs to the row below it; halves are taken of the row's contents.
    const QRect rect = cellView()->contentRect(index, visualRect(index));
    if (point.y() < rect.top())
        return index.row();
    return point.y() > rect.center().y() ? index.row() + 1 : index.row();
}

void CardTableView::setDropRow(int row)
{
    if (row == m_dropRow)
        return;
    m_dropRow = row;
    m_gapAnimation->stop();
    cellView()->setDropGap(-1, 0);
    if (row >= 0 && row < m_listController->tableModel()->rowCount()) {
        m_gapAnimation->setStartValue(0);
        m_gapAnimation->setEndValue(gapHeight);
        m_gapAnimation->start();
    } else {
        doItemsLayout();
    }
    viewport()->update();
}

void CardTableView::dragEnterEvent(QDragEnterEvent* event)
{
    if (!event->mimeData()->hasFormat(CardPasteboard::dragType()) ||
        !acceptsDragFrom(event->source())) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::MoveAction);
    event->accept();
}

void CardTableView::dragMoveEvent(QDragMoveEvent* event)
{
    if (!event->mimeData()->hasFormat(CardPasteboard::dragType()) ||
        !acceptsDragFrom(event->source())) {
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

    const int row = m_listController->validateDropRow(dropRowAt(point));
    setDropRow(row);
    if (row < 0) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::MoveAction);
    event->accept();
}

void CardTableView::autoScrollStep()
{
    verticalScrollBar()->setValue(verticalScrollBar()->value() + m_autoScrollDelta);
}

void CardTableView::dragLeaveEvent(QDragLeaveEvent* event)
{
    m_autoScroll.stop();
    setDropRow(-1);
    event->accept();
}

void CardTableView::dropEvent(QDropEvent* event)
{
    m_autoScroll.stop();
    if (!dropCards(event->mimeData(), event->position().toPoint(),
                   qobject_cast<CardTableView*>(event->source()))) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::MoveAction);
    event->accept();
}
