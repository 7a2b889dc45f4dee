#include "ExchangeFormat.h"

#include <QBuffer>
#include <QCborMap>
#include <QCborValue>
#include <QHash>
#include <QImageReader>
#include <QMimeDatabase>

namespace {

constexpr qsizetype dateLength = 19; // "yyyy-MM-dd HH:mm:ss"

// Reads the digits at [from, from + count) of a date text; -1 when one is not a digit.
template <class Char>
int digits(const Char* text, int from, int count)
{
    int value = 0;
    for (int i = from; i < from + count; ++i) {
        const auto c = text[i];
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + int(c - '0');
    }
    return value;
}

template <class Char>
std::optional<QDateTime> parseDateChars(const Char* t)
{
    if (t[4] != '-' || t[7] != '-' || t[10] != ' ' || t[13] != ':' || t[16] != ':')
        return std::nullopt;
    const int year = digits(t, 0, 4);
    const int month = digits(t, 5, 2);
    const int day = digits(t, 8, 2);
    const int hour = digits(t, 11, 2);
    const int minute = digits(t, 14, 2);
    const int second = digits(t, 17, 2);
    if (year < 0 || month < 0 || day < 0 || hour < 0 || minute < 0 || second < 0)
        return std::nullopt;
    const QDate date(year, month, day);
    const QTime time(hour, minute, second);
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return QDateTime(date, time, Qt::UTC);
}

void appendNumber(QString& text, int value, int width)
{
    char buffer[8];
    for (int i = width - 1; i >= 0; --i) {
        buffer[i] = char('0' + value % 10);
        value /= 10;
    }
    text.append(QLatin1StringView(buffer, width));
}

} // namespace

QString ExchangeFormat::formatDate(const QDateTime& date)
{
    const QDateTime utc = date.toUTC();
    const QDate d = utc.date();
    const QTime t = utc.time();
    // Years outside 1..9999 have no four-digit form; Qt's own formatting gives them too.
    if (d.year() < 1 || d.year() > 9999)
        return utc.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    QString text;
    text.reserve(dateLength);
    appendNumber(text, d.year(), 4);
    text.append(u'-');
    appendNumber(text, d.month(), 2);
    text.append(u'-');
    appendNumber(text, d.day(), 2);
    text.append(u' ');
    appendNumber(text, t.hour(), 2);
    text.append(u':');
    appendNumber(text, t.minute(), 2);
    text.append(u':');
    appendNumber(text, t.second(), 2);
    return text;
}

std::optional<QDateTime> ExchangeFormat::parseDate(QStringView text)
{
    if (text.size() != dateLength)
        return std::nullopt;
    return parseDateChars(text.utf16());
}

std::optional<QDateTime> ExchangeFormat::parseDate(std::string_view utf8)
{
    if (utf8.size() != size_t(dateLength))
        return std::nullopt;
    return parseDateChars(utf8.data());
}

QString ExchangeFormat::normalisedStyleName(QStringView name)
{
    if (name == u"title" || name == u"header")
        return name.toString();
    return QStringLiteral("body");
}

QByteArray ExchangeFormat::encodeLink(const Link& link)
{
    QCborMap map;
    if (link.url)
        map.insert(QString(linkUrlKey), QCborValue(*link.url));
    if (link.title)
        map.insert(QString(linkTitleKey), *link.title);
    if (link.body)
        map.insert(QString(linkBodyKey), *link.body);
    return QCborValue(map).toCbor();
}

std::optional<ExchangeFormat::Link> ExchangeFormat::decodeLink(const QByteArray& contents)
{
    QCborParserError error;
    const QCborValue value = QCborValue::fromCbor(contents, &error);
    if (error.error != QCborError::NoError || !value.isMap())
        return std::nullopt;
    Link link;
    const QCborMap map = value.toMap();
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        const QString key = it.key().toString();
        const QCborValue member = it.value();
        if (key == linkUrlKey && member.isUrl())
            link.url = member.toUrl();
        else if (key == linkUrlKey && member.isString())
            link.url = QUrl(member.toString());
        else if (key == linkTitleKey && member.isString())
            link.title = member.toString();
        else if (key == linkBodyKey && member.isString())
            link.body = member.toString();
        else
            return std::nullopt; // another member, or one of another type
    }
    return link;
}

QString ExchangeFormat::urlText(const QUrl& url)
{
    return url.toString(QUrl::FullyEncoded);
}

std::optional<QString> ExchangeFormat::imageType(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return std::nullopt;
    QByteArray data = bytes; // QBuffer needs a non-const array; this copy shares the bytes
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    if (!reader.canRead())
        return std::nullopt;
    const QString type = QMimeDatabase().mimeTypeForData(bytes).name();
    if (type.startsWith(QLatin1StringView("image/")))
        return type;
    // Without a MIME database (a bare system, a test's empty XDG folders) name the common
    // formats ourselves.
    const QByteArray format = reader.format().toLower();
    static const QHash<QByteArray, QString> known{
        {"png", QStringLiteral("image/png")},   {"jpeg", QStringLiteral("image/jpeg")},
        {"jpg", QStringLiteral("image/jpeg")},  {"gif", QStringLiteral("image/gif")},
        {"bmp", QStringLiteral("image/bmp")},   {"webp", QStringLiteral("image/webp")},
        {"tiff", QStringLiteral("image/tiff")}, {"svg", QStringLiteral("image/svg+xml")},
    };
    return known.value(format, QLatin1StringView("image/x-") + QString::fromLatin1(format));
}

bool ExchangeFormat::relationshipAccepts(Entity destination, Entity member)
{
    if (destination == Entity::DisplayItem)
        return member != Entity::Root && member != Entity::DisplayItem &&
               entityIsKindOf(member, Entity::DisplayItem);
    return member == destination;
}

std::optional<int> ExchangeFormat::ownerSlot(Entity owner, QStringView relationship)
{
    if (relationship == u"children")
        return 0;
    if (relationship == u"column")
        return 1;
    if (owner == Entity::Kanban && relationship == u"tags")
        return 2;
    if (owner == Entity::KanbanColumn && relationship == u"item")
        return 3;
    if (owner == Entity::List && relationship == u"item")
        return 4;
    return std::nullopt;
}
