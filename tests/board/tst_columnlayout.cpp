#include "IsolatedEnvironment.h"
#include "KanbanFixture.h"
#include "board/CardTableModel.h"
#include "cards/ListItemCellView.h"
#include "model/RichText.h"

#include <QScrollBar>

// Laying out a column's cards: measured heights replace estimates for every card in view
// without one layout pass ever starting another, whatever the window size, and also where a
// column's scroll bar is needed only once its cards are measured.
class ColumnLayoutTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<AppDelegate> delegate;

    // Notes of many short lines: few stored bytes, so their estimate is far too short.
    static RichText manyLines(int lines)
    {
        QString text;
        for (int i = 0; i < lines; ++i)
            text += QString::number(i % 10) + u'\n';
        return RichText(text, RichText::Attributes{QStringLiteral("body"), {}, 0, {}});
    }

    // Every card row that lies in the viewport has its measured height and is laid out at it.
    static void verifyVisibleRowsMeasured(KanbanColumnTableView* table)
    {
        ListItemCellView* cells = table->cellView();
        CardTableModel* model = table->controller()->tableModel();
        for (int row = 0; row < model->rowCount(); ++row) {
            const QRect rect = table->visualRect(model->index(row));
            if (rect.top() > table->viewport()->height())
                break;
            ListItem* item = model->itemAt(row);
            if (!item || rect.bottom() < 0)
                continue;
            QVERIFY2(cells->hasExactHeight(item), qPrintable(QStringLiteral("row %1").arg(row)));
            QCOMPARE(rect.height(), table->controller()->heightOfRow(row));
        }
    }

private Q_SLOTS:
    void initTestCase()
    {
        delegate = std::make_unique<AppDelegate>();
        QVERIFY(delegate->launch());
    }

    void showingColumns_atSeveralSizes_measuresWithoutReentry_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("800x600") << QSize(800, 600);
        QTest::newRow("1100x700") << QSize(1100, 700);
        QTest::newRow("1440x900") << QSize(1440, 900);
    }
    void showingColumns_atSeveralSizes_measuresWithoutReentry()
    {
        QFETCH(QSize, size);
        // Columns of 1 to 7 cards of 14 lines: their estimates fit the column, their measured
        // heights overflow it from some column on, at every size.
        QStringList titles;
        for (int c = 1; c <= 7; ++c)
            titles.append(QString::number(c));
        KanbanFixture fixture(titles);
        for (int c = 0; c < titles.size(); ++c) {
            for (int k = 0; k <= c; ++k) {
                ListItem* card = fixture.card(fixture.board->column().at(c), QStringLiteral("c"));
                card->setNotesExpanded(true);
                card->setAttributedNotes(manyLines(14));
            }
        }
        fixture.window.resize(size);
        fixture.show();
        QTest::qWait(50);
        bool someScroll = false;
        for (int c = 0; c < titles.size(); ++c) {
            KanbanColumnTableView* table = fixture.item(c)->tableView();
            verifyVisibleRowsMeasured(table);
            someScroll = someScroll || table->verticalScrollBar()->maximum() > 0;
        }
        QVERIFY(someScroll);

        // Scrolling to the end measures what comes into view; resizing lays out again.
        KanbanColumnTableView* longest = fixture.item(int(titles.size()) - 1)->tableView();
        longest->verticalScrollBar()->setValue(longest->verticalScrollBar()->maximum());
        QTest::qWait(20);
        verifyVisibleRowsMeasured(longest);
        fixture.window.resize(size - QSize(0, 150));
        QTest::qWait(50);
        verifyVisibleRowsMeasured(longest);
    }

    void cardWidth_doesNotDependOnTheScrollBar()
    {
        // A column whose cards fit at first and overflow once one more is added: the cards keep
        // their width, so no card is measured again and nothing flips back and forth.
        KanbanFixture fixture({QStringLiteral("a")});
        KanbanColumn* column = fixture.board->column().first();
        ListItem* first = fixture.card(column, QStringLiteral("first"));
        first->setNotesExpanded(true);
        first->setAttributedNotes(manyLines(3));
        fixture.window.resize(800, 600);
        fixture.show();
        KanbanColumnTableView* table = fixture.item(0)->tableView();
        const int width = table->viewport()->width();
        QCOMPARE(table->verticalScrollBar()->maximum(), 0);
        for (int i = 0; i < 6; ++i) {
            ListItem* card = fixture.card(column, QStringLiteral("more"));
            card->setNotesExpanded(true);
            card->setAttributedNotes(manyLines(14));
        }
        fixture.item(0)->listViewController()->fetchListItems();
        QTest::qWait(50);
        QVERIFY(table->verticalScrollBar()->maximum() > 0);
        QCOMPARE(table->viewport()->width(), width);
        verifyVisibleRowsMeasured(table);
    }
};

PINWHEELS_GUI_TEST_MAIN(ColumnLayoutTest)

#include "tst_columnlayout.moc"
