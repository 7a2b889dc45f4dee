#pragma once

#include <QDateTime>
#include <QFrame>

#include <optional>

class DatePickerDelegate;
class QCalendarWidget;
class QDateEdit;
class QPushButton;
class QTimeEdit;

// The due-date popover: a date field, a month calendar and a time field kept in step, and a
// Clear button. Every change is reported to the delegate at once; Return, a double click on a
// day or a click outside closes it, Escape too. Dates are shown and combined in Clock's time
// zone.
class DatePickerViewController final : public QFrame
{
    Q_OBJECT

public:
    explicit DatePickerViewController(QWidget* parent = nullptr);

    // Opens a picker below anchor (a child of it, deleted when closed) for date and delegate.
    static DatePickerViewController* popUp(QWidget* anchor, const std::optional<QDateTime>& date,
                                           DatePickerDelegate* delegate);

    std::optional<QDateTime> date() const { return m_date; }
    void setDate(const std::optional<QDateTime>& date); // before showing; invalid counts as none
    DatePickerDelegate* delegate() const { return m_delegate; }
    void setDelegate(DatePickerDelegate* delegate) { m_delegate = delegate; }

    // Shows the picker under anchor, or above it when the screen has no room below.
    void showBelow(QWidget* anchor);

    // Puts date into the three pickers and reports it (run when the picker is shown).
    void viewWillAppear();
    // A date from either date picker: both show it, then it is combined with the time.
    void datePicked(const QDate& day);
    void timePicked(const QTime& time);
    // Day from one, hour and minute from the other; a combination that names no moment in
    // Clock's time zone keeps the previous date. Either way the date is reported.
    void combineWithDate(const QDate& day, const QTime& time);
    // No date: reports none and closes.
    void clearDate();

    QDateEdit* textDatePicker() const { return m_textDatePicker; }
    QCalendarWidget* calendarDatePicker() const { return m_calendarDatePicker; }
    QTimeEdit* timePicker() const { return m_timePicker; }
    QPushButton* clearButton() const { return m_clearButton; }

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void report();
    void showDay(const QDate& day);

    QDateEdit* m_textDatePicker = nullptr;
    QCalendarWidget* m_calendarDatePicker = nullptr;
    QTimeEdit* m_timePicker = nullptr;
    QPushButton* m_clearButton = nullptr;
    std::optional<QDateTime> m_date;
    DatePickerDelegate* m_delegate = nullptr;
};
