#include "../termination_requests.h"

#include <QMetaObject>

#include <atomic>
#include <windows.h>

// Windows calls the handler on a thread of its own; the request reaches the event loop as a
// queued call. Log-off and shutdown end the process once the handler returns, so the handler
// waits (within the system's grace period) until the program has ended its run.
namespace {

std::atomic<TerminationRequests*> instance{nullptr};
std::atomic<bool> requestSeen{false};

BOOL WINAPI onConsoleControl(DWORD event) {
    requestSeen = true;
    TerminationRequests* target = instance.load();
    if (!target)
        return FALSE;
    QMetaObject::invokeMethod(target, "terminationRequested", Qt::QueuedConnection,
                              Q_ARG(int, static_cast<int>(event)));
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT) {
        for (int waited = 0; waited < 4000 && instance.load() != nullptr; waited += 50)
            Sleep(50);
    }
    return TRUE;
}

} // namespace

TerminationRequests::TerminationRequests(QObject* parent) : QObject(parent) {
    requestSeen = false;
    instance.store(this);
    m_active = SetConsoleCtrlHandler(onConsoleControl, TRUE) != 0;
}

TerminationRequests::~TerminationRequests() {
    SetConsoleCtrlHandler(onConsoleControl, FALSE);
    instance.store(nullptr);
}

bool TerminationRequests::requested() {
    return requestSeen.load();
}

QString TerminationRequests::name(int request) {
    switch (request) {
    case CTRL_C_EVENT:
        return QStringLiteral("CTRL_C_EVENT");
    case CTRL_BREAK_EVENT:
        return QStringLiteral("CTRL_BREAK_EVENT");
    case CTRL_CLOSE_EVENT:
        return QStringLiteral("CTRL_CLOSE_EVENT");
    case CTRL_LOGOFF_EVENT:
        return QStringLiteral("CTRL_LOGOFF_EVENT");
    case CTRL_SHUTDOWN_EVENT:
        return QStringLiteral("CTRL_SHUTDOWN_EVENT");
    default:
        return QStringLiteral("Ereignis %1").arg(request);
    }
}

void TerminationRequests::deliverPending() {}
