#include "IsolatedEnvironment.h"
#include "model/Folder.h"
#include "model/Kanban.h"
#include "model/KanbanColumn.h"
#include "model/List.h"
#include "model/ListItem.h"
#include "model/NoteStyle.h"
#include "model/Root.h"
#include "model/Tag.h"
#include "store/DataUpgrades.h"
#include "store/GraphCheck.h"
#include "store/ObjectContext.h"
#include "store/StoreRepair.h"

#include <QTest>

// The upgrades and repairs over an in-memory graph: what each changes, what it leaves alone,
// and that taking a run back restores the graph.
class DataUpgradesTest : public QObject
{
    Q_OBJECT

private:
    using A = RichText::Attributes;

    static A style(const char* name) { return A{QString::fromLatin1(name), {}, 0, {}}; }

    static RichText currentNotes()
    {
        RichText notes(QStringLiteral("Heading\n"), style("title"));
        notes.append(RichText(QStringLiteral("Sub\n"), style("header")));
        notes.append(RichText(QStringLiteral("Text\n"), style("body")));
        notes.append(RichText(QStringLiteral("Ticked\n"), A{{}, true, 0, {}}));
        notes.append(RichText(QStringLiteral("Fancy"), style("fancy")));
        return notes;
    }

    static ListItem* card(ObjectContext& context, KanbanColumn* column, const QString& title,
                          std::optional<RichText> notes = {})
    {
        auto* item = context.insert<ListItem>();
        item->setTitle(title);
        item->setAttributedNotes(notes);
        if (column)
            column->insertItem(item);
        return item;
    }

    struct Board
    {
        Root* root;
        Kanban* board;
        KanbanColumn* first;
        KanbanColumn* second;
    };

    static Board board(ObjectContext& context)
    {
        auto* root = context.insert<Root>();
        auto* board = context.insert<Kanban>();
        board->setTitle(QStringLiteral("Plans"));
        root->insertChild(board);
        auto* first = context.insert<KanbanColumn>();
        first->setTitle(QStringLiteral("A"));
        first->setKanban(board);
        auto* second = context.insert<KanbanColumn>();
        second->setTitle(QStringLiteral("B"));
        second->setKanban(board);
        return {root, board, first, second};
    }

    static Tag* tag(ObjectContext& context, Kanban* board, const QString& name, qint16 colour)
    {
        auto* tag = context.insert<Tag>();
        tag->setName(name);
        tag->setColour(colour);
        tag->setKanban(board);
        return tag;
    }

private Q_SLOTS:
    void styleUpgrade_leavesCurrentNotesAndOtherStylesAlone()
    {
        ObjectContext context;
        const Board b = board(context);
        ListItem* current = card(context, b.first, QStringLiteral("c"), currentNotes());
        card(context, b.first, QStringLiteral("none"));
        QVERIFY(DataUpgrades::updateNotesTextStyle(context).isEmpty());
        QCOMPARE(current->attributedNotes(), currentNotes());
        QCOMPARE(NoteStyle::kindOf(current->attributedNotes()->attributesAt(20)),
                 NoteStyle::Checklist);
    }

    void strikeThrough_coversDoneCardsOnlyAndCanBeTakenBack()
    {
        ObjectContext context;
        const Board b = board(context);
        ListItem* done = card(context, b.first, QStringLiteral("d"), currentNotes());
        done->setDone(true);
        ListItem* archived = card(context, b.first, QStringLiteral("a"), currentNotes());
        archived->setArchived(true);
        ListItem* doneWithoutNotes = card(context, b.first, QStringLiteral("e"));
        doneWithoutNotes->setDone(true);

        DataChanges changes = DataUpgrades::applyStrikeThroughForArchivedItems(context);
        QCOMPARE(changes.size(), 1);
        changes.apply();
        for (const RichText::Run& run : done->attributedNotes()->runs())
            QCOMPARE(run.attributes.strikethrough, 1); // the title line too
        QCOMPARE(done->attributedNotes()->text(), currentNotes().text());
        QCOMPARE(archived->attributedNotes(), currentNotes());
        QVERIFY(!doneWithoutNotes->attributedNotes());
        QVERIFY(DataUpgrades::applyStrikeThroughForArchivedItems(context).isEmpty());

        changes.revert();
        QCOMPARE(done->attributedNotes(), currentNotes());
        changes.apply();
        QCOMPARE(done->attributedNotes()->attributesAt(0).strikethrough, 1);
    }

    void archivedCards_areMarkedDone()
    {
        ObjectContext context;
        const Board b = board(context);
        ListItem* archived = card(context, b.first, QStringLiteral("a"));
        archived->setArchived(true);
        archived->setDone(std::nullopt);
        ListItem* open = card(context, b.first, QStringLiteral("o"));
        DataChanges changes = DataUpgrades::markArchivedItemsAsDone(context);
        changes.apply();
        QCOMPARE(archived->done(), std::optional<bool>(true));
        QCOMPARE(open->done(), std::optional<bool>(false));
        changes.revert();
        QCOMPARE(archived->done(), std::nullopt);
    }

    void tags_getColoursInTheirOrder()
    {
        ObjectContext context;
        const Board b = board(context);
        Tag* a = tag(context, b.board, QStringLiteral("A"), 5);
        Tag* bee = tag(context, b.board, QStringLiteral("B"), 1);
        Tag* c = tag(context, b.board, QStringLiteral("C"), 6);
        DataChanges changes = DataUpgrades::assignColoursToTags(context);
        QCOMPARE(changes.size(), 2); // B already has its colour
        QTest::ignoreMessage(QtInfoMsg, "assign tag A colour 0");
        QTest::ignoreMessage(QtInfoMsg, "assign tag B colour 1");
        QTest::ignoreMessage(QtInfoMsg, "assign tag C colour 2");
        changes.apply();
        QCOMPARE((QList<qint16>{a->colour(), bee->colour(), c->colour()}),
                 (QList<qint16>{0, 1, 2}));
        changes.revert();
        QCOMPARE((QList<qint16>{a->colour(), bee->colour(), c->colour()}),
                 (QList<qint16>{5, 1, 6}));
    }

    void titleAndNotes_mergeAgainAtEachRun()
    {
        ObjectContext context;
        const Board b = board(context);
        const RichText line(QStringLiteral("old line"), style("body"));
        ListItem* both = card(context, b.first, QStringLiteral("Word"), line);
        ListItem* titleOnly = card(context, b.first, QStringLiteral("Alone"));
        ListItem* untitled = card(context, b.first, QString(), line);

        DataUpgrades::mergeTitleAndNotes(context).apply();
        const RichText& merged = *both->attributedNotes();
        QCOMPARE(merged.text(), QStringLiteral("Word\nold line"));
        QCOMPARE(merged.runs().size(), 2);
        QCOMPARE(merged.runs()[0], (RichText::Run{0, 5, style("title")}));
        QCOMPARE(merged.runs()[1], (RichText::Run{5, 8, style("body")}));
        QCOMPARE(titleOnly->attributedNotes(), RichText(QStringLiteral("Alone"), style("title")));
        QCOMPARE(untitled->attributedNotes(), line);
        QCOMPARE(both->title(), QStringLiteral("Word"));

        DataUpgrades::mergeTitleAndNotes(context).apply();
        QCOMPARE(both->attributedNotes()->text(), QStringLiteral("Word\nWord\nold line"));
    }

    void orphans_goToTheirTagsBoardOrToRecovered()
    {
        ObjectContext context;
        const Board b = board(context);
        card(context, b.first, QStringLiteral("already"));
        Tag* t = tag(context, b.board, QStringLiteral("T"), 0);
        ListItem* tagged = card(context, nullptr, QStringLiteral("tagged"));
        tagged->setTags({t});
        ListItem* lost = card(context, nullptr, QStringLiteral("lost"));
        auto* list = context.insert<List>();
        b.root->insertChild(list);
        ListItem* listed = card(context, nullptr, QStringLiteral("listed"));
        listed->setList(list);

        DataChanges changes = DataUpgrades::attachOrphanedListItems(context);
        QTest::ignoreMessage(QtInfoMsg, "finished fixed 1 still orphaned 2");
        changes.apply();
        QCOMPARE(b.first->item().size(), 2);
        QCOMPARE(b.first->item().last(), tagged);
        QVERIFY(lost->column());
        QCOMPARE(lost->column()->title(), QStringLiteral("Recovered cards"));
        QCOMPARE(lost->column()->kanban()->title(), QStringLiteral("Recovered"));
        QCOMPARE(lost->column()->kanban()->parent(), b.root);
        QCOMPARE(listed->column(), nullptr); // a list shows it
        QVERIFY(GraphCheck::check(context).isEmpty());

        changes.revert();
        QCOMPARE(tagged->column(), nullptr);
        QCOMPARE(lost->column(), nullptr);
        QCOMPARE(b.root->children().size(), 2); // the board made for the run is gone
        changes.apply();
        QCOMPARE(lost->column()->kanban()->title(), QStringLiteral("Recovered"));
        QCOMPARE(b.root->children().size(), 3);
    }

    void repair_bringsBackWhatWasCutOff()
    {
        ObjectContext context;
        const Board b = board(context);
        card(context, b.second, QStringLiteral("kept"));
        auto* folder = context.insert<Folder>(); // its parent's children list was lost
        folder->setTitle(QStringLiteral("Lost folder"));
        auto* column = context.insert<KanbanColumn>(); // its board's columns list was lost
        column->setTitle(QStringLiteral("Lost column"));
        ListItem* inColumn = card(context, column, QStringLiteral("in lost column"));
        auto* secondRoot = context.insert<Root>();
        auto* underSecond = context.insert<Folder>();
        secondRoot->insertChild(underSecond);
        Tag* loose = tag(context, nullptr, QStringLiteral("loose"), 2);
        ListItem* lost = card(context, nullptr, QStringLiteral("lost"));
        lost->setTags({loose});
        QVERIFY(!GraphCheck::check(context).isEmpty());

        const QStringList done = StoreRepair::repair(context);
        QVERIFY2(GraphCheck::check(context).isEmpty(),
                 qPrintable(GraphCheck::check(context).join(u'\n')));
        QCOMPARE(done.size(), 6);
        QCOMPARE(folder->parent(), b.root);
        QCOMPARE(underSecond->parent(), b.root);
        QVERIFY(secondRoot->isDeleted());
        QCOMPARE(column->kanban()->title(), QStringLiteral("Recovered"));
        QCOMPARE(inColumn->column(), column);
        QCOMPARE(lost->column()->kanban(), column->kanban());
        QCOMPARE(loose->kanban(), column->kanban()); // it follows its card
        QVERIFY(StoreRepair::plan(context).isEmpty());
    }
};

PINWHEELS_GUILESS_TEST_MAIN(DataUpgradesTest)
#include "tst_dataupgrades.moc"
