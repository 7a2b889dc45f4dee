#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QVariant>

class DisplayItem;
class RichText;
class StoredObject;

// Turns stored objects into object entries of the exchange document and writes export files.
// Stateless. An entry in memory is a QJsonObject (entity name → attribute object); the card
// and column clipboard payloads and undo records carry them too.
class JSONWriter final
{
public:
    JSONWriter() = delete;

    // The object's entry, or an empty object when the export rule leaves it out: a folder or
    // board whose export flag is false, unless it is a folder with exported descendants, which
    // is written with only those. Evaluating the rule for a folder brings its own export flag
    // in line with its children (Folder::childrenHasMixedStates), which is a change of the
    // context that the caller saves.
    static QJsonObject dictionaryFromObject(StoredObject& object);

    // The JSON form of one attribute value: null when absent, dates in UTC as
    // "yyyy-MM-dd HH:mm:ss", URLs as absolute text, rich text as its rich-text object.
    static QJsonValue exportValue(const QVariant& value);

    // The rich-text object: "string" and one run object per run, in text order.
    static QJsonObject dictionaryRepresentation(const RichText& text);

    // The document: the entries of the top-level items (the root's children) whose export flag
    // is true or that are folders with some exported children, in order.
    static QJsonArray documentFromTopLevelItems(const QList<DisplayItem*>& items);
    // The same document as compact JSON text, written with no JSON tree in between.
    static QByteArray documentJson(const QList<DisplayItem*>& items);

    // Writes that document as compact JSON to `path`, replacing the file only when the whole
    // document was written: on failure the old file stays and `error` says why.
    static bool exportToFile(const QList<DisplayItem*>& items, const QString& path,
                             QString* error = nullptr);
};
