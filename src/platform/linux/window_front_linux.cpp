#include "../window_front.h"

#include <QWidget>

void bringWindowToFront(QWidget& window) {
    if (window.isMinimized())
        window.showNormal();
    window.raise();
    // A window that declines the keyboard (the countdown overlay) is only brought up.
    if (window.windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus))
        return;
    window.activateWindow();
}
