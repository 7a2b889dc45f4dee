#include "QuitSignalWatcher.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {
// Where the handler writes; the handler can reach no object.
volatile std::sig_atomic_t writeEnd = -1;

bool makeNonBlockingAndPrivate(int descriptor)
{
    const int flags = ::fcntl(descriptor, F_GETFL);
    return flags >= 0 && ::fcntl(descriptor, F_SETFL, flags | O_NONBLOCK) == 0 &&
           ::fcntl(descriptor, F_SETFD, FD_CLOEXEC) == 0;
}
} // namespace

QuitSignalWatcher::QuitSignalWatcher(QObject* parent)
    : QObject(parent)
{
    Q_ASSERT(writeEnd == -1);
    if (::pipe(m_pipe.data()) != 0 || !makeNonBlockingAndPrivate(m_pipe[0]) ||
        !makeNonBlockingAndPrivate(m_pipe[1])) {
        qWarning("Cannot watch for the quit signals: %s", std::strerror(errno));
        return;
    }
    m_notifier = new QSocketNotifier(m_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &QuitSignalWatcher::readPipe);
    writeEnd = m_pipe[1];

    struct sigaction action = {};
    action.sa_handler = &QuitSignalWatcher::handleSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < watchedSignals.size(); ++i)
        ::sigaction(watchedSignals[i], &action, &m_previous[i]);
}

QuitSignalWatcher::~QuitSignalWatcher()
{
    if (m_pipe[0] < 0)
        return;
    if (m_notifier) {
        for (size_t i = 0; i < watchedSignals.size(); ++i)
            ::sigaction(watchedSignals[i], &m_previous[i], nullptr);
        writeEnd = -1;
    }
    ::close(m_pipe[0]);
    ::close(m_pipe[1]);
}

void QuitSignalWatcher::handleSignal(int signalNumber)
{
    const int savedErrno = errno;
    const unsigned char number = static_cast<unsigned char>(signalNumber);
    // A full pipe already holds a request to quit: losing this one changes nothing.
    [[maybe_unused]] const ssize_t written = ::write(writeEnd, &number, 1);
    errno = savedErrno;
}

void QuitSignalWatcher::readPipe()
{
    unsigned char numbers[16];
    ssize_t count = 0;
    while ((count = ::read(m_pipe[0], numbers, sizeof numbers)) > 0) {
        for (ssize_t i = 0; i < count; ++i)
            Q_EMIT quitRequested(numbers[i]);
    }
}
