#include "IsolatedEnvironment.h"
#include "appearance/Palette.h"

#include <QTest>

class PaletteTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void colour_byIndex_outOfRangeGivesColourZero_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QRgb>("expected");
        QTest::newRow("0") << 0 << QRgb(0xFFFF9591);
        QTest::newRow("4") << 4 << QRgb(0xFF88DBFA);
        QTest::newRow("6") << 6 << QRgb(0xFFCFCBCB);
        QTest::newRow("7") << 7 << QRgb(0xFFFF9591);
        QTest::newRow("9") << 9 << QRgb(0xFFFF9591);
        QTest::newRow("-1") << -1 << QRgb(0xFFFF9591);
    }
    void colour_byIndex_outOfRangeGivesColourZero()
    {
        QFETCH(int, index);
        QFETCH(QRgb, expected);
        QCOMPARE(Palette::colour(index).rgba(), expected);
        QCOMPARE(Palette::colours().size(), Palette::count);
    }

    void colourFromHex_splitsTheBytesAndKeepsAlpha()
    {
        const QColor colour = Palette::colourFromHex(0xDF6969, 0.5);
        QCOMPARE(colour.red(), 0xDF);
        QCOMPARE(colour.green(), 0x69);
        QCOMPARE(colour.blue(), 0x69);
        QCOMPARE(colour.alpha(), 128);
    }

    void darkerColour_lowersEachComponentByAFifth_clampedAtZero()
    {
        const QColor colour = Palette::colourFromHex(0x88DBFA, 0.25);
        const QColor darker = Palette::darkerColour(colour);
        QCOMPARE(qRound(darker.redF() * 1000), 333);
        QCOMPARE(qRound(darker.greenF() * 1000), 659);
        QCOMPARE(qRound(darker.blueF() * 1000), 780);
        QCOMPARE(darker.alpha(), colour.alpha());

        const QColor clamped = Palette::darkerColour(QColor::fromRgbF(0.1f, 0.5f, 0.0f));
        QCOMPARE(clamped.redF(), 0.0f);
        QCOMPARE(qRound(clamped.greenF() * 1000), 300);
        QCOMPARE(clamped.blueF(), 0.0f);
    }
};

PINWHEELS_GUILESS_TEST_MAIN(PaletteTest)
#include "tst_palette.moc"
