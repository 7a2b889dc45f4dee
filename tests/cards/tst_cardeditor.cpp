#include "BoardFixture.h"
#include "IsolatedEnvironment.h"
#include "cards/CardEditor.h"
#include "cards/CardGeometry.h"
#include "cards/ListItemCellView.h"
#include "interchange/JSONWriter.h"
#include "model/NoteFormat.h"
#include "notes/NotesDocument.h"
#include "notes/NotesTextView.h"
#include "store/DataFolder.h"
#include "store/StoreError.h"
#include "widgets/MenuItemState.h"

#include <QAction>
#include <QApplication>
#include <QCborValue>
#include <QCheckBox>
#include <QClipboard>
#include <QMenu>
#include <QMimeData>
#include <QSignalSpy>
#include <QUndoStack>

// Typing into a card: where it goes on the window's undo stack, how soon it is saved, the style
// a new card's first line starts in, and the row following the text.
class CardEditorTest : public QObject
{
    Q_OBJECT

private:
    TestStore store;

    static RichText body(const QString& text)
    {
        return RichText(text, NoteStyle::attributes(NoteStyle::Body));
    }
    static QRect rowRect(BoardFixture& board, ListItem* item)
    {
        const QModelIndex index = board.lists[0]->tableModel()->indexForItem(item);
        return board.lists[0]->columnTableView()->visualRect(index);
    }
    static CardEditor* editorOf(BoardFixture& board, ListItem* item)
    {
        const QModelIndex index = board.lists[0]->tableModel()->indexForItem(item);
        return qobject_cast<CardEditor*>(board.lists[0]->columnTableView()->indexWidget(index));
    }
    // Clicks into the card's text, as the user starts editing it.
    static NotesTextView* clickIntoNotes(BoardFixture& board, ListItem* item)
    {
        const QRect notes =
            board.lists[0]->cellView()->geometryFor(item, rowRect(board, item)).notes;
        QTest::mouseClick(board.lists[0]->columnTableView()->viewport(), Qt::LeftButton, {},
                          QPoint(notes.right() - 4, notes.top() + 8));
        CardEditor* editor = editorOf(board, item);
        return editor ? editor->notesTextView() : nullptr;
    }
    // The card's notes in the store file, as a crash would leave them.
    static std::optional<QString> notesOnDisk(const ListItem* item)
    {
        StoreError error;
        const std::unique_ptr<ObjectContext> onDisk =
            DataFolder::openStore(AppDelegate::shared()->applicationDocumentsDirectory(), &error);
        const auto* stored =
            onDisk ? static_cast<const ListItem*>(onDisk->objectWithNumber(item->objectNumber()))
                   : nullptr;
        return stored ? std::optional(stored->notesPlainText()) : std::nullopt;
    }
    static void undoKey(QWidget* widget)
    {
        QTest::keyClick(widget, Qt::Key_Z, Qt::ControlModifier);
    }
    static void redoKey(QWidget* widget)
    {
        QTest::keyClick(widget, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    }
    static RichText heading(const QString& title, const QString& rest)
    {
        RichText text(title + u'\n', NoteStyle::attributes(NoteStyle::Title));
        text.append(body(rest));
        return text;
    }
    // Types a heading, Return and a body line, checking after every keystroke that the row is
    // as tall as the editor's text.
    static void typeHeadingAndBody(BoardFixture& board, ListItem* item, NotesTextView* notes)
    {
        const auto rowFitsText = [&] {
            return rowRect(board, item).height() ==
                   int(std::ceil(notes->heightRequiredToFitContent())) + CardGeometry::fixedHeight;
        };
        QTest::keyClicks(notes, QStringLiteral("Heading"));
        QTRY_VERIFY(rowFitsText());
        const int oneLine = rowRect(board, item).height();
        QTest::keyClick(notes, Qt::Key_Return);
        QTRY_VERIFY(rowFitsText());
        for (const QChar c : QStringLiteral("body")) {
            QTest::keyClick(notes, c.toLatin1());
            QTRY_VERIFY(rowFitsText());
        }
        QCOMPARE(notes->richText(), heading(QStringLiteral("Heading"), QStringLiteral("body")));
        QVERIFY(rowRect(board, item).height() > oneLine + 10);
    }

    static RichText styled(const QString& text, NoteStyle::Kind kind, bool ticked = false)
    {
        RichText::Attributes attributes = NoteStyle::attributes(kind);
        if (ticked)
            attributes.checklistChecked = true;
        return RichText(text, attributes);
    }
    // A title, a ticked checklist line holding a link, and a struck-through body line.
    static RichText mixedNotes()
    {
        RichText text = styled(QStringLiteral("Trip\n"), NoteStyle::Title);
        text.append(styled(QStringLiteral("pack "), NoteStyle::Checklist, true));
        RichText::Attributes link = NoteStyle::attributes(NoteStyle::Checklist);
        link.checklistChecked = true;
        link.attachment = RichText::Attachment{RichText::Attachment::linkFileType(), "link"};
        text.append(RichText(QString(RichText::attachmentCharacter), link));
        text.append(styled(QStringLiteral("\n"), NoteStyle::Checklist, true));
        RichText::Attributes struck = NoteStyle::attributes(NoteStyle::Body);
        struck.strikethrough = 1;
        text.append(RichText(QStringLiteral("book"), struck));
        return text;
    }
    static NotesTextView* editNotes(BoardFixture& board, ListItem* item, const RichText& notes)
    {
        item->setAttributedNotes(notes);
        item->setNotesExpanded(true);
        AppDelegate::shared()->save();
        board.show();
        NotesTextView* editor = clickIntoNotes(board, item);
        if (editor && !QTest::qWaitFor([editor] { return editor->hasFocus(); }))
            return nullptr;
        return editor;
    }
    static QPoint boxCentre(NotesTextView* notes, int line)
    {
        for (const NotesDocument::CheckBox& box : notes->checkButtons()) {
            if (box.line == line)
                return box.rect.center().toPoint();
        }
        return QPoint(-100, -100);
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(store.open()); }
    void init() { store.reset(); }

    void typing_isUndoneOnTheWindowStack_oneStepPerBurst_andNeverUndoesTheLoad()
    {
        BoardFixture board(1);
        ListItem* item = board.card(0, QStringLiteral("a"));
        const RichText before = body(QStringLiteral("Buy milk"));
        item->setAttributedNotes(before);
        ListItem* other = board.card(0, QStringLiteral("b"));
        AppDelegate::shared()->save();
        board.show();

        // Ctrl+Z before typing: the loaded text stays, and nothing was stored.
        NotesTextView* notes = clickIntoNotes(board, item);
        QVERIFY(notes);
        QTRY_VERIFY(notes->hasFocus());
        undoKey(notes);
        QCOMPARE(notes->richText(), before);
        QCOMPARE(item->attributedNotes(), std::optional(before));
        QVERIFY(!board.context->hasChanges());
        QCOMPARE(store.undo()->index(), 0);
        QVERIFY(!notes->document()->isUndoRedoEnabled());

        // Ticking Done from the editor, then Ctrl+Z there: the tick is undone, the text stays.
        QTest::mouseClick(editorOf(board, item)->checkButton(), Qt::LeftButton);
        QVERIFY(item->isDone());
        undoKey(notes);
        QVERIFY(!item->isDone());
        QCOMPARE(item->attributedNotes(), std::optional(before));
        QCOMPARE(notes->richText(), before);

        // One burst of typing is one step, named for Edit's menu.
        const int steps = store.undo()->index();
        notes->moveCursor(QTextCursor::End);
        QTest::keyClicks(notes, QStringLiteral(" and eggs"));
        const RichText after = body(QStringLiteral("Buy milk and eggs"));
        QCOMPARE(item->attributedNotes(), std::optional(after));
        QCOMPARE(store.undo()->index(), steps + 1);
        QCOMPARE(store.undo()->undoText(), QStringLiteral("Typing"));

        undoKey(notes);
        QCOMPARE(item->attributedNotes(), std::optional(before));
        QCOMPARE(notes->richText(), before);
        QVERIFY(!board.context->hasChanges());
        redoKey(notes);
        QCOMPARE(notes->richText(), after);
        // The text menu's Undo is the window's too.
        const std::unique_ptr<QMenu> menu(notes->createCardMenu());
        for (QAction* action : menu->actions()) {
            if (action->text() == QStringLiteral("Undo Typing"))
                action->trigger();
        }
        QCOMPARE(item->attributedNotes(), std::optional(before));
        redoKey(notes);

        // A caret moved by hand starts a new burst.
        notes->moveCursor(QTextCursor::Start);
        QTest::keyClicks(notes, QStringLiteral("Do: "));
        QCOMPARE(store.undo()->index(), steps + 2);
        const RichText last = body(QStringLiteral("Do: Buy milk and eggs"));

        // With the editor on another card, and with no editor at all, the steps still work.
        NotesTextView* second = clickIntoNotes(board, other);
        QVERIFY(second);
        QTRY_VERIFY(!editorOf(board, item));
        store.undo()->undo();
        QCOMPARE(item->attributedNotes(), std::optional(after));
        QTest::keyClick(second, Qt::Key_Escape);
        QTRY_VERIFY(!editorOf(board, other));
        store.undo()->undo();
        QCOMPARE(item->attributedNotes(), std::optional(before));
        store.undo()->redo();
        store.undo()->redo();
        QCOMPARE(item->attributedNotes(), std::optional(last));
        QVERIFY(!board.context->hasChanges());
    }

    void typedNotes_areSavedSoonAfterTheLastKeystroke_inOneUndoStep()
    {
        BoardFixture board(1);
        ListItem* item = board.card(0, QStringLiteral("a"));
        const RichText before = body(QStringLiteral("Draft"));
        item->setAttributedNotes(before);
        AppDelegate::shared()->save();
        board.show();
        NotesTextView* notes = clickIntoNotes(board, item);
        QVERIFY(notes);
        QTRY_VERIFY(notes->hasFocus());
        notes->moveCursor(QTextCursor::End);
        const int steps = store.undo()->count();

        QTest::keyClicks(notes, QStringLiteral(" one"));
        QVERIFY(board.context->hasChanges());
        QTRY_VERIFY(!board.context->hasChanges());
        QTest::keyClicks(notes, QStringLiteral(" two"));
        QTRY_VERIFY(!board.context->hasChanges());
        QVERIFY(editorOf(board, item) && notes->hasFocus()); // still editing

        // What a crash would leave: the store on disk holds the typing.
        QCOMPARE(notesOnDisk(item), QStringLiteral("Draft one two"));

        // The saves did not cut the burst: one step takes all of it back.
        QCOMPARE(store.undo()->count(), steps + 1);
        store.undo()->undo();
        QCOMPARE(item->attributedNotes(), std::optional(before));
        QCOMPARE(notes->richText(), before);
        store.undo()->redo();
        QCOMPARE(item->notesPlainText(), QStringLiteral("Draft one two"));
        QCOMPARE(store.undo()->count(), steps + 1);
    }

    void longPaste_goesInOverSeveralEvents_asOneStep_andKeysOrLeavingFindItComplete()
    {
        BoardFixture board(1);
        ListItem* item = board.card(0, QStringLiteral("a"));
        ListItem* other = board.card(0, QStringLiteral("b"));
        const RichText before = body(QStringLiteral("Start "));
        NotesTextView* notes = editNotes(board, item, before);
        QVERIFY(notes);
        QString lines;
        for (int i = 0; i < 12000; ++i)
            lines += QStringLiteral("Pasted line %1 with a few words on it\n").arg(i);
        const auto pasteLines = [&] {
            notes->moveCursor(QTextCursor::End);
            QApplication::clipboard()->setText(lines);
            QTest::keyClick(notes, Qt::Key_V, Qt::ControlModifier);
        };
        const int steps = store.undo()->count();

        pasteLines();
        // Still going in: the card keeps its notes until the paste is whole, and another change
        // to the card meanwhile (a due date set from its menu) leaves the paste going on.
        QVERIFY(notes->isRunningCommand());
        QCOMPARE(item->attributedNotes(), std::optional(before));
        item->setDueDate(QDateTime::currentDateTime().addDays(2));
        QTRY_VERIFY(!notes->isRunningCommand());
        QCOMPARE(item->notesPlainText(), QStringLiteral("Start ") + lines);
        QCOMPARE(store.undo()->count(), steps + 1);
        QCOMPARE(store.undo()->undoText(), QStringLiteral("Paste Text"));
        undoKey(notes);
        QCOMPARE(item->attributedNotes(), std::optional(before));
        QCOMPARE(notes->richText(), before);

        // A key typed meanwhile goes after the whole paste, as a step of its own.
        pasteLines();
        QVERIFY(notes->isRunningCommand());
        QTest::keyClick(notes, Qt::Key_X);
        QVERIFY(!notes->isRunningCommand());
        QCOMPARE(item->notesPlainText(), QStringLiteral("Start ") + lines + u'x');
        QCOMPARE(store.undo()->count(), steps + 2);
        undoKey(notes);
        QCOMPARE(item->notesPlainText(), QStringLiteral("Start ") + lines);
        undoKey(notes);
        QCOMPARE(item->attributedNotes(), std::optional(before));

        // Clicking another card stores the whole paste, and on disk.
        pasteLines();
        QVERIFY(notes->isRunningCommand());
        QTest::mouseClick(board.lists[0]->columnTableView()->viewport(), Qt::LeftButton, {},
                          rowRect(board, other).center());
        QTRY_COMPARE(item->notesPlainText(), QStringLiteral("Start ") + lines);
        QTRY_VERIFY(!board.context->hasChanges());
        QCOMPARE(notesOnDisk(item), QStringLiteral("Start ") + lines);
    }

    void largeCopyFromElsewhere_isDecodedBesideTheWindow_andPlainTextStandsInForBrokenData()
    {
        BoardFixture board(1);
        ListItem* item = board.card(0, QStringLiteral("a"));
        NotesTextView* notes = editNotes(board, item, body(QStringLiteral("Start")));
        QVERIFY(notes);
        notes->moveCursor(QTextCursor::End);
        QTest::keyClick(notes, Qt::Key_Return);
        RichText checklist;
        for (int i = 0; i < 3000; ++i)
            checklist.append(styled(QStringLiteral("Step %1 of the checklist\n").arg(i),
                                    NoteStyle::Checklist, i % 2 == 0));
        const auto pasteOwnType = [&](const QByteArray& bytes) {
            auto* data = new QMimeData;
            data->setData(NotesTextView::corklineAttributedString(), bytes);
            data->setText(checklist.text());
            QApplication::clipboard()->setMimeData(data);
            QTest::keyClick(notes, Qt::Key_V, Qt::ControlModifier);
        };
        const RichText before = notes->richText();
        const int steps = store.undo()->count();

        // As another copy of the application writes it.
        pasteOwnType(
            QCborValue::fromJsonValue(JSONWriter::dictionaryRepresentation(checklist)).toCbor());
        QVERIFY(notes->isRunningCommand());
        QTRY_VERIFY(!notes->isRunningCommand());
        RichText expected = before;
        expected.append(checklist);
        QCOMPARE(item->attributedNotes(), std::optional(expected));
        QCOMPARE(store.undo()->count(), steps + 1);
        QCOMPARE(store.undo()->undoText(), QStringLiteral("Paste Text"));
        undoKey(notes);
        QCOMPARE(notes->richText(), before);

        // Data that does not decode: its plain text goes in, in the style being typed.
        pasteOwnType(QByteArray(100000, '\xff'));
        QTRY_VERIFY(!notes->isRunningCommand());
        QCOMPARE(item->notesPlainText(), before.text() + checklist.text());
        QCOMPARE(item->attributedNotes()->attributesAt(before.length() + 40),
                 before.attributesAt(before.length() - 1));
    }

    void importedLineEnds_reloadNothingAtRefreshes_andStayAsStoredUntilTyping()
    {
        BoardFixture board(1);
        ListItem* item = board.card(0, QStringLiteral("imported"));
        const RichText imported = body(QStringLiteral("one\r\ntwo\rthree\u2029four"));
        item->setAttributedNotes(imported);
        item->setNotesExpanded(true);
        AppDelegate::shared()->save();
        board.show();
        NotesTextView* notes = clickIntoNotes(board, item);
        QVERIFY(notes);
        QTRY_VERIFY(notes->hasFocus());
        QTextCursor cursor = notes->textCursor();
        cursor.setPosition(6);
        notes->setTextCursor(cursor);
        QSignalSpy reloads(notes->document(), &QTextDocument::contentsChanged);

        // The due timer and a repaint of the row refresh the open editor.
        board.lists[0]->checkForDueItems();
        board.lists[0]->refreshItem(item);
        QCoreApplication::processEvents();
        QCOMPARE(reloads.count(), 0);
        QCOMPARE(notes->textCursor().position(), 6);
        QCOMPARE(item->attributedNotes(), std::optional(imported));
        QVERIFY(!board.context->hasChanges());

        // Typing stores the editor's text; undo gives the imported text back exactly.
        QTest::keyClicks(notes, QStringLiteral("!"));
        QCOMPARE(item->notesPlainText(), QStringLiteral("one\ntw!o\nthree\nfour"));
        store.undo()->undo();
        QCOMPARE(item->attributedNotes(), std::optional(imported));
        QCOMPARE(notes->toPlainText(), QStringLiteral("one\ntwo\nthree\nfour"));
    }

    // Opening the editor must not measure the text before it is wrapped at the card's width.
    void clickingIntoALongCard_keepsItsWholeTextShown()
    {
        BoardFixture board(1);
        ListItem* card = board.card(0, QString());
        card->setAttributedNotes(heading(QStringLiteral("Mark a card as done"),
                                         QStringLiteral("Tick the box on a card when its work "
                                                        "is finished, and its text is struck "
                                                        "through.\nUntick it to bring it back.")));
        card->setNotesExpanded(true);
        board.show();
        const int painted = rowRect(board, card).height();
        NotesTextView* notes = clickIntoNotes(board, card);
        QVERIFY(notes);
        QTRY_VERIFY(notes->hasFocus());
        QCoreApplication::processEvents();
        QCOMPARE(rowRect(board, card).height(), painted);
        QVERIFY(notes->height() >= int(notes->heightRequiredToFitContent()));
    }

    void typingIntoAnEmptyCard_startsWithATitle_andTheRowFollowsTheText()
    {
        BoardFixture board(1);
        ListItem* edited = board.card(0, QStringLiteral("edited"));
        ListItem* empty = board.card(0, QStringLiteral("empty"));
        empty->setAttributedNotes(std::nullopt);
        board.show();
        KanbanColumnListViewController* list = board.lists[0];

        // After editing another card, a click into an empty one.
        NotesTextView* notes = clickIntoNotes(board, edited);
        QVERIFY(notes);
        QTRY_VERIFY(notes->hasFocus());
        QTest::keyClicks(notes, QStringLiteral(" more"));
        notes = clickIntoNotes(board, empty);
        QVERIFY(notes);
        QTRY_VERIFY(notes->hasFocus());
        typeHeadingAndBody(board, empty, notes);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(empty->attributedNotes(),
                 std::optional(heading(QStringLiteral("Heading"), QStringLiteral("body"))));

        // The add-card row.
        const QModelIndex addRow = list->tableModel()->index(list->tableModel()->rowCount() - 1);
        const QRect addRect = list->columnTableView()->visualRect(addRow);
        QTest::mouseClick(list->columnTableView()->viewport(), Qt::LeftButton, {},
                          addRect.center());
        ListItem* added = list->listItems().last();
        QVERIFY(added != empty);
        QVERIFY(editorOf(board, added));
        notes = editorOf(board, added)->notesTextView();
        QTRY_VERIFY(notes->hasFocus());
        typeHeadingAndBody(board, added, notes);
        if (QTest::currentTestFailed())
            return;

        // Add Card Above and Below from the card menu.
        for (int action : {0, 1}) {
            QMenu menu;
            list->columnTableView()->addCardMenuItems(&menu, edited);
            menu.actions().at(action)->trigger();
            const int index = int(list->listItems().indexOf(edited)) + (action == 0 ? -1 : 1);
            ListItem* card = list->listItems().at(index);
            QVERIFY(card != edited && card != empty && card != added);
            QVERIFY(editorOf(board, card));
            notes = editorOf(board, card)->notesTextView();
            QTRY_VERIFY(notes->hasFocus());
            typeHeadingAndBody(board, card, notes);
            if (QTest::currentTestFailed())
                return;
        }
    }
    void styleChange_restylesWholeLines_asOneStep_whoseUndoRestoresRunsTicksAndLinks()
    {
        BoardFixture board(1);
        ListItem* item = board.card(0, QStringLiteral("a"));
        const RichText before = mixedNotes();
        NotesTextView* notes = editNotes(board, item, before);
        QVERIFY(notes);
        // From inside the checklist line to inside the body line.
        QTextCursor cursor = notes->textCursor();
        cursor.setPosition(7);
        cursor.setPosition(13, QTextCursor::KeepAnchor);
        notes->setTextCursor(cursor);
        const int steps = store.undo()->index();
        notes->formatSelectionAsHeader();

        RichText expected = styled(QStringLiteral("Trip\n"), NoteStyle::Title);
        expected.append(styled(QStringLiteral("pack "), NoteStyle::Header));
        RichText::Attributes link = NoteStyle::attributes(NoteStyle::Header);
        link.attachment = RichText::Attachment{RichText::Attachment::linkFileType(), "link"};
        expected.append(RichText(QString(RichText::attachmentCharacter), link));
        expected.append(styled(QStringLiteral("\n"), NoteStyle::Header));
        RichText::Attributes struck = NoteStyle::attributes(NoteStyle::Header);
        struck.strikethrough = 1;
        expected.append(RichText(QStringLiteral("book"), struck));
        QCOMPARE(item->attributedNotes(), std::optional(expected));
        QCOMPARE(notes->richText(), expected);
        QCOMPARE(store.undo()->index(), steps + 1);
        QCOMPARE(store.undo()->undoText(), QStringLiteral("Style Change"));
        QVERIFY(!board.context->hasChanges());
        // The selection stays; a line no longer checklist has no box.
        QCOMPARE(notes->textCursor().anchor(), 7);
        QCOMPARE(notes->textCursor().position(), 13);
        QVERIFY(notes->checkButtons().isEmpty());
        QCOMPARE(notes->menuState(NoteStyle::Header), MenuItemState::On);

        undoKey(notes);
        QCOMPARE(item->attributedNotes(), std::optional(before));
        QCOMPARE(notes->richText(), before);
        QCOMPARE(notes->checkButtons().size(), 1);
        QCOMPARE(notes->textCursor().anchor(), 7);
        QVERIFY(!board.context->hasChanges());
        redoKey(notes);
        QCOMPARE(item->attributedNotes(), std::optional(expected));

        // Over a title and a body line the two show mixed, the header off.
        notes->setRichText(heading(QStringLiteral("Title"), QStringLiteral("text")));
        notes->selectAll();
        QCOMPARE(notes->menuState(NoteStyle::Title), MenuItemState::Mixed);
        QCOMPARE(notes->menuState(NoteStyle::Body), MenuItemState::Mixed);
        QCOMPARE(notes->menuState(NoteStyle::Header), MenuItemState::Off);
        notes->moveCursor(QTextCursor::Start);
        QCOMPARE(notes->menuState(NoteStyle::Title), MenuItemState::On);
    }

    void checklistToggle_swapsChecklistAndBody_andAtTheEndMakesTheCaretsLineOne()
    {
        BoardFixture board(1);
        ListItem* item = board.card(0, QStringLiteral("a"));
        RichText before = styled(QStringLiteral("milk\n"), NoteStyle::Checklist, true);
        before.append(body(QStringLiteral("eggs\n")));
        NotesTextView* notes = editNotes(board, item, before);
        QVERIFY(notes);
        QTest::keyClick(notes, Qt::Key_Home, Qt::ControlModifier);
        QTest::keyClick(notes, Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(notes, Qt::Key_Right, Qt::ShiftModifier);
        QCOMPARE(notes->menuState(NoteStyle::Checklist), MenuItemState::Mixed);
        notes->formatSelectionAsChecklist();
        RichText swapped = body(QStringLiteral("milk\n"));
        swapped.append(styled(QStringLiteral("eggs\n"), NoteStyle::Checklist));
        QCOMPARE(item->attributedNotes(), std::optional(swapped));
        QCOMPARE(store.undo()->undoText(), QStringLiteral("Style Change"));

        // On the empty last line the next typed line is the checklist line.
        QTest::keyClick(notes, Qt::Key_End, Qt::ControlModifier);
        notes->formatSelectionAsChecklist();
        QTest::keyClicks(notes, QStringLiteral("tea"));
        RichText typed = swapped;
        typed.append(styled(QStringLiteral("tea\n"), NoteStyle::Checklist));
        QCOMPARE(item->attributedNotes(), std::optional(typed));
        QCOMPARE(notes->checkButtons().size(), 2);
    }

    void ticking_aBoxInTheEditor_storesSavesAndUndoes_andAStaleLineDoesNothing()
    {
        BoardFixture board(1);
        ListItem* item = board.card(0, QStringLiteral("a"));
        RichText before = styled(QStringLiteral("Plan\n"), NoteStyle::Title);
        before.append(styled(QStringLiteral("call"), NoteStyle::Checklist));
        NotesTextView* notes = editNotes(board, item, before);
        QVERIFY(notes);
        notes->moveCursor(QTextCursor::End);
        const int steps = store.undo()->index();
        QTest::mouseClick(notes->viewport(), Qt::LeftButton, {}, boxCentre(notes, 1));
        RichText ticked = before;
        ticked.changeAttributes(5, 4, [](RichText::Attributes& a) { a.checklistChecked = true; });
        QCOMPARE(item->attributedNotes(), std::optional(ticked));
        QCOMPARE(store.undo()->index(), steps + 1);
        QCOMPARE(store.undo()->undoText(), QStringLiteral("Toggle Checklist"));
        QVERIFY(!board.context->hasChanges());
        QVERIFY(notes->checkButtons().constLast().checked);
        // The caret is in that line: what is typed there is ticked too.
        QCOMPARE(notes->currentCharFormat().boolProperty(NoteFormat::checklistProperty), true);
        QCOMPARE(notes->textCursor().position(), 9);

        notes->checkUncheckLine(7);
        notes->checkUncheckLine(0);
        QCOMPARE(store.undo()->index(), steps + 1);
        undoKey(notes);
        QCOMPARE(item->attributedNotes(), std::optional(before));
        QVERIFY(!notes->checkButtons().constLast().checked);
    }

    void collapsedNotes_keepOnlyTheFirstLinesBox_untilExpanded()
    {
        BoardFixture board(1);
        ListItem* item = board.card(0, QStringLiteral("a"));
        RichText text = styled(QStringLiteral("first\n"), NoteStyle::Checklist);
        text.append(styled(QStringLiteral("second\nthird"), NoteStyle::Checklist));
        NotesTextView* notes = editNotes(board, item, text);
        QVERIFY(notes);
        QCOMPARE(notes->checkButtons().size(), 3);
        editorOf(board, item)->noteButtonTapped();
        QVERIFY(!item->notesExpanded().value_or(true));
        QCOMPARE(notes->checkButtons().size(), 1);
        // New notes from the card: the hidden lines still get no box.
        text.append(styled(QStringLiteral("\nfourth"), NoteStyle::Checklist));
        item->setAttributedNotes(text);
        board.lists[0]->refreshItem(item);
        QCOMPARE(notes->richText(), text);
        QCOMPARE(notes->checkButtons().size(), 1);
        editorOf(board, item)->noteButtonTapped();
        QCOMPARE(notes->checkButtons().size(), 4);
    }

    void cardMenu_whileEditing_hasTheCardsItems_makeChecklist_andTheTextCommands()
    {
        BoardFixture board(1);
        ListItem* item = board.card(0, QStringLiteral("a"));
        NotesTextView* notes = editNotes(board, item, body(QStringLiteral("one")));
        QVERIFY(notes);
        const std::unique_ptr<QMenu> menu(notes->createCardMenu());
        QStringList texts;
        for (const QAction* action : menu->actions()) {
            if (!action->isSeparator() && !action->text().startsWith(QStringLiteral("Undo")) &&
                !action->text().startsWith(QStringLiteral("Redo")))
                texts.append(action->text().remove(u'&'));
        }
        QCOMPARE(texts,
                 (QStringList{QStringLiteral("Add Card Above"), QStringLiteral("Add Card Below"),
                              QStringLiteral("Mark as Done"), QStringLiteral("Archive Card"),
                              QStringLiteral("Delete Card"), QStringLiteral("Make Checklist"),
                              QStringLiteral("Cut"), QStringLiteral("Copy"),
                              QStringLiteral("Paste"), QStringLiteral("Select All")}));
        auto* makeChecklist = menu->findChild<QAction*>(QStringLiteral("makeChecklist"));
        QVERIFY(makeChecklist->isEnabled());
        QVERIFY(!makeChecklist->isChecked());
        makeChecklist->trigger();
        QCOMPARE(item->attributedNotes(),
                 std::optional(styled(QStringLiteral("one"), NoteStyle::Checklist)));
        const std::unique_ptr<QMenu> again(notes->createCardMenu());
        QVERIFY(again->findChild<QAction*>(QStringLiteral("makeChecklist"))->isChecked());
    }
};

PINWHEELS_GUI_TEST_MAIN(CardEditorTest)
#include "tst_cardeditor.moc"
