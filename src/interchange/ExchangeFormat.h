#pragma once

#include "model/Entity.h"
#include "model/RichText.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringView>
#include <QUrl>

#include <optional>

// The fixed names and value forms of the exchange document, shared by its writer and reader.
class ExchangeFormat
{
public:
    // Member names of attribute, rich-text and run objects.
    static constexpr auto objectIdKey = QLatin1StringView("objectIDURI");
    static constexpr auto stringKey = QLatin1StringView("string");
    static constexpr auto runsKey = QLatin1StringView("runs");
    static constexpr auto rangeKey = QLatin1StringView("range");
    static constexpr auto locationKey = QLatin1StringView("location");
    static constexpr auto lengthKey = QLatin1StringView("length");
    static constexpr auto attributesKey = QLatin1StringView("attributes");
    static constexpr auto styleNameKey = QLatin1StringView("NOTESTYLENAME");
    static constexpr auto checklistKey = QLatin1StringView("isChecklistChecked");
    static constexpr auto strikethroughKey = QLatin1StringView("NSStrikethrough");
    static constexpr auto attachmentKey = QLatin1StringView("NSAttachment");
    static constexpr auto linkKey = QLatin1StringView("NSLink");
    // Members of a link attachment, in the exchange document and in its CBOR contents.
    static constexpr auto linkUrlKey = QLatin1StringView("URL");
    static constexpr auto linkTitleKey = QLatin1StringView("title");
    static constexpr auto linkBodyKey = QLatin1StringView("body");

    // The one date form, always in UTC: "yyyy-MM-dd HH:mm:ss". Written and read by hand:
    // it is on the hot path of large imports, and only this exact form may count as a date.
    static QString formatDate(const QDateTime& date);
    static std::optional<QDateTime> parseDate(QStringView text);
    static std::optional<QDateTime> parseDate(std::string_view utf8);

    // The style names the notes know; any other name reads as "body".
    static QString normalisedStyleName(QStringView name);

    // A link attachment's contents: a CBOR map of "URL" (a CBOR URL), "title" and "body". A link
    // may lack any of them; a link without "URL" is kept and opens nothing.
    struct Link
    {
        std::optional<QUrl> url;
        std::optional<QString> title;
        std::optional<QString> body;
    };
    static QByteArray encodeLink(const Link& link);
    // Takes "URL" as a CBOR URL or a text string. Nothing when the contents are not a CBOR map
    // of those three members alone, each of its type: a link opens only what it says it does.
    static std::optional<Link> decodeLink(const QByteArray& contents);
    // The absolute, fully encoded text of a URL, as the document carries it.
    static QString urlText(const QUrl& url);

    // The MIME type of image bytes, or nothing when Qt cannot read them as an image.
    static std::optional<QString> imageType(const QByteArray& bytes);

    // Which entities an ordered relationship of the document may hold. `children` takes every
    // sidebar node but a Root; the others take their destination entity.
    static bool relationshipAccepts(Entity destination, Entity member);

    // Ordered relationships whose inverse is to-one give their members a single owner. Returns
    // the index (0..ownedSlotCount-1) of that inverse, or nothing for ListItem.tags.
    static constexpr int ownedSlotCount = 5;
    static std::optional<int> ownerSlot(Entity owner, QStringView relationship);
};
