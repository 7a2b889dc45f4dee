#pragma once

#include "StoreError.h"

#include <QString>

#include <memory>

class ObjectContext;
class FolderLock;
class SqliteStore;

// Where the application keeps its data: the folder "Pinwheels" in the user's data location
// (XDG_DATA_HOME), which earlier versions called "Corkline", and the store file inside it.
class DataFolder final
{
public:
    static QString applicationSupport();
    static QString earlierPath();
    static QString standardPath();

    // The data folder. When only the earlier folder exists it is moved to the new name first
    // (a failure is logged and the new name is used all the same).
    static QString resolve();
    // Creates the folder when missing. On failure returns false with the reason to show.
    static bool ensureExists(const QString& folder, QString* failureReason);
    static QString storePath(const QString& folder);

    // One process at a time per data folder: null when another one holds the folder.
    static std::unique_ptr<FolderLock> tryLock(const QString& folder);
    // Opens (creating when missing) the store of the folder and loads its whole graph; null
    // and the error on failure, leaving an unreadable file untouched.
    static std::unique_ptr<ObjectContext> openStore(const QString& folder, StoreError* error);
    // Opens the store of a folder that another process holds, to read only: the graph as of
    // that process's last save. Null and the error when there is no store to read.
    static std::unique_ptr<ObjectContext> openSnapshot(const QString& folder, StoreError* error);

    // Moves the preferences file of earlier versions to its new name, unless the new one exists;
    // true when it moved.
    static bool moveEarlierPreferences(const QString& newPath, const QString& oldPath);

private:
    static std::unique_ptr<ObjectContext> loaded(std::unique_ptr<SqliteStore> store,
                                                 StoreError* error);
};
