#include "IsolatedEnvironment.h"
#include "MainWindowFixture.h"
#include "interchange/TemplateViewController.h"
#include "model/Folder.h"
#include "model/Kanban.h"
#include "model/KanbanColumn.h"
#include "model/List.h"
#include "model/Root.h"
#include "navigation/FHLeftSidebarViewController.h"
#include "navigation/MainSplitViewController.h"
#include "navigation/MainTabViewController.h"
#include "navigation/MainWindowController.h"
#include "navigation/SourceOutlineModel.h"
#include "navigation/SourceOutlineView.h"
#include "store/AppDelegate.h"
#include "store/DataFolder.h"
#include "store/Defaults.h"
#include "store/NotificationCenter.h"
#include "store/ObjectContext.h"
#include "widgets/MessageBox.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QTemporaryFile>
#include <QTest>
#include <QUndoStack>

// The sidebar in the real main window: the first run, restoring, new nodes, renaming,
// deleting with undo, refreshing and the context menu.
class SidebarTest : public QObject
{
    Q_OBJECT

private:
    static QLineEdit* renameEditor(const MainWindowFixture& app)
    {
        if (!app.view().isEditingTitle())
            return nullptr;
        // Editors that were closed linger until the event loop deletes them.
        for (QLineEdit* editor : app.view().findChildren<QLineEdit*>()) {
            if (editor->isVisible())
                return editor;
        }
        return nullptr;
    }

    // A folder at the top level holding a list and then a board.
    static Folder* addFolderWithListAndBoard(const MainWindowFixture& app)
    {
        auto* folder = app.context().insert<Folder>();
        folder->setTitle(QStringLiteral("Errands"));
        auto* list = app.context().insert<List>();
        list->setTitle(QStringLiteral("Groceries"));
        auto* board = app.context().insert<Kanban>();
        board->setTitle(QStringLiteral("Chores"));
        folder->setChildren({list, board});
        app.root().insertChild(folder);
        app.delegate().save();
        return folder;
    }

private Q_SLOTS:
    void firstRun_importsTheTutorialAndShowsItsFirstBoard()
    {
        MainWindowFixture app;
        QVERIFY(app.sidebar().rootObjectCreatedForTheFirstTime());
        QCOMPARE(app.childTitles(), QStringList({QStringLiteral("Welcome to Pinwheels"),
                                                 QStringLiteral("More about Pinwheels")}));
        QCOMPARE(app.childTitles(app.item(QStringLiteral("More about Pinwheels"))),
                 QStringList({QStringLiteral("The sidebar and beyond"),
                              QStringLiteral("Weekend shopping")}));

        DisplayItem* welcome = app.item(QStringLiteral("Welcome to Pinwheels"));
        QCOMPARE(app.view().selectedRow(), 0);
        QCOMPARE(app.tabView().objectToDisplay(), welcome);
        QCOMPARE(app.tabView().selectedTab(), MainTabViewController::TabItems::kanban);
        QCOMPARE(app.window().currentDisplayItem(), welcome);
        QCOMPARE(app.window().windowTitle(), QStringLiteral("Welcome to Pinwheels (Board)"));
        QVERIFY(welcome->isExported());
        QCOMPARE(app.model().index(0, 0).data(SourceOutlineModel::BadgeTextRole).toString(),
                 QString::number(static_cast<Kanban*>(welcome)->numberOfNotDone()));
        // The tutorial is in the store file, not only in memory.
        StoreError error;
        const std::unique_ptr<ObjectContext> stored =
            DataFolder::openStore(app.delegate().applicationDocumentsDirectory(), &error);
        QVERIFY(stored);
        QCOMPARE(stored->fetch<Root>().size(), 1);
        QCOMPARE(app.childTitles(stored->fetch<Root>().first()), app.childTitles());

        // The tutorial comes once per store.
        app.relaunch();
        QVERIFY(!app.sidebar().rootObjectCreatedForTheFirstTime());
        QCOMPARE(app.context().fetch<Root>().size(), 1);
        QCOMPARE(app.childTitles().size(), 2);
    }

    void relaunch_restoresTheLastRowAndTheExpandedFolders()
    {
        MainWindowFixture app;
        app.view().expand(app.indexOf(QStringLiteral("More about Pinwheels")));
        app.view().selectRow(
            app.view().rowForIndex(app.indexOf(QStringLiteral("Weekend shopping"))));
        QCOMPARE(app.tabView().selectedTab(), MainTabViewController::TabItems::list);
        // An expanded node that no longer exists is passed over.
        QStringList expanded =
            app.delegate()
                .defaults()
                .value(QString::fromLatin1(FHLeftSidebarViewController::expandedItemsKey))
                .toStringList();
        expanded.prepend(app.context().storeIdentifier().prepend(QStringLiteral("x-pinwheels://")) +
                         QStringLiteral("/Folder/p99999"));
        app.delegate().defaults().setValue(
            QString::fromLatin1(FHLeftSidebarViewController::expandedItemsKey), expanded);

        app.relaunch();
        QVERIFY(app.view().isExpanded(app.indexOf(QStringLiteral("More about Pinwheels"))));
        QCOMPARE(app.sidebar().selectedItem(), app.item(QStringLiteral("Weekend shopping")));
        QCOMPARE(app.tabView().objectToDisplay(), app.item(QStringLiteral("Weekend shopping")));
        QCOMPARE(app.window().windowTitle(),
                 QStringLiteral("More about Pinwheels - Weekend shopping (List)"));

        // The first row is restored like any other.
        app.view().selectRow(0);
        app.relaunch();
        QCOMPARE(app.tabView().objectToDisplay(), app.item(QStringLiteral("Welcome to Pinwheels")));
    }

    void newFolder_withNothingSelected_isTheLastTopLevelNodeInRenameMode()
    {
        MainWindowFixture app;
        app.view().clearSelection();
        app.window().splitViewController()->addFolderSelected();
        QCOMPARE(app.childTitles().last(), QStringLiteral("untitled folder"));
        QLineEdit* editor = renameEditor(app);
        QVERIFY(editor);
        QCOMPARE(editor->text(), QStringLiteral("untitled folder"));
        QCOMPARE(editor->selectedText(), QStringLiteral("untitled folder"));
        QCOMPARE(app.sidebar().selectedItem(), app.root().children().last());
    }

    void newBoard_belowAListThatIsAFoldersFirstChild_isTheFoldersLastChild()
    {
        MainWindowFixture app;
        Folder* errands = addFolderWithListAndBoard(app);
        app.view().expand(app.indexOf(QStringLiteral("Errands")));
        app.view().selectRow(app.view().rowForIndex(app.indexOf(QStringLiteral("Groceries"))));
        // New Board… opens the template chooser; its first template is the blank board.
        app.window().splitViewController()->addKanbanSelected();
        auto* chooser = app.window().findChild<TemplateViewController*>();
        QVERIFY(chooser);
        QTRY_VERIFY(chooser->isVisible());
        QCOMPARE(chooser->selectedTemplateUrl().value().fileName(),
                 QStringLiteral("blank.Pinwheels"));
        chooser->chooseButtonClicked();
        QCOMPARE(app.childTitles(errands),
                 QStringList({QStringLiteral("Groceries"), QStringLiteral("Chores"),
                              QStringLiteral("untitled board")}));

        // A blank board has one column, and is shown with its title open for typing.
        auto* board = static_cast<Kanban*>(errands->children().last());
        QCOMPARE(board->column().size(), 1);
        QCOMPARE(board->column().first()->title(), QStringLiteral("Things to do"));
        QCOMPARE(app.tabView().objectToDisplay(), board);
        QVERIFY(renameEditor(app));
    }

    void newFolder_fromTheContextMenuOfARow_goesAfterThatRow()
    {
        MainWindowFixture app;
        app.view().selectRow(1); // the folder: a new folder would go inside it
        // Selecting a folder keeps the item shown.
        QCOMPARE(app.tabView().objectToDisplay(), app.item(QStringLiteral("Welcome to Pinwheels")));
        std::unique_ptr<QMenu> menu(app.view().menuForRow(0, nullptr));
        QStringList titles;
        for (QAction* action : menu->actions())
            titles.append(action->isSeparator() ? QStringLiteral("-") : action->text());
        QCOMPARE(titles, QStringList({QStringLiteral("Rename…"), QStringLiteral("-"),
                                      QStringLiteral("New Folder"), QStringLiteral("New Board…"),
                                      QStringLiteral("-"), QStringLiteral("Delete")}));
        menu->actions().at(2)->trigger();
        QCOMPARE(app.childTitles().at(1), QStringLiteral("untitled folder"));

        // Over empty space the menu only offers new nodes.
        std::unique_ptr<QMenu> empty(app.view().menuForRow(-1, nullptr));
        QCOMPARE(empty->actions().size(), 2);
        QCOMPARE(empty->actions().at(0)->text(), QStringLiteral("New Folder"));
        QCOMPARE(empty->actions().at(1)->text(), QStringLiteral("New Board…"));
    }

    void template_withTwoBoards_placesAndSelectsEach_andABrokenOneCreatesNothing()
    {
        MainWindowFixture app;
        app.view().selectRow(0);
        QTemporaryFile document;
        QVERIFY(document.open());
        document.write(
            R"([{"Kanban":{"title":"Sprint","column":[{"KanbanColumn":{"title":"Doing"}}]}},)"
            R"({"Kanban":{"title":"Retro","column":[]}},)"
            R"({"KanbanColumn":{"title":"Stray"}}])");
        document.close();
        const qsizetype columnsBefore = app.context().fetch<KanbanColumn>().size();
        app.sidebar().selectedTemplateWithUrl(QUrl::fromLocalFile(document.fileName()));
        // Each goes right after the board selected then: the first after the welcome board.
        QCOMPARE(app.childTitles().mid(0, 3),
                 QStringList({QStringLiteral("Welcome to Pinwheels"), QStringLiteral("Sprint"),
                              QStringLiteral("Retro")}));
        QCOMPARE(app.sidebar().selectedItem(), app.item(QStringLiteral("Retro")));
        QVERIFY(renameEditor(app));
        // Only boards are placed; nothing else is left outside the tree.
        QCOMPARE(app.context().fetch<KanbanColumn>().size(), columnsBefore + 1);

        const qsizetype nodes = app.context().fetch<DisplayItem>().size();
        QVERIFY(document.open());
        document.resize(0);
        document.write("[{\"Kanban\":");
        document.close();
        app.sidebar().selectedTemplateWithUrl(QUrl::fromLocalFile(document.fileName()));
        const QList<MessageBox::Alert> alerts = MessageBox::takeShownAlerts();
        QCOMPARE(alerts.size(), 1);
        QVERIFY(alerts[0].text.contains(QLatin1String("could not be used")));
        QCOMPARE(app.context().fetch<DisplayItem>().size(), nodes);

        // "blank" is the blank board.
        app.sidebar().selectedTemplateWithUrl(
            QUrl(QStringLiteral("qrc:/Templates/Basic/blank.Pinwheels")));
        QCOMPARE(app.sidebar().selectedItem()->title(), QStringLiteral("untitled board"));
    }

    void rename_writesEveryKeystroke_savesAtTheEnd_andEscapeGoesBack()
    {
        MainWindowFixture app;
        app.view().selectRow(0);
        DisplayItem* welcome = app.sidebar().selectedItem();
        app.view().setFocus();
        QTest::keyClick(&app.view(), Qt::Key_F2);
        QLineEdit* editor = renameEditor(app);
        QVERIFY(editor);
        QTest::keyClicks(editor, QStringLiteral("Pl"));
        QCOMPARE(welcome->title(), QStringLiteral("Pl"));
        QVERIFY(app.context().hasChanges());
        QTest::keyClicks(editor, QStringLiteral("an"));
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_VERIFY(!app.view().isEditingTitle());
        QCOMPARE(welcome->title(), QStringLiteral("Plan"));
        QVERIFY(!app.context().hasChanges());
        QCOMPARE(app.window().windowTitle(), QStringLiteral("Plan (Board)"));

        app.view().setFocus();
        QTest::keyClick(&app.view(), Qt::Key_F2);
        editor = renameEditor(app);
        QVERIFY(editor);
        QTest::keyClicks(editor, QStringLiteral("Nothing"));
        QCOMPARE(welcome->title(), QStringLiteral("Nothing"));
        QTest::keyClick(editor, Qt::Key_Escape);
        QTRY_VERIFY(!app.view().isEditingTitle());
        QCOMPARE(welcome->title(), QStringLiteral("Plan"));

        // An empty title is a title.
        app.sidebar().renameSelectedItem();
        editor = renameEditor(app);
        QVERIFY(editor);
        QTest::keyClick(editor, Qt::Key_Delete);
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_VERIFY(!app.view().isEditingTitle());
        QCOMPARE(welcome->title(), QString());
    }

    void deleteLastRow_selectsTheRowAbove_andUndoRedoBringItBackAndTakeItAway()
    {
        MainWindowFixture app;
        Folder* errands = addFolderWithListAndBoard(app);
        app.view().expand(app.indexOf(QStringLiteral("Errands")));
        const int lastRow = app.view().numberOfRows() - 1;
        app.view().selectRow(lastRow);
        QCOMPARE(app.sidebar().selectedItem()->title(), QStringLiteral("Chores"));
        QCOMPARE(app.tabView().objectToDisplay()->title(), QStringLiteral("Chores"));

        app.view().setFocus();
        QTest::keyClick(&app.view(), Qt::Key_Delete);
        QCOMPARE(app.childTitles(errands), QStringList({QStringLiteral("Groceries")}));
        QTRY_COMPARE(app.view().selectedRow(), lastRow - 1);
        QCOMPARE(app.tabView().objectToDisplay(), app.item(QStringLiteral("Groceries")));
        QUndoStack* undo = app.delegate().undoManager();
        QCOMPARE(undo->undoText(), QStringLiteral("Delete Item"));

        undo->undo();
        QCOMPARE(app.childTitles(errands),
                 QStringList({QStringLiteral("Groceries"), QStringLiteral("Chores")}));
        auto* chores = static_cast<Kanban*>(app.item(QStringLiteral("Chores")));
        QVERIFY(chores && !chores->isDeleted());
        QCOMPARE(undo->redoText(), QStringLiteral("Delete Item"));
        undo->redo();
        QVERIFY(chores->isDeleted());
        QCOMPARE(app.childTitles(errands), QStringList({QStringLiteral("Groceries")}));
    }

    void deletingTheShownBoard_forTheNextBoard_staysUndoable()
    {
        MainWindowFixture app;
        Folder* errands = addFolderWithListAndBoard(app);
        auto* laundry = app.context().insert<Kanban>();
        laundry->setTitle(QStringLiteral("Laundry"));
        errands->setChildren({app.item(QStringLiteral("Chores")), laundry});
        app.delegate().save();
        app.view().expand(app.indexOf(QStringLiteral("Errands")));
        app.view().selectRow(app.view().rowForIndex(app.indexOf(QStringLiteral("Chores"))));
        QCOMPARE(app.tabView().objectToDisplay()->title(), QStringLiteral("Chores"));

        app.view().setFocus();
        QTest::keyClick(&app.view(), Qt::Key_Delete);
        QTRY_COMPARE(app.tabView().objectToDisplay(), laundry);
        QUndoStack* undo = app.delegate().undoManager();
        QCOMPARE(undo->undoText(), QStringLiteral("Delete Item"));
        undo->undo(); // back at the end of its folder
        QCOMPARE(app.childTitles(errands),
                 QStringList({QStringLiteral("Laundry"), QStringLiteral("Chores")}));
    }

    void showingABoard_afterTheShownOneWent_keepsNoStepOfIt()
    {
        MainWindowFixture app;
        QUndoStack* undo = app.delegate().undoManager();
        // The shown board leaves the store without the sidebar: nothing of its history stays.
        DisplayItem* welcome = app.item(QStringLiteral("Welcome to Pinwheels"));
        QCOMPARE(app.tabView().objectToDisplay(), welcome);
        app.window().cleanDoneButton()->trigger();
        QCOMPARE(undo->undoText(), QStringLiteral("Archive Done Cards"));
        app.context().deleteObject(welcome);
        QVERIFY(app.delegate().save());
        app.view().expand(app.indexOf(QStringLiteral("More about Pinwheels")));
        app.view().selectRow(
            app.view().rowForIndex(app.indexOf(QStringLiteral("The sidebar and beyond"))));
        QCOMPARE(app.tabView().objectToDisplay()->title(),
                 QStringLiteral("The sidebar and beyond"));
        QCOMPARE(undo->count(), 0);

        // A board brought back by undo while the pane is empty is shown without the redo that
        // would delete it under the user's eyes.
        auto* errands = app.context().insert<Folder>();
        errands->setTitle(QStringLiteral("Errands"));
        auto* chores = app.context().insert<Kanban>();
        chores->setTitle(QStringLiteral("Chores"));
        errands->insertChild(chores);
        app.root().insertChild(errands);
        app.delegate().save();
        app.view().expand(app.indexOf(QStringLiteral("Errands")));
        app.view().selectRow(app.view().rowForIndex(app.indexOf(QStringLiteral("Chores"))));
        app.view().setFocus();
        QTest::keyClick(&app.view(), Qt::Key_Delete);
        QTRY_COMPARE(app.sidebar().selectedItem(), errands); // a folder: the pane stays empty
        QCOMPARE(app.tabView().objectToDisplay(), nullptr);
        QCOMPARE(undo->count(), 1);
        undo->undo();
        app.view().selectRow(app.view().rowForIndex(app.indexOf(QStringLiteral("Chores"))));
        DisplayItem* rebuilt = app.tabView().objectToDisplay();
        QVERIFY(rebuilt && !rebuilt->isDeleted());
        QCOMPARE(rebuilt->title(), QStringLiteral("Chores"));
        QVERIFY(!undo->canRedo());
        QCOMPARE(app.childTitles(errands), QStringList{QStringLiteral("Chores")});
    }

    void undoDelete_bringsBackTheWholeFolder_atTheEndOfItsParent()
    {
        MainWindowFixture app;
        DisplayItem* more = app.item(QStringLiteral("More about Pinwheels"));
        auto* board = static_cast<Kanban*>(app.item(QStringLiteral("The sidebar and beyond")));
        const int cards = board->numberOfNotDone();
        QVERIFY(!board->isExported()); // the writer would leave such a board out of an export
        addFolderWithListAndBoard(app);

        app.sidebar().deleteDisplayItemsWithItems({more});
        QVERIFY(!app.item(QStringLiteral("More about Pinwheels")));
        app.delegate().undoManager()->undo();
        QCOMPARE(app.childTitles().last(), QStringLiteral("More about Pinwheels"));
        DisplayItem* restored = app.root().children().last();
        QCOMPARE(app.childTitles(restored), QStringList({QStringLiteral("The sidebar and beyond"),
                                                         QStringLiteral("Weekend shopping")}));
        auto* restoredBoard = static_cast<Kanban*>(restored->children().first());
        QCOMPARE(restoredBoard->numberOfNotDone(), cards);
        QCOMPARE(restoredBoard->exportFlag(), board->exportFlag());
    }

    void undoingTwoDeletes_putsAChildBackIntoItsRebuiltFolder()
    {
        MainWindowFixture app;
        Folder* errands = addFolderWithListAndBoard(app);
        app.sidebar().deleteDisplayItemsWithItems({app.item(QStringLiteral("Chores"))});
        app.sidebar().deleteDisplayItemsWithItems({errands});
        QUndoStack* undo = app.delegate().undoManager();
        undo->undo();
        undo->undo();
        DisplayItem* rebuilt = app.item(QStringLiteral("Errands"));
        QVERIFY(rebuilt && rebuilt != errands);
        QCOMPARE(app.childTitles(rebuilt),
                 QStringList({QStringLiteral("Groceries"), QStringLiteral("Chores")}));
    }

    void deletingTheShownItem_emptiesThePane_evenWithoutTheSidebar()
    {
        MainWindowFixture app;
        DisplayItem* welcome = app.item(QStringLiteral("Welcome to Pinwheels"));
        QCOMPARE(app.tabView().objectToDisplay(), welcome);
        app.context().deleteObject(welcome);
        QVERIFY(app.delegate().save());
        QCOMPARE(app.tabView().objectToDisplay(), nullptr);
        QCOMPARE(app.tabView().selectedTab(), MainTabViewController::TabItems::empty);
        QCOMPARE(app.window().windowTitle(), QStringLiteral("Pinwheels"));
    }

    void refresh_keepsTheSelection_withoutShowingItAgain()
    {
        MainWindowFixture app;
        app.view().expand(app.indexOf(QStringLiteral("More about Pinwheels")));
        app.view().selectRow(2);
        DisplayItem* shown = app.sidebar().selectedItem();
        int shows = 0;
        connect(&app.tabView(), &MainTabViewController::kanbanToDisplay, this,
                [&shows] { ++shows; });
        // A node inserted above moves the selected one a row down; it stays selected.
        auto* folder = app.context().insert<Folder>();
        folder->setTitle(QStringLiteral("Above"));
        app.root().insertChild(folder, 0);
        app.sidebar().refreshListWhileKeepingSelection();
        NotificationCenter::defaultCenter().post(
            QString::fromLatin1(ObjectContext::didSaveNotification));
        NotificationCenter::defaultCenter().post(QStringLiteral("dueSoonDefinitionChanged"));
        QTest::qWait(20);
        QCOMPARE(app.sidebar().selectedItem(), shown);
        QCOMPARE(app.view().selectedRow(), 3);
        QCOMPARE(shows, 0);
        QCOMPARE(app.tabView().objectToDisplay(), shown);
    }

    void hiddenSidebar_isShownAgainByNewFolder()
    {
        MainWindowFixture app;
        MainSplitViewController* split = app.window().splitViewController();
        app.view().clearSelection();
        split->showHideSidebar();
        QVERIFY(split->sideBarIsHidden());
        QCOMPARE(split->showHideSidebarTitle(), QStringLiteral("Show Sidebar"));
        QTRY_COMPARE(split->sizes().value(0), 0);
        split->addFolderSelected();
        QCOMPARE(app.childTitles().last(), QStringLiteral("untitled folder"));
        QVERIFY(!split->sideBarIsHidden());
        QTRY_VERIFY(split->sizes().value(0) > 0);
        QCOMPARE(split->showHideSidebarTitle(), QStringLiteral("Hide Sidebar"));
    }
};

PINWHEELS_GUI_TEST_MAIN(SidebarTest)
#include "tst_sidebar.moc"
