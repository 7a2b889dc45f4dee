#pragma once

#include "model/Entity.h"
#include "model/StoredObject.h"

#include <QJsonArray>
#include <QList>
#include <QString>

#include <optional>

// Builds cards and columns again from their exchange dictionaries, for paste and for undo.
//
// A card can be on a list and on a column at once; a dictionary carries neither membership,
// and taking a card off the board leaves it on its list. So when a dictionary names a card that
// still lives on a list but on no column, that very card comes back instead of a copy, and it
// keeps both memberships.
//
// For undo, every object built for a deleted one becomes its successor
// (ObjectContext::liveSuccessor): older undo steps then act on the rebuilt objects.
class ExchangeRebuilder final
{
public:
    ExchangeRebuilder() = delete;

    enum class Purpose
    {
        Paste,
        Undo
    };

    // The objects of the entries, in order; nothing (and `error` says why) when the reader
    // refuses them.
    static std::optional<QList<StoredObject*>> rebuild(const QJsonArray& dictionaries,
                                                       Purpose purpose, QString* error = nullptr);

    template <class T>
    static QList<T*> only(const QList<StoredObject*>& objects)
    {
        QList<T*> result;
        for (StoredObject* object : objects) {
            if (object->entity() == T::staticEntity)
                result.append(static_cast<T*>(object));
        }
        return result;
    }
};
