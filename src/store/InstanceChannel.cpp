#include "InstanceChannel.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

namespace {
constexpr QByteArrayView taken = "taken\n";
constexpr qint64 largestRequest = 1024 * 1024;
// A process that listens answers at once from its event loop; one that does not is hung.
constexpr int answerTimeoutMs = 2000;

QString runtimeFolder()
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? QDir::tempPath() : runtime;
}
} // namespace

InstanceChannel::InstanceChannel(QObject* parent)
    : QObject(parent)
{}

InstanceChannel::~InstanceChannel() = default;

QString InstanceChannel::socketPath(const QString& dataFolder)
{
    const QFileInfo info(dataFolder);
    const QString folder = info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
    const QByteArray hash =
        QCryptographicHash::hash(folder.toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    return runtimeFolder() + QStringLiteral("/pinwheels-") + QString::fromLatin1(hash);
}

bool InstanceChannel::sendToRunning(const QString& dataFolder, const QStringList& documents,
                                    bool activate, int waitMs)
{
    QLocalSocket socket;
    const QDeadlineTimer deadline(waitMs);
    for (;;) {
        socket.connectToServer(socketPath(dataFolder));
        if (socket.waitForConnected(answerTimeoutMs))
            break;
        if (deadline.hasExpired())
            return false;
        QThread::msleep(50);
    }
    QJsonArray paths;
    for (const QString& document : documents)
        paths.append(QFileInfo(document).absoluteFilePath());
    const QJsonObject request{{QStringLiteral("activate"), activate},
                              {QStringLiteral("open"), paths}};
    socket.write(QJsonDocument(request).toJson(QJsonDocument::Compact) + '\n');
    if (!socket.waitForBytesWritten(answerTimeoutMs))
        return false;
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(answerTimeoutMs))
            return false;
    }
    return socket.readLine() == taken;
}

bool InstanceChannel::listen(const QString& dataFolder)
{
    delete m_server;
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    const QString path = socketPath(dataFolder);
    QLocalServer::removeServer(path); // left by a process that died; the lock says it is ours
    if (!m_server->listen(path)) {
        qWarning("Cannot listen for other Pinwheels processes: %s",
                 qUtf8Printable(m_server->errorString()));
        return false;
    }
    connect(m_server, &QLocalServer::newConnection, this, &InstanceChannel::takeConnection);
    return true;
}

void InstanceChannel::takeConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readRequest(socket); });
        if (socket->canReadLine())
            readRequest(socket);
    }
}

void InstanceChannel::readRequest(QLocalSocket* socket)
{
    if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > largestRequest)
            socket->abort();
        return;
    }
    const QJsonDocument document = QJsonDocument::fromJson(socket->readLine(largestRequest));
    const QJsonObject request = document.object();
    if (!document.isObject()) {
        socket->abort();
        return;
    }
    QStringList documents;
    for (const QJsonValue& path : request.value(QStringLiteral("open")).toArray()) {
        if (path.isString() && !path.toString().isEmpty())
            documents.append(path.toString());
    }
    // Answer first: the sender is waiting, and an import sheet may stay open for long.
    socket->write(taken.data(), taken.size());
    socket->flush();
    if (request.value(QStringLiteral("activate")).toBool())
        Q_EMIT activationRequested();
    if (!documents.isEmpty())
        Q_EMIT openRequested(documents);
}
