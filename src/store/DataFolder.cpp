#include "DataFolder.h"

#include "FolderLock.h"
#include "ObjectContext.h"
#include "SqliteStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

QString DataFolder::applicationSupport()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

QString DataFolder::earlierPath()
{
    return QDir(applicationSupport()).filePath(QStringLiteral("Corkline"));
}

QString DataFolder::standardPath()
{
    return QDir(applicationSupport()).filePath(QStringLiteral("Pinwheels"));
}

QString DataFolder::resolve()
{
    const QString path = standardPath();
    if (QFileInfo::exists(path))
        return path;
    const QString earlier = earlierPath();
    if (QFileInfo::exists(earlier) && !QDir().rename(earlier, path))
        qWarning("Renaming application support directory error: cannot move %s to %s",
                 qUtf8Printable(earlier), qUtf8Printable(path));
    return path;
}

bool DataFolder::ensureExists(const QString& folder, QString* failureReason)
{
    const QFileInfo info(folder);
    if (info.exists() && !info.isDir()) {
        *failureReason =
            QStringLiteral("Expected a folder to store application data, found a file %1.")
                .arg(folder);
        return false;
    }
    if (!info.exists() && !QDir().mkpath(folder)) {
        *failureReason = QStringLiteral("The folder %1 could not be created.").arg(folder);
        return false;
    }
    return true;
}

QString DataFolder::storePath(const QString& folder)
{
    return QDir(folder).filePath(QStringLiteral("CocoaAppCD.storedata"));
}

std::unique_ptr<FolderLock> DataFolder::tryLock(const QString& folder)
{
    return FolderLock::tryLock(folder);
}

std::unique_ptr<ObjectContext> DataFolder::openStore(const QString& folder, StoreError* error)
{
    if (!ensureExists(folder, &error->reason))
        return nullptr;
    return loaded(SqliteStore::open(storePath(folder), &error->underlying), error);
}

std::unique_ptr<ObjectContext> DataFolder::openSnapshot(const QString& folder, StoreError* error)
{
    return loaded(SqliteStore::openReadOnly(storePath(folder), &error->underlying), error);
}

std::unique_ptr<ObjectContext> DataFolder::loaded(std::unique_ptr<SqliteStore> store,
                                                  StoreError* error)
{
    if (!store)
        return nullptr;
    auto context = std::make_unique<ObjectContext>(std::move(store));
    if (!context->load(&error->underlying))
        return nullptr;
    return context;
}

bool DataFolder::moveEarlierPreferences(const QString& newPath, const QString& oldPath)
{
    if (QFileInfo::exists(newPath) || !QFileInfo::exists(oldPath))
        return false;
    if (QFile::rename(oldPath, newPath))
        return true;
    qWarning("Renaming preferences error: cannot move %s to %s", qUtf8Printable(oldPath),
             qUtf8Printable(newPath));
    return false;
}
