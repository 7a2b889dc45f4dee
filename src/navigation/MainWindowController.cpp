#include "MainWindowController.h"

#include "BoardMenuController.h"
#include "FHLeftSidebarViewController.h"
#include "MainSplitViewController.h"
#include "MainTabViewController.h"
#include "MaintenanceMenuController.h"
#include "SourceOutlineView.h"
#include "appearance/InfoViewController.h"
#include "appearance/ToolbarInfoMenu.h"
#include "board/KanbanViewController.h"
#include "cards/ListTabViewController.h"
#include "cards/PreferencesDialog.h"
#include "model/Kanban.h"
#include "model/List.h"
#include "notes/FormatMenuController.h"
#include "store/AppDelegate.h"
#include "store/Defaults.h"
#include "store/NotificationCenter.h"
#include "tags/FilterViewController.h"
#include "widgets/EditCommandRouter.h"
#include "widgets/FieldUndoRouter.h"
#include "widgets/MessageBox.h"
#include "widgets/SymbolicIconEngine.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenuBar>
#include <QSaveFile>
#include <QScopedValueRollback>
#include <QScreen>
#include <QStandardPaths>
#include <QToolBar>
#include <QToolButton>
#include <QUndoStack>

namespace {

constexpr auto helpResource = ":/help/pinwheels-help.html";

QAction* addMenuItem(QMenu* menu, const QString& text, const QKeySequence& shortcut)
{
    QAction* action = menu->addAction(text);
    action->setShortcut(shortcut);
    return action;
}

} // namespace

MainWindowController::MainWindowController(AppDelegate* appDelegate, QWidget* parent)
    : QMainWindow(parent)
    , m_appDelegate(appDelegate)
    , m_splitView(nullptr)
    , m_editCommandRouter(new EditCommandRouter(this))
{
    setObjectName(QString::fromLatin1(frameAutosaveName));
    setWindowTitle(QString::fromLatin1(MainTabViewController::emptyWindowTitle));
    setMinimumSize(640, 420);
    m_appDelegate->setAlertParent(this);
    new FieldUndoRouter(m_appDelegate->undoManager(), this);

    m_splitView = new MainSplitViewController(appDelegate, this);
    m_splitView->sidebarViewController()->setWindowController(this);
    setCentralWidget(m_splitView);
    createKanbanView();
    createListView();

    // A crash must not lose the frame: it is saved soon after each change, not only at quit.
    m_frameAutosave.setSingleShot(true);
    m_frameAutosave.setInterval(frameAutosaveDelayMs);
    connect(&m_frameAutosave, &QTimer::timeout, this, &MainWindowController::autosaveFrame);
    connect(m_splitView, &MainSplitViewController::autosavedStateChanged, &m_frameAutosave,
            qOverload<>(&QTimer::start));

    createToolBar();
    createMenus();
    restoreFrame();
    configureToolbarItems();

    NotificationCenter& center = NotificationCenter::defaultCenter();
    const auto configure = [this](const NotificationCenter::Notification&) {
        configureToolbarItems();
    };
    center.addObserver(this, QStringLiteral("refreshToolBar"), configure);
    center.addObserver(this, QString::fromLatin1(AppDelegate::showHideArchivedSelectedNotification),
                       configure);
    connect(m_splitView->tabViewController(), &QStackedWidget::currentChanged, this,
            &MainWindowController::configureToolbarItems);
}

MainWindowController::~MainWindowController() = default;

void MainWindowController::createKanbanView()
{
    MainTabViewController* tabView = m_splitView->tabViewController();
    m_kanbanView = new KanbanViewController;
    tabView->setKanbanView(m_kanbanView);
    connect(tabView, &MainTabViewController::kanbanToDisplay, m_kanbanView,
            &KanbanViewController::showKanban);
    connect(m_kanbanView, &KanbanViewController::windowTitleTextChanged, tabView,
            &MainTabViewController::updateWindowTitle);
    connect(m_kanbanView, &KanbanViewController::columnSelectionChanged, m_editCommandRouter,
            &EditCommandRouter::updateActions);
    connect(m_kanbanView, &KanbanViewController::tagFilterChanged, this,
            &MainWindowController::configureToolbarItems);
}

void MainWindowController::createListView()
{
    MainTabViewController* tabView = m_splitView->tabViewController();
    m_listView = new ListTabViewController;
    tabView->setListView(m_listView);
    connect(tabView, &MainTabViewController::listToDisplay, m_listView,
            &ListTabViewController::setList);
    connect(m_listView, &ListTabViewController::windowTitleTextChanged, tabView,
            &MainTabViewController::updateWindowTitle);
}

void MainWindowController::createSearchField()
{
    // The search sits at the far end of the toolbar, as on most desktop applications.
    auto* spacer = new QWidget(m_toolBar);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    m_toolBar->addWidget(spacer);
    m_searchField = new QLineEdit(m_toolBar);
    m_searchField->setObjectName(QStringLiteral("searchField"));
    m_searchField->setPlaceholderText(tr("Search"));
    m_searchField->setClearButtonEnabled(true);
    m_searchField->setMaximumWidth(240);
    if (const QIcon find = QIcon::fromTheme(QStringLiteral("edit-find")); !find.isNull())
        m_searchField->addAction(find, QLineEdit::LeadingPosition);
    connect(m_searchField, &QLineEdit::textChanged, this, &MainWindowController::searchTextChanged);
    m_toolBar->addWidget(m_searchField);

    auto* find = new QAction(tr("Find"), this);
    find->setShortcut(QKeySequence::Find);
    connect(find, &QAction::triggered, this, [this] {
        m_searchField->setFocus(Qt::ShortcutFocusReason);
        m_searchField->selectAll();
    });
    addAction(find);
}

void MainWindowController::searchTextChanged(const QString& text)
{
    m_kanbanView->setSearchTerm(text);
}

QRect MainWindowController::initialWindowFrame(const QSize& screenSize)
{
    const QSize size(std::min(screenSize.width(), largestInitialWidth),
                     std::min(screenSize.height(), largestInitialHeight));
    return QRect(
        QPoint((screenSize.width() - size.width()) / 2, (screenSize.height() - size.height()) / 2),
        size);
}

void MainWindowController::setInitialWindowSize()
{
    const QRect screen = this->screen()->geometry();
    setGeometry(initialWindowFrame(screen.size()).translated(screen.topLeft()));
}

void MainWindowController::restoreFrame()
{
    Defaults& defaults = m_appDelegate->defaults();
    const QByteArray frame = defaults.value(QString::fromLatin1(frameAutosaveName)).toByteArray();
    if (defaults.boolean(Defaults::windowPositionSet) && restoreGeometry(frame))
        return;
    setInitialWindowSize();
    defaults.setValue(Defaults::windowPositionSet, true);
    defaults.synchronize();
}

void MainWindowController::createToolBar()
{
    m_toolBar = addToolBar(tr("Toolbar"));
    m_toolBar->setObjectName(QStringLiteral("mainToolBar"));
    m_toolBar->setMovable(false);
    m_toolBar->setFloatable(false);
    m_toolBar->setContextMenuPolicy(Qt::PreventContextMenu);
    m_toolBar->setIconSize(QSize(22, 22));

    m_showHideSidebar =
        new QAction(SymbolicIconEngine::icon(QStringLiteral(":/images/toolbar-sidebar.svg")),
                    m_splitView->showHideSidebarTitle(), this);
    m_showHideSidebar->setShortcut(QKeySequence(Qt::Key_F9));
    connect(m_showHideSidebar, &QAction::triggered, m_splitView,
            &MainSplitViewController::showHideSidebar);
    const auto retitle = [this] {
        m_showHideSidebar->setText(m_splitView->showHideSidebarTitle());
        m_showHideSidebar->setToolTip(m_splitView->showHideSidebarTitle());
    };
    connect(m_splitView, &MainSplitViewController::sidebarVisibilityChanged, this, retitle);
    retitle();
    m_toolBar->addAction(m_showHideSidebar);
    m_toolBar->addSeparator();

    m_showHideArchived = new QAction(
        SymbolicIconEngine::icon(QStringLiteral(":/images/toolbar-archive.svg")), QString(), this);
    m_showHideArchived->setCheckable(true);
    // The switch shows the mode, which the delegate owns: a click asks it to flip, and the
    // notification that follows sets the state.
    connect(m_showHideArchived, &QAction::triggered, m_appDelegate,
            &AppDelegate::showArchivedSelected);
    m_toolBar->addAction(m_showHideArchived);
    if (auto* button = qobject_cast<QToolButton*>(m_toolBar->widgetForAction(m_showHideArchived)))
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);

    m_cleanDone =
        new QAction(SymbolicIconEngine::icon(QStringLiteral(":/images/toolbar-clean-done.svg")),
                    tr("Archive Done Cards"), this);
    m_cleanDone->setToolTip(tr("Archive Done Cards"));
    m_cleanDone->setEnabled(false);
    connect(m_cleanDone, &QAction::triggered, this, &MainWindowController::archiveDoneItems);
    m_toolBar->addAction(m_cleanDone);
    m_boardMenu = new BoardMenuController(this, m_splitView->tabViewController(), m_kanbanView,
                                          m_listView, m_cleanDone);
    m_toolBar->addAction(m_boardMenu->completedCardsAction());
    m_toolBar->addSeparator();

    m_formatMenu = new FormatMenuController(this);
    m_toolBar->addAction(m_formatMenu->styleButton());
    if (auto* button =
            qobject_cast<QToolButton*>(m_toolBar->widgetForAction(m_formatMenu->styleButton())))
        button->setPopupMode(QToolButton::InstantPopup);
    m_toolBar->addAction(m_formatMenu->checklistButton());
    m_toolBar->addSeparator();

    m_tagFilter =
        new QAction(SymbolicIconEngine::icon(QStringLiteral(":/images/toolbar-tag-filter.svg")),
                    tr("Filter by Tag"), this);
    m_tagFilter->setToolTip(tr("Filter by Tag"));
    m_tagFilter->setCheckable(true);
    m_tagFilter->setEnabled(false);
    connect(m_tagFilter, &QAction::triggered, this, &MainWindowController::showFilterView);
    m_toolBar->addAction(m_tagFilter);

    // A click opens the item's information popover; the arrow, the quick appearance menu.
    m_appearance =
        new QAction(SymbolicIconEngine::icon(QStringLiteral(":/images/toolbar-appearance.svg")),
                    tr("Appearance"), this);
    m_appearance->setToolTip(tr("Colour, Background and Tags"));
    m_appearance->setEnabled(false);
    connect(m_appearance, &QAction::triggered, this, &MainWindowController::showInfoView);
    m_appearanceMenu = new ToolbarInfoMenu(this);
    m_appearanceMenu->setItemProvider([this] { return shownItem(); });
    m_appearance->setMenu(m_appearanceMenu);
    m_toolBar->addAction(m_appearance);
    if (auto* button = qobject_cast<QToolButton*>(m_toolBar->widgetForAction(m_appearance)))
        button->setPopupMode(QToolButton::MenuButtonPopup);
    createSearchField();
}

FilterViewController* MainWindowController::filterViewController() const
{
    return m_filterView;
}

void MainWindowController::bringToFront()
{
    if (isMinimized())
        showNormal();
    show();
    raise();
    activateWindow();
}

void MainWindowController::showFilterView()
{
    // The button shows whether a filter is on; a click only opens the popover.
    m_tagFilter->setChecked(m_kanbanView->tagFilter().has_value());
    QWidget* anchor = m_toolBar->widgetForAction(m_tagFilter);
    if (!anchor || !m_kanbanView->kanban())
        return;
    if (m_filterView)
        m_filterView->close();
    m_filterView = FilterViewController::popUp(anchor, m_kanbanView);
}

DisplayItem* MainWindowController::shownItem() const
{
    const MainTabViewController::TabItems tab = m_splitView->tabViewController()->selectedTab();
    if (tab == MainTabViewController::TabItems::kanban)
        return m_kanbanView->kanban();
    if (tab == MainTabViewController::TabItems::list)
        return m_listView->list();
    return nullptr;
}

InfoViewController* MainWindowController::infoViewController() const
{
    return m_infoView;
}

void MainWindowController::showInfoView()
{
    QWidget* anchor = m_toolBar->widgetForAction(m_appearance);
    DisplayItem* item = shownItem();
    if (!anchor || !item)
        return;
    if (m_infoView)
        m_infoView->close();
    m_infoView = InfoViewController::popUp(anchor, item);
}

void MainWindowController::createMenus()
{
    createFileMenu();
    createEditMenu();
    menuBar()->addMenu(m_boardMenu->menu());
    menuBar()->addMenu(m_formatMenu->menu());
    createViewMenu();
    m_maintenanceMenu = new MaintenanceMenuController(
        this, m_appDelegate, [this] { endEditing(); }, [this] { reloadShownItem(); });
    menuBar()->addMenu(m_maintenanceMenu->menu());
    createHelpMenu();
}

void MainWindowController::reloadShownItem()
{
    const MainTabViewController::TabItems tab = m_splitView->tabViewController()->selectedTab();
    if (tab == MainTabViewController::TabItems::kanban && m_kanbanView->kanban())
        m_kanbanView->reloadData();
    else if (tab == MainTabViewController::TabItems::list && m_listView->list())
        m_listView->reloadListAndTable();
    configureToolbarItems();
}

void MainWindowController::createFileMenu()
{
    QMenu* file = menuBar()->addMenu(tr("&File"));
    QAction* newBoard = addMenuItem(file, tr("New &Board…"), QKeySequence::New);
    connect(newBoard, &QAction::triggered, m_splitView,
            &MainSplitViewController::addKanbanSelected);
    QAction* newFolder =
        addMenuItem(file, tr("New &Folder"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N));
    connect(newFolder, &QAction::triggered, m_splitView,
            &MainSplitViewController::addFolderSelected);
    file->addSeparator();
    QAction* importItems = addMenuItem(file, tr("&Import…"), QKeySequence::Open);
    connect(importItems, &QAction::triggered, m_splitView, &MainSplitViewController::showImport);
    QAction* exportItems =
        addMenuItem(file, tr("&Export…"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E));
    connect(exportItems, &QAction::triggered, m_splitView, &MainSplitViewController::showExport);
    file->addSeparator();
    QAction* quit = addMenuItem(file, tr("&Quit"), QKeySequence::Quit);
    quit->setMenuRole(QAction::QuitRole);
    connect(quit, &QAction::triggered, this, &MainWindowController::quit);
}

void MainWindowController::createEditMenu()
{
    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    QUndoStack* undoStack = m_appDelegate->undoManager();
    QAction* undo = undoStack->createUndoAction(edit, tr("&Undo"));
    undo->setShortcuts(QKeySequence::Undo);
    edit->addAction(undo);
    QAction* redo = undoStack->createRedoAction(edit, tr("&Redo"));
    redo->setShortcuts(QKeySequence::Redo);
    edit->addAction(redo);
    edit->addSeparator();

    const auto route = [this, edit](EditAction command, const QString& text,
                                    const QKeySequence& shortcut, const QString& name = {}) {
        QAction* action = addMenuItem(edit, text, shortcut);
        action->setObjectName(name);
        m_editCommandRouter->addAction(command, action);
    };
    route(EditAction::Cut, tr("Cu&t"), QKeySequence::Cut, QStringLiteral("MenuItemCut"));
    route(EditAction::Copy, tr("&Copy"), QKeySequence::Copy, QStringLiteral("MenuItemCopy"));
    route(EditAction::Paste, tr("&Paste"), QKeySequence::Paste, QStringLiteral("MenuItemPaste"));
    route(EditAction::Delete, tr("&Delete"), QKeySequence::Delete);
    edit->addSeparator();
    route(EditAction::SelectAll, tr("Select &All"), QKeySequence::SelectAll);
    edit->addSeparator();

    FHLeftSidebarViewController* sidebar = m_splitView->sidebarViewController();
    QAction* rename = addMenuItem(edit, tr("Re&name…"), QKeySequence(Qt::Key_F2));
    // On the board F2 renames the column the keyboard is in; elsewhere the sidebar's node.
    connect(rename, &QAction::triggered, this, [this, sidebar] {
        if (!m_boardMenu->renameColumnOfFocus())
            sidebar->renameSelectedItem();
    });
    QAction* moveTo =
        addMenuItem(edit, tr("&Move to…"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_M));
    connect(moveTo, &QAction::triggered, sidebar, &FHLeftSidebarViewController::showMoveToDialog);
    edit->addSeparator();
    QAction* preferences = addMenuItem(edit, tr("Pr&eferences…"), QKeySequence::Preferences);
    preferences->setMenuRole(QAction::PreferencesRole);
    connect(preferences, &QAction::triggered, this,
            [this] { PreferencesDialog::showPreferences(this); });

    connect(edit, &QMenu::aboutToShow, this, [this, sidebar, rename, moveTo] {
        m_editCommandRouter->updateActions();
        rename->setEnabled(sidebar->selectedItem() != nullptr);
        moveTo->setEnabled(sidebar->selectedItem() != nullptr);
    });
    // The keys work whenever the menu is closed.
    connect(edit, &QMenu::aboutToHide, this, [rename, moveTo] {
        rename->setEnabled(true);
        moveTo->setEnabled(true);
    });
}

void MainWindowController::createViewMenu()
{
    QMenu* view = menuBar()->addMenu(tr("&View"));
    view->addAction(m_showHideSidebar);
    QAction* archived =
        view->addAction(tr("Show Archived"), m_appDelegate, &AppDelegate::showArchivedSelected);
    archived->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_H));
    m_appDelegate->setViewShowArchivedMenuItem(archived);
    view->addSeparator();
    QAction* switchPane = addMenuItem(view, tr("S&witch Pane"), QKeySequence(Qt::Key_F6));
    connect(switchPane, &QAction::triggered, this, [this] {
        m_boardMenu->switchPane(m_splitView->sidebarViewController()->outlineView());
    });
}

void MainWindowController::createHelpMenu()
{
    QMenu* help = menuBar()->addMenu(tr("&Help"));
    QAction* guide = addMenuItem(help, tr("Pinwheels Help"), QKeySequence::HelpContents);
    connect(guide, &QAction::triggered, this, &MainWindowController::showHelp);
}

void MainWindowController::configureToolbarItems()
{
    const bool archiveView = m_appDelegate->defaults().integer(Defaults::listViewMode) == 2;
    const QString label = archiveView ? tr("Switch to Edit") : tr("Switch to Archived");
    m_showHideArchived->setChecked(archiveView);
    m_showHideArchived->setText(label);
    m_showHideArchived->setToolTip(label);
    const MainTabViewController::TabItems tab = m_splitView->tabViewController()->selectedTab();
    const bool boardShown =
        tab == MainTabViewController::TabItems::kanban && m_kanbanView->kanban();
    const bool listShown = tab == MainTabViewController::TabItems::list && m_listView->list();
    m_tagFilter->setEnabled(boardShown);
    m_tagFilter->setChecked(boardShown && m_kanbanView->tagFilter().has_value());
    m_cleanDone->setEnabled(!archiveView &&
                            ((boardShown && m_kanbanView->hasDoneButNotArchivedCards()) ||
                             (listShown && m_listView->hasDoneButNotArchivedCards())));
    m_boardMenu->completedCardsAction()->setEnabled(boardShown || listShown);
    m_appearance->setEnabled(boardShown || listShown);
}

void MainWindowController::archiveDoneItems()
{
    if (m_splitView->tabViewController()->selectedTab() == MainTabViewController::TabItems::list)
        m_listView->archiveDoneItems();
    else
        m_kanbanView->archiveDoneItems();
}

QString MainWindowController::helpFilePath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::CacheLocation))
        .filePath(QStringLiteral("help/pinwheels-help.html"));
}

void MainWindowController::showHelp()
{
    // Browsers cannot read the application's resources: the guide goes to a file first.
    const QString path = helpFilePath();
    QString problem;
    QFile guide(QString::fromLatin1(helpResource));
    QSaveFile copy(path);
    if (!guide.open(QIODevice::ReadOnly))
        problem = guide.errorString();
    else if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        problem = tr("The folder %1 could not be made.")
                      .arg(QDir::toNativeSeparators(QFileInfo(path).absolutePath()));
    else if (!copy.open(QIODevice::WriteOnly) || copy.write(guide.readAll()) < 0 || !copy.commit())
        problem = tr("It could not be written to %1: %2")
                      .arg(QDir::toNativeSeparators(path), copy.errorString());
    if (!problem.isEmpty()) {
        MessageBox::critical(this, tr("The user guide could not be opened."), problem);
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        MessageBox::critical(
            this, tr("The user guide could not be opened."),
            tr("No web browser could be started to show %1.").arg(QDir::toNativeSeparators(path)));
}

void MainWindowController::quit()
{
    // A second request while the first waits for the user's answer adds nothing.
    if (m_quitting)
        return;
    const QScopedValueRollback<bool> quitting(m_quitting, true);
    if (close())
        QCoreApplication::exit(EXIT_SUCCESS);
}

void MainWindowController::endEditing()
{
    // Every editor commits when the keyboard leaves it.
    QWidget* focus = QApplication::focusWidget();
    if (focus && isAncestorOf(focus))
        focus->clearFocus();
}

void MainWindowController::closeEvent(QCloseEvent* event)
{
    endEditing();
    if (!m_appDelegate->applicationShouldTerminate()) {
        event->ignore();
        return;
    }
    autosaveFrame();
    event->accept();
}

void MainWindowController::moveEvent(QMoveEvent* event)
{
    QMainWindow::moveEvent(event);
    m_frameAutosave.start();
}

void MainWindowController::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    m_frameAutosave.start();
}

void MainWindowController::autosaveFrame()
{
    m_frameAutosave.stop();
    Defaults& defaults = m_appDelegate->defaults();
    defaults.setValue(QString::fromLatin1(frameAutosaveName), saveGeometry());
    m_splitView->autosave();
    defaults.synchronize();
}
