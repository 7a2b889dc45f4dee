#include "IsolatedEnvironment.h"
#include "model/Clock.h"
#include "model/DisplayItemObserver.h"
#include "model/Folder.h"
#include "model/Kanban.h"
#include "model/KanbanColumn.h"
#include "model/List.h"
#include "model/ListItem.h"
#include "model/Root.h"
#include "model/Tag.h"
#include "store/Defaults.h"
#include "store/NotificationCenter.h"
#include "store/ObjectContext.h"

#include <QTest>

class ObjectModelTest : public QObject
{
    Q_OBJECT

private:
    ObjectContext context;

    Kanban* boardWithColumns(int columns)
    {
        auto* board = context.insert<Kanban>();
        for (int i = 0; i < columns; ++i)
            board->insertColumn(context.insert<KanbanColumn>());
        return board;
    }

    ListItem* cardIn(KanbanColumn* column)
    {
        auto* card = context.insert<ListItem>();
        card->setColumn(column);
        return card;
    }

private Q_SLOTS:
    void cleanup()
    {
        Clock::setNow({});
        Clock::setTimeZone({});
    }

    void relationshipsKeepBothEndsInStep()
    {
        Kanban* board = boardWithColumns(2);
        KanbanColumn* todo = board->column()[0];
        KanbanColumn* done = board->column()[1];
        QCOMPARE(todo->kanban(), board);

        ListItem* a = cardIn(todo);
        ListItem* b = cardIn(todo);
        QCOMPARE(todo->item(), (QList<ListItem*>{a, b}));

        // Writing a whole list back takes the cards out of their old column.
        done->setItem({b, b, a});
        QCOMPARE(done->item(), (QList<ListItem*>{b, a}));
        QVERIFY(todo->item().isEmpty());
        QCOMPARE(a->column(), done);

        done->setItem({a});
        QCOMPARE(b->column(), nullptr);

        // A list item sent to a board keeps its list.
        auto* list = context.insert<List>();
        b->setList(list);
        b->setColumn(todo);
        QCOMPARE(b->list(), list);
        QCOMPARE(list->item(), QList<ListItem*>{b});

        auto* urgent = context.insert<Tag>();
        urgent->setKanban(board);
        a->setTags({urgent});
        b->setTags({urgent});
        QCOMPARE(urgent->items(), (QSet<ListItem*>{a, b}));
        a->setTags({});
        QCOMPARE(urgent->items(), QSet<ListItem*>{b});
        QCOMPARE(board->tags(), QList<Tag*>{urgent});

        auto* home = context.insert<Folder>();
        auto* work = context.insert<Folder>();
        board->setParent(home);
        board->setParent(work);
        QVERIFY(home->children().isEmpty());
        QCOMPARE(work->children(), QList<DisplayItem*>{board});
        work->setChildren({});
        QCOMPARE(board->parent(), nullptr);
    }

    void derivedSidebarValues()
    {
        auto* folder = context.insert<Folder>();
        QVERIFY(folder->isLeaf());
        QVERIFY(!folder->isItemExpandable());
        QVERIFY(folder->childrenArray().isEmpty());

        auto* board = context.insert<Kanban>();
        folder->setChildrenArray({board});
        QVERIFY(!folder->isLeaf());
        QVERIFY(folder->isItemExpandable());

        // A board never unfolds, even with children.
        board->insertChild(context.insert<Folder>());
        QVERIFY(!board->isItemExpandable());

        auto* tag = context.insert<Tag>();
        tag->setName(QStringLiteral("urgent"));
        QCOMPARE(tag->title(), QStringLiteral("urgent"));
        QVERIFY(tag->children().isEmpty());
        QVERIFY(tag->isLeaf());
    }

    void boardAndListCounts()
    {
        Clock::setNow(QDateTime(QDate(2026, 3, 10), QTime(12, 0), QTimeZone::utc()));
        Clock::setTimeZone(QTimeZone::utc());
        Defaults::standard().setValue(Defaults::dueSoonDefinition, 1);

        Kanban* board = boardWithColumns(2);
        auto* tag = context.insert<Tag>();
        tag->setKanban(board);

        ListItem* active = cardIn(board->column()[0]);
        active->setTags({tag});
        active->setDueDate(Clock::now().addSecs(3600)); // due soon
        ListItem* doneCard = cardIn(board->column()[0]);
        doneCard->setDone(true);
        doneCard->setDueDate(Clock::now().addSecs(-60)); // done: never overdue
        ListItem* archivedNotDone = cardIn(board->column()[1]);
        archivedNotDone->setArchived(true);
        archivedNotDone->setTags({tag});
        archivedNotDone->setDueDate(Clock::now().addSecs(-1)); // overdue, also due soon
        ListItem* unknown = cardIn(board->column()[1]);
        unknown->setArchived(std::nullopt);
        unknown->setDone(std::nullopt);
        unknown->setTags({tag});

        QCOMPARE(board->numberOfArchived(), 1);
        QCOMPARE(board->numberOfNonArchived(), 2);
        QCOMPARE(board->numberOfDone(), 1);
        QCOMPARE(board->numberOfNotDone(), 3); // absent done counts, archived counts
        QCOMPARE(board->numberOfItemsWithTag(tag), 1);
        QCOMPARE(board->numberOfOverdueCards(), 1);
        QCOMPARE(board->numberOfDueSoonCards(), 2);

        auto* list = context.insert<List>();
        auto* first = context.insert<ListItem>();
        auto* sent = context.insert<ListItem>();
        auto* archived = context.insert<ListItem>();
        archived->setArchived(true);
        list->setItem({first, sent, archived});
        sent->setColumn(board->column()[0]);
        QCOMPARE(list->numberOfNonArchived(), 1);
    }

    void dueSoonDefinitions_data()
    {
        QTest::addColumn<int>("definition");
        QTest::addColumn<QDateTime>("due");
        QTest::addColumn<bool>("overdue");
        QTest::addColumn<bool>("dueSoon");

        // Now is Tuesday 10 March 2026, 12:00 in UTC+10 (02:00 UTC).
        const QTimeZone zone("Australia/Brisbane");
        const auto at = [&zone](int day, int h, int m, int s = 0) {
            return QDateTime(QDate(2026, 3, day), QTime(h, m, s), zone);
        };
        QTest::newRow("one second ago, 40 hours") << 1 << at(10, 11, 59, 59) << true << true;
        QTest::newRow("one second ago, today") << 0 << at(10, 11, 59, 59) << true << true;
        QTest::newRow("yesterday, today") << 0 << at(9, 23, 59) << true << false;
        QTest::newRow("tomorrow, today") << 0 << at(11, 0, 0) << false << false;
        QTest::newRow("39 hours ahead") << 1 << at(12, 3, 0) << false << true;
        QTest::newRow("41 hours ahead") << 1 << at(12, 5, 0) << false << false;
        QTest::newRow("day after tomorrow 23:59, 2 days") << 2 << at(12, 23, 59) << false << true;
        QTest::newRow("three days ahead 00:00, 2 days") << 2 << at(13, 0, 0) << false << false;
        QTest::newRow("three days ahead, 3 days") << 3 << at(13, 23, 0) << false << true;
        QTest::newRow("four days ahead, 4 days") << 4 << at(14, 8, 0) << false << true;
        QTest::newRow("five days ahead, 5 days") << 5 << at(15, 8, 0) << false << true;
        QTest::newRow("six days ahead, 5 days") << 5 << at(16, 8, 0) << false << false;
        QTest::newRow("seven days ahead, week") << 6 << at(17, 23, 0) << false << true;
        QTest::newRow("eight days ahead, week") << 6 << at(18, 0, 0) << false << false;
        QTest::newRow("long past, week") << 6 << at(1, 8, 0) << true << true;
        QTest::newRow("definition 7") << 7 << at(10, 13, 0) << false << false;
        QTest::newRow("definition -1") << -1 << at(10, 13, 0) << false << false;
    }

    void dueSoonDefinitions()
    {
        QFETCH(int, definition);
        QFETCH(QDateTime, due);
        QFETCH(bool, overdue);
        QFETCH(bool, dueSoon);
        const QTimeZone zone("Australia/Brisbane");
        Clock::setTimeZone(zone);
        Clock::setNow(QDateTime(QDate(2026, 3, 10), QTime(12, 0), zone));
        Defaults::standard().setValue(Defaults::dueSoonDefinition, definition);

        auto* card = context.insert<ListItem>();
        card->setDueDate(due.toUTC());
        QCOMPARE(card->isOverdue(), overdue);
        QCOMPARE(card->isDueSoon(), dueSoon);

        card->setDueDate({});
        QVERIFY(!card->isOverdue());
        QVERIFY(!card->isDueSoon());
    }

    void dueTodayFollowsTheLocalCalendar()
    {
        // 14:00 and 23:30 UTC on 10 March fall on one day in New York, on two in Tokyo.
        Clock::setNow(QDateTime(QDate(2026, 3, 10), QTime(14, 0), QTimeZone::utc()));
        Defaults::standard().setValue(Defaults::dueSoonDefinition, 0);
        auto* card = context.insert<ListItem>();
        card->setDueDate(QDateTime(QDate(2026, 3, 10), QTime(23, 30), QTimeZone::utc()));

        Clock::setTimeZone(QTimeZone("America/New_York"));
        QVERIFY(card->isDueSoon());
        Clock::setTimeZone(QTimeZone("Asia/Tokyo"));
        QVERIFY(!card->isDueSoon());
    }

    void folderExportState()
    {
        auto* folder = context.insert<Folder>();
        QVERIFY(!folder->childrenHasMixedStates());
        QCOMPARE(folder->exportFlag(), std::optional<bool>(false));

        auto* a = context.insert<Kanban>();
        auto* b = context.insert<Kanban>();
        folder->setChildren({a, b});
        a->setExportFlag(true);
        b->setExportFlag(true);
        QVERIFY(!folder->childrenHasMixedStates());
        QCOMPARE(folder->exportFlag(), std::optional<bool>(true));

        b->setExportFlag(std::nullopt); // absent counts as unexported
        QVERIFY(folder->childrenHasMixedStates());
        QCOMPARE(folder->exportFlag(), std::optional<bool>(false));

        folder->setChildren({b});
        QVERIFY(!folder->childrenHasMixedStates());
        QCOMPARE(folder->exportFlag(), std::optional<bool>(false));

        // A board checked two levels down makes both folders above it mixed.
        auto* inner = context.insert<Folder>();
        folder->setChildren({inner, b});
        inner->setChildren({a, context.insert<Kanban>()});
        QVERIFY(folder->childrenHasMixedStates());
        QCOMPARE(inner->exportFlag(), std::optional<bool>(false));
        inner->children()[1]->setExportFlag(true);
        b->setExportFlag(true);
        QVERIFY(!folder->childrenHasMixedStates());
        QCOMPARE(inner->exportFlag(), std::optional<bool>(true));
        QCOMPARE(folder->exportFlag(), std::optional<bool>(true));
    }

    void tagWithoutCardsDisappearsAtSave()
    {
        Kanban* board = boardWithColumns(1);
        ListItem* card = cardIn(board->column()[0]);
        auto* kept = context.insert<Tag>();
        auto* dropped = context.insert<Tag>();
        board->setTags({kept, dropped});
        card->setTags({kept, dropped});
        QVERIFY(context.save());

        card->setTags({kept});
        QVERIFY(context.save());
        QVERIFY(dropped->isDeleted());
        QVERIFY(!kept->isDeleted());
        QCOMPARE(board->tags(), QList<Tag*>{kept});
        QVERIFY(!context.fetch<Tag>().contains(dropped));
    }

    void childrenChangesAreAnnouncedInOrder()
    {
        struct Recorder final : DisplayItemObserver
        {
            QStringList heard;
            void displayItemChanged(DisplayItem*, const KeyChange& change) override
            {
                QString kind = QStringLiteral("set");
                if (change.kind == RelationshipChange::Kind::Insertion)
                    kind = QStringLiteral("insert");
                else if (change.kind == RelationshipChange::Kind::Removal)
                    kind = QStringLiteral("remove");
                QStringList indexes;
                for (qsizetype i : change.indexes)
                    indexes.append(QString::number(i));
                heard.append((change.prior ? QStringLiteral("will ") : QStringLiteral("did ")) +
                             change.key.toString() + u' ' + kind + u' ' + indexes.join(u','));
            }
        } recorder;

        auto* folder = context.insert<Folder>();
        auto* first = context.insert<Kanban>();
        folder->insertChild(first);
        folder->addObserver(&recorder);

        folder->insertChild(context.insert<Kanban>(), 0);
        const QStringList insertion{
            "will childrenArray insert 0", "will isLeaf set ", "will children insert 0",
            "did childrenArray insert 0",  "did isLeaf set ",  "did children insert 0",
        };
        QCOMPARE(recorder.heard, insertion);

        recorder.heard.clear();
        first->setParent(nullptr);
        QCOMPARE(recorder.heard.first(), QStringLiteral("will childrenArray remove 1"));
        QCOMPARE(recorder.heard.last(), QStringLiteral("did children remove 1"));

        recorder.heard.clear();
        folder->setChildrenArray({first});
        QCOMPARE(recorder.heard.size(), 6);
        QCOMPARE(recorder.heard[2], QStringLiteral("will children set "));
        folder->removeObserver(&recorder);
    }

    void deletingCascadesToWhatIsOwned()
    {
        auto* root = context.insert<Root>();
        auto* folder = context.insert<Folder>();
        folder->setParent(root);
        Kanban* board = boardWithColumns(2);
        board->setParent(folder);
        auto* tag = context.insert<Tag>();
        tag->setKanban(board);
        ListItem* card = cardIn(board->column()[1]);
        card->setTags({tag});
        auto* list = context.insert<List>();
        list->setParent(folder);
        auto* listOnly = context.insert<ListItem>();
        auto* alsoOnBoard = context.insert<ListItem>();
        list->setItem({listOnly, alsoOnBoard});
        Kanban* other = boardWithColumns(1);
        other->setParent(root);
        alsoOnBoard->setColumn(other->column()[0]);

        KanbanColumn* column = board->column()[0];
        context.deleteObject(folder);
        for (StoredObject* o :
             QList<StoredObject*>{folder, board, column, card, tag, list, listOnly})
            QVERIFY(o->isDeleted());
        QVERIFY(!alsoOnBoard->isDeleted());
        QCOMPARE(alsoOnBoard->list(), nullptr);
        QCOMPARE(other->column()[0]->item(), QList<ListItem*>{alsoOnBoard});
        QCOMPARE(root->children(), QList<DisplayItem*>{other});
        QVERIFY(!context.fetch<ListItem>().contains(card));
        QVERIFY(context.save());
    }

    void identitiesAndFetching()
    {
        ObjectContext fresh;
        QVERIFY(!fresh.hasChanges());
        auto* root = fresh.insert<Root>();
        auto* folder = fresh.insert<Folder>();
        QVERIFY(fresh.hasChanges());

        const QString uri = fresh.uriFor(folder);
        QVERIFY(uri.startsWith(QStringLiteral("x-pinwheels://") + fresh.storeIdentifier() +
                               QStringLiteral("/Folder/p")));
        QCOMPARE(fresh.objectForUri(uri), folder);
        QCOMPARE(fresh.objectForUri(
                     QString(uri).replace(QStringLiteral("/Folder/"), QStringLiteral("/Kanban/"))),
                 nullptr);
        QCOMPARE(fresh.objectForUri(u"x-pinwheels://elsewhere/Folder/p1"), nullptr);
        QCOMPARE(fresh.objectForUri(u"garbage"), nullptr);

        // A root is a folder; fetching folders finds both, with a limit only the first.
        QCOMPARE(fresh.fetch<Folder>().size(), 2);
        QCOMPARE(fresh.fetch<Root>(), QList<Root*>{root});
        QCOMPARE(fresh.fetch<Folder>({}, 1).size(), 1);
        QCOMPARE(fresh.fetch<Folder>([](const Folder& f) { return f.entity() == Entity::Folder; }),
                 QList<Folder*>{folder});

        int saves = 0;
        QObject observer;
        NotificationCenter::defaultCenter().addObserver(
            &observer, ObjectContext::didSaveNotification,
            [&saves](const NotificationCenter::Notification&) { ++saves; });
        QVERIFY(fresh.save());
        QVERIFY(!fresh.hasChanges());
        QVERIFY(fresh.save()); // nothing to save: no notification
        QCOMPARE(saves, 1);

        fresh.deleteObject(folder);
        QVERIFY(fresh.hasChanges());
        QCOMPARE(fresh.objectForUri(uri), nullptr);
        auto* scratch = fresh.insert<Folder>();
        fresh.deleteObject(scratch);
        QVERIFY(fresh.save());
        QCOMPARE(saves, 2);
    }
};

PINWHEELS_GUILESS_TEST_MAIN(ObjectModelTest)
#include "tst_objectmodel.moc"
