#include "ExchangeValidator.h"

#include "ExchangeFormat.h"
#include "model/EntityDescription.h"
#include "model/StoredObject.h"

#include <QJsonDocument>
#include <QJsonParseError>

#include <algorithm>
#include <cmath>
#include <limits>
#include <simdjson.h>
#include <string_view>

namespace dom = simdjson::dom;

namespace {

QString text(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

bool sameName(std::string_view utf8, QStringView name)
{
    if (utf8.size() != size_t(name.size()))
        return false;
    for (size_t i = 0; i < utf8.size(); ++i) {
        if (char16_t(static_cast<unsigned char>(utf8[i])) != name[qsizetype(i)].unicode())
            return false;
    }
    return true;
}

bool sameName(std::string_view utf8, QLatin1StringView name)
{
    return utf8 == std::string_view(name.data(), size_t(name.size()));
}

std::string_view key(QLatin1StringView name)
{
    return {name.data(), size_t(name.size())};
}

std::optional<Entity> entityFromUtf8(std::string_view name)
{
    // Entity names are ASCII; anything else is no entity.
    if (name.size() > 32)
        return std::nullopt;
    return entityFromName(text(name));
}

std::optional<double> numberOf(dom::element value)
{
    switch (value.type()) {
    case dom::element_type::INT64:
        return double(value.get_int64().value_unsafe());
    case dom::element_type::UINT64:
        return double(value.get_uint64().value_unsafe());
    case dom::element_type::DOUBLE:
        return value.get_double().value_unsafe();
    default:
        return std::nullopt;
    }
}

// A whole number within [minimum, maximum], written with or without a fraction of zero.
std::optional<qint64> integerOf(dom::element value, qint64 minimum, qint64 maximum)
{
    qint64 result = 0;
    switch (value.type()) {
    case dom::element_type::INT64:
        result = value.get_int64().value_unsafe();
        break;
    case dom::element_type::UINT64: {
        const quint64 u = value.get_uint64().value_unsafe();
        if (u > quint64(std::numeric_limits<qint64>::max()))
            return std::nullopt;
        result = qint64(u);
        break;
    }
    case dom::element_type::DOUBLE: {
        const double d = value.get_double().value_unsafe();
        if (!(d >= -9007199254740992.0 && d <= 9007199254740992.0) || std::trunc(d) != d)
            return std::nullopt;
        result = qint64(d);
        break;
    }
    default:
        return std::nullopt;
    }
    if (result < minimum || result > maximum)
        return std::nullopt;
    return result;
}

// JSON true or false, or the numbers 0 and 1.
std::optional<bool> booleanOf(dom::element value)
{
    if (value.is_bool())
        return value.get_bool().value_unsafe();
    const auto number = integerOf(value, 0, 1);
    if (number)
        return *number == 1;
    return std::nullopt;
}

QString typeName(dom::element value)
{
    switch (value.type()) {
    case dom::element_type::ARRAY:
        return QStringLiteral("an array");
    case dom::element_type::OBJECT:
        return QStringLiteral("an object");
    case dom::element_type::INT64:
    case dom::element_type::UINT64:
    case dom::element_type::DOUBLE:
        return QStringLiteral("a number");
    case dom::element_type::STRING:
        return QStringLiteral("a string");
    case dom::element_type::BOOL:
        return QStringLiteral("a boolean");
    case dom::element_type::NULL_VALUE:
        return QStringLiteral("null");
    }
    return QStringLiteral("a value");
}

// Where in the document the checker is, kept cheaply and turned into text only for a message.
class Path
{
public:
    void push(qsizetype index) { m_segments.push_back({{}, index}); }
    void push(std::string_view name) { m_segments.push_back({name, -1}); }
    void pop() { m_segments.pop_back(); }

    QString toString() const
    {
        QString result;
        for (const Segment& segment : m_segments) {
            if (segment.index >= 0) {
                result += u'[' + QString::number(segment.index) + u']';
            } else {
                if (!result.isEmpty())
                    result += u'.';
                result += text(segment.name);
            }
        }
        return result.isEmpty() ? QStringLiteral("document") : result;
    }

private:
    struct Segment
    {
        std::string_view name;
        qsizetype index;
    };
    std::vector<Segment> m_segments;
};

// Pushes a path segment for the life of a scope.
class PathScope
{
public:
    template <class Segment>
    PathScope(Path& path, Segment segment)
        : m_path(path)
    {
        m_path.push(segment);
    }
    ~PathScope() { m_path.pop(); }
    Q_DISABLE_COPY_MOVE(PathScope)

private:
    Path& m_path;
};

class Checker
{
public:
    explicit Checker(const QHash<QString, StoredObject*>* known)
        : m_known(known)
    {}

    std::vector<ExchangeDocument::Node> nodes;
    std::vector<ExchangeDocument::TopLevelObject> topLevel;
    qsizetype newObjectCount = 0;

    const QString& error() const { return m_error; }

    bool document(dom::element root)
    {
        dom::array entries;
        if (root.get_array().get(entries))
            return fail(QStringLiteral("the top level must be an array of object entries, not %1")
                            .arg(typeName(root)));
        qsizetype index = 0;
        for (dom::element entry : entries) {
            PathScope scope(m_path, index);
            QList<qsizetype> built;
            if (!objectEntry(entry, nullptr, Entity::DisplayItem, built))
                return false;
            for (qsizetype node : std::as_const(built))
                topLevel.push_back({node, index});
            ++index;
        }
        return true;
    }

    std::optional<RichText> richText(dom::element value)
    {
        dom::object object;
        if (value.get_object().get(object)) {
            fail(QStringLiteral("a rich-text object must be an object with \"string\" and "
                                "\"runs\", not %1")
                     .arg(typeName(value)));
            return std::nullopt;
        }
        dom::element string;
        dom::element runs;
        if (object.at_key(key(ExchangeFormat::stringKey)).get(string) || !string.is_string() ||
            object.at_key(key(ExchangeFormat::runsKey)).get(runs) || !runs.is_array()) {
            fail(QStringLiteral(
                "a rich-text object needs \"string\" (a string) and \"runs\" (an array)"));
            return std::nullopt;
        }
        const QString plain = text(string.get_string().value_unsafe());
        QList<RichText::Run> attributed;
        std::vector<std::pair<qsizetype, qsizetype>> ranges; // location, index in "runs"
        std::vector<qsizetype> lengths;
        PathScope runsScope(m_path, std::string_view("runs"));
        qsizetype index = 0;
        const dom::array runArray = runs.get_array().value_unsafe();
        for (dom::element runValue : runArray) {
            PathScope scope(m_path, index);
            RichText::Run run;
            if (!this->run(runValue, plain.size(), run))
                return std::nullopt;
            if (run.length > 0) {
                ranges.emplace_back(run.location, index);
                lengths.push_back(run.length);
                if (!run.attributes.isEmpty())
                    attributed.append(run);
            }
            ++index;
        }
        // Runs may come in any order, but no two may share a character.
        std::vector<size_t> order(ranges.size());
        for (size_t i = 0; i < order.size(); ++i)
            order[i] = i;
        std::stable_sort(order.begin(), order.end(),
                         [&](size_t a, size_t b) { return ranges[a].first < ranges[b].first; });
        for (size_t i = 1; i < order.size(); ++i) {
            const size_t before = order[i - 1];
            const size_t current = order[i];
            if (ranges[current].first < ranges[before].first + lengths[before]) {
                const auto [first, second] =
                    std::minmax(ranges[before].second, ranges[current].second);
                fail(QStringLiteral("runs[%1] and runs[%2] overlap").arg(first).arg(second));
                return std::nullopt;
            }
        }
        std::stable_sort(
            attributed.begin(), attributed.end(),
            [](const RichText::Run& a, const RichText::Run& b) { return a.location < b.location; });
        auto result = RichText::fromRuns(plain, attributed);
        if (!result)
            fail(QStringLiteral("the runs do not fit the text"));
        return result;
    }

private:
    bool fail(const QString& problem)
    {
        m_error = m_path.toString() + QStringLiteral(": ") + problem;
        return false;
    }

    // One element of the top-level array or of a relationship array: an object whose members
    // are entity names. `destination` is the relationship's entity, or null at the top level.
    bool objectEntry(dom::element entry, const RelationshipDescription* relationship, Entity owner,
                     QList<qsizetype>& built)
    {
        dom::object members;
        if (entry.get_object().get(members))
            return fail(QStringLiteral("must be an object entry (an object whose member names an "
                                       "entity), not %1")
                            .arg(typeName(entry)));
        if (members.begin() == members.end())
            return fail(QStringLiteral("an empty object is not an object entry"));
        for (dom::key_value_pair member : members) {
            PathScope scope(m_path, member.key);
            const std::optional<Entity> entity = entityFromUtf8(member.key);
            if (!entity || *entity == Entity::DisplayItem)
                return fail(QStringLiteral("\"%1\" is not an entity of the document")
                                .arg(text(member.key)));
            if (*entity == Entity::Root)
                return fail(QStringLiteral("a Root cannot be imported; the store has its own"));
            if (relationship &&
                !ExchangeFormat::relationshipAccepts(relationship->destination, *entity))
                return fail(QStringLiteral("a %1 cannot be a member of \"%2\" of a %3")
                                .arg(entityName(*entity), relationship->name, entityName(owner)));
            dom::object attributes;
            if (member.value.get_object().get(attributes))
                return fail(QStringLiteral("the attribute object must be an object, not %1")
                                .arg(typeName(member.value)));
            const qsizetype node = object(*entity, attributes);
            if (node < 0)
                return false;
            if (relationship && !takeOwnership(node, owner, *relationship))
                return false;
            built.append(node);
        }
        return true;
    }

    bool takeOwnership(qsizetype node, Entity owner, const RelationshipDescription& relationship)
    {
        if (m_inProgress[size_t(node)])
            return fail(QStringLiteral("this %1 would contain itself (its \"objectIDURI\" names "
                                       "an entry that encloses it)")
                            .arg(entityName(nodes[size_t(node)].entity)));
        if (nodes[size_t(node)].existing)
            return true;
        const std::optional<int> slot = ExchangeFormat::ownerSlot(owner, relationship.name);
        if (!slot)
            return true;
        const quint8 bit = quint8(1u << *slot);
        if (m_owners[size_t(node)] & bit)
            return fail(QStringLiteral("this %1 already belongs to another \"%2\" of the document "
                                       "(same \"objectIDURI\")")
                            .arg(entityName(nodes[size_t(node)].entity), relationship.name));
        m_owners[size_t(node)] |= bit;
        return true;
    }

    // An attribute object; returns its node, or -1 after a failure.
    qsizetype object(Entity entity, dom::object attributes)
    {
        QString identity;
        dom::element identityValue;
        if (!attributes.at_key(key(ExchangeFormat::objectIdKey)).get(identityValue) &&
            !identityValue.is_null()) {
            if (!identityValue.is_string()) {
                PathScope scope(m_path, key(ExchangeFormat::objectIdKey));
                fail(QStringLiteral("must be a string, not %1").arg(typeName(identityValue)));
                return -1;
            }
            identity = text(identityValue.get_string().value_unsafe());
        }
        if (!identity.isNull()) {
            const auto mention = m_identities.constFind(identity);
            if (mention != m_identities.cend())
                return laterMention(*mention, entity, identity);
            if (m_known) {
                StoredObject* existing = m_known->value(identity);
                if (existing && !existing->isDeleted())
                    return existingObject(existing, entity, identity);
            }
        }

        const qsizetype index = qsizetype(nodes.size());
        nodes.push_back({entity, nullptr, identity, {}, {}});
        m_owners.push_back(0);
        m_inProgress.push_back(true);
        ++newObjectCount;
        if (!identity.isNull())
            m_identities.insert(identity, index);

        const EntityDescription& description = EntityDescription::of(entity);
        quint32 seen = 0;
        bool identitySeen = false;
        for (dom::key_value_pair member : attributes) {
            if (sameName(member.key, ExchangeFormat::objectIdKey)) {
                if (identitySeen) {
                    PathScope scope(m_path, member.key);
                    fail(QStringLiteral("appears twice"));
                    return -1;
                }
                identitySeen = true;
                continue;
            }
            const qsizetype attribute = attributeIndex(description, member.key);
            const qsizetype relationship =
                attribute < 0 ? relationshipIndex(description, member.key) : -1;
            if (attribute < 0 && relationship < 0)
                continue; // not part of this entity: skipped
            PathScope scope(m_path, member.key);
            const quint32 bit = 1u << (attribute >= 0 ? attribute : 16 + relationship);
            if (seen & bit) {
                fail(QStringLiteral("appears twice"));
                return -1;
            }
            seen |= bit;
            if (member.value.is_null())
                continue; // absent: the attribute keeps its default
            if (attribute >= 0) {
                const AttributeDescription& a = description.attributes[attribute];
                QVariant value;
                if (!attributeValue(a, member.value, value))
                    return -1;
                nodes[size_t(index)].attributes.append({&a, std::move(value)});
            } else {
                const RelationshipDescription& r = description.relationships[relationship];
                dom::array array;
                if (member.value.get_array().get(array)) {
                    fail(QStringLiteral("must be an array of object entries, not %1")
                             .arg(typeName(member.value)));
                    return -1;
                }
                QList<qsizetype> members;
                qsizetype position = 0;
                for (dom::element entry : array) {
                    PathScope entryScope(m_path, position);
                    if (!objectEntry(entry, &r, entity, members))
                        return -1;
                    ++position;
                }
                nodes[size_t(index)].relationships.append({&r, std::move(members)});
            }
        }
        m_inProgress[size_t(index)] = false;
        return index;
    }

    qsizetype laterMention(qsizetype node, Entity entity, const QString& identity)
    {
        const Entity first = nodes[size_t(node)].entity;
        if (first != entity) {
            fail(QStringLiteral("\"objectIDURI\" %1 names a %2 elsewhere in the document; it "
                                "cannot also name a %3")
                     .arg(identity, entityName(first), entityName(entity)));
            return -1;
        }
        return node; // a later mention stands for the first; its other members are not read
    }

    qsizetype existingObject(StoredObject* existing, Entity entity, const QString& identity)
    {
        if (existing->entity() != entity) {
            fail(QStringLiteral("\"objectIDURI\" %1 names a %2 built earlier; it cannot also "
                                "name a %3")
                     .arg(identity, entityName(existing->entity()), entityName(entity)));
            return -1;
        }
        const qsizetype index = qsizetype(nodes.size());
        nodes.push_back({entity, existing, identity, {}, {}});
        m_owners.push_back(0);
        m_inProgress.push_back(false);
        m_identities.insert(identity, index);
        return index;
    }

    static qsizetype attributeIndex(const EntityDescription& description, std::string_view key)
    {
        for (qsizetype i = 0; i < description.attributes.size(); ++i) {
            if (sameName(key, description.attributes[i].name))
                return i;
        }
        return -1;
    }

    static qsizetype relationshipIndex(const EntityDescription& description, std::string_view key)
    {
        for (qsizetype i = 0; i < description.relationships.size(); ++i) {
            if (sameName(key, description.relationships[i].name))
                return i;
        }
        return -1;
    }

    bool attributeValue(const AttributeDescription& attribute, dom::element value, QVariant& out)
    {
        switch (attribute.type) {
        case AttributeType::String:
            if (!value.is_string())
                return fail(QStringLiteral("must be a string, not %1").arg(typeName(value)));
            out = text(value.get_string().value_unsafe());
            return true;
        case AttributeType::Integer16: {
            const auto number = integerOf(value, std::numeric_limits<qint16>::min(),
                                          std::numeric_limits<qint16>::max());
            if (!number)
                return fail(QStringLiteral("must be a whole number from -32768 to 32767"));
            out = QVariant::fromValue(qint16(*number));
            return true;
        }
        case AttributeType::Double: {
            const auto number = numberOf(value);
            if (!number)
                return fail(QStringLiteral("must be a number, not %1").arg(typeName(value)));
            out = *number;
            return true;
        }
        case AttributeType::Boolean: {
            const auto flag = booleanOf(value);
            if (!flag)
                return fail(QStringLiteral("must be true, false, 0 or 1"));
            out = *flag;
            return true;
        }
        case AttributeType::Date: {
            std::optional<QDateTime> date;
            if (value.is_string())
                date = ExchangeFormat::parseDate(value.get_string().value_unsafe());
            if (!date)
                return fail(QStringLiteral("must be a date in the form \"yyyy-MM-dd HH:mm:ss\" "
                                           "(UTC)"));
            out = *date;
            return true;
        }
        case AttributeType::RichText: {
            auto notes = richText(value);
            if (!notes)
                return false;
            out = QVariant::fromValue(std::move(*notes));
            return true;
        }
        }
        return fail(QStringLiteral("has a type the document cannot carry"));
    }

    bool run(dom::element value, qsizetype textLength, RichText::Run& run)
    {
        dom::object object;
        if (value.get_object().get(object))
            return fail(QStringLiteral("a run must be an object, not %1").arg(typeName(value)));
        dom::element range;
        if (object.at_key(key(ExchangeFormat::rangeKey)).get(range) || !range.is_object())
            return fail(QStringLiteral("a run needs a \"range\" object"));
        {
            PathScope scope(m_path, std::string_view("range"));
            dom::element location;
            dom::element length;
            const dom::object r = range.get_object().value_unsafe();
            const qint64 limit = std::numeric_limits<qint32>::max();
            std::optional<qint64> l;
            std::optional<qint64> n;
            if (!r.at_key(key(ExchangeFormat::locationKey)).get(location))
                l = integerOf(location, std::numeric_limits<qint64>::min() / 2, limit);
            if (!r.at_key(key(ExchangeFormat::lengthKey)).get(length))
                n = integerOf(length, std::numeric_limits<qint64>::min() / 2, limit);
            if (!l || !n)
                return fail(QStringLiteral("needs whole numbers \"location\" and \"length\""));
            if (*l < 0 || *n < 0)
                return fail(QStringLiteral("location %1 and length %2 may not be negative")
                                .arg(*l)
                                .arg(*n));
            if (*l + *n > textLength)
                return fail(QStringLiteral("location %1 and length %2 lie outside the text of %3 "
                                           "UTF-16 code units")
                                .arg(*l)
                                .arg(*n)
                                .arg(textLength));
            run.location = qsizetype(*l);
            run.length = qsizetype(*n);
        }
        dom::element attributes;
        if (object.at_key(key(ExchangeFormat::attributesKey)).get(attributes) ||
            attributes.is_null())
            return true;
        PathScope scope(m_path, std::string_view("attributes"));
        dom::object members;
        if (attributes.get_object().get(members))
            return fail(QStringLiteral("must be an object, not %1").arg(typeName(attributes)));
        return runAttributes(members, run.attributes);
    }

    bool runAttributes(dom::object members, RichText::Attributes& attributes)
    {
        std::optional<RichText::Attachment> image;
        std::optional<RichText::Attachment> link;
        for (dom::key_value_pair member : members) {
            const std::string_view key = member.key;
            const dom::element value = member.value;
            if (sameName(key, ExchangeFormat::styleNameKey)) {
                const std::string_view name =
                    value.is_string() ? value.get_string().value_unsafe() : std::string_view();
                attributes.styleName = ExchangeFormat::normalisedStyleName(text(name));
            } else if (sameName(key, ExchangeFormat::checklistKey)) {
                const auto checked = booleanOf(value);
                if (!checked) {
                    PathScope scope(m_path, key);
                    return fail(QStringLiteral("must be true or false"));
                }
                attributes.checklistChecked = *checked;
            } else if (sameName(key, ExchangeFormat::strikethroughKey)) {
                const auto style = integerOf(value, std::numeric_limits<int>::min(),
                                             std::numeric_limits<int>::max());
                if (!style) {
                    PathScope scope(m_path, key);
                    return fail(QStringLiteral("must be a whole number"));
                }
                attributes.strikethrough = int(*style);
            } else if (sameName(key, ExchangeFormat::attachmentKey)) {
                image = imageAttachment(value);
            } else if (sameName(key, ExchangeFormat::linkKey)) {
                link = linkAttachment(value);
            }
        }
        // Member order means nothing, so a link wins over a picture on the same character.
        if (link)
            attributes.attachment = std::move(link);
        else if (image)
            attributes.attachment = std::move(image);
        return true;
    }

    // Not Base64 or not a picture: the attachment is left out, the run keeps the rest.
    static std::optional<RichText::Attachment> imageAttachment(dom::element value)
    {
        if (!value.is_string())
            return std::nullopt;
        const std::string_view encoded = value.get_string().value_unsafe();
        const auto decoded = QByteArray::fromBase64Encoding(
            QByteArray::fromRawData(encoded.data(), qsizetype(encoded.size())),
            QByteArray::Base64Encoding | QByteArray::AbortOnBase64DecodingErrors);
        if (!decoded)
            return std::nullopt;
        QByteArray bytes = *decoded;
        bytes.detach(); // the decoded bytes must not point into the parser's buffer
        const auto type = ExchangeFormat::imageType(bytes);
        if (!type)
            return std::nullopt;
        return RichText::Attachment{*type, bytes};
    }

    static std::optional<RichText::Attachment> linkAttachment(dom::element value)
    {
        dom::object object;
        if (value.get_object().get(object))
            return std::nullopt;
        ExchangeFormat::Link link;
        for (dom::key_value_pair member : object) {
            if (!member.value.is_string())
                continue;
            const QString string = text(member.value.get_string().value_unsafe());
            if (sameName(member.key, ExchangeFormat::linkUrlKey)) {
                const QUrl url(string);
                if (url.isValid() && !url.isEmpty())
                    link.url = url;
            } else if (sameName(member.key, ExchangeFormat::linkTitleKey)) {
                link.title = string;
            } else if (sameName(member.key, ExchangeFormat::linkBodyKey)) {
                link.body = string;
            }
        }
        return RichText::Attachment{RichText::Attachment::linkFileType(),
                                    ExchangeFormat::encodeLink(link)};
    }

    const QHash<QString, StoredObject*>* m_known;
    QHash<QString, qsizetype> m_identities; // "objectIDURI" → node of its first mention
    std::vector<quint8> m_owners;           // per node: the owned relationships it is in
    std::vector<bool> m_inProgress;         // per node: its entry is still being read
    Path m_path;
    QString m_error;
};

bool parseJson(dom::parser& parser, QByteArrayView json, dom::element& root, QString* error)
{
    simdjson::error_code code =
        parser.allocate(size_t(json.size()), ExchangeDocument::maximumDepth);
    if (!code)
        code = parser.parse(json.data(), size_t(json.size())).get(root);
    if (!code)
        return true;
    if (!error)
        return false;
    switch (code) {
    case simdjson::UTF8_ERROR:
        *error = QStringLiteral("The document is not valid UTF-8.");
        break;
    case simdjson::DEPTH_ERROR:
        *error = QStringLiteral("The document nests deeper than %1 levels.")
                     .arg(ExchangeDocument::maximumDepth);
        break;
    case simdjson::EMPTY:
        *error = QStringLiteral("The document is empty.");
        break;
    case simdjson::MEMALLOC:
    case simdjson::CAPACITY:
        *error = QStringLiteral("The document is too large to read.");
        break;
    default: {
        // simdjson does not say where; Qt's parser, run only on this path, usually does.
        QJsonParseError located;
        QJsonDocument::fromJson(json.toByteArray(), &located);
        *error = QStringLiteral("The document is not valid JSON: %1")
                     .arg(QString::fromUtf8(simdjson::error_message(code)));
        if (located.error != QJsonParseError::NoError)
            *error += QStringLiteral(" (near byte %1)").arg(located.offset);
        *error += u'.';
    }
    }
    return false;
}

} // namespace

std::optional<ExchangeDocument>
ExchangeValidator::validateDocument(QByteArrayView json, const ExchangeDocument::Options& options,
                                    QString* error)
{
    dom::parser parser;
    dom::element root;
    if (!parseJson(parser, json, root, error))
        return std::nullopt;
    Checker checker(options.knownObjects);
    if (!checker.document(root)) {
        if (error)
            *error = checker.error();
        return std::nullopt;
    }
    ExchangeDocument document;
    document.m_nodes = std::move(checker.nodes);
    document.m_topLevel = std::move(checker.topLevel);
    document.m_newObjectCount = checker.newObjectCount;
    return document;
}

std::optional<RichText> ExchangeValidator::validateRichText(QByteArrayView json, QString* error)
{
    dom::parser parser;
    dom::element root;
    if (!parseJson(parser, json, root, error))
        return std::nullopt;
    Checker checker(nullptr);
    auto result = checker.richText(root);
    if (!result && error)
        *error = checker.error();
    return result;
}
