#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QLatin1StringView>
#include <QString>
#include <QStringView>

#include <string_view>
#include <vector>

// Builds a Qt JSON tree from the same calls as JsonTextWriter, so that the exchange document's
// rules are written once and give either text (export files) or a tree (clipboard, undo).
class JsonTreeBuilder final
{
public:
    void beginObject();
    void endObject();
    void beginArray();
    void endArray();
    void key(QLatin1StringView name) { m_key = QString(name); }
    void key(QStringView name) { m_key = name.toString(); }

    void string(QStringView text) { add(text.toString()); }
    void asciiString(std::string_view text)
    {
        add(QString::fromLatin1(text.data(), qsizetype(text.size())));
    }
    void number(qint64 value) { add(value); }
    void number(double value) { add(value); }
    void boolean(bool value) { add(value); }
    void null() { add(QJsonValue::Null); }

    // The finished tree: the one top-level value.
    QJsonValue result() const { return m_result; }

private:
    struct Frame
    {
        bool isArray;
        QString key; // the member name this object or array will take in its parent
        QJsonObject object;
        QJsonArray array;
    };
    void add(const QJsonValue& value);

    std::vector<Frame> m_frames;
    QString m_key;
    QJsonValue m_result;
};
