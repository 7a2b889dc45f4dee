#pragma once

#include "ExchangeDocument.h"

#include <QByteArrayView>
#include <QDateTime>
#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

class Folder;
class ObjectContext;
class RichText;
class StoredObject;

// Builds stored objects from exchange documents, all or nothing: a document is parsed and
// checked in full (ExchangeDocument) before the first object is created, and a refused
// document leaves the context exactly as it was, with one message naming the problem and where.
class JSONReader final
{
public:
    // Told after every few objects built, and once at the end.
    using Progress = std::function<void(qsizetype built, qsizetype total)>;

    explicit JSONReader(ObjectContext* context = nullptr);
    Q_DISABLE_COPY_MOVE(JSONReader)

    // The application's one reader; the application gives it its context at start-up.
    static JSONReader& shared();
    ObjectContext* context() const { return m_context; }
    void setContext(ObjectContext* context);

    // The identity map: "objectIDURI" → object built for it in the current document. Callers
    // empty it before each document (import, template, tutorial, paste of cards or columns).
    const QHash<QString, StoredObject*>& importedObjects() const { return m_importedObjects; }
    void clearImportedObjects() { m_importedObjects.clear(); }

    // What identities the objects built get: new ones, or (for undo, which brings deleted
    // objects back) the identity of the deleted object an entry's "objectIDURI" names, when
    // it is a deleted object of the reader's context and its identity is still free.
    enum class Identities
    {
        New,
        OfDeleted
    };

    // One object per member of each entry, in order: new objects, or the objects already built
    // for the same "objectIDURI". Nothing on refusal (and `error` says why); nothing is saved.
    // Entries of any entity but Root are accepted, since pasting cards and columns uses this.
    std::optional<QList<StoredObject*>>
    makeObjectsFromArrayOfDictionaryObjects(const QJsonArray& entries, QString* error = nullptr,
                                            Identities identities = Identities::New);
    std::optional<QList<StoredObject*>>
    makeObjectsFromJson(QByteArrayView json, QString* error = nullptr,
                        Identities identities = Identities::New);

    // Builds a checked document; this cannot fail (without a context it builds nothing). Parse
    // it with the identity map it will be built against: Options::knownObjects =
    // &importedObjects(), or none right after clearImportedObjects().
    QList<StoredObject*> makeObjects(const ExchangeDocument& document,
                                     const Progress& progress = {},
                                     Identities identities = Identities::New);

    // The rich text of a rich-text object; nothing when the object breaks the format.
    static std::optional<RichText> attributedStringFromDict(const QJsonObject& dictionary,
                                                            QString* error = nullptr);

    // A new object of a concrete entity; null for unknown names, DisplayItem and Root (the
    // store's one root is made by the sidebar, never by a document).
    StoredObject* insertNewObjectWithEntityName(QStringView name);

    // The import of a whole document: empties the identity map, checks that every top-level
    // entry can live in the sidebar (a folder, board or list) and that the store has its root,
    // then builds the objects into a new folder "Imported - <date time>" under the root. Returns
    // that folder, or null with `error` set and the context untouched. Saving is the caller's.
    Folder* importDocument(const ExchangeDocument& document, QString* error = nullptr,
                           const Progress& progress = {});
    Folder* importDocument(QByteArrayView json, QString* error = nullptr);

    // Whether the document has top-level entries and every one can live in the sidebar (a
    // folder, board or list), as the import needs; otherwise `error` says why. Lets a caller
    // refuse a document before offering it.
    static bool canImportAtTopLevel(const ExchangeDocument& document, QString* error = nullptr);

    // "Imported - " and the time in the user's short date and time formats.
    static QString importFolderTitle(const QDateTime& when);

private:
    ObjectContext* m_context;
    QHash<QString, StoredObject*> m_importedObjects;
};
