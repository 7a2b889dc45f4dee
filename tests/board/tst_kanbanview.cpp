#include "IsolatedEnvironment.h"
#include "KanbanFixture.h"
#include "StoreTestSupport.h"
#include "board/ColumnPasteboard.h"
#include "board/KanbanCollectionViewFlowLayout.h"
#include "board/KanbanColumnAddColumnView.h"
#include "model/List.h"
#include "navigation/DeleteItemsCommand.h"
#include "store/DataFolder.h"
#include "store/NotificationCenter.h"
#include "widgets/MessageBox.h"
#include "widgets/WindowTitle.h"

#include <QClipboard>
#include <QMimeData>
#include <QSignalSpy>

// The board view: adding, deleting, moving, copying and pasting columns with their undo, the
// store afterwards, the window title, the archive bar and what the board hands its columns.
class KanbanViewTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<AppDelegate> delegate;

    // The titles of the columns in the store file, read on a connection of its own.
    static QStringList storedColumnTitles()
    {
        std::unique_ptr<ObjectContext> stored =
            StoreTestSupport::open(DataFolder::storePath(DataFolder::standardPath()));
        if (!stored)
            return {QStringLiteral("the store cannot be opened")};
        QStringList titles;
        for (const KanbanColumn* column : stored->fetch<KanbanColumn>())
            titles.append(column->title());
        return titles;
    }
    static QStringList storedCardTitles()
    {
        std::unique_ptr<ObjectContext> stored =
            StoreTestSupport::open(DataFolder::storePath(DataFolder::standardPath()));
        QStringList titles;
        for (const ListItem* item : stored ? stored->fetch<ListItem>() : QList<ListItem*>())
            titles.append(item->title());
        return titles;
    }
    static void sendDrag(QWidget* target, QEvent::Type type, const QPoint& point,
                         const QMimeData* data)
    {
        if (type == QEvent::DragEnter) {
            QDragEnterEvent event(point, Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(target, &event);
        } else if (type == QEvent::DragMove) {
            QDragMoveEvent event(point, Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(target, &event);
        } else {
            QDropEvent event(point, Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(target, &event);
        }
    }

    // Drags rows of one column's table and drops them above a row of another column's table.
    static bool dragCards(KanbanFixture& fixture, int from, const QList<int>& rows, int to, int row)
    {
        KanbanColumnTableView* source = fixture.item(from)->listViewController()->columnTableView();
        KanbanColumnTableView* target = fixture.item(to)->listViewController()->columnTableView();
        std::unique_ptr<QMimeData> data = source->prepareDrag(rows);
        const QRect rect = target->visualRect(target->model()->index(row, 0));
        const bool accepted =
            data && target->dropCards(data.get(), {rect.center().x(), rect.top() + 2}, source);
        fixture.item(from)->listViewController()->setDraggedItemIndexes({});
        return accepted;
    }
    static void selectRow(KanbanColumnTableView* view, int row)
    {
        view->selectionModel()->select(view->model()->index(row, 0),
                                       QItemSelectionModel::ClearAndSelect);
        view->setFocus();
    }
    static QStringList shownTitles(KanbanFixture& fixture, int column)
    {
        return KanbanFixture::titlesOf(fixture.item(column)->listViewController()->listItems());
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
        QApplication::clipboard()->clear();
    }

    void addingColumns_atTheEnd_beforeTheFirst_afterTheLast()
    {
        KanbanFixture fixture;
        fixture.show();
        // Only the add-column cell.
        QVERIFY(fixture.view->columns().isEmpty());
        QVERIFY(!fixture.view->itemAt(0));
        QVERIFY(fixture.view->addColumnView()->isVisible());
        QCOMPARE(fixture.view->collectionViewLayout()->count(), 1);

        QTest::mouseClick(fixture.view->addColumnView(), Qt::LeftButton, {},
                          fixture.view->addColumnView()->roundButtonBackground().center());
        QCOMPARE(fixture.columnTitles(), QStringList{QStringLiteral("new column")});
        QVERIFY(!fixture.context->hasChanges()); // saved
        QCOMPARE(delegate->undoManager()->count(), 1);
        QCOMPARE(delegate->undoManager()->undoText(), QStringLiteral("New Column"));
        // Typing replaces the title: it is ready for that.
        DelaySelectionTextField* title = fixture.item(0)->columnTitle();
        QVERIFY(title->isEditing());
        QCOMPARE(title->selectedText(), QStringLiteral("new column"));
        QTest::keyClicks(title, QStringLiteral("To do"));
        QTest::keyClick(title, Qt::Key_Return);
        QCOMPARE(fixture.columnTitles(), QStringList{QStringLiteral("To do")});

        fixture.view->addColumnWithItem(fixture.board->column().first(), true);
        fixture.view->addColumnWithItem(fixture.board->column().first(), false);
        fixture.view->addColumnWithItem(fixture.board->column().last(), true);
        QCOMPARE(fixture.columnTitles(),
                 (QStringList{QStringLiteral("new column"), QStringLiteral("To do"),
                              QStringLiteral("new column"), QStringLiteral("new column")}));
        // The new column is the one being named; the cells follow the board.
        QVERIFY(fixture.item(3)->columnTitle()->isEditing());
        QCOMPARE(fixture.view->columns(), fixture.board->column());
        QCOMPARE(fixture.shownTitles(), fixture.columnTitles());
        QCOMPARE(fixture.view->collectionViewLayout()->count(), 5);
    }

    void deletingTwoColumns_undoRestoresThem_redoDeletesThemAgain()
    {
        KanbanFixture fixture(
            {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D")});
        Tag* urgent = fixture.tag(QStringLiteral("urgent"));
        Tag* red = fixture.tag(QStringLiteral("red"));
        red->setColour(3);
        fixture.card(fixture.board->column().at(0), QStringLiteral("a1"), {urgent});
        fixture.card(fixture.board->column().at(1), QStringLiteral("b1"), {urgent, red});
        fixture.card(fixture.board->column().at(1), QStringLiteral("b2"));
        fixture.card(fixture.board->column().at(3), QStringLiteral("d1"), {red});
        fixture.show();

        // Nothing selected: Delete does nothing and is not offered.
        QVERIFY(!fixture.view->canPerformEditAction(EditAction::Delete));
        QVERIFY(!fixture.view->canDeleteColumns());
        fixture.view->setFocus();
        QTest::keyClick(fixture.view, Qt::Key_Delete);
        QCOMPARE(fixture.columnTitles().size(), 4);

        fixture.view->setSelectedColumnIndexes({1, 3});
        QVERIFY(fixture.view->canPerformEditAction(EditAction::Delete));
        QTest::keyClick(fixture.view, Qt::Key_Delete);
        QCOMPARE(fixture.columnTitles(), (QStringList{QStringLiteral("A"), QStringLiteral("C")}));
        QCOMPARE(fixture.shownTitles(), fixture.columnTitles());
        QCOMPARE(delegate->undoManager()->undoText(), QStringLiteral("Delete Column"));
        QCOMPARE(fixture.view->numberOfSelectedColumns(), 0);
        // Gone from the store, cards and all; the tag only they carried went with them.
        QVERIFY(!fixture.context->hasChanges());
        QVERIFY(!storedColumnTitles().contains(QStringLiteral("B")));
        QVERIFY(!storedColumnTitles().contains(QStringLiteral("D")));
        QVERIFY(storedColumnTitles().contains(QStringLiteral("A")));
        QVERIFY(!storedCardTitles().contains(QStringLiteral("b1")));
        QVERIFY(!storedCardTitles().contains(QStringLiteral("d1")));
        QVERIFY(red->isDeleted());

        delegate->undoManager()->undo();
        QCOMPARE(fixture.columnTitles(), (QStringList{QStringLiteral("A"), QStringLiteral("B"),
                                                      QStringLiteral("C"), QStringLiteral("D")}));
        QCOMPARE(fixture.shownTitles(), fixture.columnTitles());
        KanbanColumn* b = fixture.board->column().at(1);
        KanbanColumn* d = fixture.board->column().at(3);
        QCOMPARE(KanbanFixture::titlesOf(b->item()),
                 (QStringList{QStringLiteral("b1"), QStringLiteral("b2")}));
        QCOMPARE(KanbanFixture::titlesOf(d->item()), QStringList{QStringLiteral("d1")});
        // The tags: the board's own urgent, and red rebuilt (with its colour) as a board tag.
        ListItem* b1 = b->item().first();
        QCOMPARE(KanbanFixture::namesOf(b1->tags()),
                 (QStringList{QStringLiteral("red"), QStringLiteral("urgent")}));
        QVERIFY(b1->tags().contains(urgent));
        Tag* rebuiltRed = d->item().first()->tags().first();
        QCOMPARE(rebuiltRed->name(), QStringLiteral("red"));
        QCOMPARE(rebuiltRed->colour(), qint16(3));
        QCOMPARE(rebuiltRed->kanban(), fixture.board);
        QVERIFY(b1->tags().contains(rebuiltRed));
        QCOMPARE(fixture.item(1)->listViewController()->listItems().size(), 2);
        QVERIFY(!fixture.context->hasChanges());
        QVERIFY(storedColumnTitles().contains(QStringLiteral("D")));
        QCOMPARE(delegate->undoManager()->redoText(), QStringLiteral("Delete Column"));

        delegate->undoManager()->redo();
        QCOMPARE(fixture.columnTitles(), (QStringList{QStringLiteral("A"), QStringLiteral("C")}));
        QVERIFY(!storedColumnTitles().contains(QStringLiteral("B")));
        QCOMPARE(delegate->undoManager()->undoText(), QStringLiteral("Delete Column"));
    }

    void deletingAColumnWithAListsItem_undoPutsTheSameItemBack()
    {
        KanbanFixture fixture({QStringLiteral("A")});
        auto* list = fixture.context->insert<List>();
        list->setTitle(QStringLiteral("Errands"));
        list->setParent(fixture.root());
        auto* shared = fixture.context->insert<ListItem>();
        shared->setTitle(QStringLiteral("post"));
        list->insertItem(shared);
        shared->setColumn(fixture.board->column().first());
        fixture.show();

        fixture.view->deleteColumnsWithIndexes({0});
        QVERIFY(!shared->isDeleted());
        QCOMPARE(shared->list(), list);
        QVERIFY(!shared->column());
        delegate->undoManager()->undo();
        // Not a copy: the list's own item is on the column again.
        QCOMPARE(shared->column(), fixture.board->column().first());
        QCOMPARE(list->item(), QList<ListItem*>{shared});
        QCOMPARE(fixture.context
                     ->fetch<ListItem>(
                         [](const ListItem& i) { return i.title() == QStringLiteral("post"); })
                     .size(),
                 1);
    }

    void undoingACardDelete_afterItsColumnCameBack_putsTheCardInTheRebuiltColumn()
    {
        KanbanFixture fixture({QStringLiteral("A"), QStringLiteral("B")});
        ListItem* keep = fixture.card(fixture.board->column().at(0), QStringLiteral("keep"));
        ListItem* gone = fixture.card(fixture.board->column().at(0), QStringLiteral("gone"));
        fixture.show();
        QUndoStack* stack = delegate->undoManager();

        fixture.item(0)->listViewController()->deleteItems({gone});
        fixture.view->deleteColumnsWithIndexes({0});
        stack->undo(); // the column, rebuilt as a new object
        QVERIFY(keep->isDeleted());
        // A new step drops the column's redo, and with it the step that rebuilt it.
        fixture.item(1)->listViewController()->addCardAtIndex(0);
        stack->undo();
        QCOMPARE(stack->undoText(), QStringLiteral("Delete Card"));
        stack->undo();
        QCOMPARE(KanbanFixture::titlesOf(fixture.board->column().at(0)->item()),
                 (QStringList{QStringLiteral("keep"), QStringLiteral("gone")}));
        QVERIFY(storedCardTitles().contains(QStringLiteral("gone")));
        stack->redo();
        QCOMPARE(KanbanFixture::titlesOf(fixture.board->column().at(0)->item()),
                 QStringList{QStringLiteral("keep")});
    }

    void archiveDoneCards_undo_followsRebuiltCards_andNeverTouchesAnotherBoard()
    {
        KanbanFixture fixture({QStringLiteral("A")});
        ListItem* done = fixture.card(fixture.board->column().at(0), QStringLiteral("done"));
        done->setDone(true);
        auto* other = fixture.context->insert<Kanban>();
        other->setTitle(QStringLiteral("Other"));
        other->setParent(fixture.root());
        ListItem* otherDone =
            fixture.card(fixture.addColumn(QStringLiteral("B"), other), QStringLiteral("other"));
        otherDone->setDone(true);
        fixture.show();
        QUndoStack* stack = delegate->undoManager();

        // The column is deleted and brought back: undoing the archive restores its rebuilt card.
        fixture.view->archiveDoneItems();
        QVERIFY(done->isArchived());
        fixture.view->deleteColumnsWithIndexes({0});
        stack->undo();
        ListItem* rebuilt = fixture.board->column().at(0)->item().value(0);
        QVERIFY(rebuilt && rebuilt != done && rebuilt->isArchived());
        QCOMPARE(stack->undoText(), QStringLiteral("Archive Done Cards"));
        stack->undo();
        QVERIFY(!rebuilt->isArchived());
        QCOMPARE(shownTitles(fixture, 0), QStringList{QStringLiteral("done")});
        stack->redo();
        QVERIFY(rebuilt->isArchived());

        // The board is deleted in the sidebar and another one shown, which keeps the history of
        // the deletion: the archive step never acts on the board shown now.
        stack->push(new DeleteItemsCommand(delegate.get(), {fixture.board}));
        fixture.view->setKanban(other);
        QCOMPARE(stack->undoText(), QStringLiteral("Delete Item"));
        stack->undo(); // the board comes back, not shown
        stack->undo();
        stack->redo();
        QVERIFY(!otherDone->isArchived());
        QCOMPARE(shownTitles(fixture, 0), QStringList{QStringLiteral("other")});
        std::unique_ptr<ObjectContext> stored =
            StoreTestSupport::open(DataFolder::storePath(DataFolder::standardPath()));
        QVERIFY(stored);
        const QList<ListItem*> storedOther = stored->fetch<ListItem>(
            [](const ListItem& item) { return item.title() == QStringLiteral("other"); });
        QCOMPARE(storedOther.size(), 1);
        QVERIFY(!storedOther.first()->isArchived());
    }

    void undoingAMoveBetweenColumns_followsAColumnThatCameBack_asSourceOrDestination()
    {
        KanbanFixture fixture({QStringLiteral("A"), QStringLiteral("B")});
        fixture.card(fixture.board->column().at(0), QStringLiteral("moved"));
        fixture.card(fixture.board->column().at(0), QStringLiteral("a2"));
        fixture.card(fixture.board->column().at(1), QStringLiteral("b1"));
        fixture.show();
        QUndoStack* stack = delegate->undoManager();
        const auto storedTitlesOf = [&fixture](int column) {
            return KanbanFixture::titlesOf(fixture.board->column().at(column)->item());
        };

        QVERIFY(dragCards(fixture, 0, {1}, 1, 1)); // moved, above b1
        QCOMPARE(storedTitlesOf(1), (QStringList{QStringLiteral("moved"), QStringLiteral("b1")}));
        // The destination, holding the card, is deleted and brought back.
        fixture.view->deleteColumnsWithIndexes({1});
        stack->undo();
        QCOMPARE(stack->undoText(), QStringLiteral("Move 1 Rows"));
        stack->undo();
        QCOMPARE(storedTitlesOf(0), (QStringList{QStringLiteral("moved"), QStringLiteral("a2")}));
        QCOMPARE(storedTitlesOf(1), QStringList{QStringLiteral("b1")});
        QCOMPARE(shownTitles(fixture, 0), storedTitlesOf(0));
        QCOMPARE(shownTitles(fixture, 1), storedTitlesOf(1));
        stack->redo();
        QCOMPARE(storedTitlesOf(1), (QStringList{QStringLiteral("moved"), QStringLiteral("b1")}));

        // The source is deleted and brought back.
        fixture.view->deleteColumnsWithIndexes({0});
        stack->undo();
        QCOMPARE(stack->undoText(), QStringLiteral("Move 1 Rows"));
        stack->undo();
        QCOMPARE(storedTitlesOf(0), (QStringList{QStringLiteral("moved"), QStringLiteral("a2")}));
        QCOMPARE(shownTitles(fixture, 0), storedTitlesOf(0));
        QCOMPARE(shownTitles(fixture, 1), QStringList{QStringLiteral("b1")});
        QCOMPARE(storedCardTitles().count(QStringLiteral("moved")), 1);
    }

    void deletingAListsCardOnTheBoard_keepsItOnTheList_andUndoAndCutAndPasteKeepBoth()
    {
        KanbanFixture fixture({QStringLiteral("A"), QStringLiteral("B")});
        auto* list = fixture.context->insert<List>();
        list->setTitle(QStringLiteral("Post office"));
        list->setParent(fixture.root());
        auto* stamps = fixture.context->insert<ListItem>();
        stamps->setTitle(QStringLiteral("stamps"));
        list->insertItem(stamps);
        auto* parcel = fixture.context->insert<ListItem>();
        parcel->setTitle(QStringLiteral("parcel"));
        list->insertItem(parcel);
        parcel->setColumn(fixture.board->column().at(0));
        fixture.card(fixture.board->column().at(0), QStringLiteral("moved"));
        fixture.show();
        QUndoStack* stack = delegate->undoManager();
        KanbanColumnTableView* a = fixture.item(0)->listViewController()->columnTableView();
        KanbanColumnTableView* b = fixture.item(1)->listViewController()->columnTableView();
        const QList<ListItem*> onList{stamps, parcel};

        selectRow(a, 1);
        QTest::keyClick(a, Qt::Key_Delete);
        QCOMPARE(stack->undoText(), QStringLiteral("Delete Card"));
        QVERIFY(!parcel->isDeleted());
        QVERIFY(!parcel->column());
        QCOMPARE(list->item(), onList);
        QCOMPARE(shownTitles(fixture, 0), QStringList{QStringLiteral("moved")});
        stack->undo(); // the very card, on both
        QCOMPARE(fixture.board->column().at(0)->item().value(0), parcel);
        QCOMPARE(list->item(), onList);
        stack->redo();
        QVERIFY(!parcel->column());
        stack->undo();
        QCOMPARE(parcel->column(), fixture.board->column().at(0));

        // Cut and paste into the other column: still one card, on the list and on the board.
        selectRow(a, 1);
        a->performEditAction(EditAction::Cut);
        QVERIFY(!parcel->column());
        QCOMPARE(list->item(), onList);
        b->performEditAction(EditAction::Paste);
        QCOMPARE(parcel->column(), fixture.board->column().at(1));
        QCOMPARE(list->item(), onList);
        QCOMPARE(shownTitles(fixture, 1), QStringList{QStringLiteral("parcel")});
        QCOMPARE(storedCardTitles().count(QStringLiteral("parcel")), 1);
        std::unique_ptr<ObjectContext> stored =
            StoreTestSupport::open(DataFolder::storePath(DataFolder::standardPath()));
        QVERIFY(stored);
        const QList<List*> lists = stored->fetch<List>(
            [](const List& l) { return l.title() == QStringLiteral("Post office"); });
        QCOMPARE(lists.size(), 1);
        QCOMPARE(KanbanFixture::titlesOf(lists.first()->item()),
                 (QStringList{QStringLiteral("stamps"), QStringLiteral("parcel")}));
        QVERIFY(lists.first()->item().at(1)->column());
    }

    void movingColumns_byDrag_withThePreview_andUndo()
    {
        KanbanFixture fixture(
            {QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")});
        fixture.show();
        KanbanViewController* view = fixture.view;
        // The add-column cell cannot be dragged.
        QVERIFY(!view->beginColumnDrag({4}));
        QVERIFY(!view->beginColumnDrag({0, 4}));

        // Column 0 to target 3 (before the fourth).
        QVERIFY(view->beginColumnDrag({0}));
        view->updateColumnDropPreview(3);
        KanbanCollectionViewFlowLayout* layout = view->collectionViewLayout();
        QVERIFY(layout->dragging());
        const QRect area(0, 0, 2000, 500);
        // Columns after the dragged one move left; from the drop index on they move back.
        QCOMPARE(layout->frameForItem(1, area).x(), layout->restingLeft(1) - 292);
        QCOMPARE(layout->frameForItem(2, area).x(), layout->restingLeft(2) - 292);
        QCOMPARE(layout->frameForItem(3, area).x(), layout->restingLeft(3));
        QCOMPARE(layout->frameForItem(0, area).x(), layout->restingLeft(0));
        QVERIFY(view->dropColumns(3));
        QVERIFY(!layout->dragging());
        const QStringList moved{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("0"),
                                QStringLiteral("3")};
        QCOMPARE(fixture.columnTitles(), moved);
        QCOMPARE(fixture.shownTitles(), moved);
        QCOMPARE(delegate->undoManager()->undoText(), QStringLiteral("Move Column"));
        QVERIFY(!fixture.context->hasChanges());
        delegate->undoManager()->undo();
        const QStringList original{QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2"),
                                   QStringLiteral("3")};
        QCOMPARE(fixture.columnTitles(), original);
        QCOMPARE(fixture.shownTitles(), original);
        QCOMPARE(delegate->undoManager()->redoText(), QStringLiteral("Move Column"));
        delegate->undoManager()->redo();
        QCOMPARE(fixture.columnTitles(), moved);
        delegate->undoManager()->undo();

        // Through the drag events: column 1 dropped on the add-column cell goes to the end.
        QWidget* collection = view->columnCollectionView();
        QVERIFY(view->beginColumnDrag({1}));
        const std::unique_ptr<QMimeData> data = view->columnDragData({1});
        QCOMPARE(QString::fromUtf8(data->data(ColumnPasteboard::dragType())),
                 fixture.context->uriFor(fixture.board->column().at(1)));
        const QPoint onAddCell = view->addColumnView()->geometry().center();
        QCOMPARE(view->dropIndexAt(onAddCell), 4);
        sendDrag(collection, QEvent::DragEnter, onAddCell, data.get());
        sendDrag(collection, QEvent::DragMove, onAddCell, data.get());
        QCOMPARE(layout->proposedDropIndex(), 4);
        sendDrag(collection, QEvent::Drop, onAddCell, data.get());
        view->endColumnDrag();
        QCOMPARE(fixture.columnTitles(), (QStringList{QStringLiteral("0"), QStringLiteral("2"),
                                                      QStringLiteral("3"), QStringLiteral("1")}));
        // Far beyond the end means the end too; a drop where the column already is changes
        // nothing and leaves no undo step.
        QCOMPARE(view->dropIndexAt(QPoint(100000, 10)), 4);
        const int steps = delegate->undoManager()->count();
        QVERIFY(view->beginColumnDrag({3}));
        QVERIFY(view->dropColumns(view->dropIndexAt(QPoint(100000, 10))));
        QCOMPARE(delegate->undoManager()->count(), steps);

        // From the keyboard: arrows select, Control+Shift+arrows move the selected columns.
        view->setFocus();
        view->setSelectedColumnIndexes({0});
        QTest::keyClick(view, Qt::Key_Right);
        QCOMPARE(view->selectedColumnIndexes(), QList<int>{1});
        QTest::keyClick(view, Qt::Key_Right, Qt::ShiftModifier);
        QCOMPARE(view->selectedColumnIndexes(), (QList<int>{1, 2}));
        const QStringList beforeKeys = fixture.columnTitles();
        QTest::keyClick(view, Qt::Key_Left, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(fixture.columnTitles(), (QStringList{beforeKeys.at(1), beforeKeys.at(2),
                                                      beforeKeys.at(0), beforeKeys.at(3)}));
        QCOMPARE(view->selectedColumnIndexes(), (QList<int>{0, 1}));
        QCOMPARE(delegate->undoManager()->undoText(), QStringLiteral("Move Column"));
        delegate->undoManager()->undo();
        QCOMPARE(fixture.columnTitles(), beforeKeys);
        view->clearColumnSelection();

        // A column added since is a step of its own: undo takes it away, redo brings it back.
        const QStringList before = fixture.columnTitles();
        view->addColumnAtIndex(0);
        QCOMPARE(delegate->undoManager()->undoText(), QStringLiteral("New Column"));
        delegate->undoManager()->undo();
        QCOMPARE(fixture.columnTitles(), before);
        delegate->undoManager()->redo();
        QCOMPARE(fixture.columnTitles(), QStringList{QStringLiteral("new column")} + before);
    }

    void copyingAndPastingColumns_withTheTagCleanUp()
    {
        KanbanFixture fixture({QStringLiteral("A"), QStringLiteral("B")});
        Tag* urgent = fixture.tag(QStringLiteral("urgent"));
        fixture.card(fixture.board->column().at(0), QStringLiteral("a1"), {urgent});
        fixture.show();

        // Copy A; with nothing selected the paste goes after the last column.
        fixture.view->setSelectedColumnIndexes({0});
        fixture.view->performEditAction(EditAction::Copy);
        QVERIFY(
            QApplication::clipboard()->mimeData()->hasFormat(ColumnPasteboard::columnDataType()));
        fixture.view->clearColumnSelection();
        QVERIFY(fixture.view->canPerformEditAction(EditAction::Paste));
        fixture.view->performEditAction(EditAction::Paste);
        QCOMPARE(fixture.columnTitles(),
                 (QStringList{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("A")}));
        KanbanColumn* pasted = fixture.board->column().at(2);
        QVERIFY(pasted != fixture.board->column().at(0));
        QCOMPARE(fixture.view->selectedColumnIndexes(), QList<int>{2});
        QCOMPARE(pasted->item().first()->tags(), QList<Tag*>{urgent});
        QCOMPARE(delegate->undoManager()->count(), 1);
        QCOMPARE(delegate->undoManager()->undoText(), QStringLiteral("Paste Column"));
        QVERIFY(!fixture.context->hasChanges());

        // Cards from another board whose tags are urgent (the same name) and Urgent (another).
        Kanban* other = fixture.context->insert<Kanban>();
        KanbanColumn* source = fixture.addColumn(QStringLiteral("Elsewhere"), other);
        Tag* otherUrgent = fixture.tag(QStringLiteral("urgent"), other);
        Tag* capital = fixture.tag(QStringLiteral("Urgent"), other);
        fixture.card(source, QStringLiteral("x"), {otherUrgent});
        fixture.card(source, QStringLiteral("y"), {capital});
        QApplication::clipboard()->setMimeData(
            ColumnPasteboard::columnData(ColumnPasteboard::dictionariesOf({source})).release());
        // The anchor is the highest selected column.
        fixture.view->setSelectedColumnIndexes({0});
        fixture.view->paste();
        QCOMPARE(fixture.columnTitles(),
                 (QStringList{QStringLiteral("A"), QStringLiteral("Elsewhere"), QStringLiteral("B"),
                              QStringLiteral("A")}));
        const QList<ListItem*> cards = fixture.board->column().at(1)->item();
        QCOMPARE(cards.at(0)->tags(), QList<Tag*>{urgent});
        Tag* newTag = cards.at(1)->tags().first();
        QCOMPARE(newTag->name(), QStringLiteral("Urgent"));
        QVERIFY(newTag != capital);
        QCOMPARE(newTag->kanban(), fixture.board);
        QCOMPARE(KanbanFixture::namesOf(fixture.board->tags()),
                 (QStringList{QStringLiteral("urgent"), QStringLiteral("Urgent")}));
        // The rebuilt duplicate of urgent is gone: no other urgent is left on or off the board.
        Kanban* board = fixture.board;
        QCOMPARE(fixture.context->fetch<Tag>([board](const Tag& t) {
            return t.name() == QStringLiteral("urgent") && (t.kanban() == board || !t.kanban());
        }),
                 QList<Tag*>{urgent});

        // Cut is a copy and one undoable delete.
        fixture.view->setSelectedColumnIndexes({1});
        fixture.view->performEditAction(EditAction::Cut);
        QCOMPARE(fixture.columnTitles().size(), 3);
        QCOMPARE(delegate->undoManager()->undoText(), QStringLiteral("Delete Column"));
        QVERIFY(
            QApplication::clipboard()->mimeData()->hasFormat(ColumnPasteboard::columnDataType()));

        // Something that is not a list of columns changes nothing and says why.
        auto broken = std::make_unique<QMimeData>();
        broken->setData(ColumnPasteboard::columnDataType(), QByteArray("not cbor"));
        QApplication::clipboard()->setMimeData(broken.release());
        MessageBox::setNextAnswer(0);
        fixture.view->paste();
        QCOMPARE(fixture.columnTitles().size(), 3);
        QCOMPARE(MessageBox::takeShownAlerts().size(), 1);
    }

    void pastingCards_onTheBoard_goesToTheHighestSelectedColumn()
    {
        KanbanFixture fixture({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
        ListItem* card = fixture.card(fixture.board->column().at(0), QStringLiteral("c"));
        fixture.show();
        fixture.item(0)->listViewController()->selectRowFor(card);
        fixture.item(0)->listViewController()->copySelectedCardsToPasteboard();
        fixture.view->setSelectedColumnIndexes({0, 2});
        // Selecting columns cleared the card selection.
        QVERIFY(fixture.item(0)->listViewController()->selectedRows().isEmpty());
        fixture.view->paste();
        QCOMPARE(KanbanFixture::titlesOf(fixture.board->column().at(2)->item()),
                 QStringList{QStringLiteral("c")});
        fixture.view->clearColumnSelection();
        fixture.view->paste();
        QCOMPARE(KanbanFixture::titlesOf(fixture.board->column().at(0)->item()),
                 (QStringList{QStringLiteral("c"), QStringLiteral("c")}));
    }

    void showingAnotherBoard_clearsUndo_andSetsTheWindowTitle()
    {
        KanbanFixture fixture({QStringLiteral("A"), QStringLiteral("B")});
        fixture.show();
        QSignalSpy titles(fixture.view, &KanbanViewController::windowTitleTextChanged);
        fixture.view->deleteColumnsWithIndexes({0});
        QVERIFY(delegate->undoManager()->canUndo());

        auto* home = fixture.context->insert<Folder>();
        home->setTitle(QStringLiteral("Home"));
        home->setParent(fixture.root());
        auto* work = fixture.context->insert<Folder>();
        work->setTitle(QStringLiteral("Work"));
        work->setParent(home);
        auto* nested = fixture.context->insert<Kanban>();
        nested->setTitle(QStringLiteral("Plan"));
        nested->setParent(work);
        fixture.view->setKanban(nested);
        QVERIFY(!delegate->undoManager()->canUndo());
        delegate->undoManager()->undo();
        QCOMPARE(fixture.columnTitles(), QStringList{QStringLiteral("B")});
        // A board without columns shows none (and not those of the board before).
        QVERIFY(fixture.view->columns().isEmpty());
        QVERIFY(!fixture.view->itemAt(0));
        QCOMPARE(fixture.view->windowTitleText(), QStringLiteral("Home - Work - Plan (Board)"));
        QCOMPARE(titles.size(), 1);
        QCOMPARE(titles.first().first().toString(), QStringLiteral("Home - Work - Plan (Board)"));

        // A rename elsewhere is saved, and the title follows.
        work->setTitle(QStringLiteral("Office"));
        delegate->save();
        QCOMPARE(fixture.view->windowTitleText(), QStringLiteral("Home - Office - Plan (Board)"));

        QCOMPARE(WindowTitle::forItem(fixture.board), QStringLiteral("Plan (Board)"));
        fixture.board->setTitle(QStringLiteral(""));
        QCOMPARE(WindowTitle::forItem(fixture.board), QStringLiteral(" (Board)"));
        fixture.board->setTitle(QString());
        QVERIFY(WindowTitle::forItem(fixture.board).isEmpty());
        QVERIFY(WindowTitle::forItem(nullptr).isEmpty());
    }

    void searchTermAndTagFilter_reachEveryColumn()
    {
        KanbanFixture fixture({QStringLiteral("A"), QStringLiteral("B")});
        Tag* milk = fixture.tag(QStringLiteral("milk"));
        fixture.card(fixture.board->column().at(0), QStringLiteral("buy milk"));
        fixture.card(fixture.board->column().at(0), QStringLiteral("bread"));
        fixture.card(fixture.board->column().at(1), QStringLiteral("cheese"), {milk});
        fixture.card(fixture.board->column().at(1), QStringLiteral("eggs"));
        fixture.show();
        fixture.view->setSearchTerm(QStringLiteral("Milk"));
        QCOMPARE(KanbanFixture::titlesOf(fixture.item(0)->listViewController()->listItems()),
                 QStringList{QStringLiteral("buy milk")});
        QCOMPARE(KanbanFixture::titlesOf(fixture.item(1)->listViewController()->listItems()),
                 QStringList{QStringLiteral("cheese")});
        fixture.view->setSearchTerm(QString());

        QSignalSpy filterChanged(fixture.view, &KanbanViewController::tagFilterChanged);
        fixture.view->setTagFilter(QList<Tag*>{milk});
        QCOMPARE(filterChanged.size(), 1);
        QVERIFY(filterChanged.first().first().toBool());
        QVERIFY(fixture.item(0)->listViewController()->listItems().isEmpty());
        QCOMPARE(KanbanFixture::titlesOf(fixture.item(1)->listViewController()->listItems()),
                 QStringList{QStringLiteral("cheese")});
        // A column added now filters too.
        fixture.view->addColumn();
        QCOMPARE(fixture.item(2)->listViewController()->tagFilter(),
                 std::optional<QList<Tag*>>(QList<Tag*>{milk}));
        fixture.view->setTagFilter(std::nullopt);
        QCOMPARE(fixture.item(1)->listViewController()->listItems().size(), 2);
    }

    void archiveDoneCards_archivesOnlyDoneActiveCards_withUndoAndRedo()
    {
        KanbanFixture fixture({QStringLiteral("A"), QStringLiteral("B")});
        ListItem* a = fixture.card(fixture.board->column().at(0), QStringLiteral("A"));
        ListItem* b = fixture.card(fixture.board->column().at(0), QStringLiteral("B"));
        ListItem* c = fixture.card(fixture.board->column().at(1), QStringLiteral("C"));
        a->setDone(true);
        c->setDone(true);
        c->setArchived(true);
        fixture.show();

        fixture.view->archiveDoneItems();
        QCOMPARE(a->archived(), std::optional<bool>(true));
        QCOMPARE(b->archived(), std::optional<bool>(false));
        QCOMPARE(delegate->undoManager()->undoText(), QStringLiteral("Archive Done Cards"));
        QVERIFY(!fixture.context->hasChanges());
        QCOMPARE(fixture.item(0)->listViewController()->tableRowForItem(a), -1); // out of sight

        delegate->undoManager()->undo();
        QCOMPARE(a->archived(), std::optional<bool>(false));
        QCOMPARE(c->archived(), std::optional<bool>(true));
        QCOMPARE(fixture.item(0)->listViewController()->tableRowForItem(a), 1);
        delegate->undoManager()->redo();
        QCOMPARE(a->archived(), std::optional<bool>(true));

        // Where archived cards are on screen, nothing is archived.
        delegate->undoManager()->undo();
        setListViewMode(2);
        fixture.view->viewModeChanged();
        fixture.view->archiveDoneItems();
        QCOMPARE(a->archived(), std::optional<bool>(false));
        setListViewMode(0);
    }

    void archiveBar_onlyInTheArchivedView_andDoneCards()
    {
        KanbanFixture fixture({QStringLiteral("A")});
        ListItem* done = fixture.card(fixture.board->column().at(0), QStringLiteral("done"));
        fixture.show();
        QVERIFY(!fixture.view->isArchiveBarShown());
        QVERIFY(!fixture.view->archiveBar()->isVisible());
        QVERIFY(!fixture.view->hasDoneButNotArchivedCards());
        done->setDone(true);
        QVERIFY(fixture.view->hasDoneButNotArchivedCards());

        delegate->showArchivedSelected(); // to mode 2, announced to the board
        QVERIFY(fixture.view->isArchiveBarShown());
        QTRY_VERIFY(fixture.view->archiveBar()->isVisible());
        QTRY_COMPARE(fixture.view->archiveBar()->height(),
                     fixture.view->archiveBar()->sizeHint().height());
        // The columns were reloaded for the mode: no add-card row.
        QVERIFY(!fixture.item(0)->listViewController()->hasAddCardRow());
        setListViewMode(1);
        fixture.view->viewModeChanged();
        QVERIFY(!fixture.view->isArchiveBarShown());
        QTRY_VERIFY(!fixture.view->archiveBar()->isVisible());

        done->setArchived(true);
        QVERIFY(!fixture.view->hasDoneButNotArchivedCards());
    }
};

PINWHEELS_GUI_TEST_MAIN(KanbanViewTest)
#include "tst_kanbanview.moc"
