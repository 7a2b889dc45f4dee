#pragma once

#include <QPointer>
#include <QSplitter>
#include <QStringList>

class AppDelegate;
class FHLeftSidebarViewController;
class MainTabViewController;
class QVariantAnimation;

// The window's content: the sidebar on the left, the item shown on the right. Only the sidebar
// collapses; the divider and the collapsed state are kept under "mainSplitView".
class MainSplitViewController final : public QSplitter
{
    Q_OBJECT

public:
    static constexpr auto autosaveName = "mainSplitView";
    static constexpr int defaultSidebarWidth = 240;

    explicit MainSplitViewController(AppDelegate* appDelegate, QWidget* parent = nullptr);
    ~MainSplitViewController() override;

    FHLeftSidebarViewController* sidebarViewController() const { return m_sidebar; }
    MainTabViewController* tabViewController() const { return m_tabView; }

    // True while the sidebar is collapsed (or collapsing).
    bool sideBarIsHidden() const;
    // Collapses the sidebar when shown, shows it when collapsed (animated).
    void showHideSidebar();
    // The title of the menu item that runs showHideSidebar().
    QString showHideSidebarTitle() const;

    // New folder and new board; a collapsed sidebar is shown again to reveal the new node.
    void addFolderSelected();
    void addKanbanSelected();

    // Import: an open panel, then the selection sheet over the chosen document. Export: the
    // selection sheet over the stored tree.
    void showImport();
    void showExport();
    // The import sheet over each of these documents in turn (opened from the file manager, or
    // handed over by another process).
    void importDocuments(const QStringList& paths);

    // Writes the divider position and collapsed state to the user defaults.
    void autosave();

Q_SIGNALS:
    void sidebarVisibilityChanged(bool hidden);
    // The divider moved or the sidebar finished collapsing or showing: time to autosave.
    void autosavedStateChanged();

private:
    void setSidebarHidden(bool hidden);
    void restoreAutosavedState();
    void importNextDocument();

    AppDelegate* m_appDelegate;
    FHLeftSidebarViewController* m_sidebar;
    MainTabViewController* m_tabView;
    QVariantAnimation* m_animation;
    bool m_hiding = false;
    QStringList m_documentsToImport;
    QPointer<QWidget> m_importSheet;
    int m_sidebarWidth = defaultSidebarWidth;
};
