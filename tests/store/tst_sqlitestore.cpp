#include "IsolatedEnvironment.h"
#include "StoreTestSupport.h"
#include "model/Kanban.h"
#include "model/KanbanColumn.h"
#include "model/ListItem.h"
#include "model/Root.h"
#include "model/Tag.h"
#include "store/GraphCheck.h"
#include "store/ObjectContext.h"
#include "store/SqliteDatabase.h"
#include "store/SqliteStatement.h"
#include "store/SqliteStore.h"
#include "store/StoreSchema.h"

#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <sqlite3.h>

// Saving and reopening: what survives, how much a save writes, and what a failed save leaves.
class TestSqliteStore : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString storePath(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }

    static KanbanColumn* firstBoardColumn(const ObjectContext& context, int index)
    {
        return context.fetch<Kanban>().first()->column().at(index);
    }

private Q_SLOTS:
    void saveAndReopen_keepsEveryAttributeAndOrder()
    {
        const QString path = storePath("roundtrip.storedata");
        QString identifier;
        ObjectContext expected;
        StoreTestSupport::buildSample(expected);
        {
            QString error;
            auto context = StoreTestSupport::open(path, &error);
            QVERIFY2(context, qPrintable(error));
            StoreTestSupport::buildSample(*context);
            QVERIFY2(context->save(&error), qPrintable(error));
            QVERIFY(!context->hasChanges());
            identifier = context->storeIdentifier();
            QVERIFY(!QUuid::fromString(identifier).isNull());
        }
        auto reopened = StoreTestSupport::open(path);
        QVERIFY(reopened);
        QCOMPARE(reopened->storeIdentifier(), identifier);
        QVERIFY(!reopened->hasChanges());
        QCOMPARE(StoreTestSupport::differences(expected, *reopened), QStringList());
        QCOMPARE(GraphCheck::check(*reopened, StoreTestSupport::storeOf(*reopened)->anomalies()),
                 QStringList());

        // The inverse ends are rebuilt from the stored lists.
        const Tag* urgent =
            reopened->fetch<Tag>([](const Tag& t) { return t.name() == u"urgent"; }).value(0);
        QVERIFY(urgent);
        QCOMPARE(urgent->items().size(), 2);
        QCOMPARE(urgent->kanban(), reopened->fetch<Kanban>().first());
        // Notes come back encoded and decode on first use.
        const ListItem* full =
            reopened
                ->fetch<ListItem>([](const ListItem& c) { return c.title() == u"Everything set"; })
                .value(0);
        QVERIFY(full && full->attributedNotes());
        QCOMPARE(full->attributedNotes()->runs().size(), 6);
        QCOMPARE(full->dateAdded().toMSecsSinceEpoch() % 1000, 123);

        // Deleting a board takes its columns, their cards and its tags out of the file; a card
        // that is also on a list stays with the list.
        reopened->deleteObject(reopened->fetch<Kanban>().first());
        QVERIFY(reopened->save());
        reopened.reset();
        QCOMPARE(StoreTestSupport::queryInteger(path, "SELECT count(*) FROM kanban_column"), 0);
        QCOMPARE(StoreTestSupport::queryInteger(
                     path, "SELECT count(*) FROM display_item WHERE entity IN ('Kanban', 'Tag')"),
                 0);
        QCOMPARE(StoreTestSupport::queryInteger(path, "SELECT count(*) FROM list_item"), 2);
    }

    void save_writesOnlyTheRowsThatChanged()
    {
        const QString path = storePath("rows.storedata");
        {
            auto context = StoreTestSupport::open(path);
            QVERIFY(context);
            StoreTestSupport::buildSample(*context);
            QVERIFY(context->save());
            // With the bytes of the sample's one picture.
            QCOMPARE(StoreTestSupport::storeOf(*context)->lastWriteRowCount(),
                     qint64(context->fetch(Entity::DisplayItem).size() +
                            context->fetch(Entity::KanbanColumn).size() +
                            context->fetch(Entity::ListItem).size() + 1));
        }
        auto context = StoreTestSupport::open(path);
        QVERIFY(context);
        SqliteStore* store = StoreTestSupport::storeOf(*context);
        KanbanColumn* first = firstBoardColumn(*context, 0);
        KanbanColumn* second = firstBoardColumn(*context, 1);
        QCOMPARE(first->item().size(), 3);

        ListItem* card = first->item().at(0);
        card->setAttributedNotes(RichText(QStringLiteral("edited")));
        QVERIFY(context->save());
        QCOMPARE(store->lastWriteRowCount(), 1);

        first->insertItem(card, 2); // within the column
        QVERIFY(context->save());
        QCOMPARE(store->lastWriteRowCount(), 1);

        second->insertItem(card, 0); // to another column
        QVERIFY(context->save());
        QCOMPARE(store->lastWriteRowCount(), 2);

        card->setTags({});
        QVERIFY(context->save());
        QCOMPARE(store->lastWriteRowCount(), 1);

        const QList<ListItem*> secondOrder = second->item();
        context.reset();
        auto reopened = StoreTestSupport::open(path);
        QVERIFY(reopened);
        QCOMPARE(firstBoardColumn(*reopened, 1)->item().first()->attributedNotes(),
                 std::optional(RichText(QStringLiteral("edited"))));
        QCOMPARE(firstBoardColumn(*reopened, 1)->item().size(), secondOrder.size());
        QCOMPARE(firstBoardColumn(*reopened, 0)->item().size(), 2);
    }

    void farObjectNumbers_loadInTheirColumn_andNewObjectsFollowThem()
    {
        const QString path = storePath("far.storedata");
        qint64 column = 0;
        qint64 near = 0;
        {
            auto context = StoreTestSupport::open(path);
            QVERIFY(context);
            StoreTestSupport::buildSample(*context);
            QVERIFY(context->save());
            KanbanColumn* first = firstBoardColumn(*context, 0);
            QVERIFY(first->item().size() >= 3);
            column = first->objectNumber();
            near = first->item().at(0)->objectNumber();
        }
        // Give the column's second and third cards numbers far beyond every other.
        const QList<qint64> far{(qint64(1) << 26) + 1, qint64(1) << 40};
        {
            SqliteDatabase database;
            QVERIFY(database.open(path, SQLITE_OPEN_READWRITE));
            SqliteStatement select(database, "SELECT items FROM kanban_column WHERE number = ?");
            select.bindInt64(0, column);
            QVERIFY(select.next());
            std::vector<qint64> items;
            QVERIFY(StoreSchema::decodeMembers(select.columnBytes(0), items));
            select.reset();
            for (int i = 0; i < far.size(); ++i) {
                SqliteStatement renumber(database,
                                         "UPDATE list_item SET number = ? WHERE number = ?");
                renumber.bindInt64(0, far[i]);
                renumber.bindInt64(1, items[size_t(i) + 1]);
                QVERIFY(renumber.execute());
                items[size_t(i) + 1] = far[i];
            }
            QByteArray blob(qsizetype(items.size() * sizeof(qint64)), Qt::Uninitialized);
            for (size_t i = 0; i < items.size(); ++i)
                qToLittleEndian(items[i], blob.data() + 8 * i);
            SqliteStatement update(database, "UPDATE kanban_column SET items = ? WHERE number = ?");
            update.bindBlob(0, blob);
            update.bindInt64(1, column);
            QVERIFY(update.execute());
        }
        const auto numbersIn = [](const KanbanColumn* c) {
            QList<qint64> numbers;
            for (const ListItem* card : c->item())
                numbers.append(card->objectNumber());
            return numbers;
        };
        auto reopened = StoreTestSupport::open(path);
        QVERIFY(reopened);
        QCOMPARE(StoreTestSupport::storeOf(*reopened)->anomalies(), QStringList());
        KanbanColumn* first = firstBoardColumn(*reopened, 0);
        QCOMPARE(numbersIn(first).mid(0, 3), (QList<qint64>{near, far[0], far[1]}));
        QCOMPARE(reopened->objectWithNumber(far[1])->entity(), Entity::ListItem);
        QVERIFY(!reopened->hasChanges());

        // A card made now is numbered after them, and it loads too.
        auto* added = reopened->insert<ListItem>();
        QCOMPARE(added->objectNumber(), far[1] + 1);
        first->insertItem(added);
        QVERIFY(reopened->save());
        const QList<qint64> order = numbersIn(first);
        reopened.reset();
        auto again = StoreTestSupport::open(path);
        QVERIFY(again);
        QCOMPARE(numbersIn(firstBoardColumn(*again, 0)), order);
        QCOMPARE(GraphCheck::check(*again, StoreTestSupport::storeOf(*again)->anomalies()),
                 QStringList());
    }

    void failedSave_keepsChangesPendingAndFileAsItWas_data()
    {
        QTest::addColumn<bool>("failMidway");
        // Another connection holds the write lock: the save cannot begin.
        QTest::newRow("write lock held elsewhere") << false;
        // A trigger refuses one row after others were written: the save must roll back.
        QTest::newRow("row refused mid-transaction") << true;
    }

    void failedSave_keepsChangesPendingAndFileAsItWas()
    {
        QFETCH(bool, failMidway);
        const QString path = storePath(failMidway ? "failmidway.storedata" : "faillock.storedata");
        auto context = StoreTestSupport::open(path);
        QVERIFY(context);
        StoreTestSupport::buildSample(*context);
        QVERIFY(context->save());
        const qint64 cardsBefore =
            StoreTestSupport::queryInteger(path, "SELECT count(*) FROM list_item");

        SqliteDatabase other;
        QVERIFY(other.open(path, SQLITE_OPEN_READWRITE));
        if (failMidway)
            QVERIFY(other.exec("CREATE TRIGGER refuse BEFORE INSERT ON list_item "
                               "WHEN NEW.title = 'refused' "
                               "BEGIN SELECT RAISE(ABORT, 'refused by the test'); END"));
        else
            QVERIFY(other.exec("BEGIN IMMEDIATE"));

        // New objects first, so that some rows are written before the refused one.
        KanbanColumn* column = context->insert<KanbanColumn>();
        column->setTitle(QStringLiteral("New column"));
        context->fetch<Kanban>().first()->insertColumn(column);
        ListItem* card = context->insert<ListItem>();
        card->setTitle(QStringLiteral("refused"));
        column->insertItem(card);
        ListItem* edited = firstBoardColumn(*context, 0)->item().first();
        edited->setTitle(QStringLiteral("edited"));
        ListItem* doomed = firstBoardColumn(*context, 0)->item().last();
        const qint64 doomedNumber = doomed->objectNumber();
        context->deleteObject(doomed);

        QString error;
        QVERIFY(!context->save(&error));
        QVERIFY2(error.contains(failMidway ? u"refused by the test" : u"locked"),
                 qPrintable(error));
        QVERIFY(context->hasChanges());
        QCOMPARE(StoreTestSupport::queryInteger(path, "SELECT count(*) FROM list_item"),
                 cardsBefore);
        QCOMPARE(StoreTestSupport::queryInteger(
                     path, "SELECT count(*) FROM list_item WHERE title = 'edited'"),
                 0);

        QVERIFY(other.exec(failMidway ? "DROP TRIGGER refuse" : "ROLLBACK"));
        QVERIFY2(context->save(&error), qPrintable(error));
        QVERIFY(!context->hasChanges());

        ObjectContext expected;
        StoreTestSupport::buildSample(expected);
        context.reset();
        auto reopened = StoreTestSupport::open(path);
        QVERIFY(reopened);
        QCOMPARE(reopened->fetch<KanbanColumn>().size(), 4);
        QCOMPARE(reopened->fetch<Kanban>().first()->column().last()->item().first()->title(),
                 QStringLiteral("refused"));
        QVERIFY(!reopened->objectWithNumber(doomedNumber));
        QCOMPARE(reopened->fetch<ListItem>().size(), expected.fetch<ListItem>().size());
        QCOMPARE(GraphCheck::check(*reopened), QStringList());
    }

    void checkpointAndIntegrityCheck_onAStoreInUse()
    {
        const QString path = storePath("checkpoint.storedata");
        auto context = StoreTestSupport::open(path);
        QVERIFY(context);
        StoreTestSupport::buildSample(*context);
        QVERIFY(context->save());
        QVERIFY(QFileInfo(path + QStringLiteral("-wal")).size() > 0);
        SqliteStore* store = StoreTestSupport::storeOf(*context);
        QVERIFY(store->checkpoint());
        QCOMPARE(QFileInfo(path + QStringLiteral("-wal")).size(), 0);
        QStringList problems{QStringLiteral("stale")};
        QVERIFY(store->integrityCheck(&problems));
        QVERIFY(problems.isEmpty());
        // A second connection sees the settings that live in the file.
        QCOMPARE(StoreTestSupport::queryInteger(path, "PRAGMA user_version"),
                 qint64(store->schemaVersion()));
        QCOMPARE(StoreTestSupport::queryInteger(path, "PRAGMA application_id"),
                 qint64(StoreSchema::applicationId));
        SqliteDatabase other;
        QVERIFY(other.open(path, SQLITE_OPEN_READONLY));
        SqliteStatement mode(other, "PRAGMA journal_mode");
        QVERIFY(mode.next());
        QCOMPARE(mode.columnText(0), QStringLiteral("wal"));
    }
};

PINWHEELS_GUILESS_TEST_MAIN(TestSqliteStore)
#include "tst_sqlitestore.moc"
