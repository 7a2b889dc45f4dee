#include "CardPasteboard.h"

#include "interchange/JSONWriter.h"
#include "model/ListItem.h"

#include <QCborArray>
#include <QCborValue>
#include <QJsonObject>
#include <QMimeData>

QJsonArray CardPasteboard::dictionariesOf(const QList<ListItem*>& items)
{
    QJsonArray dictionaries;
    for (ListItem* item : items)
        dictionaries.append(JSONWriter::dictionaryFromObject(*item));
    return dictionaries;
}

std::unique_ptr<QMimeData> CardPasteboard::cardData(const QJsonArray& dictionaries)
{
    auto data = std::make_unique<QMimeData>();
    data->setData(cardDataType(), QCborArray::fromJsonArray(dictionaries).toCborValue().toCbor());
    return data;
}

std::optional<QJsonArray> CardPasteboard::dictionaries(const QMimeData* data, QString* error)
{
    const auto fail = [error](const QString& reason) {
        if (error)
            *error = reason;
        return std::nullopt;
    };
    if (!data || !data->hasFormat(cardDataType()))
        return fail(QStringLiteral("The clipboard holds no cards."));
    QCborParserError parseError;
    const QCborValue value = QCborValue::fromCbor(data->data(cardDataType()), &parseError);
    if (parseError.error != QCborError::NoError || !value.isArray())
        return fail(QStringLiteral("The copied cards cannot be read: they are not a list."));
    const QJsonArray array = value.toArray().toJsonArray();
    for (const QJsonValue& entry : array) {
        const QJsonObject object = entry.toObject();
        if (!entry.isObject() || object.size() != 1 || !object.contains(QStringLiteral("ListItem")))
            return fail(QStringLiteral("The copied cards cannot be read: an entry is no card."));
    }
    return array;
}

std::unique_ptr<QMimeData> CardPasteboard::dragData(const QStringList& uris)
{
    auto data = std::make_unique<QMimeData>();
    data->setData(dragType(), uris.join(u'\n').toUtf8());
    return data;
}

QStringList CardPasteboard::draggedUris(const QMimeData* data)
{
    if (!data || !data->hasFormat(dragType()))
        return {};
    return QString::fromUtf8(data->data(dragType())).split(u'\n', Qt::SkipEmptyParts);
}
