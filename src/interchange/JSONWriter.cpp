#include "JSONWriter.h"

#include "ExchangeFormat.h"
#include "JsonTextWriter.h"
#include "JsonTreeBuilder.h"
#include "model/EntityDescription.h"
#include "model/Folder.h"
#include "model/RichText.h"
#include "store/ObjectContext.h"

#include <QDateTime>
#include <QDir>
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

// The top-level rule of a document: marked items, and folders with some marked children.
bool passesTopLevelRule(DisplayItem& item)
{
    if (item.isExported())
        return true;
    return item.isKindOf(Entity::Folder) &&
           (static_cast<Folder&>(item).childrenHasMixedStates() || item.isExported());
}

// The rules of the exchange document, written once for both outputs: a Sink is a
// JsonTextWriter (files) or a JsonTreeBuilder (entries in memory).
template <class Sink>
class EntryWriter
{
public:
    explicit EntryWriter(Sink& sink)
        : m_sink(sink)
    {}

    // The entry of an object that passed the export rule.
    void entry(StoredObject& object)
    {
        const EntityDescription& description = EntityDescription::of(object.entity());
        m_sink.beginObject();
        m_sink.key(entityName(object.entity()));
        m_sink.beginObject();
        for (const AttributeDescription& attribute : description.attributes) {
            m_sink.key(attribute.name);
            value(attribute.get(object));
        }
        for (const RelationshipDescription& relationship : description.relationships) {
            m_sink.key(relationship.name);
            m_sink.beginArray();
            for (StoredObject* member : relationship.get(object)) {
                if (passesExportRule(*member))
                    entry(*member);
            }
            m_sink.endArray();
        }
        m_sink.key(ExchangeFormat::objectIdKey);
        m_sink.string(object.context()->uriFor(&object));
        m_sink.endObject();
        m_sink.endObject();
    }

    void value(const QVariant& value)
    {
        if (!value.isValid() || value.isNull()) {
            m_sink.null();
            return;
        }
        switch (value.typeId()) {
        case QMetaType::QDateTime: {
            const QDateTime date = value.toDateTime();
            if (date.isValid())
                m_sink.string(ExchangeFormat::formatDate(date));
            else
                m_sink.null();
            return;
        }
        case QMetaType::QUrl:
            m_sink.string(ExchangeFormat::urlText(value.toUrl()));
            return;
        case QMetaType::QString:
            m_sink.string(value.toString());
            return;
        case QMetaType::Bool:
            m_sink.boolean(value.toBool());
            return;
        case QMetaType::Double:
        case QMetaType::Float:
            m_sink.number(value.toDouble());
            return;
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Long:
        case QMetaType::LongLong:
            m_sink.number(qint64(value.toLongLong()));
            return;
        default:
            break;
        }
        if (value.typeId() == qMetaTypeId<RichText>()) {
            richText(value.value<RichText>());
            return;
        }
        // The model carries no other types; anything else is passed through as Qt sees it.
        const QJsonValue json = QJsonValue::fromVariant(value);
        if (json.isString())
            m_sink.string(json.toString());
        else
            m_sink.null();
    }

    void richText(const RichText& text)
    {
        m_sink.beginObject();
        m_sink.key(ExchangeFormat::stringKey);
        m_sink.string(text.text());
        m_sink.key(ExchangeFormat::runsKey);
        m_sink.beginArray();
        for (const RichText::Run& run : text.runs()) {
            m_sink.beginObject();
            m_sink.key(ExchangeFormat::rangeKey);
            m_sink.beginObject();
            m_sink.key(ExchangeFormat::locationKey);
            m_sink.number(qint64(run.location));
            m_sink.key(ExchangeFormat::lengthKey);
            m_sink.number(qint64(run.length));
            m_sink.endObject();
            m_sink.key(ExchangeFormat::attributesKey);
            runAttributes(run.attributes);
            m_sink.endObject();
        }
        m_sink.endArray();
        m_sink.endObject();
    }

private:
    void runAttributes(const RichText::Attributes& attributes)
    {
        m_sink.beginObject();
        if (attributes.styleName) {
            m_sink.key(ExchangeFormat::styleNameKey);
            m_sink.string(*attributes.styleName);
        }
        if (attributes.checklistChecked) {
            m_sink.key(ExchangeFormat::checklistKey);
            m_sink.boolean(*attributes.checklistChecked);
        }
        if (attributes.strikethrough != 0) {
            m_sink.key(ExchangeFormat::strikethroughKey);
            m_sink.number(qint64(attributes.strikethrough));
        }
        if (const auto& attachment = attributes.attachment)
            this->attachment(*attachment);
        m_sink.endObject();
    }

    // A link becomes "NSLink" (a link without "URL" is written without it); other files their
    // bytes in Base64. Links that do not decode and empty files are left out.
    void attachment(const RichText::Attachment& attachment)
    {
        if (attachment.isLink()) {
            const auto link = ExchangeFormat::decodeLink(attachment.contents);
            if (!link)
                return;
            m_sink.key(ExchangeFormat::linkKey);
            m_sink.beginObject();
            if (link->url) {
                m_sink.key(ExchangeFormat::linkUrlKey);
                m_sink.string(ExchangeFormat::urlText(*link->url));
            }
            if (link->title) {
                m_sink.key(ExchangeFormat::linkTitleKey);
                m_sink.string(*link->title);
            }
            if (link->body) {
                m_sink.key(ExchangeFormat::linkBodyKey);
                m_sink.string(*link->body);
            }
            m_sink.endObject();
        } else if (!attachment.contents.isEmpty()) {
            const QByteArray base64 = attachment.contents.toBase64();
            m_sink.key(ExchangeFormat::attachmentKey);
            m_sink.asciiString(std::string_view(base64.constData(), size_t(base64.size())));
        }
    }

    Sink& m_sink;
};

template <class Sink>
void writeDocument(Sink& sink, const QList<DisplayItem*>& items)
{
    EntryWriter<Sink> writer(sink);
    sink.beginArray();
    for (DisplayItem* item : items) {
        if (item && passesTopLevelRule(*item))
            writer.entry(*item);
    }
    sink.endArray();
}

} // namespace

QJsonObject JSONWriter::dictionaryFromObject(StoredObject& object)
{
    if (!passesExportRule(object))
        return {};
    JsonTreeBuilder builder;
    EntryWriter(builder).entry(object);
    return builder.result().toObject();
}

QJsonValue JSONWriter::exportValue(const QVariant& value)
{
    JsonTreeBuilder builder;
    EntryWriter(builder).value(value);
    return builder.result();
}

QJsonObject JSONWriter::dictionaryRepresentation(const RichText& text)
{
    JsonTreeBuilder builder;
    EntryWriter(builder).richText(text);
    return builder.result().toObject();
}

QJsonArray JSONWriter::documentFromTopLevelItems(const QList<DisplayItem*>& items)
{
    JsonTreeBuilder builder;
    writeDocument(builder, items);
    return builder.result().toArray();
}

QByteArray JSONWriter::documentJson(const QList<DisplayItem*>& items)
{
    JsonTextWriter writer;
    writeDocument(writer, items);
    return writer.toByteArray();
}

bool JSONWriter::exportToFile(const QList<DisplayItem*>& items, const QString& path, QString* error)
{
    JsonTextWriter writer;
    writeDocument(writer, items);
    const std::string& json = writer.text();
    const auto size = qint64(json.size());
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
    if (file.write(json.data(), size) != size)
        return fail(file.errorString());
    // Qt 6.4's commit() can report success for a file cut short (a full disk, a size limit):
    // flush and check the size while the old file is still in place.
    if (!file.flush())
        return fail(file.errorString());
    if (file.size() != size)
        return fail(QStringLiteral("only %1 of %2 bytes were written").arg(file.size()).arg(size));
    if (!file.commit())
        return fail(file.errorString());
    return true;
}
