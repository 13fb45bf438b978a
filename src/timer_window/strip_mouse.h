#pragma once

#include "timer_display.h"

#include <QObject>

#include <functional>

class QWidget;

// The strip under the mouse, watched on the labels that cover it: hovering shows the full time,
// a left press and drag moves the window, a double-click asks for the Planning window.
class StripMouse final : public QObject {
public:
    struct Calls {
        // The full time (mouse over the strip) or the compact one (mouse gone, or pressed).
        std::function<void(bool full)> showFull;
        // The mouse came over the strip.
        std::function<void()> entered;
        std::function<void()> doubleClicked;
    };
    StripMouse(QWidget& strip, Calls calls);
    void watch(QWidget* label);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& m_strip;
    Calls m_calls;
    timerdisplay::StripDrag m_drag;
};
