#pragma once

#include "NoteLines.h"
#include "RichText.h"

#include <optional>

// The note styles of a card's text (title, header, body, and the checklist line) as the rich
// text keeps them: the style name and the checklist state of each run. Fonts, colours and
// spacing follow from these (NoteFormat). Needs no widgets and no application object, so the
// data upgrades and the command-line tool use it too.
class NoteStyle final
{
public:
    enum Kind
    {
        Title,
        Header,
        Body,
        Checklist,
    };

    NoteStyle() = delete;

    static QString styleName(Kind kind); // "title", "header", "body"; empty for Checklist
    // The kind a style name names, if any of the three.
    static std::optional<Kind> kindNamed(const QString& name);
    static RichText::Attributes attributes(Kind kind);
    // The style a run looks like: its style name, or the checklist, or body when it has none.
    static Kind kindOf(const RichText::Attributes& attributes);
    // Whether a line starting with these attributes is a checklist line (it shows a box).
    static bool isChecklist(const RichText::Attributes& attributes)
    {
        return kindOf(attributes) == Checklist;
    }

    // The attributes with the style attribute set replaced by the kind's; the rest (strike-
    // through, attachments) stays.
    static RichText::Attributes restyled(RichText::Attributes attributes, Kind kind);

    // Gives each line (its line feed included) the style, in one pass however many lines there
    // are. The checklist style switches checklist lines off instead: they become body. Returns
    // whether any line was switched off.
    static bool formatWithLines(RichText& text, QList<NoteLines::Range> lines, Kind kind);
    // Ticks or unticks checklist line `number` as a whole and returns its new state; a number
    // that names no checklist line changes nothing.
    static std::optional<bool> checkUncheckLine(RichText& text, qsizetype number);
};
