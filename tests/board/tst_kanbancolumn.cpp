#include "IsolatedEnvironment.h"
#include "KanbanFixture.h"
#include "board/CardTableModel.h"
#include "board/KanbanCollectionViewFlowLayout.h"
#include "board/KanbanColumnView.h"
#include "model/List.h"

#include <QMenu>
#include <QScrollArea>
#include <QScrollBar>
#include <QWheelEvent>

// The column cell: its title (fitted, renamed in place with undo), selection by clicks and
// right clicks, its context menu with "Add from List", and scrolling the board from a column.
class KanbanColumnTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<AppDelegate> delegate;

    static QPoint titlePoint(KanbanColumnViewItem* item)
    {
        return item->columnTitle()->geometry().center();
    }
    static void rightClick(KanbanColumnViewItem* item, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::mouseClick(item->view(), Qt::RightButton, modifiers, titlePoint(item));
    }
    // The open context menu; closed when the test no longer needs it.
    static QMenu* openMenu() { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); }
    static QAction* actionTitled(QMenu* menu, const QString& text)
    {
        for (QAction* action : menu->actions()) {
            if (action->text() == text)
                return action;
        }
        return nullptr;
    }

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

    void titleFont_fitsBetween11And22Points()
    {
        const QFont font = QApplication::font();
        const int width = KanbanColumnViewItem::titleWidth;
        QCOMPARE(KanbanColumnViewItem::fittedTitleFontSize(QStringLiteral("To do"), font, width),
                 22);
        const QString longer = QStringLiteral("Waiting for others");
        const int size = KanbanColumnViewItem::fittedTitleFontSize(longer, font, width);
        QVERIFY(size < 22 && size > 11);
        QFont sized = font;
        sized.setPointSize(size);
        QVERIFY(QFontMetrics(sized).horizontalAdvance(longer) < width);
        sized.setPointSize(size + 1);
        QVERIFY(QFontMetrics(sized).horizontalAdvance(longer) >= width - 8);
        // Never below 11, even when it still does not fit.
        QCOMPARE(KanbanColumnViewItem::fittedTitleFontSize(QString(200, u'W'), font, width), 11);

        KanbanFixture fixture({QStringLiteral("To do"), QString(120, u'x')});
        fixture.show();
        QCOMPARE(fixture.item(0)->titleFontSize(), 22);
        QCOMPARE(fixture.item(1)->titleFontSize(), 11);
    }

    void renaming_byDoubleClickOnASelectedColumn_withUndo()
    {
        KanbanFixture fixture({QStringLiteral("a"), QStringLiteral("other")});
        fixture.show();
        KanbanColumnViewItem* item = fixture.item(0);
        DelaySelectionTextField* title = item->columnTitle();
        QVERIFY(!title->isEditing());
        // A click selects the column; the title stays a label.
        QTest::mouseClick(title, Qt::LeftButton, {}, title->rect().center());
        QCOMPARE(fixture.view->selectedColumnIndexes(), QList<int>{0});
        QVERIFY(title->isSelected());
        QVERIFY(!title->isEditing());
        QTest::mouseDClick(title, Qt::LeftButton, {}, title->rect().center());
        QVERIFY(title->isEditing());
        QVERIFY(title->hasFocus());
        QTest::keyClicks(title, QStringLiteral("b"));
        QTest::keyClick(title, Qt::Key_Return);
        QVERIFY(!title->isEditing());
        QCOMPARE(fixture.board->column().first()->title(), QStringLiteral("b"));
        QVERIFY(!fixture.context->hasChanges());
        QCOMPARE(delegate->undoManager()->undoText(), QStringLiteral("Change Column Title"));
        delegate->undoManager()->undo();
        QCOMPARE(fixture.board->column().first()->title(), QStringLiteral("a"));
        QCOMPARE(title->text(), QStringLiteral("a"));
        QCOMPARE(delegate->undoManager()->redoText(), QStringLiteral("Change Column Title"));
        delegate->undoManager()->redo();
        QCOMPARE(title->text(), QStringLiteral("b"));

        // F2 on the board renames the selected column; Escape abandons the edit.
        QTest::keyClick(fixture.view, Qt::Key_F2);
        QVERIFY(title->isEditing());
        QTest::keyClicks(title, QStringLiteral("never"));
        QTest::keyClick(title, Qt::Key_Escape);
        QCOMPARE(title->text(), QStringLiteral("b"));
        QCOMPARE(fixture.board->column().first()->title(), QStringLiteral("b"));
        // The same title again is no change to undo.
        const int steps = delegate->undoManager()->count();
        item->changeColumnTitleWithNewTitle(QStringLiteral("b"));
        QCOMPARE(delegate->undoManager()->count(), steps);
        // A double click alone on an unselected column's title is no edit.
        fixture.view->clearColumnSelection();
        QVERIFY(!title->isSelected());
        QTest::mouseDClick(fixture.item(1)->columnTitle(), Qt::LeftButton);
        QVERIFY(!fixture.item(1)->columnTitle()->isEditing());
    }

    void selection_byClicksAndRightClicks_andTheContextMenu()
    {
        KanbanFixture fixture({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
        ListItem* card = fixture.card(fixture.board->column().at(1), QStringLiteral("card"));
        fixture.show();
        KanbanViewController* view = fixture.view;
        QTest::mouseClick(fixture.item(0)->view(), Qt::LeftButton, {}, titlePoint(fixture.item(0)));
        QCOMPARE(view->selectedColumnIndexes(), QList<int>{0});
        QCOMPARE(fixture.item(0)->view()->backgroundColour(), QColor(0, 0, 0, 128));
        QCOMPARE(fixture.item(1)->view()->backgroundColour().alpha(), 0);
        // Titles stay legible: white on the dark selection and on pictures (a board without a
        // picture of its own shows the first one), the palette's text colour on a plain board.
        QCOMPARE(fixture.item(0)->columnTitle()->palette().color(QPalette::Text),
                 QColor(Qt::white));
        QCOMPARE(fixture.item(1)->columnTitle()->palette().color(QPalette::Text),
                 QColor(Qt::white));
        QVERIFY(fixture.item(1)->columnTitle()->graphicsEffect());
        view->setOnPicture(false);
        QCOMPARE(fixture.item(1)->columnTitle()->palette().color(QPalette::Text),
                 QPalette().color(QPalette::WindowText));
        QVERIFY(!fixture.item(1)->columnTitle()->graphicsEffect());
        view->setOnPicture(true);
        QVERIFY(fixture.item(1)->columnTitle()->graphicsEffect());

        // A right click on an unselected column leaves it alone selected, then opens the menu.
        rightClick(fixture.item(2));
        QCOMPARE(view->selectedColumnIndexes(), QList<int>{2});
        QMenu* menu = openMenu();
        QVERIFY(menu);
        QVERIFY(actionTitled(menu, QStringLiteral("Delete List")));
        QVERIFY(actionTitled(menu, QStringLiteral("Add from List")));
        menu->close();
        // With Shift it joins the selection, and the menu speaks of several lists.
        rightClick(fixture.item(0), Qt::ShiftModifier);
        QCOMPARE(view->selectedColumnIndexes(), (QList<int>{0, 2}));
        menu = openMenu();
        QVERIFY(menu);
        QAction* remove = actionTitled(menu, QStringLiteral("Delete Selected Lists"));
        QVERIFY(remove);
        // Control and a click is a right click; on a selected column it keeps the selection.
        menu->close();
        QTest::mouseClick(fixture.item(2)->view(), Qt::LeftButton, Qt::ControlModifier,
                          titlePoint(fixture.item(2)));
        QCOMPARE(view->selectedColumnIndexes(), (QList<int>{0, 2}));
        menu = openMenu();
        QVERIFY(menu);
        actionTitled(menu, QStringLiteral("Delete Selected Lists"))->trigger();
        menu->close();
        QCOMPARE(fixture.columnTitles(), QStringList{QStringLiteral("B")});
        QCOMPARE(delegate->undoManager()->undoText(), QStringLiteral("Delete Column"));

        // Selecting a card ends the column selection, and selecting a column the card's.
        view->setSelectedColumnIndexes({0});
        fixture.item(0)->listViewController()->selectRowFor(card);
        QVERIFY(view->selectedColumnIndexes().isEmpty());
        QVERIFY(view->canPerformEditAction(EditAction::Delete)); // on the selected card
        QTest::mouseClick(fixture.item(0)->view(), Qt::LeftButton, {}, titlePoint(fixture.item(0)));
        QVERIFY(fixture.item(0)->listViewController()->selectedRows().isEmpty());
        QVERIFY(view->hasFocus());
        // Shift and a click extends the selection; a click between columns clears it.
        delegate->undoManager()->undo();
        QTest::mouseClick(fixture.item(2)->view(), Qt::LeftButton, Qt::ShiftModifier,
                          titlePoint(fixture.item(2)));
        QCOMPARE(view->selectedColumnIndexes(), (QList<int>{0, 1, 2}));
        QTest::mouseClick(view->columnCollectionView(), Qt::LeftButton, {}, QPoint(5, 300));
        QVERIFY(view->selectedColumnIndexes().isEmpty());
    }

    void addFromList_queuesAListsItemOntoTheColumn()
    {
        KanbanFixture fixture({QStringLiteral("Today")});
        auto* folder = fixture.context->insert<Folder>();
        folder->setTitle(QStringLiteral("Home"));
        folder->setParent(fixture.root());
        fixture.board->setParent(folder);
        auto* list = fixture.context->insert<List>();
        list->setTitle(QStringLiteral("Errands"));
        list->setParent(folder);
        auto* post = fixture.context->insert<ListItem>();
        post->setTitle(QStringLiteral("post"));
        list->insertItem(post);
        fixture.show();
        KanbanColumn* column = fixture.board->column().first();

        rightClick(fixture.item(0));
        QMenu* menu = openMenu();
        QVERIFY(menu);
        QAction* addFromList = actionTitled(menu, QStringLiteral("Add from List"));
        QVERIFY(addFromList && addFromList->isEnabled());
        QMenu* lists = addFromList->menu();
        QCOMPARE(lists->actions().first()->text(), QStringLiteral("Home"));
        QVERIFY(!lists->actions().first()->isEnabled());
        QMenu* errands = lists->actions().at(1)->menu();
        QVERIFY(errands);
        QCOMPARE(errands->actions().first()->text(), QStringLiteral("New Item\u2026"));
        QCOMPARE(errands->actions().last()->text(), QStringLiteral("post"));
        errands->actions().last()->trigger();
        menu->close();
        // On the column and still in the list; shown and saved.
        QCOMPARE(post->column(), column);
        QCOMPARE(post->list(), list);
        QCOMPARE(fixture.item(0)->listViewController()->listItems(), QList<ListItem*>{post});
        QVERIFY(!fixture.context->hasChanges());

        rightClick(fixture.item(0));
        menu = openMenu();
        QVERIFY(menu);
        actionTitled(menu, QStringLiteral("Add from List"))
            ->menu()
            ->actions()
            .at(1)
            ->menu()
            ->actions()
            .first()
            ->trigger();
        menu->close();
        QCOMPARE(KanbanFixture::titlesOf(list->item()),
                 (QStringList{QStringLiteral("New Item"), QStringLiteral("post")}));
        QCOMPARE(KanbanFixture::titlesOf(column->item()),
                 (QStringList{QStringLiteral("post"), QStringLiteral("New Item")}));
        QCOMPARE(fixture.item(0)->listViewController()->listItems().size(), 2);

        // A board in no folder has nothing to add from.
        fixture.board->setParent(nullptr);
        rightClick(fixture.item(0));
        menu = openMenu();
        QVERIFY(menu);
        QVERIFY(!actionTitled(menu, QStringLiteral("Add from List"))->isEnabled());
        menu->close();
    }

    void emptyAreaOfAColumn_opensTheColumnMenu_andTheWheelScrollsTheBoardSideways()
    {
        KanbanFixture fixture({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"),
                               QStringLiteral("D"), QStringLiteral("E"), QStringLiteral("F")});
        fixture.window.resize(700, 500);
        fixture.show();
        QWidget* viewport = fixture.item(1)->tableView()->viewport();
        const QPoint below(40, viewport->height() - 20);
        QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, below, viewport->mapToGlobal(below));
        QApplication::sendEvent(viewport, &menuEvent);
        QCOMPARE(fixture.view->selectedColumnIndexes(), QList<int>{1});
        QMenu* menu = openMenu();
        QVERIFY(menu);
        QVERIFY(actionTitled(menu, QStringLiteral("Add Column After")));
        menu->close();

        QScrollBar* bar = fixture.view->scrollView()->horizontalScrollBar();
        QVERIFY(bar->maximum() > 0);
        QCOMPARE(bar->value(), 0);
        QWheelEvent wheel(QPointF(40, 40), viewport->mapToGlobal(QPointF(40, 40)), QPoint(),
                          QPoint(-120, 0), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewport, &wheel);
        QVERIFY(bar->value() > 0);
        // Between the columns a downward turn scrolls the board sideways too.
        const int sideways = bar->value();
        QWidget* board = fixture.view->scrollView()->viewport();
        const QPointF gap(fixture.view->collectionViewLayout()->restingLeft(2) - 13 - sideways,
                          300);
        QWheelEvent down(gap, board->mapToGlobal(gap), QPoint(), QPoint(0, -120), Qt::NoButton,
                         Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(board, &down);
        QVERIFY(bar->value() > sideways);
    }
};

PINWHEELS_GUI_TEST_MAIN(KanbanColumnTest)
#include "tst_kanbancolumn.moc"
