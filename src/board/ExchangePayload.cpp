#include "ExchangePayload.h"

#include "interchange/JSONWriter.h"
#include "model/StoredObject.h"

#include <QCborArray>
#include <QCborValue>
#include <QJsonObject>
#include <QMimeData>

QJsonArray ExchangePayload::dictionariesOfObjects(const QList<StoredObject*>& objects)
{
    QJsonArray dictionaries;
    for (StoredObject* object : objects)
        dictionaries.append(JSONWriter::dictionaryFromObject(*object));
    return dictionaries;
}

std::unique_ptr<QMimeData> ExchangePayload::data(const QString& type,
                                                 const QJsonArray& dictionaries)
{
    auto data = std::make_unique<QMimeData>();
    data->setData(type, QCborArray::fromJsonArray(dictionaries).toCborValue().toCbor());
    return data;
}

std::optional<QJsonArray> ExchangePayload::dictionaries(const QMimeData* data, const QString& type,
                                                        Entity entity, const QString& things,
                                                        QString* error)
{
    const auto fail = [error](const QString& reason) {
        if (error)
            *error = reason;
        return std::nullopt;
    };
    if (!data || !data->hasFormat(type))
        return fail(QStringLiteral("The clipboard holds no %1.").arg(things));
    QCborParserError parseError;
    const QCborValue value = QCborValue::fromCbor(data->data(type), &parseError);
    if (parseError.error != QCborError::NoError || !value.isArray())
        return fail(
            QStringLiteral("The copied %1 cannot be read: they are not a list.").arg(things));
    const QJsonArray array = value.toArray().toJsonArray();
    for (const QJsonValue& entry : array) {
        const QJsonObject object = entry.toObject();
        if (!entry.isObject() || object.size() != 1 || !object.contains(entityName(entity)))
            return fail(QStringLiteral("The copied %1 cannot be read: an entry is of another kind.")
                            .arg(things));
    }
    return array;
}

std::unique_ptr<QMimeData> ExchangePayload::uriData(const QString& type, const QStringList& uris)
{
    auto data = std::make_unique<QMimeData>();
    data->setData(type, uris.join(u'\n').toUtf8());
    return data;
}

QStringList ExchangePayload::uris(const QMimeData* data, const QString& type)
{
    if (!data || !data->hasFormat(type))
        return {};
    return QString::fromUtf8(data->data(type)).split(u'\n', Qt::SkipEmptyParts);
}
