#include "JsonTextWriter.h"

#include <QJsonArray>
#include <QJsonObject>

#include <charconv>
#include <cmath>

void JsonTextWriter::separate()
{
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (!m_hasMembers.empty()) {
        if (m_hasMembers.back())
            m_text.push_back(',');
        m_hasMembers.back() = true;
    }
}

void JsonTextWriter::beginObject()
{
    separate();
    m_text.push_back('{');
    m_hasMembers.push_back(false);
}

void JsonTextWriter::endObject()
{
    m_hasMembers.pop_back();
    m_text.push_back('}');
}

void JsonTextWriter::beginArray()
{
    separate();
    m_text.push_back('[');
    m_hasMembers.push_back(false);
}

void JsonTextWriter::endArray()
{
    m_hasMembers.pop_back();
    m_text.push_back(']');
}

void JsonTextWriter::key(QLatin1StringView name)
{
    separate();
    m_text.push_back('"');
    m_text.append(name.data(), size_t(name.size()));
    m_text.append("\":");
    m_afterKey = true;
}

void JsonTextWriter::key(QStringView name)
{
    string(name);
    m_text.push_back(':');
    m_afterKey = true;
}

void JsonTextWriter::string(QStringView text)
{
    separate();
    static constexpr char hex[] = "0123456789abcdef";
    m_text.push_back('"');
    const qsizetype size = text.size();
    const char16_t* units = text.utf16();
    for (qsizetype i = 0; i < size; ++i) {
        char32_t c = units[i];
        if (c < 0x80) {
            switch (c) {
            case '"':
                m_text.append("\\\"");
                break;
            case '\\':
                m_text.append("\\\\");
                break;
            case '\n':
                m_text.append("\\n");
                break;
            case '\r':
                m_text.append("\\r");
                break;
            case '\t':
                m_text.append("\\t");
                break;
            default:
                if (c < 0x20) {
                    const char escape[] = {'\\', 'u', '0', '0', hex[c >> 4], hex[c & 15]};
                    m_text.append(escape, sizeof escape);
                } else {
                    m_text.push_back(char(c));
                }
            }
            continue;
        }
        if (c >= 0xD800 && c <= 0xDFFF) {
            // A pair gives one code point; a lone half has none and becomes U+FFFD.
            if (c <= 0xDBFF && i + 1 < size && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (units[i + 1] - 0xDC00);
                ++i;
            } else {
                c = 0xFFFD;
            }
        }
        if (c < 0x800) {
            m_text.push_back(char(0xC0 | (c >> 6)));
        } else if (c < 0x10000) {
            m_text.push_back(char(0xE0 | (c >> 12)));
            m_text.push_back(char(0x80 | ((c >> 6) & 0x3F)));
        } else {
            m_text.push_back(char(0xF0 | (c >> 18)));
            m_text.push_back(char(0x80 | ((c >> 12) & 0x3F)));
            m_text.push_back(char(0x80 | ((c >> 6) & 0x3F)));
        }
        m_text.push_back(char(0x80 | (c & 0x3F)));
    }
    m_text.push_back('"');
}

void JsonTextWriter::asciiString(std::string_view text)
{
    separate();
    m_text.push_back('"');
    m_text.append(text);
    m_text.push_back('"');
}

void JsonTextWriter::number(qint64 value)
{
    separate();
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    m_text.append(buffer, result.ptr);
}

void JsonTextWriter::number(double value)
{
    if (!std::isfinite(value)) {
        null();
        return;
    }
    separate();
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    m_text.append(buffer, result.ptr);
}

void JsonTextWriter::boolean(bool value)
{
    separate();
    m_text.append(value ? "true" : "false");
}

void JsonTextWriter::null()
{
    separate();
    m_text.append("null");
}

void JsonTextWriter::value(const QJsonValue& value)
{
    switch (value.type()) {
    case QJsonValue::Null:
    case QJsonValue::Undefined:
        null();
        break;
    case QJsonValue::Bool:
        boolean(value.toBool());
        break;
    case QJsonValue::Double:
        if (value.isDouble() && value.toDouble() == double(value.toInteger()))
            number(value.toInteger());
        else
            number(value.toDouble());
        break;
    case QJsonValue::String:
        string(value.toString());
        break;
    case QJsonValue::Array: {
        beginArray();
        const QJsonArray array = value.toArray();
        for (const QJsonValue& element : array)
            this->value(element);
        endArray();
        break;
    }
    case QJsonValue::Object: {
        beginObject();
        const QJsonObject object = value.toObject();
        for (auto it = object.begin(); it != object.end(); ++it) {
            key(it.key());
            this->value(it.value());
        }
        endObject();
        break;
    }
    }
}
