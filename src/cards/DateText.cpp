#include "DateText.h"

#include "model/Clock.h"

namespace {
// Between a day word or weekday and the time, so "Today, 17:00" reads like "Friday, 17:00".
const auto joint = QStringLiteral(", ");

QString dayWord(qint64 days)
{
    switch (days) {
    case -1:
        return QStringLiteral("Yesterday");
    case 0:
        return QStringLiteral("Today");
    case 1:
        return QStringLiteral("Tomorrow");
    default:
        return {};
    }
}
} // namespace

QString DateText::forDate(const QDateTime& date)
{
    if (!date.isValid())
        return {};
    const QDateTime local = date.toTimeZone(Clock::timeZone());
    const qint64 days = Clock::calendarDaysFromToday(date);
    const bool future = date > Clock::now();
    const QString word = dayWord(days);

    if (future && days <= 1)
        return word + joint + british().toString(local.time(), QLocale::ShortFormat);
    if (future && days <= 6)
        return british().toString(local.date(), QStringLiteral("dddd")) + joint +
               QLocale().toString(local.time(), QLocale::ShortFormat);
    if (future)
        return british().toString(local.date(), QStringLiteral("ddd")) + u' ' +
               mediumDate(local.date());
    return word.isEmpty() ? mediumDate(local.date()) : word;
}

const QLocale& DateText::british()
{
    static const QLocale locale(QLocale::English, QLocale::UnitedKingdom);
    return locale;
}

QString DateText::mediumDate(const QDate& date)
{
    return british().toString(date, QStringLiteral("d MMM yyyy"));
}
