#pragma once

#include "model/NoteFormat.h"
#include "model/RichText.h"

#include <QPointF>

class QPainter;
class QTextBlock;
class QTextCursor;
class QTextDocument;

// A card's notes as a QTextDocument: the conversion both ways, the heights a card needs for its
// text, and the checklist boxes, which are drawn over the indent of checklist lines and are no
// part of the text.
class NotesDocument final
{
public:
    NotesDocument() = delete;

    // Replaces the document's contents with the text, as withLineFeeds() gives it; loading is
    // never an undoable edit of the document. Each line takes the paragraph format of the style
    // at its start; every run keeps its attributes in custom format properties.
    static void setRichText(QTextDocument* document, const RichText& text);
    // The text as a document holds it: every other line end ("\r\n", "\r", U+2029 and the
    // frame marks) is a line feed. Compare stored notes with a document's text in this form.
    static RichText withLineFeeds(const RichText& text);
    // Inserts the text, as withLineFeeds() gives it, at the cursor: its first line joins the
    // cursor's line, each further line takes the paragraph format of its own style.
    static void insertRichText(QTextCursor& cursor, const RichText& text);
    static RichText richText(const QTextDocument* document);

    // Sets the layout the card uses: no document margin, the text as wide as `width` less the
    // padding on both sides.
    static void prepare(QTextDocument* document, qreal width);

    // The height of the whole text (at least 30) and of the first line alone, each with the
    // inset above and below. A text without a line feed has only the first.
    static qreal heightRequiredToFitContent(QTextDocument* document);
    static qreal heightOfFirstLine(QTextDocument* document);

    // The rich text's first line, the part a collapsed card shows.
    static RichText firstLine(const RichText& text);

    // A line is a checklist line when its own first character (its line feed, for an empty
    // line) carries the checklist state; an empty last line has no character and is none.
    static bool isChecklistBlock(const QTextBlock& block);
    static bool isChecked(const QTextBlock& block);
    // Gives the whole line, its line feed included, the style (a checklist line unticked).
    static void restyleLine(const QTextBlock& block, NoteStyle::Kind kind);
    // The box of a checklist line, in document coordinates.
    static QRectF checkBoxRect(QTextDocument* document, const QTextBlock& block);
    // Draws the boxes of the checklist lines whose box lies above maxY (document coordinates).
    static void paintCheckBoxes(QPainter* painter, QTextDocument* document, qreal maxY);
};
