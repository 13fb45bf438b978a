#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>

// What the Timer window shows and where it may stand, without any widget.
namespace timerdisplay {

// The remaining time: compact while the mouse is elsewhere ("24", "1h 5m"), full while it is
// over the window ("24:59", "1:05:09").
QString timeText(qint64 remainingSecs, bool full);
// The time text with " #" and the percentile rank when the rank is shown.
QString displayText(qint64 remainingSecs, bool full, bool showRank, int rank);
// The span of all monitors; its left and top never lie right of or below 0.
QRect desktopOf(const QList<QRect>& screens);
// Where a window must stand so that its centre stays on the desktop.
QPoint keptOnDesktop(const QRect& window, const QRect& desktop);

} // namespace timerdisplay
