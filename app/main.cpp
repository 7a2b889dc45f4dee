#include "navigation/MainWindowController.h"
#include "store/AppDelegate.h"
#include "store/QuitSignalWatcher.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pinwheels"));
    QApplication::setApplicationDisplayName(QStringLiteral("Pinwheels"));
    QApplication::setDesktopFileName(QStringLiteral("com.fernhollow.pinwheels"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/images/pinwheels.svg")));
    // From here on logout, shutdown and Ctrl+C wait for the event loop and quit normally.
    QuitSignalWatcher quitSignals;

    AppDelegate appDelegate;
    if (!appDelegate.launch())
        return EXIT_FAILURE;
    // The sidebar opens the store while the window is made (a broken store is reported and
    // ends the process there) and fills a new one with the tutorial, which it then shows.
    MainWindowController window(&appDelegate);
    QObject::connect(&quitSignals, &QuitSignalWatcher::quitRequested, &window,
                     &MainWindowController::quit);
    window.show();
    return QApplication::exec();
}
