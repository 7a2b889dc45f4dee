#include "BoardMenuController.h"

#include "MainTabViewController.h"
#include "board/ArchivePopUpViewController.h"
#include "board/CardShortcuts.h"
#include "board/KanbanColumnListViewController.h"
#include "board/KanbanColumnTableView.h"
#include "board/KanbanColumnViewItem.h"
#include "board/KanbanViewController.h"
#include "cards/ListTabViewController.h"
#include "cards/PlainListTableView.h"
#include "cards/PlainListViewController.h"
#include "model/KanbanColumn.h"
#include "model/ListItem.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QToolButton>

BoardMenuController::BoardMenuController(QWidget* window, MainTabViewController* tabView,
                                         KanbanViewController* board, ListTabViewController* list,
                                         QAction* archiveDoneCards)
    : QObject(window)
    , m_window(window)
    , m_tabView(tabView)
    , m_board(board)
    , m_list(list)
    , m_menu(new QMenu(tr("&Board"), window))
{
    m_boardActions << add(tr("New &Card"), CardShortcuts::newCard(), &BoardMenuController::newCard)
                   << add(tr("New Co&lumn"), CardShortcuts::newColumn(),
                          &BoardMenuController::newColumn);
    m_menu->addSeparator();
    // Return is the card table's own key: the menu only names it.
    m_cardActions
        << add(tr("&Edit Card") + u'\t' +
                   CardShortcuts::editCard().toString(QKeySequence::NativeText),
               {}, &BoardMenuController::editCard)
        << add(tr("Mark as &Done"), CardShortcuts::markAsDone(), &BoardMenuController::markAsDone)
        << add(tr("Set D&ue Date…"), CardShortcuts::setDueDate(), &BoardMenuController::setDueDate)
        << add(tr("Edit &Tags…"), CardShortcuts::editTags(), &BoardMenuController::editTags)
        << add(tr("&Archive Card"), CardShortcuts::archiveCard(),
               &BoardMenuController::archiveCard);
    m_menu->addSeparator();
    // The arrow keys of the card tables, named here for the menu.
    const auto arrow = [](Qt::Key key) {
        return u'\t' + QKeySequence(key).toString(QKeySequence::NativeText);
    };
    m_cardActions << add(tr("Select Previous Card") + arrow(Qt::Key_Up), {},
                         &BoardMenuController::selectPrevious)
                  << add(tr("Select Next Card") + arrow(Qt::Key_Down), {},
                         &BoardMenuController::selectNext);
    m_boardActions << add(tr("Go to Previous Column") + arrow(Qt::Key_Left), {},
                          &BoardMenuController::previousColumn)
                   << add(tr("Go to Next Column") + arrow(Qt::Key_Right), {},
                          &BoardMenuController::nextColumn);
    m_menu->addSeparator();
    m_cardActions << add(tr("Move &Up"), CardShortcuts::moveUp(), &BoardMenuController::moveUp)
                  << add(tr("Move Do&wn"), CardShortcuts::moveDown(),
                         &BoardMenuController::moveDown);
    m_boardActions << add(tr("Move to &Previous Column"), CardShortcuts::moveLeft(),
                          &BoardMenuController::moveLeft)
                   << add(tr("Move to &Next Column"), CardShortcuts::moveRight(),
                          &BoardMenuController::moveRight);
    m_menu->addSeparator();
    archiveDoneCards->setShortcut(CardShortcuts::archiveDoneCards());
    m_menu->addAction(archiveDoneCards);
    m_completedCards = add(tr("C&ompleted Cards…"), CardShortcuts::completedCards(),
                           &BoardMenuController::completedCards);
    m_completedCards->setIcon(QIcon(QStringLiteral(":/images/toolbar-completed.svg")));
    m_completedCards->setToolTip(tr("Completed Cards"));

    // Disabled items show what applies now; the keys work whenever the menu is closed.
    connect(m_menu, &QMenu::aboutToShow, this, &BoardMenuController::updateActions);
    connect(m_menu, &QMenu::aboutToHide, this, [this, archiveDoneCards] {
        for (QAction* action : m_menu->actions()) {
            if (action != archiveDoneCards && action != m_completedCards)
                action->setEnabled(true);
        }
    });
}

QAction* BoardMenuController::add(const QString& text, const QKeySequence& key,
                                  void (BoardMenuController::*run)())
{
    QAction* action = m_menu->addAction(text);
    action->setShortcut(key);
    connect(action, &QAction::triggered, this, run);
    return action;
}

bool BoardMenuController::boardShown() const
{
    return m_tabView->selectedTab() == MainTabViewController::TabItems::kanban && m_board->kanban();
}

bool BoardMenuController::listShown() const
{
    return m_tabView->selectedTab() == MainTabViewController::TabItems::list && m_list->list();
}

CardTableView* BoardMenuController::activeTable() const
{
    for (QWidget* widget = QApplication::focusWidget(); widget; widget = widget->parentWidget()) {
        if (auto* table = qobject_cast<CardTableView*>(widget))
            return m_tabView->currentWidget()->isAncestorOf(table) ? table : nullptr;
    }
    if (listShown())
        return m_list->tableView();
    if (boardShown()) {
        for (int i = 0; m_board->itemAt(i); ++i) {
            KanbanColumnListViewController* column = m_board->itemAt(i)->listViewController();
            if (!column->selectedRows().isEmpty())
                return column->columnTableView();
        }
    }
    return nullptr;
}

ListItem* BoardMenuController::activeCard() const
{
    const CardTableView* table = activeTable();
    return table ? table->currentCard() : nullptr;
}

ListViewController* BoardMenuController::activeController() const
{
    const CardTableView* table = activeTable();
    return table ? table->listViewController() : nullptr;
}

KanbanColumnListViewController* BoardMenuController::activeColumn() const
{
    if (!boardShown())
        return nullptr;
    if (auto* table = qobject_cast<KanbanColumnTableView*>(activeTable()))
        return table->controller();
    const QList<int> selected = m_board->selectedColumnIndexes();
    KanbanColumnViewItem* item = selected.isEmpty() ? nullptr : m_board->itemAt(selected.last());
    return item ? item->listViewController() : nullptr;
}

void BoardMenuController::updateActions()
{
    ListItem* card = activeCard();
    const bool archiveView = ListViewController::listViewMode() == ListViewMode::Archived;
    for (QAction* action : std::as_const(m_cardActions))
        action->setEnabled(card);
    const bool onBoard = boardShown();
    const bool columnKnown = activeColumn() != nullptr;
    m_boardActions.at(0)->setEnabled(!archiveView &&
                                     ((onBoard && !m_board->columns().isEmpty()) || listShown()));
    m_boardActions.at(1)->setEnabled(onBoard);
    m_boardActions.at(2)->setEnabled(columnKnown);
    m_boardActions.at(3)->setEnabled(columnKnown);
    m_boardActions.at(4)->setEnabled((columnKnown && card) ||
                                     (onBoard && !m_board->selectedColumnIndexes().isEmpty()));
    m_boardActions.at(5)->setEnabled(m_boardActions.at(4)->isEnabled());
    m_cardActions.at(1)->setText(card && card->isDone() ? tr("Mark as Not &Done")
                                                        : tr("Mark as &Done"));
    m_cardActions.at(3)->setEnabled(card && card->column() && !archiveView);
    m_cardActions.at(4)->setText(card && card->isArchived() ? tr("Rest&ore Card")
                                                            : tr("&Archive Card"));
    m_cardActions.at(4)->setEnabled(card && (card->isDone() || card->isArchived()));
    m_completedCards->setEnabled(onBoard || listShown());
}

// The commands

void BoardMenuController::newCard()
{
    if (ListViewController::listViewMode() == ListViewMode::Archived)
        return;
    if (listShown()) {
        m_list->addItemTextField()->setFocus(Qt::ShortcutFocusReason);
        m_list->addItemTextField()->selectAll();
        return;
    }
    if (!boardShown() || m_board->columns().isEmpty())
        return;
    KanbanColumnListViewController* column = activeColumn();
    if (!column)
        column = m_board->itemAt(0)->listViewController();
    ListItem* card = activeCard();
    if (card && column->listItems().contains(card))
        column->addCardBelow(card);
    else
        column->addNewItem();
}

void BoardMenuController::newColumn()
{
    if (!boardShown())
        return;
    if (KanbanColumnListViewController* column = activeColumn())
        m_board->addColumnWithItem(column->column(), true);
    else
        m_board->addColumn();
}

bool BoardMenuController::renameColumnOfFocus()
{
    QWidget* focus = QApplication::focusWidget();
    if (!boardShown() || !focus || !m_board->isAncestorOf(focus)) {
        if (focus != m_board)
            return false;
    }
    KanbanColumnListViewController* column = activeColumn();
    KanbanColumnViewItem* item = column ? m_board->itemForColumn(column->column()) : nullptr;
    if (item)
        item->beginRenaming();
    return true;
}

void BoardMenuController::switchPane(QWidget* sidebar)
{
    QWidget* focus = QApplication::focusWidget();
    const bool inRightPane = focus && m_tabView->isAncestorOf(focus);
    if (inRightPane) {
        sidebar->setFocus(Qt::ShortcutFocusReason);
        return;
    }
    if (listShown()) {
        m_list->addItemTextField()->setFocus(Qt::ShortcutFocusReason);
    } else if (boardShown()) {
        KanbanColumnViewItem* first = m_board->itemAt(0);
        if (!first) {
            m_board->setFocus(Qt::ShortcutFocusReason);
            return;
        }
        // The column with selected cards, or the first one on its first card.
        CardTableView* table = activeTable();
        if (!table)
            table = first->tableView();
        table->setFocus(Qt::ShortcutFocusReason);
        if (!table->currentCard()) {
            const QList<ListItem*> cards = first->listViewController()->selectableItems();
            if (!cards.isEmpty() && table == first->tableView())
                table->selectCard(cards.constFirst());
        }
    }
}

void BoardMenuController::editCard()
{
    if (ListItem* card = activeCard())
        activeTable()->openEditorFor(card);
}

void BoardMenuController::markAsDone()
{
    if (ListItem* card = activeCard())
        activeController()->flipDoneStateOfItem(card);
}

void BoardMenuController::setDueDate()
{
    if (ListItem* card = activeCard())
        activeTable()->openDatePickerFor(card);
}

void BoardMenuController::editTags()
{
    // Tags belong to a board: an item of a list has none to choose from.
    ListItem* card = activeCard();
    if (card && card->column() && ListViewController::listViewMode() != ListViewMode::Archived)
        activeTable()->openEditorFor(card, true);
}

void BoardMenuController::archiveCard()
{
    if (ListItem* card = activeCard())
        ListViewController::archiveOrRestoreItem(card);
}

void BoardMenuController::selectBy(int step)
{
    CardTableView* table = activeTable();
    if (!table)
        return;
    table->closeOpenEditor();
    table->setFocus(Qt::ShortcutFocusReason);
    QKeyEvent press(QEvent::KeyPress, step < 0 ? Qt::Key_Up : Qt::Key_Down, Qt::NoModifier);
    QCoreApplication::sendEvent(table, &press);
}

void BoardMenuController::selectPrevious()
{
    selectBy(-1);
}

void BoardMenuController::selectNext()
{
    selectBy(1);
}

void BoardMenuController::previousColumn()
{
    if (KanbanColumnListViewController* column = activeColumn())
        column->moveKeyboardToNeighbourColumn(-1);
}

void BoardMenuController::nextColumn()
{
    if (KanbanColumnListViewController* column = activeColumn())
        column->moveKeyboardToNeighbourColumn(1);
}

void BoardMenuController::moveBy(int step)
{
    CardTableView* table = activeTable();
    if (!table || !table->currentCard())
        return;
    if (auto* column = qobject_cast<KanbanColumnTableView*>(table))
        column->controller()->moveSelectedCardsBy(step);
    else if (auto* list = qobject_cast<PlainListTableView*>(table))
        list->controller()->moveSelectedItemsBy(step);
}

void BoardMenuController::moveUp()
{
    moveBy(-1);
}

void BoardMenuController::moveDown()
{
    moveBy(1);
}

void BoardMenuController::moveSideways(int step)
{
    if (!boardShown())
        return;
    // Selected columns move themselves; otherwise the keyboard's cards go to the next column.
    auto* table = qobject_cast<KanbanColumnTableView*>(activeTable());
    if (!m_board->selectedColumnIndexes().isEmpty() && (!table || !table->hasFocusWithin())) {
        m_board->moveSelectedColumnsBy(step);
        return;
    }
    if (table && table->currentCard())
        table->controller()->moveSelectedCardsToNeighbourColumn(step);
}

void BoardMenuController::moveLeft()
{
    moveSideways(-1);
}

void BoardMenuController::moveRight()
{
    moveSideways(1);
}

void BoardMenuController::completedCards()
{
    showArchivePopUp(nullptr);
}

ArchivePopUpViewController* BoardMenuController::archivePopUp() const
{
    return m_archivePopUp;
}

void BoardMenuController::showArchivePopUp(QWidget* anchor)
{
    if (!boardShown() && !listShown())
        return;
    // From the menu or its key: under the toolbar's button when the toolbar shows.
    for (QObject* object : m_completedCards->associatedObjects()) {
        auto* button = qobject_cast<QToolButton*>(object);
        if (!anchor && button && button->isVisible())
            anchor = button;
    }
    if (m_archivePopUp)
        m_archivePopUp->close();
    m_archivePopUp = ArchivePopUpViewController::popUp(
        anchor ? anchor : m_tabView, boardShown() ? m_board : nullptr,
        listShown() ? m_list->listViewController() : nullptr);
}
