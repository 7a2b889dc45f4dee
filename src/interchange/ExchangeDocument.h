#pragma once

#include "model/Entity.h"
#include "model/RichText.h"

#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringView>
#include <QVariant>

#include <optional>
#include <vector>

class StoredObject;
struct AttributeDescription;
struct RelationshipDescription;

// An exchange document that has been parsed and checked in full, held as the objects it
// describes. Parsing touches no object context, so it may run off the main thread; building
// the objects from it (JSONReader::makeObjects) cannot fail, which is what makes an import
// all or nothing.
class ExchangeDocument final
{
public:
    // JSON nesting deeper than this is refused: about 170 levels of folders.
    static constexpr int maximumDepth = 512;

    struct Node
    {
        Entity entity = Entity::Folder;
        // Set when the node stands for an object built from an earlier part of the same
        // document (the reader's identity map); nothing is built for it then.
        StoredObject* existing = nullptr;
        QString identity; // "objectIDURI", empty when the entry had none
        QList<std::pair<const AttributeDescription*, QVariant>> attributes;
        // Members are node indexes; a later mention of an object names its first node.
        QList<std::pair<const RelationshipDescription*, QList<qsizetype>>> relationships;
    };

    // One object per member of a top-level entry, in order.
    struct TopLevelObject
    {
        qsizetype node = 0;
        qsizetype entryIndex = 0; // position of the entry in the document's array
    };

    struct Options
    {
        // The identity map of objects built earlier for the same document; null or empty for
        // a new document. Read only during parse(), on the thread that owns those objects.
        const QHash<QString, StoredObject*>* knownObjects = nullptr;
    };

    // Parses and checks a whole document. On refusal returns nothing and sets `error` to one
    // message naming the problem and where, such as "[0].Kanban.column[2]: …".
    static std::optional<ExchangeDocument> parse(QByteArrayView json, QString* error,
                                                 const Options& options);
    static std::optional<ExchangeDocument> parse(QByteArrayView json, QString* error = nullptr)
    {
        return parse(json, error, Options{});
    }

    // Parses and checks one rich-text object.
    static std::optional<RichText> parseRichText(QByteArrayView json, QString* error = nullptr);

    // The document cut down to the top-level entries at `entryIndexes` (positions in the
    // document's array) and everything they reach, as the import selection chooses them.
    ExchangeDocument selectingEntries(const QList<qsizetype>& entryIndexes) const;
    // One attribute of a node as it will be set (the title a selection shows), or an invalid
    // QVariant when the entry did not give it.
    QVariant attributeValue(qsizetype node, QStringView name) const;

    const std::vector<Node>& nodes() const { return m_nodes; }
    const std::vector<TopLevelObject>& topLevel() const { return m_topLevel; }
    // How many objects building creates (nodes that do not stand for existing objects).
    qsizetype newObjectCount() const { return m_newObjectCount; }

private:
    friend class ExchangeValidator;
    ExchangeDocument() = default;

    std::vector<Node> m_nodes;
    std::vector<TopLevelObject> m_topLevel;
    qsizetype m_newObjectCount = 0;
};
