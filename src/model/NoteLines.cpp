#include "NoteLines.h"

#include <algorithm>

QList<NoteLines::Range> NoteLines::lines(const QString& text)
{
    QList<Range> result;
    qsizetype start = 0;
    for (qsizetype feed = text.indexOf(u'\n'); feed >= 0; feed = text.indexOf(u'\n', start)) {
        result.append({start, feed + 1 - start});
        start = feed + 1;
    }
    result.append({start, text.size() - start});
    return result;
}

std::optional<NoteLines::Range> NoteLines::line(const QString& text, qsizetype number)
{
    if (number < 0)
        return std::nullopt;
    qsizetype start = 0;
    for (qsizetype i = 0; i < number; ++i) {
        const qsizetype feed = text.indexOf(u'\n', start);
        if (feed < 0)
            return std::nullopt;
        start = feed + 1;
    }
    const qsizetype feed = text.indexOf(u'\n', start);
    return Range{start, (feed < 0 ? text.size() : feed + 1) - start};
}

QList<NoteLines::Range> NoteLines::linesInSelection(const QString& text,
                                                    const QList<Range>& selection)
{
    const QList<Range> all = lines(text);
    QList<qsizetype> taken;
    for (const Range& range : selection) {
        const qsizetype start = std::clamp<qsizetype>(range.location, 0, text.size());
        const qsizetype end = std::clamp<qsizetype>(range.end(), start, text.size());
        // The line holding the start: the last line starting at or before it. A caret after a
        // line feed is on the next line, never at the end of the one the feed ends.
        const auto holding =
            std::upper_bound(all.cbegin(), all.cend(), start,
                             [](qsizetype p, const Range& line) { return p < line.location; });
        qsizetype i = (holding - all.cbegin()) - 1;
        taken.append(i);
        while (all[i].end() < end && i + 1 < all.size() && all[i + 1].location <= end)
            taken.append(++i);
    }
    std::sort(taken.begin(), taken.end());
    taken.erase(std::unique(taken.begin(), taken.end()), taken.end());
    QList<Range> result;
    result.reserve(taken.size());
    for (qsizetype i : std::as_const(taken))
        result.append(all[i]);
    return result;
}
