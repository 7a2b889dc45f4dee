#include "../store/CrashScenario.h"
#include "IsolatedEnvironment.h"
#include "StoreTestSupport.h"
#include "store/DataFolder.h"
#include "store/FolderLock.h"
#include "store/InstanceChannel.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// pinwheels-cli as a script would use it: output, files written, exit status, store afterwards.
class CommandLineToolTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir work;
    QString dataDir;

    struct Run
    {
        int status = -1;
        QString out;
        QString err;
    };

    Run cli(const QStringList& arguments) { return cliOn(dataDir, arguments); }

    static Run cliOn(const QString& folder, QStringList arguments)
    {
        arguments.prepend(folder);
        arguments.prepend(QStringLiteral("--data-dir"));
        QProcess process;
        process.start(QStringLiteral(PINWHEELS_CLI), arguments);
        if (!process.waitForFinished(60000))
            return {};
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

    QString file(const QString& name) const { return work.filePath(name); }

    QStringList topLevelTitles(const QString& path)
    {
        QFile document(path);
        if (!document.open(QIODevice::ReadOnly))
            return {};
        QStringList titles;
        for (const QJsonValue entry : QJsonDocument::fromJson(document.readAll()).array()) {
            const QJsonObject object = entry.toObject();
            titles.append(object.begin().key() + u' ' +
                          object.begin().value().toObject().value(u"title").toString());
        }
        return titles;
    }

private Q_SLOTS:
    void init()
    {
        dataDir = work.filePath(QString::number(QRandomGenerator::global()->generate()));
    }

    void tree_ofANewStore_showsTheTutorial()
    {
        const Run run = cli({QStringLiteral("tree")});
        QCOMPARE(run.status, 0);
        const QStringList lines = run.out.split(u'\n', Qt::SkipEmptyParts);
        QVERIFY(lines.size() >= 3);
        QVERIFY(lines[0].startsWith(u"Kanban Welcome to Pinwheels ["));
        QVERIFY(lines[0].endsWith(u" not done, 0 overdue, 0 due soon]"));
        QVERIFY(lines.contains(u"Folder More about Pinwheels"));
        QVERIFY(lines.contains(u"  List Weekend shopping [5]"));
        QVERIFY(QFileInfo::exists(DataFolder::storePath(dataDir)));
    }

    void export_writesTheNamedItemsOrEverything()
    {
        QCOMPARE(cli({QStringLiteral("export"), file(QStringLiteral("one.Pinwheels")),
                      QStringLiteral("More about Pinwheels/The sidebar and beyond")})
                     .status,
                 0);
        // The folder is written because one of its children is chosen, with only that child.
        QCOMPARE(topLevelTitles(file(QStringLiteral("one.Pinwheels"))),
                 QStringList{QStringLiteral("Folder More about Pinwheels")});

        QCOMPARE(cli({QStringLiteral("export"), file(QStringLiteral("all.Pinwheels"))}).status, 0);
        QCOMPARE(topLevelTitles(file(QStringLiteral("all.Pinwheels"))),
                 (QStringList{QStringLiteral("Kanban Welcome to Pinwheels"),
                              QStringLiteral("Folder More about Pinwheels")}));

        const Run unknown = cli({QStringLiteral("export"), file(QStringLiteral("x.Pinwheels")),
                                 QStringLiteral("Nope")});
        QCOMPARE(unknown.status, 2);
        QVERIFY(!QFileInfo::exists(file(QStringLiteral("x.Pinwheels"))));

        const QString nowhere = file(QStringLiteral("missing/x.Pinwheels"));
        const Run unwritable = cli({QStringLiteral("export"), nowhere});
        QCOMPARE(unwritable.status, 2);
        QCOMPARE(unwritable.err.count(u'\n'), 1);
        QCOMPARE(unwritable.err.count(nowhere), 1);
    }

    void import_addsAFolderOrRefusesWithOneLine()
    {
        QCOMPARE(cli({QStringLiteral("export"), file(QStringLiteral("all.Pinwheels"))}).status, 0);
        const Run imported = cli({QStringLiteral("import"), file(QStringLiteral("all.Pinwheels"))});
        QCOMPARE(imported.status, 0);
        QVERIFY(cli({QStringLiteral("tree")}).out.contains(u"\nFolder Imported - "));

        const QString before = cli({QStringLiteral("tree")}).out;
        QFile broken(file(QStringLiteral("broken.Pinwheels")));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write(R"([{"Kanban":{"title":"Half","column":[{"KanbanColumn":{"title":7}}]}}])");
        broken.close();
        const Run refused = cli({QStringLiteral("import"), broken.fileName()});
        QCOMPARE(refused.status, 2);
        QCOMPARE(refused.err.count(u'\n'), 1);
        QVERIFY(refused.err.contains(u"title"));
        QCOMPARE(cli({QStringLiteral("tree")}).out, before);

        // An empty document is refused too: it would only make an empty folder.
        QFile empty(file(QStringLiteral("empty.Pinwheels")));
        QVERIFY(empty.open(QIODevice::WriteOnly));
        empty.write("[]");
        empty.close();
        const Run nothing = cli({QStringLiteral("import"), empty.fileName()});
        QCOMPARE(nothing.status, 2);
        QVERIFY(nothing.err.contains(u"no folders, boards or lists"));
        QCOMPARE(cli({QStringLiteral("tree")}).out, before);
    }

    void check_reportsDamage()
    {
        const Run healthy = cli({QStringLiteral("check")});
        QCOMPARE(healthy.status, 0);
        QVERIFY(healthy.out.contains(u"No problems found."));

        // Give the first column's cards to a second column too.
        QVERIFY(StoreTestSupport::execute(
            DataFolder::storePath(dataDir),
            "UPDATE kanban_column SET items = (SELECT items FROM kanban_column ORDER BY number "
            "LIMIT 1) WHERE number = (SELECT number FROM kanban_column ORDER BY number LIMIT 1 "
            "OFFSET 1)"));
        const Run damaged = cli({QStringLiteral("check")});
        QCOMPARE(damaged.status, 1);
        QVERIFY(!damaged.out.contains(u"No problems found."));
    }

    void checkAndRepair_reportLostPictureBytesWithoutHarm()
    {
        QImage picture(8, 8, QImage::Format_RGB32);
        picture.fill(Qt::green);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, "PNG");
        QFile document(file(QStringLiteral("picture.Pinwheels")));
        QVERIFY(document.open(QIODevice::WriteOnly));
        document.write(R"([{"Kanban":{"title":"Pictured","column":[{"KanbanColumn":{"title":"C",)"
                       R"("item":[{"ListItem":{"title":"p","attributedNotes":{"string":"￼",)"
                       R"("runs":[{"range":{"location":0,"length":1},"attributes":{)"
                       R"("NSAttachment":")" +
                       png.toBase64() + R"("}}]}}}]}}]}}])");
        document.close();
        QCOMPARE(cli({QStringLiteral("import"), document.fileName()}).status, 0);
        const QString store = DataFolder::storePath(dataDir);
        QCOMPARE(StoreTestSupport::queryInteger(store, "SELECT count(*) FROM attachment"), 1);
        QCOMPARE(cli({QStringLiteral("check")}).status, 0);

        QVERIFY(StoreTestSupport::execute(store, "DELETE FROM attachment"));
        const Run damaged = cli({QStringLiteral("check")});
        QCOMPARE(damaged.status, 1);
        QVERIFY2(damaged.out.contains(u"that are not in the store"), qPrintable(damaged.out));
        const Run repaired = cli({QStringLiteral("repair")});
        QCOMPARE(repaired.status, 0);
        QVERIFY2(repaired.out.contains(u"Cannot be mended: Store: ListItem p"),
                 qPrintable(repaired.out));
        // The card and its export survive; the lost picture is left out of the document.
        QCOMPARE(cli({QStringLiteral("export"), file(QStringLiteral("after.Pinwheels"))}).status,
                 0);
        QFile after(file(QStringLiteral("after.Pinwheels")));
        QVERIFY(after.open(QIODevice::ReadOnly));
        const QByteArray exported = after.readAll();
        QVERIFY(exported.contains(R"("title":"Pictured")"));
        QVERIFY(!exported.contains("NSAttachment"));
    }

    void repair_ofANulledColumnList_losesNoCardAndLeavesCheckClean()
    {
        QCOMPARE(cli({QStringLiteral("repair")}).out, QStringLiteral("Nothing to repair.\n"));
        const QString store = DataFolder::storePath(dataDir);
        const char* const cards = "SELECT count(*) FROM list_item";
        const qint64 before = StoreTestSupport::queryInteger(store, cards);
        const char* const nulled = "SELECT count(*) FROM kanban_column WHERE items IS NULL";
        const qint64 emptyColumns = StoreTestSupport::queryInteger(store, nulled);
        QVERIFY(StoreTestSupport::execute(
            store, "UPDATE kanban_column SET items = NULL WHERE number = (SELECT number FROM "
                   "kanban_column WHERE items IS NOT NULL ORDER BY number LIMIT 1)"));
        const Run damaged = cli({QStringLiteral("check")});
        QCOMPARE(damaged.status, 1);
        QVERIFY(damaged.out.contains(u"is detached"));
        QVERIFY(damaged.out.contains(u"pinwheels-cli repair can mend"));

        const Run repaired = cli({QStringLiteral("repair")});
        QCOMPARE(repaired.status, 0);
        QVERIFY(repaired.out.contains(u"was put"));
        QVERIFY(!repaired.out.contains(u"Cannot be mended"));
        // The copy is the store as it was before the repair.
        const QString backup = store + QStringLiteral(".repair.backup");
        QCOMPARE(StoreTestSupport::queryInteger(backup, cards), before);
        QCOMPARE(StoreTestSupport::queryInteger(backup, nulled), emptyColumns + 1);
        QCOMPARE(StoreTestSupport::queryInteger(store, cards), before);
        // A clean check also means that every card hangs from the tree again.
        const Run clean = cli({QStringLiteral("check")});
        QCOMPARE(clean.status, 0);
        QCOMPARE(clean.out, QStringLiteral("No problems found.\n"));
    }

    void besideTheApplication_readsASnapshotAndHandsImportsOver()
    {
        const QString before = cli({QStringLiteral("tree")}).out;
        QVERIFY(!before.isEmpty());
        const std::unique_ptr<FolderLock> lock = DataFolder::tryLock(dataDir);
        QVERIFY(lock);

        const Run tree = cli({QStringLiteral("tree")});
        QCOMPARE(tree.status, 0);
        QCOMPARE(tree.out, before);
        QCOMPARE(cli({QStringLiteral("check")}).status, 0);
        const QString exported = file(QStringLiteral("beside.Pinwheels"));
        QCOMPARE(cli({QStringLiteral("export"), exported}).status, 0);
        QVERIFY(topLevelTitles(exported).contains(u"Folder More about Pinwheels"));

        // Nobody listens: the import is refused and nothing is written.
        const Run refused = cli({QStringLiteral("import"), exported});
        QCOMPARE(refused.status, 3);
        QVERIFY(refused.err.contains(u"quit it first"));
        const Run repair = cli({QStringLiteral("repair")});
        QCOMPARE(repair.status, 3);
        QVERIFY(repair.err.contains(u"is in use by Pinwheels; quit it first"));

        // The window listens: it is handed the document, the tool writes nothing itself.
        InstanceChannel window;
        QVERIFY(window.listen(dataDir));
        QSignalSpy opened(&window, &InstanceChannel::openRequested);
        QProcess process;
        process.start(QStringLiteral(PINWHEELS_CLI),
                      {QStringLiteral("--data-dir"), dataDir, QStringLiteral("import"), exported});
        QTRY_COMPARE_WITH_TIMEOUT(process.state(), QProcess::NotRunning, 20000);
        QCOMPARE(process.exitCode(), 0);
        QVERIFY(process.readAllStandardOutput().contains("handed to its window"));
        QCOMPARE(opened.size(), 1);
        QCOMPARE(QFileInfo(opened.first().first().toStringList().value(0)).canonicalFilePath(),
                 QFileInfo(exported).canonicalFilePath());
        QCOMPARE(cli({QStringLiteral("tree")}).out, before);
    }

    // Backups while the window saves: each export is one committed state, whole.
    void export_duringAStreamOfSaves_isCompleteAndImportable()
    {
        QVERIFY(QDir().mkpath(dataDir));
        const std::unique_ptr<FolderLock> lock = DataFolder::tryLock(dataDir);
        QVERIFY(lock);
        QProcess writer;
        writer.start(QStringLiteral(STOREWRITER_PATH), {DataFolder::storePath(dataDir)});
        QVERIFY(writer.waitForStarted());
        QByteArray printed;
        QTRY_VERIFY_WITH_TIMEOUT((printed += writer.readAllStandardOutput()).contains("\n2\n"),
                                 30000);

        for (int round = 0; round < 4; ++round) {
            const QString exported = file(QStringLiteral("stream%1.Pinwheels").arg(round));
            const Run run = cli({QStringLiteral("export"), exported});
            QCOMPARE(run.status, 0);
            QVERIFY(writer.state() == QProcess::Running);
            QStringList titles;
            QFile document(exported);
            QVERIFY(document.open(QIODevice::ReadOnly));
            const QJsonObject board =
                QJsonDocument::fromJson(document.readAll()).array().first()[u"Kanban"].toObject();
            for (const QJsonValue column : board[u"column"].toArray()) {
                for (const QJsonValue card : column[u"KanbanColumn"][u"item"].toArray())
                    titles.append(card[u"ListItem"][u"title"].toString());
            }
            // Every save titles cards with its number: the highest one seen is the save read.
            qint64 last = 0;
            for (const QString& title : titles)
                last = std::max(last, title.toLongLong());
            QCOMPARE(qint64(titles.size()), CrashScenario::cardCountAfter(last));
            QCOMPARE(qint64(titles.count(QString::number(last))),
                     CrashScenario::cardsTitledBy(last));

            const QString elsewhere = dataDir + QStringLiteral("-copy%1").arg(round);
            QCOMPARE(cliOn(elsewhere, {QStringLiteral("import"), exported}).status, 0);
        }
        writer.kill();
        writer.waitForFinished();
    }

    void storeInUseOrUnreadable_isRefused()
    {
        QVERIFY(QDir().mkpath(dataDir));
        {
            // Held before any store was made: there is nothing to read yet.
            const std::unique_ptr<FolderLock> lock = DataFolder::tryLock(dataDir);
            QVERIFY(lock);
            const Run inUse = cli({QStringLiteral("tree")});
            QCOMPARE(inUse.status, 3);
            QVERIFY(!QFileInfo::exists(DataFolder::storePath(dataDir)));
        }
        QFile garbage(DataFolder::storePath(dataDir));
        QVERIFY(garbage.open(QIODevice::WriteOnly));
        garbage.write("this is not a store");
        garbage.close();
        QCOMPARE(cli({QStringLiteral("tree")}).status, 3);
        QVERIFY(garbage.open(QIODevice::ReadOnly));
        QCOMPARE(garbage.readAll(), QByteArray("this is not a store"));
    }

    void usage_isExplained()
    {
        QCOMPARE(cli({}).status, 2);
        QCOMPARE(cli({QStringLiteral("frobnicate")}).status, 2);
        QCOMPARE(cli({QStringLiteral("import")}).status, 2);
        const Run help = cli({QStringLiteral("--help")});
        QCOMPARE(help.status, 0);
        QVERIFY(help.out.contains(u"Exit status:"));
        QVERIFY(help.out.contains(u"--data-dir"));
    }
};

PINWHEELS_GUILESS_TEST_MAIN(CommandLineToolTest)
#include "tst_cli.moc"
