#include "JsonTreeBuilder.h"

void JsonTreeBuilder::add(const QJsonValue& value)
{
    if (m_frames.empty()) {
        m_result = value;
        return;
    }
    Frame& frame = m_frames.back();
    if (frame.isArray)
        frame.array.append(value);
    else
        frame.object.insert(m_key, value);
}

void JsonTreeBuilder::beginObject()
{
    m_frames.push_back({false, m_key, {}, {}});
}

void JsonTreeBuilder::beginArray()
{
    m_frames.push_back({true, m_key, {}, {}});
}

void JsonTreeBuilder::endObject()
{
    Frame frame = std::move(m_frames.back());
    m_frames.pop_back();
    m_key = frame.key;
    add(frame.object);
}

void JsonTreeBuilder::endArray()
{
    Frame frame = std::move(m_frames.back());
    m_frames.pop_back();
    m_key = frame.key;
    add(frame.array);
}
