#include "BoardSketch.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

namespace {

// The attribute object of a one-member object entry, or an empty object.
QJsonObject attributesOf(const QJsonValue& entry, QLatin1StringView entity)
{
    const QJsonObject object = entry.toObject();
    return object.size() == 1 ? object.value(entity).toObject() : QJsonObject();
}

// Within one document a tag is described fully at its first mention only, so
// colours are looked up by the tag's identity.
class TagColours
{
public:
    int colourOf(const QJsonObject& tag)
    {
        const QString uri = tag.value(QLatin1StringView("objectIDURI")).toString();
        if (!uri.isEmpty()) {
            const auto known = m_colours.constFind(uri);
            if (known != m_colours.constEnd())
                return *known;
        }
        const int colour = tag.value(QLatin1StringView("colour")).toInt();
        if (!uri.isEmpty())
            m_colours.insert(uri, colour);
        return colour;
    }

private:
    QHash<QString, int> m_colours;
};

QList<LineSketch> linesOf(const QJsonObject& notes)
{
    const QString text = notes.value(QLatin1StringView("string")).toString();
    const QJsonArray runs = notes.value(QLatin1StringView("runs")).toArray();

    QList<LineSketch> lines;
    qsizetype lineStart = 0;
    while (lineStart <= text.size()) {
        qsizetype lineEnd = text.indexOf(QLatin1Char('\n'), lineStart);
        if (lineEnd < 0)
            lineEnd = text.size();
        LineSketch line;
        line.length = int(lineEnd - lineStart);
        // A line takes the attributes of the run that holds its first character.
        for (const QJsonValue& runValue : runs) {
            const QJsonObject run = runValue.toObject();
            const QJsonObject range = run.value(QLatin1StringView("range")).toObject();
            const qsizetype location = range.value(QLatin1StringView("location")).toInteger();
            const qsizetype length = range.value(QLatin1StringView("length")).toInteger();
            if (lineStart < location || lineStart >= location + length)
                continue;
            const QJsonObject attributes = run.value(QLatin1StringView("attributes")).toObject();
            const QString style = attributes.value(QLatin1StringView("NOTESTYLENAME")).toString();
            const QJsonValue checked = attributes.value(QLatin1StringView("isChecklistChecked"));
            if (checked.isBool()) {
                line.kind = LineSketch::Kind::Checklist;
                line.checked = checked.toBool();
            } else if (style == QLatin1StringView("title")) {
                line.kind = LineSketch::Kind::Title;
            } else if (style == QLatin1StringView("header")) {
                line.kind = LineSketch::Kind::Header;
            }
            break;
        }
        if (line.length > 0 || line.kind == LineSketch::Kind::Checklist)
            lines.append(line);
        lineStart = lineEnd + 1;
    }
    return lines;
}

CardSketch cardOf(const QJsonObject& item, TagColours& tagColours)
{
    CardSketch card;
    card.lines = linesOf(item.value(QLatin1StringView("attributedNotes")).toObject());
    if (card.lines.isEmpty()) {
        const int titleLength = int(item.value(QLatin1StringView("title")).toString().size());
        if (titleLength > 0)
            card.lines.append({LineSketch::Kind::Title, titleLength, false});
    }
    for (const QJsonValue& entry : item.value(QLatin1StringView("tags")).toArray())
        card.tagColours.append(tagColours.colourOf(attributesOf(entry, QLatin1StringView("Tag"))));
    // Booleans may also arrive as the numbers 0 and 1.
    card.done = item.value(QLatin1StringView("done")).toVariant().toBool();
    card.priority = item.value(QLatin1StringView("priority")).toVariant().toBool();
    const QJsonValue expanded = item.value(QLatin1StringView("notesExpanded"));
    card.expanded = expanded.isNull() || expanded.isUndefined() || expanded.toVariant().toBool();
    return card;
}

} // namespace

std::optional<BoardSketch> BoardSketch::fromDocument(const QByteArray& data, QString* errorMessage)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(data, &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isArray()) {
        *errorMessage = parseError.error != QJsonParseError::NoError
                            ? parseError.errorString()
                            : QStringLiteral("the document is not an array of object entries");
        return std::nullopt;
    }

    TagColours tagColours;
    for (const QJsonValue& entry : document.array()) {
        const QJsonObject board = attributesOf(entry, QLatin1StringView("Kanban"));
        if (board.isEmpty())
            continue;
        // The board's own tag list comes first, so that cards find its colours.
        for (const QJsonValue& tag : board.value(QLatin1StringView("tags")).toArray())
            tagColours.colourOf(attributesOf(tag, QLatin1StringView("Tag")));

        BoardSketch sketch;
        sketch.colour = board.value(QLatin1StringView("colour")).toInt();
        for (const QJsonValue& columnEntry : board.value(QLatin1StringView("column")).toArray()) {
            const QJsonObject column = attributesOf(columnEntry, QLatin1StringView("KanbanColumn"));
            ColumnSketch columnSketch;
            columnSketch.titleLength =
                int(column.value(QLatin1StringView("title")).toString().size());
            for (const QJsonValue& item : column.value(QLatin1StringView("item")).toArray()) {
                columnSketch.cards.append(
                    cardOf(attributesOf(item, QLatin1StringView("ListItem")), tagColours));
            }
            sketch.columns.append(columnSketch);
        }
        return sketch;
    }
    *errorMessage = QStringLiteral("the document holds no board");
    return std::nullopt;
}
