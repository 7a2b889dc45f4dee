#include "ColumnPasteboard.h"

#include "CardPasteboard.h"
#include "interchange/JSONWriter.h"
#include "model/KanbanColumn.h"

#include <QCborArray>
#include <QCborValue>
#include <QJsonObject>
#include <QMimeData>

QString ColumnPasteboard::columnDataType()
{
    return CardPasteboard::columnDataType();
}

QJsonArray ColumnPasteboard::dictionariesOf(const QList<KanbanColumn*>& columns)
{
    QJsonArray dictionaries;
    for (KanbanColumn* column : columns)
        dictionaries.append(JSONWriter::dictionaryFromObject(*column));
    return dictionaries;
}

std::unique_ptr<QMimeData> ColumnPasteboard::columnData(const QJsonArray& dictionaries)
{
    auto data = std::make_unique<QMimeData>();
    data->setData(columnDataType(), QCborArray::fromJsonArray(dictionaries).toCborValue().toCbor());
    return data;
}

std::optional<QJsonArray> ColumnPasteboard::dictionaries(const QMimeData* data, QString* error)
{
    const auto fail = [error](const QString& reason) {
        if (error)
            *error = reason;
        return std::nullopt;
    };
    if (!data || !data->hasFormat(columnDataType()))
        return fail(QStringLiteral("The clipboard holds no columns."));
    QCborParserError parseError;
    const QCborValue value = QCborValue::fromCbor(data->data(columnDataType()), &parseError);
    if (parseError.error != QCborError::NoError || !value.isArray())
        return fail(QStringLiteral("The copied columns cannot be read: they are not a list."));
    const QJsonArray array = value.toArray().toJsonArray();
    for (const QJsonValue& entry : array) {
        const QJsonObject object = entry.toObject();
        if (!entry.isObject() || object.size() != 1 ||
            !object.contains(QStringLiteral("KanbanColumn")))
            return fail(
                QStringLiteral("The copied columns cannot be read: an entry is no column."));
    }
    return array;
}

std::unique_ptr<QMimeData> ColumnPasteboard::dragData(const QStringList& uris)
{
    auto data = std::make_unique<QMimeData>();
    data->setData(dragType(), uris.join(u'\n').toUtf8());
    return data;
}
