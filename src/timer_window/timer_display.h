#pragma once

#include "run_state.h"

#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>

#include <optional>

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
// Where a window that came up over another one (a note still to be read) goes instead: just below
// it, else just above it, inside area; where it is when it covers nothing or finds no room.
QPoint clearOf(const QRect& window, const QRect& other, const QRect& area);
// Where the strip of that size stands at a plan start: where the user left it (saved), unless
// that place was never chosen (0, 0 while the user has not placed the strip: what the settings
// hold before any) or no screen shows the strip whole there (under a panel, on a monitor gone
// since). Then it stands at the bottom right of the primary screen's free area, with room for
// reserve (the widest text it may show).
QPoint stripPlace(QPoint saved, QSize strip, QSize reserve, const QList<QRect>& available,
                  const QRect& primaryAvailable, bool placed = false);
// The unit's colours (black strip, white digits) or a pause's (the reverse); before the first
// phase the strip wears the unit's.
bool unitColours(RunState::Phase phase);

// Moving the strip with the mouse: a left press starts a move unless it is the second press of a
// double-click; the strip then follows the mouse while the left button is held.
class StripDrag {
public:
    // A left press at global (the window at windowPos), at time stamp ms.
    void press(quint64 timestamp, quint64 doubleClickMs, QPoint global, QPoint windowPos);
    // Where the window goes for the mouse at global; none: it stays.
    std::optional<QPoint> moveTo(QPoint global, bool leftHeld) const;
    bool moving() const { return m_moving; }
    void stop() { m_moving = false; }

private:
    bool m_moving = false;
    QPoint m_offset;
    // The time stamp of the last press; 0: none yet.
    quint64 m_lastPress = 0;
};

} // namespace timerdisplay
