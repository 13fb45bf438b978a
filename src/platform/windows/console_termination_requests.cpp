#include "../termination_requests.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QMetaObject>

#include <atomic>
#include <windows.h>

// Two ways in. Console events (Ctrl+C, the console closed) come through a handler that Windows
// calls on a thread of its own; the request reaches the event loop as a queued call. The end of
// the session comes to every top-level window as WM_QUERYENDSESSION, then WM_ENDSESSION; once
// that is answered the process is ended, so it is served right there, on the windows' thread.
// Qt's own windows hear it first when there are any (their answer to it ends the event loop
// and lets the process go): a filter of Qt's native events catches it there. A program whose
// windows are all hidden (started at log-on, no plan running) may have no window of Qt's that
// would hear it: a hidden window of its own always does. Whichever comes first serves it.
namespace {

std::atomic<TerminationRequests*> instance{nullptr};
std::atomic<bool> requestSeen{false};
bool sessionEndServed = false;

constexpr int sessionEndRequest = WM_ENDSESSION;
const wchar_t sessionWindowClass[] = L"TaktplanSessionEnd";

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

// On the windows' thread, once per session end however many windows hear of it.
void serveSessionEnd() {
    if (sessionEndServed)
        return;
    sessionEndServed = true;
    requestSeen = true;
    if (TerminationRequests* target = instance.load())
        emit target->sessionEnding(sessionEndRequest);
}

LRESULT CALLBACK onSessionMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_QUERYENDSESSION:
        // Nothing to ask: everything is saved when the end comes.
        return TRUE;
    case WM_ENDSESSION:
        // wParam false: another program cancelled, the session goes on.
        if (wParam)
            serveSessionEnd();
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

// Sees the messages of Qt's windows before Qt answers them; Qt goes on with them afterwards.
class SessionEndFilter final : public QAbstractNativeEventFilter {
public:
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
        if (eventType != "windows_generic_MSG")
            return false;
        const MSG* msg = static_cast<const MSG*>(message);
        if (msg->message == WM_ENDSESSION && msg->wParam)
            serveSessionEnd();
        return false;
    }
};

SessionEndFilter sessionEndFilter;

HWND createSessionWindow() {
    const HINSTANCE module = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = onSessionMessage;
    windowClass.hInstance = module;
    windowClass.lpszClassName = sessionWindowClass;
    // A second watcher in the same process finds the class registered already.
    if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return nullptr;
    // Top-level (a message-only window hears no broadcast), never shown, without a title so
    // that nothing looking for the program's windows by name finds it.
    return CreateWindowExW(WS_EX_TOOLWINDOW, sessionWindowClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                           module, nullptr);
}

} // namespace

TerminationRequests::TerminationRequests(QObject* parent) : QObject(parent) {
    requestSeen = false;
    sessionEndServed = false;
    instance.store(this);
    m_sessionWindow = createSessionWindow();
    if (QCoreApplication::instance())
        QCoreApplication::instance()->installNativeEventFilter(&sessionEndFilter);
    m_active = SetConsoleCtrlHandler(onConsoleControl, TRUE) != 0 && m_sessionWindow != nullptr;
}

TerminationRequests::~TerminationRequests() {
    SetConsoleCtrlHandler(onConsoleControl, FALSE);
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(&sessionEndFilter);
    if (m_sessionWindow)
        DestroyWindow(static_cast<HWND>(m_sessionWindow));
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
    case sessionEndRequest:
        return QStringLiteral("WM_ENDSESSION");
    default:
        return QStringLiteral("Ereignis %1").arg(request);
    }
}

void TerminationRequests::deliverPending() {}
