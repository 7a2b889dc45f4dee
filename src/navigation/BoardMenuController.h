#pragma once

#include <QObject>
#include <QPointer>

class ArchivePopUpViewController;
class CardTableView;
class KanbanColumnListViewController;
class KanbanViewController;
class ListItem;
class ListTabViewController;
class ListViewController;
class MainTabViewController;
class QAction;
class QMenu;
class QWidget;

// The window's Board menu: every command on cards and columns that the mouse reaches on a
// board or list, with its key. Commands work on the card the keyboard is on (the current card
// of the focused card table), else on the selection of the board or list shown; a command
// without anything to work on does nothing. It also opens the archive pop-up.
class BoardMenuController final : public QObject
{
    Q_OBJECT

public:
    BoardMenuController(QWidget* window, MainTabViewController* tabView,
                        KanbanViewController* board, ListTabViewController* list,
                        QAction* archiveDoneCards);

    QMenu* menu() const { return m_menu; }
    // Opens the archive pop-up for the board or list shown, under anchor.
    void showArchivePopUp(QWidget* anchor);
    ArchivePopUpViewController* archivePopUp() const;
    QAction* completedCardsAction() const { return m_completedCards; }
    // Begins renaming the column the keyboard is in (or the selected one); false when the
    // keyboard is not on the board.
    bool renameColumnOfFocus();
    // The keyboard goes from the sidebar to the board or list shown, and back.
    void switchPane(QWidget* sidebar);

    // The card table the keyboard works in, and its card.
    CardTableView* activeTable() const;
    ListItem* activeCard() const;

private:
    QAction* add(const QString& text, const QKeySequence& key, void (BoardMenuController::*run)());
    void updateActions();
    bool boardShown() const;
    bool listShown() const;
    KanbanColumnListViewController* activeColumn() const;
    ListViewController* activeController() const;

    void newCard();
    void newColumn();
    void editCard();
    void markAsDone();
    void setDueDate();
    void editTags();
    void archiveCard();
    void selectPrevious();
    void selectNext();
    void previousColumn();
    void nextColumn();
    void moveUp();
    void moveDown();
    void moveLeft();
    void moveRight();
    void moveBy(int step);
    void moveSideways(int step);
    void selectBy(int step);
    void completedCards();

    QWidget* m_window;
    MainTabViewController* m_tabView;
    KanbanViewController* m_board;
    ListTabViewController* m_list;
    QMenu* m_menu;
    QAction* m_completedCards = nullptr;
    QList<QAction*> m_cardActions;
    QList<QAction*> m_boardActions;
    QPointer<ArchivePopUpViewController> m_archivePopUp;
};
