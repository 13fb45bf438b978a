// The Timer window's rules as tables without a window (display texts and colours, the desktop,
// the drag, the popup menu's states, the commands that need no window), and the window over a
// fake running plan whose run state each test publishes: what only a window shows (the wiring
// from the state to the widgets, the menu reaching its commands, the mouse, the desktop).

#include "run_feedback.h"
#include "tf_bestaetigung.h"
#include "tf_timer.h"
#include "timer_commands.h"
#include "timer_display.h"
#include "timer_menu.h"
#include "timer_model.h"
#include "tray_icon.h"
#include "tray_look.h"
#include "window_fixture.h"
#include "worklist.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

using timermenu::Item;

TEST(TimerRules, TextsColoursDesktopAndDrag) {
    const struct {
        qint64 remaining;
        bool rank;
        const char *compact, *full;
    } texts[] = {
        // clang-format off
        {3725, false, "1h 2m", "1:02:05"}, {3600, false, "1h 0m", "1:00:00"}, {3599, false, "59", "59:59"},
        {60, false, "1", "1:00"}, {59, false, "59", "0:59"}, {7, false, "07", "0:07"},
        {-4, false, "00", "0:00"}, {600, true, "10 \u00b7 #80", "10:00 \u00b7 #80"},
        // clang-format on
    };
    for (const auto& c : texts) {
        EXPECT_EQ(timerdisplay::displayText(c.remaining, false, c.rank, 80), QString::fromUtf8(c.compact));
        EXPECT_EQ(timerdisplay::displayText(c.remaining, true, c.rank, 80), QString::fromUtf8(c.full));
    }
    // Before the first phase the strip wears the unit's colours.
    EXPECT_TRUE(timerdisplay::unitColours(RunState::Phase::Planning) &&
                timerdisplay::unitColours(RunState::Phase::Unit));
    EXPECT_FALSE(timerdisplay::unitColours(RunState::Phase::Pause));

    const QRect left(0, 0, 1920, 1080), right(1920, 0, 1280, 1024), west(-1280, -200, 1280, 1024);
    const struct {
        const char* what;
        QList<QRect> screens;
        QRect window;
        QPoint expected;
    } places[] = {
        // clang-format off
        {"inside stays", {left}, {900, 500, 128, 18}, {900, 500}},
        {"half over the right edge stays", {left}, {1850, 500, 128, 18}, {1850, 500}},
        {"centre beyond the right edge snaps back", {left}, {1900, 500, 128, 18}, {1920 - 128, 500}},
        {"beyond the rightmost monitor", {left, right}, {3150, 100, 128, 18}, {3200 - 128, 100}},
        {"on the second monitor stays", {left, right}, {2500, 100, 128, 18}, {2500, 100}},
        {"centre left of the desktop", {left}, {-100, 300, 128, 18}, {0, 300}},
        {"centre below the bottom", {left}, {300, 1075, 128, 18}, {300, 1080 - 18}},
        {"centre above the top", {left}, {300, -15, 128, 18}, {300, 0}},
        {"monitor left of the first one", {west, left}, {-1000, -100, 128, 18}, {-1000, -100}},
        {"beyond the western monitor", {west, left}, {-1400, 50, 128, 18}, {0, 50}},
        // clang-format on
    };
    for (const auto& c : places)
        EXPECT_EQ(timerdisplay::keptOnDesktop(c.window, timerdisplay::desktopOf(c.screens)), c.expected)
            << c.what;
    // Where a plan start puts a 36 x 19 strip (room kept for 120 x 19): the primary screen's
    // free area lies below a 28-pixel panel.
    const QRect free(0, 28, 1920, 1052), secondFree(1920, 0, 1280, 1024), whole(0, 0, 1920, 1080);
    const QPoint corner(1920 - 8 - 120, 1080 - 8 - 19);
    const struct {
        const char* what;
        QPoint saved;
        QList<QRect> available;
        QRect primary;
        QPoint expected;
        bool placed = false;
    } starts[] = {
        // clang-format off
        {"never chosen", {0, 0}, {free}, free, corner},
        {"under the top panel", {500, 5}, {free}, free, corner},
        {"half under the top panel", {500, 20}, {free}, free, corner},
        {"a chosen place stays", {500, 600}, {free}, free, {500, 600}},
        {"on the second monitor stays", {2500, 100}, {free, secondFree}, free, {2500, 100}},
        {"on a monitor gone since", {2500, 100}, {free}, free, corner},
        {"a screen smaller than the room", {0, 0}, {QRect(0, 0, 100, 30)}, QRect(0, 0, 100, 30), {0, 3}},
        {"the very corner, placed there", {0, 0}, {whole}, whole, {0, 0}, true},
        {"the very corner, never placed", {0, 0}, {whole}, whole, {1792, 1053}},
        // clang-format on
    };
    for (const auto& c : starts)
        EXPECT_EQ(timerdisplay::stripPlace(c.saved, {36, 19}, {120, 19}, c.available, c.primary, c.placed),
                  c.expected)
            << c.what;
    // The desktop's corner never lies right of or below the first monitor's.
    EXPECT_EQ(timerdisplay::desktopOf({QRect(100, 50, 800, 600)}), QRect(0, 0, 900, 650));
    // A window that came up over a note in the middle of the screen moves below it, else above it.
    const QRect note(759, 451, 403, 178), low(0, 0, 1920, 660);
    const struct {
        const char* what;
        QRect window, area;
        QPoint expected;
    } clear[] = {
        {"covers nothing", {869, 100, 182, 32}, left, {869, 100}},
        {"below the note", {869, 524, 182, 32}, left, {869, 637}},
        {"above when there is no room below", {869, 524, 182, 32}, low, {869, 411}},
        {"stays without room", {869, 524, 182, 32}, QRect(0, 420, 1920, 230), {869, 524}},
    };
    for (const auto& c : clear)
        EXPECT_EQ(timerdisplay::clearOf(c.window, note, c.area), c.expected) << c.what;

    // Presses at these time stamps (double-click time 400), then the mouse at (300, 300).
    const struct {
        const char* what;
        QList<quint64> presses;
        bool leftHeld;
        std::optional<QPoint> to;
    } drags[] = {
        // clang-format off
        {"a press starts a move", {1000}, true, QPoint(290, 295)},
        {"only while the left button is held", {1000}, false, std::nullopt},
        {"a second press after the double-click time moves too", {1000, 1401}, true, QPoint(290, 295)},
        {"the second press of a double-click does not", {1000, 1400}, true, std::nullopt},
        // clang-format on
    };
    for (const auto& c : drags) {
        timerdisplay::StripDrag drag;
        for (const quint64 at : c.presses) {
            drag.stop();
            drag.press(at, 400, QPoint(110, 105), QPoint(100, 100));
        }
        EXPECT_EQ(drag.moveTo(QPoint(300, 300), c.leftHeld), c.to) << c.what;
    }
}

TEST(TimerRules, MenuItems) {
    // Situation: T tick timer runs, U unit, P presence required, C confirmed, F failed mark,
    // R run menu enabled; then the re-plannings left. State: v visible, e enabled, c checked.
    const struct {
        const char *what, *situation;
        int left;
        Item item;
        const char* state;
    } cases[] = {
        // clang-format off
        {"Planungsmodus always", "R", -1, Item::Planungsmodus, "ve"},
        {"present: pause with presence required", "TP", -1, Item::NutzerAnwesend, "ve"},
        {"present: ticked when confirmed", "TPC", -1, Item::NutzerAnwesend, "vec"},
        {"present: not during a unit", "TUP", -1, Item::NutzerAnwesend, "e"},
        {"present: not without a running plan", "PR", -1, Item::NutzerAnwesend, "e"},
        {"present: not when presence is not required", "T", -1, Item::NutzerAnwesend, "e"},
        {"failed: unit with no re-planning left", "TUPC", 0, Item::EinheitGescheitert, "ve"},
        {"failed: ticked", "TUPCF", 0, Item::EinheitGescheitert, "vec"},
        {"failed: not while re-plannings remain", "TUPC", 2, Item::EinheitGescheitert, "e"},
        {"failed: not with unlimited re-plannings", "TUPC", -1, Item::EinheitGescheitert, "e"},
        {"failed: not in a pause", "TPC", 0, Item::EinheitGescheitert, "e"},
        {"Logs disabled during a unit", "TUPCR", -1, Item::Logs, "v"},
        {"Logs disabled while the plan runs", "TPC", -1, Item::Logs, "v"},
        {"Logs enabled while planning", "PCR", -1, Item::Logs, "ve"},
        {"Auswertung disabled during a unit", "TUPCR", -1, Item::Auswertung, "v"},
        {"Auswertung enabled while planning", "R", -1, Item::Auswertung, "ve"},
        {"Neue Einheit never shown", "R", -1, Item::NeueEinheit, "e"},
        {"Beenden never shown here", "TUPC", -1, Item::Beenden, ""},
        {"Einstellungen never shown here", "R", -1, Item::Einstellungen, "e"},
        // clang-format on
    };
    for (const auto& c : cases) {
        const std::string on(c.situation), state(c.state);
        const auto has = [](const std::string& flags, char f) { return flags.find(f) != std::string::npos; };
        const timermenu::Situation situation{has(on, 'T'), has(on, 'U'), has(on, 'P'), has(on, 'C'),
                                             c.left,       has(on, 'F'), has(on, 'R')};
        EXPECT_EQ(timermenu::stateOf(c.item, situation),
                  (timermenu::ItemState{has(state, 'v'), has(state, 'e'), has(state, 'c')}))
            << c.what;
    }
}

TEST(TimerRules, GlobalKeys) {
    // Situation as above; S: the start item is enabled.
    using timercommands::KeyCommand;
    using Key = GlobalShortcuts::Key;
    const struct {
        const char* situation;
        Key key;
        KeyCommand command;
    } cases[] = {
        {"RS", Key::StartOrPlanning, KeyCommand::Start},
        {"R", Key::StartOrPlanning, KeyCommand::Nothing},
        {"TUS", Key::StartOrPlanning, KeyCommand::PlanningMode},
        {"TP", Key::UserPresent, KeyCommand::ConfirmPresence},
        {"TPC", Key::UserPresent, KeyCommand::Nothing},
        {"TUP", Key::UserPresent, KeyCommand::Nothing},
        {"T", Key::UserPresent, KeyCommand::Nothing},
    };
    for (const auto& c : cases) {
        const std::string on(c.situation);
        const auto has = [&on](char f) { return on.find(f) != std::string::npos; };
        const timermenu::Situation situation{has('T'), has('U'), has('P'), has('C'), -1, false, has('R')};
        EXPECT_EQ(timercommands::commandForKey(c.key, situation, has('S')), c.command) << c.situation;
    }
}

TEST(TimerRules, TrayIconAndMenu) {
    using TI = traylook::Item;
    using Click = traylook::Click;
    // A plan runs (r: run menu off), t ticking, p pause, s start item enabled; the Timer
    // window's situation as in MenuItems. Enabled items: M Planungsmodus, N Neu planen,
    // A Nutzer anwesend (a: ticked), W Auswertung, B Beenden.
    const struct {
        const char* what;
        const char* run;
        qint64 remaining;
        const char* situation;
        const char *icon, *items, *neuPlanen;
        Click click, clickVisible;
    } cases[] = {
        // clang-format off
        {"planning: the letter, planning items", "", 0, "R", "T", "MWB", "Neu planen",
         Click::ShowPlanning, Click::HidePlanning},
        {"a unit: its minutes in black", "rts", 1499, "TUPC", "24", "MNaW", "Neu planen (2)",
         Click::PlanningMode, Click::PlanningMode},
        {"a pause: seconds in white, presence asked", "rtps", 42, "TP", "42 white", "MNAW", "Neu planen (2)",
         Click::PlanningMode, Click::PlanningMode},
        {"confirmed, no re-planning left", "rtp", 300, "TPC", "5 white", "MAaW", "Neu planen (2)",
         Click::PlanningMode, Click::PlanningMode},
        {"over an hour: whole hours", "rts", 4000, "TU", "1h", "MNW", "Neu planen (2)",
         Click::PlanningMode, Click::PlanningMode},
        // clang-format on
    };
    for (const auto& c : cases) {
        const auto has = [](const char* flags, char f) {
            return std::string(flags).find(f) != std::string::npos;
        };
        RunState s;
        s.runMenuEnabled = !has(c.run, 'r');
        s.ticking = has(c.run, 't');
        s.phase = !s.ticking        ? RunState::Phase::Planning
                  : has(c.run, 'p') ? RunState::Phase::Pause
                                    : RunState::Phase::Unit;
        s.startEnabled = has(c.run, 's');
        s.startCaption = s.runMenuEnabled ? u"Start"_s : u"Neu planen (2)"_s;
        s.remainingSeconds = c.remaining;
        const timermenu::Situation situation{has(c.situation, 'T'),
                                             has(c.situation, 'U'),
                                             has(c.situation, 'P'),
                                             has(c.situation, 'C'),
                                             0,
                                             false,
                                             has(c.situation, 'R')};
        const traylook::Icon icon = traylook::iconOf(s);
        EXPECT_EQ((icon.text.isEmpty() ? u"T"_s : icon.text) + (icon.unitColours ? u""_s : u" white"_s),
                  QString::fromLatin1(c.icon))
            << c.what;
        QString items;
        for (const TI item :
             {TI::Planungsmodus, TI::NeuPlanen, TI::NutzerAnwesend, TI::Auswertung, TI::Beenden}) {
            const traylook::ItemState state = traylook::stateOf(item, s, situation);
            const char letter = "MNAWB"[int(item)];
            items +=
                (state.enabled ? QString(QLatin1Char(letter)) : QString()) + (state.checked ? u"a"_s : u""_s);
        }
        EXPECT_EQ(items, QString::fromLatin1(c.items)) << c.what;
        EXPECT_EQ(traylook::caption(TI::NeuPlanen, s), QString::fromUtf8(c.neuPlanen)) << c.what;
        EXPECT_EQ(traylook::clickAction(s, false), c.click) << c.what;
        EXPECT_EQ(traylook::clickAction(s, true), c.clickVisible) << c.what;
    }
    // The icon is drawn again only when its text changes, at most once a second; the menu follows
    // the run at once and hands each item to its command.
    RunStatePublisher publisher;
    QList<TI> chosen;
    TrayIcon tray(publisher, {[&chosen](TI item) { chosen.append(item); }});
    tray.setShown(true);
    QAction* neuPlanen = tray.menu()->actions().at(int(TI::NeuPlanen));
    EXPECT_FALSE(neuPlanen->isEnabled());
    const auto remaining = [&publisher](qint64 secs) {
        publisher.update([secs](RunState& s) {
            s.runMenuEnabled = false;
            s.startCaption = u"Neu planen (1)"_s;
            s.ticking = true;
            s.phase = RunState::Phase::Unit;
            s.remainingSeconds = secs;
        });
    };
    remaining(1499);
    EXPECT_EQ(neuPlanen->text(), u"Neu planen (1)"_s);
    ASSERT_TRUE(neuPlanen->isEnabled());
    neuPlanen->trigger();
    EXPECT_EQ(chosen, QList<TI>{TI::NeuPlanen});
    const int first = tray.draws();
    remaining(1440);
    EXPECT_EQ(tray.draws(), first);
    remaining(1439);
    EXPECT_EQ(tray.draws(), first);
    QTest::qWait(1100);
    EXPECT_EQ(tray.draws(), first + 1);
}

TEST(TimerRules, ExitQuestionAndEvaluationProgram) {
    EXPECT_EQ(timercommands::exitQuestion(8, 5),
              QStringLiteral("Sie haben heute erst 5 von ursprünglich 8 geplanten Einheiten erledigt. "
                             "Möchten Sie Taktplan dennoch beenden?"));
    EXPECT_TRUE(timercommands::exitQuestion(5, 5).isEmpty() && timercommands::exitQuestion(-1, 0).isEmpty());

    // Where the evaluation program is: in the working folder (w), beside the program (b),
    // executable there (x), refusing to start (!); which start it takes: the launcher (L), the
    // file (F) or none; the paths the message names: the working folder's (w), the one beside (b).
    const struct {
        const char *where, *start, *told;
    } cases[] = {{"wbx", "L", ""}, {"bx", "F", ""},  {"b", "", "wb"},
                 {"", "", "wb"},   {"w!", "L", "w"}, {"bx!", "F", "b"}};
    TempDataFolder folder;
    const QString beside = folder.filePath(QStringLiteral("bilanzblick"));
    const QString inWorkingFolder = QDir::current().absoluteFilePath(QStringLiteral("Bilanzblick.exe"));
    for (const auto& c : cases) {
        const QString where = QString::fromLatin1(c.where), start = QString::fromLatin1(c.start);
        const QString told = QString::fromLatin1(c.told);
        FakeLauncher launcher;
        ScriptedUi ui;
        QStringList started;
        if (where.contains(u'w'))
            launcher.present.insert(QStringLiteral("Bilanzblick.exe"));
        launcher.startFails = where.contains(u'!');
        QFile::remove(beside);
        QFile f(beside);
        if (where.contains(u'b')) {
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.setPermissions(QFile::ReadOwner | QFile::WriteOwner |
                             (where.contains(u'x') ? QFile::ExeOwner : QFile::ReadOwner));
        }
        const auto startFile = [&started, &launcher](const QString& path) {
            started.append(path);
            return !launcher.startFails;
        };
        timercommands::startEvaluation(launcher, ui, startFile, folder.path());
        EXPECT_EQ(launcher.starts.size(), start == u"L" ? 1 : 0) << c.where;
        EXPECT_EQ(started, start == u"F" ? QStringList{QFileInfo(beside).absoluteFilePath()} : QStringList())
            << c.where;
        EXPECT_EQ(ui.messages.size(), told.isEmpty() ? 0 : 1) << c.where;
        const QString message = ui.messages.value(0);
        EXPECT_EQ(message.contains(QDir::toNativeSeparators(inWorkingFolder)), told.contains(u'w'))
            << c.where;
        EXPECT_EQ(message.contains(QDir::toNativeSeparators(beside)), told.contains(u'b')) << c.where;
    }
}

class FakeModel final : public TimerModel {
public:
    RunStatePublisher& runState() override { return publisher; }
    void tick() override { ++ticks; }
    void workstationLockStep(int intervalMs) override { lockSteps.append(intervalMs); }
    bool unitRunning() const override { return unit; }
    bool failedMark() const override { return failed; }
    void setFailedMark(bool f) override { failed = f; }
    bool presenceConfirmed() const override { return present; }
    void setPresenceConfirmed(bool p) override { present = p; }

    RunStatePublisher publisher;
    int ticks = 0;
    QList<int> lockSteps;
    bool unit = true, failed = false, present = false;
};

class FakeCountdown final : public CountdownOverlay {
public:
    void showFor(int) override {}
    void hide() override { ++hides; }
    int hides = 0;
};

// Centred: within the rounding of odd sizes and the window frame.
bool near(QPoint a, QPoint b) {
    return (a - b).manhattanLength() <= 4;
}

class TimerWindowTest : public WindowTest {
protected:
    template <class Change> void publish(Change change) { model.publisher.update(change); }
    QLabel* label(const char* name) const { return timer->findChild<QLabel*>(QString::fromLatin1(name)); }
    QAction* item(Item i) const { return timer->findChild<QAction*>(timermenu::objectName(i)); }
    QTimer* tmr(const char* name) const { return timer->findChild<QTimer*>(QString::fromLatin1(name)); }
    void openMenu() const { emit timer->findChild<QMenu*>(QStringLiteral("pm1"))->aboutToShow(); }
    void mouseOver(bool over) const {
        QEvent e(over ? QEvent::Enter : QEvent::Leave);
        QApplication::sendEvent(label("lblTransparenz"), &e);
    }

    FakeCountdown countdown;
    FakeModel model;
    int confirmations = 0;
    QList<QWidget*> broughtToFront;
    TFBestaetigung presence{[this] { ++confirmations; }};
    std::function<void(QWidget&)> bring = [this](QWidget& w) { broughtToFront.append(&w); };
    std::unique_ptr<TFTimer> timer = std::make_unique<TFTimer>(
        TimerServices{clock, records, *plan, *planFile, ui, companion, launcher, shell, countdown, model,
                      &presence, bring, nullptr, data.path()});
};

TEST_F(TimerWindowTest, ShowsThePublishedStateAndTouchesOnlyWhatChanged) {
    publish([](RunState& s) {
        s.phase = RunState::Phase::Pause;
        s.remainingSeconds = 59;
        s.timerTooltip = QStringLiteral("Nächste Einheit (1/2): B");
        s.timerVisible = s.ticking = s.foregroundKeeping = s.presenceConfirmationVisible = true;
        s.workstationLockIntervalMs = 15000;
        s.runMenuEnabled = false;
    });
    QLabel* display = label("lblZeit");
    const QFontMetrics fm(display->font());
    EXPECT_TRUE(timer->isVisible() && presence.isVisible());
    EXPECT_EQ(display->text() + u'|' + label("lblTransparenz")->toolTip() + u'|' + presence.windowTitle(),
              QStringLiteral("59|Nächste Einheit (1/2): B|59 sec"));
    EXPECT_EQ(timer->size(), QSize(fm.horizontalAdvance(QStringLiteral("59")) + 4, fm.height() + 4));
    EXPECT_EQ(timer->palette().color(QPalette::Window), QColor(Qt::white));
    EXPECT_EQ(display->palette().color(QPalette::WindowText), QColor(Qt::black));
    EXPECT_TRUE(tmr("tmrZeit")->isActive() && tmr("tmrVordergrund")->isActive() &&
                tmr("tmrWindowsBlock")->isActive());
    mouseOver(true);
    EXPECT_EQ(display->text(), QStringLiteral("0:59"));
    mouseOver(false);

    // A change the strip does not show neither resizes nor moves it from where the user put it.
    timer->move(300, 200);
    int geometryEvents = 0;
    struct Counter : QObject {
        int& n;
        explicit Counter(int& count) : n(count) {}
        bool eventFilter(QObject*, QEvent* e) override {
            n += e->type() == QEvent::Resize || e->type() == QEvent::Move;
            return false;
        }
    } counter(geometryEvents);
    timer->installEventFilter(&counter);
    publish([](RunState& s) { s.title = QStringLiteral("B"); });
    EXPECT_EQ(geometryEvents, 0);
    timer->removeEventFilter(&counter);

    // A unit with the rank; the lock timer stopped goes back to its first interval.
    records.settings.showPercentileRanking = true;
    publish([](RunState& s) {
        s.phase = RunState::Phase::Unit;
        s.remainingSeconds = 600;
        s.percentileRank = 80;
        s.workstationLockIntervalMs = 0;
        s.presenceConfirmationVisible = false;
    });
    EXPECT_EQ(display->text(), QStringLiteral("10 \u00b7 #80"));
    EXPECT_EQ(timer->palette().color(QPalette::Window), QColor(Qt::black));
    EXPECT_FALSE(presence.isVisible() || tmr("tmrWindowsBlock")->isActive());
    EXPECT_EQ(tmr("tmrWindowsBlock")->interval(), 15000);
    // The dialog guard rested foreground keeping: the next change of a running phase restarts it.
    tmr("tmrVordergrund")->stop();
    publish([](RunState& s) { s.remainingSeconds = 599; });
    EXPECT_TRUE(tmr("tmrVordergrund")->isActive());
    publish([](RunState& s) { s.ticking = s.foregroundKeeping = s.timerVisible = false; });
    EXPECT_FALSE(timer->isVisible() || tmr("tmrZeit")->isActive() || tmr("tmrVordergrund")->isActive());
}

TEST_F(TimerWindowTest, TimersDriveTheEngineAndAPlanStartReturnsToTheSavedPlace) {
    publish([](RunState& s) { s.ticking = true; });
    QMetaObject::invokeMethod(tmr("tmrZeit"), "timeout");
    EXPECT_EQ(model.ticks, 1);
    // The engine is told the interval the event fired at.
    for (const int interval : {15000, 1000}) {
        publish([interval](RunState& s) { s.workstationLockIntervalMs = interval; });
        QMetaObject::invokeMethod(tmr("tmrWindowsBlock"), "timeout");
    }
    EXPECT_EQ(model.lockSteps, (QList<int>{15000, 1000}));
    EXPECT_EQ(tmr("tmrUpdateCheck")->interval(), 86400000);
    QMetaObject::invokeMethod(tmr("tmrUpdateCheck"), "timeout");
    ASSERT_EQ(launcher.starts.size(), 1);
    EXPECT_EQ(launcher.starts.constFirst().arguments, QStringList{QStringLiteral("2.2")});

    // A plan start (the run menu going off) brings the strip back to where the user left it,
    // except at the very first start.
    for (const bool first : {false, true}) {
        if (first)
            records.start(companion);
        ASSERT_EQ(records.settingsFile.firstStart(), first);
        records.settings.X = 40;
        records.settings.Y = 50;
        timer->move(300, 200);
        publish([](RunState& s) { s.runMenuEnabled = false; });
        EXPECT_EQ(timer->pos(), first ? QPoint(300, 200) : QPoint(40, 50)) << first;
        publish([](RunState& s) { s.runMenuEnabled = true; });
    }
}

TEST_F(TimerWindowTest, MenuReachesItsCommands) {
    records.settings.AnwesenheitErforderlich = true;
    records.settings.Verbleibend = 0;
    publish([](RunState& s) { s.ticking = !(s.runMenuEnabled = false); });
    openMenu();
    EXPECT_FALSE(item(Item::NutzerAnwesend)->isVisible() || item(Item::Logs)->isEnabled());
    // The failed mark: the engine told, and the warning shown without stopping the count.
    item(Item::EinheitGescheitert)->trigger();
    EXPECT_TRUE(model.failed);
    auto* box = timer->findChild<QMessageBox*>(QStringLiteral("EinheitUngueltig"));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), QStringLiteral("Die aktuelle Einheit wurde als ungültig markiert. Die nächste "
                                          "wird besser. Nicht nachlassen!"));
    EXPECT_FALSE(box->isModal());
    box->close();

    // A pause: "Nutzer anwesend" confirms as the presence window does, so that the engine may ask
    // again later; a second click takes the confirmation back.
    model.unit = false;
    publish([](RunState& s) { s.presenceConfirmationVisible = true; });
    openMenu();
    QAction* present = item(Item::NutzerAnwesend);
    EXPECT_TRUE(present->isVisible() && !present->isChecked());
    present->trigger();
    EXPECT_TRUE(model.present && present->isChecked());
    EXPECT_FALSE(presence.isVisible() || model.publisher.state().presenceConfirmationVisible);
    present->trigger();
    EXPECT_FALSE(model.present || present->isChecked());

    // Planning: the items that make no sense while a plan runs act again.
    publish([](RunState& s) { s.runMenuEnabled = !(s.ticking = false); });
    item(Item::Logs)->trigger();
    EXPECT_EQ(shell.files, QStringList{records.settings.LogDateiPfad});
    item(Item::Auswertung)->trigger();
    EXPECT_EQ(ui.messages.size(), 1) << "no evaluation program in the test folders";
    int aboutShown = 0;
    timer->setAboutCommand([&aboutShown] { ++aboutShown; });
    item(Item::Info)->trigger();
    EXPECT_EQ(aboutShown, 1);
    // "Einstellungen" opens the file, tells the companion program and ends as "Bestätigen" does:
    // the plan saved, then the end unless a phase runs (or the strip shows), the missed target
    // asked about.
    QSignalSpy ended(timer.get(), &TFTimer::terminateRequested);
    // No program opens it: the program stays, and says which file and why; both only once the
    // opener has answered.
    for (const bool opens : {false, true}) {
        shell.failure = opens ? QString() : QStringLiteral("kein Editor");
        const qsizetype messagesBefore = ui.messages.size();
        item(Item::Einstellungen)->trigger();
        EXPECT_TRUE(ended.isEmpty() && launcher.starts.isEmpty() && ui.messages.size() == messagesBefore);
        std::exchange(shell.answerOpen, {})();
        EXPECT_EQ(ui.messages.size(), messagesBefore + (opens ? 0 : 1)) << opens;
    }
    EXPECT_TRUE(ui.messages.last().contains(records.settingsFile.filePath()) &&
                ui.messages.last().contains(QStringLiteral("kein Editor")));
    EXPECT_EQ(shell.files.last(), records.settingsFile.filePath());
    EXPECT_EQ(launcher.starts.constFirst().arguments, QStringList{QStringLiteral("ini")});
    records.activityLog.setLines({QString(), QStringLiteral("Mo, 07.12.2026 SOLL: 8")});
    for (const bool running : {true, false}) {
        QFile::remove(data.filePath(QStringLiteral("worklist.log")));
        publish([running](RunState& s) { s.ticking = running; });
        if (!running)
            ui.answer(ScriptedUi::Kind::YesNo, true);
        timer->findChild<QAction*>(QStringLiteral("mniBeenden2"))->trigger();
        EXPECT_TRUE(QFile::exists(data.filePath(QStringLiteral("worklist.log"))));
    }
    EXPECT_EQ(ended.size(), 2);
    EXPECT_EQ(ui.questions.size(), 1);
}

TEST_F(TimerWindowTest, MouseAndScreensKeepTheStripOnTheDesktop) {
    QWidget planning;
    planning.resize(400, 300);
    timer->setPlanningWindow(&planning);
    publish([](RunState& s) { s.timerVisible = true; });
    timer->move(200, 200);
    QWidget* cover = label("lblTransparenz");
    QTest::mousePress(cover, Qt::LeftButton, {}, QPoint(5, 5));
    QMouseEvent drag(QEvent::MouseMove, QPointF(5, 5), QPointF(cover->mapToGlobal(QPoint(45, 35))),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(cover, &drag);
    QTest::mouseRelease(cover, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(timer->pos(), QPoint(240, 230));
    // Hiding keeps the place for the next plan start.
    publish([](RunState& s) { s.timerVisible = false; });
    EXPECT_EQ(QPoint(records.settings.X, records.settings.Y), QPoint(240, 230));
    EXPECT_TRUE(records.extras.stripPlaced);
    publish([](RunState& s) { s.timerVisible = true; });
    QTest::mouseDClick(cover, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(planning.isVisible());
    EXPECT_EQ(countdown.hides, 1);
    EXPECT_TRUE(near(planning.geometry().center(), planning.screen()->availableGeometry().center()));

    // A mouse coming over the strip while another program is in front brings it forward,
    // unless the presence window is up.
    QWidget stranger;
    stranger.show();
    for (const bool presenceShown : {false, true}) {
        presence.setVisible(presenceShown);
        QApplication::setActiveWindow(&stranger);
        broughtToFront.clear();
        mouseOver(true);
        mouseOver(false);
        EXPECT_EQ(broughtToFront.size(), presenceShown ? 0 : 1);
    }
    presence.hide();

    // The screens changed: without the companion program both windows are held on the desktop;
    // with it the program ends for the companion to start it again.
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    for (const bool companionThere : {false, true}) {
        if (companionThere)
            launcher.present.insert(QString::fromLatin1(CompanionProgram::fileName));
        timer->move(screen.right() + 500, 10);
        planning.move(screen.right() + 800, 10);
        QSignalSpy ended(timer.get(), &TFTimer::terminateRequested);
        timer->displayChanged();
        EXPECT_EQ(ended.size(), companionThere ? 1 : 0);
        EXPECT_EQ(screen.contains(timer->geometry().center()), !companionThere);
        EXPECT_EQ(screen.contains(planning.geometry().center()), !companionThere);
    }
    EXPECT_EQ(launcher.starts.constLast().arguments, QStringList{QStringLiteral("restart")});
}

TEST_F(TimerWindowTest, PresenceWindowConfirmsAndComesBackCentred) {
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    for (const int confirmed : {0, 1}) {
        presence.show();
        EXPECT_TRUE(near(presence.geometry().center(), area.center()));
        EXPECT_EQ(confirmations, confirmed);
        presence.move(area.topLeft());
        presence.findChild<QPushButton*>(QStringLiteral("btnBestaetigung"))->click();
        EXPECT_FALSE(presence.isVisible());
    }
    // The pause's note, also in the middle, stays readable: the question comes up beside it.
    QWidget note;
    note.setGeometry(QRect(QPoint(), QSize(403, 178)).translated(area.center() - QPoint(201, 89)));
    note.show();
    timer->setReminderWindow([&note] { return &note; });
    publish([](RunState& s) { s.presenceConfirmationVisible = true; });
    EXPECT_TRUE(presence.isVisible());
    EXPECT_FALSE(presence.frameGeometry().intersects(note.frameGeometry()));
}

} // namespace
