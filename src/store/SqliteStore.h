#pragma once

#include "PersistentStore.h"
#include "SqliteDatabase.h"
#include "SqliteStatement.h"
#include "StoreSchema.h"

#include <QHash>
#include <QSet>
#include <QStringList>

#include <memory>
#include <vector>

class ListItem;
class StoreLoader;
class StoredObject;

// The object graph in one SQLite file (layout: StoreSchema). Opening recognises the file
// before changing anything: a file that is not a Pinwheels store, a damaged one, or one of a
// newer version is refused and left exactly as it was. An older version is copied to a backup
// beside it and then migrated one version at a time.
//
// From version 2 the bytes of file attachments are kept once each, apart from the notes that
// name them (StoreSchema), read when notes are decoded and removed by the save that drops the
// last card naming them. Bytes that no card names when the store opens are removed then.
//
// Journal: WAL with synchronous=FULL, so a save that returned is on disk. Automatic
// checkpoints are off so that no save pays for one; call checkpoint() when idle and at quit.
class SqliteStore final : public PersistentStore
{
public:
    static std::unique_ptr<SqliteStore> open(const QString& path, QString* error);
    // As above, with the schema steps after the first version (StoreSchema::laterSteps()).
    static std::unique_ptr<SqliteStore>
    open(const QString& path, const QList<StoreSchema::Step>& laterSteps, QString* error);
    // A read-only view of a store another process keeps writing: loading reads the last
    // committed state as one snapshot, and nothing is ever written, migrated or created. A
    // missing store, or one of an earlier version, is refused.
    static std::unique_ptr<SqliteStore> openReadOnly(const QString& path, QString* error);
    ~SqliteStore() override;
    Q_DISABLE_COPY_MOVE(SqliteStore)

    QString identifier() const override { return m_identifier; }
    bool load(ObjectContext& context, QString* error) override;
    bool write(const ChangeSet& changes, QString* error) override;
    std::optional<QByteArray> attachmentBytes(const QByteArray& digest) override;

    QString path() const { return m_path; }
    bool isReadOnly() const { return m_readOnly; }
    int schemaVersion() const { return m_version; }
    // What the last load found damaged and skipped, in readable lines.
    QStringList anomalies() const { return m_anomalies; }
    // Rows inserted, replaced or deleted by the last successful write.
    qint64 lastWriteRowCount() const { return m_lastWriteRowCount; }

    // Copies the file and its journal beside it as "<file>.<label>.backup" (numbered when
    // taken), as migration does before it changes anything; `copy` gets the copy's path.
    bool backUp(const QString& label, QString* copy, QString* error);
    // Copies the journal into the file and empties the journal; false when a reader or
    // writer is in the way (try again later).
    bool checkpoint();
    bool integrityCheck(QStringList* problems);

private:
    explicit SqliteStore(const QString& path);

    bool prepareStatements();
    bool readIdentifier();
    bool writeObject(const StoredObject* object);
    bool deleteRow(const StoredObject* object);
    bool readAttachmentDigests(const QHash<qint64, QList<QByteArray>>& cardDigests,
                               StoreLoader& loader);
    void removeUnnamedAttachments();

    // What one write changes in the attachment bookkeeping, taken over when it commits.
    struct AttachmentChanges
    {
        QHash<qint64, QList<QByteArray>> cardDigests; // the written cards, empty when deleted
        QSet<QByteArray> inserted;
        QSet<QByteArray> removed;
    };
    bool writeCardAttachments(const ListItem* card, AttachmentChanges& changes);
    bool removeUnusedAttachments(AttachmentChanges& changes);
    void takeOver(const AttachmentChanges& changes);

    QString m_path;
    SqliteDatabase m_database;
    QString m_identifier;
    int m_version = 0;
    bool m_readOnly = false;
    QStringList m_anomalies;
    qint64 m_lastWriteRowCount = 0;

    SqliteStatement m_replaceDisplayItem;
    SqliteStatement m_replaceColumn;
    SqliteStatement m_replaceCard;
    SqliteStatement m_deleteDisplayItem;
    SqliteStatement m_deleteColumn;
    SqliteStatement m_deleteCard;
    SqliteStatement m_insertAttachment;
    SqliteStatement m_deleteAttachment;
    SqliteStatement m_selectAttachmentBytes;
    bool m_bytesApart = false; // the schema keeps attachment bytes in their own table

    QHash<qint64, QList<QByteArray>> m_cardDigests; // cards whose notes name attachment bytes
    QHash<QByteArray, int> m_uses;                  // by digest: how many cards name it
    QSet<QByteArray> m_stored;                      // digests the table holds
    QHash<QByteArray, QByteArray> m_snapshotBytes;  // read only: read with the graph
    std::vector<std::byte> m_buffer; // member numbers of one relationship while writing
};
