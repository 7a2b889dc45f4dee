#pragma once

#include <QObject>

#include <array>
#include <csignal>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP (logout and shutdown, Ctrl+C, a closed terminal) into a Qt
// signal delivered from the event loop, where the normal quit can run. The handler itself only
// writes the signal's number into a pipe, the one thing a signal handler may safely do here.
// One watcher at a time; its destruction restores the handlers it replaced.
class QuitSignalWatcher final : public QObject
{
    Q_OBJECT

public:
    explicit QuitSignalWatcher(QObject* parent = nullptr);
    ~QuitSignalWatcher() override;
    Q_DISABLE_COPY_MOVE(QuitSignalWatcher)

    static constexpr std::array<int, 3> watchedSignals{SIGTERM, SIGINT, SIGHUP};

Q_SIGNALS:
    void quitRequested(int signalNumber);

private:
    static void handleSignal(int signalNumber);
    void readPipe();

    std::array<int, 2> m_pipe{-1, -1};
    QSocketNotifier* m_notifier = nullptr;
    std::array<struct sigaction, watchedSignals.size()> m_previous{};
};
