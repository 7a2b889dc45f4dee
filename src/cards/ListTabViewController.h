#pragma once

#include <QString>
#include <QTimer>
#include <QWidget>

class List;
class PlainListTableView;
class PlainListViewController;
class QLineEdit;
class ViewWithBackground;

// The list view of the right pane: a field for new items above the table of a plain list's
// items. Return in the field adds an item at the top of the list; the list follows the
// show-archived mode, and the window title names the list.
class ListTabViewController final : public QWidget
{
    Q_OBJECT

public:
    static constexpr int dueCheckIntervalMilliseconds = 60 * 1000;
    // Wider lists only stretch their lines: the items keep to a readable width.
    static constexpr int largestWidth = 720;

    explicit ListTabViewController(QWidget* parent = nullptr);
    ~ListTabViewController() override;

    List* list() const;
    // Shows a list: the field's placeholder names it, its items are fetched for the
    // show-archived mode, and the field takes the keyboard with nothing selected.
    void setList(List* list);
    QLineEdit* addItemTextField() const { return m_addItemTextField; }
    PlainListViewController* listViewController() const { return m_listViewController; }
    ViewWithBackground* backgroundView() const { return m_background; }
    PlainListTableView* tableView() const;

    // Return in the field: an item titled with the field's text ("New Item" when empty), at
    // the top; the field empties. Undoable as "New Card".
    void addItemReturnPressed();
    // Fetches the items again for the show-archived mode.
    void reloadListAndTable();

    // "<folder> - … - <title> (List)" (WindowTitle).
    QString windowTitleText() const { return m_windowTitleText; }
    void updateWindowTitle();

    // Whether some item is done and not archived (the archive-done button), and archiving them.
    bool hasDoneButNotArchivedCards() const;
    void archiveDoneItems();

Q_SIGNALS:
    void windowTitleTextChanged(const QString& title);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void storeDidSave();
    void takeFocus();
    void followViewMode();

    QLineEdit* m_addItemTextField;
    PlainListViewController* m_listViewController; // owned by its table, a child of this
    ViewWithBackground* m_background = nullptr;
    QString m_windowTitleText;
    QTimer m_dueTimer;
};
