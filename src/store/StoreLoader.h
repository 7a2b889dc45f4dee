#pragma once

#include "model/Entity.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <span>
#include <vector>

class ObjectContext;
class SqliteDatabase;
class SqliteStatement;
class StoredObject;

// Builds the object graph of a store file in an empty context. Damaged content (a link to an
// object that does not exist or is of the wrong kind, an object claimed by two owners, a link
// that would make the sidebar tree cyclic, a second Root) never stops loading: the bad link is
// skipped and described in anomalies().
class StoreLoader final
{
public:
    StoreLoader(SqliteDatabase& database, ObjectContext& context, int version);
    Q_DISABLE_COPY_MOVE(StoreLoader)

    // False, with SQLite's reason, only when the rows cannot be read at all.
    bool load(QString* error);
    const QStringList& anomalies() const { return m_anomalies; }
    void note(const QString& anomaly);
    // By card number: the digests of the attachment bytes its notes name, for cards that have
    // any.
    const QHash<qint64, QList<QByteArray>>& cardDigests() const { return m_cardDigests; }

private:
    enum class Relation : quint8
    {
        Children,
        ListItems,
        Columns,
        BoardTags,
        ColumnItems,
        CardTags,
    };
    struct PendingLink
    {
        StoredObject* owner;
        Relation relation;
        quint32 first; // into m_numbers
        quint32 count;
    };

    bool readDisplayItems(QString* error);
    bool readColumns(QString* error);
    bool readCards(QString* error);
    bool finishReading(const SqliteStatement& statement, QString* error) const;
    StoredObject* materialize(Entity entity, qint64 number, const char* table);
    void keepLink(StoredObject* owner, Relation relation, std::span<const std::byte> blob);
    void checkRoots();
    void link(const PendingLink& pending);
    template <class Member>
    QList<Member*> acceptedMembers(const PendingLink& pending);
    // The member to link, or null (with an anomaly) when the link must be skipped.
    StoredObject* acceptedMember(const PendingLink& pending, qint64 number);
    // Marks the member as listed by the current link; true when it already was.
    bool listedTwice(qint64 number);
    bool wouldMakeCycle(const StoredObject* owner, const StoredObject* child) const;

    static Entity destination(Relation relation);
    static QString relationName(Relation relation);
    static QString describe(const StoredObject* object);

    SqliteDatabase& m_database;
    ObjectContext& m_context;
    int m_version;
    QHash<qint64, QList<QByteArray>> m_cardDigests;
    std::vector<qint64> m_numbers; // members of every pending link, end to end
    std::vector<PendingLink> m_links;
    // By member number: the link that last listed it; far-off numbers kept aside.
    std::vector<quint32> m_seenInLink;
    QHash<qint64, quint32> m_seenFarInLink;
    qint64 m_objectsRead = 0;
    quint32 m_linkStamp = 0;
    QStringList m_anomalies;
};
