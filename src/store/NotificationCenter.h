#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariantMap>

#include <functional>

// Named application-wide notifications with a user-info map, delivered synchronously on the
// main thread in the order observers were added. An observer is a QObject; its handlers are
// dropped when it is destroyed.
class NotificationCenter final
{
public:
    struct Notification
    {
        QString name;
        const void* sender = nullptr;
        QVariantMap userInfo;
    };
    using Handler = std::function<void(const Notification&)>;

    static NotificationCenter& defaultCenter();

    void addObserver(QObject* observer, const QString& name, Handler handler);
    void removeObserver(QObject* observer);
    void post(const QString& name, const void* sender = nullptr, const QVariantMap& userInfo = {});

private:
    struct Entry
    {
        QPointer<QObject> observer;
        QString name;
        Handler handler;
    };
    QList<Entry> m_entries;
};
