#include "DatePickerViewController.h"

#include "DatePickerDelegate.h"
#include "DateText.h"
#include "model/Clock.h"
#include "widgets/Popover.h"

#include <QCalendarWidget>
#include <QDateEdit>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimeEdit>

DatePickerViewController::DatePickerViewController(QWidget* parent)
    : QFrame(parent, Qt::Popup)
    , m_textDatePicker(new QDateEdit(this))
    , m_calendarDatePicker(new QCalendarWidget(this))
    , m_timePicker(new QTimeEdit(this))
    , m_clearButton(new QPushButton(tr("C&lear"), this))
{
    setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    setAutoFillBackground(true);
    setAccessibleName(tr("Due date"));

    m_textDatePicker->setLocale(DateText::british());
    m_textDatePicker->setDisplayFormat(DateText::british().dateFormat(QLocale::ShortFormat));
    m_calendarDatePicker->setLocale(DateText::british());
    m_calendarDatePicker->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    m_calendarDatePicker->setGridVisible(false);
    m_timePicker->setLocale(DateText::british());
    m_timePicker->setDisplayFormat(QStringLiteral("HH:mm"));
    // Return on the focused button clears, as Space does; elsewhere Return closes the picker.
    m_clearButton->setAutoDefault(true);
    m_clearButton->setToolTip(tr("Remove the due date"));

    auto* dateLabel = new QLabel(tr("&Date:"), this);
    dateLabel->setBuddy(m_textDatePicker);
    auto* timeLabel = new QLabel(tr("&Time:"), this);
    timeLabel->setBuddy(m_timePicker);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setHorizontalSpacing(8);
    layout->setVerticalSpacing(10);
    layout->addWidget(dateLabel, 0, 0);
    layout->addWidget(m_textDatePicker, 0, 1);
    layout->addWidget(m_calendarDatePicker, 1, 0, 1, 4);
    layout->addWidget(timeLabel, 2, 0);
    layout->addWidget(m_timePicker, 2, 1);
    layout->addWidget(m_clearButton, 2, 3);
    layout->setColumnStretch(2, 1);

    setTabOrder(m_textDatePicker, m_calendarDatePicker);
    setTabOrder(m_calendarDatePicker, m_timePicker);
    setTabOrder(m_timePicker, m_clearButton);
    setFocusProxy(m_textDatePicker);

    connect(m_textDatePicker, &QDateEdit::dateChanged, this, &DatePickerViewController::datePicked);
    connect(m_calendarDatePicker, &QCalendarWidget::selectionChanged, this,
            [this] { datePicked(m_calendarDatePicker->selectedDate()); });
    connect(m_calendarDatePicker, &QCalendarWidget::activated, this, &QWidget::close);
    connect(m_timePicker, &QTimeEdit::timeChanged, this, &DatePickerViewController::timePicked);
    connect(m_clearButton, &QPushButton::clicked, this, &DatePickerViewController::clearDate);
}

DatePickerViewController* DatePickerViewController::popUp(QWidget* anchor,
                                                          const std::optional<QDateTime>& date,
                                                          DatePickerDelegate* delegate)
{
    auto* picker = new DatePickerViewController(anchor);
    picker->setAttribute(Qt::WA_DeleteOnClose);
    picker->setDate(date);
    picker->setDelegate(delegate);
    picker->showBelow(anchor);
    return picker;
}

void DatePickerViewController::setDate(const std::optional<QDateTime>& date)
{
    m_date = date && date->isValid() ? date : std::nullopt;
}

void DatePickerViewController::showBelow(QWidget* anchor)
{
    Popover::showBelow(this, anchor);
}

void DatePickerViewController::viewWillAppear()
{
    const QDateTime shown = (m_date ? *m_date : Clock::now()).toTimeZone(Clock::timeZone());
    showDay(shown.date());
    const QSignalBlocker blockTime(m_timePicker);
    m_timePicker->setTime(QTime(shown.time().hour(), shown.time().minute()));
    if (m_date)
        report();
}

void DatePickerViewController::datePicked(const QDate& day)
{
    showDay(day);
    combineWithDate(day, m_timePicker->time());
}

void DatePickerViewController::timePicked(const QTime& time)
{
    combineWithDate(m_textDatePicker->date(), time);
}

void DatePickerViewController::combineWithDate(const QDate& day, const QTime& time)
{
    const QDateTime combined(day, QTime(time.hour(), time.minute()), Clock::timeZone());
    if (combined.isValid())
        m_date = combined;
    report();
}

void DatePickerViewController::clearDate()
{
    m_date.reset();
    report();
    close();
}

void DatePickerViewController::showEvent(QShowEvent* event)
{
    QFrame::showEvent(event);
    if (event->spontaneous())
        return;
    viewWillAppear();
    m_textDatePicker->setFocus(Qt::PopupFocusReason);
}

void DatePickerViewController::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Every change has been reported already: closing is all that is left to do.
        close();
        return;
    default:
        QFrame::keyPressEvent(event);
    }
}

void DatePickerViewController::report()
{
    if (m_delegate)
        m_delegate->datePickedWithDate(m_date);
}

void DatePickerViewController::showDay(const QDate& day)
{
    const QSignalBlocker blockField(m_textDatePicker);
    const QSignalBlocker blockCalendar(m_calendarDatePicker);
    m_textDatePicker->setDate(day);
    m_calendarDatePicker->setSelectedDate(day);
}
