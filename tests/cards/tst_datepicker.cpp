#include "IsolatedEnvironment.h"
#include "LondonClock.h"
#include "cards/DatePickerDelegate.h"
#include "cards/DatePickerViewController.h"
#include "model/Clock.h"
#include "store/Defaults.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QDateEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimeEdit>

namespace {
class RecordingDelegate final : public DatePickerDelegate
{
public:
    void datePickedWithDate(const std::optional<QDateTime>& date) override { dates.append(date); }
    QList<std::optional<QDateTime>> dates;
};
} // namespace

class DatePickerTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        Defaults::standard().registerDefaults(Defaults::cleanState());
        setLondonClock();
    }
    void cleanup() { resetClock(); }

    void picker_reportsItsDateAsSoonAsItOpens_andShowsItInAllPickers()
    {
        QWidget window;
        window.show();
        RecordingDelegate delegate;
        QPointer picker =
            DatePickerViewController::popUp(&window, inLondon(3, 14, 17, 0), &delegate);
        QVERIFY(picker->isVisible());
        QCOMPARE(delegate.dates, QList<std::optional<QDateTime>>{inLondon(3, 14, 17, 0)});
        QCOMPARE(picker->textDatePicker()->date(), QDate(2024, 3, 14));
        QCOMPARE(picker->calendarDatePicker()->selectedDate(), QDate(2024, 3, 14));
        QCOMPARE(picker->timePicker()->time(), QTime(17, 0));
        QCOMPARE(QApplication::focusWidget(), picker->textDatePicker());
        // Anchored below its control.
        QVERIFY(picker->geometry().top() >= window.mapToGlobal(QPoint(0, window.height())).y());
        picker->close();
        QTRY_VERIFY(picker.isNull());
    }

    void picker_keepsDateFieldCalendarAndTimeInStep()
    {
        DatePickerViewController picker;
        RecordingDelegate delegate;
        picker.setDelegate(&delegate);
        picker.setDate(inLondon(3, 14, 17, 0));
        picker.show();

        QTest::keyClick(picker.textDatePicker(), Qt::Key_Up); // the day section
        QCOMPARE(picker.calendarDatePicker()->selectedDate(), QDate(2024, 3, 15));
        QCOMPARE(delegate.dates.last(), inLondon(3, 15, 17, 0));

        auto* days = picker.calendarDatePicker()->findChild<QTableView*>();
        QVERIFY(days);
        days->setFocus();
        QTest::keyClick(days, Qt::Key_Down); // a week later
        QCOMPARE(picker.textDatePicker()->date(), QDate(2024, 3, 22));
        QCOMPARE(delegate.dates.last(), inLondon(3, 22, 17, 0));

        picker.timePicker()->setFocus(Qt::TabFocusReason);
        QTest::keyClick(picker.timePicker(), Qt::Key_Down); // the hour section
        QCOMPARE(delegate.dates.last(), inLondon(3, 22, 16, 0));
        QCOMPARE(picker.date(), inLondon(3, 22, 16, 0));
        QCOMPARE(delegate.dates.size(), 4);
    }

    void picker_invalidCombination_keepsAndReportsThePreviousDate()
    {
        DatePickerViewController picker;
        RecordingDelegate delegate;
        picker.setDelegate(&delegate);
        picker.setDate(inLondon(3, 30, 17, 0));
        // Clocks go forward at 01:00 on 31 March: 01:30 names no moment in London.
        picker.combineWithDate(QDate(2024, 3, 31), QTime(1, 30));
        QCOMPARE(picker.date(), inLondon(3, 30, 17, 0));
        QCOMPARE(delegate.dates, QList<std::optional<QDateTime>>{inLondon(3, 30, 17, 0)});
        picker.combineWithDate(QDate(2024, 3, 31), QTime(2, 30, 45));
        QCOMPARE(picker.date(), inLondon(3, 31, 2, 30)); // seconds dropped
    }

    void picker_clear_reportsNoneAndCloses_byMouseAndByKeyboard()
    {
        for (const bool byKeyboard : {false, true}) {
            QWidget window;
            window.show();
            RecordingDelegate delegate;
            QPointer picker =
                DatePickerViewController::popUp(&window, inLondon(3, 14, 17, 0), &delegate);
            if (byKeyboard) {
                // Tab steps through the sections of the date and time fields on its way.
                QList<QWidget*> visited{QApplication::focusWidget()};
                for (int i = 0; i < 10 && visited.last() != picker->clearButton(); ++i) {
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                    if (QApplication::focusWidget() != visited.last())
                        visited.append(QApplication::focusWidget());
                }
                const QList<QWidget*> tabOrder{picker->textDatePicker(),
                                               picker->calendarDatePicker()->focusProxy(),
                                               picker->timePicker(), picker->clearButton()};
                QCOMPARE(visited, tabOrder);
                QTest::keyClick(picker->clearButton(), Qt::Key_Return);
            } else {
                QTest::mouseClick(picker->clearButton(), Qt::LeftButton);
            }
            QCOMPARE(delegate.dates.size(), 2);
            QCOMPARE(delegate.dates.last(), std::nullopt);
            QTRY_VERIFY(picker.isNull());
        }
    }

    void picker_escapeAndReturnClose_keepingTheReportedDate_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Escape") << int(Qt::Key_Escape);
        QTest::newRow("Return") << int(Qt::Key_Return);
    }
    void picker_escapeAndReturnClose_keepingTheReportedDate()
    {
        QFETCH(int, key);
        QWidget window;
        window.show();
        RecordingDelegate delegate;
        QPointer picker =
            DatePickerViewController::popUp(&window, inLondon(3, 14, 17, 0), &delegate);
        QTest::keyClick(picker->textDatePicker(), Qt::Key_Up);
        QTest::keyClick(picker->textDatePicker(), Qt::Key(key));
        QTRY_VERIFY(picker.isNull());
        QCOMPARE(delegate.dates.last(), inLondon(3, 15, 17, 0));
    }
};

PINWHEELS_GUI_TEST_MAIN(DatePickerTest)
#include "tst_datepicker.moc"
