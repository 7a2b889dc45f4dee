#include "BoardFixture.h"
#include "IsolatedEnvironment.h"
#include "board/CardPasteboard.h"
#include "cards/ListItemCellView.h"

#include <QDragMoveEvent>
#include <QMimeData>
#include <QUndoStack>

// Dragging cards within a column and between columns in the three show-archived modes, through
// the table views' own drag payload and drop handling, with the undo of every move.
class CardDragDropTest : public QObject
{
    Q_OBJECT

private:
    TestStore store;

    static KanbanColumnTableView* view(BoardFixture& board, int column)
    {
        return board.lists[column]->columnTableView();
    }
    // A point in the upper or lower half of a row: a drop there goes above or below it.
    static QPoint pointIn(KanbanColumnTableView* view, int row, bool upper = true)
    {
        const QRect rect = view->visualRect(view->model()->index(row, 0));
        return {rect.center().x(),
                upper ? rect.top() + rect.height() / 4 : rect.bottom() - rect.height() / 4};
    }
    // Drags the rows of one column and drops them at a point of another (or the same) column.
    static bool dragAndDrop(BoardFixture& board, int from, const QList<int>& rows, int to,
                            const QPoint& point)
    {
        std::unique_ptr<QMimeData> data = view(board, from)->prepareDrag(rows);
        if (!data)
            return false;
        const bool accepted = view(board, to)->dropCards(data.get(), point, view(board, from));
        board.lists[from]->setDraggedItemIndexes({});
        return accepted;
    }
    QString undoText() const { return store.undo()->undoText(); }

private Q_SLOTS:
    void initTestCase() { QVERIFY(store.open()); }
    void init() { store.reset(); }

    void dragPayload_isOneUriPerCard_resolvingToTheCards()
    {
        BoardFixture board(1);
        ListItem* a = board.card(0, QStringLiteral("A"));
        ListItem* b = board.card(0, QStringLiteral("B"));
        board.show();
        std::unique_ptr<QMimeData> data = view(board, 0)->prepareDrag({1, 2, 0});
        const QStringList uris = CardPasteboard::draggedUris(data.get());
        QCOMPARE(uris.size(), 2); // the spacer row carries nothing
        QCOMPARE(board.context->objectForUri(uris.at(0)), a);
        QCOMPARE(board.context->objectForUri(uris.at(1)), b);
        QCOMPARE(board.lists[0]->draggedItemIndexes(), (QList<int>{0, 1}));
    }

    void hovering_opensAGapAboveTheDropRow_andRefusedRowsOpenNone()
    {
        setListViewMode(1);
        BoardFixture board(2);
        board.card(0, QStringLiteral("A"));
        board.card(1, QStringLiteral("B"));
        board.card(1, QStringLiteral("C"));
        board.card(1, QStringLiteral("X"), true);
        board.show();
        KanbanColumnTableView* target = view(board, 1);
        ListItemCellView* cell = target->cellView();
        std::unique_ptr<QMimeData> data = view(board, 0)->prepareDrag({1});
        const auto hover = [&](const QPoint& point) {
            QDragEnterEvent enter(point, Qt::MoveAction, data.get(), Qt::LeftButton, {});
            QCoreApplication::sendEvent(target->viewport(), &enter);
            QDragMoveEvent move(point, Qt::MoveAction, data.get(), Qt::LeftButton, {});
            QCoreApplication::sendEvent(target->viewport(), &move);
            return move.isAccepted();
        };
        QVERIFY(hover(pointIn(target, 2)));
        QCOMPARE(target->dropRow(), 2);
        QTRY_VERIFY(cell->gapAbove(2) > 30);
        // A point inside the open gap still means "above C".
        const QPoint inGap =
            target->visualRect(target->model()->index(2, 0)).topLeft() + QPoint(30, 10);
        QVERIFY(hover(inGap));
        QCOMPARE(target->dropRow(), 2);
        // The header row takes no drop and opens no gap.
        QVERIFY(!hover(pointIn(target, 3)));
        QCOMPARE(target->dropRow(), -1);
        QCOMPARE(cell->gapAbove(3), 0);
        QVERIFY(hover(pointIn(target, 2)));
        QTRY_VERIFY(cell->gapAbove(2) > 30);
        QVERIFY(target->dropCards(data.get(), inGap, view(board, 0)));
        QCOMPARE(board.storedTitles(1), (QStringList{QStringLiteral("B"), QStringLiteral("A"),
                                                     QStringLiteral("C"), QStringLiteral("X")}));
        QCOMPARE(cell->gapAbove(2), 0);
    }

    void withinAColumn_twoCardsToRowFour_landAtOneAndTwo_andUndoRestores()
    {
        BoardFixture board(1);
        for (const char* title : {"C0", "C1", "C2", "C3", "C4"})
            board.card(0, QString::fromLatin1(title));
        board.show();
        QVERIFY(dragAndDrop(board, 0, {1, 2}, 0, pointIn(view(board, 0), 4)));
        const QStringList moved{QStringLiteral("C2"), QStringLiteral("C0"), QStringLiteral("C1"),
                                QStringLiteral("C3"), QStringLiteral("C4")};
        QCOMPARE(BoardFixture::titles(board.lists[0]->listItems()), moved);
        QCOMPARE(board.storedTitles(0), moved);
        QCOMPARE(undoText(), QStringLiteral("Move 2 Rows"));
        QVERIFY(!board.context->hasChanges()); // saved
        // The moved cards stay selected.
        QCOMPARE(BoardFixture::titles(board.lists[0]->selectedItems()),
                 (QStringList{QStringLiteral("C0"), QStringLiteral("C1")}));

        store.undo()->undo();
        const QStringList original{QStringLiteral("C0"), QStringLiteral("C1"), QStringLiteral("C2"),
                                   QStringLiteral("C3"), QStringLiteral("C4")};
        QCOMPARE(board.storedTitles(0), original);
        QCOMPARE(BoardFixture::titles(board.lists[0]->listItems()), original);
        store.undo()->redo();
        QCOMPARE(board.storedTitles(0), moved);
    }

    void modeZero_aDropBelowTheLastCard_landsAboveTheHiddenArchivedCards()
    {
        BoardFixture board(2);
        board.card(0, QStringLiteral("A"));
        board.card(0, QStringLiteral("B"));
        board.card(0, QStringLiteral("X"), true);
        board.card(1, QStringLiteral("M"));
        board.show();
        KanbanColumnTableView* table = view(board, 0);
        QCOMPARE(table->model()->rowCount(), 4); // spacer, A, B, add-card row
        // Below B, on the add-card row, and past the end all mean "after B, before X".
        QVERIFY(dragAndDrop(board, 0, {1}, 0, pointIn(table, 2, false)));
        QCOMPARE(board.storedTitles(0),
                 (QStringList{QStringLiteral("B"), QStringLiteral("A"), QStringLiteral("X")}));
        QCOMPARE(undoText(), QStringLiteral("Move 1 Rows"));
        QVERIFY(dragAndDrop(board, 0, {1}, 0, QPoint(20, table->viewport()->height() - 2)));
        QCOMPARE(board.storedTitles(0),
                 (QStringList{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("X")}));

        // From another column, too: M goes before X.
        QVERIFY(dragAndDrop(board, 1, {1}, 0, QPoint(20, table->viewport()->height() - 2)));
        QCOMPARE(board.storedTitles(0), (QStringList{QStringLiteral("A"), QStringLiteral("B"),
                                                     QStringLiteral("M"), QStringLiteral("X")}));
        QVERIFY(board.storedTitles(1).isEmpty());
        QCOMPARE(BoardFixture::titles(board.lists[0]->listItems()),
                 (QStringList{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("M"),
                              QStringLiteral("X")}));
    }

    void modeOne_theHeaderRowRefusesDrops_andArchivedCardsReorderBelowIt()
    {
        setListViewMode(1);
        BoardFixture board(1);
        board.card(0, QStringLiteral("A"));
        board.card(0, QStringLiteral("B"));
        board.card(0, QStringLiteral("X"), true);
        board.card(0, QStringLiteral("Y"), true);
        board.show();
        KanbanColumnTableView* table = view(board, 0);
        QCOMPARE(board.lists[0]->rowKind(3), CardRowKind::Header);
        // Above the header (the lower half of B) is the header row itself: refused.
        QCOMPARE(board.lists[0]->validateDropRow(3), -1);
        QVERIFY(!dragAndDrop(board, 0, {1}, 0, pointIn(table, 3)));
        QVERIFY(!dragAndDrop(board, 0, {1}, 0, pointIn(table, 2, false)));
        QVERIFY(store.undo()->count() == 0);
        const QStringList original{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("X"),
                                   QStringLiteral("Y")};
        QCOMPARE(board.storedTitles(0), original);

        // Y above X.
        QVERIFY(dragAndDrop(board, 0, {5}, 0, pointIn(table, 4)));
        const QStringList moved{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("Y"),
                                QStringLiteral("X")};
        QCOMPARE(board.storedTitles(0), moved);
        QCOMPARE(board.lists[0]->itemAtRow(4)->title(), QStringLiteral("Y"));
        store.undo()->undo();
        QCOMPARE(board.storedTitles(0), original);
    }

    void modeTwo_archivedCardsMoveAmongThemselves()
    {
        setListViewMode(2);
        BoardFixture board(1);
        board.card(0, QStringLiteral("A"));
        board.card(0, QStringLiteral("X"), true);
        board.card(0, QStringLiteral("Y"), true);
        board.show();
        KanbanColumnTableView* table = view(board, 0);
        QCOMPARE(table->model()->rowCount(), 3); // spacer, X, Y: no add-card row
        QVERIFY(dragAndDrop(board, 0, {1}, 0, pointIn(table, 2, false)));
        QCOMPARE(board.storedTitles(0),
                 (QStringList{QStringLiteral("A"), QStringLiteral("Y"), QStringLiteral("X")}));
        store.undo()->undo();
        QCOMPARE(board.storedTitles(0),
                 (QStringList{QStringLiteral("A"), QStringLiteral("X"), QStringLiteral("Y")}));
    }

    void betweenColumns_cardsMoveAndComeBackOnUndo()
    {
        BoardFixture board(2);
        ListItem* a = board.card(0, QStringLiteral("A"));
        board.card(0, QStringLiteral("B"));
        board.card(0, QStringLiteral("E"));
        board.card(1, QStringLiteral("C"));
        board.card(1, QStringLiteral("D"));
        board.show();
        // A and E go above D.
        QVERIFY(dragAndDrop(board, 0, {1, 3}, 1, pointIn(view(board, 1), 2)));
        QCOMPARE(board.storedTitles(1), (QStringList{QStringLiteral("C"), QStringLiteral("A"),
                                                     QStringLiteral("E"), QStringLiteral("D")}));
        QCOMPARE(board.storedTitles(0), QStringList{QStringLiteral("B")});
        QCOMPARE(a->column(), board.column(1));
        QCOMPARE(BoardFixture::titles(board.lists[0]->listItems()),
                 QStringList{QStringLiteral("B")});
        QCOMPARE(undoText(), QStringLiteral("Move 2 Rows"));
        QVERIFY(!board.context->hasChanges());

        store.undo()->undo();
        QCOMPARE(board.storedTitles(0),
                 (QStringList{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("E")}));
        QCOMPARE(board.storedTitles(1), (QStringList{QStringLiteral("C"), QStringLiteral("D")}));
        QCOMPARE(BoardFixture::titles(board.lists[1]->listItems()),
                 (QStringList{QStringLiteral("C"), QStringLiteral("D")}));
        QCOMPARE(a->column(), board.column(0));
        store.undo()->redo();
        QCOMPARE(board.storedTitles(0), QStringList{QStringLiteral("B")});
        QCOMPARE(board.storedTitles(1).size(), 4);
    }

    void betweenColumns_aCardThatNoLongerExists_refusesTheWholeDrop()
    {
        BoardFixture board(2);
        board.card(0, QStringLiteral("A"));
        ListItem* b = board.card(0, QStringLiteral("B"));
        board.show();
        std::unique_ptr<QMimeData> data = view(board, 0)->prepareDrag({1, 2});
        board.context->deleteObject(b);
        QTest::ignoreMessage(QtWarningMsg, "could not find item");
        QVERIFY(!view(board, 1)->dropCards(data.get(), pointIn(view(board, 1), 1), view(board, 0)));
        QCOMPARE(board.storedTitles(0), QStringList{QStringLiteral("A")});
        QVERIFY(board.storedTitles(1).isEmpty());
        QCOMPARE(store.undo()->count(), 0);
    }

    void betweenColumns_withATagFilter_movesTheStoredCards_keepingHiddenOnes()
    {
        BoardFixture board(2);
        Tag* red = board.tag(QStringLiteral("red"));
        ListItem* a = board.card(0, QStringLiteral("A"));
        a->setTags({red});
        board.card(1, QStringLiteral("H1")); // hidden by the filter
        board.card(1, QStringLiteral("C"))->setTags({red});
        board.card(1, QStringLiteral("H2"));
        for (KanbanColumnListViewController* list : std::as_const(board.lists))
            list->setTagFilter(QList<Tag*>{red});
        board.show();
        QCOMPARE(BoardFixture::titles(board.lists[1]->listItems()),
                 QStringList{QStringLiteral("C")});
        // A below C: stored after C and its hidden follower, never losing H1 or H2.
        QVERIFY(dragAndDrop(board, 0, {1}, 1, pointIn(view(board, 1), 1, false)));
        QCOMPARE(board.storedTitles(1), (QStringList{QStringLiteral("H1"), QStringLiteral("C"),
                                                     QStringLiteral("H2"), QStringLiteral("A")}));
        QVERIFY(board.storedTitles(0).isEmpty());
        store.undo()->undo();
        QCOMPARE(board.storedTitles(1),
                 (QStringList{QStringLiteral("H1"), QStringLiteral("C"), QStringLiteral("H2")}));
        QCOMPARE(board.storedTitles(0), QStringList{QStringLiteral("A")});
    }
};

PINWHEELS_GUI_TEST_MAIN(CardDragDropTest)
#include "tst_carddragdrop.moc"
