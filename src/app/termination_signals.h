#pragma once

#include <QObject>
#include <QString>

class QSocketNotifier;

// SIGTERM, SIGINT and SIGHUP (log-out, shutdown, Ctrl+C in a terminal) become a signal on the
// event loop, so the program ends the way its own exit command ends it: the plan, the debug text
// and the settings are saved. A signal handler may do almost nothing, so it only writes the
// signal's number into a pipe that the event loop watches.
class TerminationSignals final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TerminationSignals)

public:
    explicit TerminationSignals(QObject* parent = nullptr);
    // Puts the default actions back.
    ~TerminationSignals() override;

    // False when the pipe or the handlers could not be set up (the signals then end the
    // program at once, as they would without us).
    bool isActive() const { return m_notifier != nullptr; }

    static QString name(int signal);

signals:
    void terminationRequested(int signal);

private:
    void readPipe();
    static void restoreDefaults();

    int m_readFd = -1;
    int m_writeFd = -1;
    QSocketNotifier* m_notifier = nullptr;
};
