#include "IsolatedEnvironment.h"
#include "Readability.h"
#include "appearance/BackgroundImage.h"
#include "appearance/ColourCircleButton.h"
#include "appearance/Palette.h"
#include "appearance/ViewWithBackground.h"
#include "model/Kanban.h"
#include "store/AppDelegate.h"
#include "store/ObjectContext.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTest>

// The built-in and custom background pictures, the view that draws them and the colour swatch.
class BackgroundsTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<AppDelegate> delegate;
    QTemporaryDir chosen; // where the user's own pictures come from

    QString writePicture(const QString& name, QColor colour, QSize size = QSize(64, 40)) const
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(colour);
        const QString path = QDir(chosen.path()).filePath(name);
        return image.save(path) ? path : QString();
    }
    Kanban* board(const QString& bgImage) const
    {
        auto* kanban = delegate->managedObjectContext()->insert<Kanban>();
        kanban->setBgImage(bgImage);
        return kanban;
    }

private Q_SLOTS:
    void initTestCase()
    {
        delegate = std::make_unique<AppDelegate>();
        QVERIFY(delegate->launch());
        QVERIFY(delegate->managedObjectContext());
    }

    void pictureNames_twoDigits_thumbSuffix_absentMeansTheFirst()
    {
        QCOMPARE(BackgroundImage::imageNameFromIndex(9, false), QStringLiteral("wlbackground09"));
        QCOMPARE(BackgroundImage::imageNameFromIndex(10, false), QStringLiteral("wlbackground10"));
        QCOMPARE(BackgroundImage::imageNameFromIndex(30, true),
                 QStringLiteral("wlbackground30thumb"));
        QCOMPARE(BackgroundImage::effectiveName(QString()), QStringLiteral("wlbackground01"));
        QCOMPARE(BackgroundImage::effectiveName(QStringLiteral("")),
                 QStringLiteral("wlbackground01"));
        QVERIFY(!BackgroundImage::isBuiltIn(QStringLiteral("wlbackground47")));
        QVERIFY(BackgroundImage::load(QStringLiteral("../CocoaAppCD.storedata")).isNull());
    }

    void builtInPictures_all46_keepWhiteTitlesAndCardsReadable()
    {
        for (int number = 1; number <= BackgroundImage::builtInCount; ++number) {
            const QString name = BackgroundImage::imageNameFromIndex(number, false);
            const QImage picture = BackgroundImage::load(name);
            QVERIFY2(!picture.isNull(), qPrintable(name));
            QVERIFY2(Readability::titleBandLuminance(picture) <= Readability::brightestTitleBand,
                     qPrintable(name));
            QVERIFY2(Readability::pictureLuminance(picture) <= Readability::brightestPicture,
                     qPrintable(name));
            QVERIFY(!QImage(BackgroundImage::resourcePath(
                                BackgroundImage::imageNameFromIndex(number, true)))
                         .isNull());
        }
    }

    void customPicture_chosenTwice_keepsOneCopyAndTheName_aNonPictureIsRefused()
    {
        const QString path = writePicture(QStringLiteral("holiday.png"), Qt::red);
        QString error;
        QCOMPARE(BackgroundImage::importCustomPicture(path, &error),
                 std::optional<QString>(QStringLiteral("holiday.png")));
        const QDir pictures(BackgroundImage::picturesDirectory());
        QCOMPARE(BackgroundImage::load(QStringLiteral("holiday.png")).pixelColor(1, 1),
                 QColor(Qt::red));
        QTest::qWait(20); // a newer modification time for the second copy
        writePicture(QStringLiteral("holiday.png"), Qt::blue);
        QCOMPARE(BackgroundImage::importCustomPicture(path, &error),
                 std::optional<QString>(QStringLiteral("holiday.png")));
        QCOMPARE(pictures.entryList(QDir::Files), QStringList{QStringLiteral("holiday.png")});
        QCOMPARE(BackgroundImage::load(QStringLiteral("holiday.png")).pixelColor(1, 1),
                 QColor(Qt::blue));

        QFile text(QDir(chosen.path()).filePath(QStringLiteral("notes.png")));
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("not a picture at all\n");
        text.close();
        error.clear();
        QCOMPARE(BackgroundImage::importCustomPicture(text.fileName(), &error), std::nullopt);
        QVERIFY(error.contains(QStringLiteral("notes.png")));
        QCOMPARE(pictures.entryList(QDir::Files), QStringList{QStringLiteral("holiday.png")});
    }

    void hugePicture_isScaledOnce_andKept()
    {
        const QString path =
            writePicture(QStringLiteral("wide.jpg"), Qt::darkGreen, QSize(6000, 3000));
        QVERIFY(BackgroundImage::importCustomPicture(path, nullptr));
        const QImage first = BackgroundImage::load(QStringLiteral("wide.jpg"));
        QCOMPARE(first.size(),
                 QSize(BackgroundImage::largestSide, BackgroundImage::largestSide / 2));
        QCOMPARE(BackgroundImage::load(QStringLiteral("wide.jpg")).cacheKey(), first.cacheKey());
    }

    void view_fillsAndCrops_keepsWhatItShowedWhenTheFileGoes()
    {
        Kanban* kanban = board(QString());
        ViewWithBackground view;
        view.resize(300, 100);
        view.setItem(kanban);
        QCOMPARE(view.shownName(), QStringLiteral("wlbackground01"));
        QVERIFY(view.showsPicture());

        // A picture of a red left and a blue right half, half as wide as the view is: filling
        // the view shows the middle, cut at the view's centre.
        QImage halves(100, 100, QImage::Format_RGB32);
        halves.fill(Qt::red);
        QPainter(&halves).fillRect(50, 0, 50, 100, Qt::blue);
        const QString path = QDir(chosen.path()).filePath(QStringLiteral("halves.png"));
        QVERIFY(halves.save(path));
        QVERIFY(BackgroundImage::importCustomPicture(path, nullptr));
        kanban->setBgImage(QStringLiteral("halves.png"));
        view.reloadBackground();
        QCOMPARE(view.shownName(), QStringLiteral("halves.png"));
        const QImage drawn = view.grab().toImage();
        QCOMPARE(drawn.size(), QSize(300, 100));
        QCOMPARE(drawn.pixelColor(10, 50), QColor(Qt::red));
        QCOMPARE(drawn.pixelColor(290, 50), QColor(Qt::blue));

        QVERIFY(QFile::remove(
            QDir(BackgroundImage::picturesDirectory()).filePath(QStringLiteral("halves.png"))));
        BackgroundImage::clearCache();
        QTest::ignoreMessage(QtWarningMsg, "could not load image ViewWithBackground");
        view.reloadBackground();
        QVERIFY(view.lastLoadFailed());
        QCOMPARE(kanban->bgImage(), QStringLiteral("halves.png"));
        QCOMPARE(view.shownName(), QStringLiteral("halves.png"));
        QCOMPARE(view.grab().toImage().pixelColor(290, 50), QColor(Qt::blue));
    }

    void colourCircleButton_outOfRangeShowsColourZero_ringWhenSelected()
    {
        for (int tag : {9, -1}) {
            ColourCircleButton button(tag);
            button.resize(button.sizeHint());
            QCOMPARE(button.colour(), Palette::colour(0));
            const QImage drawn = button.grab().toImage();
            QCOMPARE(drawn.pixelColor(drawn.rect().center()).rgb(), Palette::colour(0).rgb());
        }
        ColourCircleButton button(4);
        button.resize(button.sizeHint());
        QCOMPARE(button.strokeColour().alphaF(), 1.0f);
        QCOMPARE(qRound(button.strokeColour().blueF() * 1000), 780);
        const QPoint ring(button.width() / 2, button.height() / 2 - 15);
        const QColor unselected = button.grab().toImage().pixelColor(ring);
        button.setState(1);
        QVERIFY(button.grab().toImage().pixelColor(ring) != unselected);
    }
};

PINWHEELS_GUI_TEST_MAIN(BackgroundsTest)
#include "tst_backgrounds.moc"
