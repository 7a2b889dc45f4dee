#include "BoardFixture.h"
#include "IsolatedEnvironment.h"
#include "board/CardPasteboard.h"
#include "board/StoredOrder.h"
#include "cards/CardEditor.h"
#include "model/Clock.h"
#include "notes/NotesTextView.h"
#include "store/NotificationCenter.h"
#include "widgets/MessageBox.h"

#include <QAction>
#include <QClipboard>
#include <QMenu>
#include <QMimeData>
#include <QUndoStack>

// The display logic of a column's card list: rows of the three modes, search and tag filter,
// adding and deleting cards with undo, and the write-back that keeps hidden cards.
class ColumnCardListTest : public QObject
{
    Q_OBJECT

private:
    TestStore store;

private Q_SLOTS:
    void initTestCase() { QVERIFY(store.open()); }
    void init() { store.reset(); }

    void rows_ofTheThreeModes_mapRowsAndIndexes()
    {
        BoardFixture board(1);
        board.card(0, QStringLiteral("A"));
        board.card(0, QStringLiteral("X"), true);
        board.card(0, QStringLiteral("B"));
        board.show();
        KanbanColumnListViewController* list = board.lists[0];
        // Archived cards sort last, keeping their order.
        QCOMPARE(BoardFixture::titles(list->listItems()),
                 (QStringList{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("X")}));
        QCOMPARE(list->indexArchivesBegin(), 2);

        // Mode 0: spacer, A, B, add-card row.
        QCOMPARE(list->numberOfRows(), 4);
        QCOMPARE(list->rowKind(0), CardRowKind::Spacer);
        QCOMPARE(list->itemAtRow(2)->title(), QStringLiteral("B"));
        QCOMPARE(list->rowKind(3), CardRowKind::AddCard);
        QCOMPARE(list->tableModel()->rowCount(), 4);
        QCOMPARE(list->heightOfRow(0), 1);
        QCOMPARE(list->heightOfRow(3), 48);

        // Mode 1: spacer, A, B, header, X, add-card row.
        setListViewMode(1);
        list->fetchListItems();
        QCOMPARE(list->numberOfRows(), 6);
        QCOMPARE(list->rowKind(3), CardRowKind::Header);
        QCOMPARE(list->heightOfRow(3), 20);
        QCOMPARE(list->indexFromTableWithRow(4), 2);
        QCOMPARE(list->tableRowFromIndex(2), 4);
        QCOMPARE(list->itemAtRow(4)->title(), QStringLiteral("X"));
        QCOMPARE(list->rowKind(5), CardRowKind::AddCard);

        // Mode 2: spacer and X only; no add-card row.
        setListViewMode(2);
        list->fetchListItems();
        QCOMPARE(list->numberOfRows(), 2);
        QCOMPARE(list->itemAtRow(1)->title(), QStringLiteral("X"));
        QCOMPARE(list->indexFromTableWithRow(1), 2);
        QCOMPARE(list->tableRowFromIndex(2), 1);
        QCOMPARE(list->tableModel()->rowCount(), 2);
    }

    void search_andTagFilter_selectCards()
    {
        BoardFixture board(1);
        Tag* milkRun = board.tag(QStringLiteral("milk-run"));
        Tag* home = board.tag(QStringLiteral("home"));
        Tag* work = board.tag(QStringLiteral("work"));
        board.card(0, QStringLiteral("buy milk"))->setTags({home});
        board.card(0, QStringLiteral("errands"))->setTags({milkRun});
        ListItem* notes = board.card(0, QStringLiteral("note"));
        notes->setAttributedNotes(RichText(QStringLiteral("note\nget MILK too")));
        board.card(0, QStringLiteral("other"))->setTags({work});
        board.card(0, QStringLiteral("bare"));
        board.show();
        KanbanColumnListViewController* list = board.lists[0];

        list->setSearchTerm(QStringLiteral("Milk"));
        list->fetchListItems();
        QCOMPARE(BoardFixture::titles(list->listItems()),
                 (QStringList{QStringLiteral("buy milk"), QStringLiteral("errands"),
                              QStringLiteral("note")}));

        // Any of the filter's tags lets a card through; cards without tags never pass.
        list->setSearchTerm({});
        list->setTagFilter(QList<Tag*>{home, work});
        list->fetchListItems();
        QCOMPARE(BoardFixture::titles(list->listItems()),
                 (QStringList{QStringLiteral("buy milk"), QStringLiteral("other")}));
        // Both apply together.
        list->setSearchTerm(QStringLiteral("OTH"));
        list->fetchListItems();
        QCOMPARE(BoardFixture::titles(list->listItems()), QStringList{QStringLiteral("other")});
        // An empty filter passes nothing; no filter passes everything.
        list->setSearchTerm({});
        list->setTagFilter(QList<Tag*>{});
        list->fetchListItems();
        QVERIFY(list->listItems().isEmpty());
        QCOMPARE(list->numberOfRows(), 2); // spacer and add-card row
        list->setTagFilter(std::nullopt);
        list->fetchListItems();
        QCOMPARE(list->listItems().size(), 5);
    }

    void storedOrder_keepsHiddenCardsAfterTheShownCardTheyFollowed()
    {
        auto* context = store.context();
        QList<ListItem*> c;
        for (int i = 0; i < 6; ++i)
            c.append(context->insert<ListItem>());
        // Stored h0 s1 h2 s3 h4; shown s1 s3.
        const QList<ListItem*> stored{c[0], c[1], c[2], c[3], c[4]};
        QCOMPARE(StoredOrder::merge(stored, {c[3], c[1]}),
                 (QList<ListItem*>{c[0], c[3], c[4], c[1], c[2]}));
        // A new card between the shown ones goes right above the one below it...
        QCOMPARE(StoredOrder::merge(stored, {c[1], c[5], c[3]}),
                 (QList<ListItem*>{c[0], c[1], c[2], c[5], c[3], c[4]}));
        // ... at the very end when it is last, and below the leading hidden card when first.
        QCOMPARE(StoredOrder::merge(stored, {c[1], c[3], c[5]}),
                 (QList<ListItem*>{c[0], c[1], c[2], c[3], c[4], c[5]}));
        QCOMPARE(StoredOrder::merge(stored, {c[5], c[1], c[3]}),
                 (QList<ListItem*>{c[0], c[5], c[1], c[2], c[3], c[4]}));
        // Nothing shown: every stored card stays.
        QCOMPARE(StoredOrder::merge(stored, {}), stored);
    }

    void addingACard_isUntitledExpandedAndOpen_andUndoableAsNewCard()
    {
        BoardFixture board(1);
        board.card(0, QStringLiteral("A"));
        board.card(0, QStringLiteral("X"), true);
        board.show();
        KanbanColumnListViewController* list = board.lists[0];
        KanbanColumnTableView* view = list->columnTableView();
        // A click on the add-card row.
        const QRect addRow = view->visualRect(view->model()->index(2, 0));
        QCOMPARE(list->rowKind(2), CardRowKind::AddCard);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, addRow.center());
        QCOMPARE(list->listItems().size(), 3);
        ListItem* added = list->listItems().at(1);
        QCOMPARE(added->title(), QStringLiteral("untitled"));
        QCOMPARE(added->notesExpanded(), std::optional<bool>(true));
        QCOMPARE(added->column(), board.column(0));
        // Stored above the archived card, and open for typing.
        QCOMPARE(
            board.storedTitles(0),
            (QStringList{QStringLiteral("A"), QStringLiteral("untitled"), QStringLiteral("X")}));
        auto* editor = qobject_cast<CardEditor*>(view->indexWidget(view->model()->index(2, 0)));
        QVERIFY(editor);
        QTRY_VERIFY(editor->notesTextView()->hasFocus());
        QCOMPARE(store.undo()->undoText(), QStringLiteral("New Card"));
        QVERIFY(!board.context->hasChanges());

        store.undo()->undo();
        QVERIFY(added->isDeleted());
        QCOMPARE(board.storedTitles(0), (QStringList{QStringLiteral("A"), QStringLiteral("X")}));
        QCOMPARE(store.undo()->redoText(), QStringLiteral("New Card"));
        store.undo()->redo();
        QCOMPARE(
            board.storedTitles(0),
            (QStringList{QStringLiteral("A"), QStringLiteral("untitled"), QStringLiteral("X")}));

        // Above and below a card.
        list->addCardAbove(list->listItems().at(0));
        list->addCardBelow(list->listItems().at(0));
        QCOMPARE(
            BoardFixture::titles(list->listItems()),
            (QStringList{QStringLiteral("untitled"), QStringLiteral("untitled"),
                         QStringLiteral("A"), QStringLiteral("untitled"), QStringLiteral("X")}));
        QCOMPARE(list->listItems().at(1)->title(), QStringLiteral("untitled"));
    }

    void addingACard_whileFiltered_takesTheFilterTags_andKeepsHiddenCards()
    {
        BoardFixture board(1);
        Tag* t = board.tag(QStringLiteral("T"));
        Tag* u = board.tag(QStringLiteral("U"));
        board.card(0, QStringLiteral("H1"));
        board.card(0, QStringLiteral("S"))->setTags({t});
        board.card(0, QStringLiteral("H2"));
        board.lists[0]->setTagFilter(QList<Tag*>{u, t});
        board.show();
        KanbanColumnListViewController* list = board.lists[0];
        ListItem* added = list->addCardAtIndex(-1);
        QCOMPARE(added->tags(), (QList<Tag*>{u, t}));
        // At the very end of the column, hidden cards kept in place.
        QCOMPARE(board.storedTitles(0),
                 (QStringList{QStringLiteral("H1"), QStringLiteral("S"), QStringLiteral("H2"),
                              QStringLiteral("untitled")}));
        // Above the first shown card: after the leading hidden card.
        list->addCardAtIndex(0);
        QCOMPARE(board.storedTitles(0),
                 (QStringList{QStringLiteral("H1"), QStringLiteral("untitled"), QStringLiteral("S"),
                              QStringLiteral("H2"), QStringLiteral("untitled")}));
        store.undo()->undo();
        store.undo()->undo();
        QCOMPARE(board.storedTitles(0),
                 (QStringList{QStringLiteral("H1"), QStringLiteral("S"), QStringLiteral("H2")}));
        // U lost its last card and went at the save: a new card does not get it back.
        QVERIFY(u->isDeleted());
        QCOMPARE(list->addCardAtIndex(-1)->tags(), QList<Tag*>{t});
    }

    void deletingCards_undoRebuildsThemAtTheirRows_andRedoDeletesAgain()
    {
        BoardFixture board(2);
        Tag* urgent = board.tag(QStringLiteral("urgent"), 3);
        board.card(0, QStringLiteral("A"));
        ListItem* b = board.card(0, QStringLiteral("B"));
        b->setTags({urgent});
        b->setPriority(1);
        board.card(0, QStringLiteral("C"));
        board.card(0, QStringLiteral("D"));
        board.card(1, QStringLiteral("other")); // keeps the tag alive meanwhile
        board.column(1)->item().first()->setTags({urgent});
        board.show();
        KanbanColumnListViewController* list = board.lists[0];
        KanbanColumnTableView* view = list->columnTableView();
        QItemSelection selection;
        for (int row : {2, 4})
            selection.select(view->model()->index(row, 0), view->model()->index(row, 0));
        view->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
        view->setFocus();
        QTest::keyClick(view, Qt::Key_Delete);
        QVERIFY(b->isDeleted());
        QCOMPARE(board.storedTitles(0), (QStringList{QStringLiteral("A"), QStringLiteral("C")}));
        QCOMPARE(store.undo()->undoText(), QStringLiteral("Delete Card"));
        QVERIFY(!board.context->hasChanges());

        store.undo()->undo();
        QCOMPARE(board.storedTitles(0), (QStringList{QStringLiteral("A"), QStringLiteral("B"),
                                                     QStringLiteral("C"), QStringLiteral("D")}));
        ListItem* rebuilt = board.column(0)->item().at(1);
        QVERIFY(rebuilt != b);
        QCOMPARE(rebuilt->tags(), QList<Tag*>{urgent}); // the board's own tag again
        QCOMPARE(rebuilt->isPriority(), true);
        QCOMPARE(board.board->tags(), QList<Tag*>{urgent});
        QCOMPARE(BoardFixture::titles(list->selectedItems()),
                 (QStringList{QStringLiteral("B"), QStringLiteral("D")}));

        store.undo()->redo();
        QVERIFY(rebuilt->isDeleted());
        QCOMPARE(board.storedTitles(0), (QStringList{QStringLiteral("A"), QStringLiteral("C")}));
    }

    void copyAndPaste_reattachesTagsByExactName()
    {
        BoardFixture source(1);
        Tag* urgentHere = source.tag(QStringLiteral("urgent"));
        Tag* upper = source.tag(QStringLiteral("Urgent"));
        ListItem* one = source.card(0, QStringLiteral("one"));
        one->setTags({urgentHere, upper});
        ListItem* two = source.card(0, QStringLiteral("two"));
        two->setTags({urgentHere});
        source.show();
        source.lists[0]->columnTableView()->selectAll();
        source.lists[0]->copySelectedCardsToPasteboard();
        QVERIFY(
            QApplication::clipboard()->mimeData()->hasFormat(QStringLiteral("Kanban.CardData")));

        BoardFixture target(1);
        Tag* urgent = target.tag(QStringLiteral("urgent"), 4);
        target.card(0, QStringLiteral("first"));
        target.show();
        const qsizetype undoSteps = store.undo()->count();
        const QList<ListItem*> pasted = target.lists[0]->paste();
        QCOMPARE(pasted.size(), 2);
        QCOMPARE(
            target.storedTitles(0),
            (QStringList{QStringLiteral("first"), QStringLiteral("one"), QStringLiteral("two")}));
        // urgent matches urgent on both cards; Urgent matches nothing and joins the board.
        QCOMPARE(pasted.at(0)->tags().size(), 2);
        QVERIFY(pasted.at(0)->tags().contains(urgent));
        QCOMPARE(pasted.at(1)->tags(), QList<Tag*>{urgent});
        Tag* newUpper = pasted.at(0)->tags().at(0) == urgent ? pasted.at(0)->tags().at(1)
                                                             : pasted.at(0)->tags().at(0);
        QCOMPARE(newUpper->name(), QStringLiteral("Urgent"));
        QVERIFY(newUpper != upper);
        QCOMPARE(newUpper->kanban(), target.board);
        QCOMPARE(target.board->tags().size(), 2);
        QCOMPARE(target.context
                     ->fetch<Tag>([&](const Tag& tag) {
                         return tag.kanban() == target.board || !tag.kanban();
                     })
                     .size(),
                 2); // the pasted duplicate of urgent is gone
        QCOMPARE(store.undo()->count(), undoSteps + 1);
        QCOMPARE(store.undo()->undoText(), QStringLiteral("Paste Card"));
        QVERIFY(!target.context->hasChanges());
        QCOMPARE(BoardFixture::titles(target.lists[0]->selectedItems()),
                 (QStringList{QStringLiteral("one"), QStringLiteral("two")}));

        // Cut: a copy, then one undoable deletion.
        target.lists[0]->columnTableView()->selectionModel()->select(
            target.lists[0]->columnTableView()->model()->index(1, 0),
            QItemSelectionModel::ClearAndSelect);
        target.lists[0]->cut();
        QCOMPARE(target.storedTitles(0),
                 (QStringList{QStringLiteral("one"), QStringLiteral("two")}));
        QCOMPARE(store.undo()->undoText(), QStringLiteral("Delete Card"));
        QVERIFY(
            QApplication::clipboard()->mimeData()->hasFormat(QStringLiteral("Kanban.CardData")));
    }

    void paste_takesTheStateOfTheSectionItLandsIn()
    {
        BoardFixture source(1);
        source.card(0, QStringLiteral("active"));
        source.card(0, QStringLiteral("archived"), true);
        source.show();
        setListViewMode(1);
        source.refetch();
        source.lists[0]->columnTableView()->selectAll();
        source.lists[0]->copySelectedCardsToPasteboard();

        BoardFixture target(1);
        target.card(0, QStringLiteral("A"));
        target.card(0, QStringLiteral("X"), true);
        target.show();
        // Mode 1, no selection: after the last card, below the header: done and archived.
        QList<ListItem*> pasted = target.lists[0]->paste();
        QCOMPARE(pasted.size(), 2);
        for (ListItem* item : pasted) {
            QVERIFY(item->isArchived());
            QVERIFY(item->isDone());
        }
        QCOMPARE(target.storedTitles(0),
                 (QStringList{QStringLiteral("A"), QStringLiteral("X"), QStringLiteral("active"),
                              QStringLiteral("archived")}));
        // Above the header, after the selected A: active.
        target.lists[0]->selectRowFor(target.column(0)->item().first());
        pasted = target.lists[0]->paste();
        for (ListItem* item : pasted) {
            QVERIFY(!item->isArchived());
            QVERIFY(!item->isDone());
        }
        QCOMPARE(target.lists[0]->indexArchivesBegin(), 3);

        // Mode 0: archived cards come back active; the others keep their flags.
        setListViewMode(0);
        target.refetch();
        pasted = target.lists[0]->paste();
        QVERIFY(!pasted.at(1)->isArchived());
        QVERIFY(!pasted.at(1)->isDone());
        // Mode 2: everything archived and done.
        setListViewMode(2);
        target.refetch();
        pasted = target.lists[0]->paste();
        QVERIFY(pasted.at(0)->isArchived() && pasted.at(0)->isDone());
    }

    void paste_ofSomethingElse_changesNothing()
    {
        BoardFixture board(1);
        board.card(0, QStringLiteral("A"));
        board.show();
        auto* data = new QMimeData;
        data->setData(QStringLiteral("Kanban.CardData"), QByteArray("not cbor at all"));
        QApplication::clipboard()->setMimeData(data);
        MessageBox::setNextAnswer(0);
        MessageBox::takeShownAlerts();
        QVERIFY(board.lists[0]->paste().isEmpty());
        const QList<MessageBox::Alert> alerts = MessageBox::takeShownAlerts();
        QCOMPARE(alerts.size(), 1);
        QCOMPARE(alerts.first().text, QStringLiteral("The cards cannot be pasted."));
        QCOMPARE(board.storedTitles(0), QStringList{QStringLiteral("A")});

        // Copied columns go to the board.
        auto* columns = new QMimeData;
        columns->setData(QStringLiteral("Kanban.ColumnData"), QByteArray("\x80"));
        QApplication::clipboard()->setMimeData(columns);
        board.lists[0]->paste();
        QCOMPARE(board.pastedColumns, 1);
    }

    void markAsDone_strikesThroughAndDates_andUndoReArchivesOnlyWhatItRestored()
    {
        Clock::setNow(QDateTime(QDate(2024, 3, 12), QTime(10, 0), Qt::UTC));
        setListViewMode(2);
        BoardFixture board(1);
        ListItem* x = board.card(0, QStringLiteral("X"), true);
        board.show();
        int refreshes = 0;
        int marked = 0;
        QObject observer;
        NotificationCenter::defaultCenter().addObserver(&observer, QStringLiteral("refreshToolBar"),
                                                        [&](const auto&) { ++refreshes; });
        NotificationCenter::defaultCenter().addObserver(&observer, QStringLiteral("itemMarkedDone"),
                                                        [&](const auto&) { ++marked; });
        KanbanColumnListViewController* list = board.lists[0];
        // Unticking an archived card restores it: it leaves the archived-only table.
        list->flipDoneStateOfItem(x);
        QVERIFY(!x->isDone());
        QVERIFY(!x->isArchived());
        QVERIFY(!x->doneDate().isValid());
        QCOMPARE(x->attributedNotes()->runs().first().attributes.strikethrough, 0);
        QCOMPARE(list->numberOfRows(), 1);
        QCOMPARE(store.undo()->undoText(), QStringLiteral("Mark as Done"));
        QCOMPARE(refreshes, 1);
        QCOMPARE(marked, 1);

        store.undo()->undo();
        QVERIFY(x->isDone());
        QVERIFY(x->isArchived());
        QCOMPARE(x->doneDate(), Clock::now());
        QCOMPARE(x->attributedNotes()->runs().first().attributes.strikethrough, 1);
        QCOMPARE(list->itemAtRow(1), x);

        // A card that was not archived is not archived by the undo.
        setListViewMode(0);
        ListItem* a = board.card(0, QStringLiteral("A"));
        list->fetchListItems();
        list->flipDoneStateOfItem(a);
        QVERIFY(a->isDone());
        list->flipDoneStateOfItem(a);
        store.undo()->undo();
        QVERIFY(a->isDone());
        QVERIFY(!a->isArchived());
        QVERIFY(!board.context->hasChanges());
        Clock::setNow({});
    }

    void archiveDoneItems_archivesOnlyInModeZero()
    {
        BoardFixture board(1);
        ListItem* a = board.card(0, QStringLiteral("A"));
        a->setDone(true);
        board.card(0, QStringLiteral("B"));
        board.card(0, QStringLiteral("C"), true);
        board.show();
        setListViewMode(1);
        board.refetch();
        QVERIFY(board.lists[0]->archiveDoneItems().isEmpty());
        QVERIFY(!a->isArchived());
        setListViewMode(0);
        board.refetch();
        QCOMPARE(board.lists[0]->archiveDoneItems(), QList<ListItem*>{a});
        QVERIFY(a->isArchived());
        QCOMPARE(BoardFixture::titles(board.lists[0]->listItems()),
                 (QStringList{QStringLiteral("B"), QStringLiteral("A"), QStringLiteral("C")}));
        QCOMPARE(board.lists[0]->numberOfRows(), 3);
        QVERIFY(!board.context->hasChanges());
    }

    void selection_onlyCards_andOneColumnAtATime()
    {
        setListViewMode(1);
        BoardFixture board(2);
        board.card(0, QStringLiteral("A"));
        board.card(0, QStringLiteral("X"), true);
        board.card(1, QStringLiteral("B"));
        board.show();
        KanbanColumnTableView* first = board.lists[0]->columnTableView();
        KanbanColumnTableView* second = board.lists[1]->columnTableView();
        first->selectAll();
        QCOMPARE(board.lists[0]->selectedRows(), (QList<int>{1, 3}));
        QCOMPARE(first->selectionModel()->selectedIndexes().size(),
                 2); // no spacer, header, add row
        QTest::mouseClick(second->viewport(), Qt::LeftButton, {},
                          second->visualRect(second->model()->index(1, 0)).topLeft() +
                              QPoint(40, 4));
        QCOMPARE(board.lists[1]->selectedRows(), QList<int>{1});
        QVERIFY(board.lists[0]->selectedRows().isEmpty());
    }

    void selectingAnotherCard_collapsesTheEmptyCardLeft()
    {
        BoardFixture board(1);
        board.card(0, QStringLiteral("A"));
        board.show();
        KanbanColumnListViewController* list = board.lists[0];
        ListItem* added = list->addCardAtIndex(-1);
        QCOMPARE(added->notesExpanded(), std::optional<bool>(true));
        list->selectRowFor(added);
        list->selectRowFor(list->listItems().first());
        QCOMPARE(added->notesExpanded(), std::optional<bool>(false));
        QVERIFY(!board.context->hasChanges());
        // A card with text keeps its state.
        ListItem* a = list->listItems().first();
        a->setNotesExpanded(true);
        list->selectRowFor(added);
        QCOMPARE(a->notesExpanded(), std::optional<bool>(true));
    }

    void columnMenu_namesItsItems_andAsksTheBoard()
    {
        BoardFixture board(1);
        board.show();
        QMenu menu;
        board.lists[0]->addColumnMenuItems(&menu);
        const QList<QAction*> actions = menu.actions();
        QCOMPARE(actions.size(), 3);
        QCOMPARE(actions.at(0)->text(), QStringLiteral("Add Column Before"));
        QCOMPARE(actions.at(1)->text(), QStringLiteral("Add Column After"));
        QCOMPARE(actions.at(2)->objectName(), QStringLiteral("deleteList"));
        QCOMPARE(actions.at(2)->text(), QStringLiteral("Delete List"));
        actions.at(1)->trigger();
        actions.at(2)->trigger();
        QCOMPARE(board.addedColumns.size(), 1);
        QCOMPARE(board.addedColumns.first().second, true);
        QCOMPARE(board.deletedColumns, QList<KanbanColumn*>{board.column(0)});
        board.selectedColumns = 2;
        QMenu several;
        board.lists[0]->addColumnMenuItems(&several);
        QCOMPARE(several.actions().at(2)->text(), QStringLiteral("Delete Selected Lists"));
    }
};

PINWHEELS_GUI_TEST_MAIN(ColumnCardListTest)
#include "tst_columncardlist.moc"
