#include "IsolatedEnvironment.h"
#include "StoreTestSupport.h"
#include "board/CardTableModel.h"
#include "cards/CardGeometry.h"
#include "cards/ListItemCellView.h"
#include "cards/ListTabViewController.h"
#include "cards/PlainListTableView.h"
#include "cards/PlainListViewController.h"
#include "model/List.h"
#include "model/ListItem.h"
#include "model/Root.h"
#include "store/AppDelegate.h"
#include "store/DataFolder.h"
#include "store/Defaults.h"
#include "store/NotificationCenter.h"
#include "store/ObjectContext.h"

#include <QApplication>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>
#include <QUndoStack>
#include <QVBoxLayout>

// The list view: showing a list, adding items with the field, the done toggle, moving items by
// drag, the collapse of empty notes and the show-archived mode, checked in the store on disk.
class ListViewTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<AppDelegate> delegate;
    ObjectContext* context = nullptr;
    std::unique_ptr<QWidget> window;
    ListTabViewController* view = nullptr;

    QUndoStack* undo() const { return delegate->undoManager(); }
    PlainListViewController* controller() const { return view->listViewController(); }
    PlainListTableView* table() const { return view->tableView(); }

    List* makeList(const QString& title, const QStringList& items)
    {
        auto* list = context->insert<List>();
        list->setTitle(title);
        context->fetch<Root>().constFirst()->insertChild(list);
        for (const QString& text : items) {
            auto* item = context->insert<ListItem>();
            item->setTitle(text);
            item->setAttributedNotes(RichText(text));
            list->insertItem(item);
        }
        delegate->save();
        return list;
    }
    static QStringList titlesOf(const QList<ListItem*>& items)
    {
        QStringList titles;
        for (const ListItem* item : items)
            titles.append(item->title());
        return titles;
    }
    // The item titles of the list as the store on disk has them.
    static QStringList storedTitles(const QString& listTitle)
    {
        const auto stored =
            StoreTestSupport::open(DataFolder::storePath(DataFolder::standardPath()));
        for (const List* list : stored ? stored->fetch<List>() : QList<List*>()) {
            if (list->title() == listTitle)
                return titlesOf(list->item());
        }
        return {QStringLiteral("no list %1 in the store").arg(listTitle)};
    }
    QPoint pointIn(int row, bool upper = true) const
    {
        const QRect rect = table()->visualRect(table()->model()->index(row, 0));
        return {rect.center().x(),
                upper ? rect.top() + rect.height() / 4 : rect.bottom() - rect.height() / 4};
    }
    QPoint checkBoxOf(ListItem* item) const
    {
        const QModelIndex index = controller()->tableModel()->indexForItem(item);
        const QRect row = table()->visualRect(index);
        return controller()->cellView()->geometryFor(item, row).checkBox.center();
    }
    static void setMode(int mode)
    {
        Defaults::standard().setValue(Defaults::listViewMode, mode);
        NotificationCenter::defaultCenter().post(
            QString::fromLatin1(AppDelegate::showHideArchivedSelectedNotification));
    }

private Q_SLOTS:
    void initTestCase()
    {
        delegate = std::make_unique<AppDelegate>();
        QVERIFY(delegate->launch());
        context = delegate->managedObjectContext();
        if (context->fetch<Root>().isEmpty())
            context->insert<Root>();
        window = std::make_unique<QWidget>();
        window->resize(700, 800);
        auto* layout = new QVBoxLayout(window.get());
        view = new ListTabViewController(window.get());
        layout->addWidget(view);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }
    void init()
    {
        setMode(0);
        undo()->clear();
    }
    void cleanupTestCase()
    {
        window.reset();
        delegate.reset();
    }

    void showingAList_namesItInTheFieldAndTitle_focusesTheField_selectsNothing()
    {
        List* list = makeList(QStringLiteral("Groceries"), {QStringLiteral("Milk")});
        auto* archived = context->insert<ListItem>();
        archived->setTitle(QStringLiteral("Old"));
        archived->setDone(true);
        archived->setArchived(true);
        list->insertItem(archived, 0);
        table()->setFocus();
        view->setList(list);
        QCOMPARE(view->addItemTextField()->placeholderText(),
                 QStringLiteral("Add item in Groceries…"));
        QCOMPARE(view->windowTitleText(), QStringLiteral("Groceries (List)"));
        QTRY_VERIFY(view->addItemTextField()->hasFocus());
        QVERIFY(controller()->selectedRows().isEmpty());
        // Active items first; the archived one has no row in the working view.
        QCOMPARE(titlesOf(controller()->listItems()),
                 (QStringList{QStringLiteral("Milk"), QStringLiteral("Old")}));
        QCOMPARE(controller()->numberOfRows(), 2);

        // The archive view shows the archived item only, and takes no new items.
        setMode(2);
        QCOMPARE(controller()->numberOfRows(), 2);
        QCOMPARE(controller()->itemAtRow(1), archived);
        QVERIFY(!view->addItemTextField()->isEnabled());
        setMode(0);
        QVERIFY(view->addItemTextField()->isEnabled());
    }

    void returnInTheField_addsAtTheTop_showsTheText_andIsUndoable()
    {
        List* list = makeList(QStringLiteral("Chores"), {QStringLiteral("A"), QStringLiteral("B")});
        view->setList(list);
        QTest::keyClick(view->addItemTextField(), Qt::Key_Return);
        QCOMPARE(titlesOf(list->item()), (QStringList{QStringLiteral("New Item"),
                                                      QStringLiteral("A"), QStringLiteral("B")}));
        QCOMPARE(storedTitles(QStringLiteral("Chores")), titlesOf(list->item()));
        QCOMPARE(undo()->undoText(), QStringLiteral("New Card"));

        QTest::keyClicks(view->addItemTextField(), QStringLiteral("Milk"));
        QTest::keyClick(view->addItemTextField(), Qt::Key_Return);
        QVERIFY(view->addItemTextField()->text().isEmpty());
        ListItem* milk = list->item().constFirst();
        QCOMPARE(milk->title(), QStringLiteral("Milk"));
        // The text shows on the card: it is the notes' one title line.
        QCOMPARE(milk->notesPlainText(), QStringLiteral("Milk"));
        QCOMPARE(milk->attributedNotes()->attributesAt(0).styleName, QStringLiteral("title"));
        QVERIFY(milk->dateAdded().isValid());
        QCOMPARE(controller()->itemAtRow(1), milk);

        undo()->undo();
        QCOMPARE(titlesOf(list->item()), (QStringList{QStringLiteral("New Item"),
                                                      QStringLiteral("A"), QStringLiteral("B")}));
        QCOMPARE(storedTitles(QStringLiteral("Chores")), titlesOf(list->item()));
        undo()->redo();
        QCOMPARE(list->item().constFirst()->title(), QStringLiteral("Milk"));
        QCOMPARE(storedTitles(QStringLiteral("Chores")).constFirst(), QStringLiteral("Milk"));
    }

    void tickingStrikesThrough_untickingRemovesIt_undoTicksAgain()
    {
        List* list = makeList(QStringLiteral("Ticks"), {QStringLiteral("Bread")});
        view->setList(list);
        ListItem* bread = list->item().constFirst();
        const auto struck = [bread] {
            const auto& runs = bread->attributedNotes()->runs();
            return std::all_of(runs.cbegin(), runs.cend(), [](const RichText::Run& run) {
                return run.attributes.strikethrough;
            });
        };
        QTest::mouseClick(table()->viewport(), Qt::LeftButton, {}, checkBoxOf(bread));
        QVERIFY(bread->isDone());
        QVERIFY(bread->doneDate().isValid());
        QVERIFY(struck());
        QCOMPARE(undo()->undoText(), QStringLiteral("Mark as Done"));

        QTest::mouseClick(table()->viewport(), Qt::LeftButton, {}, checkBoxOf(bread));
        QVERIFY(!bread->isDone());
        QVERIFY(!bread->doneDate().isValid());
        QVERIFY(!bread->attributedNotes()->attributesAt(0).strikethrough);
        QVERIFY(!context->hasChanges());

        undo()->undo();
        QVERIFY(bread->isDone());
        QVERIFY(struck());

        // Unticking an archived item brings it back from the archive.
        bread->setArchived(true);
        delegate->save();
        setMode(2);
        QCOMPARE(controller()->itemAtRow(1), bread);
        QTest::mouseClick(table()->viewport(), Qt::LeftButton, {}, checkBoxOf(bread));
        QVERIFY(!bread->isArchived());
        QCOMPARE(controller()->numberOfRows(), 1);
    }

    void draggingItems0And1ToTheRowOfItem3_startsThemAtIndex1_undoably()
    {
        List* list = makeList(QStringLiteral("Order"), {QStringLiteral("A"), QStringLiteral("B"),
                                                        QStringLiteral("C"), QStringLiteral("D")});
        view->setList(list);
        std::unique_ptr<QMimeData> data = table()->prepareDrag({1, 2});
        QVERIFY(data);
        QVERIFY(table()->dropCards(data.get(), pointIn(4), table()));
        controller()->setDraggedItemIndexes({});
        const QStringList moved{QStringLiteral("C"), QStringLiteral("A"), QStringLiteral("B"),
                                QStringLiteral("D")};
        QCOMPARE(titlesOf(list->item()), moved);
        QCOMPARE(titlesOf(controller()->listItems()), moved);
        QCOMPARE(storedTitles(QStringLiteral("Order")), moved);
        QCOMPARE(titlesOf(controller()->selectedItems()),
                 (QStringList{QStringLiteral("A"), QStringLiteral("B")}));
        QCOMPARE(undo()->undoText(), QStringLiteral("Move 2 Rows"));
        undo()->undo();
        const QStringList original{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"),
                                   QStringLiteral("D")};
        QCOMPARE(storedTitles(QStringLiteral("Order")), original);

        // No drag of this table under way: a drop is refused.
        QVERIFY(!table()->dropCards(data.get(), pointIn(4), table()));
        QCOMPARE(titlesOf(list->item()), original);
    }

    void movingTheSelectionByKeys_goesOnePlace_neverIntoTheArchive()
    {
        List* list = makeList(QStringLiteral("Keys"),
                              {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
        list->item().at(2)->setDone(true);
        list->item().at(2)->setArchived(true);
        delegate->save();
        setMode(1);
        view->setList(list);
        controller()->selectRowFor(list->item().at(0));
        controller()->moveSelectedItemsBy(1);
        QCOMPARE(titlesOf(list->item()),
                 (QStringList{QStringLiteral("B"), QStringLiteral("A"), QStringLiteral("C")}));
        QCOMPARE(storedTitles(QStringLiteral("Keys")), titlesOf(list->item()));
        QCOMPARE(undo()->undoText(), QStringLiteral("Move 1 Rows"));
        QCOMPARE(table()->currentCard(), list->item().at(1));
        // A is the last active item: below it is the header of the archived ones.
        const int steps = undo()->count();
        controller()->moveSelectedItemsBy(1);
        QCOMPARE(undo()->count(), steps);
        QCOMPARE(titlesOf(list->item()),
                 (QStringList{QStringLiteral("B"), QStringLiteral("A"), QStringLiteral("C")}));
        undo()->undo();
        QCOMPARE(storedTitles(QStringLiteral("Keys")),
                 (QStringList{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}));
    }

    void anEmptyCard_collapsesWhenAnotherIsSelected()
    {
        List* list = makeList(QStringLiteral("Collapse"), {QStringLiteral("A")});
        auto* empty = context->insert<ListItem>();
        empty->setTitle(QStringLiteral("empty"));
        empty->setNotesExpanded(true);
        list->insertItem(empty);
        delegate->save();
        view->setList(list);
        controller()->selectRowFor(empty);
        QTest::mouseClick(table()->viewport(), Qt::LeftButton, {},
                          table()->visualRect(table()->model()->index(1, 0)).center() +
                              QPoint(0, 8));
        QCOMPARE(controller()->selectedItems(), QList<ListItem*>{list->item().constFirst()});
        QCOMPARE(empty->notesExpanded(), std::optional<bool>(false));
        QVERIFY(!context->hasChanges());
    }
};

PINWHEELS_GUI_TEST_MAIN(ListViewTest)

#include "tst_listview.moc"
