#pragma once

#include <QString>

#include <memory>

// One process at a time per data folder: an exclusive flock(2) on the folder's ".lock" file,
// held through an open descriptor for the life of this object. The kernel releases it when
// the process ends in any way, so a crash never leaves the folder locked, and a running holder
// always keeps it, whatever the file holds.
class FolderLock final
{
public:
    // Null when another holder (another process, or another lock in this one) has the folder,
    // or when the lock file cannot be opened.
    static std::unique_ptr<FolderLock> tryLock(const QString& folder);
    ~FolderLock();
    Q_DISABLE_COPY_MOVE(FolderLock)

    static QString lockFilePath(const QString& folder);

private:
    explicit FolderLock(int descriptor)
        : m_descriptor(descriptor)
    {}

    int m_descriptor;
};
