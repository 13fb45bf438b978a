// What the Planning window shows of the run: the rule (start item, caption suffix, menus) as a
// table, and the window showing the run state and passing F9 and the automatic start on.

#include "planning_look.h"
#include "tooltip_delay.h"
#include "translation.h"
#include "window_fixture.h"

#include <QAction>
#include <QMenuBar>

using namespace Qt::StringLiterals;

namespace {

TEST(PlanningLook, FollowsThePhaseAndTheReplanningsLeft) {
    using Phase = RunState::Phase;
    // start item | its enabled state | caption suffix | blink | "Datei" | the planning menus
    const struct {
        Phase phase;
        int left;
        const char* look;
    } cases[] = {
        {Phase::Planning, 0, "Start|1||0|1|1"},
        {Phase::Planning, -1, "Start|1||0|1|1"},
        {Phase::Unit, 3, "Neu planen (3)|1| - EINHEIT AKTIV|1|0|0"},
        {Phase::Unit, 0, "Neu planen (0)|0| - EINHEIT AKTIV|1|0|0"},
        // Any negative allowance (a hand-edited file) is no limit.
        {Phase::Pause, -1, "Neu planen|1| - PAUSE AKTIV|0|1|0"},
        {Phase::Pause, -7, "Neu planen|1| - PAUSE AKTIV|0|1|0"},
        {Phase::Pause, 1, "Neu planen (1)|1| - PAUSE AKTIV|0|1|0"},
    };
    for (const auto& c : cases) {
        const PlanningLook l = planningLook(c.phase, c.left);
        const QStringList shown = {l.startCaption,
                                   QString::number(l.startEnabled),
                                   l.captionSuffix,
                                   QString::number(l.captionBlink),
                                   QString::number(l.fileMenu),
                                   QString::number(l.planningMenus)};
        EXPECT_EQ(shown.join(u'|'), QString::fromUtf8(c.look)) << int(c.phase) << " " << c.left;
    }
    // In the user's language.
    ASSERT_TRUE(translation::setUp(QStringLiteral(TAKTPLAN_LOCALE_DIR), u"en"_s).active);
    const QString english =
        planningLook(Phase::Unit, 1).captionSuffix + planningLook(Phase::Pause, 1).captionSuffix;
    translation::turnOff();
    EXPECT_EQ(english, u" - UNIT ACTIVE - PAUSE ACTIVE"_s);
}

class PlanningViewTest : public WindowTest {
protected:
    // The window as the program creates it, with the runner's commands counted.
    void openWithRunner() {
        adjustServices = [this](WorklistServices& services) {
            services.startCommand = [this] { ++starts; };
            services.autoStartCommand = [this] { ++autoStarts; };
        };
        open();
    }
    QAction* startItem() const { return window->menuBar()->actions().at(2); }

    int starts = 0;
    int autoStarts = 0;
};

TEST_F(PlanningViewTest, F9ReachesTheRunnerAsTheStartItemAllows) {
    // The start item's caption and enabled state, the focus in the list -> starts.
    const std::tuple<const char*, bool, bool, int> cases[] = {{"Start", true, false, 1},
                                                              {"Neu planen (0)", false, false, 0},
                                                              // The list's own F9 is never disabled.
                                                              {"Neu planen (0)", false, true, 1}};
    openWithRunner();
    for (const auto& [caption, enabled, inList, expected] : cases) {
        starts = 0;
        engine.isActive = !enabled; // a plan runs when no re-planning is left
        window->updateRunState([&](RunState& s) {
            s.startCaption = QString::fromUtf8(caption);
            s.startEnabled = enabled;
        });
        inList ? list()->setFocus(Qt::OtherFocusReason) : edit()->setFocus(Qt::OtherFocusReason);
        // No debounce of its own: the runner has one.
        key(Qt::Key_F9);
        key(Qt::Key_F9);
        EXPECT_EQ(starts, 2 * expected) << caption << inList;
        EXPECT_EQ(startItem()->text(), QString::fromUtf8(caption));
    }
    // The list menu's planning items follow the run state.
    const QAction* changeStart = window->findChild<QMenu*>(u"pmWorklistEdit"_s)->actions().at(1);
    for (const bool all : {false, true}) {
        engine.isActive = !all;
        window->updateRunState([all](RunState& s) { s.listMenuAllItems = all; });
        EXPECT_EQ(changeStart->isEnabled(), all);
    }
    window->enableAutoStart();
    EXPECT_TRUE(waitFor([this] { return autoStarts == 1; }));
    EXPECT_FALSE(timer(u"tmrAutoStart"_s)->isActive());
}

TEST_F(PlanningViewTest, ShowsTheRunnersRunStateFromWhatItShowedBefore) {
    openWithRunner();
    QTimer* focusLock = timer(u"tmrFocusLock"_s);
    EXPECT_TRUE(focusLock->isActive());
    // Observing the runner's state hands over what the window shows: nothing changes yet.
    RunStatePublisher runner;
    window->observe(runner);
    EXPECT_TRUE(runner.state().focusLock && focusLock->isActive());
    EXPECT_EQ(runner.state().startCaption, u"Start"_s);

    engine.isActive = true; // the caption shows the suffix only while a plan runs
    runner.update([](RunState& s) {
        s.focusLock = false;
        s.tooltipDelayMs = 0;
        s.inputVisible = false;
        s.maxReplanEnabled = false;
        s.captionSuffix = u" - EINHEIT AKTIV"_s;
        s.captionBlink = true;
    });
    EXPECT_FALSE(focusLock->isActive());
    EXPECT_EQ(applicationTooltipDelay(), 0);
    EXPECT_TRUE(strip()->isHidden());
    EXPECT_FALSE(window->findChild<QAction*>(u"mniMaxNeuPlanen"_s)->isEnabled());
    EXPECT_TRUE(timer(u"tmrCaptionBlinken"_s)->isActive());
    EXPECT_EQ(window->windowTitle(), u"Taktplan (0/0) - EINHEIT AKTIV"_s);
    // Hiding ends the blink and mouse editing in the run state too.
    window->hideWindow();
    EXPECT_FALSE(runner.state().captionBlink || runner.state().mouseEditing);
    EXPECT_FALSE(timer(u"tmrCaptionBlinken"_s)->isActive());
    // The dialog guard, released, brings the focus lock back.
    window->releaseDialogGuard();
    EXPECT_TRUE(focusLock->isActive());

    window->move(0, 0);
    window->showCentred();
    EXPECT_TRUE(window->isVisible());
    const QPoint centre = window->screen()->availableGeometry().center();
    EXPECT_LE((window->geometry().center() - centre).manhattanLength(), 4);
}

} // namespace
