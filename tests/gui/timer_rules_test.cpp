// The Timer window's rules without a window: the display texts and colours, the desktop, the
// drag, the popup menu's states and the commands that need no window; and the tray icon's.

#include "fake_launcher.h"
#include "scripted_ui.h"
#include "temp_data_folder.h"
#include "timer_commands.h"
#include "timer_display.h"
#include "timer_menu.h"
#include "tray_icon.h"
#include "tray_look.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QTest>

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
        {-4, false, "00", "0:00"}, {600, true, "10 #80", "10:00 #80"},
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
    // The desktop's corner never lies right of or below the first monitor's.
    EXPECT_EQ(timerdisplay::desktopOf({QRect(100, 50, 800, 600)}), QRect(0, 0, 900, 650));

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
        {"a unit: its minutes in black", "rts", 1499, "TUPC", "24", "MNa", "Neu planen (2)",
         Click::PlanningMode, Click::PlanningMode},
        {"a pause: seconds in white, presence asked", "rtps", 42, "TP", "42 white", "MNA", "Neu planen (2)",
         Click::PlanningMode, Click::PlanningMode},
        {"confirmed, no re-planning left", "rtp", 300, "TPC", "5 white", "MAa", "Neu planen (2)",
         Click::PlanningMode, Click::PlanningMode},
        {"over an hour: whole hours", "rts", 4000, "TU", "1h", "MN", "Neu planen (2)",
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
    // executable there (x); which start it takes: the launcher (L), the file (F) or none, told.
    const struct { const char *where, *start; } cases[] = {{"wbx", "L"}, {"bx", "F"}, {"b", ""}, {"", ""}};
    TempDataFolder folder;
    const QString beside = folder.filePath(QStringLiteral("bilanzblick"));
    for (const auto& c : cases) {
        const QString where = QString::fromLatin1(c.where), start = QString::fromLatin1(c.start);
        FakeLauncher launcher;
        ScriptedUi ui;
        QStringList started;
        if (where.contains(u'w'))
            launcher.present.insert(QStringLiteral("Bilanzblick.exe"));
        QFile::remove(beside);
        QFile f(beside);
        if (where.contains(u'b')) {
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.setPermissions(QFile::ReadOwner | QFile::WriteOwner |
                             (where.contains(u'x') ? QFile::ExeOwner : QFile::ReadOwner));
        }
        const auto startFile = [&started](const QString& path) {
            started.append(path);
            return true;
        };
        timercommands::startEvaluation(launcher, ui, startFile, folder.path());
        EXPECT_EQ(launcher.starts.size(), start == u"L" ? 1 : 0) << c.where;
        EXPECT_EQ(started, start == u"F" ? QStringList{QFileInfo(beside).absoluteFilePath()} : QStringList())
            << c.where;
        EXPECT_EQ(ui.messages.size(), start.isEmpty() ? 1 : 0) << c.where;
        if (start.isEmpty()) {
            EXPECT_TRUE(ui.messages.value(0).contains(QDir::toNativeSeparators(beside))) << c.where;
        }
    }
}

} // namespace
