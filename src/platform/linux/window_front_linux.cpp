#include "../window_front.h"

#include <QWidget>

void bringWindowToFront(QWidget& window) {
    if (window.isMinimized())
        window.showNormal();
    window.raise();
    window.activateWindow();
}
