#include "screen_place.h"

#include "timer_display.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace screenplace {

QRect currentDesktop() {
    QList<QRect> screens;
    for (const QScreen* s : QGuiApplication::screens())
        screens.append(s->geometry());
    return timerdisplay::desktopOf(screens);
}

void keepOnDesktop(QWidget& window) {
    const QPoint place = timerdisplay::keptOnDesktop(window.geometry(), currentDesktop());
    if (place != window.pos())
        window.move(place);
}

QPoint startPlace(QPoint saved, QSize size, QSize widest, bool placed) {
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (!primary)
        return saved;
    QList<QRect> available;
    for (const QScreen* s : QGuiApplication::screens())
        available.append(s->availableGeometry());
    return timerdisplay::stripPlace(saved, size, widest, available, primary->availableGeometry(), placed);
}

void centre(QWidget& window) {
    if (const QScreen* s = window.screen() ? window.screen() : QGuiApplication::primaryScreen()) {
        const QRect area = s->availableGeometry();
        window.move(area.x() + area.width() / 2 - window.width() / 2,
                    area.y() + area.height() / 2 - window.height() / 2);
    }
}

void watchScreens(QObject* owner, const std::function<void()>& changed) {
    const auto watch = [owner, changed](QScreen* s) {
        QObject::connect(s, &QScreen::geometryChanged, owner, changed);
    };
    for (QScreen* s : QGuiApplication::screens())
        watch(s);
    QObject::connect(qApp, &QGuiApplication::screenAdded, owner, [watch, changed](QScreen* s) {
        watch(s);
        changed();
    });
    QObject::connect(qApp, &QGuiApplication::screenRemoved, owner, changed);
}

} // namespace screenplace
