#include "NotificationCenter.h"

NotificationCenter& NotificationCenter::defaultCenter()
{
    static NotificationCenter center;
    return center;
}

void NotificationCenter::addObserver(QObject* observer, const QString& name, Handler handler)
{
    m_entries.append({observer, name, std::move(handler)});
}

void NotificationCenter::removeObserver(QObject* observer)
{
    m_entries.removeIf([observer](const Entry& e) { return e.observer == observer; });
}

void NotificationCenter::post(const QString& name, const void* sender, const QVariantMap& userInfo)
{
    m_entries.removeIf([](const Entry& e) { return e.observer.isNull(); });
    const Notification notification{name, sender, userInfo};
    // A handler may add or remove observers; deliver to those registered at posting time.
    const QList<Entry> entries = m_entries;
    for (const Entry& entry : entries) {
        if (entry.name == name && !entry.observer.isNull())
            entry.handler(notification);
    }
}
