#include "MainWindowController.h"

#include "store/AppDelegate.h"
#include "store/Defaults.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>

MainWindowController::MainWindowController(AppDelegate* appDelegate, QWidget* parent)
    : QMainWindow(parent)
    , m_appDelegate(appDelegate)
{
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(QStringLiteral("Pinwheels"));
    setMinimumSize(600, 400);
    setCentralWidget(new QWidget(this));
    createMenus();
    restoreFrame();
    m_appDelegate->setAlertParent(this);
}

void MainWindowController::createMenus()
{
    QMenu* file = menuBar()->addMenu(tr("&File"));
    QAction* quit = file->addAction(tr("&Quit"), this, &QWidget::close);
    quit->setShortcut(QKeySequence::Quit);
    quit->setMenuRole(QAction::QuitRole);

    QMenu* view = menuBar()->addMenu(tr("&View"));
    QAction* archived =
        view->addAction(tr("Show Archived"), m_appDelegate, &AppDelegate::showArchivedSelected);
    m_appDelegate->setViewShowArchivedMenuItem(archived);
}

void MainWindowController::restoreFrame()
{
    Defaults& defaults = m_appDelegate->defaults();
    if (!defaults.boolean(Defaults::windowPositionSet)) {
        setInitialWindowSize();
        defaults.setValue(Defaults::windowPositionSet, true);
        defaults.synchronize();
        return;
    }
    restoreGeometry(defaults.value(QStringLiteral("MainWindow")).toByteArray());
}

void MainWindowController::setInitialWindowSize()
{
    const QRect screen = this->screen()->geometry();
    const QSize size(std::min(screen.width(), 1200), std::min(screen.height(), 720));
    setGeometry(QRect(screen.topLeft() + QPoint((screen.width() - size.width()) / 2,
                                                (screen.height() - size.height()) / 2),
                      size));
}

void MainWindowController::closeEvent(QCloseEvent* event)
{
    if (!m_appDelegate->applicationShouldTerminate()) {
        event->ignore();
        return;
    }
    m_appDelegate->defaults().setValue(QStringLiteral("MainWindow"), saveGeometry());
    m_appDelegate->defaults().synchronize();
    event->accept();
}
