#pragma once

#include <QDateTime>
#include <QTimeZone>

// "Now" and the local time zone for every due-date rule. Tests set both, so that day
// boundaries and time zones can be checked exactly.
class Clock
{
public:
    static QDateTime now();
    static QTimeZone timeZone();
    // The start of today and days between calendar days, both in timeZone().
    static qint64 calendarDaysFromToday(const QDateTime& moment);

    static void setNow(const QDateTime& now);       // an invalid value returns to the real clock
    static void setTimeZone(const QTimeZone& zone); // an invalid zone returns to the system zone
};
