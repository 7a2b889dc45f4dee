#include "Defaults.h"

#include <QDir>
#include <QStandardPaths>

namespace {
QString preferencesFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}
} // namespace

QVariantMap Defaults::cleanState()
{
    return {
        {listViewMode, 0},
        {windowPositionSet, false},
        {stylesUpdatedToVersion2, false},
        {dueHour, 17},
        {dueMinute, 0},
        {dueSoonDefinition, 1},
        {showArchived, true},
        {mergedTitleNote, false},
        {assignedColoursToTags, false},
        {markArchivedItemsAsDone, false},
        {strikeThroughAppliedToArchivedCards, false},
    };
}

Defaults& Defaults::standard()
{
    static Defaults defaults(standardFilePath());
    return defaults;
}

QString Defaults::standardFilePath()
{
    return QDir(preferencesFolder()).filePath(QStringLiteral("com.Fernhollow.Pinwheels.conf"));
}

QString Defaults::earlierFilePath()
{
    return QDir(preferencesFolder()).filePath(QStringLiteral("com.Fernhollow.Corkline.conf"));
}

Defaults::Defaults(const QString& filePath)
    : m_settings(std::make_unique<QSettings>(filePath, QSettings::IniFormat))
{}

void Defaults::registerDefaults(const QVariantMap& values)
{
    m_registered.insert(values);
}

bool Defaults::contains(const QString& key) const
{
    return m_settings->contains(key);
}

QVariant Defaults::value(const QString& key) const
{
    return m_settings->value(key, m_registered.value(key));
}

void Defaults::setValue(const QString& key, const QVariant& value)
{
    m_settings->setValue(key, value);
}

void Defaults::remove(const QString& key)
{
    m_settings->remove(key);
}

void Defaults::clear()
{
    m_settings->clear();
}

bool Defaults::synchronize()
{
    m_settings->sync();
    return m_settings->status() == QSettings::NoError;
}
