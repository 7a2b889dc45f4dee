#pragma once

#include <QList>
#include <QString>

#include <optional>

// How a card's text is cut into lines. A line ends with its line feed, which belongs to it; a
// text that is empty or ends with a line feed has an empty last line at its very end, the one
// a caret there types into. Positions count UTF-16 code units, as the rich text does.
class NoteLines final
{
public:
    struct Range
    {
        qsizetype location = 0;
        qsizetype length = 0;
        qsizetype end() const { return location + length; }
        friend bool operator==(const Range&, const Range&) = default;
    };

    NoteLines() = delete;

    // Every line in order, the empty last line included.
    static QList<Range> lines(const QString& text);
    // Line number `number` (from 0), if the text has that many.
    static std::optional<Range> line(const QString& text, qsizetype number);
    // The lines a selection touches, in order and each once: for each range, the line holding
    // its start, then each further line starting at or before its end, up to the first line
    // that reaches its end. An empty text gives its one empty line at 0.
    static QList<Range> linesInSelection(const QString& text, const QList<Range>& selection);
};
