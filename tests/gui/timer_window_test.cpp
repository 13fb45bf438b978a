// The Timer window's rules as tables without a window (display texts and colours, the desktop,
// the drag, the popup menu's states, the commands that need no window), and the window over a
// fake running plan whose run state each test publishes: what only a window shows (the wiring
// from the state to the widgets, the menu reaching its commands, the mouse, the desktop).

#include "case_table.h"
#include "fake_run_views.h"
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
#include <QSignalSpy>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

using timermenu::Item;

QList<CaseRow> rules(const char* section) {
    return caseTable(QStringLiteral(GUI_TEST_DATA "/timer_rules.txt"), QString::fromLatin1(section));
}
// The enum value a table names, by its place among the names.
template <class E> E named(const QString& name, const char* names) {
    const qsizetype i = QString::fromLatin1(names).split(u' ').indexOf(name);
    EXPECT_GE(i, 0) << "unknown name " << name.toStdString();
    return E(i);
}
// Rectangles "x,y,w,h" separated by blanks; a point is written "x,y".
QList<QRect> rects(const QString& field) {
    QList<QRect> r;
    for (const QString& one : field.split(u' ')) {
        const QStringList n = one.split(u',');
        r.append(QRect(n.value(0).toInt(), n.value(1).toInt(), n.value(2).toInt(), n.value(3).toInt()));
    }
    return r;
}
QPoint point(const QString& field) {
    return rects(field).at(0).topLeft();
}
// Situation letters: T tick timer runs, U unit, P presence required, C confirmed, F failed mark,
// R run menu enabled.
timermenu::Situation situationOf(const QString& f, int left) {
    return {f.contains(u'T'), f.contains(u'U'), f.contains(u'P'), f.contains(u'C'), left,
            f.contains(u'F'), f.contains(u'R')};
}

TEST(TimerRules, TextsColoursDesktopAndDrag) {
    for (const CaseRow& c : rules("texts")) {
        SCOPED_TRACE(c.where.toStdString());
        EXPECT_EQ(timerdisplay::displayText(c.number(0), false, c.number(1), 80), c[2]);
        EXPECT_EQ(timerdisplay::displayText(c.number(0), true, c.number(1), 80), c[3]);
    }
    // Before the first phase the strip wears the unit's colours.
    EXPECT_TRUE(timerdisplay::unitColours(RunState::Phase::Planning) &&
                timerdisplay::unitColours(RunState::Phase::Unit));
    EXPECT_FALSE(timerdisplay::unitColours(RunState::Phase::Pause));
    for (const CaseRow& c : rules("places"))
        EXPECT_EQ(timerdisplay::keptOnDesktop(rects(c[2]).at(0), timerdisplay::desktopOf(rects(c[1]))),
                  point(c[3]))
            << c.where.toStdString();
    // The desktop's corner never lies right of or below the first monitor's.
    EXPECT_EQ(timerdisplay::desktopOf({QRect(100, 50, 800, 600)}), QRect(0, 0, 900, 650));
    for (const CaseRow& c : rules("starts")) {
        const QList<QRect> free = rects(c[2]);
        EXPECT_EQ(timerdisplay::stripPlace(point(c[1]), {36, 19}, {120, 19}, free, free.at(0), c.number(4)),
                  point(c[3]))
            << c.where.toStdString();
    }
    // A window that came up over a note (759,451,403,178) moves below it, else above it.
    for (const CaseRow& c : rules("clear"))
        EXPECT_EQ(timerdisplay::clearOf(rects(c[1]).at(0), QRect(759, 451, 403, 178), rects(c[2]).at(0)),
                  point(c[3]))
            << c.where.toStdString();
    for (const CaseRow& c : rules("drags")) {
        timerdisplay::StripDrag drag;
        for (const QString& at : c[1].split(u' ')) {
            drag.stop();
            drag.press(at.toULongLong(), 400, QPoint(110, 105), QPoint(100, 100));
        }
        EXPECT_EQ(drag.moveTo(QPoint(300, 300), c.number(2)),
                  c[3] == u"-" ? std::optional<QPoint>() : std::optional<QPoint>(point(c[3])))
            << c.where.toStdString();
    }
}

TEST(TimerRules, MenuItemsAndGlobalKeys) {
    for (const CaseRow& c : rules("menu")) {
        const Item item =
            named<Item>(c[3], "Planungsmodus NutzerAnwesend EinheitGescheitert NeueEinheit Logs "
                              "Auswertung Einstellungen Info Beenden");
        EXPECT_EQ(timermenu::stateOf(item, situationOf(c[1], c.number(2))),
                  (timermenu::ItemState{c[4].contains(u'v'), c[4].contains(u'e'), c[4].contains(u'c')}))
            << c.where.toStdString();
    }
    using timercommands::KeyCommand;
    for (const CaseRow& c : rules("keys")) {
        EXPECT_EQ(
            timercommands::commandForKey(named<GlobalShortcuts::Key>(c[1], "StartOrPlanning UserPresent"),
                                         situationOf(c[0], -1), c[0].contains(u'S')),
            named<KeyCommand>(c[2], "Nothing Start PlanningMode ConfirmPresence"))
            << c.where.toStdString();
    }
}

TEST(TimerRules, TrayIconAndMenu) {
    using TI = traylook::Item;
    using Click = traylook::Click;
    for (const CaseRow& c : rules("tray")) {
        SCOPED_TRACE(c.where.toStdString());
        RunState s;
        s.runMenuEnabled = !c[1].contains(u'r');
        s.ticking = c[1].contains(u't');
        s.phase = !s.ticking            ? RunState::Phase::Planning
                  : c[1].contains(u'p') ? RunState::Phase::Pause
                                        : RunState::Phase::Unit;
        s.startEnabled = c[1].contains(u's');
        s.startCaption = s.runMenuEnabled ? u"Start"_s : u"Neu planen (2)"_s;
        s.remainingSeconds = c.number(2);
        const traylook::Icon icon = traylook::iconOf(s);
        EXPECT_EQ((icon.text.isEmpty() ? u"T"_s : icon.text) + (icon.unitColours ? u""_s : u" white"_s),
                  c[4]);
        QString items;
        for (const TI item :
             {TI::Planungsmodus, TI::NeuPlanen, TI::NutzerAnwesend, TI::Auswertung, TI::Beenden}) {
            const traylook::ItemState state = traylook::stateOf(item, s, situationOf(c[3], 0));
            items += (state.enabled ? QString(u"MNAWB"_s.at(int(item))) : QString()) +
                     (state.checked ? u"a"_s : u""_s);
        }
        EXPECT_EQ(items, c[5]);
        EXPECT_EQ(traylook::caption(TI::NeuPlanen, s), c[6]);
        const char* clicks = "PlanningMode ShowPlanning HidePlanning";
        EXPECT_EQ(traylook::clickAction(s, false), named<Click>(c[7], clicks));
        EXPECT_EQ(traylook::clickAction(s, true), named<Click>(c[8], clicks));
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
    TempDataFolder folder;
    const QString beside = folder.filePath(QStringLiteral("bilanzblick"));
    const QString inWorkingFolder = QDir::current().absoluteFilePath(QStringLiteral("Bilanzblick.exe"));
    for (const CaseRow& c : rules("evaluation")) {
        SCOPED_TRACE(c.where.toStdString());
        FakeLauncher launcher;
        ScriptedUi ui;
        QStringList started;
        if (c[0].contains(u'w'))
            launcher.present.insert(QStringLiteral("Bilanzblick.exe"));
        launcher.startFails = c[0].contains(u'!');
        QFile::remove(beside);
        QFile f(beside);
        if (c[0].contains(u'b')) {
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.setPermissions(QFile::ReadOwner | QFile::WriteOwner |
                             (c[0].contains(u'x') ? QFile::ExeOwner : QFile::ReadOwner));
        }
        const auto startFile = [&started, &launcher](const QString& path) {
            started.append(path);
            return !launcher.startFails;
        };
        timercommands::startEvaluation(launcher, ui, startFile, folder.path());
        EXPECT_EQ(launcher.starts.size(), c[1] == u"L" ? 1 : 0);
        EXPECT_EQ(started, c[1] == u"F" ? QStringList{QFileInfo(beside).absoluteFilePath()} : QStringList());
        EXPECT_EQ(ui.messages.size(), c[2].isEmpty() ? 0 : 1);
        EXPECT_EQ(ui.messages.value(0).contains(QDir::toNativeSeparators(inWorkingFolder)),
                  c[2].contains(u'w'));
        EXPECT_EQ(ui.messages.value(0).contains(QDir::toNativeSeparators(beside)), c[2].contains(u'b'));
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

    RecordingCountdown countdown;
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
    const QRect placed = timer->geometry();
    publish([](RunState& s) { s.title = QStringLiteral("B"); });
    EXPECT_EQ(timer->geometry(), placed);

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
        const int opensBefore = shell.opensAsked;
        // A second click while the opener has not answered opens no second editor.
        item(Item::Einstellungen)->trigger();
        item(Item::Einstellungen)->trigger();
        EXPECT_TRUE(ended.isEmpty() && launcher.starts.isEmpty() && ui.messages.size() == messagesBefore);
        EXPECT_EQ(shell.opensAsked, opensBefore + 1);
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
