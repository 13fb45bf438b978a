#pragma once

#include <QDateTime>
#include <QList>
#include <QRect>
#include <QString>

#include <functional>
#include <optional>

class Clock;
class SoundPlayer;

// What the countdown overlay reads from the running plan, at every use.
class CountdownSource {
public:
    virtual ~CountdownSource() = default;
    virtual qint64 remainingSeconds() const = 0;
    virtual qint64 remainingMs() const = 0;
    // The full length of the running entry.
    virtual qint64 entryLengthMs() const = 0;
    // A unit (not a pause) runs.
    virtual bool unitRunning() const = 0;
    virtual QString unitTitle() const = 0;
    // When the running unit ends (its start plus its length).
    virtual QDateTime unitEnd() const = 0;
    // The first pending entry: its display text ("" when none) and its start.
    virtual QString nextPendingTitle() const = 0;
    virtual QDateTime nextPendingStart() const = 0;
    // The "Sounds" setting.
    virtual bool soundsOn() const = 0;
};

// The run engine, the plan list and the settings as the overlay sees them. A template so that
// the window target needs neither the engine nor the plan linked; the program instantiates it.
template <class Engine, class Plan, class SettingsRecord>
class RunningCountdownSource final : public CountdownSource {
public:
    RunningCountdownSource(const Engine& engine, const Plan& plan, const SettingsRecord& settings)
        : m_engine(engine), m_plan(plan), m_settings(settings) {}

    qint64 remainingSeconds() const override { return m_engine.remainingSeconds(); }
    qint64 remainingMs() const override { return m_engine.remainingMs(); }
    qint64 entryLengthMs() const override { return m_engine.entryLengthMs(); }
    bool unitRunning() const override { return m_engine.unitRunning(); }
    QString unitTitle() const override { return m_engine.currentTitle(); }
    QDateTime unitEnd() const override { return m_engine.unitEnd(); }
    QString nextPendingTitle() const override { return m_plan.NextPendingTitle(); }
    QDateTime nextPendingStart() const override { return m_plan.NextPendingStart(); }
    bool soundsOn() const override { return m_settings.Sounds; }

private:
    const Engine& m_engine;
    const Plan& m_plan;
    const SettingsRecord& m_settings;
};

namespace countdown {

inline constexpr int windowHeight = 49;
inline constexpr int initialWidth = 442;
inline constexpr int zeitLeft = 5;
inline constexpr int zeitWidth = 108;
inline constexpr int slideInStep = 5;
inline constexpr int slideOutStep = 30;
// A dismissal keeps the overlay away this long.
inline constexpr qint64 suppressMs = 10'000;
// However it got stuck, a sliding-out overlay is gone this long after it appeared.
inline constexpr qint64 longestShowMs = 7000;
inline constexpr int animationMs = 10;
inline constexpr int flashMs = 150;

// "25:00", "1:59", "0:05"; from one hour on hours and minutes ("3:05"). Below zero: "0:00".
QString remainingText(qint64 seconds);

// The caption line. announce: the overlay was shown while no unit ran; early: less than 10 s of
// the running entry have passed.
QString captionText(bool unitRunning, bool announce, qint64 remainingMs, qint64 entryLengthMs,
                    qint64 remainingSeconds);

// "14:05 Uhr"; "" for no time.
QString clockText(const QDateTime& time);

// The largest right and bottom edges over all monitors (0 without monitors). The strip slides in
// to end at the right one and sits centred on half the bottom one.
struct ScreenEdges {
    int right = 0;
    int bottom = 0;
    // Of the monitor the strip slides onto (the one with the largest right edge); 0 without.
    int rightMonitorWidth = 0;
};
ScreenEdges screenEdges(const QList<QRect>& monitors);
// Top of the strip: half the bottom edge less half its height, both halves truncated.
int stripTop(const ScreenEdges& edges, int height = windowHeight);

// The sound for a showing: "Countdown60.wav" from 51 to 59 s left, "Countdown30.wav" from 21 to
// 50 s, "" otherwise, while a unit runs or when sounds are off.
QString soundFor(qint64 remainingSeconds, bool unitRunning, bool soundsOn);

} // namespace countdown

// The overlay's behaviour without a window: sliding in and out, display time, dismissal and its
// suppression, the label texts and their layout, blinking "0:00" and the sounds. The window
// forwards its timer events here and copies the state onto its widgets; tests drive it on a
// fake clock.
class CountdownLogic {
public:
    enum class LabelId { Zeit, Caption, Title, Time };
    struct Label {
        QString text;
        int left = 0;
        int width = 0;
        bool visible = true;
    };
    struct Services {
        const Clock& clock;
        SoundPlayer& sound;
        // The monitors' geometries, looked up at every use.
        std::function<QList<QRect>()> monitors;
        // The width a label needs for its text.
        std::function<int(LabelId, const QString&)> textWidth;
        // The file to play for a sound name; "" for none.
        std::function<QString(const QString&)> soundPath;
    };

    explicit CountdownLogic(Services services);

    // Without a source the overlay shows nothing.
    void setSource(const CountdownSource* source) { m_source = source; }

    // --- events -----------------------------------------------------------------------------
    // Shows the overlay for the display time (0: until dismissed).
    void show(int displayMs);
    // A click, or re-planning: slides out and keeps away for 10 s.
    void dismiss();
    void slideInTick();
    void displayTimeOver();
    void slideOutTick();
    void refreshTick();
    void flashTick();
    // The window was hidden from outside: the overlay is off screen and may come again.
    void windowHidden();

    // --- state ------------------------------------------------------------------------------
    bool visible() const { return m_visible; }
    bool announce() const { return m_announce; }
    QRect geometry() const { return {m_left, m_top, m_width, countdown::windowHeight}; }
    const Label& label(LabelId id) const { return m_labels[int(id)]; }

    bool slidingIn() const { return m_slideIn; }
    bool slidingOut() const { return m_slideOut; }
    bool flashing() const { return m_flash; }
    bool displayTimerRunning() const { return m_display; }
    int displayMs() const { return m_displayMs; }
    // Counts every restart of the display time, so the window knows to restart its timer.
    int displayRestarts() const { return m_displayRestarts; }
    // The refresh matters only while the overlay is on screen.
    bool refreshing() const { return m_visible; }

private:
    Label& lbl(LabelId id) { return m_labels[int(id)]; }
    void setText(LabelId id, const QString& text);
    // A title too long for the monitor would push the time off its left edge: cut with "…" to
    // maxWidth pixels.
    void fitTitle(int maxWidth);
    void hideWindow();
    int right(LabelId id) const;

    Services m_s;
    const CountdownSource* m_source = nullptr;

    bool m_visible = false;
    bool m_announce = false;
    std::optional<qint64> m_lastDismissal;
    qint64 m_shownTick = 0;
    int m_left = 0;
    int m_top = 0;
    int m_width = countdown::initialWidth;
    Label m_labels[4];

    bool m_slideIn = false;
    bool m_slideOut = false;
    bool m_flash = false;
    bool m_display = false;
    int m_displayMs = 3000;
    int m_displayRestarts = 0;
};
