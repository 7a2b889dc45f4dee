#include "IsolatedEnvironment.h"

#include <QDir>
#include <QFile>

namespace {
QString makeFolder(const QString& base, const QString& name)
{
    const QString path = QDir(base).filePath(name);
    QDir().mkpath(path);
    return path;
}
} // namespace

IsolatedEnvironment::IsolatedEnvironment()
{
    if (!m_dir.isValid())
        qFatal("IsolatedEnvironment: cannot create a temporary folder");
    const QString home = m_dir.path();
    const QString runtime = makeFolder(home, QStringLiteral("runtime"));
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("HOME", QFile::encodeName(home));
    qputenv("XDG_DATA_HOME", QFile::encodeName(makeFolder(home, QStringLiteral(".local/share"))));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(makeFolder(home, QStringLiteral(".config"))));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(makeFolder(home, QStringLiteral(".cache"))));
    qputenv("XDG_STATE_HOME", QFile::encodeName(makeFolder(home, QStringLiteral(".local/state"))));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    // Nothing outside the temporary home may be consulted for data or settings.
    qputenv("XDG_DATA_DIRS", QFile::encodeName(makeFolder(home, QStringLiteral("system-data"))));
    qputenv("XDG_CONFIG_DIRS",
            QFile::encodeName(makeFolder(home, QStringLiteral("system-config"))));
}

QString IsolatedEnvironment::dataHome() const
{
    return QDir(home()).filePath(QStringLiteral(".local/share"));
}

QString IsolatedEnvironment::configHome() const
{
    return QDir(home()).filePath(QStringLiteral(".config"));
}
