#include "IsolatedEnvironment.h"
#include "LondonClock.h"
#include "cards/DateText.h"
#include "cards/DefaultDueDate.h"
#include "model/Clock.h"
#include "store/Defaults.h"

#include <QTest>

class DateTextTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        setLondonClock();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
        Defaults::standard().registerDefaults(Defaults::cleanState());
    }
    void cleanup()
    {
        resetClock();
        QLocale::setDefault(QLocale::system());
    }

    void relativeText_data()
    {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QDateTime>("date");
        QTest::addColumn<QString>("expected");

        // Tuesday 12 March 2024, mid-morning.
        const QDateTime morning = inLondon(3, 12, 10, 0);
        QTest::newRow("later today shows the time")
            << morning << inLondon(3, 12, 17, 0) << QStringLiteral("Today, 17:00");
        QTest::newRow("the same date once passed has no time")
            << inLondon(3, 12, 17, 0, 1) << inLondon(3, 12, 17, 0) << QStringLiteral("Today");
        QTest::newRow("the very moment counts as passed")
            << inLondon(3, 12, 17, 0) << inLondon(3, 12, 17, 0) << QStringLiteral("Today");
        QTest::newRow("tomorrow") << morning << inLondon(3, 13, 9, 30)
                                  << QStringLiteral("Tomorrow, 09:30");
        QTest::newRow("two days ahead names the weekday")
            << morning << inLondon(3, 14, 8, 5) << QStringLiteral("Thursday, 08:05");
        QTest::newRow("five days ahead names the weekday")
            << morning << inLondon(3, 17, 17, 0) << QStringLiteral("Sunday, 17:00");
        QTest::newRow("six days ahead is the last weekday")
            << morning << inLondon(3, 18, 17, 0) << QStringLiteral("Monday, 17:00");
        QTest::newRow("seven days ahead has a medium date")
            << morning << inLondon(3, 19, 17, 0) << QStringLiteral("Tue 19 Mar 2024");
        QTest::newRow("eight days ahead has a medium date")
            << morning << inLondon(3, 20, 17, 0) << QStringLiteral("Wed 20 Mar 2024");
        QTest::newRow("yesterday")
            << morning << inLondon(3, 11, 23, 59) << QStringLiteral("Yesterday");
        QTest::newRow("earlier than yesterday")
            << morning << inLondon(3, 10, 12, 0) << QStringLiteral("10 Mar 2024");
        QTest::newRow("a past date of another year")
            << morning << QDateTime(QDate(2023, 12, 24), QTime(8, 0), londonZone())
            << QStringLiteral("24 Dec 2023");
        // 23:30 Tuesday in London: midnight is thirty minutes away.
        QTest::newRow("days turn at midnight") << inLondon(3, 12, 23, 30) << inLondon(3, 13, 0, 15)
                                               << QStringLiteral("Tomorrow, 00:15");
    }
    void relativeText()
    {
        QFETCH(QDateTime, now);
        QFETCH(QDateTime, date);
        QFETCH(QString, expected);
        Clock::setNow(now);
        QCOMPARE(DateText::forDate(date), expected);
    }

    void relativeText_countsDaysAndTimesInTheClockZone()
    {
        // 23:00 on Tuesday in Auckland is 10:00 UTC; 12:00 UTC is already Wednesday there, and
        // 12:00 UTC on Monday is still Tuesday.
        Clock::setTimeZone(QTimeZone("Pacific/Auckland"));
        Clock::setNow(QDateTime(QDate(2024, 3, 12), QTime(10, 0), QTimeZone::utc()));
        const QDateTime due(QDate(2024, 3, 12), QTime(12, 0), QTimeZone::utc());
        QCOMPARE(DateText::forDate(due), QStringLiteral("Tomorrow, 01:00"));
        QCOMPARE(DateText::forDate(due.addDays(-1)), QStringLiteral("Today"));
    }

    void relativeText_weekdayTimeFollowsTheUserLocale()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        Clock::setNow(inLondon(3, 12, 10, 0));
        QCOMPARE(DateText::forDate(inLondon(3, 17, 17, 0)), QStringLiteral("Sunday, 5:00 PM"));
        // The day words and dates stay British.
        QCOMPARE(DateText::forDate(inLondon(3, 12, 17, 0)), QStringLiteral("Today, 17:00"));
    }

    void relativeText_invalidDate_isEmpty() { QVERIFY(DateText::forDate({}).isEmpty()); }

    void defaultDueDate_data()
    {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QDateTime>("expected");
        QTest::newRow("a minute before is today")
            << inLondon(3, 12, 16, 59) << inLondon(3, 12, 17, 0);
        QTest::newRow("a second before is today")
            << inLondon(3, 12, 16, 59, 59) << inLondon(3, 12, 17, 0);
        QTest::newRow("at the time is tomorrow")
            << inLondon(3, 12, 17, 0) << inLondon(3, 13, 17, 0);
        QTest::newRow("after the time is tomorrow")
            << inLondon(3, 12, 22, 0) << inLondon(3, 13, 17, 0);
        // Clocks go forward on 31 March: tomorrow is still 17:00, 23 hours away.
        QTest::newRow("across a daylight-saving change")
            << inLondon(3, 30, 18, 0) << inLondon(3, 31, 17, 0);
    }
    void defaultDueDate()
    {
        QFETCH(QDateTime, now);
        QFETCH(QDateTime, expected);
        Defaults::standard().setValue(Defaults::dueHour, 17);
        Defaults::standard().setValue(Defaults::dueMinute, 0);
        Clock::setNow(now);
        const QDateTime due = ::defaultDueDate();
        QCOMPARE(due, expected);
        QCOMPARE(due.toTimeZone(londonZone()).time(), QTime(17, 0));
    }

    void defaultDueDate_readsTheDefaultsAtEveryCall()
    {
        Clock::setNow(inLondon(3, 12, 8, 0));
        Defaults::standard().setValue(Defaults::dueHour, 9);
        Defaults::standard().setValue(Defaults::dueMinute, 45);
        QCOMPARE(::defaultDueDate(), inLondon(3, 12, 9, 45));
        Defaults::standard().setValue(Defaults::dueHour, 7);
        QCOMPARE(::defaultDueDate(), inLondon(3, 13, 7, 45));
    }

    void defaultDueDate_timeInADaylightSavingGap_isStillAMomentAhead()
    {
        // 01:30 does not exist in London on 31 March 2024.
        Clock::setNow(inLondon(3, 31, 0, 10));
        Defaults::standard().setValue(Defaults::dueHour, 1);
        Defaults::standard().setValue(Defaults::dueMinute, 30);
        const QDateTime due = ::defaultDueDate();
        QVERIFY(due.isValid());
        QCOMPARE(due, inLondon(3, 31, 2, 30));
    }
};

PINWHEELS_GUILESS_TEST_MAIN(DateTextTest)
#include "tst_datetext.moc"
