#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

class ObjectContext;
struct ChangeSet;

// Where an object context keeps its graph between runs.
class PersistentStore
{
public:
    virtual ~PersistentStore() = default;

    // The store's own identity, part of every object URI.
    virtual QString identifier() const = 0;
    // Builds the stored graph in the (empty) context; false and the reason on failure.
    virtual bool load(ObjectContext& context, QString* error) = 0;
    // Writes the changes in one transaction: all of them or, on failure, none.
    virtual bool write(const ChangeSet& changes, QString* error) = 0;
    // The attachment bytes the loaded notes name by this digest, when the store holds them.
    virtual std::optional<QByteArray> attachmentBytes(const QByteArray& digest)
    {
        Q_UNUSED(digest)
        return std::nullopt;
    }
};
