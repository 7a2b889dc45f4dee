#include "IsolatedEnvironment.h"
#include "MainWindowFixture.h"
#include "StoreTestSupport.h"
#include "board/CardShortcuts.h"
#include "board/KanbanColumnListViewController.h"
#include "board/KanbanColumnTableView.h"
#include "board/KanbanColumnViewItem.h"
#include "board/KanbanViewController.h"
#include "model/Folder.h"
#include "model/Kanban.h"
#include "model/KanbanColumn.h"
#include "model/ListItem.h"
#include "model/Root.h"
#include "model/Tag.h"
#include "navigation/FHLeftSidebarViewController.h"
#include "navigation/MainTabViewController.h"
#include "navigation/MainWindowController.h"
#include "navigation/SourceOutlineView.h"
#include "notes/NotesTextView.h"
#include "store/AppDelegate.h"
#include "store/DataFolder.h"
#include "store/Defaults.h"
#include "store/ObjectContext.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMenuBar>
#include <QRandomGenerator>
#include <QTest>
#include <QUndoStack>

#include <algorithm>

#define VERIFY_STORED()                                                                            \
    do {                                                                                           \
        const QStringList problems = unstored();                                                   \
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral("; "))));             \
    } while (false)

// Undo and redo on a board in the main window, by keys: every step can be taken back and done
// again, and the store then holds exactly the cards the user kept, in their order, with their
// text. Ends with a seeded run of random actions checked after every step.
class BoardUndoTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MainWindowFixture> app;

    QUndoStack* undo() const { return app->delegate().undoManager(); }
    KanbanViewController* board() const
    {
        return qobject_cast<KanbanViewController*>(app->tabView().kanbanView());
    }
    KanbanColumnTableView* table(int column) const { return board()->itemAt(column)->tableView(); }
    KanbanColumn* column(int index) const { return board()->kanban()->column().at(index); }
    static QWidget* focus() { return QApplication::focusWidget(); }
    void keys(const QKeySequence& sequence)
    {
        QTest::keySequence(focus() ? focus() : &app->window(), sequence);
    }
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(focus() ? focus() : &app->window(), Qt::Key(key), modifiers);
    }
    // A new board at the end of the sidebar, shown, with columns of cards by title.
    void showBoard(const QString& title, const QList<QStringList>& columns)
    {
        auto* kanban = app->context().insert<Kanban>();
        kanban->setTitle(title);
        for (qsizetype c = 0; c < columns.size(); ++c) {
            auto* column = app->context().insert<KanbanColumn>();
            column->setTitle(QStringLiteral("C%1").arg(c));
            kanban->insertColumn(column);
            for (const QString& text : columns.at(c)) {
                auto* card = app->context().insert<ListItem>();
                card->setTitle(text);
                column->insertItem(card);
            }
        }
        app->root().insertChild(kanban);
        QVERIFY(app->delegate().save());
        QVERIFY(QTest::qWaitFor([&] { return app->indexOf(title).isValid(); }));
        app->view().selectRow(app->view().rowForIndex(app->indexOf(title)));
        QVERIFY(board() && board()->kanban() == kanban);
        QCOMPARE(undo()->count(), 0);
    }
    void selectCard(int columnIndex, ListItem* card)
    {
        table(columnIndex)->setFocus();
        table(columnIndex)->selectCard(card);
    }
    static QString textOf(const ListItem* card)
    {
        const QString notes = card->notesPlainText();
        return notes.isEmpty() ? card->title() : notes;
    }
    QStringList texts(int index) const
    {
        QStringList list;
        for (const ListItem* card : column(index)->item())
            list.append(textOf(card));
        return list;
    }
    // Everything is saved, and a fresh read of the store file finds the same graph.
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
    QAction* menuAction(const QString& menu, const QString& text) const
    {
        for (QAction* top : app->window().menuBar()->actions()) {
            if (top->text().remove(u'&') != menu || !top->menu())
                continue;
            for (QAction* action : top->menu()->actions()) {
                if (action->text().remove(u'&') == text)
                    return action;
            }
        }
        return nullptr;
    }

    // What the fuzz run compares: each column's title and cards, with their done and
    // archived states.
    QStringList boardState() const
    {
        QStringList state;
        for (const KanbanColumn* c : board()->kanban()->column()) {
            QStringList cards;
            for (const ListItem* card : c->item())
                cards.append(textOf(card) + (card->isDone() ? QStringLiteral("+done") : QString()) +
                             (card->isArchived() ? QStringLiteral("+archived") : QString()));
            state.append(c->title() + QStringLiteral(": ") + cards.join(u'|'));
        }
        return state;
    }
    QStringList allTexts() const
    {
        QStringList all;
        for (int c = 0; c < board()->kanban()->column().size(); ++c)
            all += texts(c);
        all.sort();
        return all;
    }

private Q_SLOTS:
    void init() { app = std::make_unique<MainWindowFixture>(); }
    void cleanup() { app.reset(); }

    void cutPasteAndNewColumn_areSteps_andUndoLeavesNoCopy()
    {
        showBoard(QStringLiteral("Paste"), {{QStringLiteral("one"), QStringLiteral("two")}, {}});
        ListItem* one = column(0)->item().at(0);
        selectCard(0, one);
        keys(QKeySequence::Cut);
        QCOMPARE(undo()->undoText(), QStringLiteral("Delete Card"));
        table(1)->setFocus();
        keys(QKeySequence::Paste);
        QCOMPARE(texts(1), QStringList{QStringLiteral("one")});
        QCOMPARE(undo()->undoText(), QStringLiteral("Paste Card"));
        VERIFY_STORED();
        keys(QKeySequence::Undo);
        QVERIFY(column(1)->item().isEmpty());
        keys(QKeySequence::Undo);
        QCOMPARE(texts(0), (QStringList{QStringLiteral("one"), QStringLiteral("two")}));
        QCOMPARE(app->context()
                     .fetch<ListItem>(
                         [](const ListItem& card) { return card.title() == QStringLiteral("one"); })
                     .size(),
                 1);
        // The card came back as itself: what names it finds it.
        QCOMPARE(app->context().uriFor(column(0)->item().at(0)), app->context().uriFor(one));
        VERIFY_STORED();
        keys(QKeySequence::Redo);
        keys(QKeySequence::Redo);
        QCOMPARE(texts(0), QStringList{QStringLiteral("two")});
        QCOMPARE(texts(1), QStringList{QStringLiteral("one")});
        VERIFY_STORED();

        // A column copied and pasted, and a new one, each undone and done again.
        board()->setSelectedColumnIndexes({0});
        board()->setFocus();
        keys(QKeySequence::Copy);
        keys(QKeySequence::Paste);
        QCOMPARE(board()->kanban()->column().size(), 3);
        QCOMPARE(undo()->undoText(), QStringLiteral("Paste Column"));
        keys(QKeySequence::Undo);
        QCOMPARE(board()->kanban()->column().size(), 2);
        VERIFY_STORED();
        keys(CardShortcuts::newColumn());
        QCOMPARE(board()->kanban()->column().size(), 3);
        QCOMPARE(undo()->undoText(), QStringLiteral("New Column"));
        press(Qt::Key_Escape);
        board()->setFocus();
        keys(QKeySequence::Undo);
        QCOMPARE(board()->kanban()->column().size(), 2);
        keys(QKeySequence::Redo);
        QCOMPARE(board()->kanban()->column().size(), 3);
        VERIFY_STORED();
    }

    void undoUnderASearchOrTagFilter_putsTheCardBackAtItsStoredPlace()
    {
        showBoard(QStringLiteral("Filtered"),
                  {{QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")}});
        const QStringList all{QStringLiteral("one"), QStringLiteral("two"),
                              QStringLiteral("three")};
        app->window().searchField()->setText(QStringLiteral("two"));
        QCOMPARE(board()->itemAt(0)->listViewController()->listItems().size(), 1);
        selectCard(0, column(0)->item().at(1));
        press(Qt::Key_Delete);
        QCOMPARE(texts(0), (QStringList{QStringLiteral("one"), QStringLiteral("three")}));
        keys(QKeySequence::Undo);
        app->window().searchField()->clear();
        QCOMPARE(texts(0), all);
        QStringList shown;
        for (const ListItem* card : board()->itemAt(0)->listViewController()->listItems())
            shown.append(textOf(card));
        QCOMPARE(shown, all);
        VERIFY_STORED();

        auto* urgent = app->context().insert<Tag>();
        urgent->setName(QStringLiteral("urgent"));
        board()->kanban()->addTag(urgent);
        column(0)->item().at(1)->setTags({urgent});
        QVERIFY(app->delegate().save());
        board()->setTagFilter(QList<Tag*>{urgent});
        selectCard(0, column(0)->item().at(1));
        press(Qt::Key_Delete);
        keys(QKeySequence::Undo);
        board()->setTagFilter(std::nullopt);
        QCOMPARE(texts(0), all);
        VERIFY_STORED();
    }

    void steps_survive_aColumnDeletedAndBroughtBack()
    {
        showBoard(QStringLiteral("Steps"),
                  {{QStringLiteral("a"), QStringLiteral("b")}, {QStringLiteral("x")}});
        ListItem* a = column(0)->item().at(0);
        // Renamed, a card moved down, then into the next column, then marked done.
        board()->itemAt(0)->beginRenaming();
        QTRY_VERIFY(qobject_cast<QLineEdit*>(focus()));
        QTest::keyClicks(focus(), QStringLiteral("Renamed"));
        press(Qt::Key_Return);
        QCOMPARE(column(0)->title(), QStringLiteral("Renamed"));
        selectCard(0, a);
        keys(CardShortcuts::moveDown());
        QCOMPARE(texts(0), (QStringList{QStringLiteral("b"), QStringLiteral("a")}));
        keys(CardShortcuts::moveRight());
        QCOMPARE(texts(1), (QStringList{QStringLiteral("x"), QStringLiteral("a")}));
        selectCard(1, a);
        keys(CardShortcuts::markAsDone());
        QVERIFY(a->isDone());
        const int steps = undo()->count();

        // Each column deleted, brought back, deleted again and brought back again (the second
        // deletion drops the redo of the first).
        for (int at : {1, 0}) {
            board()->setSelectedColumnIndexes({at});
            board()->setFocus();
            press(Qt::Key_Delete);
            QCOMPARE(undo()->undoText(), QStringLiteral("Delete Column"));
            keys(QKeySequence::Undo);
            keys(QKeySequence::Redo);
            keys(QKeySequence::Undo);
        }
        QCOMPARE(texts(0), QStringList{QStringLiteral("b")});
        QCOMPARE(texts(1), (QStringList{QStringLiteral("x"), QStringLiteral("a")}));
        QCOMPARE(undo()->count(), steps + 1);
        QCOMPARE(undo()->index(), steps);
        VERIFY_STORED();

        // Every older step still applies, to the rebuilt columns and cards.
        keys(QKeySequence::Undo);
        QVERIFY(!column(1)->item().at(1)->isDone());
        keys(QKeySequence::Undo);
        QCOMPARE(texts(0), (QStringList{QStringLiteral("b"), QStringLiteral("a")}));
        keys(QKeySequence::Undo);
        QCOMPARE(texts(0), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
        keys(QKeySequence::Undo);
        QCOMPARE(column(0)->title(), QStringLiteral("C0"));
        QCOMPARE(undo()->index(), 0);
        QCOMPARE(undo()->count(), steps + 1);
        VERIFY_STORED();
    }

    void newCard_redoneAfterItsUndo_comesBackAsItWas_andRecordsItself()
    {
        showBoard(QStringLiteral("New"), {{QStringLiteral("old")}});
        const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-1);
        table(0)->setFocus();
        keys(CardShortcuts::newCard());
        QTRY_VERIFY(qobject_cast<NotesTextView*>(focus()));
        QTest::keyClicks(focus(), QStringLiteral("Buy milk"));
        press(Qt::Key_Escape);
        ListItem* card = column(0)->item().last();
        QCOMPARE(textOf(card), QStringLiteral("Buy milk"));
        QVERIFY(card->dateAdded().isValid());
        QVERIFY(card->dateAdded() >= before);
        QVERIFY(card->dateAdded() <= QDateTime::currentDateTimeUtc().addSecs(1));
        QVERIFY(card->priority().has_value());
        QCOMPARE(*card->priority(), qint16(0));
        auto* home = app->context().insert<Tag>();
        home->setName(QStringLiteral("home"));
        board()->kanban()->addTag(home);
        card->setTags({home});
        const QDateTime due = QDateTime::currentDateTimeUtc().addDays(2);
        card->setDueDate(due);
        QVERIFY(app->delegate().save());

        board()->setFocus();
        while (undo()->canUndo())
            keys(QKeySequence::Undo);
        QCOMPARE(texts(0), QStringList{QStringLiteral("old")});
        VERIFY_STORED();
        while (undo()->canRedo())
            keys(QKeySequence::Redo);
        QCOMPARE(column(0)->item().size(), 2);
        card = column(0)->item().last();
        QCOMPARE(textOf(card), QStringLiteral("Buy milk"));
        QCOMPARE(card->tags().size(), 1);
        QCOMPARE(card->tags().first()->name(), QStringLiteral("home"));
        QCOMPARE(card->dueDate().toSecsSinceEpoch(), due.toSecsSinceEpoch());
        VERIFY_STORED();
    }

    void deleteKeyAndMenu_deleteTheSelectedCard_whereverTheBoardsFocusIs()
    {
        showBoard(QStringLiteral("Keys"),
                  {{QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")}});
        selectCard(0, column(0)->item().at(0));
        press(Qt::Key_Escape);
        board()->setFocus(); // as after a click between the columns or a closed menu
        press(Qt::Key_Delete);
        QCOMPARE(texts(0), (QStringList{QStringLiteral("two"), QStringLiteral("three")}));
        selectCard(0, column(0)->item().at(1));
        board()->setFocus();
        QAction* remove = menuAction(QStringLiteral("Edit"), QStringLiteral("Delete"));
        QVERIFY(remove);
        QVERIFY(remove->isEnabled());
        remove->trigger();
        QCOMPARE(texts(0), QStringList{QStringLiteral("two")});
        QCOMPARE(undo()->undoText(), QStringLiteral("Delete Card"));
        VERIFY_STORED();
    }

    void sidebarItems_restoredByUndo_keepTheirIdentityAndExpandedState()
    {
        auto* errands = app->context().insert<Folder>();
        errands->setTitle(QStringLiteral("Errands"));
        auto* chores = app->context().insert<Kanban>();
        chores->setTitle(QStringLiteral("Chores"));
        errands->insertChild(chores);
        app->root().insertChild(errands);
        QVERIFY(app->delegate().save());
        QVERIFY(QTest::qWaitFor([&] { return app->indexOf(QStringLiteral("Errands")).isValid(); }));
        app->view().expand(app->indexOf(QStringLiteral("Errands")));
        const QString folderUri = app->context().uriFor(errands);
        const QString boardUri = app->context().uriFor(chores);
        const QString key = QString::fromLatin1(FHLeftSidebarViewController::expandedItemsKey);
        QVERIFY(Defaults::standard().value(key).toStringList().contains(folderUri));

        app->view().selectRow(app->view().rowForIndex(app->indexOf(QStringLiteral("Errands"))));
        app->view().setFocus();
        QTest::keyClick(&app->view(), Qt::Key_Delete);
        QTRY_VERIFY(!app->indexOf(QStringLiteral("Errands")).isValid());
        keys(QKeySequence::Undo);
        QTRY_VERIFY(app->indexOf(QStringLiteral("Chores")).isValid());
        DisplayItem* folder = app->item(QStringLiteral("Errands"));
        QCOMPARE(app->context().uriFor(folder), folderUri);
        QCOMPARE(app->context().uriFor(app->item(QStringLiteral("Chores"))), boardUri);
        QTRY_VERIFY(app->view().isExpanded(app->indexOf(QStringLiteral("Errands"))));
        QVERIFY(Defaults::standard().value(key).toStringList().contains(folderUri));
        VERIFY_STORED();
    }

    void randomActions_keepExactlyTheCardsTheUserKept()
    {
        showBoard(QStringLiteral("Fuzz"),
                  {{QStringLiteral("a1"), QStringLiteral("a2"), QStringLiteral("a3")},
                   {QStringLiteral("b1"), QStringLiteral("b2")},
                   {QStringLiteral("c1")}});
        auto* tag = app->context().insert<Tag>();
        tag->setName(QStringLiteral("f"));
        board()->kanban()->addTag(tag);
        column(0)->item().at(1)->setTags({tag});
        column(1)->item().at(0)->setTags({tag});
        QVERIFY(app->delegate().save());
        QApplication::clipboard()->clear();
        QRandomGenerator random(16);
        // What the user saw after each step of the undo history, by the history's index.
        QHash<int, QStringList> seen{{0, boardState()}};
        QStringList clipboard;
        int made = 0;
        for (int step = 0; step < 200; ++step) {
            const int action = int(random.bounded(14));
            const int columns = int(board()->kanban()->column().size());
            const int c = int(random.bounded(columns));
            auto* list = board()->itemAt(c)->listViewController();
            const QList<ListItem*> shown = list->selectableItems();
            ListItem* card = shown.isEmpty() ? nullptr : shown.at(random.bounded(shown.size()));
            if (action != 9) {
                table(c)->setFocus();
                if (card)
                    table(c)->selectCard(card);
                else
                    list->clearSelection();
            }
            const QStringList before = boardState();
            const QStringList textsBefore = allTexts();
            const int index = undo()->index();
            const int count = undo()->count();
            QStringList expected = textsBefore;
            bool textsKnown = true;
            const QString context = QStringLiteral("step %1, action %2").arg(step).arg(action);
            switch (action) {
            case 0: { // a new card, typed into
                keys(CardShortcuts::newCard());
                QVERIFY2(qobject_cast<NotesTextView*>(focus()), qPrintable(context));
                seen.insert(undo()->index(), boardState());
                const QString text = QStringLiteral("n%1").arg(++made);
                QTest::keyClicks(focus(), text);
                press(Qt::Key_Escape);
                expected.append(text);
                break;
            }
            case 1: // typing into a card
                if (!card)
                    break;
                press(Qt::Key_Return);
                if (qobject_cast<NotesTextView*>(focus())) {
                    QTest::keyClicks(focus(), QStringLiteral("t"));
                    press(Qt::Key_Escape);
                }
                textsKnown = false;
                break;
            case 2: { // a move by keys
                const QKeySequence moves[] = {CardShortcuts::moveUp(), CardShortcuts::moveDown(),
                                              CardShortcuts::moveLeft(),
                                              CardShortcuts::moveRight()};
                keys(moves[random.bounded(4)]);
                break;
            }
            case 3: // cut
            case 4: // copy
                if (!card)
                    break;
                keys(action == 3 ? QKeySequence::Cut : QKeySequence::Copy);
                clipboard = {textOf(card)};
                if (action == 3)
                    expected.removeOne(textOf(card));
                break;
            case 5: // paste
                keys(QKeySequence::Paste);
                expected += clipboard;
                break;
            case 6: // delete
                press(Qt::Key_Delete);
                if (card)
                    expected.removeOne(textOf(card));
                break;
            case 7: // done, and archiving the done cards
                keys(CardShortcuts::markAsDone());
                if (random.bounded(2))
                    keys(CardShortcuts::archiveDoneCards());
                break;
            case 8: // a tag filter, or none: the store stays as it is
                if (random.bounded(2))
                    board()->setTagFilter(QList<Tag*>{tag});
                else
                    board()->setTagFilter(std::nullopt);
                break;
            case 9: // a search for a card's text, or none
                app->window().searchField()->setText(card && random.bounded(2) ? textOf(card)
                                                                               : QString());
                break;
            case 10:
            case 11:
                keys(QKeySequence::Undo);
                break;
            default:
                keys(QKeySequence::Redo);
                break;
            }
            const bool history = action >= 10;
            // The invariants: all saved, the cards the user kept, and undo and redo giving
            // back exactly what was seen at that point of the history.
            const QStringList problems = unstored();
            QVERIFY2(problems.isEmpty(), qPrintable(context + QStringLiteral(": ") +
                                                    problems.join(QStringLiteral(";"))));
            if (history) {
                QVERIFY2(undo()->count() == count,
                         qPrintable(context + QStringLiteral(": a step vanished")));
                if (seen.contains(undo()->index()))
                    QVERIFY2(boardState() == seen.value(undo()->index()),
                             qPrintable(context + QStringLiteral(": ") +
                                        boardState().join(QStringLiteral(" / ")) +
                                        QStringLiteral(" is not ") +
                                        seen.value(undo()->index()).join(QStringLiteral(" / "))));
                continue;
            }
            if (textsKnown) {
                expected.sort();
                QVERIFY2(allTexts() == expected, qPrintable(context + QStringLiteral(": ") +
                                                            allTexts().join(QStringLiteral(",")) +
                                                            QStringLiteral(" is not ") +
                                                            expected.join(QStringLiteral(","))));
            }
            if (undo()->index() == index && undo()->count() == count)
                QVERIFY2(boardState() == before,
                         qPrintable(context + QStringLiteral(": a change without a step")));
            for (auto it = seen.begin(); it != seen.end();)
                it = it.key() > undo()->index() ? seen.erase(it) : std::next(it);
            seen.insert(undo()->index(), boardState());
        }
        app->window().searchField()->clear();
        // Everything undone gives the board as it was.
        board()->setFocus();
        while (undo()->canUndo())
            keys(QKeySequence::Undo);
        QCOMPARE(boardState(), seen.value(0));
        VERIFY_STORED();
    }
};

PINWHEELS_GUI_TEST_MAIN(BoardUndoTest)

#include "tst_boardundo.moc"
