#pragma once

#include <QByteArray>
#include <QList>

#include <functional>
#include <span>
#include <vector>

class SqliteDatabase;
class StoredObject;

// The layout of a store file, shared by the code that reads it and the code that writes it.
//
// Version 1: one table per kind of object, keyed by the object's permanent number (unique
// across all kinds). Each ordered to-many relationship lives on its owner's row as a blob of
// member numbers (little-endian 64-bit integers), so that reordering a column rewrites one row;
// the inverse ends (parent, kanban, column, list, a tag's items) are rebuilt when loading.
// Absent values are SQL NULL; dates are milliseconds since the epoch (UTC).
//
// Version 2: the bytes of the cards' file attachments (pictures) live once each in the table
// attachment, keyed by their digest (AttachmentDigest). Notes name them by digest
// (RichText::encodeApart), and a card's row lists the digests its notes name, so that the
// store knows without reading any notes which bytes are still in use.
class StoreSchema final
{
public:
    // Marks a file as a Pinwheels store ("Pnwl").
    static constexpr qint32 applicationId = 0x506E776C;
    static constexpr int firstVersion = 1;
    static constexpr int bytesApartVersion = 2;

    // Takes the schema one version further; runs inside a transaction.
    using Step = std::function<bool(SqliteDatabase&)>;
    // The steps after the first version: steps[i] takes version 1 + i to 2 + i. The store's
    // current version is 1 + the number of steps.
    static QList<Step> laterSteps();

    // Creates the tables of the first version in an empty database (inside a transaction).
    static bool createFirstVersion(SqliteDatabase& database);

    // display_item: Folder, Root, List, Kanban and Tag; `title` holds a tag's name.
    enum DisplayItemField
    {
        DisplayItemNumber,
        DisplayItemEntity,
        DisplayItemTitle,
        DisplayItemColour,
        DisplayItemBgImage,
        DisplayItemExport,
        DisplayItemChildren,
        DisplayItemListItems,
        DisplayItemColumns,
        DisplayItemTags,
    };
    static const char* const selectDisplayItems;
    static const char* const replaceDisplayItem;
    static const char* const deleteDisplayItem;

    enum ColumnField
    {
        ColumnNumber,
        ColumnTitle,
        ColumnItems,
    };
    static const char* const selectColumns;
    static const char* const replaceColumn;
    static const char* const deleteColumn;

    enum CardField
    {
        CardNumber,
        CardTitle,
        CardNotes,
        CardDateAdded,
        CardDueDate,
        CardDoneDate,
        CardDone,
        CardArchived,
        CardPriority,
        CardNotesExpanded,
        CardTimeWorked,
        CardTags,
        CardAttachments, // from version 2
    };
    // By version: the first one's cards have no attachments field.
    static const char* selectCards(int version);
    static const char* replaceCard(int version);
    static const char* const deleteCard;

    static const char* const selectAttachmentDigests;
    static const char* const selectAttachments;
    static const char* const selectAttachmentBytes;
    static const char* const insertAttachment;
    static const char* const deleteAttachment;
    // Whether any card's notes hold the digest, whatever its attachments field says.
    static const char* const findDigestInNotes;

    // The digests a card's attachments field lists, end to end; null when none.
    static QByteArray encodeDigests(const QList<QByteArray>& digests);
    // False when the field's length is not a whole number of digests (the whole ones are read).
    static bool decodeDigests(std::span<const std::byte> bytes, QList<QByteArray>& out);

    static const char* const selectIdentifier;
    static const char* const insertIdentifier;

    // Member numbers of an ordered relationship, as kept on the owner's row.
    template <class T>
    static void encodeMembers(const QList<T*>& members, std::vector<std::byte>& out)
    {
        out.resize(size_t(members.size()) * sizeof(qint64));
        std::byte* p = out.data();
        for (const T* member : members) {
            storeNumber(p, memberNumber(member));
            p += sizeof(qint64);
        }
    }
    // Appends the numbers in `bytes` to `out`; false when the blob's length is not a whole
    // number of entries (the whole entries are still read).
    static bool decodeMembers(std::span<const std::byte> bytes, std::vector<qint64>& out);

private:
    static bool keepBytesApart(SqliteDatabase& database);
    static qint64 memberNumber(const StoredObject* object);
    static void storeNumber(std::byte* p, qint64 number);
};
