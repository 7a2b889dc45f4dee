#pragma once

#include <QDateTime>
#include <QLabel>

#include <optional>

// The done date under a done card: the relative date text, or nothing without a date.
class DueDateTextField final : public QLabel
{
    Q_OBJECT

public:
    explicit DueDateTextField(QWidget* parent = nullptr);

    std::optional<QDateTime> dateValue() const { return m_dateValue; }
    // An invalid date counts as none. Redraws at once.
    void setDateValue(const std::optional<QDateTime>& date);
    // Recomputes the text from dateValue; "Today" turns into "Yesterday" at midnight.
    void displayDate();

private:
    std::optional<QDateTime> m_dateValue;
};
