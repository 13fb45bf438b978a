#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <functional>

class QObject;
class QWidget;

// Where the program's windows go on the screens as they are now: the rules themselves are plain
// functions in timer_display; these read the screens and move the windows.
namespace screenplace {

// The rectangle that holds every screen.
QRect currentDesktop();
// Moves the window back onto the desktop when part of it lies outside.
void keepOnDesktop(QWidget& window);
// Where a plan start puts a strip of this size, saved where the user left it: there when it is
// seen, else at the default place (room kept for its widest text).
QPoint startPlace(QPoint saved, QSize size, QSize widest, bool placed);
// The window in the middle of the free area of its screen (the primary one when it has none).
void centre(QWidget& window);
// Calls changed whenever a screen is added, removed or changes its size, for as long as owner lives.
void watchScreens(QObject* owner, const std::function<void()>& changed);

} // namespace screenplace
