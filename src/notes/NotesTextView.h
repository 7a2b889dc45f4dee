#pragma once

#include "NotesDocument.h"
#include "model/NoteLines.h"
#include "model/NoteStyle.h"
#include "model/RichText.h"
#include "widgets/EditResponder.h"
#include "widgets/MenuItemState.h"

#include <QFutureWatcher>
#include <QSet>
#include <QTextEdit>
#include <QTimer>

#include <functional>
#include <memory>

class PasteInProgress;
class QMenu;
class QUrl;

// The editor of a card's notes: rich text in the note styles, checklist boxes drawn over the
// indent of checklist lines, the first line of an empty text typed as a title, and Return after
// a heading continuing in body text. It lays out its text exactly as the painted card does.
// It keeps no undo history: its document's is off, and Undo and Redo (keys and text menu) are
// the window's. Its own commands (the styles, ticking a box) tell their name when done, so that
// the card stores them as one step of that name rather than as typing.
//
// Cut, Copy and Paste come to it as an EditResponder: with no text selected in a board card
// they act on the column's selected cards, and card or column data pastes into the column.
class NotesTextView final : public QTextEdit, public EditResponder
{
    Q_OBJECT

public:
    explicit NotesTextView(QWidget* parent = nullptr);
    ~NotesTextView() override;

    // The editor's own clipboard type: a CBOR map of the rich-text object of the exchange
    // document, so that styles and ticks survive copying between cards.
    static QString corklineAttributedString() { return QStringLiteral("corklineAttributedString"); }

    // The text/x-moz-url type browsers give a dragged or copied link: "URL\ntitle" pairs.
    static QString mozUrlType() { return QStringLiteral("text/x-moz-url"); }

    void setRichText(const RichText& text);
    RichText richText() const;

    // Whether the editor is being edited (has the keyboard).
    bool isEditing() const { return m_isFirstResponder; }

    // Heights of the text as laid out now, with the inset above and below: the whole text (at
    // least 30), and the first line alone (the same when there is only one line).
    qreal heightRequiredToFitContent() const;
    qreal heightRequiredForFirstLineOfText() const;

    // A line ending at the caret (Return, also with Shift) starts a new body line after a
    // title or header, and a new unticked checklist line in a checklist line; Return on an
    // empty checklist line turns it into body text instead.
    void insertNewline();

    // The style commands act on the lines of the selection. The checklist toggles: plain lines
    // become unticked checklist lines, checklist lines body. On the empty last line only the
    // style being typed changes.
    void formatSelectionAsTitle() { formatWithLines(getLinesInSelection(), NoteStyle::Title); }
    void formatSelectionAsHeader() { formatWithLines(getLinesInSelection(), NoteStyle::Header); }
    void formatSelectionAsBody() { formatWithLines(getLinesInSelection(), NoteStyle::Body); }
    void formatSelectionAsChecklist();
    void formatWithLines(const QList<NoteLines::Range>& lines, NoteStyle::Kind kind);
    QList<NoteLines::Range> getLinesInSelection() const;
    // With the caret after a final line feed, adds a line feed so that the caret's line is a
    // real line that can take a style. Returns whether it did.
    bool addExtralineIfCursorAtEnd();
    // The caret is at the end, and the text is empty or ends with a line feed.
    bool cursorIsAtEndOfBlankLine() const;
    // Whether the style starts all, some or none of the lines of the selection (the empty last
    // line counts with the style being typed).
    MenuItemState::State menuState(NoteStyle::Kind kind) const
    {
        return menuState(kindsInSelection(), kind);
    }
    static MenuItemState::State menuState(const QSet<NoteStyle::Kind>& kinds, NoteStyle::Kind kind);
    // The styles that start the lines of the selection.
    QSet<NoteStyle::Kind> kindsInSelection() const;

    // A collapsed card shows only its first line, and only that line's box is kept.
    void setNotesExpanded(bool expanded);
    void addAndRemoveChecklistButtons();
    const QList<NotesDocument::CheckBox>& checkButtons() const { return m_checkButtons; }
    // Ticks or unticks checklist line `line` as a whole; a number that names no checklist line
    // does nothing.
    void checkUncheckLine(int line);

    // Inserts a link attachment in place of the selection, as typed text. A file URL is kept in
    // its absolute form.
    void addURLAttachmentWithTitle(const QString& title, const QString& body, const QUrl& url);
    // Inserts the picture bytes (of the MIME type) in place of the selection, as typed text.
    void addPictureAttachment(const QByteArray& bytes, const QString& mimeType);
    // Replace the selection with pasted rich text by the rich-paste rule, or with plain text in
    // the style being typed, as one "Paste Text" step. A long paste goes in over several events
    // (see PasteInProgress), after decoding beside the window when it is large; any input, or
    // the editor losing the keyboard, completes it first.
    void pasteAttrText(const RichText& pasted);
    void pastePlainText(const QString& text);
    // Completes a paste still going in at once.
    void finishPaste();
    // Puts the caret where the point (viewport coordinates) is; on an attachment, selects it.
    void placeCaretAt(const QPoint& viewportPosition);
    // The table whose selected cards Cut, Copy and Paste act on when no text is selected: a
    // board column's (none in a list).
    void setCardEditResponder(EditResponder* cards) { m_cards = cards; }

    bool handlesEditAction(EditAction action) const override;
    bool canPerformEditAction(EditAction action) const override;
    void performEditAction(EditAction action) override;

    // While a command of the editor changes the text (the card does not take it as typing).
    bool isRunningCommand() const { return m_runningCommand; }

    // The card's own items at the top of the context menu (add, delete).
    void setCardMenuItems(std::function<void(QMenu*)> addItems) { m_cardMenuItems = addItems; }
    // The card menu: the card's items, Make Checklist and the text commands. The caller owns
    // it.
    QMenu* createCardMenu();

Q_SIGNALS:
    void editingStarted();
    void editingEnded();
    // A command changed the text: the card stores it as one step of this name.
    void commandFinished(const QString& actionName);

protected:
    QMimeData* createMimeDataFromSelection() const override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    bool event(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // The empty text's line takes the title style, so that every caret in it types a title.
    void startWithTitle();
    // Sets the style being typed, and the paragraph format of the caret's line when that is the
    // empty last line (a line with no character to carry its style).
    void setTypingStyle(NoteStyle::Kind kind);
    QPointF documentPosition(const QPoint& viewportPosition) const;
    std::optional<int> attachmentAt(const QPoint& viewportPosition) const;
    void selectAttachment(int position);
    // Text typed beside an attachment must not take it along.
    void dropAttachmentFromTypingFormat();
    void insertAttachment(const RichText::Attachment& attachment);
    // A paste or drop of links, files or a picture, as one step; false when the data holds none.
    bool insertAttachments(const QMimeData* source);
    bool insertUrls(const QMimeData* source);
    bool insertImage(const QMimeData* source);
    bool clipboardHasCards() const;
    // The editor's own type from elsewhere, when large, is decoded beside the window.
    void decodeInBackground(const QByteArray& bytes, const QString& plainText);
    void pasteDecoded();
    void startPaste(const RichText& text);
    void continuePaste();
    void endPaste();
    std::optional<int> checkButtonAt(const QPoint& viewportPosition) const;
    // Runs a change as one command of the editor, or as part of the one running.
    template <class Change>
    void runCommand(const QString& actionName, Change change);

    bool m_isFirstResponder = false;
    bool m_notesExpanded = true;
    bool m_runningCommand = false;
    QList<NotesDocument::CheckBox> m_checkButtons;
    std::function<void(QMenu*)> m_cardMenuItems;
    EditResponder* m_cards = nullptr;
    std::unique_ptr<PasteInProgress> m_paste;
    QTimer m_pasteTimer;
    QFutureWatcher<std::optional<RichText>> m_decoding;
    bool m_awaitingDecoding = false;
    QString m_plainTextOfDecoding;
};
