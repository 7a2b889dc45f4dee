#include "../cards/LondonClock.h"
#include "IsolatedEnvironment.h"
#include "MainWindowFixture.h"
#include "board/CardTableModel.h"
#include "board/CardTableView.h"
#include "board/KanbanColumnListViewController.h"
#include "board/KanbanColumnTableView.h"
#include "board/KanbanViewController.h"
#include "cards/CardEditor.h"
#include "cards/ListTabViewController.h"
#include "cards/PlainListViewController.h"
#include "interchange/TemplateViewController.h"
#include "model/Folder.h"
#include "model/Kanban.h"
#include "model/KanbanColumn.h"
#include "model/List.h"
#include "model/ListItem.h"
#include "model/Root.h"
#include "model/Tag.h"
#include "navigation/ColorCountButtonCell.h"
#include "navigation/FHLeftSidebarViewController.h"
#include "navigation/MainSplitViewController.h"
#include "navigation/MainTabViewController.h"
#include "navigation/MainWindowController.h"
#include "navigation/SourceOutlineModel.h"
#include "navigation/SourceOutlineView.h"
#include "notes/FormatMenuController.h"
#include "notes/NotesTextView.h"
#include "store/AppDelegate.h"
#include "store/DataFolder.h"
#include "store/Defaults.h"
#include "store/NotificationCenter.h"
#include "store/ObjectContext.h"
#include "store/SqliteDatabase.h"
#include "tags/FilterViewController.h"
#include "tags/TagsTextField.h"
#include "widgets/FieldUndoRouter.h"
#include "widgets/MenuItemState.h"
#include "widgets/MessageBox.h"
#include "widgets/WindowTitle.h"

#include <QAction>
#include <QCheckBox>
#include <QDesktopServices>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QSettings>
#include <QSplitterHandle>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QUndoStack>

#include <algorithm>
#include <sqlite3.h>

// Takes the URLs the application asks the desktop to open.
class UrlCatcher final : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> urls;

public Q_SLOTS:
    void openUrl(const QUrl& url) { urls.append(url); }
};

// The main window: its first frame, title, toolbar, menus and help, and the sidebar's badges.
class MainWindowTest : public QObject
{
    Q_OBJECT

private:
    static QAction* menuAction(QMenuBar* bar, const QString& menu, const QString& text)
    {
        for (QAction* top : bar->actions()) {
            if (top->text().remove(u'&') != menu)
                continue;
            for (QAction* action : top->menu()->actions()) {
                if (action->text().remove(u'&').startsWith(text))
                    return action;
            }
        }
        return nullptr;
    }

    static ListItem* addCard(ObjectContext& context, KanbanColumn* column, bool done,
                             const QDateTime& due = {})
    {
        auto* card = context.insert<ListItem>();
        card->setDone(done);
        card->setArchived(false);
        card->setDueDate(due);
        card->setColumn(column);
        return card;
    }

private Q_SLOTS:
    void initialFrame_isAtMost1200By720_centredOnTheScreen()
    {
        QCOMPARE(MainWindowController::initialWindowFrame(QSize(1440, 900)),
                 QRect(120, 90, 1200, 720));
        QCOMPARE(MainWindowController::initialWindowFrame(QSize(1024, 640)),
                 QRect(0, 0, 1024, 640));
        QCOMPARE(MainWindowController::initialWindowFrame(QSize(1280, 700)),
                 QRect(40, 0, 1200, 700));
    }

    void secondLaunch_usesTheSavedFrameAndDivider()
    {
        MainWindowFixture app;
        const QRect screen = app.window().screen()->geometry();
        QCOMPARE(app.window().size(),
                 MainWindowController::initialWindowFrame(screen.size()).size());
        QVERIFY(app.delegate().defaults().boolean(Defaults::windowPositionSet));
        QVERIFY(app.tabView().minimumWidth() >= 300 && app.tabView().minimumHeight() >= 300);

        app.window().setGeometry(30, 40, 700, 500);
        MainSplitViewController* split = app.window().splitViewController();
        split->setSizes({260, 440});
        const QList<int> sizes = split->sizes();
        app.relaunch();
        QCOMPARE(app.window().geometry(), QRect(30, 40, 700, 500));
        QCOMPARE(app.window().splitViewController()->sizes(), sizes);
    }

    void frameAndDivider_areOnDiskSoonAfterEachChange_withTheWindowOpen()
    {
        MainWindowFixture app;
        // A copy under another name: QSettings objects on one file share what is not yet written.
        const auto onDisk = [](const char* key) {
            QTemporaryDir dir;
            const QString copy = dir.filePath(QStringLiteral("copy.conf"));
            if (!QFile::copy(Defaults::standardFilePath(), copy))
                return QByteArray();
            return QSettings(copy, QSettings::IniFormat).value(QLatin1String(key)).toByteArray();
        };
        app.window().setGeometry(50, 60, 820, 560);
        QTRY_COMPARE(onDisk(MainWindowController::frameAutosaveName), app.window().saveGeometry());

        // Drag the divider 40 pixels to the right.
        MainSplitViewController* split = app.window().splitViewController();
        const int before = split->sizes().value(0);
        QSplitterHandle* handle = split->handle(1);
        const QPoint grip = handle->rect().center();
        QTest::mousePress(handle, Qt::LeftButton, {}, grip);
        QMouseEvent drag(QEvent::MouseMove, QPointF(grip + QPoint(40, 0)),
                         QPointF(handle->mapToGlobal(grip + QPoint(40, 0))), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(handle, &drag);
        QTest::mouseRelease(handle, Qt::LeftButton, {}, grip + QPoint(40, 0));
        QVERIFY(split->sizes().value(0) > before + 30);
        QTRY_COMPARE(onDisk(MainSplitViewController::autosaveName), split->saveState());
        QCOMPARE(onDisk(MainWindowController::frameAutosaveName), app.window().saveGeometry());
    }

    void quit_endsEditingFirst_soTheQuitAsksAboutItsFailedSave()
    {
        MainWindowFixture app;
        app.window().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&app.window()));
        auto* column = app.window().findChild<KanbanColumnTableView*>();
        QVERIFY(column);
        QTRY_VERIFY(column->model()->rowCount() > 1);
        const QModelIndex index = column->model()->index(1, 0); // below the spacer row
        column->edit(index);
        auto* editor = qobject_cast<CardEditor*>(column->indexWidget(index));
        QVERIFY(editor);
        ListItem* card = editor->item();
        QVERIFY(app.delegate().save());
        editor->focusTags();
        QTest::keyClicks(editor->tokenFieldForTags()->lineEdit(), QStringLiteral("pending"));
        QVERIFY(!app.context().hasChanges()); // the tag is still only in its field
        QVERIFY(QApplication::focusWidget() == editor->tokenFieldForTags()->lineEdit());

        // Another connection holds the write lock, so every save fails.
        SqliteDatabase other;
        QVERIFY(other.open(DataFolder::storePath(app.delegate().applicationDocumentsDirectory()),
                           SQLITE_OPEN_READWRITE));
        QVERIFY(other.exec("BEGIN IMMEDIATE"));
        // The quit asks, which it would not if the tag reached the card only as the window went.
        app.window().quit();
        QVERIFY(std::ranges::any_of(card->tags(),
                                    [](const Tag* tag) { return tag->name() == u"pending"; }));
        const QList<MessageBox::Alert> alerts = MessageBox::takeShownAlerts();
        QVERIFY(!alerts.isEmpty());
        QCOMPARE(alerts.last().text,
                 QStringLiteral("Could not save changes while quitting. Quit anyway?"));
        QVERIFY(other.exec("ROLLBACK"));
    }

    void windowTitle_namesTheShownItemAndItsFolders()
    {
        MainWindowFixture app;
        ObjectContext& context = app.context();
        auto* home = context.insert<Folder>();
        home->setTitle(QStringLiteral("Home"));
        auto* work = context.insert<Folder>();
        work->setTitle(QStringLiteral("Work"));
        auto* plan = context.insert<Kanban>();
        plan->setTitle(QStringLiteral("Plan"));
        auto* list = context.insert<List>();
        list->setTitle(QStringLiteral("")); // empty, not absent
        app.root().insertChild(home);
        home->insertChild(work);
        work->insertChild(plan);
        work->insertChild(list);
        QCOMPARE(WindowTitle::forItem(plan), QStringLiteral("Home - Work - Plan (Board)"));
        QCOMPARE(WindowTitle::forItem(list), QStringLiteral("Home - Work -  (List)"));
        // An empty title still names the kind; an absent one gives nothing of the item.
        plan->setTitle(QStringLiteral(""));
        home->insertChild(plan);
        QCOMPARE(WindowTitle::forItem(plan), QStringLiteral("Home -  (Board)"));
        plan->setTitle(QString());
        QCOMPARE(WindowTitle::forItem(plan), QStringLiteral("Home - "));

        app.tabView().passToKanbanWithObject(list);
        QCOMPARE(app.window().windowTitle(), QStringLiteral("Home - Work -  (List)"));
        app.tabView().clearDisplay();
        QCOMPARE(app.window().windowTitle(), QStringLiteral("Pinwheels"));
    }

    void showingAnotherItem_clearsTheUndoHistory()
    {
        MainWindowFixture app;
        QUndoStack* undo = app.delegate().undoManager();
        undo->push(new QUndoCommand(QStringLiteral("Move 3 Rows")));
        QAction* undoItem =
            menuAction(app.window().menuBar(), QStringLiteral("Edit"), QStringLiteral("Undo"));
        QVERIFY(undoItem);
        QCOMPARE(undoItem->text().remove(u'&'), QStringLiteral("Undo Move 3 Rows"));
        app.tabView().passToKanbanWithObject(app.tabView().objectToDisplay()); // the same item
        QCOMPARE(undo->count(), 1);
        app.view().expand(app.indexOf(QStringLiteral("More about Pinwheels")));
        app.view().selectRow(2);
        QCOMPARE(undo->count(), 0);
        QVERIFY(!undoItem->isEnabled());
    }

    void maintenanceMenu_asksFirstAndIsUndoneInOneStep()
    {
        MainWindowFixture app;
        MessageBox::takeShownAlerts();
        ObjectContext& context = app.context();
        QUndoStack* undo = app.delegate().undoManager();
        auto* lost = context.insert<ListItem>();
        lost->setTitle(QStringLiteral("lost card"));
        QVERIFY(app.delegate().save());
        QMenuBar* bar = app.window().menuBar();
        QAction* findLost =
            menuAction(bar, QStringLiteral("Maintenance"), QStringLiteral("Find Lost Cards…"));
        QVERIFY(findLost);

        MessageBox::setNextAnswer(1); // "Cancel"
        findLost->trigger();
        QCOMPARE(lost->column(), nullptr);
        QCOMPARE(undo->count(), 0);
        QList<MessageBox::Alert> alerts = MessageBox::takeShownAlerts();
        QCOMPARE(alerts.size(), 1);
        QCOMPARE(alerts[0].text, QStringLiteral("Put 1 card without a column on a board?"));
        QCOMPARE(alerts[0].buttons,
                 (QStringList{QStringLiteral("Put on Board"), QStringLiteral("Cancel")}));

        MessageBox::setNextAnswer(0);
        findLost->trigger();
        QVERIFY(lost->column());
        QCOMPARE(lost->column()->title(), QStringLiteral("Recovered cards"));
        QVERIFY(app.childTitles().endsWith(QStringLiteral("Recovered")));
        QVERIFY(!context.hasChanges());
        QAction* undoItem = menuAction(bar, QStringLiteral("Edit"), QStringLiteral("Undo"));
        QCOMPARE(undoItem->text().remove(u'&'), QStringLiteral("Undo Find Lost Cards"));
        undoItem->trigger();
        QCOMPARE(lost->column(), nullptr);
        QVERIFY(!app.childTitles().contains(QStringLiteral("Recovered")));
        QVERIFY(!context.hasChanges());

        // The shown board's card follows, and a run with nothing to do only says so.
        auto* board = qobject_cast<KanbanViewController*>(app.tabView().kanbanView());
        QVERIFY(board && board->kanban());
        ListItem* archived = board->kanban()->column().first()->item().first();
        archived->setArchived(true);
        archived->setDone(false);
        QVERIFY(app.delegate().save());
        QAction* markDone = menuAction(bar, QStringLiteral("Maintenance"),
                                       QStringLiteral("Mark Archived Cards as Done…"));
        MessageBox::setNextAnswer(0);
        markDone->trigger();
        QVERIFY(archived->isDone());
        QCOMPARE(undo->undoText(), QStringLiteral("Mark Archived Cards as Done"));
        MessageBox::takeShownAlerts();
        markDone->trigger();
        alerts = MessageBox::takeShownAlerts();
        QCOMPARE(alerts.size(), 1);
        QCOMPARE(alerts[0].text, QStringLiteral("Nothing needs to change."));
        QCOMPARE(undo->count(), 1);
        undo->undo();
        QVERIFY(!archived->isDone());

        // More than one is counted in words, not as "tag(s)".
        MessageBox::setNextAnswer(1);
        menuAction(bar, QStringLiteral("Maintenance"), QStringLiteral("Reset Tag Colours…"))
            ->trigger();
        alerts = MessageBox::takeShownAlerts();
        QCOMPARE(alerts.size(), 1);
        QVERIFY2(alerts[0].text.endsWith(QLatin1String(" tags a new colour?")),
                 qPrintable(alerts[0].text));
    }

    void toolbar_followsTheArchiveModeAndTheBoardView()
    {
        MainWindowFixture app;
        QAction* archiveSwitch = app.window().showHideArchievedToolbarItem();
        QAction* cleanDone = app.window().cleanDoneButton();
        QCOMPARE(archiveSwitch->text(), QStringLiteral("Switch to Archived"));
        QCOMPARE(archiveSwitch->toolTip(), QStringLiteral("Switch to Archived"));
        QVERIFY(!archiveSwitch->isChecked());

        // The tutorial board shown on the first run has done cards that are not archived.
        auto* board = qobject_cast<KanbanViewController*>(app.tabView().kanbanView());
        QVERIFY(board && board->kanban());
        const int done = board->kanban()->numberOfDone();
        QVERIFY(done > 0);
        QVERIFY(cleanDone->isEnabled());
        cleanDone->trigger();
        QCOMPARE(board->kanban()->numberOfDone(), 0);
        QVERIFY(!cleanDone->isEnabled());
        QUndoStack* undo = app.delegate().undoManager();
        QCOMPARE(undo->undoText(), QStringLiteral("Archive Done Cards"));
        undo->undo();
        QCOMPARE(board->kanban()->numberOfDone(), done);
        QVERIFY(cleanDone->isEnabled());

        archiveSwitch->trigger();
        QCOMPARE(app.delegate().defaults().integer(Defaults::listViewMode), 2);
        QCOMPARE(archiveSwitch->text(), QStringLiteral("Switch to Edit"));
        QVERIFY(archiveSwitch->isChecked());
        QVERIFY(!cleanDone->isEnabled());
        QAction* menuItem = menuAction(app.window().menuBar(), QStringLiteral("View"),
                                       QStringLiteral("Hide Archived"));
        QVERIFY(menuItem);
        menuItem->trigger();
        QCOMPARE(archiveSwitch->text(), QStringLiteral("Switch to Archived"));
        QVERIFY(!archiveSwitch->isChecked());
        QVERIFY(cleanDone->isEnabled());

        // A list on the right: its done item is archived the same way.
        app.view().expand(app.indexOf(QStringLiteral("More about Pinwheels")));
        app.view().selectRow(3);
        QVERIFY(app.tabView().objectToDisplay()->isKindOf(Entity::List));
        auto* list = static_cast<List*>(app.tabView().objectToDisplay());
        QVERIFY(cleanDone->isEnabled());
        cleanDone->trigger();
        QVERIFY(!cleanDone->isEnabled());
        QCOMPARE(undo->undoText(), QStringLiteral("Archive Done Cards"));
        QVERIFY(std::none_of(list->item().cbegin(), list->item().cend(), [](const ListItem* item) {
            return item->isDone() && !item->isArchived();
        }));
        undo->undo();
        QVERIFY(cleanDone->isEnabled());
    }

    void aListShownLast_isShownAgainAtLaunch_andFollowsTheArchiveSwitch()
    {
        MainWindowFixture app;
        app.view().expand(app.indexOf(QStringLiteral("More about Pinwheels")));
        // Walking the sidebar with the keys shows the list and leaves the keyboard there; F6
        // takes it to the list's field.
        app.view().setFocus();
        app.view().selectRow(2);
        QTest::keyClick(&app.view(), Qt::Key_Down);
        auto* lists = qobject_cast<ListTabViewController*>(app.tabView().listView());
        QVERIFY(lists);
        QCOMPARE(app.tabView().selectedTab(), MainTabViewController::TabItems::list);
        QVERIFY(app.view().hasFocus());
        QTest::keyClick(&app.view(), Qt::Key_F6);
        QTRY_VERIFY(lists->addItemTextField()->hasFocus());
        app.relaunch();
        lists = qobject_cast<ListTabViewController*>(app.tabView().listView());
        QCOMPARE(app.tabView().selectedTab(), MainTabViewController::TabItems::list);
        QVERIFY(lists->list());
        QCOMPARE(lists->list()->title(), QStringLiteral("Weekend shopping"));
        QCOMPARE(app.window().windowTitle(),
                 QStringLiteral("More about Pinwheels - Weekend shopping (List)"));
        QCOMPARE(lists->addItemTextField()->placeholderText(),
                 QStringLiteral("Add item in Weekend shopping…"));
        // Bread is done: in the archive view it alone shows once archived.
        const int working = lists->listViewController()->numberOfRows();
        app.window().cleanDoneButton()->trigger();
        QCOMPARE(lists->listViewController()->numberOfRows(), working - 1);
        app.window().showHideArchievedToolbarItem()->trigger();
        QCOMPARE(lists->listViewController()->numberOfRows(), 2);
        QCOMPARE(lists->listViewController()->itemAtRow(1)->title(), QStringLiteral("Bread"));
        app.window().showHideArchievedToolbarItem()->trigger();
        QCOMPARE(lists->listViewController()->numberOfRows(), working - 1);
    }

    // A field's undo keys are the window's: they undo the last change, never the field's own
    // typing, so the steps and what is shown stay together.
    void undoKeysInAField_undoTheWindowsLastStep()
    {
        MainWindowFixture app;
        app.view().expand(app.indexOf(QStringLiteral("More about Pinwheels")));
        app.view().setCurrentIndex(app.indexOf(QStringLiteral("Weekend shopping")));
        auto* lists = qobject_cast<ListTabViewController*>(app.tabView().listView());
        QVERIFY(lists && lists->list());
        QLineEdit* field = lists->addItemTextField();
        field->setFocus();
        QTRY_VERIFY(field->hasFocus());
        const qsizetype before = lists->list()->item().size();
        QTest::keyClicks(field, QStringLiteral("Milk"));
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(lists->list()->item().size(), before + 1);
        QTest::keyClicks(field, QStringLiteral("Eg"));

        QTest::keyClick(field, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(lists->list()->item().size(), before);
        QCOMPARE(field->text(), QStringLiteral("Eg"));
        QTest::keyClick(field, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(lists->list()->item().size(), before + 1);
        QCOMPARE(lists->list()->item().constFirst()->title(), QStringLiteral("Milk"));
        QCOMPARE(field->text(), QStringLiteral("Eg"));

        // The field's menu offers the same steps.
        const std::unique_ptr<QMenu> menu(
            FieldUndoRouter::createFieldMenu(field, app.delegate().undoManager()));
        QCOMPARE(menu->actions().constFirst()->text(), QStringLiteral("Undo New Card"));
    }

    void searchField_narrowsTheBoardShown()
    {
        MainWindowFixture app;
        auto* board = qobject_cast<KanbanViewController*>(app.tabView().kanbanView());
        QVERIFY(board && board->kanban());
        QTest::keySequence(&app.window(), QKeySequence::Find);
        QTRY_VERIFY(app.window().searchField()->hasFocus());
        QTest::keyClicks(app.window().searchField(), QStringLiteral("flag"));
        QCOMPARE(board->searchTerm(), QStringLiteral("flag"));
        int shown = 0;
        for (KanbanColumn* column : board->columns())
            shown += int(KanbanColumnListViewController::controllerFor(column)->listItems().size());
        QVERIFY(shown > 0);
        QVERIFY(shown < board->kanban()->numberOfNonArchived());
        app.window().searchField()->clear();
        QVERIFY(board->searchTerm().isEmpty());
    }

    void tagFilterPopover_narrowsTheBoardAndClearsAgain()
    {
        MainWindowFixture app;
        auto* board = qobject_cast<KanbanViewController*>(app.tabView().kanbanView());
        QVERIFY(board && board->kanban());
        QAction* button = app.window().tagFilterToolbarItem();
        QVERIFY(button->isEnabled());
        QVERIFY(!button->isChecked());
        const auto shownCards = [board] {
            QList<ListItem*> cards;
            for (KanbanColumn* column : board->columns())
                cards += KanbanColumnListViewController::controllerFor(column)->listItems();
            return cards;
        };
        const qsizetype everyCard = shownCards().size();

        QTest::mouseClick(app.window().mainToolBar()->widgetForAction(button), Qt::LeftButton);
        FilterViewController* popover = app.window().filterViewController();
        QVERIFY(popover && popover->isVisible());
        QStringList boxes;
        for (QCheckBox* box : popover->checkButtons())
            boxes.append(box->text());
        QStringList tags;
        for (Tag* tag : board->kanban()->tags())
            tags.append(tag->name());
        QCOMPARE(boxes, tags);
        QVERIFY(!popover->clearAllButton()->isEnabled());

        // Ticking one tag shows only its cards, and the button says a filter is on.
        const auto tickFirst = [&popover] {
            QCheckBox* box = popover->checkButtons().constFirst();
            QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
        };
        Tag* firstTag = board->kanban()->tags().constFirst();
        tickFirst();
        QCOMPARE(board->tagFilter(), std::optional<QList<Tag*>>(QList<Tag*>{firstTag}));
        const QList<ListItem*> tagged = shownCards();
        QVERIFY(!tagged.isEmpty() && tagged.size() < everyCard);
        for (ListItem* card : tagged)
            QVERIFY(card->tags().contains(firstTag));
        QVERIFY(button->isChecked());
        QVERIFY(popover->clearAllButton()->isEnabled());
        // The board narrows at once, on screen too, while the popover stays open.
        QVERIFY(popover->isVisible());
        const auto shownRows = [board] {
            qsizetype rows = 0;
            for (KanbanColumn* column : board->columns())
                rows += KanbanColumnListViewController::controllerFor(column)
                            ->tableView()
                            ->model()
                            ->rowCount();
            return rows;
        };
        const qsizetype emptyColumnRows = 2 * board->columns().size(); // spacer, add-card row
        QCOMPARE(shownRows(), emptyColumnRows + tagged.size());
        // A box ticked from the keyboard widens it again at once.
        if (popover->checkButtons().size() > 1) {
            QCheckBox* second = popover->checkButtons().at(1);
            second->setFocus();
            QTest::keyClick(second, Qt::Key_Space);
            QCOMPARE(board->tagFilter()->size(), 2);
            QVERIFY(shownCards().size() > tagged.size());
            QCOMPARE(shownRows(), emptyColumnRows + shownCards().size());
            QTest::keyClick(second, Qt::Key_Space);
            QCOMPARE(shownCards(), tagged);
        }

        // Opened again, the popover shows the filter; Clear All removes it.
        popover->close();
        QTRY_VERIFY(!app.window().filterViewController());
        app.window().showFilterView();
        popover = app.window().filterViewController();
        QVERIFY(popover->checkButtons().constFirst()->isChecked());
        QTest::mouseClick(popover->clearAllButton(), Qt::LeftButton);
        QVERIFY(!board->tagFilter().has_value());
        QVERIFY(!button->isChecked());
        QVERIFY(!popover->checkButtons().constFirst()->isChecked());
        QCOMPARE(shownCards().size(), everyCard);

        // Unticking the last box also means no filter, never an empty one.
        tickFirst();
        QVERIFY(board->tagFilter().has_value());
        tickFirst();
        QVERIFY(!board->tagFilter().has_value());
        QVERIFY(!popover->clearAllButton()->isEnabled());
    }

    void tagFilter_dropsATagThatWentWithItsLastCard()
    {
        MainWindowFixture app;
        auto* shop = app.context().insert<Kanban>();
        shop->setTitle(QStringLiteral("Shop"));
        auto* column = app.context().insert<KanbanColumn>();
        column->setTitle(QStringLiteral("To buy"));
        shop->insertColumn(column);
        QList<ListItem*> cards;
        for (const QString& name : {QStringLiteral("dairy"), QStringLiteral("bakery")}) {
            auto* tag = app.context().insert<Tag>();
            tag->setName(name);
            shop->addTag(tag);
            ListItem* card = addCard(app.context(), column, false);
            card->setTitle(name);
            card->setTags({tag});
            cards.append(card);
        }
        addCard(app.context(), column, false)->setTitle(QStringLiteral("untagged"));
        app.root().insertChild(shop);
        app.delegate().save();
        app.view().selectRow(app.view().rowForIndex(app.indexOf(QStringLiteral("Shop"))));
        auto* board = qobject_cast<KanbanViewController*>(app.tabView().kanbanView());
        QCOMPARE(board->kanban(), shop);
        KanbanColumnListViewController* list =
            KanbanColumnListViewController::controllerFor(column);
        QAction* button = app.window().tagFilterToolbarItem();

        QTest::mouseClick(app.window().mainToolBar()->widgetForAction(button), Qt::LeftButton);
        FilterViewController* popover = app.window().filterViewController();
        for (QCheckBox* box : popover->checkButtons())
            QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
        QCOMPARE(board->tagFilter(), std::optional<QList<Tag*>>(shop->tags()));
        popover->close();
        const QList<Tag*> bakery{shop->tags().at(1)};
        // Takes the only tag off a card in its editor: the tag goes at the save.
        const auto untag = [&app, list](ListItem* card) {
            // A reload closes an open editor, and the window may lose the keyboard with it.
            QApplication::setActiveWindow(&app.window());
            KanbanColumnTableView* view = list->columnTableView();
            const QModelIndex index = list->tableModel()->indexForItem(card);
            view->edit(index);
            auto* editor = qobject_cast<CardEditor*>(view->indexWidget(index));
            QVERIFY(editor);
            editor->focusTags();
            QLineEdit* field = editor->tokenFieldForTags()->lineEdit();
            QTRY_VERIFY(field->hasFocus());
            QTest::keyClick(field, Qt::Key_Backspace);
            QTest::keyClick(field, Qt::Key_Return);
            QVERIFY(card->tags().isEmpty());
        };

        untag(cards.at(0));
        QTRY_COMPARE(board->tagFilter(), std::optional<QList<Tag*>>(bakery));
        QCOMPARE(list->listItems(), QList<ListItem*>{cards.at(1)});
        QVERIFY(button->isChecked());

        untag(cards.at(1));
        QTRY_VERIFY(!board->tagFilter().has_value());
        QCOMPARE(list->listItems().size(), 3);
        QVERIFY(!button->isChecked());
        QVERIFY(shop->tags().isEmpty());
        QVERIFY(app.context().fetch<Tag>([](const Tag& tag) { return !tag.kanban(); }).isEmpty());
        QVERIFY(!app.context().hasChanges());
    }

    void formatMenu_andToolbarControls_actOnTheEditedCard_andAreDisabledOtherwise()
    {
        MainWindowFixture app;
        FormatMenuController* format = app.window().formatMenuController();
        const QList<std::pair<QString, QKeySequence>> items{
            {QStringLiteral("formatAsTitle"), QKeySequence(Qt::CTRL | Qt::Key_1)},
            {QStringLiteral("formatAsHeader"), QKeySequence(Qt::CTRL | Qt::Key_2)},
            {QStringLiteral("formatAsBody"), QKeySequence(Qt::CTRL | Qt::Key_3)},
            {QStringLiteral("formatAsChecklist"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_L)}};
        for (const auto& [identifier, key] : items) {
            const QList<QAction*> withKey = app.window().findChildren<QAction*>();
            const auto count = std::count_if(withKey.cbegin(), withKey.cend(), [&](QAction* a) {
                return a->shortcuts().contains(key);
            });
            QCOMPARE(count, 1);
            auto* action = format->menu()->findChild<QAction*>(identifier);
            QVERIFY(action && action->shortcut() == key && !action->isEnabled());
        }
        QCOMPARE(
            menuAction(app.window().menuBar(), QStringLiteral("Format"), QStringLiteral("Header")),
            format->action(NoteStyle::Header));
        QVERIFY(!format->styleButton()->isEnabled() && !format->checklistButton()->isEnabled());

        auto* board = qobject_cast<KanbanViewController*>(app.tabView().kanbanView());
        QVERIFY(board && board->kanban());
        auto* list = KanbanColumnListViewController::controllerFor(board->kanban()->column().at(0));
        ListItem* card = list->listItems().at(0);
        QApplication::setActiveWindow(&app.window());
        list->columnTableView()->openEditorFor(card);
        auto* editor = qobject_cast<CardEditor*>(
            list->columnTableView()->indexWidget(list->tableModel()->indexForItem(card)));
        QVERIFY(editor);
        NotesTextView* notes = editor->notesTextView();
        QTRY_VERIFY(notes->hasFocus());
        QVERIFY(format->action(NoteStyle::Header)->isEnabled());
        QVERIFY(format->checklistButton()->isEnabled());

        QTest::keyClick(notes, Qt::Key_Home, Qt::ControlModifier);
        QTest::keyClick(notes, Qt::Key_2, Qt::ControlModifier);
        QCOMPARE(card->attributedNotes()->attributesAt(0).styleName,
                 std::optional(QStringLiteral("header")));
        QCOMPARE(app.delegate().undoManager()->undoText(), QStringLiteral("Style Change"));
        QCOMPARE(MenuItemState::of(format->action(NoteStyle::Header)), MenuItemState::On);
        QCOMPARE(MenuItemState::of(format->action(NoteStyle::Title)), MenuItemState::Off);

        QTest::mouseClick(app.window().mainToolBar()->widgetForAction(format->checklistButton()),
                          Qt::LeftButton);
        QVERIFY(NoteStyle::isChecklist(card->attributedNotes()->attributesAt(0)));
        QVERIFY(format->checklistButton()->isChecked());
        QCOMPARE(MenuItemState::of(format->action(NoteStyle::Header)), MenuItemState::Off);
        QVERIFY(notes->hasFocus());

        app.window().searchField()->setFocus();
        QTRY_VERIFY(!format->checklistButton()->isEnabled());
        QVERIFY(!format->action(NoteStyle::Title)->isEnabled());
        QVERIFY(!app.context().hasChanges());
    }

    void menus_haveTheStandardCommands()
    {
        MainWindowFixture app;
        QMenuBar* bar = app.window().menuBar();
        QAction* newBoard = menuAction(bar, QStringLiteral("File"), QStringLiteral("New Board…"));
        QVERIFY(newBoard);
        QCOMPARE(newBoard->shortcut(), QKeySequence(QKeySequence::New));
        QCOMPARE(menuAction(bar, QStringLiteral("File"), QStringLiteral("New Folder"))->shortcut(),
                 QKeySequence(QStringLiteral("Ctrl+Shift+N")));
        QCOMPARE(menuAction(bar, QStringLiteral("Edit"), QStringLiteral("Rename…"))->shortcut(),
                 QKeySequence(Qt::Key_F2));
        QCOMPARE(
            menuAction(bar, QStringLiteral("Help"), QStringLiteral("Pinwheels Help"))->shortcut(),
            QKeySequence(QKeySequence::HelpContents));
        QVERIFY(menuAction(bar, QStringLiteral("View"), QStringLiteral("Hide Sidebar")));
        QCOMPARE(menuAction(bar, QStringLiteral("File"), QStringLiteral("Import…"))->shortcut(),
                 QKeySequence(QKeySequence::Open));
        QCOMPARE(menuAction(bar, QStringLiteral("File"), QStringLiteral("Export…"))->shortcut(),
                 QKeySequence(QStringLiteral("Ctrl+Shift+E")));

        // New Board… asks for a template first; cancelling it creates nothing.
        const qsizetype nodes = app.root().children().size();
        newBoard->trigger();
        auto* chooser = app.window().findChild<TemplateViewController*>();
        QVERIFY(chooser);
        chooser->reject();
        QCOMPARE(app.root().children().size(), nodes);
    }

    void help_isCopiedToTheCacheAndOpened()
    {
        MainWindowFixture app;
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "openUrl");
        app.window().showHelp();
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        QCOMPARE(catcher.urls,
                 QList<QUrl>{QUrl::fromLocalFile(MainWindowController::helpFilePath())});
        QFile copy(MainWindowController::helpFilePath());
        QVERIFY(copy.open(QIODevice::ReadOnly));
        const QByteArray guide = copy.readAll();
        QVERIFY(guide.contains("<title>Pinwheels Help</title>"));
        QVERIFY(guide.contains("Ctrl+Shift+N"));
    }

    void badges_countAndColourBoardsAndLists()
    {
        setLondonClock();
        MainWindowFixture app;
        ObjectContext& context = app.context();
        auto* board = context.insert<Kanban>();
        board->setTitle(QStringLiteral("Board"));
        auto* column = context.insert<KanbanColumn>();
        column->setKanban(board);
        addCard(context, column, false);
        addCard(context, column, true);
        ListItem* soon = addCard(context, column, false);
        auto* list = context.insert<List>();
        list->setTitle(QStringLiteral("List"));
        for (bool archived : {false, false, true}) {
            auto* item = context.insert<ListItem>();
            item->setArchived(archived);
            item->setList(list);
        }
        auto* folder = context.insert<Folder>();
        folder->setTitle(QStringLiteral("Folder"));
        app.root().setChildren({board, list, folder});
        app.sidebar().refreshListWhileKeepingSelection();

        const auto badge = [&app](const QString& title) {
            const QModelIndex index = app.indexOf(title);
            return std::make_pair(index.data(SourceOutlineModel::BadgeTextRole),
                                  index.data(SourceOutlineModel::BadgeColourRole).value<QColor>());
        };
        QCOMPARE(badge(QStringLiteral("Board")).first.toString(), QStringLiteral("2"));
        QCOMPARE(badge(QStringLiteral("Board")).second, QColor(0x797979));
        QCOMPARE(badge(QStringLiteral("List")).first.toString(), QStringLiteral("2"));
        QVERIFY(!badge(QStringLiteral("Folder")).first.isValid());

        soon->setDueDate(Clock::now().addSecs(3600));
        app.sidebar().refreshListWhileKeepingSelection();
        QCOMPARE(badge(QStringLiteral("Board")).second, QColor(0xF6A623));
        // Overdue wins over due soon; a done card's date does not count.
        addCard(context, column, true, Clock::now().addDays(-3));
        app.sidebar().refreshListWhileKeepingSelection();
        QCOMPARE(badge(QStringLiteral("Board")).second, QColor(0xF6A623));
        addCard(context, column, false, Clock::now().addSecs(-60));
        app.sidebar().refreshListWhileKeepingSelection();
        QCOMPARE(badge(QStringLiteral("Board")).first.toString(), QStringLiteral("3"));
        QCOMPARE(badge(QStringLiteral("Board")).second, QColor(0xDF6969));
        resetClock();
    }

    void badgePainter_cutsTheDigitsOut_orFillsThemWhiteWhenHighlighted()
    {
        const QFont font(QStringLiteral("DejaVu Sans"), 10);
        const QSize size = ColorCountButtonCell::sizeForText(QStringLiteral("88"), font);
        QCOMPARE(ColorCountButtonCell::sizeForText(QStringLiteral("11"), font), size);
        QVERIFY(size.width() >= size.height());
        ColorCountButtonCell cell;
        cell.setBackgroundColour(QColor(0xDF6969));
        const auto paint = [&](bool highlighted) {
            QImage image(size + QSize(8, 8), QImage::Format_ARGB32);
            image.fill(Qt::blue);
            QPainter painter(&image);
            cell.draw(&painter, image.rect(), QStringLiteral("88"), font, highlighted);
            return image;
        };
        // Looks at the middle band of the pill, where only the pill and the digits are.
        const auto count = [&size](const QImage& image, QRgb colour) {
            int n = 0;
            for (int y = 4 + size.height() / 3; y < 4 + 2 * size.height() / 3; ++y) {
                for (int x = 4 + size.height() / 2; x < 4 + size.width() - size.height() / 2; ++x)
                    n += image.pixel(x, y) == colour;
            }
            return n;
        };
        const QImage plain = paint(false);
        QVERIFY(count(plain, QColor(Qt::blue).rgb()) > 0);
        QVERIFY(count(plain, QColor(0xDF6969).rgb()) > 0);
        QCOMPARE(count(plain, QColor(Qt::white).rgb()), 0);
        const QImage highlighted = paint(true);
        QVERIFY(count(highlighted, QColor(Qt::white).rgb()) > 0);
        QCOMPARE(count(highlighted, QColor(Qt::blue).rgb()), 0);
        QCOMPARE(ColorCountButtonCell::colourForCounts(1, 1), QColor(0xDF6969));
        QCOMPARE(ColorCountButtonCell::colourForCounts(0, 2), QColor(0xF6A623));
        QCOMPARE(ColorCountButtonCell::colourForCounts(0, 0), QColor(0x797979));
    }
};

PINWHEELS_GUI_TEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
