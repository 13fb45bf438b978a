#include "../window_front.h"

#include <QWidget>

#include <windows.h>

void bringWindowToFront(QWidget& window) {
    if (window.isMinimized())
        window.showNormal();
    // A window that declines the keyboard (the countdown overlay) is only brought up.
    if (window.windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus)) {
        window.raise();
        return;
    }
    const HWND target = reinterpret_cast<HWND>(window.winId());
    // Windows lets only the thread of the foreground window hand the focus over: borrow its
    // input state for the moment of the switch.
    const DWORD foregroundThread = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
    const DWORD ownThread = GetCurrentThreadId();
    const bool attached = foregroundThread != 0 && foregroundThread != ownThread &&
                          AttachThreadInput(foregroundThread, ownThread, TRUE);
    BringWindowToTop(target);
    SetForegroundWindow(target);
    if (attached)
        AttachThreadInput(foregroundThread, ownThread, FALSE);
    window.raise();
    window.activateWindow();
}
