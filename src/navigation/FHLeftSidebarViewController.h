#pragma once

#include "interchange/TemplateViewControllerDelegate.h"
#include "model/Tag.h"

#include <QList>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include <optional>

class AppDelegate;
class Defaults;
class DisplayItem;
class Kanban;
class MainTabViewController;
class MainWindowController;
class MoveToFolderDialog;
class ObjectContext;
class QMenu;
class Root;
class SourceOutlineModel;
class SourceOutlineView;

// The sidebar: the tree of folders, boards and lists under the store's root, where boards and
// folders are made, renamed, deleted and rearranged, and where the user picks what the right
// pane shows. A new store gets the tutorial.
class FHLeftSidebarViewController final : public QWidget, public TemplateViewControllerDelegate
{
    Q_OBJECT

public:
    // The user-defaults key of the rows left expanded, as object URIs.
    static constexpr auto expandedItemsKey = "sourceOutlineExpandedItems";
    static constexpr int refreshIntervalMs = 60 * 1000;
    static constexpr int minimumSidebarWidth = 180;

    explicit FHLeftSidebarViewController(AppDelegate* appDelegate, QWidget* parent = nullptr);
    ~FHLeftSidebarViewController() override;

    SourceOutlineView* outlineView() const { return m_outlineView; }
    SourceOutlineModel* model() const { return m_model; }
    QMenu* addMenu() const { return m_addMenu; }
    Root* rootObject() const { return m_rootObject; }
    bool rootObjectCreatedForTheFirstTime() const { return m_rootObjectCreatedForTheFirstTime; }

    // Where shown items go, and who keeps the toolbar.
    void setTabViewController(MainTabViewController* tabView);
    void setWindowController(MainWindowController* window);

    // Finds the store's root; a store without one gets a root filled from the tutorial.
    void checkRootObjectExists();
    // Selects what the last run showed (or, on the first run, the tutorial's first row).
    void restoreWindow();

    // A new folder, or a new board (a blank one, or from a template document), placed below
    // the selection, selected, with its title ready to be typed over.
    void addFolder();
    void addKanban();
    void selectedTemplateWithUrl(const std::optional<QUrl>& url) override;
    void addItemBelowSelection(DisplayItem* item, bool atRoot);
    void selectItem(DisplayItem* item, bool editName);

    // Deletes nodes with their contents, as one undoable "Delete Item".
    void deleteSelectedRows();
    void deleteDisplayItemsWithItems(const QList<DisplayItem*>& items);
    void renameSelectedItem();
    // "Move to…": a dialog of folders for the selected nodes, which go into the chosen one as
    // one undoable "Move Item". Returns the dialog (it deletes itself when closed), or null
    // when nothing is selected.
    MoveToFolderDialog* showMoveToDialog();
    void moveItemsToFolder(const QList<DisplayItem*>& items, DisplayItem* folder);

    // Titles, icons and badges again, keeping the selection and what the right pane shows.
    void refreshListWhileKeepingSelection();
    // Shows a board (with a tag filter) or a list in the right pane; a folder shows nothing.
    void displayItem(DisplayItem* item, const std::optional<QList<Tag*>>& tagFilter);

    DisplayItem* selectedItem() const;
    // The selected nodes in row order.
    QList<DisplayItem*> selectedItems() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* createBottomBar();
    void observeNotifications();
    void scheduleRefresh();
    void selectionDidChange();
    void rowsAboutToBeRemoved(const QModelIndex& parent, int first, int last);
    void itemsDropped(DisplayItem* target, const QList<DisplayItem*>& items);
    void createBlankBoard();
    void placeNewNode(DisplayItem* item);
    void showTemplateError(const QUrl& url, const QString& details);
    void saveExpansionState();
    void restoreExpansionState();
    void expandRememberedItems();
    void itemExpanded(const QModelIndex& index, bool expanded);

    AppDelegate* m_appDelegate;
    ObjectContext* m_managedObjectContext;
    Defaults& m_defaults;
    SourceOutlineModel* m_model;
    SourceOutlineView* m_outlineView;
    QMenu* m_addMenu;
    QPointer<MainTabViewController> m_tabView;
    QPointer<MainWindowController> m_windowController;
    Root* m_rootObject = nullptr;
    bool m_rootObjectCreatedForTheFirstTime = false;
    bool m_windowRestoredOnce = false;
    bool m_refreshOnlyAndDontDisplay = false;
    bool m_restoringExpansion = false;
    // The row whose selection a removal took away, until the refresh after it.
    int m_lostSelectionRow = -1;
    QStringList m_expandedItems; // URIs, deleted nodes' too: undo may bring them back
    QTimer m_refreshTimer;
    QTimer m_deferredRefresh;
};
