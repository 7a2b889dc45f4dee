#include "IsolatedEnvironment.h"
#include "model/Folder.h"
#include "model/ListItem.h"
#include "model/Root.h"
#include "store/AppDelegate.h"
#include "store/DataFolder.h"
#include "store/Defaults.h"
#include "store/NotificationCenter.h"
#include "store/ObjectContext.h"
#include "store/SqliteDatabase.h"
#include "widgets/MessageBox.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

// The application's life: first launch, files of earlier versions, the store error, saving,
// quitting and the archive switch.
class AppDelegateTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dataHome;

    QString support() const { return DataFolder::applicationSupport(); }

private Q_SLOTS:
    void init()
    {
        // Each case gets its own data location and no preferences.
        dataHome = std::make_unique<QTemporaryDir>();
        qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome->path()));
        Defaults::standard().clear();
        Defaults::standard().synchronize();
        MessageBox::takeShownAlerts();
    }

    void firstLaunch_createsFolderStoreAndDefaults()
    {
        Defaults::standard().setValue(Defaults::dueSoonDefinition, 3);
        AppDelegate delegate;
        QVERIFY(delegate.launch());
        QVERIFY(QFileInfo(support() + QStringLiteral("/Pinwheels")).isDir());
        QVERIFY(delegate.managedObjectContext());
        QVERIFY(QFileInfo::exists(DataFolder::storePath(support() + QStringLiteral("/Pinwheels"))));

        // Every default is written, but a value the user chose is kept.
        QSettings file(Defaults::standardFilePath(), QSettings::IniFormat);
        for (const QString& key : Defaults::cleanState().keys())
            QVERIFY2(file.contains(key), qPrintable(key));
        QCOMPARE(file.value(Defaults::dueSoonDefinition).toInt(), 3);
        QCOMPARE(file.value(Defaults::dueHour).toInt(), 17);
    }

    void earlierFolder_isMovedUnlessTheNewOneExists()
    {
        QVERIFY(QDir().mkpath(support() + QStringLiteral("/Corkline")));
        QFile marker(support() + QStringLiteral("/Corkline/marker"));
        QVERIFY(marker.open(QIODevice::WriteOnly));
        marker.close();
        {
            AppDelegate delegate;
            QVERIFY(delegate.launch());
            QCOMPARE(delegate.applicationDocumentsDirectory(),
                     support() + QStringLiteral("/Pinwheels"));
            QVERIFY(QFileInfo::exists(support() + QStringLiteral("/Pinwheels/marker")));
            QVERIFY(!QFileInfo::exists(support() + QStringLiteral("/Corkline")));
        }
        // Both exist: the new one is used, the earlier one left alone.
        QVERIFY(QDir().mkpath(support() + QStringLiteral("/Corkline")));
        AppDelegate delegate;
        QVERIFY(delegate.launch());
        QCOMPARE(delegate.applicationDocumentsDirectory(),
                 support() + QStringLiteral("/Pinwheels"));
        QVERIFY(QFileInfo(support() + QStringLiteral("/Corkline")).isDir());
    }

    void earlierPreferences_areMovedOnce()
    {
        const QString earlier = Defaults::earlierFilePath();
        const QString current = Defaults::standardFilePath();
        QFile::remove(current);
        {
            QSettings old(earlier, QSettings::IniFormat);
            old.setValue(QStringLiteral("dueHour"), 9);
        }
        // The launch moves the file and keeps the user's values over the defaults it writes,
        // although the preferences were first read before the file was there.
        AppDelegate delegate;
        QVERIFY(delegate.launch());
        QVERIFY(!QFileInfo::exists(earlier));
        QCOMPARE(delegate.defaults().integer(Defaults::dueHour), 9);
        QCOMPARE(QSettings(current, QSettings::IniFormat).value(QStringLiteral("dueHour")).toInt(),
                 9);
    }

    void fileInPlaceOfTheFolder_showsTheStoreErrorAndStops()
    {
        const QString path = support() + QStringLiteral("/Pinwheels");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not a folder");
        file.close();

        AppDelegate delegate;
        int status = -1;
        delegate.setTerminationHandler([&status](int s) { status = s; });
        QVERIFY(delegate.launch());
        QCOMPARE(delegate.managedObjectContext(), nullptr);
        QCOMPARE(status, EXIT_FAILURE);
        const QList<MessageBox::Alert> alerts = MessageBox::takeShownAlerts();
        QCOMPARE(alerts.size(), 1);
        QCOMPARE(alerts[0].text,
                 QStringLiteral("Failed to initialize the application's saved data"));
        QCOMPARE(alerts[0].informativeText,
                 QStringLiteral("Expected a folder to store application data, found a file ") +
                     path + u'.');
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("not a folder"));
    }

    void secondInstance_isRefusedWithoutTouchingTheStore()
    {
        AppDelegate first;
        QVERIFY(first.launch());
        QVERIFY(first.managedObjectContext());
        const QString store = DataFolder::storePath(first.applicationDocumentsDirectory());
        const QDateTime modified = QFileInfo(store).lastModified();

        AppDelegate second;
        QVERIFY(!second.launch());
        QCOMPARE(MessageBox::takeShownAlerts().size(), 1);
        QCOMPARE(QFileInfo(store).lastModified(), modified);
    }

    void quitting_savesOrAsksWhenTheSaveFails()
    {
        AppDelegate delegate;
        QVERIFY(delegate.launch());
        ObjectContext* context = delegate.managedObjectContext();
        QVERIFY(delegate.applicationShouldTerminate()); // nothing to save

        context->insert<Folder>()->setTitle(QStringLiteral("saved at quit"));
        QVERIFY(delegate.applicationShouldTerminate());
        QVERIFY(!context->hasChanges());

        // Another connection holds the write lock, so the next save fails.
        SqliteDatabase other;
        QVERIFY(other.open(DataFolder::storePath(delegate.applicationDocumentsDirectory()),
                           SQLITE_OPEN_READWRITE));
        QVERIFY(other.exec("BEGIN IMMEDIATE"));
        context->insert<Folder>()->setTitle(QStringLiteral("cannot be saved"));

        MessageBox::setNextAnswer(0); // the error alert
        MessageBox::setNextAnswer(1); // "Cancel"
        QVERIFY(!delegate.applicationShouldTerminate());
        QVERIFY(context->hasChanges());
        const QList<MessageBox::Alert> alerts = MessageBox::takeShownAlerts();
        QCOMPARE(alerts.size(), 2);
        QCOMPARE(alerts[1].text,
                 QStringLiteral("Could not save changes while quitting. Quit anyway?"));
        QCOMPARE(alerts[1].informativeText,
                 QStringLiteral("Quitting now will lose any changes you have made since the last "
                                "successful save"));
        QCOMPARE(alerts[1].buttons,
                 (QStringList{QStringLiteral("Quit anyway"), QStringLiteral("Cancel")}));

        MessageBox::setNextAnswer(0);
        MessageBox::setNextAnswer(0); // "Quit anyway"
        QVERIFY(delegate.applicationShouldTerminate());

        // A plain save failure is shown, and the changes are saved by the next save.
        MessageBox::setNextAnswer(0);
        QVERIFY(!delegate.save());
        QVERIFY(context->hasChanges());
        QVERIFY(other.exec("ROLLBACK"));
        QVERIFY(delegate.save());
        QVERIFY(!context->hasChanges());
    }

    void launch_upgradesNotesOnceStrikingDoneCards()
    {
        // A store of an earlier version: current notes, a done card not yet struck through.
        const QString folder = support() + QStringLiteral("/Pinwheels");
        QVERIFY(QDir().mkpath(folder));
        const RichText notes(QStringLiteral("Heading\nText"),
                             RichText::Attributes{QStringLiteral("title"), {}, 0, {}});
        {
            StoreError error;
            const std::unique_ptr<ObjectContext> context = DataFolder::openStore(folder, &error);
            QVERIFY(context);
            context->insert<Root>();
            for (int i = 0; i < 3; ++i) {
                auto* card = context->insert<ListItem>();
                card->setAttributedNotes(notes);
                card->setDone(i == 0);
                card->setArchived(i == 1);
            }
            QVERIFY(context->save());
        }
        // Per card: "struck" over all of its text, "same" notes as before, or "changed".
        const auto struckCards = [&notes](ObjectContext& context) {
            QStringList states;
            for (const ListItem* card : context.fetch<ListItem>()) {
                RichText struck = notes;
                struck.changeAttributes(0, struck.length(),
                                        [](RichText::Attributes& a) { a.strikethrough = 1; });
                const std::optional<RichText>& now = card->attributedNotes();
                states.append(now == struck  ? QStringLiteral("struck")
                              : now == notes ? QStringLiteral("same")
                                             : QStringLiteral("changed"));
            }
            return states;
        };
        {
            AppDelegate delegate;
            QVERIFY(delegate.launch());
            QCOMPARE(struckCards(*delegate.managedObjectContext()),
                     (QStringList{QStringLiteral("struck"), QStringLiteral("same"),
                                  QStringLiteral("same")}));
            QVERIFY(!delegate.managedObjectContext()->hasChanges());
            QCOMPARE(QSettings(Defaults::standardFilePath(), QSettings::IniFormat)
                         .value(Defaults::stylesUpdatedToVersion2)
                         .toBool(),
                     true);
        }
        // Once upgraded, a store is left alone.
        {
            StoreError error;
            const std::unique_ptr<ObjectContext> context = DataFolder::openStore(folder, &error);
            QVERIFY(context);
            context->fetch<ListItem>()[2]->setDone(true);
            QVERIFY(context->save());
        }
        AppDelegate delegate;
        QVERIFY(delegate.launch());
        QCOMPARE(struckCards(*delegate.managedObjectContext()),
                 (QStringList{QStringLiteral("struck"), QStringLiteral("same"),
                              QStringLiteral("same")}));
    }

    void launch_setsTheUpgradeMarkerWhenThereIsNothingToDo()
    {
        AppDelegate delegate;
        QVERIFY(delegate.launch());
        QVERIFY(delegate.managedObjectContext()->fetch<ListItem>().isEmpty());
        QVERIFY(QSettings(Defaults::standardFilePath(), QSettings::IniFormat)
                    .value(Defaults::stylesUpdatedToVersion2)
                    .toBool());
    }

    void showArchivedSwitch_togglesModeTitleAndNotifies()
    {
        AppDelegate delegate;
        QVERIFY(delegate.launch());
        QAction item(QStringLiteral("Show Archived"));
        delegate.setViewShowArchivedMenuItem(&item);
        int posted = 0;
        QObject observer;
        NotificationCenter::defaultCenter().addObserver(
            &observer, AppDelegate::showHideArchivedSelectedNotification,
            [&posted](const NotificationCenter::Notification&) { ++posted; });

        delegate.showArchivedSelected();
        QCOMPARE(delegate.defaults().integer(Defaults::listViewMode), 2);
        QCOMPARE(item.text(), QStringLiteral("Hide Archived"));
        QCOMPARE(QSettings(Defaults::standardFilePath(), QSettings::IniFormat)
                     .value(Defaults::listViewMode)
                     .toInt(),
                 2);
        delegate.showArchivedSelected();
        QCOMPARE(delegate.defaults().integer(Defaults::listViewMode), 0);
        QCOMPARE(item.text(), QStringLiteral("Show Archived"));
        QCOMPARE(posted, 2);

        // A launch in the archive view titles the item for leaving it.
        delegate.defaults().setValue(Defaults::listViewMode, 2);
        delegate.setViewShowArchivedMenuItem(&item);
        QCOMPARE(item.text(), QStringLiteral("Hide Archived"));
    }
};

PINWHEELS_GUI_TEST_MAIN(AppDelegateTest)
#include "tst_appdelegate.moc"
