#pragma once

#include <QModelIndex>
#include <QString>
#include <QTemporaryDir>

#include <memory>

class AppDelegate;
class DisplayItem;
class FHLeftSidebarViewController;
class MainTabViewController;
class MainWindowController;
class ObjectContext;
class Root;
class SourceOutlineModel;
class SourceOutlineView;

// A launched application with its main window shown, over a data folder of its own and fresh
// user defaults: the first launch of a new user, unless relaunch() starts it again.
class MainWindowFixture final
{
public:
    MainWindowFixture();
    ~MainWindowFixture();
    Q_DISABLE_COPY_MOVE(MainWindowFixture)

    // Quits (saving what is pending and the window's frame) and launches again over the
    // same data and defaults.
    void relaunch();

    AppDelegate& delegate() const { return *m_delegate; }
    MainWindowController& window() const { return *m_window; }
    FHLeftSidebarViewController& sidebar() const;
    SourceOutlineView& view() const;
    SourceOutlineModel& model() const;
    MainTabViewController& tabView() const;
    ObjectContext& context() const;
    Root& root() const;

    // The row of the first node with this title, searched through the whole tree.
    QModelIndex indexOf(const QString& title) const;
    DisplayItem* item(const QString& title) const;
    // The titles of a node's children (the root's when null).
    QStringList childTitles(const DisplayItem* parent = nullptr) const;

private:
    void launch();

    QTemporaryDir m_dataHome;
    std::unique_ptr<AppDelegate> m_delegate;
    std::unique_ptr<MainWindowController> m_window;
};
