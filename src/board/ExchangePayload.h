#pragma once

#include "model/Entity.h"

#include <QJsonArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class QMimeData;
class StoredObject;

// What cards and columns carry on the clipboard and in drags: a CBOR array of exchange
// dictionaries of one entity (copy and paste), or object URIs one per line (drags).
class ExchangePayload final
{
public:
    ExchangePayload() = delete;

    template <class T>
    static QJsonArray dictionariesOf(const QList<T*>& objects)
    {
        return dictionariesOfObjects({objects.cbegin(), objects.cend()});
    }
    static QJsonArray dictionariesOfObjects(const QList<StoredObject*>& objects);

    static std::unique_ptr<QMimeData> data(const QString& type, const QJsonArray& dictionaries);
    // The dictionaries under `type`; nothing (with a reason naming `things`, e.g. "cards")
    // when they are missing or are not an array of entries of `entity`.
    static std::optional<QJsonArray> dictionaries(const QMimeData* data, const QString& type,
                                                  Entity entity, const QString& things,
                                                  QString* error);

    static std::unique_ptr<QMimeData> uriData(const QString& type, const QStringList& uris);
    static QStringList uris(const QMimeData* data, const QString& type);
};
