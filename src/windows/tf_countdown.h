#pragma once

#include "countdown_logic.h"
#include "run_feedback.h"

#include <QFont>
#include <QWidget>

class Clock;
class QLabel;
class QTimer;
class SoundPlayer;

// The countdown overlay: a borderless strip that slides in at the right edge of the desktop
// shortly before the next start, counts down in large digits, blinks "0:00" when the moment has
// come and slides out after its display time or when clicked. It never takes the keyboard focus.
// The behaviour lives in CountdownLogic; this window runs its timers and shows its state.
class TFCountdown final : public QWidget, public CountdownOverlay {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TFCountdown)

public:
    TFCountdown(const Clock& clock, SoundPlayer& sound, QWidget* parent = nullptr);
    // A logic built by the caller (tests give it their own monitors and sounds).
    TFCountdown(const Clock& clock, SoundPlayer& sound, std::function<QList<QRect>()> monitors,
                std::function<QString(const QString&)> soundPath, QWidget* parent = nullptr);
    ~TFCountdown() override;

    // nullptr: the overlay shows nothing.
    void setSource(const CountdownSource* source);

    // --- CountdownOverlay -------------------------------------------------------------------
    void showFor(int ms) override;
    // A dismissal: slides out and keeps the overlay away for the next 10 s.
    void hide() override;

    const CountdownLogic& logic() const { return m_logic; }

    // The monitors' geometries as the system has them now.
    static QList<QRect> systemMonitors();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    int textWidth(CountdownLogic::LabelId id, const QString& text) const;
    QLabel* label(CountdownLogic::LabelId id) const;
    // Copies the logic's state onto the window, its labels and its timers.
    void sync();
    template <class Step> void run(Step step) {
        (m_logic.*step)();
        sync();
    }

    // Before the logic, which measures its labels from the start.
    QFont m_textFont;
    QFont m_titleFont;
    QFont m_zeitFont;
    CountdownLogic m_logic;
    QLabel* lblZeit = nullptr;
    QLabel* lbl1 = nullptr;
    QLabel* lblNaechsteEinheit = nullptr;
    QLabel* lblStartzeit = nullptr;
    QTimer* tmrEinblenden = nullptr;
    QTimer* tmrAusblenden = nullptr;
    QTimer* tmrAnzeigezeit = nullptr;
    QTimer* tmrFlash = nullptr;
    QTimer* tmrAnzeigen = nullptr;
    int m_displayRestarts = 0;
    // The colours last given to the window: announcing or running-unit, none yet.
    std::optional<bool> m_announceColours;
};
