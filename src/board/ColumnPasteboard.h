#pragma once

#include <QJsonArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class KanbanColumn;
class QMimeData;

// The clipboard and drag payloads of columns.
//   "Kanban.ColumnData"                        copy and paste: a CBOR array whose elements are
//                                              the columns' exchange dictionaries (with their
//                                              cards), the JSON values as CBOR.
//   "cdIdentifier.column.kanban.displayObject" a drag of columns: the columns' object URIs in
//                                              drag order, one per line (UTF-8). The drop uses
//                                              the board's own record of the dragged columns.
class ColumnPasteboard final
{
public:
    ColumnPasteboard() = delete;

    static QString columnDataType();
    static QString dragType() { return QStringLiteral("cdIdentifier.column.kanban.displayObject"); }

    static QJsonArray dictionariesOf(const QList<KanbanColumn*>& columns);
    static std::unique_ptr<QMimeData> columnData(const QJsonArray& dictionaries);
    // The dictionaries of "Kanban.ColumnData"; nothing (with a reason) when it is not an array
    // of column entries.
    static std::optional<QJsonArray> dictionaries(const QMimeData* data, QString* error = nullptr);

    static std::unique_ptr<QMimeData> dragData(const QStringList& uris);
};
