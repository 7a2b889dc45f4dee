#include "CrashScenario.h"
#include "IsolatedEnvironment.h"
#include "StoreTestSupport.h"
#include "model/KanbanColumn.h"
#include "model/ListItem.h"
#include "model/Root.h"
#include "store/GraphCheck.h"
#include "store/ObjectContext.h"
#include "store/SqliteStore.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

// Kills a process in the middle of its stream of saves, again and again, and checks that the
// store always holds exactly the last save that completed.
class TestStoreCrash : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    // Complete lines so far; a line cut by the kill is left out.
    static QList<QByteArray> lines(const QByteArray& output)
    {
        QList<QByteArray> all = output.split('\n');
        all.removeLast();
        return all;
    }

    // Reads until `wanted` accepts a complete line (any line, or only the latest one).
    static bool waitFor(QProcess& process, QByteArray& output, bool latestOnly,
                        const std::function<bool(const QByteArray&)>& wanted)
    {
        for (int waited = 0; waited < 4000; ++waited) {
            const QList<QByteArray> complete = lines(output);
            for (qsizetype i = latestOnly ? complete.size() - 1 : 0; i < complete.size(); ++i) {
                if (i >= 0 && wanted(complete[i]))
                    return true;
            }
            if (process.state() != QProcess::Running && process.bytesAvailable() == 0)
                return false;
            process.waitForReadyRead(5);
            output += process.readAllStandardOutput();
        }
        return false;
    }
    static bool waitForLine(QProcess& process, QByteArray& output,
                            const std::function<bool(const QByteArray&)>& wanted)
    {
        return waitFor(process, output, false, wanted);
    }
    static bool waitForLatestLine(QProcess& process, QByteArray& output,
                                  const std::function<bool(const QByteArray&)>& wanted)
    {
        return waitFor(process, output, true, wanted);
    }

private Q_SLOTS:
    void killedWriter_storeHoldsLastCompletedSave()
    {
        const QString path = m_dir.filePath(QStringLiteral("CocoaAppCD.storedata"));
        const quint32 seed = QRandomGenerator::global()->generate();
        qInfo("random seed %u", seed);
        QRandomGenerator random(seed);
        qint64 previous = -1;
        for (int round = 0; round < 8; ++round) {
            // Every other writer stops inside the transaction of its first big save, a random
            // number of steps into it, and is killed there.
            const bool inBigSave = round % 2 == 1;
            QStringList arguments{path};
            if (inBigSave)
                arguments << QStringLiteral("--hold-in-big-save")
                          << QString::number(random.bounded(2000));
            QProcess writer;
            writer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            writer.start(QStringLiteral(STOREWRITER_PATH), arguments);
            QVERIFY(writer.waitForStarted());
            QByteArray output;
            const auto isNumber = [](const QByteArray& line) {
                bool ok = false;
                line.toLongLong(&ok);
                return ok;
            };
            qint64 bigSave = -1;
            if (inBigSave) {
                // Its first save may be the big one: nothing need come before "inside".
                QVERIFY(waitForLatestLine(writer, output, [&bigSave](const QByteArray& line) {
                    if (!line.startsWith("inside "))
                        return false;
                    bigSave = line.mid(7).toLongLong();
                    return true;
                }));
                QVERIFY(CrashScenario::isBigSave(bigSave));
            } else {
                QVERIFY2(waitForLine(writer, output, isNumber), "the writer printed no save");
                QThread::msleep(random.bounded(20, 400));
            }
            writer.kill();
            QVERIFY(writer.waitForFinished(10000));
            QCOMPARE(writer.exitStatus(), QProcess::CrashExit);
            output += writer.readAllStandardOutput();

            qint64 printed = previous;
            for (const QByteArray& line : lines(output)) {
                if (isNumber(line))
                    printed = line.toLongLong();
            }

            QString error;
            auto context = StoreTestSupport::open(path, &error);
            QVERIFY2(context, qPrintable(error));
            QStringList problems;
            QVERIFY2(StoreTestSupport::storeOf(*context)->integrityCheck(&problems),
                     qPrintable(problems.join(u'\n')));
            QCOMPARE(GraphCheck::check(*context, StoreTestSupport::storeOf(*context)->anomalies()),
                     QStringList());

            const qint64 stored = context->fetch<Root>().first()->title().toLongLong();
            // The kill may fall between the commit and the print.
            QVERIFY2(stored == printed || stored == printed + 1,
                     qPrintable(QStringLiteral("stored %1, printed %2").arg(stored).arg(printed)));
            // Killed inside its transaction, the big save left nothing behind.
            if (inBigSave)
                QCOMPARE(stored, bigSave - 1);
            else
                QVERIFY(stored > previous);
            previous = stored;

            const QList<ListItem*> cards = context->fetch<ListItem>();
            QCOMPARE(cards.size(), CrashScenario::cardCountAfter(stored));
            qint64 titledByLast = 0;
            for (const ListItem* card : cards) {
                const qint64 title = card->title().toLongLong();
                QVERIFY(title <= stored);
                titledByLast += title == stored ? 1 : 0;
            }
            QCOMPARE(titledByLast, CrashScenario::cardsTitledBy(stored));
            QCOMPARE(context->fetch<KanbanColumn>().size(), CrashScenario::columns);
        }
    }
};

PINWHEELS_GUILESS_TEST_MAIN(TestStoreCrash)
#include "tst_storecrash.moc"
