#pragma once

#include "model/NoteFormat.h"
#include "model/RichText.h"

#include <QList>
#include <QPointF>
#include <QRectF>

#include <optional>

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
    // The part of the text from one position to another.
    static RichText richText(const QTextDocument* document, int from, int to);
    // The text with every line ending in a line feed, as the rich text has it.
    static QString plainText(const QTextDocument* document);
    // Gives the characters from `position` on the formats of the runs of `formats`, whose text
    // they already are, and each line they touch the paragraph format of the style at its
    // start; the rest of the document keeps its layout.
    static void applyFormats(QTextDocument* document, int position, const RichText& formats);
    // Gives the document, which holds `shown`, the formats of `wanted`, the same characters
    // otherwise: only the lines whose runs differ are touched.
    static void applyChangedFormats(QTextDocument* document, const RichText& shown,
                                    const RichText& wanted);

    // Sets the layout the card uses: no document margin, the text as wide as `width` less the
    // padding on both sides.
    static void prepare(QTextDocument* document, qreal width);

    // The height of the whole text (at least 30), with the inset above and below.
    static qreal heightRequiredToFitContent(QTextDocument* document);
    // The height the notes take in a card's row, for the painted card and the editor alike: the
    // whole text when expanded or when it is one line; otherwise the first line alone, with the
    // inset and no minimum. `document` holds the whole text, or for a collapsed card perhaps
    // only its first line.
    static qreal rowNotesHeight(QTextDocument* document, bool expanded, bool multiLine);

    // Whether the text has more than one line, whatever its line ends.
    static bool hasMoreLines(const RichText& text);
    // The rich text's first line, the part a collapsed card shows.
    static RichText firstLine(const RichText& text);

    // A line is a checklist line when its own first character (its line feed, for an empty
    // line) carries the checklist state; an empty last line has no character and is none.
    static bool isChecklistBlock(const QTextBlock& block);
    static bool isChecked(const QTextBlock& block);
    // The attributes of the line's first character (for an empty line its line feed); none for
    // the empty last line.
    static std::optional<RichText::Attributes> lineStart(const QTextBlock& block);
    // Gives the whole line, its line feed included, the style (a checklist line unticked).
    static void restyleLine(const QTextBlock& block, NoteStyle::Kind kind);
    // The box of a checklist line, in document coordinates: 18 square, 11 from the card's text
    // edge (which is the note padding left of the document), 2 above the line's first line.
    static constexpr qreal checkBoxLeft = 11.0;
    static constexpr qreal checkBoxSize = 18.0;
    static QRectF checkBoxRect(QTextDocument* document, const QTextBlock& block);
    struct CheckBox
    {
        int line = 0; // the line's number, from 0
        QRectF rect;
        bool checked = false;
        friend bool operator==(const CheckBox&, const CheckBox&) = default;
    };
    // The boxes of the checklist lines, of the first `lineLimit` lines only when not negative.
    static QList<CheckBox> checkBoxes(QTextDocument* document, int lineLimit = -1);
    // The line whose box holds the point, if any.
    static std::optional<int> checkBoxAt(QTextDocument* document, const QPointF& point);
    static void paintCheckBox(QPainter* painter, const CheckBox& box);
    // Draws the boxes of the checklist lines whose box lies above maxY (document coordinates).
    static void paintCheckBoxes(QPainter* painter, QTextDocument* document, qreal maxY);
};
