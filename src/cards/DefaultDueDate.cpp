#include "DefaultDueDate.h"

#include "model/Clock.h"
#include "store/Defaults.h"

#include <algorithm>

namespace {
QDateTime atTimeOfDay(const QDate& day, const QTime& time, const QTimeZone& zone)
{
    const QDateTime moment(day, time, zone);
    if (moment.isValid())
        return moment;
    // The time falls in a daylight-saving gap: take the moment that long after midnight.
    return day.startOfDay(zone).addSecs(time.msecsSinceStartOfDay() / 1000);
}
} // namespace

QDateTime defaultDueDate()
{
    return defaultDueDate(Defaults::standard());
}

QDateTime defaultDueDate(const Defaults& defaults)
{
    const QTime time = defaultDueTime(defaults);
    const QTimeZone zone = Clock::timeZone();
    const QDateTime now = Clock::now();
    const QDate today = now.toTimeZone(zone).date();
    const QDateTime due = atTimeOfDay(today, time, zone);
    // Tomorrow by the calendar, not by 86400 seconds, so a daylight-saving change keeps 17:00.
    return due > now ? due : atTimeOfDay(today.addDays(1), time, zone);
}

QTime defaultDueTime(const Defaults& defaults)
{
    return {std::clamp(defaults.integer(Defaults::dueHour), 0, 23),
            std::clamp(defaults.integer(Defaults::dueMinute), 0, 59)};
}
