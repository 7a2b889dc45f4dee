#pragma once

#include <QJsonArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class ListItem;
class QMimeData;

// The clipboard and drag payloads of cards.
//   "Kanban.CardData"        copy and paste: a CBOR array whose elements are the cards'
//                            exchange dictionaries (the JSON values as CBOR).
//   "Kanban.ColumnData"      the same for columns (written by the board).
//   "listItem.displayObject" a drag of cards: the cards' object URIs in drag order, one per
//                            line (UTF-8, separated by "\n").
class CardPasteboard final
{
public:
    CardPasteboard() = delete;

    static QString cardDataType() { return QStringLiteral("Kanban.CardData"); }
    static QString columnDataType() { return QStringLiteral("Kanban.ColumnData"); }
    static QString dragType() { return QStringLiteral("listItem.displayObject"); }

    static QJsonArray dictionariesOf(const QList<ListItem*>& items);
    static std::unique_ptr<QMimeData> cardData(const QJsonArray& dictionaries);
    // The dictionaries of "Kanban.CardData"; nothing (with a reason) when it is not an array
    // of objects.
    static std::optional<QJsonArray> dictionaries(const QMimeData* data, QString* error = nullptr);

    static std::unique_ptr<QMimeData> dragData(const QStringList& uris);
    static QStringList draggedUris(const QMimeData* data);
};
