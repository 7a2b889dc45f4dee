#include "CardPasteboard.h"

#include "ExchangePayload.h"
#include "model/ListItem.h"

#include <QMimeData>

QJsonArray CardPasteboard::dictionariesOf(const QList<ListItem*>& items)
{
    return ExchangePayload::dictionariesOf(items);
}

std::unique_ptr<QMimeData> CardPasteboard::cardData(const QJsonArray& dictionaries)
{
    return ExchangePayload::data(cardDataType(), dictionaries);
}

std::optional<QJsonArray> CardPasteboard::dictionaries(const QMimeData* data, QString* error)
{
    return ExchangePayload::dictionaries(data, cardDataType(), Entity::ListItem,
                                         QStringLiteral("cards"), error);
}

std::unique_ptr<QMimeData> CardPasteboard::dragData(const QStringList& uris)
{
    return ExchangePayload::uriData(dragType(), uris);
}

QStringList CardPasteboard::draggedUris(const QMimeData* data)
{
    return ExchangePayload::uris(data, dragType());
}
