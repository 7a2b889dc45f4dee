#include "DueSoonDefinition.h"

#include "Clock.h"

bool isDueSoon(const QDateTime& dueDate, int definition)
{
    if (definition < int(DueSoonDefinition::dueToday) ||
        definition > int(DueSoonDefinition::due1week))
        return false;
    switch (static_cast<DueSoonDefinition>(definition)) {
    case DueSoonDefinition::dueToday:
        return Clock::calendarDaysFromToday(dueDate) == 0;
    case DueSoonDefinition::due24hours:
        return Clock::now().secsTo(dueDate) < 144000;
    case DueSoonDefinition::due2days:
        return Clock::calendarDaysFromToday(dueDate) < 3;
    case DueSoonDefinition::due3days:
        return Clock::calendarDaysFromToday(dueDate) < 4;
    case DueSoonDefinition::due4days:
        return Clock::calendarDaysFromToday(dueDate) < 5;
    case DueSoonDefinition::due5days:
        return Clock::calendarDaysFromToday(dueDate) < 6;
    case DueSoonDefinition::due1week:
        return Clock::calendarDaysFromToday(dueDate) < 8;
    }
    return false;
}
