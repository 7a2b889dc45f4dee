#include "navigation/MainWindowController.h"
#include "store/AppDelegate.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pinwheels"));
    QApplication::setApplicationDisplayName(QStringLiteral("Pinwheels"));
    QApplication::setDesktopFileName(QStringLiteral("pinwheels"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/images/pinwheels.svg")));

    AppDelegate appDelegate;
    if (!appDelegate.launch())
        return EXIT_FAILURE;
    MainWindowController window(&appDelegate);
    window.show();
    appDelegate.managedObjectContext(); // the store opens now, so a broken one is reported at once
    return QApplication::exec();
}
