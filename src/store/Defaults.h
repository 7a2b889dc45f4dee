#pragma once

#include <QSettings>
#include <QString>
#include <QVariant>
#include <QVariantMap>

#include <memory>

// The user defaults: a preferences file in the user's configuration folder, with registered
// fallback values. Values are read from the file at every use; writes go to the file on
// synchronize() (or when Qt flushes on its own).
class Defaults final
{
public:
    // Keys of the user defaults.
    static constexpr auto listViewMode = "listViewMode";
    static constexpr auto windowPositionSet = "windowPositionSet";
    static constexpr auto stylesUpdatedToVersion2 = "stylesUpdatedToVersion2";
    static constexpr auto dueHour = "dueHour";
    static constexpr auto dueMinute = "dueMinute";
    static constexpr auto dueSoonDefinition = "dueSoonDefinition";
    static constexpr auto showArchived = "showArchived";
    static constexpr auto mergedTitleNote = "mergedTitleNote";
    static constexpr auto assignedColoursToTags = "assignedColoursToTags";
    static constexpr auto markArchivedItemsAsDone = "markArchivedItemsAsDone";
    static constexpr auto strikeThroughAppliedToArchivedCards =
        "strikeThroughAppliedToArchivedCards";
    static constexpr auto lastSelectedSourceItem = "lastSelectedSourceItem";

    // The table of values every launch registers (and writes where the user has none).
    static QVariantMap cleanState();

    // The preferences file of the user, opened on first use.
    static Defaults& standard();
    static QString standardFilePath();
    static QString earlierFilePath();

    explicit Defaults(const QString& filePath);
    Q_DISABLE_COPY_MOVE(Defaults)

    void registerDefaults(const QVariantMap& values);
    bool contains(const QString& key) const; // the user's file holds a value
    QVariant value(const QString& key) const;
    int integer(const QString& key) const { return value(key).toInt(); }
    bool boolean(const QString& key) const { return value(key).toBool(); }
    void setValue(const QString& key, const QVariant& value);
    void remove(const QString& key);
    void clear(); // forgets every value the user set
    bool synchronize();
    QString filePath() const { return m_settings->fileName(); }

private:
    std::unique_ptr<QSettings> m_settings;
    QVariantMap m_registered;
};
