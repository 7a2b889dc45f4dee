#include "JSONWriter.h"

#include "ExchangeFormat.h"
#include "model/EntityDescription.h"
#include "model/Folder.h"
#include "model/RichText.h"
#include "store/ObjectContext.h"

#include <QDateTime>
#include <QDir>
#include <QJsonDocument>
#include <QSaveFile>
#include <QUrl>

namespace {

// The export rule for one object; may update a folder's own export flag (see the header).
bool passesExportRule(StoredObject& object)
{
    if (object.isKindOf(Entity::Kanban))
        return static_cast<DisplayItem&>(object).isExported();
    if (!object.isKindOf(Entity::Folder))
        return true;
    auto& folder = static_cast<Folder&>(object);
    if (folder.isExported())
        return true;
    // A folder whose every child is exported has just had its flag set: writing it is what the
    // selection shows, where leaving it out would silently drop every one of those children.
    return folder.childrenHasMixedStates() || folder.isExported();
}

QJsonObject linkObject(const RichText::Attachment& attachment, bool* ok)
{
    const auto link = ExchangeFormat::decodeLink(attachment.contents);
    *ok = link.has_value();
    QJsonObject object;
    if (!link)
        return object;
    if (link->url)
        object.insert(ExchangeFormat::linkUrlKey, ExchangeFormat::urlText(*link->url));
    if (link->title)
        object.insert(ExchangeFormat::linkTitleKey, *link->title);
    if (link->body)
        object.insert(ExchangeFormat::linkBodyKey, *link->body);
    return object;
}

QJsonObject runAttributes(const RichText::Attributes& attributes)
{
    QJsonObject encoded;
    if (attributes.styleName)
        encoded.insert(ExchangeFormat::styleNameKey, *attributes.styleName);
    if (attributes.checklistChecked)
        encoded.insert(ExchangeFormat::checklistKey, *attributes.checklistChecked);
    if (attributes.strikethrough != 0)
        encoded.insert(ExchangeFormat::strikethroughKey, attributes.strikethrough);
    if (const auto& attachment = attributes.attachment) {
        if (attachment->isLink()) {
            bool ok = false;
            const QJsonObject link = linkObject(*attachment, &ok);
            if (ok)
                encoded.insert(ExchangeFormat::linkKey, link);
        } else if (!attachment->contents.isEmpty()) {
            encoded.insert(ExchangeFormat::attachmentKey,
                           QString::fromLatin1(attachment->contents.toBase64()));
        }
    }
    return encoded;
}

} // namespace

QJsonObject JSONWriter::dictionaryFromObject(StoredObject& object)
{
    if (!passesExportRule(object))
        return {};
    const EntityDescription& description = EntityDescription::of(object.entity());
    QJsonObject attributes;
    for (const AttributeDescription& attribute : description.attributes)
        attributes.insert(attribute.name, exportValue(attribute.get(object)));
    for (const RelationshipDescription& relationship : description.relationships) {
        QJsonArray members;
        for (StoredObject* member : relationship.get(object)) {
            QJsonObject entry = dictionaryFromObject(*member);
            if (!entry.isEmpty())
                members.append(entry);
        }
        attributes.insert(relationship.name, members);
    }
    if (attributes.isEmpty())
        return {};
    attributes.insert(ExchangeFormat::objectIdKey, object.context()->uriFor(&object));
    return QJsonObject{{entityName(object.entity()), attributes}};
}

QJsonValue JSONWriter::exportValue(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return QJsonValue::Null;
    switch (value.typeId()) {
    case QMetaType::QDateTime: {
        const QDateTime date = value.toDateTime();
        return date.isValid() ? QJsonValue(ExchangeFormat::formatDate(date)) : QJsonValue::Null;
    }
    case QMetaType::QUrl:
        return ExchangeFormat::urlText(value.toUrl());
    case QMetaType::QString:
        return value.toString();
    case QMetaType::Bool:
        return value.toBool();
    case QMetaType::Double:
    case QMetaType::Float:
        return value.toDouble();
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::Long:
        return value.toLongLong();
    default:
        break;
    }
    if (value.typeId() == qMetaTypeId<RichText>())
        return dictionaryRepresentation(value.value<RichText>());
    return QJsonValue::fromVariant(value);
}

QJsonObject JSONWriter::dictionaryRepresentation(const RichText& text)
{
    QJsonArray runs;
    for (const RichText::Run& run : text.runs()) {
        const QJsonObject range{{ExchangeFormat::locationKey, run.location},
                                {ExchangeFormat::lengthKey, run.length}};
        runs.append(QJsonObject{{ExchangeFormat::attributesKey, runAttributes(run.attributes)},
                                {ExchangeFormat::rangeKey, range}});
    }
    return {{ExchangeFormat::stringKey, text.text()}, {ExchangeFormat::runsKey, runs}};
}

QJsonArray JSONWriter::documentFromTopLevelItems(const QList<DisplayItem*>& items)
{
    QJsonArray document;
    for (DisplayItem* item : items) {
        if (!item)
            continue;
        const bool mixedFolder = item->isKindOf(Entity::Folder) && !item->isExported() &&
                                 static_cast<Folder*>(item)->childrenHasMixedStates();
        if (!item->isExported() && !mixedFolder)
            continue;
        const QJsonObject entry = dictionaryFromObject(*item);
        if (!entry.isEmpty())
            document.append(entry);
    }
    return document;
}

bool JSONWriter::exportToFile(const QList<DisplayItem*>& items, const QString& path, QString* error)
{
    const QByteArray json =
        QJsonDocument(documentFromTopLevelItems(items)).toJson(QJsonDocument::Compact);
    QSaveFile file(path);
    const auto fail = [&](const QString& what) {
        if (error)
            *error = QStringLiteral("The export could not be written to %1: %2")
                         .arg(QDir::toNativeSeparators(path), what);
        file.cancelWriting();
        return false;
    };
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    if (file.write(json) != json.size())
        return fail(file.errorString());
    // Qt 6.4's commit() can report success for a file cut short (a full disk, a size limit):
    // flush and check the size while the old file is still in place.
    if (!file.flush())
        return fail(file.errorString());
    if (file.size() != json.size())
        return fail(
            QStringLiteral("only %1 of %2 bytes were written").arg(file.size()).arg(json.size()));
    if (!file.commit())
        return fail(file.errorString());
    return true;
}
