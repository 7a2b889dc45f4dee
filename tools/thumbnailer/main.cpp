// pinwheels-thumbnailer: draws the chooser picture of a board template.
//
//     pinwheels-thumbnailer <template.Pinwheels> <thumbnail.png>
//
// Runs at build time, headless: it draws no text, so it needs neither a
// display nor fonts, and a core application is enough.

#include "BoardSketch.h"
#include "ThumbnailPainter.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>
#include <QStringList>
#include <QTextStream>

namespace {

int fail(const QString& message)
{
    QTextStream(stderr) << "pinwheels-thumbnailer: " << message << Qt::endl;
    return 1;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);

    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 3)
        return fail(QStringLiteral("usage: pinwheels-thumbnailer <template> <output.png>"));
    const QString inputPath = arguments.at(1);
    const QString outputPath = arguments.at(2);

    QFile input(inputPath);
    if (!input.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read %1: %2").arg(inputPath, input.errorString()));
    QString error;
    const std::optional<BoardSketch> board = BoardSketch::fromDocument(input.readAll(), &error);
    if (!board)
        return fail(QStringLiteral("%1: %2").arg(inputPath, error));

    const QImage image = ThumbnailPainter().paint(*board);
    QSaveFile output(outputPath);
    if (!output.open(QIODevice::WriteOnly) || !image.save(&output, "PNG") || !output.commit())
        return fail(QStringLiteral("cannot write %1: %2").arg(outputPath, output.errorString()));
    return 0;
}
