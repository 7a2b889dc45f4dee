#include "BoardFixture.h"
#include "IsolatedEnvironment.h"
#include "LondonClock.h"
#include "cards/CardEditor.h"
#include "cards/CardGeometry.h"
#include "cards/DateDisplayButton.h"
#include "cards/DatePickerViewController.h"
#include "cards/DueDatePill.h"
#include "cards/DueDateTextField.h"
#include "cards/ListItemCellView.h"
#include "cards/TagEntry.h"
#include "interchange/ExchangeFormat.h"
#include "model/NoteFormat.h"
#include "notes/NotesDocument.h"
#include "notes/NotesTextView.h"
#include "store/NotificationCenter.h"
#include "tags/TagsTextField.h"

#include <QAbstractItemView>
#include <QAction>
#include <QBuffer>
#include <QCheckBox>
#include <QCompleter>
#include <QGraphicsOpacityEffect>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QTextBlock>
#include <QToolButton>
#include <QUndoStack>

// The card cell: the painted card and its controls, the editor opened on one card, tags, due
// dates, the done state and the expand button.
class CardCellTest : public QObject
{
    Q_OBJECT

private:
    TestStore store;

    static ListItem* cardWithNotes(BoardFixture& board, const QString& text)
    {
        ListItem* item = board.card(0, QStringLiteral("card"));
        item->setAttributedNotes(RichText(text, NoteStyle::attributes(NoteStyle::Body)));
        return item;
    }
    static QRect rowRect(BoardFixture& board, ListItem* item)
    {
        KanbanColumnTableView* view = board.lists[0]->columnTableView();
        return view->visualRect(board.lists[0]->tableModel()->indexForItem(item));
    }
    static CardGeometry geometry(BoardFixture& board, ListItem* item)
    {
        return board.lists[0]->cellView()->geometryFor(item, rowRect(board, item));
    }
    static void click(BoardFixture& board, const QPoint& point)
    {
        QTest::mouseClick(board.lists[0]->columnTableView()->viewport(), Qt::LeftButton, {}, point);
    }
    static CardEditor* openEditor(BoardFixture& board, ListItem* item)
    {
        KanbanColumnTableView* view = board.lists[0]->columnTableView();
        const QModelIndex index = board.lists[0]->tableModel()->indexForItem(item);
        view->edit(index);
        auto* editor = qobject_cast<CardEditor*>(view->indexWidget(index));
        if (editor)
            editor->focusNotesAtEnd();
        return editor;
    }
    // How much dark ink the painted notes of a card hold.
    static int inkOfNotes(BoardFixture& board, ListItem* item)
    {
        const QRect row = rowRect(board, item);
        QImage image(row.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter painter(&image);
        board.lists[0]->cellView()->paintCard(&painter, QRect(QPoint(), row.size()), item, false,
                                              false);
        painter.end();
        const QRect notes = board.lists[0]->cellView()->geometryFor(item, image.rect()).notes;
        int ink = 0;
        for (int y = notes.top(); y <= notes.bottom(); ++y) {
            for (int x = notes.left(); x <= notes.right(); ++x)
                ink += 255 - qGray(image.pixel(x, y));
        }
        return ink;
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(store.open()); }
    void init() { store.reset(); }
    void cleanup() { resetClock(); }

    void paintedControls_workWithoutAnEditor()
    {
        BoardFixture board(1);
        ListItem* item = cardWithNotes(board, QStringLiteral("first\nsecond\nthird"));
        board.show();
        KanbanColumnTableView* view = board.lists[0]->columnTableView();

        click(board, geometry(board, item).checkBox.center());
        QVERIFY(item->isDone());
        QCOMPARE(store.undo()->undoText(), QStringLiteral("Mark as Done"));
        click(board, geometry(board, item).flag.center());
        QVERIFY(item->isPriority());
        click(board, geometry(board, item).flag.center());
        QVERIFY(!item->isPriority());

        // notesExpanded is absent: the first press expands, the row grows.
        QCOMPARE(item->notesExpanded(), std::nullopt);
        const int collapsed = rowRect(board, item).height();
        click(board, geometry(board, item).expandButton.center());
        QCOMPARE(item->notesExpanded(), std::optional<bool>(true));
        QTRY_VERIFY(rowRect(board, item).height() > collapsed);
        QVERIFY(!view->indexWidget(board.lists[0]->tableModel()->indexForItem(item)));
        QVERIFY(!board.context->hasChanges());
    }

    void aPaintedBox_ticksItsLineWithoutOpeningTheEditor_asOneUndoableSavedStep()
    {
        BoardFixture board(1);
        ListItem* item = board.card(0, QStringLiteral("card"));
        RichText notes(QStringLiteral("Plan\n"), NoteStyle::attributes(NoteStyle::Title));
        notes.append(
            RichText(QStringLiteral("call\nwrite"), NoteStyle::attributes(NoteStyle::Checklist)));
        item->setAttributedNotes(notes);
        item->setNotesExpanded(true);
        AppDelegate::shared()->save();
        board.show();
        const QRect row = rowRect(board, item);
        QTextDocument* document = board.lists[0]->cellView()->documentFor(item);
        const QRectF box = NotesDocument::checkBoxRect(document, document->findBlockByNumber(2));
        const QRect notesArea = geometry(board, item).notes;
        const QPoint centre = notesArea.topLeft() +
                              QPoint(int(NoteFormat::notePadding), int(NoteFormat::verticalInset)) +
                              box.center().toPoint();
        QCOMPARE(board.lists[0]->cellView()->checklistLineAt(item, row, centre), std::optional(2));
        const qint64 layouts = ListItemCellView::layoutCount();
        click(board, centre);

        RichText ticked = notes;
        ticked.changeAttributes(10, 5, [](RichText::Attributes& a) { a.checklistChecked = true; });
        QCOMPARE(item->attributedNotes(), std::optional(ticked));
        QVERIFY(!board.lists[0]->columnTableView()->indexWidget(
            board.lists[0]->tableModel()->indexForItem(item)));
        QCOMPARE(store.undo()->undoText(), QStringLiteral("Toggle Checklist"));
        QVERIFY(!board.context->hasChanges());
        // The ticked card alone is laid out again, at its height.
        QCOMPARE(ListItemCellView::layoutCount(), layouts + 1);
        QCOMPARE(rowRect(board, item), row);

        store.undo()->undo();
        QCOMPARE(item->attributedNotes(), std::optional(notes));
        QVERIFY(!board.context->hasChanges());
        // Beside the boxes, a click goes into the text.
        click(board, notesArea.topLeft() + QPoint(notesArea.width() - 10, 8));
        QVERIFY(board.lists[0]->columnTableView()->indexWidget(
            board.lists[0]->tableModel()->indexForItem(item)));
    }

    void aClickIntoTheText_orReturn_opensTheEditorThere()
    {
        BoardFixture board(1);
        ListItem* item = cardWithNotes(board, QStringLiteral("first line\nsecond line"));
        item->setNotesExpanded(true);
        ListItem* other = cardWithNotes(board, QStringLiteral("other"));
        board.show();
        KanbanColumnTableView* view = board.lists[0]->columnTableView();
        const CardGeometry g = geometry(board, item);
        click(board, QPoint(g.notes.left() + 14, g.notes.top() + 8));
        auto* editor = qobject_cast<CardEditor*>(
            view->indexWidget(board.lists[0]->tableModel()->indexForItem(item)));
        QVERIFY(editor);
        QTRY_VERIFY(editor->notesTextView()->hasFocus());
        QVERIFY(editor->notesTextView()->textCursor().position() <= 2); // near the click
        QCOMPARE(board.lists[0]->selectedItems(), QList<ListItem*>{item});

        // A click on the tags of another card moves editing there, into its tag field.
        click(board, geometry(board, other).tags.center());
        auto* second = qobject_cast<CardEditor*>(
            view->indexWidget(board.lists[0]->tableModel()->indexForItem(other)));
        QVERIFY(second);
        QTRY_VERIFY(second->tokenFieldForTags()->lineEdit()->hasFocus());
        QTRY_VERIFY(!view->indexWidget(board.lists[0]->tableModel()->indexForItem(item)));

        // Escape, then Return on the selected card opens it again.
        QTest::keyClick(second->tokenFieldForTags()->lineEdit(), Qt::Key_Escape);
        QTest::keyClick(second->tokenFieldForTags()->lineEdit(), Qt::Key_Escape);
        QTRY_VERIFY(!view->indexWidget(board.lists[0]->tableModel()->indexForItem(other)));
        view->setFocus();
        QTest::keyClick(view, Qt::Key_Return);
        QVERIFY(view->indexWidget(board.lists[0]->tableModel()->indexForItem(other)));
    }

    void datePill_opensThePicker_withTheDefaultDueDate_aroundTheDueHour()
    {
        setLondonClock();
        Defaults::standard().setValue(Defaults::dueHour, 17);
        Defaults::standard().setValue(Defaults::dueMinute, 0);
        BoardFixture board(1);
        ListItem* early = cardWithNotes(board, QStringLiteral("early"));
        ListItem* late = cardWithNotes(board, QStringLiteral("late"));
        board.show();
        int dueSoonChanges = 0;
        QObject observer;
        NotificationCenter::defaultCenter().addObserver(&observer,
                                                        QStringLiteral("dueSoonDefinitionChanged"),
                                                        [&](const auto&) { ++dueSoonChanges; });

        Clock::setNow(inLondon(3, 12, 16, 59));
        const QRect pill = geometry(board, early).dueDatePill(DueDatePill::calendarImageSize());
        click(board, pill.center());
        auto* picker =
            board.lists[0]->columnTableView()->viewport()->findChild<DatePickerViewController*>();
        QVERIFY(picker);
        QCOMPARE(early->dueDate(), inLondon(3, 12, 17, 0));
        QCOMPARE(store.undo()->undoText(), QStringLiteral("Change Due Date"));
        QCOMPARE(dueSoonChanges, 1);
        picker->clearDate();
        QVERIFY(!early->dueDate().isValid());
        store.undo()->undo();
        QCOMPARE(early->dueDate(), inLondon(3, 12, 17, 0));
        store.undo()->undo();
        QVERIFY(!early->dueDate().isValid());

        // At the due hour or later, tomorrow.
        Clock::setNow(inLondon(3, 12, 17, 0));
        CardEditor* editor = openEditor(board, late);
        QVERIFY(editor);
        QTest::mouseClick(editor->showDateButton(), Qt::LeftButton);
        QCOMPARE(late->dueDate(), inLondon(3, 13, 17, 0));
        QCOMPARE(editor->showDateButton()->dateValue(), std::optional(inLondon(3, 13, 17, 0)));
        QVERIFY(!board.context->hasChanges());
        if (auto* open = editor->findChild<DatePickerViewController*>())
            open->close();
    }

    void doneCards_dimTheirParts_andShowTheDoneDate()
    {
        setLondonClock();
        BoardFixture board(1);
        ListItem* item = cardWithNotes(board, QStringLiteral("Some words to see"));
        ListItem* other = cardWithNotes(board, QStringLiteral("Some words to see"));
        board.show();
        board.lists[0]->flipDoneStateOfItem(item);
        // The painted notes of a done card are faded (and struck through).
        QVERIFY(inkOfNotes(board, item) < inkOfNotes(board, other) * 2 / 3);

        CardEditor* editor = openEditor(board, item);
        QVERIFY(editor);
        const auto opacity = [](QWidget* w) {
            return static_cast<QGraphicsOpacityEffect*>(w->graphicsEffect())->opacity();
        };
        QCOMPARE(opacity(editor->notesTextView()), 0.3);
        QCOMPARE(opacity(editor->tokenFieldForTags()), 0.3);
        QVERIFY(editor->doneDateField()->isVisibleTo(editor));
        QCOMPARE(editor->doneDateField()->text(), QStringLiteral("Today"));
        QVERIFY(editor->checkButton()->isChecked());

        QTest::mouseClick(editor->checkButton(), Qt::LeftButton);
        QVERIFY(!item->isDone());
        QCOMPARE(opacity(editor->notesTextView()), 1.0);
        QVERIFY(!editor->doneDateField()->isVisibleTo(editor));
    }

    void tagEntry_matchesExactNames_skipsEmptyOnes_andColoursNewTags()
    {
        BoardFixture board(1);
        Tag* urgent = board.tag(QStringLiteral("urgent"), 0);
        Tag* home = board.tag(QStringLiteral("home"), 1);
        cardWithNotes(board, QStringLiteral("at home"))->setTags({home}); // a tag lives on cards
        ListItem* item = cardWithNotes(board, QStringLiteral("tagged"));
        board.show();
        CardEditor* editor = openEditor(board, item);
        QVERIFY(editor);
        TagsTextField* field = editor->tokenFieldForTags();
        editor->focusTags();
        QTRY_VERIFY(field->lineEdit()->hasFocus());
        QTest::keyClicks(field->lineEdit(), QStringLiteral("urgent,, Urgent ,"));
        QCOMPARE(field->completer()->model()->rowCount(), 1); // home: not on the card yet
        QTest::keyClick(field->lineEdit(), Qt::Key_Return);   // ends editing
        QCOMPARE(TagEntry::namesOf(item),
                 (QStringList{QStringLiteral("urgent"), QStringLiteral("Urgent")}));
        QCOMPARE(item->tags().first(), urgent);
        Tag* upper = item->tags().at(1);
        QCOMPARE(upper->kanban(), board.board);
        QCOMPARE(upper->colour(), qint16(2)); // the first colour the board does not use
        QVERIFY(!board.context->hasChanges());

        // The completions: board tags not on the card, by prefix in any case.
        QCOMPARE(TagEntry::completions(item, QStringLiteral("HO")),
                 QStringList{QStringLiteral("home")});
        // With all seven colours taken the eighth tag keeps the default colour.
        QList<Tag*> all = item->tags();
        for (int i = 3; i < 7; ++i)
            all.append(board.tag(QStringLiteral("t%1").arg(i), i));
        item->setTags(all);
        TagEntry::setTagsFromNames(item, TagEntry::namesOf(item) << QStringLiteral("eighth"));
        QCOMPARE(item->tags().last()->name(), QStringLiteral("eighth"));
        QCOMPARE(item->tags().last()->colour(), qint16(0));
        QCOMPARE(item->tags().last()->kanban(), board.board);
    }

    void expandButton_followsLineFeeds_andKeepsTheCaretVisible()
    {
        BoardFixture board(1);
        ListItem* single = cardWithNotes(board, QStringLiteral("only one line"));
        ListItem* lines = cardWithNotes(board, QStringLiteral("one\ntwo\nthree"));
        lines->setNotesExpanded(true);
        board.show();
        // No line feed: no button, and collapsed is as tall as expanded.
        QVERIFY(board.lists[0]->cellView()->controlAt(
                    board.lists[0]->tableModel()->indexForItem(single), rowRect(board, single),
                    geometry(board, single).expandButton.center()) !=
                ListItemCellView::Control::ExpandButton);
        const int singleHeight = rowRect(board, single).height();
        single->setNotesExpanded(true);
        board.lists[0]->updateHeightFor(single);
        QTRY_COMPARE(rowRect(board, single).height(), singleHeight);

        CardEditor* editor = openEditor(board, lines);
        QVERIFY(editor);
        QVERIFY(editor->noteButton()->isVisibleTo(editor));
        NotesTextView* notes = editor->notesTextView();
        QTextCursor cursor = notes->textCursor();
        cursor.setPosition(10); // on the third line
        notes->setTextCursor(cursor);
        QTest::mouseClick(editor->noteButton(), Qt::LeftButton);
        QCOMPARE(lines->notesExpanded(), std::optional<bool>(false));
        QCOMPARE(notes->textCursor().position(), 3); // the end of the first line
        // Moving the caret past the first line expands the notes again.
        QTest::keyClick(notes, Qt::Key_Down);
        QCOMPARE(lines->notesExpanded(), std::optional<bool>(true));
    }

    void attachments_arePaintedInTheCard_andTheRowFitsThem()
    {
        // Attachment characters used to be laid out as nothing: a line holding only a picture
        // or a link showed an empty band.
        BoardFixture board(1);
        ListItem* item = board.card(0, QStringLiteral("card"));
        const auto body = NoteStyle::attributes(NoteStyle::Body);
        RichText text(QStringLiteral("Links\n"), NoteStyle::attributes(NoteStyle::Title));
        ExchangeFormat::Link page;
        page.url = QUrl(QStringLiteral("https://example.org/page"));
        page.title = QStringLiteral("A page");
        RichText::Attributes link = body;
        link.attachment = RichText::Attachment{RichText::Attachment::linkFileType(),
                                               ExchangeFormat::encodeLink(page)};
        text.append(RichText(QString(RichText::attachmentCharacter), link));
        text.append(RichText(QStringLiteral("\n"), body));
        QImage red(120, 60, QImage::Format_RGB32);
        red.fill(Qt::red);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        red.save(&buffer, "PNG");
        RichText::Attributes picture = body;
        picture.attachment = RichText::Attachment{QStringLiteral("image/png"), png};
        text.append(RichText(QString(RichText::attachmentCharacter), picture));
        item->setAttributedNotes(text);
        item->setNotesExpanded(true);
        board.show();

        ListItemCellView* cell = board.lists[0]->cellView();
        // The title, the 40 high link box and the 60 high picture.
        QVERIFY(cell->notesHeightFor(item) >= 17 + 40 + 60);
        QTRY_COMPARE(rowRect(board, item).height(),
                     cell->notesHeightFor(item) + CardGeometry::fixedHeight);
        QImage image(rowRect(board, item).size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter painter(&image);
        cell->paintCard(&painter, image.rect(), item, false, false);
        painter.end();
        int redPixels = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                redPixels += image.pixel(x, y) == qRgb(255, 0, 0);
        }
        QCOMPARE(redPixels, 120 * 60);
    }

    void heights_followTheNotes_andTypingLaysOutOneCard()
    {
        BoardFixture board(1);
        ListItem* none = board.card(0, QStringLiteral("none"));
        none->setAttributedNotes(std::nullopt);
        ListItem* lines = cardWithNotes(board, QStringLiteral("one\ntwo\nthree"));
        board.show();
        ListItemCellView* cell = board.lists[0]->cellView();
        QCOMPARE(board.lists[0]->heightForItem(none), 30 + CardGeometry::fixedHeight);
        const int collapsed = board.lists[0]->heightForItem(lines);
        QTextDocument* document = cell->documentFor(lines);
        QCOMPARE(document->blockCount(), 1); // a collapsed card lays out its first line only
        lines->setNotesExpanded(true);
        board.lists[0]->updateHeightFor(lines);
        cell->measureExactly(lines);
        QVERIFY(board.lists[0]->heightForItem(lines) > collapsed + 20);

        CardEditor* editor = openEditor(board, lines);
        QVERIFY(editor);
        QTRY_VERIFY(editor->notesTextView()->hasFocus());
        const qint64 layouts = ListItemCellView::layoutCount();
        QTest::keyClicks(editor->notesTextView(), QStringLiteral("!"));
        QTest::keyClick(editor->notesTextView(), Qt::Key_Return);
        QCOMPARE(lines->notesPlainText(), QStringLiteral("one\ntwo\nthree!\n"));
        QCoreApplication::processEvents();
        // The editor's own layout measured the card: nothing else laid it out again.
        QCOMPARE(ListItemCellView::layoutCount(), layouts);
        QTRY_COMPARE(rowRect(board, lines).height(),
                     int(std::ceil(editor->notesTextView()->heightRequiredToFitContent())) +
                         CardGeometry::fixedHeight);
        // Escape ends editing: the notes are saved and the card is painted again.
        QTest::keyClick(editor->notesTextView(), Qt::Key_Escape);
        QTRY_VERIFY(!board.lists[0]->columnTableView()->indexWidget(
            board.lists[0]->tableModel()->indexForItem(lines)));
        QVERIFY(!board.context->hasChanges());
        QCOMPARE(lines->notesPlainText(), QStringLiteral("one\ntwo\nthree!\n"));
        QVERIFY(!cell->editingItem());
    }

    void scrollingPastTheDocumentCache_paintsEveryCard()
    {
        // More cards than the painter keeps laid out: older documents are let go while the
        // column scrolls, and the newest ones stay usable (AddressSanitizer watches this).
        BoardFixture board(1);
        QList<ListItem*> cards;
        for (int i = 0; i < 3 * ListItemCellView::keptDocuments; ++i)
            cards.append(cardWithNotes(board, QStringLiteral("Card %1\nbody").arg(i)));
        board.show();
        QListView* view = board.lists[0]->columnTableView();
        for (ListItem* card : std::as_const(cards)) {
            view->scrollTo(board.lists[0]->tableModel()->indexForItem(card));
            view->viewport()->grab();
            // Painting measured the card: its height is its laid-out text, not the estimate.
            QTRY_VERIFY(board.lists[0]->cellView()->hasExactHeight(card));
            QCOMPARE(board.lists[0]->heightForItem(card),
                     board.lists[0]->cellView()->notesHeightFor(card) + CardGeometry::fixedHeight);
        }
    }

    void searchHighlight_marksTheFirstMatchOnly()
    {
        BoardFixture board(1);
        ListItem* item = cardWithNotes(board, QStringLiteral("milk and more Milk"));
        board.lists[0]->setSearchTerm(QStringLiteral("MILK"));
        board.show();
        QTextDocument* document = board.lists[0]->cellView()->documentFor(item);
        QTextCursor cursor(document);
        const auto backgroundAt = [&](int position) {
            cursor.setPosition(position + 1);
            return cursor.charFormat().background().color();
        };
        QCOMPARE(backgroundAt(0), QColor(Qt::yellow));
        QCOMPARE(backgroundAt(3), QColor(Qt::yellow));
        QVERIFY(backgroundAt(14) != QColor(Qt::yellow));
        // The stored notes carry no highlight, and a new term moves it.
        QCOMPARE(item->attributedNotes()->runs().size(), 1);
        board.lists[0]->setSearchTerm(QStringLiteral("more"));
        document = board.lists[0]->cellView()->documentFor(item);
        cursor = QTextCursor(document);
        QVERIFY(backgroundAt(0) != QColor(Qt::yellow));
        QCOMPARE(backgroundAt(9), QColor(Qt::yellow));
    }

    void cardMenu_namesItsItems_andOnlyRestoresInTheArchiveView()
    {
        BoardFixture board(1);
        ListItem* a = cardWithNotes(board, QStringLiteral("a"));
        cardWithNotes(board, QStringLiteral("b"));
        board.show();
        KanbanColumnTableView* view = board.lists[0]->columnTableView();
        QMenu menu;
        view->addCardMenuItems(&menu, a);
        QStringList texts;
        for (const QAction* action : menu.actions())
            texts.append(action->text());
        QCOMPARE(texts, (QStringList{QStringLiteral("Add Card Above"),
                                     QStringLiteral("Add Card Below"), QString(),
                                     QStringLiteral("Mark as Done"), QStringLiteral("Archive Card"),
                                     QString(), QStringLiteral("Delete Card")}));
        // Only a done card goes to the archive.
        QVERIFY(!menu.findChild<QAction*>(QStringLiteral("archiveCard"))->isEnabled());
        menu.actions().at(1)->trigger();
        QCOMPARE(board.lists[0]->listItems().at(1)->title(), QStringLiteral("untitled"));

        view->selectAll();
        QMenu several;
        view->addCardMenuItems(&several, a);
        QCOMPARE(several.findChild<QAction*>(QStringLiteral("deleteCard"))->text(),
                 QStringLiteral("Delete Selected Cards"));
        a->setDone(true);
        a->setArchived(true);
        setListViewMode(2);
        QMenu archived;
        view->addCardMenuItems(&archived, a);
        QCOMPARE(archived.actions().size(), 1);
        QCOMPARE(archived.actions().constFirst()->text(), QStringLiteral("Restore Card"));
        archived.actions().constFirst()->trigger();
        QVERIFY(!a->isArchived());
        QCOMPARE(AppDelegate::sharedUndoStack()->undoText(), QStringLiteral("Restore Card"));
        AppDelegate::sharedUndoStack()->undo();
        QVERIFY(a->isArchived());
        setListViewMode(0);
    }
};

PINWHEELS_GUI_TEST_MAIN(CardCellTest)
#include "tst_cardcell.moc"
