#include "NotesTextView.h"

#include "AttachmentObject.h"
#include "LinkAttachmentCell.h"
#include "LinkOpener.h"
#include "NotesDocument.h"
#include "PasteInProgress.h"
#include "RichPaste.h"
#include "interchange/ExchangeFormat.h"
#include "interchange/JSONReader.h"
#include "interchange/JSONWriter.h"
#include "model/NoteFormat.h"
#include "store/AppDelegate.h"

#include <QApplication>
#include <QBuffer>
#include <QCborValue>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFile>
#include <QFileInfo>
#include <QFocusEvent>
#include <QImage>
#include <QJsonObject>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QUndoStack>
#include <QtConcurrent/QtConcurrentRun>

namespace {
// Card and column data on the clipboard.
constexpr auto cardDataType = QLatin1StringView("Kanban.CardData");
constexpr auto columnDataType = QLatin1StringView("Kanban.ColumnData");

// "URL\ntitle" pairs; browsers write them in UTF-16.
QHash<QUrl, QString> mozUrlTitles(const QByteArray& data)
{
    const bool utf16 = data.size() >= 2 && data.size() % 2 == 0 &&
                       (data.startsWith("\xff\xfe") || data.at(1) == '\0');
    QString text = utf16 ? QString::fromUtf16(reinterpret_cast<const char16_t*>(data.constData()),
                                              data.size() / 2)
                         : QString::fromUtf8(data);
    text.remove(QChar::ByteOrderMark);
    const QStringList lines = text.split(u'\n');
    QHash<QUrl, QString> titles;
    for (qsizetype i = 0; i + 1 < lines.size(); i += 2) {
        const QString title = lines.at(i + 1).trimmed();
        if (!title.isEmpty())
            titles.insert(QUrl(lines.at(i).trimmed()), title);
    }
    return titles;
}

// The text of each link in HTML, by its URL. On X11 the title of text/x-moz-url does not come
// through (only its URL does), but browsers also give the link as HTML.
QHash<QUrl, QString> htmlLinkTitles(const QString& html)
{
    QHash<QUrl, QString> titles;
    if (html.isEmpty())
        return titles;
    QTextDocument document;
    document.setHtml(html);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QString href = fragment.charFormat().anchorHref();
            if (!href.isEmpty())
                titles[QUrl(href)] += fragment.text();
        }
    }
    for (QString& title : titles)
        title = title.simplified();
    titles.removeIf([](const auto& entry) { return entry.value().isEmpty(); });
    return titles;
}

// The title of a link with none of its own: the last path component, else the URL itself.
QString titleFromUrl(const QUrl& url)
{
    const QString name = url.fileName();
    return name.isEmpty() ? url.toDisplayString() : name;
}

QString htmlOf(const RichText& text)
{
    QString html = QStringLiteral("<html><body><p>");
    for (const RichText::Run& run : text.runs()) {
        const QString part = text.text().mid(run.location, run.length);
        const auto& attachment = run.attributes.attachment;
        if (attachment && attachment->isLink()) {
            const auto link = ExchangeFormat::decodeLink(attachment->contents);
            if (link && link->url)
                html +=
                    QStringLiteral("<a href=\"%1\">%2</a>")
                        .arg(ExchangeFormat::urlText(*link->url).toHtmlEscaped(),
                             link->title.value_or(link->url->toDisplayString()).toHtmlEscaped());
            continue;
        }
        QString escaped = part.toHtmlEscaped();
        escaped.remove(RichText::attachmentCharacter);
        escaped.replace(u'\n', QStringLiteral("</p><p>"));
        const NoteStyle::Kind kind = NoteStyle::kindOf(run.attributes);
        if (kind == NoteStyle::Title || kind == NoteStyle::Header)
            escaped = QStringLiteral("<b>%1</b>").arg(escaped);
        if (run.attributes.strikethrough != 0)
            escaped = QStringLiteral("<s>%1</s>").arg(escaped);
        html += escaped;
    }
    return html + QStringLiteral("</p></body></html>");
}

// What the editor last copied in its own type. Pasting those bytes back needs no decoding,
// which for thousands of lines would take longer than a frame.
struct OwnCopy
{
    QByteArray bytes;
    RichText text;
};

OwnCopy& lastOwnCopy()
{
    static OwnCopy copy;
    return copy;
}

// Pure, so that it may run beside the window.
std::optional<RichText> decodeOwnType(const QByteArray& bytes)
{
    const QCborValue value = QCborValue::fromCbor(bytes);
    if (!value.isMap())
        return std::nullopt;
    return JSONReader::attributedStringFromDict(value.toJsonValue().toObject());
}

// Above this size (some thousand lines) decoding takes longer than a frame.
constexpr qsizetype decodeInBackgroundFrom = 64 * 1024;

// Other programs get each link as its URL; pictures they get from no text.
QString plainTextOf(const RichText& text)
{
    QString plain;
    for (const RichText::Run& run : text.runs()) {
        const auto& attachment = run.attributes.attachment;
        if (attachment && attachment->isLink()) {
            if (const auto link = ExchangeFormat::decodeLink(attachment->contents);
                link && link->url)
                plain += ExchangeFormat::urlText(*link->url);
            continue;
        }
        plain += text.text().mid(run.location, run.length);
    }
    plain.remove(RichText::attachmentCharacter);
    return plain;
}
} // namespace

NotesTextView::NotesTextView(QWidget* parent)
    : QTextEdit(parent)
{
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabChangesFocus(true);
    setAcceptRichText(false);
    setLineWrapMode(QTextEdit::WidgetWidth);
    const int padding = int(NoteFormat::notePadding);
    const int inset = int(NoteFormat::verticalInset);
    setViewportMargins(padding, inset, padding, inset);
    document()->setDocumentMargin(0);
    document()->setUndoRedoEnabled(false);
    viewport()->setAutoFillBackground(false);
    setAutoFillBackground(false);
    setStyleSheet(QStringLiteral("NotesTextView { background: transparent; }"));
    setCurrentCharFormat(NoteFormat::charFormat(NoteStyle::attributes(NoteStyle::Body)));
    viewport()->setMouseTracking(true);
    AttachmentObject::install(document());
    connect(document(), &QTextDocument::contentsChanged, this,
            &NotesTextView::addAndRemoveChecklistButtons);
    connect(this, &QTextEdit::currentCharFormatChanged, this,
            &NotesTextView::dropAttachmentFromTypingFormat);
    connect(this, &QTextEdit::cursorPositionChanged, this,
            &NotesTextView::dropAttachmentFromTypingFormat);
    m_pasteTimer.setSingleShot(true);
    connect(&m_pasteTimer, &QTimer::timeout, this, &NotesTextView::continuePaste);
    connect(&m_decoding, &QFutureWatcherBase::finished, this, &NotesTextView::pasteDecoded);
}

NotesTextView::~NotesTextView() = default;

bool NotesTextView::event(QEvent* event)
{
    // Keys, and the editor losing the keyboard or going out of sight, find a paste complete.
    switch (event->type()) {
    case QEvent::ShortcutOverride:
    case QEvent::KeyPress:
    case QEvent::InputMethod:
    case QEvent::FocusOut:
    case QEvent::Hide:
        finishPaste();
        break;
    default:
        break;
    }
    return QTextEdit::event(event);
}

bool NotesTextView::viewportEvent(QEvent* event)
{
    // So do clicks and drags into the text.
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::DragEnter:
        finishPaste();
        break;
    default:
        break;
    }
    return QTextEdit::viewportEvent(event);
}

void NotesTextView::dropAttachmentFromTypingFormat()
{
    // With a selection, setting the typing format would restyle the selected characters.
    if (textCursor().hasSelection() || !NoteFormat::hasAttachment(currentCharFormat()))
        return;
    setCurrentCharFormat(NoteFormat::withoutAttachment(currentCharFormat()));
}

void NotesTextView::setRichText(const RichText& text)
{
    // Loading replaces what the editor holds, a paste still going in with it.
    if (m_paste || m_awaitingDecoding) {
        m_pasteTimer.stop();
        m_paste.reset();
        m_awaitingDecoding = false;
        m_runningCommand = false;
    }
    NotesDocument::setRichText(document(), text);
    document()->setDocumentMargin(0);
    if (!text.isEmpty())
        return;
    if (m_isFirstResponder)
        startWithTitle();
    else
        setCurrentCharFormat(NoteFormat::charFormat(NoteStyle::attributes(NoteStyle::Body)));
}

void NotesTextView::startWithTitle()
{
    const auto title = NoteStyle::attributes(NoteStyle::Title);
    QTextCursor cursor(document());
    cursor.setBlockFormat(NoteFormat::blockFormat(title));
    cursor.setBlockCharFormat(NoteFormat::charFormat(title));
    setCurrentCharFormat(NoteFormat::charFormat(title));
}

RichText NotesTextView::richText() const
{
    return NotesDocument::richText(document());
}

qreal NotesTextView::heightRequiredToFitContent() const
{
    return NotesDocument::heightRequiredToFitContent(document());
}

qreal NotesTextView::heightRequiredForFirstLineOfText() const
{
    return NotesDocument::rowNotesHeight(document(), false, document()->blockCount() > 1);
}

QMimeData* NotesTextView::createMimeDataFromSelection() const
{
    const QTextCursor cursor = textCursor();
    const RichText selected =
        NotesDocument::richText(document(), cursor.selectionStart(), cursor.selectionEnd());
    auto* data = new QMimeData;
    // The own type keeps what the styles mean; plain text and HTML are for other programs.
    const QByteArray own =
        QCborValue::fromJsonValue(JSONWriter::dictionaryRepresentation(selected)).toCbor();
    data->setData(corklineAttributedString(), own);
    lastOwnCopy() = {own, selected};
    data->setText(plainTextOf(selected));
    data->setHtml(htmlOf(selected));
    return data;
}

bool NotesTextView::canInsertFromMimeData(const QMimeData* source) const
{
    return source->hasFormat(corklineAttributedString()) || source->hasUrls() ||
           source->hasFormat(mozUrlType()) || source->hasImage() ||
           QTextEdit::canInsertFromMimeData(source);
}

void NotesTextView::insertFromMimeData(const QMimeData* source)
{
    if (source->hasFormat(corklineAttributedString())) {
        const QByteArray bytes = source->data(corklineAttributedString());
        if (!bytes.isEmpty() && bytes == lastOwnCopy().bytes)
            return pasteAttrText(lastOwnCopy().text);
        if (bytes.size() >= decodeInBackgroundFrom)
            return decodeInBackground(bytes, source->text());
        if (const auto text = decodeOwnType(bytes))
            return pasteAttrText(*text);
        // A payload that does not decode is read as what else the data holds.
    }
    if (insertAttachments(source))
        return;
    // Anything else arrives as plain text in the style being typed.
    if (source->hasText())
        pastePlainText(source->text());
}

bool NotesTextView::insertAttachments(const QMimeData* source)
{
    if (!source->hasImage() && !source->hasUrls() && !source->hasFormat(mozUrlType()))
        return false;
    // A step of its own: neither the typing before it nor the typing after it joins it.
    bool inserted = false;
    runCommand(QCoreApplication::translate("ListItemCellView", "Typing"),
               [&] { inserted = insertImage(source) || insertUrls(source); });
    return inserted;
}

bool NotesTextView::insertUrls(const QMimeData* source)
{
    QList<QUrl> urls = source->urls();
    QHash<QUrl, QString> titles = mozUrlTitles(source->data(mozUrlType()));
    if (titles.isEmpty() && source->hasHtml())
        titles = htmlLinkTitles(source->html());
    if (urls.isEmpty()) {
        for (auto it = titles.cbegin(); it != titles.cend(); ++it)
            urls.append(it.key());
    }
    urls.removeIf([](const QUrl& url) { return !url.isValid() || url.scheme().isEmpty(); });
    if (urls.isEmpty())
        return false;
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    for (const QUrl& url : std::as_const(urls)) {
        if (url.isLocalFile() && LinkAttachmentCell::isPictureFile(url.toLocalFile())) {
            QFile file(url.toLocalFile());
            const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
            // A file named as a picture that is none goes in as a link to it.
            if (const auto type = ExchangeFormat::imageType(bytes)) {
                addPictureAttachment(bytes, *type);
                continue;
            }
        }
        const QString title = titles.value(url);
        addURLAttachmentWithTitle(title.isEmpty() ? titleFromUrl(url) : title,
                                  QStringLiteral("body"), url);
    }
    cursor.endEditBlock();
    return true;
}

bool NotesTextView::insertImage(const QMimeData* source)
{
    if (!source->hasImage())
        return false;
    // The bytes as the other program gave them, else the picture as PNG.
    for (const QString& format : source->formats()) {
        if (!format.startsWith(u"image/"))
            continue;
        const QByteArray bytes = source->data(format);
        if (const auto type = ExchangeFormat::imageType(bytes)) {
            addPictureAttachment(bytes, *type);
            return true;
        }
    }
    const QImage image = qvariant_cast<QImage>(source->imageData());
    if (image.isNull())
        return false;
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return false;
    addPictureAttachment(png, QStringLiteral("image/png"));
    return true;
}

void NotesTextView::addURLAttachmentWithTitle(const QString& title, const QString& body,
                                              const QUrl& url)
{
    ExchangeFormat::Link link;
    link.url = url.isLocalFile()
                   ? QUrl::fromLocalFile(QFileInfo(url.toLocalFile()).absoluteFilePath())
                   : url;
    link.title = title;
    link.body = body;
    insertAttachment({RichText::Attachment::linkFileType(), ExchangeFormat::encodeLink(link)});
}

void NotesTextView::addPictureAttachment(const QByteArray& bytes, const QString& mimeType)
{
    insertAttachment({mimeType, bytes});
}

void NotesTextView::insertAttachment(const RichText::Attachment& attachment)
{
    // The attachment stands in the style of the line it joins.
    RichText::Attributes attributes = NoteFormat::attributes(currentCharFormat());
    attributes.attachment = attachment;
    QTextCursor cursor = textCursor();
    cursor.insertText(QString(RichText::attachmentCharacter), NoteFormat::charFormat(attributes));
    setTextCursor(cursor);
    dropAttachmentFromTypingFormat();
}

void NotesTextView::pasteAttrText(const RichText& pasted)
{
    finishPaste();
    const QTextCursor cursor = textCursor();
    const int from = cursor.selectionStart();
    const int to = cursor.selectionEnd();
    const int end = document()->characterCount() - 1;
    const auto neighbour = [this](int position) -> std::optional<RichText::Attributes> {
        const RichText character = NotesDocument::richText(document(), position, position + 1);
        if (character.text() == u"\n")
            return std::nullopt;
        return character.attributesAt(0);
    };
    startPaste(RichPaste::adjusted(NotesDocument::withLineFeeds(pasted),
                                   from > 0 ? neighbour(from - 1) : std::nullopt,
                                   to < end ? neighbour(to) : std::nullopt));
}

void NotesTextView::pastePlainText(const QString& text)
{
    finishPaste();
    RichText::Attributes typing = NoteFormat::attributes(currentCharFormat());
    typing.attachment.reset();
    startPaste(NotesDocument::withLineFeeds(RichText(text, typing)));
}

void NotesTextView::startPaste(const RichText& text)
{
    m_paste = std::make_unique<PasteInProgress>(textCursor(), text);
    m_runningCommand = true;
    continuePaste();
}

void NotesTextView::continuePaste()
{
    // About a frame's work in each event, so that the window keeps drawing and responding.
    // The caret moves once, when all is in: following every piece would scroll the card each
    // time.
    if (m_paste->insertUntil(QDeadlineTimer(16)))
        endPaste();
    else
        m_pasteTimer.start();
}

void NotesTextView::decodeInBackground(const QByteArray& bytes, const QString& plainText)
{
    finishPaste();
    m_awaitingDecoding = true;
    m_runningCommand = true;
    m_plainTextOfDecoding = plainText;
    m_decoding.setFuture(QtConcurrent::run(decodeOwnType, bytes));
}

void NotesTextView::pasteDecoded()
{
    if (!m_awaitingDecoding)
        return;
    m_awaitingDecoding = false;
    m_runningCommand = false;
    // What does not decode goes in as the plain text that came with it.
    if (const std::optional<RichText> text = m_decoding.result())
        pasteAttrText(*text);
    else
        pastePlainText(m_plainTextOfDecoding);
}

void NotesTextView::finishPaste()
{
    if (m_awaitingDecoding) {
        m_decoding.waitForFinished();
        pasteDecoded();
    }
    if (!m_paste)
        return;
    m_pasteTimer.stop();
    m_paste->insertUntil(QDeadlineTimer(QDeadlineTimer::Forever));
    endPaste();
}

void NotesTextView::endPaste()
{
    setTextCursor(m_paste->cursor());
    m_paste.reset();
    addAndRemoveChecklistButtons();
    m_runningCommand = false;
    Q_EMIT commandFinished(tr("Paste Text"));
}

bool NotesTextView::clipboardHasCards() const
{
    const QMimeData* data = QApplication::clipboard()->mimeData();
    return m_cards && data &&
           (data->hasFormat(QString(cardDataType)) || data->hasFormat(QString(columnDataType)));
}

bool NotesTextView::handlesEditAction(EditAction) const
{
    return true;
}

bool NotesTextView::canPerformEditAction(EditAction action) const
{
    switch (action) {
    case EditAction::Cut:
    case EditAction::Copy:
        return true; // with no text selected they act on the column's cards
    case EditAction::Paste:
        return clipboardHasCards() || (!isReadOnly() && canPaste());
    case EditAction::Delete:
        return !isReadOnly() && textCursor().hasSelection();
    case EditAction::SelectAll:
        return true;
    }
    return false;
}

void NotesTextView::performEditAction(EditAction action)
{
    finishPaste();
    const bool noText = !textCursor().hasSelection();
    switch (action) {
    case EditAction::Cut:
    case EditAction::Copy:
        if (noText && m_cards) {
            if (m_cards->canPerformEditAction(action))
                m_cards->performEditAction(action);
            return;
        }
        return action == EditAction::Cut ? cut() : copy();
    case EditAction::Paste:
        if (clipboardHasCards()) {
            m_cards->performEditAction(action);
            return;
        }
        return paste();
    case EditAction::Delete:
        return textCursor().removeSelectedText();
    case EditAction::SelectAll:
        return selectAll();
    }
}

void NotesTextView::focusInEvent(QFocusEvent* event)
{
    QTextEdit::focusInEvent(event);
    m_isFirstResponder = true;
    // The first line typed into an empty card is its heading.
    if (document()->isEmpty())
        startWithTitle();
    Q_EMIT editingStarted();
}

void NotesTextView::focusOutEvent(QFocusEvent* event)
{
    QTextEdit::focusOutEvent(event);
    // A popup (completion, context menu) takes the keyboard only for a moment.
    if (event->reason() == Qt::PopupFocusReason)
        return;
    m_isFirstResponder = false;
    Q_EMIT editingEnded();
}

void NotesTextView::keyPressEvent(QKeyEvent* event)
{
    const bool undo = event->matches(QKeySequence::Undo);
    if (undo || event->matches(QKeySequence::Redo)) {
        if (QUndoStack* stack = AppDelegate::sharedUndoStack())
            undo ? stack->undo() : stack->redo();
        event->accept();
        return;
    }
    for (const auto& [key, action] : {std::pair{QKeySequence::Cut, EditAction::Cut},
                                      std::pair{QKeySequence::Copy, EditAction::Copy},
                                      std::pair{QKeySequence::Paste, EditAction::Paste}}) {
        if (event->matches(key)) {
            if (canPerformEditAction(action))
                performEditAction(action);
            event->accept();
            return;
        }
    }
    // Typing over a selection that starts after an attachment takes the attachment's format.
    if (!event->text().isEmpty() && event->text().at(0).isPrint() && textCursor().hasSelection()) {
        textCursor().removeSelectedText();
        dropAttachmentFromTypingFormat();
    }
    // Shift+Return would put a line separator into the text, outside the line rules.
    if (event->matches(QKeySequence::InsertParagraphSeparator) ||
        event->matches(QKeySequence::InsertLineSeparator)) {
        insertNewline();
        event->accept();
        return;
    }
    if (!event->text().isEmpty())
        dropAttachmentFromTypingFormat();
    QTextEdit::keyPressEvent(event);
}

void NotesTextView::insertNewline()
{
    QTextCursor cursor = textCursor();
    const QTextCharFormat typing = currentCharFormat();
    const QTextBlock line = cursor.block();
    const bool inChecklist =
        typing.hasProperty(NoteFormat::checklistProperty) || NotesDocument::isChecklistBlock(line);
    const auto body = NoteStyle::attributes(NoteStyle::Body);
    cursor.beginEditBlock();
    if (inChecklist && line.text().isEmpty()) {
        // An empty checklist line leaves the checklist.
        NotesDocument::restyleLine(line, NoteStyle::Body);
        setCurrentCharFormat(NoteFormat::charFormat(body));
    } else if (inChecklist) {
        const auto checklist = NoteStyle::attributes(NoteStyle::Checklist);
        // At the very end the new line gets a line feed of its own to carry its box.
        const int caret = cursor.position();
        if (caret == document()->characterCount() - 1) {
            cursor.insertBlock(NoteFormat::blockFormat(checklist),
                               NoteFormat::charFormat(checklist));
            cursor.setPosition(caret);
        }
        // The line feed belongs to the line it ends; the new line starts unticked.
        cursor.insertBlock(NoteFormat::blockFormat(checklist), typing);
        NotesDocument::restyleLine(cursor.block(), NoteStyle::Checklist);
        setTextCursor(cursor);
        setCurrentCharFormat(NoteFormat::charFormat(checklist));
    } else if (typing.hasProperty(NoteFormat::styleNameProperty) &&
               typing.stringProperty(NoteFormat::styleNameProperty) !=
                   NoteStyle::styleName(NoteStyle::Body)) {
        // A heading is followed by body text.
        cursor.insertBlock(NoteFormat::blockFormat(body), typing);
        setTextCursor(cursor);
        setCurrentCharFormat(NoteFormat::charFormat(body));
    } else {
        cursor.insertBlock(cursor.blockFormat(), typing);
        setTextCursor(cursor);
    }
    cursor.endEditBlock();
}

QMenu* NotesTextView::createCardMenu()
{
    auto* menu = new QMenu(this);
    if (m_cardMenuItems) {
        m_cardMenuItems(menu);
        if (!menu->isEmpty())
            menu->addSeparator();
    }
    QAction* checklist =
        menu->addAction(tr("Make Checklist"), this, &NotesTextView::formatSelectionAsChecklist);
    checklist->setObjectName(QStringLiteral("makeChecklist"));
    checklist->setEnabled(m_isFirstResponder);
    MenuItemState::apply(checklist, menuState(NoteStyle::Checklist));
    menu->addSeparator();
    if (QUndoStack* stack = AppDelegate::sharedUndoStack()) {
        QAction* undo = stack->createUndoAction(menu);
        undo->setShortcut(QKeySequence::Undo);
        menu->addAction(undo);
        QAction* redo = stack->createRedoAction(menu);
        redo->setShortcut(QKeySequence::Redo);
        menu->addAction(redo);
        menu->addSeparator();
    }
    const auto add = [this, menu](const QString& text, QKeySequence::StandardKey key,
                                  EditAction command, const QString& name) {
        QAction* action =
            menu->addAction(text, this, [this, command] { performEditAction(command); });
        action->setShortcut(key);
        action->setEnabled(canPerformEditAction(command));
        action->setObjectName(name);
    };
    add(tr("Cu&t"), QKeySequence::Cut, EditAction::Cut, QStringLiteral("MenuItemCut"));
    add(tr("&Copy"), QKeySequence::Copy, EditAction::Copy, QStringLiteral("MenuItemCopy"));
    add(tr("&Paste"), QKeySequence::Paste, EditAction::Paste, QStringLiteral("MenuItemPaste"));
    add(tr("Select &All"), QKeySequence::SelectAll, EditAction::SelectAll, QString());
    menu->actions().constLast()->setEnabled(!document()->isEmpty());
    return menu;
}

void NotesTextView::contextMenuEvent(QContextMenuEvent* event)
{
    // Delete Card may take the editor, and the menu with it, while the menu runs.
    const QPointer<QMenu> menu(createCardMenu());
    menu->exec(event->globalPos());
    delete menu.data();
}

template <class Change>
void NotesTextView::runCommand(const QString& actionName, Change change)
{
    finishPaste();
    if (m_runningCommand) {
        change();
        return;
    }
    m_runningCommand = true;
    change();
    m_runningCommand = false;
    Q_EMIT commandFinished(actionName);
}

QList<NoteLines::Range> NotesTextView::getLinesInSelection() const
{
    const QTextCursor cursor = textCursor();
    return NoteLines::linesInSelection(
        NotesDocument::plainText(document()),
        {{cursor.selectionStart(), cursor.selectionEnd() - cursor.selectionStart()}});
}

bool NotesTextView::cursorIsAtEndOfBlankLine() const
{
    const QTextBlock last = document()->lastBlock();
    return textCursor().selectionStart() == document()->characterCount() - 1 && last.length() == 1;
}

bool NotesTextView::addExtralineIfCursorAtEnd()
{
    const int end = document()->characterCount() - 1;
    if (end == 0 || !cursorIsAtEndOfBlankLine())
        return false;
    runCommand(tr("Style Change"), [&] {
        QTextCursor cursor(document());
        cursor.movePosition(QTextCursor::End);
        const RichText::Attributes none;
        cursor.insertBlock(NoteFormat::blockFormat(none), NoteFormat::charFormat(none));
        // The caret stays where it was, at the start of the line that is now a real one.
        cursor.setPosition(end);
        setTextCursor(cursor);
    });
    return true;
}

void NotesTextView::formatSelectionAsChecklist()
{
    runCommand(tr("Style Change"), [this] {
        // The empty last line shows no box, whatever is being typed there: it becomes a real
        // line, which then shows one.
        addExtralineIfCursorAtEnd();
        formatWithLines(getLinesInSelection(), NoteStyle::Checklist);
    });
}

void NotesTextView::formatWithLines(const QList<NoteLines::Range>& lines, NoteStyle::Kind kind)
{
    if (lines.isEmpty())
        return;
    runCommand(tr("Style Change"), [&] {
        if (cursorIsAtEndOfBlankLine()) {
            // No character to restyle: the style is the one typed next.
            const bool off = kind == NoteStyle::Checklist &&
                             currentCharFormat().hasProperty(NoteFormat::checklistProperty) &&
                             !currentCharFormat().hasProperty(NoteFormat::styleNameProperty);
            setTypingStyle(off ? NoteStyle::Body : kind);
            return;
        }
        const QTextCursor remembered = textCursor();
        const qsizetype start = lines.first().location;
        RichText span = NotesDocument::richText(document(), int(start), int(lines.last().end()));
        QList<NoteLines::Range> inSpan;
        for (const NoteLines::Range& line : lines)
            inSpan.append({line.location - start, line.length});
        const bool switchedOff = NoteStyle::formatWithLines(span, inSpan, kind);
        NotesDocument::applyFormats(document(), int(start), span);
        setTextCursor(remembered);
        setTypingStyle(switchedOff ? NoteStyle::Body : kind);
        addAndRemoveChecklistButtons();
    });
}

void NotesTextView::setTypingStyle(NoteStyle::Kind kind)
{
    RichText::Attributes typing =
        NoteStyle::restyled(NoteFormat::attributes(currentCharFormat()), kind);
    typing.attachment.reset();
    QTextCursor cursor = textCursor();
    // With a selection the restyled characters themselves give what replaces them.
    if (!cursor.hasSelection())
        setCurrentCharFormat(NoteFormat::charFormat(typing));
    if (cursorIsAtEndOfBlankLine()) {
        cursor.setBlockFormat(NoteFormat::blockFormat(typing));
        // The first line's own character format is no line feed of another line.
        if (cursor.block() == document()->begin())
            cursor.setBlockCharFormat(NoteFormat::charFormat(typing));
    }
}

QSet<NoteStyle::Kind> NotesTextView::kindsInSelection() const
{
    // The lines of getLinesInSelection(), read from the document's lines without copying text.
    const QTextCursor cursor = textCursor();
    QSet<NoteStyle::Kind> kinds;
    for (QTextBlock block = document()->findBlock(cursor.selectionStart()); block.isValid();
         block = block.next()) {
        // The empty last line counts with the style being typed.
        kinds.insert(NoteStyle::kindOf(
            NotesDocument::lineStart(block).value_or(NoteFormat::attributes(currentCharFormat()))));
        if (!block.next().isValid() || block.next().position() >= cursor.selectionEnd())
            break;
    }
    return kinds;
}

MenuItemState::State NotesTextView::menuState(const QSet<NoteStyle::Kind>& kinds,
                                              NoteStyle::Kind kind)
{
    if (!kinds.contains(kind))
        return MenuItemState::Off;
    return kinds.size() == 1 ? MenuItemState::On : MenuItemState::Mixed;
}

void NotesTextView::setNotesExpanded(bool expanded)
{
    if (expanded == m_notesExpanded)
        return;
    m_notesExpanded = expanded;
    addAndRemoveChecklistButtons();
}

void NotesTextView::addAndRemoveChecklistButtons()
{
    // The boxes are placed once a paste is all in.
    if (m_paste)
        return;
    m_checkButtons = NotesDocument::checkBoxes(document(), m_notesExpanded ? -1 : 1);
    viewport()->update();
}

void NotesTextView::checkUncheckLine(int line)
{
    runCommand(tr("Toggle Checklist"), [&] {
        const QTextBlock block = document()->findBlockByNumber(line);
        if (!block.isValid())
            return;
        const int from = block.position();
        const int to = block.next().isValid() ? block.next().position() : from + block.length() - 1;
        RichText text = NotesDocument::richText(document(), from, to);
        const std::optional<bool> checked = NoteStyle::checkUncheckLine(text, 0);
        if (!checked)
            return;
        NotesDocument::applyFormats(document(), from, text);
        if (const QTextCursor cursor = textCursor();
            cursor.block() == block && !cursor.hasSelection()) {
            QTextCharFormat typing = currentCharFormat();
            typing.setProperty(NoteFormat::checklistProperty, *checked);
            setCurrentCharFormat(typing);
        }
        addAndRemoveChecklistButtons();
    });
}

QPointF NotesTextView::documentPosition(const QPoint& viewportPosition) const
{
    return QPointF(viewportPosition) +
           QPointF(horizontalScrollBar()->value(), verticalScrollBar()->value());
}

std::optional<int> NotesTextView::checkButtonAt(const QPoint& viewportPosition) const
{
    const QPointF point = documentPosition(viewportPosition);
    for (const NotesDocument::CheckBox& box : m_checkButtons) {
        if (box.rect.contains(point))
            return box.line;
    }
    return std::nullopt;
}

std::optional<int> NotesTextView::attachmentAt(const QPoint& viewportPosition) const
{
    return AttachmentObject::attachmentAt(document(), documentPosition(viewportPosition));
}

void NotesTextView::selectAttachment(int position)
{
    QTextCursor cursor = textCursor();
    cursor.setPosition(position);
    cursor.setPosition(position + 1, QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

void NotesTextView::placeCaretAt(const QPoint& viewportPosition)
{
    if (const std::optional<int> attachment = attachmentAt(viewportPosition))
        selectAttachment(*attachment);
    else
        setTextCursor(cursorForPosition(viewportPosition));
}

void NotesTextView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        const QPoint point = event->position().toPoint();
        if (const std::optional<int> line = checkButtonAt(point)) {
            checkUncheckLine(*line);
            event->accept();
            return;
        }
        // A click on an attachment selects exactly that character.
        if (const std::optional<int> attachment = attachmentAt(point)) {
            selectAttachment(*attachment);
            event->accept();
            return;
        }
    }
    QTextEdit::mousePressEvent(event);
}

void NotesTextView::mouseDoubleClickEvent(QMouseEvent* event)
{
    const std::optional<int> attachment = event->button() == Qt::LeftButton
                                              ? attachmentAt(event->position().toPoint())
                                              : std::nullopt;
    if (!attachment) {
        QTextEdit::mouseDoubleClickEvent(event);
        return;
    }
    selectAttachment(*attachment);
    event->accept();
    const RichText character = NotesDocument::richText(document(), *attachment, *attachment + 1);
    const auto& contents = character.attributesAt(0).attachment;
    if (!contents || !contents->isLink())
        return;
    // Contents that do not decode, or a link without URL, open nothing.
    if (const auto link = ExchangeFormat::decodeLink(contents->contents); link && link->url)
        LinkOpener::open(this, *link->url);
}

void NotesTextView::mouseMoveEvent(QMouseEvent* event)
{
    QTextEdit::mouseMoveEvent(event);
    const bool overBox = checkButtonAt(event->position().toPoint()).has_value();
    viewport()->setCursor(overBox ? Qt::ArrowCursor : Qt::IBeamCursor);
}

void NotesTextView::paintEvent(QPaintEvent* event)
{
    QTextEdit::paintEvent(event);
    QPainter painter(viewport());
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
    const QRectF exposed = QRectF(event->rect()).translated(documentPosition(QPoint()));
    for (const NotesDocument::CheckBox& box : std::as_const(m_checkButtons)) {
        if (box.rect.intersects(exposed))
            NotesDocument::paintCheckBox(&painter, box);
    }
}

void NotesTextView::resizeEvent(QResizeEvent* event)
{
    QTextEdit::resizeEvent(event);
    // A collapsed card shows its first line: keep the text at its top.
    verticalScrollBar()->setValue(0);
    addAndRemoveChecklistButtons();
}
