#include "../termination_requests.h"

#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int handledSignals[] = {SIGTERM, SIGINT, SIGHUP};

// All a signal handler may touch: the pipe's write end and the flag.
std::atomic<int> signalPipe{-1};
volatile std::sig_atomic_t requestSeen = 0;
static_assert(std::atomic<int>::is_always_lock_free);

extern "C" void onTerminationSignal(int signal) {
    const int savedErrno = errno;
    requestSeen = 1;
    const int fd = signalPipe.load();
    if (fd >= 0) {
        const auto byte = static_cast<unsigned char>(signal);
        // Non-blocking: with the pipe full, one more byte would add nothing.
        [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
    }
    errno = savedErrno;
}

void restoreDefaults() {
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (int signal : handledSignals)
        ::sigaction(signal, &action, nullptr);
}

} // namespace

TerminationRequests::TerminationRequests(QObject* parent) : QObject(parent) {
    requestSeen = 0;
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    m_readFd = fds[0];
    m_writeFd = fds[1];
    signalPipe.store(m_writeFd);

    m_notifier = new QSocketNotifier(m_readFd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationRequests::deliverPending);

    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : handledSignals) {
        if (::sigaction(signal, &action, nullptr) != 0) {
            // Half a set of handlers would swallow signals nobody reads: back to the defaults.
            restoreDefaults();
            return;
        }
    }
    m_active = true;
}

TerminationRequests::~TerminationRequests() {
    restoreDefaults();
    signalPipe.store(-1);
    if (m_readFd >= 0)
        ::close(m_readFd);
    if (m_writeFd >= 0)
        ::close(m_writeFd);
}

bool TerminationRequests::requested() {
    return requestSeen != 0;
}

QString TerminationRequests::name(int request) {
    switch (request) {
    case SIGTERM:
        return QStringLiteral("SIGTERM");
    case SIGINT:
        return QStringLiteral("SIGINT");
    case SIGHUP:
        return QStringLiteral("SIGHUP");
    default:
        return QStringLiteral("Signal %1").arg(request);
    }
}

void TerminationRequests::deliverPending() {
    unsigned char bytes[16];
    ssize_t count = 0;
    while ((count = ::read(m_readFd, bytes, sizeof bytes)) > 0) {
        for (ssize_t i = 0; i < count; ++i)
            emit terminationRequested(bytes[i]);
    }
}
