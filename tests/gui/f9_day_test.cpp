// F9 through the real plan runner and run engine: the windows wired as the program wires them,
// on a fake clock, with a user who types two units, starts them and re-plans in the second.

#include "fake_platform_services.h"
#include "fake_run_views.h"
#include "percentile.h"
#include "plan_runner.h"
#include "run_engine.h"
#include "run_feedback.h"
#include "tf_timer.h"
#include "timer_model.h"
#include "window_fixture.h"

#include <QAction>
#include <QLabel>
#include <QMenuBar>

namespace {

class F9DayTest : public WindowTest {
protected:
    F9DayTest() {
        records.settings.NeuPlanenMax = 3;
        records.settings.Verbleibend = 3;
        records.settings.DefaultSollWert = -1;
        records.settings.Sounds = false;
        records.settings.InPauseSperren = false;
        records.settings.HinweisAufgabenwechsel = false;
    }
    ~F9DayTest() override {
        // The window refers to the runner; it goes first.
        if (window)
            window->hide();
        window.reset();
    }

    QAction* startItem() const { return window->menuBar()->actions().at(2); }
    QString logText() const { return QString::fromLatin1(data.read(QStringLiteral("Dezuzedu.log"))); }
    // tmrZeit's events for that many seconds of the fake clock.
    void tickFor(int secs) {
        auto* tmrZeit = timerWindow->findChild<QTimer*>(QStringLiteral("tmrZeit"));
        for (int step = 0; step < secs * 10 && tmrZeit->isActive(); ++step) {
            clock.advanceMs(100);
            QMetaObject::invokeMethod(tmrZeit, "timeout");
        }
    }

    Worklist list{clock, records.settings};
    PlanFile file{list, clock, records.settings, data.folder(), records.debugLog, ui};
    FakeSoundPlayer sound;
    FakeWorkstationLock lock;
    FakeAutostartEntry autostart;
    NullPublisher publisher;
    NullCountdownOverlay countdown;
    NullPercentile percentile;
    PlanRunner runner{PlanRunner::Services{list, file, records, ui, sound, autostart, publisher, countdown}};
    RunEngine run{
        RunEngine::Services{records, runner, sound, lock, companion, publisher, countdown, percentile, ui}};
    RunningPlanModel<RunEngine, PlanRunner> model{run, runner};
    std::unique_ptr<TFTimer> timerWindow;
};

TEST_F(F9DayTest, TwoUnitsStartedAndReplannedInTheSecond) {
    timerWindow = std::make_unique<TFTimer>(
        TimerServices{clock, records, list, file, ui, companion, launcher, shell, countdown, model, nullptr});
    WorklistServices services{clock, data.folder(), records, companion, shell, launcher, &ui, list, file};
    services.startCommand = [this] { runner.Start1Click(); };
    window = std::make_unique<TFWorklist>(services);
    run.setTimerView(timerWindow.get());
    run.setPlanningView(window.get());
    runner.setView(window.get());
    window->setTimerWindow(timerWindow.get());
    timerWindow->setPlanningWindow(window.get());
    clock.set(QDate(2026, 12, 7), QTime(9, 0));
    showActive();

    enter(QStringLiteral("Lesen"));
    enter(QStringLiteral("Schreiben"));
    ASSERT_EQ(list.entries().size(), 2);
    key(Qt::Key_F9);
    EXPECT_TRUE(run.active());
    EXPECT_TRUE(run.unitRunning());
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(timerWindow->isVisible());
    EXPECT_TRUE(timerWindow->toolTip().contains(QStringLiteral("Lesen")))
        << timerWindow->toolTip().toStdString();
    EXPECT_EQ(timerWindow->findChild<QLabel*>(QStringLiteral("lblZeit"))->text().left(2),
              QStringLiteral("25"));
    EXPECT_EQ(startItem()->text(), QStringLiteral("Neu planen (3)"));
    EXPECT_TRUE(strip()->isHidden());

    // Through the end of the first unit and the small pause into the second, on the Timer
    // window's own tick.
    tickFor(25 * 60 + 1);
    EXPECT_TRUE(logText().contains(QStringLiteral("09:00|25 Lesen [x]"))) << logText().toStdString();
    EXPECT_EQ(run.phase(), RunState::Phase::Pause);
    EXPECT_TRUE(timerWindow->isVisible());
    tickFor(records.settings.KleinePause * 60 + 1);
    EXPECT_TRUE(run.unitRunning());
    EXPECT_EQ(run.currentTitle(), QStringLiteral("Schreiben"));
    EXPECT_TRUE(timerWindow->toolTip().contains(QStringLiteral("Schreiben")));
    EXPECT_FALSE(window->isVisible());
    tickFor(60);
    EXPECT_TRUE(logText().contains(QStringLiteral("09:30|25 Schreiben"))) << logText().toStdString();

    // "Planungsmodus", then F9 in the Planning window re-plans.
    timerWindow->planningMode();
    ASSERT_TRUE(window->isVisible());
    activate(window.get());
    key(Qt::Key_F9);
    EXPECT_FALSE(run.active());
    EXPECT_FALSE(timerWindow->isVisible());
    EXPECT_EQ(startItem()->text(), QStringLiteral("Start"));
    EXPECT_FALSE(strip()->isHidden());
    EXPECT_EQ(records.settings.Verbleibend, 2);
    EXPECT_TRUE(logText().endsWith(QStringLiteral("--- NEU GEPLANT ---"))) << logText().toStdString();
    ASSERT_EQ(list.entries().size(), 2);
    EXPECT_EQ(list.entries().at(1).status, QStringLiteral(" ")) << "the second unit pending again";
    EXPECT_TRUE(savedPlan().contains("Schreiben"));

    // Editable again: a new unit can be typed, and F9 starts again (one re-planning used).
    enter(QStringLiteral("Rechnen"));
    EXPECT_GE(list.entries().size(), 3);
    clock.advanceMs(1000);
    key(Qt::Key_F9);
    EXPECT_TRUE(run.unitRunning());
    EXPECT_EQ(startItem()->text(), QStringLiteral("Neu planen (2)"));
    EXPECT_EQ(records.settings.Verbleibend, 2);
}

} // namespace
