#include "timer_display.h"

#include <algorithm>

namespace timerdisplay {

namespace {

QString twoDigits(qint64 value) {
    return QString::number(value).rightJustified(2, u'0');
}

} // namespace

QString timeText(qint64 r, bool full) {
    if (r <= 0)
        return full ? QStringLiteral("0:00") : QStringLiteral("00");
    const qint64 seconds = r % 60;
    if (r < 3600) {
        const qint64 minutes = r / 60;
        if (full)
            return QString::number(minutes) + u':' + twoDigits(seconds);
        return r < 60 ? twoDigits(seconds) : QString::number(minutes);
    }
    const qint64 hours = r / 3600;
    const qint64 minutes = (r % 3600) / 60;
    if (full)
        return QString::number(hours) + u':' + twoDigits(minutes) + u':' + twoDigits(seconds);
    return QString::number(hours) + QStringLiteral("h ") + QString::number(minutes) + u'm';
}

QString displayText(qint64 remainingSecs, bool full, bool showRank, int rank) {
    QString text = timeText(remainingSecs, full);
    // The rank apart from the time: "2 #50" would read as one number.
    if (showRank)
        text += QStringLiteral(" \u00b7 #") + QString::number(rank);
    return text;
}

QRect desktopOf(const QList<QRect>& screens) {
    if (screens.isEmpty())
        return {};
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    for (const QRect& s : screens) {
        left = std::min(left, s.x());
        top = std::min(top, s.y());
        right = std::max(right, s.x() + s.width());
        bottom = std::max(bottom, s.y() + s.height());
    }
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

QPoint keptOnDesktop(const QRect& window, const QRect& desktop) {
    if (desktop.isEmpty())
        return window.topLeft();
    const int rightEdge = desktop.x() + desktop.width();
    const int bottomEdge = desktop.y() + desktop.height();
    const int centreX = window.x() + window.width() / 2;
    const int centreY = window.y() + window.height() / 2;
    QPoint place = window.topLeft();
    // Back to the first monitor's edge (0), not to the desktop's: a monitor left of the first
    // one may be switched off, the first one is always there.
    if (centreX > rightEdge)
        place.setX(rightEdge - window.width());
    else if (centreX < desktop.x())
        place.setX(0);
    if (centreY > bottomEdge)
        place.setY(bottomEdge - window.height());
    else if (centreY < desktop.y())
        place.setY(0);
    return place;
}

QPoint clearOf(const QRect& window, const QRect& other, const QRect& area) {
    if (!window.intersects(other))
        return window.topLeft();
    constexpr int gap = 8;
    const int below = other.y() + other.height() + gap;
    if (below + window.height() <= area.y() + area.height())
        return {window.x(), below};
    const int above = other.y() - gap - window.height();
    return above >= area.y() ? QPoint(window.x(), above) : window.topLeft();
}

QPoint stripPlace(QPoint saved, QSize strip, QSize reserve, const QList<QRect>& available,
                  const QRect& primaryAvailable, bool placed) {
    const QRect there(saved, strip);
    const bool seen = std::any_of(available.begin(), available.end(),
                                  [&there](const QRect& screen) { return screen.contains(there); });
    if ((placed || !saved.isNull()) && seen)
        return saved;
    // Off the very corner, where panels and hot corners of other desktops sit.
    constexpr int margin = 8;
    const QSize room = reserve.expandedTo(strip);
    return {std::max(primaryAvailable.left(), primaryAvailable.right() + 1 - margin - room.width()),
            std::max(primaryAvailable.top(), primaryAvailable.bottom() + 1 - margin - room.height())};
}

bool unitColours(RunState::Phase phase) {
    return phase != RunState::Phase::Pause;
}

void StripDrag::press(quint64 timestamp, quint64 doubleClickMs, QPoint global, QPoint windowPos) {
    if (m_lastPress == 0 || timestamp - m_lastPress > doubleClickMs) {
        m_moving = true;
        m_offset = global - windowPos;
    }
    m_lastPress = timestamp;
}

std::optional<QPoint> StripDrag::moveTo(QPoint global, bool leftHeld) const {
    if (!m_moving || !leftHeld)
        return std::nullopt;
    return global - m_offset;
}

} // namespace timerdisplay
