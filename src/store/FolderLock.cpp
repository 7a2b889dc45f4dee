#include "FolderLock.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

std::unique_ptr<FolderLock> FolderLock::tryLock(const QString& folder)
{
    const QByteArray path = QFile::encodeName(lockFilePath(folder));
    // Close-on-exec: a program started from here must not inherit the folder.
    const int descriptor = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (descriptor < 0) {
        qWarning("Cannot open the lock file %s: %s", path.constData(), std::strerror(errno));
        return nullptr;
    }
    int result = 0;
    do {
        result = ::flock(descriptor, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        if (errno != EWOULDBLOCK)
            qWarning("Cannot lock %s: %s", path.constData(), std::strerror(errno));
        ::close(descriptor);
        return nullptr;
    }
    // The process number is for people looking at the file; the lock itself is the flock.
    const QByteArray pid = QByteArray::number(qint64(::getpid())) + '\n';
    if (::ftruncate(descriptor, 0) != 0 ||
        ::write(descriptor, pid.constData(), size_t(pid.size())) < 0)
        qWarning("Cannot write to the lock file %s: %s", path.constData(), std::strerror(errno));
    return std::unique_ptr<FolderLock>(new FolderLock(descriptor));
}

FolderLock::~FolderLock()
{
    // The file stays: removing it would let a process that opened it just before lock a file
    // that no longer has a name, beside one that takes the new file.
    ::close(m_descriptor); // releases the lock
}

QString FolderLock::lockFilePath(const QString& folder)
{
    return QDir(folder).filePath(QStringLiteral(".lock"));
}
