#include "ColumnPasteboard.h"

#include "CardPasteboard.h"
#include "ExchangePayload.h"
#include "model/KanbanColumn.h"

#include <QMimeData>

QString ColumnPasteboard::columnDataType()
{
    return CardPasteboard::columnDataType();
}

QJsonArray ColumnPasteboard::dictionariesOf(const QList<KanbanColumn*>& columns)
{
    return ExchangePayload::dictionariesOf(columns);
}

std::unique_ptr<QMimeData> ColumnPasteboard::columnData(const QJsonArray& dictionaries)
{
    return ExchangePayload::data(columnDataType(), dictionaries);
}

std::optional<QJsonArray> ColumnPasteboard::dictionaries(const QMimeData* data, QString* error)
{
    return ExchangePayload::dictionaries(data, columnDataType(), Entity::KanbanColumn,
                                         QStringLiteral("columns"), error);
}

std::unique_ptr<QMimeData> ColumnPasteboard::dragData(const QStringList& uris)
{
    return ExchangePayload::uriData(dragType(), uris);
}
