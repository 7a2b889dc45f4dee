#pragma once

#include "model/Tag.h"

#include <QList>
#include <QPointer>
#include <QStackedWidget>

#include <optional>

class AppDelegate;
class DisplayItem;
class Kanban;
class List;

// The right pane: the list view (tab 0), the board view (tab 1) or nothing (tab 2) for the
// item chosen in the sidebar. The list and board views plug in with setListView() and
// setKanbanView() and take what to show from listToDisplay() and kanbanToDisplay().
class MainTabViewController final : public QStackedWidget
{
    Q_OBJECT

public:
    enum class TabItems
    {
        list = 0,
        kanban = 1,
        empty = 2
    };

    // The title of the window while nothing is shown.
    static constexpr auto emptyWindowTitle = "Pinwheels";
    static constexpr int minimumPaneSize = 300;

    explicit MainTabViewController(AppDelegate* appDelegate, QWidget* parent = nullptr);

    DisplayItem* objectToDisplay() const { return m_objectToDisplay; }
    const std::optional<QList<Tag*>>& tagFilter() const { return m_tagFilter; }

    // Shows a board (with the tag filter; none means no filter) or a list. Showing another
    // item clears the undo history, so that undo never reaches across items; only the deletion
    // that emptied the pane (clearDisplay) stays undoable for the item shown next.
    void passToKanbanWithObject(DisplayItem* item,
                                const std::optional<QList<Tag*>>& tagFilter = std::nullopt);
    // Hands the item shown to its view again.
    void passToChildVC();
    // Shows nothing (the empty tab) and clears the undo history; for when the item shown is
    // about to go.
    void clearDisplay();

    void selectTab(TabItems tab) { setCurrentIndex(int(tab)); }
    TabItems selectedTab() const { return TabItems(currentIndex()); }

    // The views of the list and board tabs (empty pages until they are set). The pane takes
    // ownership of the view and deletes the page it replaces.
    void setListView(QWidget* view);
    QWidget* listView() const { return widget(int(TabItems::list)); }
    void setKanbanView(QWidget* view);
    QWidget* kanbanView() const { return widget(int(TabItems::kanban)); }

    // Sets the window's title for the item shown.
    void updateWindowTitle();

Q_SIGNALS:
    // For the board view: the board to show and its tag filter.
    void kanbanToDisplay(Kanban* kanban, const std::optional<QList<Tag*>>& tagFilter);
    // For the list view: the list to show.
    void listToDisplay(List* list);

private:
    void replacePage(TabItems tab, QWidget* view);
    void storeDidSave();
    bool historyBelongsToNoItem() const;

    AppDelegate* m_appDelegate;
    DisplayItem* m_objectToDisplay = nullptr;
    std::optional<QList<Tag*>> m_tagFilter;
    // The pane is empty and the undo history was cleared with it (true at start).
    bool m_historyClearedWithPane = true;
};
