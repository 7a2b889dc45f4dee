#include "CommandLineTool.h"

#include <QCoreApplication>

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("pinwheels-cli"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    return CommandLineTool(out, err).run(QCoreApplication::arguments());
}
