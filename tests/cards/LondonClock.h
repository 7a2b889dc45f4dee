#pragma once

#include "model/Clock.h"

#include <QDateTime>
#include <QTimeZone>

// The clock of the due-date tests: London in March 2024, where the clocks go forward at 01:00
// on Sunday the 31st.
inline QTimeZone londonZone()
{
    return QTimeZone("Europe/London");
}

inline QDateTime inLondon(int month, int day, int hour, int minute, int second = 0)
{
    return QDateTime(QDate(2024, month, day), QTime(hour, minute, second), londonZone());
}

// Tuesday 12 March 2024, 10:00 in London, until resetClock().
inline void setLondonClock()
{
    Clock::setTimeZone(londonZone());
    Clock::setNow(inLondon(3, 12, 10, 0));
}

inline void resetClock()
{
    Clock::setNow({});
    Clock::setTimeZone({});
}
