#pragma once

#include <QByteArray>
#include <QJsonValue>
#include <QLatin1StringView>
#include <QString>
#include <QStringView>

#include <string>
#include <string_view>
#include <vector>

// Writes compact JSON (UTF-8, no spaces or line breaks) straight into a buffer, member by
// member, so that a large export costs no intermediate JSON tree. Commas are placed by the
// writer; callers only nest calls correctly.
class JsonTextWriter final
{
public:
    void beginObject();
    void endObject();
    void beginArray();
    void endArray();
    void key(QLatin1StringView name);
    void key(QStringView name);

    void string(QStringView text);
    // ASCII text that needs no escaping (Base64, dates).
    void asciiString(std::string_view text);
    void number(qint64 value);
    void number(double value); // not finite: null, as JSON has no such numbers
    void boolean(bool value);
    void null();

    // A whole JSON tree, as Qt holds it.
    void value(const QJsonValue& value);

    const std::string& text() const { return m_text; }
    QByteArray toByteArray() const { return QByteArray::fromStdString(m_text); }

private:
    void separate();

    std::string m_text;
    std::vector<bool> m_hasMembers; // per open object or array
    bool m_afterKey = false;
};
