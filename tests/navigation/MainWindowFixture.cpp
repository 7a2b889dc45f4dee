#include "MainWindowFixture.h"

#include "model/Root.h"
#include "navigation/FHLeftSidebarViewController.h"
#include "navigation/MainSplitViewController.h"
#include "navigation/MainWindowController.h"
#include "navigation/SourceOutlineModel.h"
#include "navigation/SourceOutlineView.h"
#include "store/AppDelegate.h"
#include "store/Defaults.h"
#include "widgets/MessageBox.h"

#include <QFile>
#include <QTest>

MainWindowFixture::MainWindowFixture()
{
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_dataHome.path()));
    Defaults::standard().clear();
    Defaults::standard().synchronize();
    MessageBox::takeShownAlerts(); // no real alert from here on
    launch();
}

MainWindowFixture::~MainWindowFixture()
{
    m_window.reset();
    m_delegate.reset();
}

void MainWindowFixture::launch()
{
    m_delegate = std::make_unique<AppDelegate>();
    QVERIFY(m_delegate->launch());
    m_window = std::make_unique<MainWindowController>(m_delegate.get());
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    // Under X there is no window manager to activate it, and keyboard focus needs that.
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void MainWindowFixture::relaunch()
{
    QVERIFY(m_window->close());
    m_window.reset();
    m_delegate.reset();
    launch();
}

FHLeftSidebarViewController& MainWindowFixture::sidebar() const
{
    return *m_window->splitViewController()->sidebarViewController();
}

SourceOutlineView& MainWindowFixture::view() const
{
    return *sidebar().outlineView();
}

SourceOutlineModel& MainWindowFixture::model() const
{
    return *sidebar().model();
}

MainTabViewController& MainWindowFixture::tabView() const
{
    return *m_window->splitViewController()->tabViewController();
}

ObjectContext& MainWindowFixture::context() const
{
    return *m_delegate->managedObjectContext();
}

Root& MainWindowFixture::root() const
{
    return *sidebar().rootObject();
}

QModelIndex MainWindowFixture::indexOf(const QString& title) const
{
    const SourceOutlineModel& tree = model();
    QList<QModelIndex> pending{QModelIndex()};
    while (!pending.isEmpty()) {
        const QModelIndex parent = pending.takeFirst();
        for (int row = 0; row < tree.rowCount(parent); ++row) {
            const QModelIndex index = tree.index(row, 0, parent);
            if (index.data().toString() == title)
                return index;
            pending.append(index);
        }
    }
    return {};
}

DisplayItem* MainWindowFixture::item(const QString& title) const
{
    return model().itemForIndex(indexOf(title));
}

QStringList MainWindowFixture::childTitles(const DisplayItem* parent) const
{
    QStringList titles;
    for (const DisplayItem* child : (parent ? parent : &root())->children())
        titles.append(child->title());
    return titles;
}
