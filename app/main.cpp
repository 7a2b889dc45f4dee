#include "navigation/MainSplitViewController.h"
#include "navigation/MainWindowController.h"
#include "store/AppDelegate.h"
#include "store/InstanceChannel.h"
#include "store/QuitSignalWatcher.h"

#include <QApplication>
#include <QIcon>
#include <QTimer>

namespace {
// How long a second start waits for a first one that holds the data folder but is still
// starting up.
constexpr int handOverWaitMilliseconds = 3000;
} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pinwheels"));
    QApplication::setApplicationDisplayName(QStringLiteral("Pinwheels"));
    QApplication::setDesktopFileName(QStringLiteral("com.fernhollow.pinwheels"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/images/pinwheels.svg")));
    // From here on logout, shutdown and Ctrl+C wait for the event loop and quit normally.
    QuitSignalWatcher quitSignals;

    // Documents named on the command line (as a file manager does) are offered for import.
    const QStringList documents = QApplication::arguments().mid(1);
    AppDelegate appDelegate;
    const QString folder = appDelegate.applicationDocumentsDirectory();
    // Started again while running: the running window comes to the front and takes the
    // documents; this process ends at once.
    if (InstanceChannel::sendToRunning(folder, documents))
        return EXIT_SUCCESS;
    appDelegate.setHandOver([&] {
        return InstanceChannel::sendToRunning(folder, documents, true, handOverWaitMilliseconds);
    });
    if (!appDelegate.launch())
        return appDelegate.handedOver() ? EXIT_SUCCESS : EXIT_FAILURE;

    InstanceChannel channel;
    channel.listen(folder);
    // The sidebar opens the store while the window is made (a broken store is reported and
    // ends the process there) and fills a new one with the tutorial, which it then shows.
    MainWindowController window(&appDelegate);
    QObject::connect(&quitSignals, &QuitSignalWatcher::quitRequested, &window,
                     &MainWindowController::quit);
    QObject::connect(&channel, &InstanceChannel::activationRequested, &window,
                     &MainWindowController::bringToFront);
    window.show();
    MainSplitViewController* split = window.splitViewController();
    QObject::connect(&channel, &InstanceChannel::openRequested, split,
                     &MainSplitViewController::importDocuments);
    if (!documents.isEmpty())
        QTimer::singleShot(0, split, [split, documents] { split->importDocuments(documents); });
    return QApplication::exec();
}
