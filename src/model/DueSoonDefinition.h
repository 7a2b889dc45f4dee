#pragma once

#include <QDateTime>

// What "due soon" means, chosen in the preferences and stored as an integer under
// "dueSoonDefinition". Stored values outside 0…6 make nothing due soon.
enum class DueSoonDefinition : int
{
    dueToday = 0,
    due24hours = 1, // in fact 40 hours ahead, counted in seconds
    due2days = 2,
    due3days = 3,
    due4days = 4,
    due5days = 5,
    due1week = 6,
};

// The due-soon test for a present due date, with "now" and the calendar from Clock.
bool isDueSoon(const QDateTime& dueDate, int definition);
