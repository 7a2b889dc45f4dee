#pragma once

#include <QFrame>
#include <QPointer>

class KanbanViewController;
class PlainListViewController;
class QLabel;
class QPushButton;

// The archive pop-up of the toolbar: how many done cards of the board or list shown wait to be
// archived, a button that archives them (undoable as "Archive Done Cards") and a button that
// switches between the working view and the archive view and closes the pop-up. Archiving works
// in the working view only, so the archive button is off elsewhere.
class ArchivePopUpViewController final : public QFrame
{
    Q_OBJECT

public:
    explicit ArchivePopUpViewController(QWidget* parent = nullptr);

    // Opens the pop-up under anchor (a child of it, deleted when closed) for the board shown,
    // or else the list shown.
    static ArchivePopUpViewController* popUp(QWidget* anchor, KanbanViewController* board,
                                             PlainListViewController* list);

    void setKanbanViewController(KanbanViewController* board) { m_kanbanViewController = board; }
    void setListViewController(PlainListViewController* list) { m_listViewController = list; }

    // Shows the count of done cards that are not archived yet and the view button's title.
    void setup();
    void archiveButtonClicked();
    void viewButtonClicked();

    // The number of done cards of the board (or list) that are not archived yet.
    int numberOfDoneCards() const;

    QLabel* labelTextField() const { return m_labelTextField; }
    QPushButton* archiveButton() const { return m_archiveButton; }
    QPushButton* viewButton() const { return m_viewButton; }

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QPointer<KanbanViewController> m_kanbanViewController;
    QPointer<PlainListViewController> m_listViewController;
    QLabel* m_labelTextField;
    QPushButton* m_archiveButton;
    QPushButton* m_viewButton;
};
