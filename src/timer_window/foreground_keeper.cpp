#include "foreground_keeper.h"

#include <QApplication>
#include <QTimer>

ForegroundKeeper::ForegroundKeeper(QWidget& strip, std::function<void(QWidget&)> bringToFront)
    : QObject(&strip), m_strip(strip), m_bring(std::move(bringToFront)), m_timer(new QTimer(this)) {
    m_timer->setObjectName(QStringLiteral("tmrVordergrund"));
    m_timer->setInterval(500);
    connect(m_timer, &QTimer::timeout, this, &ForegroundKeeper::step);
}

void ForegroundKeeper::setOn(bool on) {
    if (!on)
        m_timer->stop();
    else if (!m_timer->isActive())
        m_timer->start();
}

bool ForegroundKeeper::isOn() const {
    return m_timer->isActive();
}

bool ForegroundKeeper::foregroundOurs() const {
    const QWidget* active = QApplication::activeWindow();
    if (!active)
        return false;
    const QList<const QWidget*> ours = {&m_strip,   windows.planning.data(),       windows.presence.data(),
                                        reminder(), windows.firstStartHint.data(), windows.countdown.data()};
    if (ours.contains(active))
        return true;
    for (const QPointer<QWidget>& peer : windows.peers) {
        if (peer && active == peer)
            return true;
    }
    // A question of ours waits for an answer: pulling a window over it would hide it.
    return active == QApplication::activeModalWidget();
}

void ForegroundKeeper::step() {
    if (!m_strip.isVisible() || foregroundOurs())
        return;
    if (windows.presence && windows.presence->isVisible())
        m_bring(*windows.presence);
    else if (windows.countdown && windows.countdown->isVisible())
        m_bring(*windows.countdown);
    else
        m_bring(m_strip);
}
