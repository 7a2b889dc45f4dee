#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QTimer>

class AppDelegate;
class BoardMenuController;
class KanbanViewController;
class ListTabViewController;
class QLineEdit;
class DisplayItem;
class EditCommandRouter;
class FilterViewController;
class FormatMenuController;
class InfoViewController;
class ToolbarInfoMenu;
class MainSplitViewController;
class MaintenanceMenuController;
class QAction;
class QMenu;
class QToolBar;

// The application's one window: the sidebar and the item shown, the toolbar and the menus.
class MainWindowController final : public QMainWindow
{
    Q_OBJECT

public:
    static constexpr auto frameAutosaveName = "MainWindow";
    static constexpr int largestInitialWidth = 1200;
    static constexpr int largestInitialHeight = 720;
    // The frame and the divider are written this long after they last changed.
    static constexpr int frameAutosaveDelayMs = 500;

    explicit MainWindowController(AppDelegate* appDelegate, QWidget* parent = nullptr);
    ~MainWindowController() override;

    // The first-launch frame on a screen of the given size: at most 1200 × 720, centred.
    static QRect initialWindowFrame(const QSize& screenSize);
    // Gives the window that frame on its screen.
    void setInitialWindowSize();

    MainSplitViewController* splitViewController() const { return m_splitView; }
    EditCommandRouter* editCommandRouter() const { return m_editCommandRouter; }

    // The board or list shown on the right, as the sidebar last told.
    DisplayItem* currentDisplayItem() const { return m_currentDisplayItem; }
    void setCurrentDisplayItem(DisplayItem* item) { m_currentDisplayItem = item; }

    // Brings the archive switch and the archive-done button up to date.
    void configureToolbarItems();

    QToolBar* mainToolBar() const { return m_toolBar; }
    // The archive-view switch (checked in the archive view) and the archive-done button.
    QAction* showHideArchievedToolbarItem() const { return m_showHideArchived; }
    QAction* cleanDoneButton() const { return m_cleanDone; }
    QLineEdit* searchField() const { return m_searchField; }
    // The search field's text narrows the board shown to the cards that contain it.
    void searchTextChanged(const QString& text);
    // The tag filter button: checked while the board shown has a tag filter; a click opens the
    // filter popover.
    QAction* tagFilterToolbarItem() const { return m_tagFilter; }
    FilterViewController* filterViewController() const;
    void showFilterView();
    // The appearance button: its click opens the information popover of the item shown, its
    // menu the quick colour and picture choice.
    QAction* appearanceToolbarItem() const { return m_appearance; }
    ToolbarInfoMenu* appearanceMenu() const { return m_appearanceMenu; }
    InfoViewController* infoViewController() const;
    void showInfoView();
    // The board or list shown on the right, if any.
    DisplayItem* shownItem() const;
    // The Board menu, with the archive pop-up of the toolbar's completed-cards button.
    BoardMenuController* boardMenuController() const { return m_boardMenu; }
    // The Format menu and the toolbar's style and checklist controls.
    FormatMenuController* formatMenuController() const { return m_formatMenu; }
    // The Maintenance menu: upgrades and repairs of the stored data on request.
    MaintenanceMenuController* maintenanceMenuController() const { return m_maintenanceMenu; }

    // The normal quit, also for the quit signals: ends editing, saves (asking when that fails)
    // and, unless the user stays, ends every event loop, a dialog's too.
    void quit();
    // Brings the window to the front, as when Pinwheels is started again while it runs.
    void bringToFront();

    // Opens the user guide in the browser (from a copy in the cache folder).
    void showHelp();
    // Where showHelp() puts the guide.
    static QString helpFilePath();

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void createKanbanView();
    void createListView();
    void createToolBar();
    void createSearchField();
    void createMenus();
    void createFileMenu();
    void createEditMenu();
    void createViewMenu();
    void createHelpMenu();
    void restoreFrame();
    // Writes the frame and the divider through to the preferences file.
    void autosaveFrame();
    void endEditing();
    void archiveDoneItems();
    // Shows the board or list again after a change made outside its views.
    void reloadShownItem();

    AppDelegate* m_appDelegate;
    MainSplitViewController* m_splitView;
    EditCommandRouter* m_editCommandRouter;
    QToolBar* m_toolBar = nullptr;
    QAction* m_showHideArchived = nullptr;
    QAction* m_cleanDone = nullptr;
    QLineEdit* m_searchField = nullptr;
    QAction* m_tagFilter = nullptr;
    QPointer<FilterViewController> m_filterView;
    QAction* m_appearance = nullptr;
    ToolbarInfoMenu* m_appearanceMenu = nullptr;
    QPointer<InfoViewController> m_infoView;
    BoardMenuController* m_boardMenu = nullptr;
    FormatMenuController* m_formatMenu = nullptr;
    MaintenanceMenuController* m_maintenanceMenu = nullptr;
    KanbanViewController* m_kanbanView = nullptr; // owned by the tab view
    ListTabViewController* m_listView = nullptr;  // owned by the tab view
    QAction* m_showHideSidebar = nullptr;
    DisplayItem* m_currentDisplayItem = nullptr;
    QTimer m_frameAutosave;
    bool m_quitting = false;
};
