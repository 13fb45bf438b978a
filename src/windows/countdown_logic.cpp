#include "countdown_logic.h"

#include "clock.h"
#include "sound_player.h"
#include "translate.h"

#include <algorithm>

namespace countdown {

namespace {

QString twoDigits(qint64 value) {
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

} // namespace

QString remainingText(qint64 seconds) {
    // A phase just over reads as the moment itself, not as a negative time.
    const qint64 s = std::max<qint64>(seconds, 0);
    const qint64 hours = s / 3600;
    if (hours >= 1)
        return QString::number(hours) + u':' + twoDigits((s % 3600) / 60);
    return QString::number(s / 60) + u':' + twoDigits(s % 60);
}

QString captionText(bool unitRunning, bool announce, qint64 remainingMs, qint64 entryLengthMs,
                    qint64 remainingSeconds) {
    const qint64 early = remainingMs + 10'000;
    if (unitRunning && announce && early > entryLengthMs)
        return tr_("Sekunden bis:");
    if (unitRunning && (!announce || early < entryLengthMs))
        return remainingSeconds >= 60 ? tr_("Minuten verbleiben in:") : tr_("Sekunden verbleiben in:");
    const qint64 hours = remainingSeconds / 3600;
    if (hours >= 2)
        return tr_("Stunden bis:");
    if (hours == 1)
        return tr_("Stunde bis:");
    return remainingSeconds >= 60 ? tr_("Minuten bis:") : tr_("Sekunden bis:");
}

QString clockText(const QDateTime& time) {
    if (!time.isValid())
        return {};
    return tr_("%1 Uhr").arg(time.toString(QStringLiteral("hh:mm")));
}

ScreenEdges screenEdges(const QList<QRect>& monitors) {
    if (monitors.isEmpty())
        return {};
    ScreenEdges edges{monitors.first().x() + monitors.first().width(),
                      monitors.first().y() + monitors.first().height(), monitors.first().width()};
    for (const QRect& m : monitors) {
        if (m.x() + m.width() > edges.right)
            edges.rightMonitorWidth = m.width();
        edges.right = std::max(edges.right, m.x() + m.width());
        edges.bottom = std::max(edges.bottom, m.y() + m.height());
    }
    return edges;
}

int stripTop(const ScreenEdges& edges, int height) {
    return edges.bottom / 2 - height / 2;
}

QString soundFor(qint64 remainingSeconds, bool unitRunning, bool soundsOn) {
    if (remainingSeconds >= 60 || !soundsOn || unitRunning)
        return {};
    if (remainingSeconds > 50)
        return QStringLiteral("Countdown60.wav");
    if (remainingSeconds > 20)
        return QStringLiteral("Countdown30.wav");
    return {};
}

} // namespace countdown

using namespace countdown;

CountdownLogic::CountdownLogic(Services services) : m_s(std::move(services)) {
    lbl(LabelId::Zeit) = Label{QString(), zeitLeft, zeitWidth, true};
    setText(LabelId::Zeit, QStringLiteral("25:00"));
    lbl(LabelId::Caption).left = right(LabelId::Zeit) + 5;
    setText(LabelId::Caption, tr_("Minuten bis:"));
    lbl(LabelId::Title).left = right(LabelId::Zeit) + 5;
    setText(LabelId::Title, QString());
    lbl(LabelId::Time).left = 284;
    setText(LabelId::Time, QString());
}

void CountdownLogic::setText(LabelId id, const QString& text) {
    Label& l = lbl(id);
    // The refresh runs every 10 ms: a text that stays needs no measuring.
    if (l.text == text)
        return;
    l.text = text;
    if (!m_s.textWidth) {
        l.width = id == LabelId::Zeit ? zeitWidth : 0;
        return;
    }
    // The time keeps its size while it has two digits of minutes, so the texts beside it stand
    // still; it grows with a font wider than the one it was laid out for, or a longer time.
    l.width = id == LabelId::Zeit
                  ? std::max({zeitWidth, m_s.textWidth(id, QStringLiteral("25:00")), m_s.textWidth(id, text)})
                  : m_s.textWidth(id, text);
}

int CountdownLogic::right(LabelId id) const {
    return label(id).left + label(id).width;
}

void CountdownLogic::hideWindow() {
    m_visible = false;
    m_flash = false;
}

void CountdownLogic::show(int displayMs) {
    if (!m_source || m_slideIn || m_visible)
        return;
    const qint64 now = m_s.clock.tickMs();
    if (m_lastDismissal && now - *m_lastDismissal <= suppressMs)
        return;
    const CountdownSource& src = *m_source;

    m_visible = true;
    m_shownTick = now;

    const QString sound = soundFor(src.remainingSeconds(), src.unitRunning(), src.soundsOn());
    if (!sound.isEmpty() && m_s.soundPath) {
        const QString path = m_s.soundPath(sound);
        if (!path.isEmpty())
            m_s.sound.play(path);
    }

    m_flash = false;
    lbl(LabelId::Zeit).visible = true;
    const ScreenEdges edges = screenEdges(m_s.monitors ? m_s.monitors() : QList<QRect>());
    m_top = stripTop(edges);
    m_slideOut = false;

    if (src.unitRunning()) {
        m_announce = false;
        setText(LabelId::Title, src.unitTitle());
        setText(LabelId::Time, clockText(src.unitEnd()));
        // Until the refresh words it by the time left.
        setText(LabelId::Caption, tr_("Aktive Einheit:"));
    } else {
        m_announce = true;
        const QString next = src.nextPendingTitle();
        setText(LabelId::Title, next.isEmpty() ? tr_("Ende") : next);
        setText(LabelId::Time, clockText(src.nextPendingStart()));
    }
    setText(LabelId::Zeit, remainingText(src.remainingSeconds()));

    const int textLeft = right(LabelId::Zeit) + 5;
    lbl(LabelId::Caption).left = textLeft;
    lbl(LabelId::Title).left = textLeft;
    fitTitle(edges.rightMonitorWidth - textLeft - 7);
    lbl(LabelId::Time).left = right(LabelId::Caption) + 120;
    m_width = std::max(right(LabelId::Title) + 7, right(LabelId::Time) + 7);
    lbl(LabelId::Time).left = m_width - label(LabelId::Time).width - 7;

    // Just outside the right edge, from where it slides in.
    m_left = edges.right;
    if (displayMs != 0) {
        m_display = true;
        m_displayMs = displayMs;
        ++m_displayRestarts;
    }
    m_slideIn = true;
}

void CountdownLogic::fitTitle(int maxWidth) {
    const QString title = label(LabelId::Title).text;
    if (!m_s.textWidth || maxWidth <= 0 || label(LabelId::Title).width <= maxWidth)
        return;
    // The longest beginning that fits with the ellipsis after it.
    const QString ellipsis(QChar(0x2026));
    qsizetype fits = 0;
    qsizetype tooLong = title.size();
    while (tooLong - fits > 1) {
        const qsizetype mid = (fits + tooLong) / 2;
        if (m_s.textWidth(LabelId::Title, title.first(mid) + ellipsis) <= maxWidth)
            fits = mid;
        else
            tooLong = mid;
    }
    setText(LabelId::Title, title.first(fits) + ellipsis);
}

void CountdownLogic::dismiss() {
    m_lastDismissal = m_s.clock.tickMs();
    m_slideIn = false;
    m_display = false;
    m_slideOut = true;
}

void CountdownLogic::slideInTick() {
    if (!m_slideIn)
        return;
    const int end = screenEdges(m_s.monitors ? m_s.monitors() : QList<QRect>()).right - m_width;
    if (end < m_left && end <= m_left - slideInStep) {
        m_left -= slideInStep;
        if (m_left == end)
            m_slideIn = false;
        return;
    }
    if (end < m_left)
        m_left = end;
    // In place (or already further in): nothing left to slide.
    m_slideIn = false;
}

void CountdownLogic::displayTimeOver() {
    m_slideOut = true;
    m_slideIn = false;
    m_display = false;
}

void CountdownLogic::slideOutTick() {
    if (!m_slideOut)
        return;
    // Nothing on screen to slide away.
    if (!m_visible) {
        m_slideOut = false;
        return;
    }
    const int edge = screenEdges(m_s.monitors ? m_s.monitors() : QList<QRect>()).right;
    if (m_s.clock.tickMs() - m_shownTick > longestShowMs || edge <= m_left) {
        hideWindow();
        m_slideOut = false;
        return;
    }
    m_left += slideOutStep;
}

void CountdownLogic::refreshTick() {
    if (!m_source)
        return;
    const CountdownSource& src = *m_source;
    const bool unit = src.unitRunning();
    const qint64 secs = src.remainingSeconds();
    const qint64 ms = src.remainingMs();
    const qint64 length = src.entryLengthMs();

    setText(LabelId::Caption, captionText(unit, m_announce, ms, length, secs));

    Label& zeit = lbl(LabelId::Zeit);
    // The moment has come: the start just announced, or the first 5 s of the unit it announced.
    if (m_announce && m_visible && (secs <= 0 || (unit && ms + 5000 > length))) {
        if (!m_flash) {
            zeit.visible = false;
            setText(LabelId::Zeit, QStringLiteral("0:00"));
            m_flash = true;
        }
    } else {
        zeit.visible = true;
        setText(LabelId::Zeit, remainingText(secs));
    }

    const int textLeft = right(LabelId::Zeit) + 5;
    lbl(LabelId::Caption).left = textLeft;
    lbl(LabelId::Title).left = textLeft;
    lbl(LabelId::Time).left = m_width - label(LabelId::Time).width - 7;
    m_width = std::max(right(LabelId::Title) + 7, right(LabelId::Time) + 7);
}

void CountdownLogic::flashTick() {
    Label& zeit = lbl(LabelId::Zeit);
    if (m_flash && zeit.text == QStringLiteral("0:00"))
        zeit.visible = !zeit.visible;
}

void CountdownLogic::windowHidden() {
    hideWindow();
    m_slideIn = false;
    m_slideOut = false;
    m_display = false;
}
