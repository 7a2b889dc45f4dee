#include "IsolatedEnvironment.h"
#include "MainWindowFixture.h"
#include "StoreTestSupport.h"
#include "board/KanbanColumnListViewController.h"
#include "board/KanbanColumnTableView.h"
#include "board/KanbanColumnView.h"
#include "board/KanbanColumnViewItem.h"
#include "board/KanbanViewController.h"
#include "cards/DatePickerViewController.h"
#include "interchange/TemplateViewController.h"
#include "model/Folder.h"
#include "model/Kanban.h"
#include "model/KanbanColumn.h"
#include "model/ListItem.h"
#include "model/Root.h"
#include "model/Tag.h"
#include "navigation/FHLeftSidebarViewController.h"
#include "navigation/MainTabViewController.h"
#include "navigation/MainWindowController.h"
#include "navigation/MoveToFolderDialog.h"
#include "navigation/SourceOutlineView.h"
#include "notes/NotesTextView.h"
#include "store/AppDelegate.h"
#include "store/DataFolder.h"
#include "store/ObjectContext.h"
#include "tags/TagsTextField.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>
#include <QUndoStack>

#define VERIFY_STORED()                                                                            \
    do {                                                                                           \
        const QStringList problems = unstored();                                                   \
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral("; "))));             \
    } while (false)

// The whole application by keyboard: a board is made, given a column, cards are written,
// walked, moved, ticked, dated, tagged, archived, deleted and brought back, and a board is
// moved into a folder, with keys only. After every step the store on disk holds exactly what
// the window shows.
class KeyboardWalkTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MainWindowFixture> app;

    QUndoStack* undo() const { return app->delegate().undoManager(); }
    KanbanViewController* board() const
    {
        return qobject_cast<KanbanViewController*>(app->tabView().kanbanView());
    }
    static QWidget* focus() { return QApplication::focusWidget(); }
    // A key to whatever has the keyboard, as a user types it.
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget* target = focus();
        QVERIFY2(target, "nothing has the keyboard");
        QTest::keyClick(target, Qt::Key(key), modifiers);
    }
    void type(const QString& text)
    {
        QWidget* target = focus();
        QVERIFY2(target, "nothing has the keyboard");
        QTest::keyClicks(target, text);
    }
    // Everything is saved, and a fresh read of the store file finds the same graph: what is
    // not so, or nothing.
    QStringList unstored() const
    {
        if (app->context().hasChanges())
            return {QStringLiteral("changes are not saved")};
        const auto stored =
            StoreTestSupport::open(DataFolder::storePath(DataFolder::standardPath()));
        if (!stored)
            return {QStringLiteral("the store cannot be opened")};
        return StoreTestSupport::differences(app->context(), *stored);
    }
    KanbanColumnTableView* tableWithKeyboard() const
    {
        for (QWidget* widget = focus(); widget; widget = widget->parentWidget()) {
            if (auto* table = qobject_cast<KanbanColumnTableView*>(widget))
                return table;
        }
        return nullptr;
    }
    static QStringList notesOf(const QList<ListItem*>& items)
    {
        QStringList notes;
        for (const ListItem* item : items)
            notes.append(item->notesPlainText());
        return notes;
    }
    QStringList columnTitles() const
    {
        QStringList titles;
        for (const KanbanColumn* column : board()->kanban()->column())
            titles.append(column->title());
        return titles;
    }
    KanbanColumn* column(int index) const { return board()->kanban()->column().at(index); }
    // Under X the window loses the keyboard to a closed sheet until it is activated again.
    void reactivate()
    {
        app->window().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&app->window()));
    }

private Q_SLOTS:
    void init() { app = std::make_unique<MainWindowFixture>(); }
    void cleanup() { app.reset(); }

    void everyStep_byKeysOnly_isStoredAtOnce()
    {
        // A new board: Ctrl+N, Return on the chosen blank template, its name typed over.
        app->view().setFocus();
        press(Qt::Key_N, Qt::ControlModifier);
        TemplateViewController* chooser = nullptr;
        QTRY_VERIFY((chooser = app->window().findChild<TemplateViewController*>()) &&
                    chooser->isVisible());
        QTest::keyClick(chooser, Qt::Key_Return);
        QTRY_VERIFY(!app->window().findChild<TemplateViewController*>());
        reactivate();
        // Without a window manager the closing sheet leaves no window active, which ends the
        // renaming it started; F2 starts it again.
        if (!app->view().isEditingTitle())
            press(Qt::Key_F2);
        QTRY_VERIFY(qobject_cast<QLineEdit*>(focus()));
        type(QStringLiteral("Walk"));
        press(Qt::Key_Return);
        QTRY_VERIFY(!app->view().isEditingTitle()); // the view ends an edit from its event loop
        QCOMPARE(board()->kanban()->title(), QStringLiteral("Walk"));
        QCOMPARE(columnTitles(), QStringList{QStringLiteral("Things to do")});
        VERIFY_STORED();

        // A column, named as it comes.
        press(Qt::Key_F6);
        QVERIFY(tableWithKeyboard());
        press(Qt::Key_Return, Qt::ControlModifier | Qt::ShiftModifier);
        QTRY_VERIFY(qobject_cast<QLineEdit*>(focus()));
        type(QStringLiteral("Doing"));
        press(Qt::Key_Return);
        QCOMPARE(columnTitles(),
                 (QStringList{QStringLiteral("Things to do"), QStringLiteral("Doing")}));
        VERIFY_STORED();

        // Renamed: F2 on the board renames the column the keyboard is in.
        QCOMPARE(tableWithKeyboard(), board()->itemAt(1)->tableView());
        press(Qt::Key_F2);
        QVERIFY(qobject_cast<QLineEdit*>(focus()));
        type(QStringLiteral("In progress"));
        press(Qt::Key_Return);
        QCOMPARE(columnTitles().last(), QStringLiteral("In progress"));
        QCOMPARE(undo()->undoText(), QStringLiteral("Change Column Title"));
        VERIFY_STORED();

        // Two cards, typed into.
        press(Qt::Key_Return, Qt::ControlModifier);
        QVERIFY(qobject_cast<NotesTextView*>(focus()));
        type(QStringLiteral("Write report"));
        press(Qt::Key_Escape);
        press(Qt::Key_Return, Qt::ControlModifier);
        type(QStringLiteral("Second"));
        press(Qt::Key_Escape);
        QCOMPARE(notesOf(column(1)->item()),
                 (QStringList{QStringLiteral("Write report"), QStringLiteral("Second")}));
        // Each card is a step of its own, and so is the typing into it.
        QCOMPARE(undo()->undoText(), QStringLiteral("Typing"));
        QCOMPARE(undo()->text(undo()->index() - 2), QStringLiteral("New Card"));
        VERIFY_STORED();
        ListItem* report = column(1)->item().at(0);
        ListItem* second = column(1)->item().at(1);

        // Up and down between cards, left and right between columns.
        KanbanColumnTableView* doing = board()->itemAt(1)->tableView();
        QCOMPARE(doing->currentCard(), second);
        press(Qt::Key_Up);
        QCOMPARE(doing->currentCard(), report);
        press(Qt::Key_Left);
        QCOMPARE(tableWithKeyboard(), board()->itemAt(0)->tableView());
        QVERIFY(board()->itemAt(0)->view()->isFocusMarked());
        press(Qt::Key_Right);
        QCOMPARE(tableWithKeyboard(), doing);
        QCOMPARE(doing->currentCard(), report);
        VERIFY_STORED();

        // Moved down, up, to the previous column and back, each one step of undo.
        press(Qt::Key_Down, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(column(1)->item(), (QList<ListItem*>{second, report}));
        QCOMPARE(undo()->undoText(), QStringLiteral("Move 1 Rows"));
        VERIFY_STORED();
        press(Qt::Key_Up, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(column(1)->item(), (QList<ListItem*>{report, second}));
        VERIFY_STORED();
        const int steps = undo()->index();
        press(Qt::Key_Left, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(column(0)->item(), QList<ListItem*>{report});
        QCOMPARE(undo()->undoText(), QStringLiteral("Move 1 Rows"));
        QCOMPARE(undo()->index(), steps + 1);
        QCOMPARE(tableWithKeyboard(), board()->itemAt(0)->tableView());
        VERIFY_STORED();
        press(Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(column(1)->item(), (QList<ListItem*>{report, second}));
        QCOMPARE(tableWithKeyboard()->currentCard(), report);
        VERIFY_STORED();

        // Ticked done.
        press(Qt::Key_D, Qt::ControlModifier);
        QVERIFY(report->isDone());
        QVERIFY(report->doneDate().isValid());
        QCOMPARE(undo()->undoText(), QStringLiteral("Mark as Done"));
        VERIFY_STORED();

        // A due date: the picker opens on the default date, Return takes it.
        press(Qt::Key_D, Qt::ControlModifier | Qt::ShiftModifier);
        QTRY_VERIFY(app->window().findChild<DatePickerViewController*>());
        QVERIFY(report->dueDate().isValid());
        press(Qt::Key_Return);
        QTRY_VERIFY(!app->window().findChild<DatePickerViewController*>());
        QCOMPARE(undo()->undoText(), QStringLiteral("Change Due Date"));
        VERIFY_STORED();

        // A tag.
        tableWithKeyboard() ? void() : reactivate();
        press(Qt::Key_T, Qt::ControlModifier);
        QTRY_VERIFY(focus() && qobject_cast<TagsTextField*>(focus()->parentWidget()));
        type(QStringLiteral("urgent"));
        press(Qt::Key_Return);
        press(Qt::Key_Escape);
        QCOMPARE(report->tags().size(), 1);
        QCOMPARE(report->tags().constFirst()->name(), QStringLiteral("urgent"));
        VERIFY_STORED();

        // The done cards archived.
        press(Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(report->isArchived());
        QCOMPARE(undo()->undoText(), QStringLiteral("Archive Done Cards"));
        VERIFY_STORED();

        // A card deleted, and brought back.
        QVERIFY(tableWithKeyboard());
        press(Qt::Key_Home);
        QCOMPARE(tableWithKeyboard()->currentCard(), second);
        press(Qt::Key_Delete);
        QVERIFY(second->isDeleted());
        QCOMPARE(notesOf(column(1)->item()), QStringList{QStringLiteral("Write report")});
        QCOMPARE(undo()->undoText(), QStringLiteral("Delete Card"));
        VERIFY_STORED();
        press(Qt::Key_Z, Qt::ControlModifier);
        // Back at its stored place among all of the column's cards, the archived one too.
        QCOMPARE(notesOf(column(1)->item()),
                 (QStringList{QStringLiteral("Write report"), QStringLiteral("Second")}));
        VERIFY_STORED();

        // The board into a folder of the sidebar, and back.
        press(Qt::Key_F6);
        QCOMPARE(focus(), &app->view());
        Kanban* walk = board()->kanban();
        QCOMPARE(app->sidebar().selectedItem(), walk);
        press(Qt::Key_M, Qt::ControlModifier | Qt::ShiftModifier);
        MoveToFolderDialog* dialog = nullptr;
        QTRY_VERIFY((dialog = app->window().findChild<MoveToFolderDialog*>()) &&
                    dialog->isVisible());
        QTRY_COMPARE(focus(), dialog->folderTree());
        type(QStringLiteral("More"));
        QCOMPARE(dialog->chosenFolder()->title(), QStringLiteral("More about Pinwheels"));
        press(Qt::Key_Return);
        QTRY_VERIFY(!app->window().findChild<MoveToFolderDialog*>());
        QCOMPARE(walk->parent()->title(), QStringLiteral("More about Pinwheels"));
        QCOMPARE(undo()->undoText(), QStringLiteral("Move Item"));
        VERIFY_STORED();
        reactivate();
        press(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(walk->parent(), &app->root());
        VERIFY_STORED();
    }
};

PINWHEELS_GUI_TEST_MAIN(KeyboardWalkTest)

#include "tst_keyboardwalk.moc"
