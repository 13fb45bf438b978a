#pragma once

#include <QObject>
#include <QString>

class QSocketNotifier;

// Requests from outside to end the program: SIGTERM, SIGINT and SIGHUP on Unix (log-out,
// shutdown, Ctrl+C in a terminal), console close, log-off and shutdown on Windows. They arrive
// as a signal on the event loop, so the program ends the way its own exit command ends it: the
// plan, the debug text and the settings are saved.
//
// The end of a Windows session comes as a window message (WM_ENDSESSION) instead, and the
// system ends the process as soon as that message is answered, without the event loop running
// again: it arrives as sessionEnding, whose receiver saves everything before it returns.
//
// Long work that keeps the event loop from running (loading a huge plan at start-up) polls
// requested() instead.
class TerminationRequests final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TerminationRequests)

public:
    explicit TerminationRequests(QObject* parent = nullptr);
    // Puts the system's default handling back.
    ~TerminationRequests() override;

    // False when the handlers could not be set up (a request then ends the program at once, as
    // it would without us).
    bool isActive() const { return m_active; }

    // Whether an end was requested since the handlers were set up. Safe to call from any
    // thread at any time; it only reads a flag the handler sets.
    static bool requested();
    // The request's name for the debug line ("SIGTERM", "CTRL_LOGOFF_EVENT", ...).
    static QString name(int request);

signals:
    void terminationRequested(int request);
    // Windows only: the session ends now (log-off, shutdown, restart).
    void sessionEnding(int request);

private:
    void deliverPending();

    bool m_active = false;
    int m_readFd = -1;
    int m_writeFd = -1;
    QSocketNotifier* m_notifier = nullptr;
    // Windows: the hidden top-level window that hears of the session's end.
    void* m_sessionWindow = nullptr;
};
