#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class ConversionGuard;
class QTimer;
class QWidget;
class ShownRunState;
class Worklist;
struct Settings;

// The timers that animate the Planning window (the focus lock has its own), and what each does:
// tmrUpdate refreshes the schedule, tmrBlinken blinks a unit just completed, tmrCaptionBlinken
// the caption's suffix, tmrAutoStart resumes a running plan shortly after start, and
// tmrUpdatePercentileRank refreshes the rank once a minute from creation on.
class PlanningTimers final : public QObject {
    Q_DISABLE_COPY_MOVE(PlanningTimers)

public:
    struct Parts {
        QWidget& window;
        Worklist& worklist;
        const Settings& settings;
        ConversionGuard& guard;
        ShownRunState& runState;
        // The runner's automatic start; without one tmrAutoStart only stops.
        std::function<void()> autoStart;
        // After the automatic start: the menus follow the run's phase.
        std::function<void()> afterAutoStart;
    };
    explicit PlanningTimers(Parts parts);

    void updateStep();
    void blinkStep();
    void captionBlinkStep();
    void autoStartStep();
    void percentileRankStep();

    QTimer* update;
    QTimer* blink;
    QTimer* captionBlink;
    QTimer* autoStart;
    QTimer* percentileRank;
    // While it shows a pause, the rank is refreshed for it also with the Planning window hidden.
    QPointer<QWidget> timerWindow;
    // The percentile rank's recomputation; without one only the caption is refreshed.
    std::function<void()> updatePercentile;

private:
    Parts m_parts;
};
