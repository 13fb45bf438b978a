#include "strip_mouse.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

StripMouse::StripMouse(QWidget& strip, Calls calls)
    : QObject(&strip), m_strip(strip), m_calls(std::move(calls)) {}

void StripMouse::watch(QWidget* label) {
    label->installEventFilter(this);
}

bool StripMouse::eventFilter(QObject* watched, QEvent* event) {
    (void)watched;
    // Only the mouse button and move events are QMouseEvents.
    const auto mouse = [event] { return static_cast<QMouseEvent*>(event); };
    switch (event->type()) {
    case QEvent::Enter:
        m_calls.showFull(true);
        m_calls.entered();
        return false;
    case QEvent::Leave:
        m_calls.showFull(false);
        return false;
    case QEvent::MouseButtonPress:
        if (mouse()->button() != Qt::LeftButton)
            return false;
        m_calls.showFull(false);
        m_drag.press(mouse()->timestamp(), quint64(QApplication::doubleClickInterval()),
                     mouse()->globalPosition().toPoint(), m_strip.pos());
        return true;
    case QEvent::MouseMove:
        if (const std::optional<QPoint> to =
                m_drag.moveTo(mouse()->globalPosition().toPoint(), mouse()->buttons() & Qt::LeftButton))
            m_strip.move(*to);
        return m_drag.moving();
    case QEvent::MouseButtonRelease:
        m_drag.stop();
        return false;
    case QEvent::MouseButtonDblClick:
        if (mouse()->button() != Qt::LeftButton)
            return false;
        m_drag.stop();
        m_calls.doubleClicked();
        return true;
    default:
        return false;
    }
}
