#include "IsolatedEnvironment.h"
#include "store/DataFolder.h"
#include "store/FolderLock.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// The data folder's lock: whatever a dead holder left behind is taken over, a live holder in
// another process always refuses the folder to others.
class TestFolderLock : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    int m_folders = 0;

    QString freshFolder()
    {
        const QString folder = m_dir.filePath(QString::number(++m_folders));
        QDir().mkpath(folder);
        return folder;
    }

    // A lockholder on `folder`; empty when it could not start or said nothing.
    static QByteArray startHolder(QProcess& holder, const QString& folder)
    {
        holder.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        holder.start(QStringLiteral(LOCKHOLDER_PATH), {folder});
        if (!holder.waitForStarted() || !holder.waitForReadyRead(10000))
            return {};
        return holder.readLine().trimmed();
    }

    static void writeLockFile(const QString& folder, const QByteArray& content)
    {
        QFile file(FolderLock::lockFilePath(folder));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(file.write(content), content.size());
    }

private Q_SLOTS:
    void leftoverLock_isTakenOver_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("empty, as a kill between creating and writing leaves it") << QByteArray();
        QTest::newRow("garbage") << QByteArray("\x00\xff not a process\n\n\n", 19);
        // After a reboot the number may belong to a live process again (here: this one).
        QTest::newRow("number of a live process")
            << QByteArray::number(QCoreApplication::applicationPid()) + "\nPinwheels\n" +
                   QSysInfo::machineHostName().toUtf8() + '\n';
    }

    void leftoverLock_isTakenOver()
    {
        QFETCH(QByteArray, content);
        const QString folder = freshFolder();
        writeLockFile(folder, content);
        QVERIFY(DataFolder::tryLock(folder));
    }

    void killedHoldersLock_isTakenOver_liveHolderRefuses()
    {
        const QString folder = freshFolder();
        {
            QProcess holder;
            QCOMPARE(startHolder(holder, folder), QByteArray("locked"));
            QVERIFY(QFile(FolderLock::lockFilePath(folder)).size() > 0);
            holder.kill();
            QVERIFY(holder.waitForFinished(10000));
        }
        // What the killed holder left is no obstacle, and this process now holds the folder.
        std::unique_ptr<FolderLock> lock = DataFolder::tryLock(folder);
        QVERIFY(lock);
        QProcess refused;
        QCOMPARE(startHolder(refused, folder), QByteArray("refused"));
        QVERIFY(refused.waitForFinished(10000));
        QCOMPARE(refused.exitCode(), 1);
        lock.reset();

        // A live holder in another process keeps the folder until it ends.
        QProcess holder;
        QCOMPARE(startHolder(holder, folder), QByteArray("locked"));
        QVERIFY(!DataFolder::tryLock(folder));
        QVERIFY(!DataFolder::tryLock(folder)); // asking again changes nothing
        holder.closeWriteChannel();
        QVERIFY(holder.waitForFinished(10000));
        QCOMPARE(holder.exitCode(), 0);
        QVERIFY(DataFolder::tryLock(folder));
    }
};

PINWHEELS_GUILESS_TEST_MAIN(TestFolderLock)
#include "tst_folderlock.moc"
