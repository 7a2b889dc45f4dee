#pragma once

#include <QDateTime>

#include <optional>

// Receives the date of a DatePickerViewController each time it changes: a date, or none when
// the user clears it.
class DatePickerDelegate
{
public:
    virtual ~DatePickerDelegate() = default;
    virtual void datePickedWithDate(const std::optional<QDateTime>& date) = 0;
};
