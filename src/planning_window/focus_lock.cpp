#include "focus_lock.h"

#include "companion_program.h"
#include "settings.h"
#include "window_user_interface.h"

#include <QApplication>
#include <QTimer>

#include <utility>

using namespace Qt::StringLiterals;

FocusLock::FocusLock(QWidget& window, const Settings& settings, CompanionProgram& companion,
                     std::function<void()> bringToFront)
    : QObject(&window), m_window(window), m_settings(settings), m_companion(companion),
      m_bringToFront(std::move(bringToFront)), m_timer(new QTimer(this)) {
    m_timer->setObjectName(u"tmrFocusLock"_s);
    m_timer->setInterval(250);
    connect(m_timer, &QTimer::timeout, this, &FocusLock::step);
}

bool FocusLock::foregroundOurs() const {
    const QWidget* active = QApplication::activeWindow();
    if (!active)
        return false;
    if (active == &m_window || (timerWindow && active == timerWindow))
        return true;
    for (const QPointer<QWidget>& peer : peers) {
        if (peer && active == peer)
            return true;
    }
    if (windowUi && windowUi->isReminderWindow(active))
        return true;
    // A question of ours waits for an answer: pulling the window over it would hide it.
    return active == QApplication::activeModalWidget();
}

void FocusLock::step() {
    if (!m_settings.InVordergrundDraengen) {
        // The lock's own stop: the run still wants it whenever the setting is on.
        m_timer->stop();
        return;
    }
    if (!foregroundOurs())
        m_companion.bringToFront(m_bringToFront);
}
