#include "IsolatedEnvironment.h"
#include "StoreTestSupport.h"
#include "model/Folder.h"
#include "model/KanbanColumn.h"
#include "model/ListItem.h"
#include "model/Root.h"
#include "store/GraphCheck.h"
#include "store/ObjectContext.h"
#include "store/SqliteDatabase.h"
#include "store/SqliteStatement.h"
#include "store/SqliteStore.h"
#include "store/StoreRepair.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

// Which files a store accepts, how it migrates, and how it loads damaged content.
class TestStoreFiles : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString freshPath(const QString& name) const
    {
        const QString folder = m_dir.filePath(name);
        QDir().mkpath(folder);
        return QDir(folder).filePath(QStringLiteral("CocoaAppCD.storedata"));
    }

    // A closed store with the sample graph and the given schema steps.
    static void makeStore(const QString& path,
                          const QList<StoreSchema::Step>& steps = StoreSchema::laterSteps())
    {
        QString error;
        auto store = SqliteStore::open(path, steps, &error);
        QVERIFY2(store, qPrintable(error));
        ObjectContext context(std::move(store));
        QVERIFY(context.load(&error));
        StoreTestSupport::buildSample(context);
        for (int i = 0; i < 300; ++i) { // enough pages for a truncation to cut something
            auto* card = context.insert<ListItem>();
            card->setAttributedNotes(RichText(QString(200, QChar(u'a' + i % 26))));
            context.fetch<KanbanColumn>().first()->insertItem(card);
        }
        QVERIFY(context.save(&error));
    }

    static StoreSchema::Step addTable(const char* sql)
    {
        return [sql](SqliteDatabase& database) { return database.exec(sql); };
    }

private Q_SLOTS:
    void open_refusesUnusableFileUntouched_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("text file") << "text"
                                   << "not an SQLite database";
        QTest::newRow("random bytes") << "random"
                                      << "not an SQLite database";
        QTest::newRow("truncated store") << "truncated"
                                         << "truncated";
        QTest::newRow("another program's database") << "foreign"
                                                    << "another program";
        QTest::newRow("another program's empty-looking database") << "foreignid"
                                                                  << "another program";
        QTest::newRow("newer store version") << "newer"
                                             << "newer version";
    }

    void open_refusesUnusableFileUntouched()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        const QString path = freshPath(kind);
        QFile file(path);
        if (kind == u"text") {
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("These are my notes, not a database.\n");
        } else if (kind == u"random") {
            QVERIFY(file.open(QIODevice::WriteOnly));
            QByteArray bytes(8192, '\0');
            QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(bytes.data()), 2048);
            file.write(bytes);
        } else if (kind == u"truncated") {
            makeStore(path);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.size() > 16 * 4096);
            QVERIFY(file.resize(file.size() / 2));
        } else if (kind == u"foreign") {
            QVERIFY(StoreTestSupport::execute(
                path, "CREATE TABLE songs (title TEXT); INSERT INTO songs VALUES ('a')"));
        } else if (kind == u"foreignid") {
            QVERIFY(StoreTestSupport::execute(path, "PRAGMA application_id = 42"));
        } else if (kind == u"newer") {
            makeStore(path, StoreSchema::laterSteps() << addTable("CREATE TABLE later (x)"));
        }
        file.close();
        const QByteArray before = StoreTestSupport::checksum(path);
        QVERIFY(!before.isEmpty());

        QString error;
        QVERIFY(!SqliteStore::open(path, &error));
        QVERIFY2(error.contains(reason), qPrintable(error));
        QVERIFY2(error.contains(QDir::toNativeSeparators(path)), qPrintable(error));
        QCOMPARE(StoreTestSupport::checksum(path), before);
        QCOMPARE(QDir(QFileInfo(path).path()).entryList({QStringLiteral("*backup*")}),
                 QStringList());
    }

    void open_createsMissingOrEmptyFile()
    {
        for (const bool empty : {false, true}) {
            const QString path = freshPath(empty ? QStringLiteral("empty") : QStringLiteral("new"));
            if (empty) {
                QFile file(path);
                QVERIFY(file.open(QIODevice::WriteOnly));
            }
            QString error;
            auto store = SqliteStore::open(path, &error);
            QVERIFY2(store, qPrintable(error));
            QVERIFY(!QUuid::fromString(store->identifier()).isNull());
            const QString identifier = store->identifier();
            store.reset();
            store = SqliteStore::open(path, &error);
            QVERIFY2(store, qPrintable(error));
            QCOMPARE(store->identifier(), identifier);
        }
    }

    void open_olderVersion_backsUpThenMigrates()
    {
        const QString path = freshPath(QStringLiteral("migrate"));
        makeStore(path, {});
        // A backup of an earlier migration is never overwritten.
        const QString earlier = path + QStringLiteral(".v1.backup");
        QFile stale(earlier);
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.write("earlier backup");
        stale.close();
        const QByteArray earlierChecksum = StoreTestSupport::checksum(earlier);
        const QByteArray original = StoreTestSupport::checksum(path);

        const QList<StoreSchema::Step> steps =
            StoreSchema::laterSteps()
            << addTable("CREATE TABLE extra (x); INSERT INTO extra VALUES (2)")
            << addTable("UPDATE extra SET x = x * 10");
        const int version = StoreSchema::firstVersion + int(steps.size());
        QString error;
        auto store = SqliteStore::open(path, steps, &error);
        QVERIFY2(store, qPrintable(error));
        QCOMPARE(store->schemaVersion(), version);
        ObjectContext context(std::move(store));
        QVERIFY(context.load(&error));
        ObjectContext expected;
        StoreTestSupport::buildSample(expected);
        QCOMPARE(context.fetch<Root>().size(), 1);
        QCOMPARE(context.fetch<ListItem>().size(), expected.fetch<ListItem>().size() + 300);
        QCOMPARE(StoreTestSupport::queryInteger(path, "SELECT x FROM extra"), 20);
        QCOMPARE(StoreTestSupport::queryInteger(path, "PRAGMA user_version"), version);

        QCOMPARE(StoreTestSupport::checksum(earlier), earlierChecksum);
        QFile kept(earlier);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("earlier backup"));
        const QString backup = earlier + QStringLiteral("2");
        QCOMPARE(StoreTestSupport::checksum(backup), original);
        QCOMPARE(StoreTestSupport::queryInteger(backup, "PRAGMA user_version"), 1);
    }

    void open_failingMigrationStep_leavesVersionAndBackup()
    {
        const QString path = freshPath(QStringLiteral("failmigrate"));
        makeStore(path, {});
        QString error;
        const auto failing = [](SqliteDatabase& database) {
            return database.exec("CREATE TABLE half (x)") && database.exec("NOT SQL AT ALL");
        };
        QVERIFY(!SqliteStore::open(path, {failing}, &error));
        QVERIFY2(error.contains(u"from version 1 to 2"), qPrintable(error));
        QCOMPARE(StoreTestSupport::queryInteger(path, "PRAGMA user_version"), 1);
        QCOMPARE(StoreTestSupport::queryInteger(
                     path, "SELECT count(*) FROM sqlite_schema WHERE name = 'half'"),
                 0);
        QVERIFY(QFileInfo::exists(path + QStringLiteral(".v1.backup")));
        QVERIFY(SqliteStore::open(path, &error));
    }

    void load_damagedLinks_skipsThemAndReports()
    {
        const QString path = freshPath(QStringLiteral("damaged"));
        makeStore(path);
        auto context = StoreTestSupport::open(path);
        QVERIFY(context);
        const qint64 root = context->fetch<Root>().first()->objectNumber();
        const QList<KanbanColumn*> columns = context->fetch<KanbanColumn>();
        const qint64 column0 = columns[0]->objectNumber();
        const qint64 column1 = columns[1]->objectNumber();
        const qint64 card = columns[0]->item().first()->objectNumber();
        const qint64 folder = context->fetch<Folder>().first()->objectNumber();
        context.reset();

        const auto blob = [](std::initializer_list<qint64> numbers, const char* garbage = "") {
            QByteArray hex;
            for (qint64 n : numbers)
                hex += QByteArray::number(n, 16).rightJustified(16, '0');
            // Stored little-endian: reverse the bytes of each entry.
            QByteArray bytes = QByteArray::fromHex(hex);
            for (qsizetype i = 0; i < bytes.size(); i += 8)
                std::reverse(bytes.begin() + i, bytes.begin() + i + 8);
            return QByteArray("X'") + bytes.toHex() + garbage + "'";
        };
        const QByteArray sql =
            // A card in two columns, a number naming nothing and one naming a folder.
            "UPDATE kanban_column SET items = " + blob({card, 999999, folder}) +
            " WHERE number = " + QByteArray::number(column1) +
            ";"
            // A cycle among two detached folders, and the Root offered as a child.
            "INSERT INTO display_item (number, entity, title, children) VALUES "
            "(900001, 'Folder', 'A', " +
            blob({900002}) + "), (900002, 'Folder', 'B', " + blob({900001, root}) +
            "), (900003, 'Root', 'Second root', NULL), (900004, 'Gadget', 'Unknown', NULL), "
            "(-5, 'Folder', 'Negative', NULL), (9000000000, 'Folder', 'Huge', NULL);"
            // A number taken twice, a damaged blob, and tags that are not tags.
            "INSERT INTO list_item (number, title) VALUES (900001, 'Clash');"
            "UPDATE list_item SET tags = " +
            blob({column0}, "0a0b0c") + " WHERE number = " + QByteArray::number(card) + ";";
        QString error;
        QVERIFY2(StoreTestSupport::execute(path, sql.constData(), &error), qPrintable(error));

        auto damaged = StoreTestSupport::open(path, &error);
        QVERIFY2(damaged, qPrintable(error));
        const QStringList anomalies = StoreTestSupport::storeOf(*damaged)->anomalies();
        const QString all = anomalies.join(u'\n');
        for (const char* expected :
             {"already belongs to KanbanColumn", "p999999, which is not in the store",
              "which is not a ListItem", "would make a cycle", "a Root has no parent",
              "second Root", "unknown kind \"Gadget\"", "p-5 of display_item",
              "has the number of Folder p900001", "is damaged", "which is not a Tag"})
            QVERIFY2(all.contains(QLatin1String(expected)), qPrintable(expected + u'\n' + all));
        QVERIFY(!all.contains(u"p9000000000")); // a far number is no damage
        QCOMPARE(damaged->objectWithNumber(card)->objectNumber(), card);
        QCOMPARE(static_cast<ListItem*>(damaged->objectWithNumber(card))->column()->objectNumber(),
                 column0);

        // What remains is a sound graph but for the second Root and what hangs nowhere.
        const QStringList problems = GraphCheck::check(*damaged);
        for (const QString& problem : problems)
            QVERIFY2(problem.contains(u"second Root") || problem.contains(u"detached"),
                     qPrintable(problem));
        QVERIFY(problems.join(u'\n').contains(u"Folder p900001 is detached"));
        QCOMPARE(GraphCheck::check(*damaged, anomalies).size(), problems.size() + anomalies.size());

        // The owners of skipped links are written again at the next save, so that no stale
        // number is left to name an object made later.
        QVERIFY(damaged->hasChanges());
        QVERIFY2(damaged->save(&error), qPrintable(error));
        damaged.reset();
        auto repaired = StoreTestSupport::open(path, &error);
        QVERIFY2(repaired, qPrintable(error));
        const QString after = StoreTestSupport::storeOf(*repaired)->anomalies().join(u'\n');
        QVERIFY2(!after.contains(u"link was skipped"), qPrintable(after));
        QVERIFY2(!after.contains(u"is damaged"), qPrintable(after));

        // The repair puts what hangs nowhere back into the tree, and merges the second Root.
        QVERIFY(!StoreRepair::repair(*repaired).isEmpty());
        const QStringList left = GraphCheck::check(*repaired);
        QVERIFY2(left.isEmpty(), qPrintable(left.join(u'\n')));
        QVERIFY(StoreRepair::plan(*repaired).isEmpty());
    }

    void cycleOfferedThroughTheModel_isRefused()
    {
        ObjectContext context;
        auto* root = context.insert<Root>();
        auto* outer = context.insert<Folder>();
        auto* inner = context.insert<Folder>();
        root->insertChild(outer);
        outer->insertChild(inner);
        inner->insertChild(outer);
        inner->setChildren({outer, inner});
        outer->setParent(inner);
        QCOMPARE(outer->parent(), root);
        QVERIFY(inner->children().isEmpty());
        QCOMPARE(GraphCheck::check(context), QStringList());
    }

    void load_randomGarbage_neverBreaksTheGraph()
    {
        const QString path = freshPath(QStringLiteral("garbage"));
        makeStore(path);
        QRandomGenerator random(20240601);
        const char* const targets[] = {"UPDATE display_item SET children = ?",
                                       "UPDATE display_item SET columns = ?",
                                       "UPDATE display_item SET tags = ?",
                                       "UPDATE display_item SET list_items = ?",
                                       "UPDATE kanban_column SET items = ?",
                                       "UPDATE list_item SET tags = ?",
                                       "UPDATE list_item SET notes = ?",
                                       "UPDATE list_item SET due_date = ?",
                                       "UPDATE OR IGNORE display_item SET entity = ?"};
        for (int round = 0; round < 25; ++round) {
            {
                SqliteDatabase database;
                QVERIFY(database.open(path, SQLITE_OPEN_READWRITE));
                for (int change = 0; change < 20; ++change) {
                    const QByteArray sql =
                        QByteArray(targets[random.bounded(int(std::size(targets)))]) +
                        " WHERE number % 7 = " + QByteArray::number(random.bounded(7));
                    SqliteStatement statement(database, sql.constData());
                    QVERIFY(statement.isValid());
                    // Mostly plausible numbers, some of them nonsense, of any length.
                    QByteArray bytes;
                    const int count = random.bounded(12);
                    for (int i = 0; i < count; ++i) {
                        const qint64 n = random.bounded(4) == 0 ? qint64(random.generate64())
                                                                : random.bounded(400);
                        bytes.append(reinterpret_cast<const char*>(&n), 8);
                    }
                    bytes.chop(random.bounded(3));
                    if (random.bounded(5) == 0)
                        statement.bindText(0, QString::fromLatin1(bytes.toHex()));
                    else
                        statement.bindBlob(0, bytes);
                    QVERIFY(statement.execute());
                }
            }
            QString error;
            auto context = StoreTestSupport::open(path, &error);
            QVERIFY2(context, qPrintable(error));
            for (const QString& problem : GraphCheck::check(*context)) {
                QVERIFY2(problem.contains(u"Root") || problem.contains(u"detached"),
                         qPrintable(problem));
            }
            for (ListItem* card : context->fetch<ListItem>())
                card->notesPlainText(); // damaged notes decode to nothing, without harm
        }
    }
};

PINWHEELS_GUILESS_TEST_MAIN(TestStoreFiles)
#include "tst_storefiles.moc"
