#include "IsolatedEnvironment.h"
#include "LondonClock.h"
#include "appearance/Palette.h"
#include "cards/DateDisplayButton.h"
#include "cards/DueDateColour.h"
#include "cards/DueDatePill.h"
#include "cards/DueDateTextField.h"
#include "model/Clock.h"
#include "model/ListItem.h"
#include "store/Defaults.h"
#include "store/ObjectContext.h"

#include <QPainter>
#include <QTest>

namespace {
QRgb pixelOfPill(const QColor& background, bool pressed)
{
    QImage image(QSize(60, DueDatePill::height), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    DueDatePill::paint(&painter, image.rect(), QStringLiteral("Today"), background, pressed);
    painter.end();
    return image.pixel(2, DueDatePill::height / 2); // inside the pill, left of the text
}
} // namespace

class DueDateDisplayTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        Defaults::standard().registerDefaults(Defaults::cleanState());
        setLondonClock();
    }
    void cleanup() { resetClock(); }

    void dateButton_showsTheCalendarPictureWithoutADate_andThePillWithOne()
    {
        DateDisplayButton button;
        QVERIFY(button.text().isEmpty());
        QCOMPARE(button.sizeHint(), QSize(16, 16));

        button.setDateValue(inLondon(3, 12, 17, 0));
        QCOMPARE(button.text(), QStringLiteral("Today, 17:00"));
        const int textWidth = qCeil(
            QFontMetricsF(DueDatePill::font()).horizontalAdvance(QStringLiteral("Today, 17:00")));
        QCOMPARE(button.sizeHint(), QSize(textWidth + 8, 17));

        Clock::setNow(inLondon(3, 12, 18, 0));
        button.displayDate();
        QCOMPARE(button.text(), QStringLiteral("Today"));

        button.setDateValue(QDateTime()); // invalid counts as none
        QCOMPARE(button.dateValue(), std::nullopt);
        QVERIFY(button.text().isEmpty());
    }

    void datePill_isOneStepDarkerWhilePressed()
    {
        const QColor grey = Palette::colourFromHex(0x797979);
        QCOMPARE(QColor(pixelOfPill(grey, false)), grey);
        QCOMPARE(QColor(pixelOfPill(grey, true)), QColor(70, 70, 70));
    }

    void doneDateField_showsTheRelativeDayOrNothing()
    {
        DueDateTextField field;
        QVERIFY(field.text().isEmpty());
        field.setDateValue(inLondon(3, 11, 9, 0));
        QCOMPARE(field.text(), QStringLiteral("Yesterday"));
        field.setDateValue(std::nullopt);
        QVERIFY(field.text().isEmpty());
    }

    void dueDateColour_testsDoneOverdueDueSoonLaterNone_inThatOrder_data()
    {
        QTest::addColumn<bool>("done");
        QTest::addColumn<QDateTime>("dueDate");
        QTest::addColumn<QColor>("expected");
        const QColor lightGrey(Qt::lightGray);
        QTest::newRow("done wins over overdue") << true << inLondon(3, 11, 9, 0) << lightGrey;
        QTest::newRow("done without a date") << true << QDateTime() << lightGrey;
        QTest::newRow("overdue by a minute")
            << false << inLondon(3, 12, 9, 59) << Palette::colourFromHex(0xDF6969);
        QTest::newRow("due soon") << false << inLondon(3, 13, 17, 0)
                                  << Palette::colourFromHex(0xF6A623);
        QTest::newRow("later") << false << inLondon(3, 17, 17, 0)
                               << Palette::colourFromHex(0x797979);
        QTest::newRow("no due date") << false << QDateTime() << QColor(255, 255, 255, 204);
    }
    void dueDateColour_testsDoneOverdueDueSoonLaterNone_inThatOrder()
    {
        QFETCH(bool, done);
        QFETCH(QDateTime, dueDate);
        QFETCH(QColor, expected);
        Defaults::standard().setValue(Defaults::dueSoonDefinition, 1); // 40 hours
        ObjectContext context;
        auto* card = context.insert<ListItem>();
        card->setDone(done);
        card->setDueDate(dueDate);
        QCOMPARE(dueDateColour(*card).rgba(), expected.rgba());
    }
};

PINWHEELS_GUI_TEST_MAIN(DueDateDisplayTest)
#include "tst_duedatedisplay.moc"
