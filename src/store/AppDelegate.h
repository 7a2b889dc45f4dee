#pragma once

#include "Defaults.h"
#include "StoreError.h"

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUndoStack>
#include <QWidget>

#include <functional>
#include <memory>

class ObjectContext;
class SqliteStore;
class QAction;
class FolderLock;

// The application's life: defaults, the data folder and its store, saving after every change,
// the quit flow and the archive view switch. Every other part reaches the store through it.
class AppDelegate final : public QObject
{
    Q_OBJECT

public:
    static constexpr auto showHideArchivedSelectedNotification = "showHideArchivedSelected";

    explicit AppDelegate(QObject* parent = nullptr);
    ~AppDelegate() override;

    // The one delegate of the running application.
    static AppDelegate* shared();
    // The running application's store context and undo stack; null when no application runs
    // (a widget tested on its own).
    static ObjectContext* sharedContext();
    static QUndoStack* sharedUndoStack();

    Defaults& defaults() const { return m_defaults; }
    QVariantMap cleanState() const { return m_cleanState; }

    // Registers the defaults, moves files of earlier versions into place and takes the data
    // folder for this process. False when another instance already uses the folder: it was
    // told to the user and the caller should quit without touching anything.
    bool launch();
    // Asked when another process holds the data folder, before the user is told: true when
    // that process took this start's request over (the start is then no failure).
    void setHandOver(std::function<bool()> handOver) { m_handOver = std::move(handOver); }
    bool handedOver() const { return m_handedOver; }

    // Once per user (until "stylesUpdatedToVersion2" is set): brings the notes of every card
    // to the current note styles and strikes through the notes of done cards. Part of launch().
    void runPendingUpgrade();

    QString applicationDocumentsDirectory();
    // The store context, opened on first use. When the store cannot be opened the user sees
    // the error and the process ends at once.
    ObjectContext* managedObjectContext();

    QUndoStack* undoManager() { return &m_undoStack; }

    // Saves the context when it has changes; a failure is shown and the changes stay pending.
    bool save();
    // Answers a request to quit: true to quit now, false to stay.
    bool applicationShouldTerminate();

    void setViewShowArchivedMenuItem(QAction* action);
    void showArchivedSelected();

    // The parent of the alerts (normally the main window).
    void setAlertParent(QWidget* window) { m_alertParent = window; }
    // What ends the process when the store cannot be opened; tests replace it.
    void setTerminationHandler(std::function<void(int)> handler);

private:
    void presentError(const QString& text, const QString& informativeText);
    void scheduleCheckpoint();
    void checkpointNow();

    Defaults& m_defaults;
    QVariantMap m_cleanState;
    QString m_documentsDirectory;
    std::unique_ptr<FolderLock> m_folderLock;
    std::unique_ptr<ObjectContext> m_context;
    SqliteStore* m_store = nullptr; // owned by m_context
    QUndoStack m_undoStack;
    QPointer<QAction> m_viewShowArchivedMenuItem;
    QPointer<QWidget> m_alertParent;
    QTimer m_checkpointTimer;
    std::function<void(int)> m_terminate;
    std::function<bool()> m_handOver;
    bool m_handedOver = false;
};
