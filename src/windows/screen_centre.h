#pragma once

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

// Moves the window, frame included, to the middle of the work area of its screen (the primary
// screen before it has one); without any screen it stays where it is.
inline void centreOnItsScreen(QWidget& window) {
    const QScreen* s = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!s)
        return;
    const QRect area = s->availableGeometry();
    const QSize outer = window.frameGeometry().size();
    window.move(area.x() + area.width() / 2 - outer.width() / 2,
                area.y() + area.height() / 2 - outer.height() / 2);
}
