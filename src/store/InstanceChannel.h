#pragma once

#include <QObject>
#include <QStringList>

class QLocalServer;
class QLocalSocket;

// How a second start of Pinwheels, or pinwheels-cli, reaches the process that already holds a
// data folder: a local socket in the user's runtime folder, named after the data folder. The
// process holding the folder listens; another one sends a request (come to the front, open
// these documents for import) and waits for it to be taken. The folder's lock stays the guard
// of the store: the channel only carries requests.
class InstanceChannel final : public QObject
{
    Q_OBJECT

public:
    explicit InstanceChannel(QObject* parent = nullptr);
    ~InstanceChannel() override;
    Q_DISABLE_COPY_MOVE(InstanceChannel)

    // The socket path for a data folder (its canonical path decides it).
    static QString socketPath(const QString& dataFolder);

    // Asks the process holding the folder to come to the front and to open the documents for
    // import. True once it has taken the request. With no process listening, it tries again
    // for up to `waitMs` (one that holds the folder may still be starting), then gives up.
    static bool sendToRunning(const QString& dataFolder, const QStringList& documents,
                              bool activate = true, int waitMs = 0);

    // Starts listening for the folder. Call it only while holding the folder's lock: a socket
    // left by a process that died is removed first. False when it cannot listen.
    bool listen(const QString& dataFolder);

Q_SIGNALS:
    void activationRequested();
    void openRequested(const QStringList& documents);

private:
    void takeConnection();
    void readRequest(QLocalSocket* socket);

    QLocalServer* m_server = nullptr; // child
};
