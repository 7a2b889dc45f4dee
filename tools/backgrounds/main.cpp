// pinwheels-backgrounds: draws the built-in background pictures and their thumbnails.
//
//     pinwheels-backgrounds <output folder>
//
// writes wlbackground01.jpg … and wlbackground01thumb.jpg … there. Runs at build time,
// headless: it draws no text, so a core application is enough.

#include "BackgroundPainter.h"

#include <QCoreApplication>
#include <QDir>
#include <QSaveFile>
#include <QTextStream>

namespace {

int fail(const QString& message)
{
    QTextStream(stderr) << "pinwheels-backgrounds: " << message << Qt::endl;
    return 1;
}

bool write(const QImage& image, const QString& path)
{
    QSaveFile output(path);
    return output.open(QIODevice::WriteOnly) && image.save(&output, "JPEG", 86) && output.commit();
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 2)
        return fail(QStringLiteral("usage: pinwheels-backgrounds <output folder>"));
    const QDir folder(arguments.at(1));
    if (!folder.mkpath(QStringLiteral(".")))
        return fail(QStringLiteral("cannot create %1").arg(folder.path()));

    const BackgroundPainter painter;
    for (int number = 1; number <= BackgroundPainter::count; ++number) {
        const QString name = QStringLiteral("wlbackground%1").arg(number, 2, 10, QLatin1Char('0'));
        const QImage picture = painter.paint(number);
        if (!write(picture, folder.filePath(name + QStringLiteral(".jpg"))) ||
            !write(BackgroundPainter::thumbnail(picture),
                   folder.filePath(name + QStringLiteral("thumb.jpg"))))
            return fail(QStringLiteral("cannot write %1 into %2").arg(name, folder.path()));
    }
    return 0;
}
