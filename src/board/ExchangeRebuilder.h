#pragma once

#include "model/Entity.h"
#include "model/StoredObject.h"

#include <QJsonArray>
#include <QList>
#include <QString>

#include <optional>

// Builds objects again from their exchange dictionaries: cards and columns for paste and undo,
// sidebar nodes for undo.
//
// A card can be on a list and on a column at once; a dictionary carries neither membership,
// and taking a card off the board (or deleting its list) leaves it on the other. So when a
// dictionary names a card that still lives and lacks the place its copy would take, that very
// card comes back instead of a copy, and it keeps both memberships. A paste does this only for
// a list's card that left its board.
//
// For undo, every object built for a deleted one takes over its identity (its URI) where it can
// and becomes its successor (ObjectContext::liveSuccessor): older undo steps then act on the
// rebuilt objects, and what names the deleted object by its URI finds the rebuilt one.
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
