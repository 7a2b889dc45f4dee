#include "AppDelegate.h"

#include "DataFolder.h"
#include "DataUpgrades.h"
#include "FolderLock.h"
#include "NotificationCenter.h"
#include "ObjectContext.h"
#include "SqliteStore.h"
#include "interchange/JSONReader.h"
#include "widgets/MessageBox.h"

#include <QAction>
#include <QDir>

#include <cstdlib>

namespace {
AppDelegate* sharedDelegate = nullptr;
// Checkpoints wait for a quiet moment, so that no save pays for one.
constexpr int checkpointDelayMs = 2000;
} // namespace

AppDelegate::AppDelegate(QObject* parent)
    : QObject(parent)
    , m_defaults(Defaults::standard())
    , m_cleanState(Defaults::cleanState())
    , m_terminate([](int status) { std::_Exit(status); })
{
    sharedDelegate = this;
    m_checkpointTimer.setSingleShot(true);
    m_checkpointTimer.setInterval(checkpointDelayMs);
    connect(&m_checkpointTimer, &QTimer::timeout, this, &AppDelegate::checkpointNow);
}

AppDelegate::~AppDelegate()
{
    checkpointNow();
    if (m_context && JSONReader::shared().context() == m_context.get())
        JSONReader::shared().setContext(nullptr);
    if (sharedDelegate == this)
        sharedDelegate = nullptr;
}

AppDelegate* AppDelegate::shared()
{
    return sharedDelegate;
}

ObjectContext* AppDelegate::sharedContext()
{
    return sharedDelegate ? sharedDelegate->managedObjectContext() : nullptr;
}

QUndoStack* AppDelegate::sharedUndoStack()
{
    return sharedDelegate ? sharedDelegate->undoManager() : nullptr;
}

bool AppDelegate::launch()
{
    if (DataFolder::moveEarlierPreferences(Defaults::standardFilePath(),
                                           Defaults::earlierFilePath()))
        m_defaults.synchronize(); // read the moved file, so its values are not overwritten
    m_defaults.registerDefaults(m_cleanState);
    for (auto it = m_cleanState.cbegin(); it != m_cleanState.cend(); ++it) {
        if (!m_defaults.contains(it.key()))
            m_defaults.setValue(it.key(), it.value());
    }
    m_defaults.synchronize();

    const QString folder = applicationDocumentsDirectory();
    QString reason;
    if (!DataFolder::ensureExists(folder, &reason))
        return true; // the store error will say why when the store is first needed
    m_folderLock = DataFolder::tryLock(folder);
    if (m_folderLock) {
        runPendingUpgrade();
        return true;
    }
    m_handedOver = m_handOver && m_handOver();
    if (m_handedOver)
        return false;
    MessageBox::critical(nullptr, tr("Pinwheels is already running."),
                         tr("Another Pinwheels process is using the data in %1. "
                            "Quit it before starting Pinwheels again.")
                             .arg(QDir::toNativeSeparators(folder)));
    return false;
}

void AppDelegate::runPendingUpgrade()
{
    if (m_defaults.boolean(Defaults::stylesUpdatedToVersion2))
        return;
    if (!managedObjectContext())
        return; // the user was told; the process ends
    DataUpgrades::updateNotesTextStyle(*m_context).apply();
    save();
    DataUpgrades::applyStrikeThroughForArchivedItems(*m_context).apply();
    save();
    // Set also when there was nothing to do: the upgrade runs once per user.
    m_defaults.setValue(Defaults::stylesUpdatedToVersion2, true);
    m_defaults.synchronize();
}

QString AppDelegate::applicationDocumentsDirectory()
{
    if (m_documentsDirectory.isEmpty())
        m_documentsDirectory = DataFolder::resolve();
    return m_documentsDirectory;
}

ObjectContext* AppDelegate::managedObjectContext()
{
    if (m_context)
        return m_context.get();
    StoreError error;
    m_context = DataFolder::openStore(applicationDocumentsDirectory(), &error);
    if (m_context) {
        m_store = static_cast<SqliteStore*>(m_context->store()); // openStore() made it
        // The one reader builds into the one context: imports, templates, the tutorial, paste
        // and the undo of deletions.
        JSONReader::shared().setContext(m_context.get());
    } else {
        QString details = error.reason;
        if (!error.underlying.isEmpty())
            details += QStringLiteral("\n\n") + error.underlying;
        presentError(QString::fromLatin1(StoreError::description), details);
        m_terminate(EXIT_FAILURE);
    }
    return m_context.get();
}

bool AppDelegate::save()
{
    ObjectContext* context = managedObjectContext();
    if (!context || !context->hasChanges())
        return true;
    QString error;
    if (!context->save(&error)) {
        presentError(tr("Your changes could not be saved."), error);
        return false;
    }
    scheduleCheckpoint();
    return true;
}

bool AppDelegate::applicationShouldTerminate()
{
    ObjectContext* context = managedObjectContext();
    if (!context || !context->hasChanges())
        return true;
    QString error;
    if (context->save(&error))
        return true;
    presentError(tr("Your changes could not be saved."), error);
    const int answer = MessageBox::question(
        m_alertParent,
        tr("Could not save changes while quitting. Quit anyway?",
           "Quit without saves error question message"),
        tr("Quitting now will lose any changes you have made since the last successful save",
           "Quit without saves error question info"),
        {tr("Quit anyway", "Quit anyway button title"), tr("Cancel", "Cancel button title")});
    return answer == 0;
}

void AppDelegate::setViewShowArchivedMenuItem(QAction* action)
{
    m_viewShowArchivedMenuItem = action;
    if (action && m_defaults.integer(Defaults::listViewMode) == 2)
        action->setText(tr("Hide Archived"));
}

void AppDelegate::showArchivedSelected()
{
    const bool showingArchive = m_defaults.integer(Defaults::listViewMode) == 2;
    if (m_viewShowArchivedMenuItem)
        m_viewShowArchivedMenuItem->setText(showingArchive ? tr("Show Archived")
                                                           : tr("Hide Archived"));
    m_defaults.setValue(Defaults::listViewMode, showingArchive ? 0 : 2);
    m_defaults.synchronize();
    NotificationCenter::defaultCenter().post(showHideArchivedSelectedNotification, this);
}

void AppDelegate::setTerminationHandler(std::function<void(int)> handler)
{
    m_terminate = std::move(handler);
}

void AppDelegate::presentError(const QString& text, const QString& informativeText)
{
    MessageBox::critical(m_alertParent, text, informativeText);
}

void AppDelegate::scheduleCheckpoint()
{
    m_checkpointTimer.start();
}

void AppDelegate::checkpointNow()
{
    m_checkpointTimer.stop();
    if (m_context && m_store)
        m_store->checkpoint();
}
