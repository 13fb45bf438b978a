// The Planning window's presentation: size and layout, menus and their keys, the timers, closing,
// the focus lock, and what it shows of the run: the rule (start item, caption suffix, menus) as a
// table, and the window showing the run state and passing F9 and the automatic start on.

#include "case_table.h"
#include "planning_look.h"
#include "tooltip_delay.h"
#include "translation.h"
#include "window_fixture.h"
#include "window_user_interface.h"

#include <QMenuBar>
#include <QSignalSpy>

using namespace Qt::StringLiterals;

namespace {

QList<CaseRow> cases(const QString& section) {
    return caseTable(QStringLiteral(GUI_TEST_DATA "/window_cases.txt"), section);
}

using WindowLayoutTest = WindowTest;

TEST_F(WindowLayoutTest, SizeAndFontFollowTheSettingsAndTheListTakesTheRoomLeft) {
    records.settings.Breite = 640;
    records.settings.Hoehe = 320;
    records.settings.Schriftgroesse = 14;
    open();
    EXPECT_EQ(window->size(), QSize(640, 320));
    EXPECT_EQ(list()->font().family() + QString::number(field()->font().pointSize()), u"Tahoma14"_s);
    // The list fills the window above the input strip, and all of it while the strip is hidden
    // (a plan runs).
    const QRect client = window->centralWidget()->rect();
    EXPECT_EQ(list()->geometry(), client.adjusted(0, 0, 0, -strip()->height()));
    window->updateRunState([](RunState& s) { s.inputVisible = false; });
    EXPECT_EQ(list()->geometry(), client);
    // Never smaller than usable, also from too small values of a hand-edited file.
    window->hide();
    records.settings.Breite = 10;
    records.settings.Hoehe = 0;
    showActive();
    EXPECT_EQ(window->size(), QSize(430, 185));
    // Settings.ini edited by hand: rows taller than the window would hide the plan, and a font of
    // billions of points paints no text at all.
    for (const int points : {500, 2000000000}) {
        records.settings.Schriftgroesse = points;
        open();
        addFixed(u"Eins"_s, QTime(11, 0));
        EXPECT_GT(QFontMetrics(list()->font()).horizontalAdvance(u"Eins"_s), 0) << points;
        EXPECT_LT(list()->rowHeight(0), list()->viewport()->height()) << points;
    }
}

TEST_F(WindowLayoutTest, SizeIsKeptHoweverTheProgramEnds) {
    // Ctrl+Q, closing, hiding, and the end of a run the app reports (a termination signal, say).
    const std::function<void()> ends[] = {[this] { key(Qt::Key_Q, Qt::ControlModifier); },
                                          [this] { window->close(); }, [this] { window->hide(); },
                                          [this] { window->rememberSize(); }};
    for (const auto& end : ends) {
        open();
        window->resize(700, 350);
        end();
        EXPECT_EQ(QSize(records.settings.Breite, records.settings.Hoehe), QSize(700, 350));
    }
    // Ending while hidden keeps what hiding stored.
    window->hide();
    window->resize(500, 250);
    window->rememberSize();
    EXPECT_EQ(QSize(records.settings.Breite, records.settings.Hoehe), QSize(700, 350));
}

using TimerTest = WindowTest;

TEST_F(TimerTest, PercentileRankIsRecomputedOnlyWhileShownAndSeen) {
    for (const CaseRow& c : cases(u"rank"_s)) {
        SCOPED_TRACE(c.where.toStdString());
        records.settings.showPercentileRanking = c.number(0);
        engine.rank = 0;
        open(c.number(1));
        QWidget timerWindow;
        timerWindow.setVisible(c.number(2));
        window->setTimerWindow(&timerWindow);
        engine.isActive = c.number(3);
        engine.isUnit = c.number(4);
        int updates = 0;
        window->setPercentileUpdate([&] {
            ++updates;
            engine.rank = 75;
        });
        EXPECT_EQ(timer(u"tmrUpdatePercentileRank"_s)->interval(), 60'000);
        fire(u"tmrUpdatePercentileRank"_s);
        EXPECT_EQ(updates, c.number(5));
        EXPECT_EQ(window->windowTitle().endsWith(u" - #75"_s), c.number(5) == 1)
            << window->windowTitle().toStdString();
        window->setTimerWindow(nullptr);
        engine.isActive = engine.isUnit = false;
    }
}

using FocusLockTest = WindowTest;

TEST_F(FocusLockTest, OnlyWhileTheSettingIsOnAndNeverAgainstTheProgramsOwnWindows) {
    WindowUserInterface windowUi;
    open(true, &windowUi);
    QTimer* lock = timer(u"tmrFocusLock"_s);
    QMenu* einstellungen = menu(u"Einstellungen"_s);
    QWidget other;
    other.show();
    activate(&other);
    // Setting off: a tick stops the lock, opening "Einstellungen" does not restart it.
    lock->start();
    fire(u"tmrFocusLock"_s);
    emit einstellungen->aboutToShow();
    QTest::qWait(300);
    EXPECT_FALSE(lock->isActive());
    EXPECT_EQ(QApplication::activeWindow(), &other);
    // Setting on: opening "Einstellungen" restarts it, and without the companion program the
    // window comes forward by itself.
    records.settings.InVordergrundDraengen = true;
    emit einstellungen->aboutToShow();
    EXPECT_TRUE(waitFor([this] { return QApplication::activeWindow() == window.get(); }, 2000));
    // With the companion program it is asked to, but the program's own windows stay in front.
    launcher.present.insert(u"Taktplan_AutoHotkey_Helper.exe"_s);
    QWidget about;
    window->addForegroundPeer(&about);
    for (QWidget* ours : {&about, windowUi.reminderWindow(), &other}) {
        ours->show();
        activate(ours);
        QTest::qWait(600);
        EXPECT_EQ(launcher.starts.isEmpty(), ours != &other);
    }
    ASSERT_FALSE(launcher.starts.isEmpty());
    EXPECT_EQ(launcher.starts.first(),
              (FakeLauncher::Start{u"Taktplan_AutoHotkey_Helper.exe"_s, {u"front"_s}}));
    window.reset(); // before the user interface it uses
}

using ClosingTest = WindowTest;

TEST_F(ClosingTest, ClosingAndBeendenEndTheProgramAndStartTheCompanionWhenPushing) {
    for (const CaseRow& c : cases(u"closing"_s)) {
        SCOPED_TRACE(c.where.toStdString());
        launcher.starts.clear();
        records.settings.InVordergrundDraengen = c.number(0);
        engine.isActive = c.number(1);
        open();
        QWidget timerWindow;
        if (c.number(2)) {
            timerWindow.show();
            window->setTimerWindow(&timerWindow);
        }
        QSignalSpy quit(window.get(), &TFWorklist::terminateRequested);
        c.number(3) ? key(Qt::Key_Q, Qt::ControlModifier) : void(window->close());
        EXPECT_EQ(quit.count(), c.number(4));
        EXPECT_EQ(launcher.starts.value(0).arguments == QStringList{u"start"_s}, c.number(5) == 1);
        EXPECT_EQ(launcher.starts.value(0).program == u"RunTaktplan.exe"_s, c.number(6) == 1);
    }
}

TEST(PlanningLook, FollowsThePhaseAndTheReplanningsLeft) {
    for (const CaseRow& c : caseTable(QStringLiteral(GUI_TEST_DATA "/window_look.txt"))) {
        const auto phase = RunState::Phase(QStringList{u"Planning"_s, u"Unit"_s, u"Pause"_s}.indexOf(c[0]));
        const PlanningLook l = planningLook(phase, c.number(1));
        EXPECT_EQ(QStringList({l.startCaption, QString::number(l.startEnabled), l.captionSuffix,
                               QString::number(l.captionBlink), QString::number(l.fileMenu),
                               QString::number(l.planningMenus)}),
                  c.fields.mid(2))
            << c.where.toStdString();
    }
    // In the user's language.
    ASSERT_TRUE(translation::setUp(QStringLiteral(TAKTPLAN_LOCALE_DIR), u"en"_s).active);
    const QString english = planningLook(RunState::Phase::Unit, 1).captionSuffix +
                            planningLook(RunState::Phase::Pause, 1).captionSuffix;
    translation::turnOff();
    EXPECT_EQ(english, u" - UNIT ACTIVE - PAUSE ACTIVE"_s);
}

using PlanningViewTest = WindowTest;

TEST_F(PlanningViewTest, ShowsTheRunnersRunStateFromWhatItShowedBefore) {
    // The window as the program creates it, with a runner.
    adjustServices = [](WorklistServices& services) { services.startCommand = [] {}; };
    open();
    QTimer* focusLock = timer(u"tmrFocusLock"_s);
    // Observing the runner's state changes nothing yet.
    RunStatePublisher runner;
    window->observe(runner);
    EXPECT_TRUE(focusLock->isActive());
    EXPECT_EQ(window->menuBar()->actions().at(2)->text(), u"Start"_s);

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
