#include "IsolatedEnvironment.h"
#include "model/ListItem.h"
#include "model/Tag.h"
#include "store/DataFolder.h"
#include "store/InstanceChannel.h"
#include "store/ObjectContext.h"
#include "store/StoreError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

// What logout, shutdown and Ctrl+C do to a running application: the quit it would do from
// the menu, with what was being edited saved.
class TestQuitSignals : public QObject
{
    Q_OBJECT

private:
    // A child with a data and configuration folder of its own.
    static void prepare(QProcess& child, const QTemporaryDir& home)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), home.path());
        environment.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                           home.filePath(QStringLiteral("config")));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    }
    static QString dataFolder(const QTemporaryDir& home)
    {
        return home.filePath(QStringLiteral("data/Pinwheels"));
    }
    // The child ended by the quit: status 0, and the store closed with nothing left in its
    // journal.
    static void checkQuitNormally(QProcess& child, const QTemporaryDir& home)
    {
        QVERIFY(child.waitForFinished(30000));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
        const QFileInfo journal(DataFolder::storePath(dataFolder(home)) + QStringLiteral("-wal"));
        QVERIFY(!journal.exists() || journal.size() == 0);
    }

private Q_SLOTS:
    void signal_endsEditingSavesAndQuits_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGINT") << SIGINT;
        QTest::newRow("SIGHUP") << SIGHUP;
    }

    void signal_endsEditingSavesAndQuits()
    {
        QFETCH(int, signalNumber);
        QTemporaryDir home;
        QProcess app;
        prepare(app, home);
        app.start(QStringLiteral(QUITTINGAPP_PATH));
        QVERIFY(app.waitForStarted());
        QVERIFY(app.waitForReadyRead(60000));
        QCOMPARE(app.readLine().trimmed(), QByteArray("editing"));
        QCOMPARE(::kill(pid_t(app.processId()), signalNumber), 0);
        checkQuitNormally(app, home);
        if (QTest::currentTestFailed())
            return;

        // The typing and the tag still in its field were both saved.
        StoreError error;
        const std::unique_ptr<ObjectContext> stored =
            DataFolder::openStore(dataFolder(home), &error);
        QVERIFY2(stored, qPrintable(error.underlying));
        const QList<ListItem*> edited = stored->fetch<ListItem>([](const ListItem& card) {
            return card.notesPlainText().contains(u" typed before the signal");
        });
        QCOMPARE(edited.size(), 1);
        QStringList tags;
        for (const Tag* tag : edited.first()->tags())
            tags.append(tag->name());
        QVERIFY2(tags.contains(QStringLiteral("pending")), qPrintable(tags.join(u',')));
    }

    void application_quitsNormallyOnSIGTERM()
    {
        QTemporaryDir home;
        QProcess app;
        prepare(app, home);
        app.start(QStringLiteral(PINWHEELS_PATH));
        QVERIFY(app.waitForStarted());
        // The store opens after the signals are watched; the first save writes the tutorial.
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(DataFolder::storePath(dataFolder(home))).size() > 0,
                                 60000);
        QCOMPARE(::kill(pid_t(app.processId()), SIGTERM), 0);
        checkQuitNormally(app, home);
    }

    // Started again on the same data, the application hands over to the running window and
    // ends at once, without an alert waiting for a click.
    void secondStart_handsOverAndEnds()
    {
        QTemporaryDir home;
        QProcess first;
        prepare(first, home);
        first.start(QStringLiteral(PINWHEELS_PATH));
        QVERIFY(first.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(InstanceChannel::socketPath(dataFolder(home))),
                                 60000);

        QProcess second;
        prepare(second, home);
        second.start(QStringLiteral(PINWHEELS_PATH));
        QVERIFY(second.waitForFinished(30000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(first.state(), QProcess::Running);

        QCOMPARE(::kill(pid_t(first.processId()), SIGTERM), 0);
        checkQuitNormally(first, home);
    }
};

PINWHEELS_GUILESS_TEST_MAIN(TestQuitSignals)
#include "tst_quitsignals.moc"
