#include "NoteStyle.h"

#include <algorithm>

QString NoteStyle::styleName(Kind kind)
{
    switch (kind) {
    case Title:
        return QStringLiteral("title");
    case Header:
        return QStringLiteral("header");
    case Body:
        return QStringLiteral("body");
    case Checklist:
        break;
    }
    return {};
}

std::optional<NoteStyle::Kind> NoteStyle::kindNamed(const QString& name)
{
    for (const Kind kind : {Title, Header, Body}) {
        if (name == styleName(kind))
            return kind;
    }
    return std::nullopt;
}

RichText::Attributes NoteStyle::attributes(Kind kind)
{
    RichText::Attributes attributes;
    if (kind == Checklist)
        attributes.checklistChecked = false;
    else
        attributes.styleName = styleName(kind);
    return attributes;
}

NoteStyle::Kind NoteStyle::kindOf(const RichText::Attributes& attributes)
{
    if (attributes.styleName == QStringLiteral("title"))
        return Title;
    if (attributes.styleName == QStringLiteral("header"))
        return Header;
    if (!attributes.styleName && attributes.checklistChecked)
        return Checklist;
    return Body;
}

RichText::Attributes NoteStyle::restyled(RichText::Attributes attributes, Kind kind)
{
    const RichText::Attributes style = NoteStyle::attributes(kind);
    attributes.styleName = style.styleName;
    attributes.checklistChecked = style.checklistChecked;
    return attributes;
}

bool NoteStyle::formatWithLines(RichText& text, QList<NoteLines::Range> lines, Kind kind)
{
    std::sort(lines.begin(), lines.end(), [](const NoteLines::Range& a, const NoteLines::Range& b) {
        return a.location < b.location;
    });
    // The runs cover the text without gaps: walk them once, cutting them at the lines' ends.
    const QList<RichText::Run>& source = text.runs();
    QList<RichText::Run> runs;
    runs.reserve(source.size() + 2 * lines.size());
    qsizetype next = 0;
    qsizetype position = 0;
    const auto copyUntil = [&](qsizetype end, std::optional<Kind> style) {
        end = std::min(end, text.length());
        while (position < end) {
            const RichText::Run& run = source[next];
            const qsizetype stop = std::min(end, run.location + run.length);
            runs.append({position, stop - position,
                         style ? restyled(run.attributes, *style) : run.attributes});
            position = stop;
            if (stop == run.location + run.length)
                ++next;
        }
    };
    bool switchedOff = false;
    for (const NoteLines::Range& line : std::as_const(lines)) {
        if (line.location < position || line.length <= 0)
            continue;
        copyUntil(line.location, std::nullopt);
        const bool off = kind == Checklist && isChecklist(text.attributesAt(line.location));
        switchedOff = switchedOff || off;
        copyUntil(line.end(), off ? Body : kind);
    }
    copyUntil(text.length(), std::nullopt);
    if (const auto result = RichText::fromRuns(text.text(), runs))
        text = *result;
    return switchedOff;
}

std::optional<bool> NoteStyle::checkUncheckLine(RichText& text, qsizetype number)
{
    const std::optional<NoteLines::Range> line = NoteLines::line(text.text(), number);
    if (!line || line->length == 0 || !isChecklist(text.attributesAt(line->location)))
        return std::nullopt;
    const bool checked = !*text.attributesAt(line->location).checklistChecked;
    text.changeAttributes(line->location, line->length,
                          [checked](RichText::Attributes& a) { a.checklistChecked = checked; });
    return checked;
}
