#include "IsolatedEnvironment.h"
#include "model/NoteFormat.h"
#include "notes/NotesDocument.h"
#include "notes/NotesTextView.h"
#include "notes/PasteInProgress.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QPainter>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

namespace {
RichText::Attributes style(NoteStyle::Kind kind, int strike = 0)
{
    RichText::Attributes attributes = NoteStyle::attributes(kind);
    attributes.strikethrough = strike;
    return attributes;
}

RichText roundTrip(const RichText& text)
{
    QTextDocument document;
    NotesDocument::setRichText(&document, text);
    return NotesDocument::richText(&document);
}
} // namespace

// A card's notes as a QTextDocument: the conversion both ways, the styles, the heights, the
// checklist boxes, and the editor's typing rules.
class NotesDocumentTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void conversion_losesNothing_data()
    {
        QTest::addColumn<RichText>("text");
        QTest::newRow("empty") << RichText();
        QTest::newRow("plain") << RichText(QStringLiteral("no attributes\nat all\n"));
        RichText styled;
        styled.append(RichText(QStringLiteral("Title\n"), style(NoteStyle::Title)));
        styled.append(RichText(QStringLiteral("Header\n"), style(NoteStyle::Header)));
        styled.append(RichText(QStringLiteral("body "), style(NoteStyle::Body)));
        styled.append(RichText(QStringLiteral("struck"), style(NoteStyle::Body, 1)));
        styled.append(RichText(QStringLiteral("\n"), style(NoteStyle::Body)));
        RichText::Attributes ticked = style(NoteStyle::Checklist);
        ticked.checklistChecked = true;
        styled.append(RichText(QStringLiteral("done step\n"), ticked));
        styled.append(RichText(QStringLiteral("open step"), style(NoteStyle::Checklist)));
        QTest::newRow("styles, ticks, strike-through") << styled;
        // A line feed whose attributes differ from its line's, and an empty last line.
        RichText feeds(QStringLiteral("a"), style(NoteStyle::Title));
        feeds.append(RichText(QStringLiteral("\n"), style(NoteStyle::Body, 2)));
        feeds.append(RichText(QStringLiteral("\n")));
        QTest::newRow("line feeds") << feeds;
        RichText attachment(QStringLiteral("see "), style(NoteStyle::Body));
        RichText::Attributes file = style(NoteStyle::Body);
        file.attachment =
            RichText::Attachment{QStringLiteral("image/png"), QByteArray("\x89PNG", 4)};
        attachment.append(RichText(QString(RichText::attachmentCharacter), file));
        attachment.append(RichText(QStringLiteral(" and 😀 too"), style(NoteStyle::Body)));
        QTest::newRow("attachment, astral character") << attachment;
    }
    void conversion_losesNothing()
    {
        QFETCH(RichText, text);
        QCOMPARE(roundTrip(text), text);
    }

    void styles_setFontsSpacingAndIndents()
    {
        const QFont title = NoteFormat::font(NoteStyle::Title);
        QCOMPARE(title.pixelSize(), 17);
        QCOMPARE(title.weight(), QFont::Bold);
        QCOMPARE(NoteFormat::font(NoteStyle::Header).pixelSize(), 14);
        QCOMPARE(NoteFormat::font(NoteStyle::Body).pixelSize(), 12);
        QCOMPARE(NoteFormat::font(NoteStyle::Body).weight(), QFont::Normal);

        RichText text(QStringLiteral("Title\n"), style(NoteStyle::Title));
        text.append(RichText(QStringLiteral("body\n"), style(NoteStyle::Body)));
        text.append(RichText(QStringLiteral("step"), style(NoteStyle::Checklist)));
        QTextDocument document;
        NotesDocument::setRichText(&document, text);
        const QTextBlock first = document.begin();
        QCOMPARE(first.blockFormat().topMargin(), 0.0);
        QCOMPARE(first.next().blockFormat().topMargin(), 4.0);
        QCOMPARE(first.next().blockFormat().bottomMargin(), 4.0);
        const QTextBlock step = first.next().next();
        QCOMPARE(step.blockFormat().leftMargin(), 24.0);
        QVERIFY(NotesDocument::isChecklistBlock(step));
        QVERIFY(!NotesDocument::isChecked(step));
        QVERIFY(!NotesDocument::isChecklistBlock(first));
        QCOMPARE(first.begin().fragment().charFormat().font().pixelSize(), 17);
        QCOMPARE(first.begin().fragment().charFormat().foreground().color(),
                 NoteFormat::textColour());
    }

    void heights_areTheTextPlusInsets_withAMinimumForTheWholeText()
    {
        QTextDocument document;
        NotesDocument::prepare(&document, 260);
        QCOMPARE(NotesDocument::heightRequiredToFitContent(&document), 30.0);
        RichText oneLine(QStringLiteral("Title"), style(NoteStyle::Title));
        NotesDocument::setRichText(&document, oneLine);
        const qreal titleHeight = document.documentLayout()->documentSize().height();
        QCOMPARE(NotesDocument::rowNotesHeight(&document, false, false),
                 NotesDocument::heightRequiredToFitContent(&document));
        RichText lines = oneLine;
        lines.append(RichText(QStringLiteral("\nmore\nand more"), style(NoteStyle::Body)));
        NotesDocument::setRichText(&document, lines);
        QCOMPARE(NotesDocument::rowNotesHeight(&document, false, true), titleHeight + 10.0);
        QVERIFY(NotesDocument::heightRequiredToFitContent(&document) > titleHeight + 40.0);
        QCOMPARE(NotesDocument::firstLine(lines), oneLine);
    }

    void checklistBoxes_areDrawnInTheIndent()
    {
        RichText text(QStringLiteral("step"), style(NoteStyle::Checklist));
        QTextDocument document;
        NotesDocument::setRichText(&document, text);
        NotesDocument::prepare(&document, 200);
        const QRectF box = NotesDocument::checkBoxRect(&document, document.begin());
        // Left of where the text starts, centred on its first line.
        const QTextLine line = document.begin().layout()->lineAt(0);
        const QRectF lineRect = line.naturalTextRect().translated(
            document.documentLayout()->blockBoundingRect(document.begin()).topLeft());
        QVERIFY(box.left() >= 0.0 && box.right() <= lineRect.left());
        QVERIFY(qAbs(box.center().y() - lineRect.center().y()) < 0.5);
        QImage image(200, 40, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        NotesDocument::paintCheckBoxes(&painter, &document, 40);
        painter.end();
        int painted = 0;
        for (int x = int(box.left()); x < int(box.right()); ++x)
            painted += qAlpha(image.pixel(x, int(box.center().y()))) > 0 ? 1 : 0;
        QVERIFY(painted > 0);
    }

    void editor_typesATitleFirst_continuesInBody_andFollowsChecklistLines()
    {
        QWidget window;
        auto* editor = new NotesTextView(&window);
        editor->resize(260, 200);
        window.show();
        QApplication::setActiveWindow(&window);
        editor->setFocus();
        QTRY_VERIFY(editor->hasFocus());
        QVERIFY(editor->isEditing());
        QTest::keyClicks(editor, QStringLiteral("Plan"));
        QTest::keyClick(editor, Qt::Key_Return);
        QTest::keyClicks(editor, QStringLiteral("details"));
        RichText expected(QStringLiteral("Plan\n"), style(NoteStyle::Title));
        expected.append(RichText(QStringLiteral("details"), style(NoteStyle::Body)));
        QCOMPARE(editor->richText(), expected);

        // Return in a checklist line: a new unticked line; on an empty one: back to body.
        RichText::Attributes ticked = style(NoteStyle::Checklist);
        ticked.checklistChecked = true;
        editor->setRichText(RichText(QStringLiteral("milk"), ticked));
        editor->moveCursor(QTextCursor::End);
        QTest::keyClick(editor, Qt::Key_Return);
        QTest::keyClicks(editor, QStringLiteral("eggs"));
        QTest::keyClick(editor, Qt::Key_Return);
        QTest::keyClick(editor, Qt::Key_Return);
        QTest::keyClicks(editor, QStringLiteral("end"));
        const RichText result = editor->richText();
        QCOMPARE(result.text(), QStringLiteral("milk\neggs\nend\n"));
        QCOMPARE(result.attributesAt(0).checklistChecked, std::optional<bool>(true));
        QCOMPARE(result.attributesAt(5).checklistChecked, std::optional<bool>(false));
        QCOMPARE(result.attributesAt(10).checklistChecked, std::nullopt);
        QCOMPARE(result.attributesAt(10).styleName, std::optional(QStringLiteral("body")));
    }

    void returnRules_holdForShiftReturn_andEveryNewChecklistLineStartsUnticked()
    {
        QWidget window;
        auto* editor = new NotesTextView(&window);
        editor->resize(260, 200);
        window.show();
        QApplication::setActiveWindow(&window);
        editor->setFocus();
        QTRY_VERIFY(editor->hasFocus());
        // Shift+Return is a Return: no line separator, and the heading is followed by body.
        QTest::keyClicks(editor, QStringLiteral("Plan"));
        QTest::keyClick(editor, Qt::Key_Return, Qt::ShiftModifier);
        QTest::keyClicks(editor, QStringLiteral("x"));
        RichText expected(QStringLiteral("Plan\n"), style(NoteStyle::Title));
        expected.append(RichText(QStringLiteral("x"), style(NoteStyle::Body)));
        QCOMPARE(editor->richText(), expected);

        // Return inside a ticked line: the part after the caret is a new, unticked line.
        RichText::Attributes ticked = style(NoteStyle::Checklist);
        ticked.checklistChecked = true;
        editor->setRichText(RichText(QStringLiteral("milkeggs"), ticked));
        QTextCursor cursor = editor->textCursor();
        cursor.setPosition(4);
        editor->setTextCursor(cursor);
        QTest::keyClick(editor, Qt::Key_Return, Qt::ShiftModifier);
        RichText split(QStringLiteral("milk\n"), ticked);
        split.append(RichText(QStringLiteral("eggs"), style(NoteStyle::Checklist)));
        QCOMPARE(editor->richText(), split);
        const QTextBlock second = editor->document()->begin().next();
        QVERIFY(NotesDocument::isChecked(editor->document()->begin()));
        QVERIFY(NotesDocument::isChecklistBlock(second) && !NotesDocument::isChecked(second));

        // Return at the very end: the caret's new line is a real, unticked checklist line.
        editor->moveCursor(QTextCursor::End);
        QTest::keyClick(editor, Qt::Key_Return);
        const QTextBlock caretLine = editor->textCursor().block();
        QCOMPARE(caretLine.blockNumber(), 2);
        QVERIFY(NotesDocument::isChecklistBlock(caretLine));
        QVERIFY(!NotesDocument::isChecked(caretLine));
        QTest::keyClicks(editor, QStringLiteral("jam"));
        QCOMPARE(editor->richText().attributesAt(10), style(NoteStyle::Checklist));
        QVERIFY(!editor->toPlainText().contains(QChar::LineSeparator));
    }

    void checklistBoxes_belongToLinesWhoseOwnFirstCharacterIsChecklist()
    {
        // "step", an empty body line, "body", and an empty last line after a checklist line.
        RichText text(QStringLiteral("step\n"), style(NoteStyle::Checklist));
        text.append(RichText(QStringLiteral("\nbody\n"), style(NoteStyle::Body)));
        text.append(RichText(QStringLiteral("last\n"), style(NoteStyle::Checklist)));
        QTextDocument document;
        NotesDocument::setRichText(&document, text);
        QList<bool> boxes;
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
            boxes.append(NotesDocument::isChecklistBlock(block));
        QCOMPARE(boxes, (QList<bool>{true, false, false, true, false}));
        // An empty line whose own line feed is a checklist line's carries a box.
        RichText emptyStep(QStringLiteral("a\n"), style(NoteStyle::Body));
        emptyStep.append(RichText(QStringLiteral("\n"), style(NoteStyle::Checklist)));
        NotesDocument::setRichText(&document, emptyStep);
        QVERIFY(!NotesDocument::isChecklistBlock(document.begin()));
        QVERIFY(NotesDocument::isChecklistBlock(document.begin().next()));
        QVERIFY(!NotesDocument::isChecklistBlock(document.lastBlock()));
    }

    void otherLineEnds_loadAsLineFeeds_andCompareEqualToWhatTheEditorHolds()
    {
        RichText text(QStringLiteral("one\r\ntwo\rthree"), style(NoteStyle::Body));
        text.append(RichText(QStringLiteral("\u2029four"), style(NoteStyle::Checklist)));
        RichText expected(QStringLiteral("one\ntwo\nthree"), style(NoteStyle::Body));
        expected.append(RichText(QStringLiteral("\nfour"), style(NoteStyle::Checklist)));
        QCOMPARE(NotesDocument::withLineFeeds(text), expected);
        QCOMPARE(roundTrip(text), expected);
        QTextDocument document;
        NotesDocument::setRichText(&document, text);
        QCOMPARE(document.blockCount(), 4);
        QVERIFY(NotesDocument::isChecklistBlock(document.lastBlock()));
        QCOMPARE(NotesDocument::firstLine(text).text(), QStringLiteral("one"));
        // Text with line feeds only is its own form.
        QCOMPARE(NotesDocument::withLineFeeds(expected), expected);
    }

    void clipboard_keepsStylesAndTicks_inTheEditorsOwnType()
    {
        NotesTextView source;
        RichText text(QStringLiteral("Heading\n"), style(NoteStyle::Header));
        RichText::Attributes ticked = style(NoteStyle::Checklist);
        ticked.checklistChecked = true;
        text.append(RichText(QStringLiteral("step"), ticked));
        source.setRichText(text);
        source.selectAll();
        source.copy();
        const QMimeData* data = QApplication::clipboard()->mimeData();
        QVERIFY(data->hasFormat(NotesTextView::corklineAttributedString()));
        QCOMPARE(data->text(), QStringLiteral("Heading\nstep"));

        NotesTextView target;
        target.setRichText(RichText(QStringLiteral("Before "), style(NoteStyle::Body)));
        target.moveCursor(QTextCursor::End);
        target.paste();
        // Pasted into the middle of a body line, the first line joins it in body style.
        RichText expected(QStringLiteral("Before Heading\n"), style(NoteStyle::Body));
        expected.append(RichText(QStringLiteral("step"), ticked));
        QCOMPARE(target.richText(), expected);

        // Plain text takes the style being typed; nothing else comes along.
        auto* plain = new QMimeData;
        plain->setText(QStringLiteral("x"));
        plain->setHtml(QStringLiteral("<h1>x</h1>"));
        QApplication::clipboard()->setMimeData(plain);
        target.moveCursor(QTextCursor::End);
        target.paste();
        QCOMPARE(target.richText().text(), QStringLiteral("Before Heading\nstepx"));
        QCOMPARE(target.richText().attributesAt(19), ticked);
    }

    void pasteInPieces_endsAsTheWholePasteAtOnce()
    {
        // Many lines of every style, with a character of two halves across each piece's end.
        RichText pasted;
        for (int i = 0; pasted.length() < 30000; ++i) {
            const NoteStyle::Kind kind = NoteStyle::Kind(i % 4);
            pasted.append(RichText(QStringLiteral("line %1 \U0001F600 words\n").arg(i),
                                   style(kind, i % 5 == 0 ? 1 : 0)));
        }
        pasted.append(RichText(QStringLiteral("end"), style(NoteStyle::Checklist)));
        int events = 0;
        const auto pasteInto = [&](QTextDocument& document, bool inPieces) {
            NotesDocument::setRichText(
                &document, RichText(QStringLiteral("Title\nbody"), style(NoteStyle::Title)));
            QTextCursor cursor(&document);
            cursor.setPosition(6);
            cursor.setPosition(8, QTextCursor::KeepAnchor); // "bo"
            PasteInProgress paste(cursor, pasted);
            events = 1;
            // An expired deadline inserts one piece each time.
            while (inPieces && !paste.insertUntil(QDeadlineTimer(0)))
                ++events;
            if (!inPieces)
                paste.insertUntil(QDeadlineTimer(QDeadlineTimer::Forever));
            QCOMPARE(paste.cursor().position(), 6 + pasted.length());
        };
        QTextDocument whole;
        QTextDocument pieces;
        pasteInto(whole, false);
        pasteInto(pieces, true);
        QVERIFY(events >= 4);
        QCOMPARE(NotesDocument::richText(&pieces), NotesDocument::richText(&whole));
        QCOMPARE(NotesDocument::richText(&pieces).text(),
                 QStringLiteral("Title\n") + pasted.text() + QStringLiteral("dy"));
        for (QTextBlock a = whole.begin(), b = pieces.begin(); a.isValid(); a = a.next()) {
            QCOMPARE(b.blockFormat(), a.blockFormat());
            b = b.next();
        }
    }
};

PINWHEELS_GUI_TEST_MAIN(NotesDocumentTest)
#include "tst_notesdocument.moc"
