#include "start_up_trace.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cstdio>

StartUpTrace::StartUpTrace(std::function<qint64()> elapsedMs, QObject* parent)
    : QObject(parent), m_elapsedMs(std::move(elapsedMs)) {
    m_exitAfterShown = !qEnvironmentVariableIsEmpty("TAKTPLAN_EXIT_AFTER_SHOWN");
    m_enabled = m_exitAfterShown || !qEnvironmentVariableIsEmpty("TAKTPLAN_TRACE_STARTUP");
}

void StartUpTrace::watchFirstPaint(QWidget* window) {
    if (!m_enabled)
        return;
    m_window = window;
    // The native window exists only once the widget is shown, so watch every expose.
    QCoreApplication::instance()->installEventFilter(this);
}

bool StartUpTrace::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Expose && m_window && m_window->windowHandle() == watched &&
        m_window->windowHandle()->isExposed()) {
        QCoreApplication::instance()->removeEventFilter(this);
        // The widget paints while this expose is handled; the queued call runs after it.
        QTimer::singleShot(0, this, &StartUpTrace::reportShown);
    }
    return QObject::eventFilter(watched, event);
}

void StartUpTrace::reportShown() {
    note(QStringLiteral("shown %1").arg(m_elapsedMs()));
    if (m_exitAfterShown)
        emit shownExitRequested();
}

void StartUpTrace::note(const QString& line) const {
    if (!m_enabled)
        return;
    std::fputs(qPrintable(line + u'\n'), stdout);
    std::fflush(stdout);
}
