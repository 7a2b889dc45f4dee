#include "KanbanColumnViewItem.h"

#include "AddItemToKanbanMenu.h"
#include "CardTableModel.h"
#include "ChangeColumnTitleCommand.h"
#include "DelaySelectionTextField.h"
#include "KanbanColumnListViewController.h"
#include "KanbanColumnTableView.h"
#include "KanbanColumnView.h"
#include "KanbanViewController.h"
#include "model/KanbanColumn.h"
#include "store/AppDelegate.h"

#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QGraphicsDropShadowEffect>
#include <QKeySequence>
#include <QMenu>
#include <QScrollArea>
#include <QUndoStack>
#include <QVBoxLayout>
#include <QWheelEvent>

KanbanColumnViewItem::KanbanColumnViewItem(KanbanViewController* board, QWidget* parentWidget)
    : QObject(nullptr)
    , m_board(board)
    , m_view(new KanbanColumnView(this, parentWidget))
    , m_columnTitle(new DelaySelectionTextField(m_view))
    , m_listViewController(new KanbanColumnListViewController(m_view))
{
    setParent(m_view);
    m_view->setFixedWidth(width);

    auto* layout = new QVBoxLayout(m_view);
    layout->setContentsMargins(0, 8, 0, 0);
    layout->setSpacing(2);
    auto* titleRow = new QHBoxLayout;
    titleRow->setContentsMargins((width - titleWidth) / 2, 0, (width - titleWidth) / 2, 0);
    titleRow->addWidget(m_columnTitle);
    layout->addLayout(titleRow);
    layout->addWidget(tableView(), 1);

    QFont titleFont = m_columnTitle->font();
    titleFont.setPointSize(largestTitleFontSize);
    m_columnTitle->setFont(titleFont);
    // Tall enough for the largest title, so that a shorter font never moves the cards.
    m_columnTitle->setFixedHeight(QFontMetrics(titleFont).height() + 6);
    applyTitleColours();
    connect(m_columnTitle, &DelaySelectionTextField::editingEnded, this,
            &KanbanColumnViewItem::changeColumnTitleWithNewTitle);

    tableView()->viewport()->installEventFilter(this);
    m_tableViewport = tableView()->viewport();
    // The keyboard comes back to the cards when the title is done with, and the column shows
    // that it has it.
    m_view->setFocusProxy(tableView());
    connect(tableView(), &CardTableView::focusWithinChanged, this, [this](bool inside) {
        m_view->setFocusMarked(inside);
        if (inside)
            m_board->scrollView()->ensureWidgetVisible(m_view, 0, 0);
    });
}

KanbanColumnViewItem::~KanbanColumnViewItem() = default;

KanbanColumnTableView* KanbanColumnViewItem::tableView() const
{
    return m_listViewController->columnTableView();
}

void KanbanColumnViewItem::setColumnObject(KanbanColumn* column)
{
    m_columnObject = column;
    m_listViewController->setColumn(column);
    refreshTitle();
}

void KanbanColumnViewItem::detach()
{
    m_columnTitle->endEditing(false);
    tableView()->closeOpenEditor();
    m_columnObject = nullptr;
    m_listViewController->setColumn(nullptr);
}

void KanbanColumnViewItem::setSelected(bool selected)
{
    if (m_selected == selected)
        return;
    m_selected = selected;
    m_view->setSelected(selected);
    m_columnTitle->setSelected(selected);
    applyTitleColours();
}

void KanbanColumnViewItem::setOnPicture(bool onPicture)
{
    m_onPicture = onPicture;
    applyTitleColours();
}

void KanbanColumnViewItem::applyTitleColours()
{
    // On the plain board the title takes the palette's text colour; on the dark selection and
    // on pictures it is white with a dark grey shadow.
    const bool light = m_selected || m_onPicture;
    QPalette colours = m_columnTitle->palette();
    const QPalette standard;
    colours.setColor(QPalette::Text,
                     light ? QColor(Qt::white) : standard.color(QPalette::WindowText));
    m_columnTitle->setPalette(colours);
    if (light && !m_columnTitle->graphicsEffect()) {
        auto* shadow = new QGraphicsDropShadowEffect;
        shadow->setBlurRadius(1.0);
        shadow->setOffset(0, 1);
        shadow->setColor(QColor(64, 64, 64));
        m_columnTitle->setGraphicsEffect(shadow);
    } else if (!light && m_columnTitle->graphicsEffect()) {
        m_columnTitle->setGraphicsEffect(nullptr);
    }
}

void KanbanColumnViewItem::changeColumnTitleWithNewTitle(const QString& title)
{
    AppDelegate* delegate = AppDelegate::shared();
    if (!m_columnObject || m_columnObject->isDeleted() || !delegate ||
        title == m_columnObject->title()) {
        refreshTitle();
        return;
    }
    delegate->undoManager()->push(new ChangeColumnTitleCommand(m_board, m_columnObject, title));
}

void KanbanColumnViewItem::beginRenaming()
{
    if (m_columnObject)
        m_columnTitle->beginEditing();
}

void KanbanColumnViewItem::refreshTitle()
{
    const QString title = m_columnObject ? m_columnObject->title() : QString();
    if (!m_columnTitle->isEditing()) {
        m_columnTitle->setText(title);
        m_columnTitle->setCursorPosition(0);
    }
    QFont font = m_columnTitle->font();
    font.setPointSize(fittedTitleFontSize(title, font, titleWidth));
    m_columnTitle->setFont(font);
    m_columnTitle->setToolTip(title);
}

int KanbanColumnViewItem::titleFontSize() const
{
    return m_columnTitle->font().pointSize();
}

int KanbanColumnViewItem::fittedTitleFontSize(const QString& title, const QFont& font, int width)
{
    QFont sized = font;
    int size = largestTitleFontSize;
    // The field keeps a few pixels of margin around its text.
    const int available = width - 8;
    for (;;) {
        sized.setPointSize(size);
        if (size <= smallestTitleFontSize ||
            QFontMetrics(sized).horizontalAdvance(title) < available)
            return size;
        --size;
    }
}

void KanbanColumnViewItem::mouseDown(Qt::KeyboardModifiers modifiers)
{
    if (m_columnObject)
        m_board->selectColumnByClick(m_columnObject, modifiers.testFlag(Qt::ShiftModifier));
}

void KanbanColumnViewItem::rightMouseDown(Qt::KeyboardModifiers modifiers,
                                          const QPoint& globalPosition)
{
    if (!m_columnObject)
        return;
    m_board->selectColumnForMenu(m_columnObject, modifiers.testFlag(Qt::ShiftModifier));
    m_board->showContextMenuForColumn(m_columnObject, globalPosition);
}

void KanbanColumnViewItem::startDrag(const QPoint& pressPosition)
{
    if (m_columnObject)
        m_board->startColumnDrag(m_columnObject, pressPosition);
}

void KanbanColumnViewItem::populateContextMenu(QMenu* menu)
{
    m_listViewController->addColumnMenuItems(menu);
    menu->addSeparator();
    QAction* rename =
        menu->addAction(tr("Rename Column"), this, &KanbanColumnViewItem::beginRenaming);
    rename->setShortcut(QKeySequence(Qt::Key_F2));
    menu->addSeparator();
    auto* addFromList = new AddItemToKanbanMenu(menu);
    addFromList->setKanbanColumn(m_columnObject);
    connect(addFromList, &AddItemToKanbanMenu::columnChanged, m_board,
            &KanbanViewController::reloadData);
    menu->addMenu(addFromList)->setEnabled(addFromList->hasLists());
}

bool KanbanColumnViewItem::eventFilter(QObject* watched, QEvent* event)
{
    // Compared, never followed: the viewport also reports its own destruction here.
    if (watched != m_tableViewport)
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::ContextMenu) {
        // Below the cards the table is the column itself: its menu is the column's.
        auto* menuEvent = static_cast<QContextMenuEvent*>(event);
        const QModelIndex index = tableView()->indexAt(menuEvent->pos());
        if (!index.isValid() || !m_listViewController->tableModel()->itemAt(index.row())) {
            rightMouseDown(menuEvent->modifiers(), menuEvent->globalPos());
            return true;
        }
    } else if (event->type() == QEvent::Wheel) {
        // Sideways scrolling over a column scrolls the board.
        auto* wheel = static_cast<QWheelEvent*>(event);
        if (qAbs(wheel->angleDelta().x()) > qAbs(wheel->angleDelta().y()))
            return m_board->scrollHorizontally(wheel);
    }
    return QObject::eventFilter(watched, event);
}
