#pragma once

#include <QDateTime>

class Defaults;

// The due date a card gets when its picker opens without one: today at the default due time
// ("dueHour":"dueMinute", seconds 0) in Clock's time zone, or the same wall-clock time tomorrow
// when that moment is not later than now. The defaults are read at every call.
QDateTime defaultDueDate();
QDateTime defaultDueDate(const Defaults& defaults);

// The default due time itself, hours and minutes clamped to a valid time of day.
QTime defaultDueTime(const Defaults& defaults);
