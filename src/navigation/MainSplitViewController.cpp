#include "MainSplitViewController.h"

#include "FHLeftSidebarViewController.h"
#include "MainTabViewController.h"
#include "interchange/ImportExportViewController.h"
#include "store/AppDelegate.h"

#include <QVariantAnimation>

namespace {
constexpr int animationDuration = 180;
}

MainSplitViewController::MainSplitViewController(AppDelegate* appDelegate, QWidget* parent)
    : QSplitter(Qt::Horizontal, parent)
    , m_appDelegate(appDelegate)
    , m_sidebar(new FHLeftSidebarViewController(appDelegate, this))
    , m_tabView(new MainTabViewController(appDelegate, this))
    , m_animation(new QVariantAnimation(this))
{
    setObjectName(QString::fromLatin1(autosaveName));
    setChildrenCollapsible(false);
    addWidget(m_sidebar);
    addWidget(m_tabView);
    setCollapsible(0, true);
    setCollapsible(1, false);
    // A hairline between the panes; the handle keeps a wider grip of its own.
    setHandleWidth(1);
    handle(1)->setAutoFillBackground(true);
    handle(1)->setBackgroundRole(QPalette::Mid);
    setStretchFactor(0, 0);
    setStretchFactor(1, 1);
    m_sidebar->setTabViewController(m_tabView);

    m_animation->setDuration(animationDuration);
    m_animation->setEasingCurve(QEasingCurve::InOutCubic);
    connect(m_animation, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        const int total = sizes().value(0) + sizes().value(1);
        setSizes({value.toInt(), total - value.toInt()});
    });
    connect(m_animation, &QVariantAnimation::finished, this, [this] {
        m_sidebar->setMinimumWidth(FHLeftSidebarViewController::minimumSidebarWidth);
        Q_EMIT autosavedStateChanged();
        Q_EMIT sidebarVisibilityChanged(sideBarIsHidden());
    });
    connect(this, &QSplitter::splitterMoved, this, [this] {
        if (sizes().value(0) > 0)
            m_sidebarWidth = sizes().value(0);
        Q_EMIT autosavedStateChanged();
        Q_EMIT sidebarVisibilityChanged(sideBarIsHidden());
    });

    setSizes({defaultSidebarWidth, 1000});
    restoreAutosavedState();
}

MainSplitViewController::~MainSplitViewController()
{
    m_animation->stop();
}

bool MainSplitViewController::sideBarIsHidden() const
{
    if (m_animation->state() == QAbstractAnimation::Running)
        return m_hiding;
    return sizes().value(0) == 0;
}

QString MainSplitViewController::showHideSidebarTitle() const
{
    return sideBarIsHidden() ? tr("Show Sidebar") : tr("Hide Sidebar");
}

void MainSplitViewController::showHideSidebar()
{
    setSidebarHidden(!sideBarIsHidden());
}

void MainSplitViewController::setSidebarHidden(bool hidden)
{
    if (hidden == sideBarIsHidden())
        return;
    const int from = sizes().value(0);
    if (hidden && from > 0)
        m_sidebarWidth = from;
    m_hiding = hidden;
    m_animation->stop();
    // The splitter would snap a sidebar narrower than its minimum; let it pass through.
    m_sidebar->setMinimumWidth(0);
    m_animation->setStartValue(from);
    m_animation->setEndValue(hidden ? 0 : m_sidebarWidth);
    m_animation->start();
    Q_EMIT sidebarVisibilityChanged(hidden);
}

void MainSplitViewController::addFolderSelected()
{
    m_sidebar->addFolder();
    setSidebarHidden(false);
}

void MainSplitViewController::addKanbanSelected()
{
    m_sidebar->addKanban();
    setSidebarHidden(false);
}

void MainSplitViewController::autosave()
{
    Defaults& defaults = m_appDelegate->defaults();
    defaults.setValue(QString::fromLatin1(autosaveName), saveState());
}

void MainSplitViewController::restoreAutosavedState()
{
    const QByteArray state =
        m_appDelegate->defaults().value(QString::fromLatin1(autosaveName)).toByteArray();
    if (!state.isEmpty())
        restoreState(state);
    if (sizes().value(0) > 0)
        m_sidebarWidth = sizes().value(0);
}

void MainSplitViewController::showImport()
{
    const QString path = ImportExportViewController::chooseImportFile(window());
    if (!path.isEmpty())
        ImportExportViewController::openImportSheet(window(), path);
}

void MainSplitViewController::importDocuments(const QStringList& paths)
{
    m_documentsToImport += paths;
    if (!m_importSheet)
        importNextDocument();
}

void MainSplitViewController::importNextDocument()
{
    while (!m_documentsToImport.isEmpty() && !m_importSheet) {
        // A refused document was told about at once: the next one follows.
        m_importSheet =
            ImportExportViewController::openImportSheet(window(), m_documentsToImport.takeFirst());
        if (m_importSheet)
            connect(m_importSheet, &QObject::destroyed, this,
                    &MainSplitViewController::importNextDocument, Qt::QueuedConnection);
    }
}

void MainSplitViewController::showExport()
{
    ImportExportViewController::openExportSheet(window());
}
