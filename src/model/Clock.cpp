#include "Clock.h"

namespace {
QDateTime fixedNow;
QTimeZone fixedZone;
} // namespace

QDateTime Clock::now()
{
    return fixedNow.isValid() ? fixedNow : QDateTime::currentDateTime();
}

QTimeZone Clock::timeZone()
{
    return fixedZone.isValid() ? fixedZone : QTimeZone::systemTimeZone();
}

qint64 Clock::calendarDaysFromToday(const QDateTime& moment)
{
    const QTimeZone zone = timeZone();
    return now().toTimeZone(zone).date().daysTo(moment.toTimeZone(zone).date());
}

void Clock::setNow(const QDateTime& now)
{
    fixedNow = now;
}

void Clock::setTimeZone(const QTimeZone& zone)
{
    fixedZone = zone;
}
