#include "IsolatedEnvironment.h"
#include "MainWindowFixture.h"
#include "StoreTestSupport.h"
#include "board/CardTableModel.h"
#include "board/KanbanColumnListViewController.h"
#include "board/KanbanColumnTableView.h"
#include "cards/CardEditor.h"
#include "cards/CardGeometry.h"
#include "cards/ListItemCellView.h"
#include "interchange/ExchangeFormat.h"
#include "interchange/JSONReader.h"
#include "interchange/JSONWriter.h"
#include "model/Kanban.h"
#include "model/KanbanColumn.h"
#include "model/ListItem.h"
#include "model/NoteStyle.h"
#include "model/Root.h"
#include "navigation/MainWindowController.h"
#include "navigation/SourceOutlineView.h"
#include "notes/LinkOpener.h"
#include "notes/NotesTextView.h"
#include "store/AppDelegate.h"
#include "store/DataFolder.h"
#include "store/ObjectContext.h"
#include "widgets/MessageBox.h"

#include <QApplication>
#include <QBuffer>
#include <QCborValue>
#include <QClipboard>
#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

namespace {
RichText::Attributes bodyWith(std::optional<RichText::Attachment> attachment = std::nullopt)
{
    RichText::Attributes attributes = NoteStyle::attributes(NoteStyle::Body);
    attributes.attachment = std::move(attachment);
    return attributes;
}

RichText body(const QString& text)
{
    return RichText(text, bodyWith());
}

RichText attachment(const QString& fileType, const QByteArray& contents)
{
    return RichText(QString(RichText::attachmentCharacter),
                    bodyWith(RichText::Attachment{fileType, contents}));
}

RichText link(const QUrl& url, const QString& title)
{
    ExchangeFormat::Link contents{url, title, QStringLiteral("body")};
    return attachment(RichText::Attachment::linkFileType(), ExchangeFormat::encodeLink(contents));
}

RichText concat(std::initializer_list<RichText> parts)
{
    RichText text;
    for (const RichText& part : parts)
        text.append(part);
    return text;
}

QByteArray pngBytes(QColor colour)
{
    QImage image(12, 8, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}
} // namespace

// Links, files and pictures in the notes of a card being edited on a board of the main window:
// dropped, pasted, clicked, opened and deleted, with the Edit menu, the window's undo steps and
// what the store keeps.
class NoteAttachmentsTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir files;
    QList<QUrl> opened;
    std::unique_ptr<MainWindowFixture> app;
    Kanban* board = nullptr;
    ListItem* card = nullptr;

    QString writeFile(const QString& name, const QByteArray& bytes, bool executable = false)
    {
        QFile file(files.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return {};
        if (executable)
            file.setPermissions(file.permissions() | QFile::ExeOwner);
        return file.fileName();
    }

    QUndoStack* undo() const { return app->delegate().undoManager(); }
    KanbanColumnListViewController* list() const
    {
        return KanbanColumnListViewController::controllerFor(board->column().at(0));
    }
    QStringList texts() const
    {
        QStringList texts;
        for (const ListItem* item : board->column().at(0)->item())
            texts.append(item->notesPlainText());
        return texts;
    }

    // A new board of one column of cards with these notes, shown from the sidebar.
    void showBoard(const QList<RichText>& cards)
    {
        board = app->context().insert<Kanban>();
        board->setTitle(QStringLiteral("Attachments"));
        auto* column = app->context().insert<KanbanColumn>();
        board->insertColumn(column);
        for (const RichText& notes : cards) {
            auto* item = app->context().insert<ListItem>();
            item->setAttributedNotes(notes);
            item->setNotesExpanded(true);
            column->insertItem(item);
        }
        app->root().insertChild(board);
        QVERIFY(app->delegate().save());
        selectInSidebar(QStringLiteral("Attachments"));
    }
    void selectInSidebar(const QString& title)
    {
        QVERIFY(QTest::qWaitFor([&] { return app->indexOf(title).isValid(); }));
        app->view().expand(app->indexOf(title).parent());
        app->view().selectRow(app->view().rowForIndex(app->indexOf(title)));
        QTRY_VERIFY(list());
        card = board->column().at(0)->item().value(0);
        QCOMPARE(undo()->count(), 0);
    }
    // Clicks into the first card's text, as the user starts editing it.
    NotesTextView* edit() const
    {
        KanbanColumnTableView* table = list()->columnTableView();
        const QModelIndex index = list()->tableModel()->indexForItem(card);
        const QRect notes = list()->cellView()->geometryFor(card, table->visualRect(index)).notes;
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                          QPoint(notes.right() - 4, notes.top() + 8));
        auto* editor = qobject_cast<CardEditor*>(table->indexWidget(index));
        NotesTextView* text = editor ? editor->notesTextView() : nullptr;
        if (!text || !QTest::qWaitFor([text] { return text->hasFocus(); }))
            return nullptr;
        return text;
    }
    NotesTextView* showAndEdit(const QList<RichText>& cards)
    {
        showBoard(cards);
        return QTest::currentTestFailed() ? nullptr : edit();
    }
    // A point inside the attachment drawn at this position of the text.
    static QPoint pointOn(NotesTextView* notes, int position)
    {
        QTextCursor cursor(notes->document());
        cursor.setPosition(position);
        const QRect caret = notes->cursorRect(cursor);
        return QPoint(caret.left() + 12, caret.center().y());
    }
    // Drops the files at the end of the text, as the platform hands a drop to the editor.
    static void dropFiles(NotesTextView* notes, const QStringList& paths)
    {
        QMimeData data;
        for (const QString& path : paths)
            data.setUrls(data.urls() << QUrl::fromLocalFile(path));
        QTextCursor end(notes->document());
        end.movePosition(QTextCursor::End);
        const QPoint at = notes->cursorRect(end).center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(notes->viewport(), &enter);
        QDropEvent dropped(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(notes->viewport(), &dropped);
    }

    QMenu* editMenu() const
    {
        for (QAction* top : app->window().menuBar()->actions()) {
            if (top->text().remove(u'&') == QStringLiteral("Edit"))
                return top->menu();
        }
        return nullptr;
    }
    QString undoMenuText() const { return editMenu()->actions().at(0)->text().remove(u'&'); }
    QAction* editItem(const QString& name) const { return editMenu()->findChild<QAction*>(name); }
    // Opens and closes the Edit menu, which validates its items; returns which of Cut, Copy
    // and Paste are enabled.
    QList<bool> validatedCutCopyPaste() const
    {
        QMenu* menu = editMenu();
        menu->popup(app->window().mapToGlobal(QPoint(20, 20)));
        if (!QTest::qWaitFor([menu] { return menu->isVisible(); }))
            return {};
        QList<bool> enabled;
        for (const char* name : {"MenuItemCut", "MenuItemCopy", "MenuItemPaste"})
            enabled.append(editItem(QString::fromLatin1(name))->isEnabled());
        menu->hide();
        return enabled;
    }
    // Chooses the item from the opened Edit menu; false when it is disabled there.
    bool choose(const char* name) const
    {
        const QList<bool> enabled = validatedCutCopyPaste();
        QAction* item = editItem(QString::fromLatin1(name));
        if (enabled.isEmpty() || !item->isEnabled())
            return false;
        item->trigger();
        return true;
    }
    void chooseUndo() const { editMenu()->actions().at(0)->trigger(); }

    // The card's notes as the store file holds them, once everything is saved.
    std::optional<RichText> storedNotes() const
    {
        if (!QTest::qWaitFor([this] { return !app->context().hasChanges(); }))
            return std::nullopt;
        const auto stored =
            StoreTestSupport::open(DataFolder::storePath(DataFolder::standardPath()));
        const auto* item =
            stored ? static_cast<const ListItem*>(stored->objectWithNumber(card->objectNumber()))
                   : nullptr;
        return item ? item->attributedNotes() : std::nullopt;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(files.isValid());
        LinkOpener::setOpener([this](const QUrl& url) {
            opened.append(url);
            return true;
        });
    }
    void init()
    {
        app = std::make_unique<MainWindowFixture>();
        opened.clear();
        MessageBox::takeShownAlerts();
        QApplication::clipboard()->clear();
    }
    void cleanup() { app.reset(); }

    void drops_ofAPdfAndAPng_makeALinkAndTheInlinePicture_eachUndoneInOneStep()
    {
        const QString pdf = writeFile(QStringLiteral("report.pdf"), "%PDF-1.4\n%%EOF\n");
        const QByteArray png = pngBytes(Qt::red);
        const QString picture = writeFile(QStringLiteral("photo.png"), png);
        const RichText before = body(QStringLiteral("See "));
        NotesTextView* notes = showAndEdit({before});
        QVERIFY(notes);

        dropFiles(notes, {pdf});
        QCOMPARE(card->attributedNotes(),
                 std::optional(concat(
                     {before, link(QUrl::fromLocalFile(pdf), QStringLiteral("report.pdf"))})));
        QCOMPARE(undoMenuText(), QStringLiteral("Undo Typing"));
        QTest::keyClick(notes, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(card->attributedNotes(), std::optional(before));
        QCOMPARE(notes->richText(), before);

        // Dropped where typing just ended, the picture is still a step of its own.
        notes->moveCursor(QTextCursor::End);
        QTest::keyClicks(notes, QStringLiteral("it"));
        const RichText typed = body(QStringLiteral("See it"));
        dropFiles(notes, {picture});
        const RichText pictured = concat({typed, attachment(QStringLiteral("image/png"), png)});
        QCOMPARE(card->attributedNotes(), std::optional(pictured));
        QCOMPARE(storedNotes(), std::optional(pictured));
        chooseUndo();
        QCOMPARE(card->attributedNotes(), std::optional(typed));
        QCOMPARE(storedNotes(), std::optional(typed));
        QCOMPARE(undo()->index(), 1);
    }

    void pastes_ofTitledAndBareLinksAndOfAnImage_goInAsLinksAndAPicture()
    {
        const RichText before = body(QStringLiteral("Read "));
        NotesTextView* notes = showAndEdit({before});
        QVERIFY(notes);
        notes->moveCursor(QTextCursor::End);

        // Browsers give "URL\ntitle" in UTF-16.
        const QUrl page(QStringLiteral("https://example.org/docs/guide.html"));
        const QString pair = page.toString() + QStringLiteral("\nThe Guide");
        auto* titled = new QMimeData;
        titled->setData(NotesTextView::mozUrlType(),
                        QByteArray(reinterpret_cast<const char*>(pair.utf16()), pair.size() * 2));
        QApplication::clipboard()->setMimeData(titled);
        QTest::keyClick(notes, Qt::Key_V, Qt::ControlModifier);
        RichText expected = concat({before, link(page, QStringLiteral("The Guide"))});
        QCOMPARE(card->attributedNotes(), std::optional(expected));

        auto* bare = new QMimeData;
        const QUrl other(QStringLiteral("https://example.org/files/notes.txt"));
        bare->setUrls({other});
        QApplication::clipboard()->setMimeData(bare);
        QVERIFY(choose("MenuItemPaste"));
        expected.append(link(other, QStringLiteral("notes.txt")));
        QCOMPARE(card->attributedNotes(), std::optional(expected));

        // What a browser's link gives through the X11 clipboard: its URL, and the link as HTML.
        auto* fromBrowser = new QMimeData;
        const QUrl article(QStringLiteral("https://example.org/news/item?id=7"));
        fromBrowser->setUrls({article});
        fromBrowser->setHtml(QStringLiteral("<a href=\"%1\">Seven <b>things</b>\n to know</a>")
                                 .arg(article.toString()));
        QApplication::clipboard()->setMimeData(fromBrowser);
        QTest::keyClick(notes, Qt::Key_V, Qt::ControlModifier);
        expected.append(link(article, QStringLiteral("Seven things to know")));
        QCOMPARE(card->attributedNotes(), std::optional(expected));

        // A picture copied from another program, given as an image only.
        QImage image(10, 6, QImage::Format_RGB32);
        image.fill(Qt::blue);
        auto* picture = new QMimeData;
        picture->setImageData(image);
        QApplication::clipboard()->setMimeData(picture);
        QTest::keyClick(notes, Qt::Key_V, Qt::ControlModifier);
        const std::optional<RichText> pasted = card->attributedNotes();
        QVERIFY(pasted && pasted->length() == expected.length() + 1);
        QCOMPARE(pasted->mid(0, expected.length()), expected);
        const auto inserted = pasted->attributesAt(expected.length()).attachment;
        QVERIFY(inserted);
        QCOMPARE(inserted->fileType, QStringLiteral("image/png"));
        QCOMPARE(QImage::fromData(inserted->contents).convertToFormat(QImage::Format_RGB32), image);
        QCOMPARE(storedNotes(), pasted);
    }

    void clicks_selectExactlyTheAttachment_doubleClickOpens_andProgramsAskFirst()
    {
        const QUrl web(QStringLiteral("https://example.org/page"));
        const QUrl tool =
            QUrl::fromLocalFile(writeFile(QStringLiteral("tool"), "#!/bin/sh\n", true));
        const QUrl launcher = QUrl::fromLocalFile(
            writeFile(QStringLiteral("run.desktop"), "[Desktop Entry]\nExec=true\n"));
        QVERIFY(tool.isValid() && launcher.isValid());
        const RichText before =
            concat({body(QStringLiteral("Open\n")), link(web, QStringLiteral("Page")),
                    body(QStringLiteral("\n")), link(tool, QStringLiteral("tool")),
                    body(QStringLiteral("\n")), link(launcher, QStringLiteral("run")),
                    body(QStringLiteral("\nend"))});
        NotesTextView* notes = showAndEdit({before});
        QVERIFY(notes);

        for (const int position : {5, 7, 9}) {
            QTest::mouseClick(notes->viewport(), Qt::LeftButton, {}, pointOn(notes, position));
            QCOMPARE(notes->textCursor().selectionStart(), position);
            QCOMPARE(notes->textCursor().selectionEnd(), position + 1);
        }
        QTest::mouseDClick(notes->viewport(), Qt::LeftButton, {}, pointOn(notes, 5));
        QCOMPARE(opened, QList<QUrl>{web});
        QVERIFY(MessageBox::takeShownAlerts().isEmpty());

        // Answered with Cancel, a program opens nothing; the question names it.
        for (const auto& [position, target] : {std::pair{7, tool}, std::pair{9, launcher}}) {
            MessageBox::setNextAnswer(1);
            QTest::mouseDClick(notes->viewport(), Qt::LeftButton, {}, pointOn(notes, position));
            const QList<MessageBox::Alert> alerts = MessageBox::takeShownAlerts();
            QCOMPARE(alerts.size(), 1);
            QVERIFY2(alerts.first().text.contains(target.toLocalFile()),
                     qPrintable(alerts.first().text));
        }
        QCOMPARE(opened.size(), 1);
        MessageBox::setNextAnswer(0);
        QTest::mouseDClick(notes->viewport(), Qt::LeftButton, {}, pointOn(notes, 7));
        QCOMPARE(opened.last(), tool);
        QCOMPARE(card->attributedNotes(), std::optional(before));
        QCOMPARE(undo()->count(), 0);
    }

    void deletingAnAttachment_removesOnlyItsCharacter_andLeavesTheFile()
    {
        const QString pdf = writeFile(QStringLiteral("keep.pdf"), "%PDF-1.4\n%%EOF\n");
        const RichText picture = attachment(QStringLiteral("image/png"), pngBytes(Qt::green));
        const RichText before =
            concat({body(QStringLiteral("Keep ")),
                    link(QUrl::fromLocalFile(pdf), QStringLiteral("keep.pdf")),
                    body(QStringLiteral(" this\n")), picture, body(QStringLiteral("\nend"))});
        NotesTextView* notes = showAndEdit({before});
        QVERIFY(notes);

        QTest::mouseClick(notes->viewport(), Qt::LeftButton, {}, pointOn(notes, 5));
        QTest::keyClick(notes, Qt::Key_Backspace);
        const RichText noLink =
            concat({body(QStringLiteral("Keep  this\n")), picture, body(QStringLiteral("\nend"))});
        QCOMPARE(card->attributedNotes(), std::optional(noLink));
        QVERIFY(QFile::exists(pdf));
        QCOMPARE(storedNotes(), std::optional(noLink));
        QTest::keyClick(notes, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(card->attributedNotes(), std::optional(before));

        QTest::mouseClick(notes->viewport(), Qt::LeftButton, {}, pointOn(notes, 12));
        QTest::keyClick(notes, Qt::Key_Delete);
        const RichText noPicture =
            concat({body(QStringLiteral("Keep ")),
                    link(QUrl::fromLocalFile(pdf), QStringLiteral("keep.pdf")),
                    body(QStringLiteral(" this\n\nend"))});
        QCOMPARE(card->attributedNotes(), std::optional(noPicture));
        QCOMPARE(storedNotes(), std::optional(noPicture));
        QCOMPARE(undoMenuText(), QStringLiteral("Undo Typing"));
    }

    void editMenu_withNoTextSelected_actsOnTheColumnsCards_andValidatesItsItems()
    {
        showBoard({body(QStringLiteral("one")), body(QStringLiteral("two"))});
        list()->columnTableView()->selectCard(card);
        NotesTextView* notes = edit();
        QVERIFY(notes);
        QVERIFY(!notes->textCursor().hasSelection());
        QCOMPARE(validatedCutCopyPaste(), (QList<bool>{true, true, false}));

        QVERIFY(choose("MenuItemCopy"));
        const QMimeData* data = QApplication::clipboard()->mimeData();
        QVERIFY(data && data->hasFormat(QStringLiteral("Kanban.CardData")));
        QVERIFY(!data->hasFormat(NotesTextView::corklineAttributedString()));
        QCOMPARE(validatedCutCopyPaste(), (QList<bool>{true, true, true}));

        // With text selected the items are the text's: Copy takes the text.
        QTest::keyClick(notes, Qt::Key_Home);
        QTest::keyClick(notes, Qt::Key_End, Qt::ShiftModifier);
        QVERIFY(notes->textCursor().hasSelection());
        QVERIFY(choose("MenuItemCopy"));
        data = QApplication::clipboard()->mimeData();
        QVERIFY(data && !data->hasFormat(QStringLiteral("Kanban.CardData")));
        QCOMPARE(data->text(), QStringLiteral("one"));
        QApplication::clipboard()->clear();
        QCOMPARE(validatedCutCopyPaste(), (QList<bool>{true, true, false}));

        // Cards on the clipboard paste into the column, below the selected card.
        QTest::keyClick(notes, Qt::Key_End);
        QVERIFY(choose("MenuItemCopy"));
        QVERIFY(choose("MenuItemPaste"));
        QCOMPARE(texts(), (QStringList{QStringLiteral("one"), QStringLiteral("one"),
                                       QStringLiteral("two")}));
        QCOMPARE(undoMenuText(), QStringLiteral("Undo Paste Card"));
        chooseUndo();
        QCOMPARE(texts(), (QStringList{QStringLiteral("one"), QStringLiteral("two")}));

        // Cut takes the card itself, editor and all, as one step.
        notes = edit();
        QVERIFY(notes);
        list()->columnTableView()->selectCard(card);
        notes->setFocus();
        QTRY_VERIFY(notes->hasFocus());
        QVERIFY(choose("MenuItemCut"));
        QCOMPARE(texts(), QStringList{QStringLiteral("two")});
        QVERIFY(
            QApplication::clipboard()->mimeData()->hasFormat(QStringLiteral("Kanban.CardData")));
        QCOMPARE(undoMenuText(), QStringLiteral("Undo Delete Card"));
        chooseUndo();
        QCOMPARE(texts(), (QStringList{QStringLiteral("one"), QStringLiteral("two")}));
    }

    void richPaste_isOneStepNamedPasteText()
    {
        const RichText before = body(QStringLiteral("Intro\ntail"));
        NotesTextView* notes = showAndEdit({before});
        QVERIFY(notes);
        QTextCursor cursor = notes->textCursor();
        cursor.setPosition(6);
        notes->setTextCursor(cursor);

        RichText::Attributes ticked = NoteStyle::attributes(NoteStyle::Checklist);
        ticked.checklistChecked = true;
        const RichText pasted =
            concat({RichText(QStringLiteral("Sub\n"), NoteStyle::attributes(NoteStyle::Header)),
                    RichText(QStringLiteral("step\n"), ticked)});
        auto* data = new QMimeData;
        data->setData(
            NotesTextView::corklineAttributedString(),
            QCborValue::fromJsonValue(JSONWriter::dictionaryRepresentation(pasted)).toCbor());
        data->setText(QStringLiteral("Sub\nstep\n"));
        QApplication::clipboard()->setMimeData(data);
        QVERIFY(choose("MenuItemPaste"));

        const RichText expected =
            concat({body(QStringLiteral("Intro\n")), pasted, body(QStringLiteral("tail"))});
        QCOMPARE(card->attributedNotes(), std::optional(expected));
        QCOMPARE(undo()->count(), 1);
        QCOMPARE(undoMenuText(), QStringLiteral("Undo Paste Text"));
        QCOMPARE(storedNotes(), std::optional(expected));
        chooseUndo();
        QCOMPARE(card->attributedNotes(), std::optional(before));
        QCOMPARE(notes->richText(), before);
    }

    void linkAndPictureRuns_comeBackExactly_afterImportAnEditBesideThemAndExport()
    {
        const RichText picture = attachment(QStringLiteral("image/png"), pngBytes(Qt::yellow));
        const RichText web =
            link(QUrl(QStringLiteral("https://example.org/a")), QStringLiteral("A"));
        const auto notes = [&](const QString& between) {
            return concat({body(QStringLiteral("Links ")), web, body(between), picture,
                           body(QStringLiteral(" end"))});
        };
        const QJsonObject imported =
            JSONWriter::dictionaryRepresentation(notes(QStringLiteral(" and ")));
        // The runs as the document has them: the link and the picture a run each.
        QCOMPARE(imported.value(QStringLiteral("runs")).toArray().size(), 5);
        const QByteArray document =
            QStringLiteral(R"([{"Kanban":{"title":"Imported board","column":[{"KanbanColumn":)"
                           R"({"title":"C","item":[{"ListItem":{"title":"c","notesExpanded":true,)"
                           R"("attributedNotes":%1}}]}}]}}])")
                .arg(QString::fromUtf8(QJsonDocument(imported).toJson(QJsonDocument::Compact)))
                .toUtf8();
        JSONReader reader(&app->context());
        QString error;
        QVERIFY2(reader.importDocument(document, &error), qPrintable(error));
        QVERIFY(app->delegate().save());
        board = app->context()
                    .fetch<Kanban>([](const Kanban& kanban) {
                        return kanban.title() == QStringLiteral("Imported board");
                    })
                    .value(0);
        QVERIFY(board);
        selectInSidebar(QStringLiteral("Imported board"));
        NotesTextView* editor = edit();
        QVERIFY(editor);
        // Typed right after the link and right before the picture.
        QTextCursor cursor = editor->textCursor();
        cursor.setPosition(7);
        editor->setTextCursor(cursor);
        QTest::keyClicks(editor, QStringLiteral("x"));
        cursor.setPosition(13);
        editor->setTextCursor(cursor);
        QTest::keyClicks(editor, QStringLiteral("y"));

        const std::optional<RichText> stored = storedNotes();
        QVERIFY(stored);
        QCOMPARE(JSONWriter::dictionaryRepresentation(*stored),
                 JSONWriter::dictionaryRepresentation(notes(QStringLiteral("x and y"))));
    }
};

PINWHEELS_GUI_TEST_MAIN(NoteAttachmentsTest)
#include "tst_noteattachments.moc"
