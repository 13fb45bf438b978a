// The Planning window's minute timer that keeps the percentile rank in its caption current.

#include "window_fixture.h"

namespace {

using PercentileRefreshTest = WindowTest;

TEST_F(PercentileRefreshTest, RecomputesOnlyWhileTheRankIsShownAndSeen) {
    struct Case {
        const char* name;
        bool rankOn;
        bool planningVisible;
        bool timerVisible;
        bool engineActive;
        bool unitRunning;
        bool recomputed;
    };
    const QList<Case> cases = {
        {"planning window shown", true, true, false, false, false, true},
        {"rank switched off", false, true, true, true, false, false},
        {"timer window shows a pause", true, false, true, true, false, true},
        {"timer window shows a unit", true, false, true, true, true, false},
        {"nothing shown", true, false, false, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        records.settings.showPercentileRanking = c.rankOn;
        engine.rank = 0;
        TFWorklist& w = open(c.planningVisible);
        QWidget timerWindow;
        timerWindow.setVisible(c.timerVisible);
        w.setTimerWindow(&timerWindow);
        engine.isActive = c.engineActive;
        engine.isUnit = c.unitRunning;
        int updates = 0;
        w.setPercentileUpdate([&] {
            ++updates;
            engine.rank = 75;
        });
        QTimer* t = timer(QStringLiteral("tmrUpdatePercentileRank"));
        ASSERT_TRUE(t);
        EXPECT_TRUE(t->isActive() && t->interval() == 60'000);

        w.tmrUpdatePercentileRankTimer();
        EXPECT_EQ(updates, c.recomputed ? 1 : 0);
        EXPECT_EQ(w.windowTitle().endsWith(QStringLiteral(" - #75")), c.recomputed)
            << w.windowTitle().toStdString();
        w.setTimerWindow(nullptr);
        engine.isActive = engine.isUnit = false;
    }
}

} // namespace
