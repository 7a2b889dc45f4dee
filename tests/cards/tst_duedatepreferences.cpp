#include "IsolatedEnvironment.h"
#include "cards/DueDatePrefViewController.h"
#include "cards/PreferencesDialog.h"
#include "store/Defaults.h"
#include "store/NotificationCenter.h"

#include <QComboBox>
#include <QFile>
#include <QPointer>
#include <QTest>
#include <QTimeEdit>

namespace {
// The preferences file as it is on disk, so that a value not yet written cannot pass.
QByteArray storedPreferences()
{
    QFile file(Defaults::standardFilePath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

class DueDatePreferencesTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { Defaults::standard().registerDefaults(Defaults::cleanState()); }

    void preferences_showTheStoredValues()
    {
        Defaults::standard().setValue(Defaults::dueHour, 9);
        Defaults::standard().setValue(Defaults::dueMinute, 15);
        Defaults::standard().setValue(Defaults::dueSoonDefinition, 3);
        DueDatePrefViewController preferences(Defaults::standard());
        QCOMPARE(preferences.dueTimePicker()->time(), QTime(9, 15));
        QCOMPARE(preferences.dueSoonPopUpButton()->currentIndex(), 3);
        QCOMPARE(preferences.dueSoonPopUpButton()->count(), 7);
        QCOMPARE(preferences.dueSoonPopUpButton()->itemText(1),
                 QStringLiteral("Due within 40 hours"));
    }

    void preferences_changingTheDefinition_writesItAndPostsOnce()
    {
        Defaults::standard().setValue(Defaults::dueSoonDefinition, 1);
        QObject observer;
        int posted = 0;
        NotificationCenter::defaultCenter().addObserver(
            &observer, QStringLiteral("dueSoonDefinitionChanged"), [&posted](auto&) { ++posted; });
        DueDatePrefViewController preferences(Defaults::standard());
        preferences.show();
        QCOMPARE(posted, 0);

        QTest::keyClick(preferences.dueSoonPopUpButton(), Qt::Key_Down);
        QCOMPARE(posted, 1);
        QCOMPARE(Defaults::standard().integer(Defaults::dueSoonDefinition), 2);
        // Choosing from the menu; no event loop runs before the file is read.
        preferences.dueSoonPopUpButton()->setCurrentIndex(6);
        QCOMPARE(posted, 2);
        QVERIFY(storedPreferences().contains("dueSoonDefinition=6\n"));

        preferences.dueTimePicker()->setFocus(Qt::TabFocusReason);
        QTest::keyClick(preferences.dueTimePicker(), Qt::Key_Up);
        QCOMPARE(posted, 2); // the time is no due-soon change
    }

    void preferences_changingTheTime_writesHourAndMinute()
    {
        Defaults::standard().setValue(Defaults::dueHour, 17);
        Defaults::standard().setValue(Defaults::dueMinute, 30);
        DueDatePrefViewController preferences(Defaults::standard());
        preferences.show();
        preferences.dueTimePicker()->setFocus(Qt::TabFocusReason);
        QTest::keyClick(preferences.dueTimePicker(), Qt::Key_Up);
        QVERIFY(storedPreferences().contains("dueHour=18\n"));
        QVERIFY(storedPreferences().contains("dueMinute=30\n"));
    }

    void preferencesDialog_isOneModelessWindow()
    {
        QPointer dialog = PreferencesDialog::showPreferences();
        QVERIFY(dialog->isVisible());
        QVERIFY(!dialog->isModal());
        QCOMPARE(PreferencesDialog::showPreferences(), dialog.data());
        dialog->close();
        QTRY_VERIFY(dialog.isNull());
        QPointer again = PreferencesDialog::showPreferences();
        QVERIFY(again && again != dialog);
        again->close();
        QTRY_VERIFY(again.isNull());
    }
};

PINWHEELS_GUI_TEST_MAIN(DueDatePreferencesTest)
#include "tst_duedatepreferences.moc"
