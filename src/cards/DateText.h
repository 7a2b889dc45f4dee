#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

// The relative text of a due or done date, shared by the due-date button, the done-date label
// and the card delegate. Days are counted, and times shown, in Clock's time zone.
//
//   later today or tomorrow   "Today, 17:00", "Tomorrow, 09:30"
//   2 to 6 days ahead         "Wednesday, 17:00" (time in the user's own locale)
//   7 or more days ahead      "Mon 11 Mar 2024"
//   now or earlier            "Today", "Yesterday", "3 Mar 2024"
class DateText final
{
public:
    static QString forDate(const QDateTime& date); // empty for an invalid date

    static const QLocale& british();
    // The medium date of the British locale, e.g. "3 Mar 2024".
    static QString mediumDate(const QDate& date);
};
