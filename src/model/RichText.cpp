#include "RichText.h"

#include "AttachmentDigest.h"

#include <QCborArray>
#include <QCborMap>
#include <QCborValue>

#include <algorithm>

namespace {

// Versions of the encoding; decode() refuses others. The second may name bytes by digest.
constexpr qint64 selfContainedVersion = 1;
constexpr qint64 bytesApartVersion = 2;

enum AttributeKey : qint64
{
    styleNameKey = 0,
    checklistKey = 1,
    strikethroughKey = 2,
    attachmentTypeKey = 3,
    attachmentContentsKey = 4,
    attachmentDigestKey = 5,
};

// Collects the bytes kept apart, once for each digest.
class Apart
{
public:
    explicit Apart(QList<RichText::BytesApart>* out)
        : m_out(out)
    {}
    QByteArray digestOf(const QByteArray& bytes)
    {
        QByteArray digest = AttachmentDigest::of(bytes);
        if (std::none_of(m_out->cbegin(), m_out->cend(),
                         [&digest](const RichText::BytesApart& b) { return b.digest == digest; }))
            m_out->append({digest, bytes});
        return digest;
    }

private:
    QList<RichText::BytesApart>* m_out;
};

QCborMap encodeAttributes(const RichText::Attributes& attributes, Apart* apart = nullptr)
{
    QCborMap map;
    if (attributes.styleName)
        map.insert(styleNameKey, *attributes.styleName);
    if (attributes.checklistChecked)
        map.insert(checklistKey, *attributes.checklistChecked);
    if (attributes.strikethrough != 0)
        map.insert(strikethroughKey, attributes.strikethrough);
    if (const auto& attachment = attributes.attachment) {
        map.insert(attachmentTypeKey, attachment->fileType);
        // Links are small and no two are alike; bytes that are missing have nothing to name.
        if (apart && !attachment->isLink() && !attachment->contents.isEmpty())
            map.insert(attachmentDigestKey, apart->digestOf(attachment->contents));
        else
            map.insert(attachmentContentsKey, attachment->contents);
    }
    return map;
}

std::optional<QByteArray> lookUp(const QByteArray& digest, const RichText::BytesLookup& lookup)
{
    std::optional<QByteArray> bytes = lookup ? lookup(digest) : std::nullopt;
    if (bytes)
        AttachmentDigest::remember(*bytes, digest);
    return bytes;
}

std::optional<RichText::Attributes> decodeAttributes(const QCborValue& value, qint64 version,
                                                     const RichText::BytesLookup& lookup)
{
    if (!value.isMap())
        return std::nullopt;
    RichText::Attributes attributes;
    const QCborMap map = value.toMap();
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        const QCborValue v = it.value();
        switch (it.key().toInteger(-1)) {
        case styleNameKey:
            if (!v.isString())
                return std::nullopt;
            attributes.styleName = v.toString();
            break;
        case checklistKey:
            if (!v.isBool())
                return std::nullopt;
            attributes.checklistChecked = v.toBool();
            break;
        case strikethroughKey:
            if (!v.isInteger())
                return std::nullopt;
            attributes.strikethrough = int(v.toInteger());
            break;
        case attachmentDigestKey:
            if (version < bytesApartVersion)
                return std::nullopt;
            break;
        case attachmentTypeKey:
        case attachmentContentsKey:
            break;
        default:
            return std::nullopt;
        }
    }
    const QCborValue type = map.value(attachmentTypeKey);
    const QCborValue contents = map.value(attachmentContentsKey);
    const QCborValue digest = map.value(attachmentDigestKey);
    if (type.isString() && contents.isByteArray() && digest.isUndefined()) {
        attributes.attachment = RichText::Attachment{type.toString(), contents.toByteArray()};
    } else if (type.isString() && digest.isByteArray() && contents.isUndefined()) {
        attributes.attachment = RichText::Attachment{
            type.toString(), lookUp(digest.toByteArray(), lookup).value_or(QByteArray())};
    } else if (!type.isUndefined() || !contents.isUndefined() || !digest.isUndefined()) {
        return std::nullopt;
    }
    return attributes;
}

} // namespace

RichText::RichText(const QString& text)
    : RichText(text, Attributes{})
{}

RichText::RichText(const QString& text, const Attributes& attributes)
    : m_text(text)
{
    if (!m_text.isEmpty())
        m_runs.append({0, m_text.size(), attributes});
}

std::optional<RichText> RichText::fromRuns(const QString& text, const QList<Run>& runs)
{
    RichText result;
    result.m_text = text;
    result.m_runs.reserve(runs.size() * 2 + 1);
    qsizetype position = 0;
    for (const Run& run : runs) {
        if (run.location < position || run.length < 0 || run.length > text.size() - run.location)
            return std::nullopt;
        if (run.location > position)
            result.m_runs.append({position, run.location - position, Attributes{}});
        result.m_runs.append(run);
        position = run.location + run.length;
    }
    if (position < text.size())
        result.m_runs.append({position, text.size() - position, Attributes{}});
    result.mergeRuns();
    return result;
}

RichText::Attributes RichText::attributesAt(qsizetype position) const
{
    const auto it = std::upper_bound(m_runs.cbegin(), m_runs.cend(), position,
                                     [](qsizetype p, const Run& run) { return p < run.location; });
    if (it == m_runs.cbegin())
        return {};
    const Run& run = *(it - 1);
    return position < run.location + run.length ? run.attributes : Attributes{};
}

void RichText::setAttributes(qsizetype location, qsizetype length, const Attributes& attributes)
{
    changeAttributes(location, length, [&attributes](Attributes& a) { a = attributes; });
}

void RichText::clampRange(qsizetype& location, qsizetype& length) const
{
    location = std::clamp<qsizetype>(location, 0, m_text.size());
    if (length < 0 || location + length > m_text.size())
        length = m_text.size() - location;
}

qsizetype RichText::splitAt(qsizetype position)
{
    const auto it = std::upper_bound(m_runs.begin(), m_runs.end(), position,
                                     [](qsizetype p, const Run& run) { return p < run.location; });
    if (it == m_runs.begin())
        return 0;
    const qsizetype index = (it - m_runs.begin()) - 1;
    Run& run = m_runs[index];
    if (run.location == position)
        return index;
    if (position >= run.location + run.length)
        return index + 1;
    Run tail{position, run.location + run.length - position, run.attributes};
    run.length = position - run.location;
    m_runs.insert(index + 1, tail);
    return index + 1;
}

void RichText::mergeRuns()
{
    QList<Run> merged;
    merged.reserve(m_runs.size());
    for (const Run& run : std::as_const(m_runs)) {
        if (run.length <= 0)
            continue;
        if (run.attributes.attachment) {
            // Each attachment character is an attachment of its own.
            for (qsizetype i = 0; i < run.length; ++i)
                merged.append({0, 1, run.attributes});
        } else if (!merged.isEmpty() && !merged.last().attributes.attachment &&
                   merged.last().attributes == run.attributes) {
            merged.last().length += run.length;
        } else {
            merged.append(run);
        }
    }
    qsizetype location = 0;
    for (Run& run : merged) {
        run.location = location;
        location += run.length;
    }
    m_runs = std::move(merged);
}

void RichText::replace(qsizetype location, qsizetype length, const RichText& replacement)
{
    clampRange(location, length);
    const qsizetype first = splitAt(location);
    const qsizetype end = splitAt(location + length);
    m_runs.remove(first, end - first);
    m_runs.insert(first, replacement.m_runs.size(), Run{});
    std::copy(replacement.m_runs.cbegin(), replacement.m_runs.cend(), m_runs.begin() + first);
    m_text.replace(location, length, replacement.m_text);
    mergeRuns();
}

RichText RichText::mid(qsizetype location, qsizetype length) const
{
    clampRange(location, length);
    RichText part;
    part.m_text = m_text.mid(location, length);
    for (const Run& run : m_runs) {
        const qsizetype start = std::max(run.location, location);
        const qsizetype stop = std::min(run.location + run.length, location + length);
        if (start < stop)
            part.m_runs.append({start - location, stop - start, run.attributes});
    }
    part.mergeRuns();
    return part;
}

QByteArray RichText::encode() const
{
    QCborArray runs;
    for (const Run& run : m_runs) {
        runs.append(run.length);
        runs.append(encodeAttributes(run.attributes));
    }
    return QCborArray{selfContainedVersion, m_text, runs}.toCborValue().toCbor();
}

QByteArray RichText::encodeApart(QList<BytesApart>* apart) const
{
    apart->clear();
    Apart collector(apart);
    QCborArray runs;
    for (const Run& run : m_runs) {
        runs.append(run.length);
        runs.append(encodeAttributes(run.attributes, &collector));
    }
    return QCborArray{bytesApartVersion, m_text, runs}.toCborValue().toCbor();
}

std::optional<RichText> RichText::decode(const QByteArray& encoded, const BytesLookup& lookup)
{
    QCborParserError error;
    const QCborValue value = QCborValue::fromCbor(encoded, &error);
    if (error.error != QCborError::NoError || !value.isArray())
        return std::nullopt;
    const QCborArray parts = value.toArray();
    const qint64 version = parts.size() == 3 ? parts.at(0).toInteger(-1) : -1;
    if ((version != selfContainedVersion && version != bytesApartVersion) ||
        !parts.at(1).isString() || !parts.at(2).isArray())
        return std::nullopt;

    RichText text;
    text.m_text = parts.at(1).toString();
    const QCborArray runs = parts.at(2).toArray();
    if (runs.size() % 2 != 0)
        return std::nullopt;
    qsizetype location = 0;
    for (qsizetype i = 0; i < runs.size(); i += 2) {
        const qint64 length = runs.at(i).toInteger(-1);
        const auto attributes = decodeAttributes(runs.at(i + 1), version, lookup);
        if (length <= 0 || length > text.m_text.size() - location || !attributes)
            return std::nullopt;
        text.m_runs.append({location, qsizetype(length), *attributes});
        location += length;
    }
    if (location != text.m_text.size())
        return std::nullopt;
    text.mergeRuns();
    return text;
}
