// The Timer window's rules without a window: the display texts and colours, the desktop, the
// drag, the popup menu's states and the commands that need no window.

#include "fake_launcher.h"
#include "scripted_ui.h"
#include "temp_data_folder.h"
#include "timer_commands.h"
#include "timer_display.h"
#include "timer_menu.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

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
    const QRect free(0, 28, 1920, 1052), secondFree(1920, 0, 1280, 1024);
    const QPoint corner(1920 - 8 - 120, 1080 - 8 - 19);
    const struct {
        const char* what;
        QPoint saved;
        QList<QRect> available;
        QRect primary;
        QPoint expected;
    } starts[] = {
        // clang-format off
        {"never chosen", {0, 0}, {free}, free, corner},
        {"under the top panel", {500, 5}, {free}, free, corner},
        {"half under the top panel", {500, 20}, {free}, free, corner},
        {"a chosen place stays", {500, 600}, {free}, free, {500, 600}},
        {"on the second monitor stays", {2500, 100}, {free, secondFree}, free, {2500, 100}},
        {"on a monitor gone since", {2500, 100}, {free}, free, corner},
        {"a screen smaller than the room", {0, 0}, {QRect(0, 0, 100, 30)}, QRect(0, 0, 100, 30), {0, 3}},
        // clang-format on
    };
    for (const auto& c : starts)
        EXPECT_EQ(timerdisplay::stripPlace(c.saved, {36, 19}, {120, 19}, c.available, c.primary), c.expected)
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

} // namespace
