#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class QWidget;

// Start-up milestones on standard output, for measuring and for tests that drive the program
// from outside. Off unless TAKTPLAN_TRACE_STARTUP or TAKTPLAN_EXIT_AFTER_SHOWN is set; with
// TAKTPLAN_EXIT_AFTER_SHOWN the program ends as soon as the Planning window has been painted
// once (the ordinary way, files saved).
class StartUpTrace final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(StartUpTrace)

public:
    // elapsedMs: milliseconds since the process began (as far as the caller knows it).
    explicit StartUpTrace(std::function<qint64()> elapsedMs, QObject* parent = nullptr);

    bool isEnabled() const { return m_enabled; }

    // Reports "shown <ms>" once the window's first paint has reached the screen.
    void watchFirstPaint(QWidget* window);
    // One line on standard output (when enabled).
    void note(const QString& line) const;

signals:
    void shownExitRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void reportShown();

    std::function<qint64()> m_elapsedMs;
    bool m_enabled = false;
    bool m_exitAfterShown = false;
    QPointer<QWidget> m_window;
};
