// The Timer window's rules as tables without a window (display texts and colours, the desktop,
// the drag, the popup menu's states, the commands that need no window), and the window over a
// fake running plan whose run state each test publishes: what only a window shows (the wiring
// from the state to the widgets, the menu reaching its commands, the mouse, the desktop).

#include "case_table.h"
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
const char* const itemNames =
    "Planungsmodus NutzerAnwesend EinheitGescheitert NeueEinheit Logs Auswertung Einstellungen Info Beenden";

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
        const Item item = named<Item>(c[3], itemNames);
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
    void workstationLockStep(int intervalMs) override { lockSteps.append(QString::number(intervalMs)); }
    bool unitRunning() const override { return unit; }
    bool failedMark() const override { return failed; }
    void setFailedMark(bool f) override { failed = f; }
    bool presenceConfirmed() const override { return present; }
    void setPresenceConfirmed(bool p) override { present = p; }

    RunStatePublisher publisher;
    int ticks = 0;
    QStringList lockSteps;
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

    // What a step looks at.
    QString state(const QString& what) const {
        if (what.startsWith(u"interval:"_s))
            return QString::number(tmr(what.mid(9).toLatin1().constData())->interval());
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        const auto xy = [](QPoint p) { return u"%1,%2"_s.arg(p.x()).arg(p.y()); };
        const QHash<QString, std::function<QString()>> states{
            {u"display"_s, [this] { return label("lblZeit")->text(); }},
            {u"tooltip"_s, [this] { return label("lblTransparenz")->toolTip(); }},
            {u"presence"_s, [this] { return presence.isVisible() ? presence.windowTitle() : u"-"_s; }},
            {u"visible"_s, [this] { return yesNo(timer->isVisible()); }},
            {u"fits"_s,
             [this] {
                 const QFontMetrics fm(label("lblZeit")->font());
                 return yesNo(timer->size() ==
                              QSize(fm.horizontalAdvance(label("lblZeit")->text()) + 4, fm.height() + 4));
             }},
            {u"background"_s, [this] { return timer->palette().color(QPalette::Window).name(); }},
            {u"text colour"_s,
             [this] { return label("lblZeit")->palette().color(QPalette::WindowText).name(); }},
            {u"timers"_s,
             [this] {
                 QString on;
                 for (const char* name : {"tmrZeit", "tmrVordergrund", "tmrWindowsBlock"})
                     on += tmr(name)->isActive() ? QChar::fromLatin1(name[3]) : u'-';
                 return on;
             }},
            {u"place"_s, [&] { return xy(timer->pos()); }},
            {u"saved place"_s,
             [&] {
                 return xy({records.settings.X, records.settings.Y}) +
                        (records.extras.stripPlaced ? u" kept"_s : u""_s);
             }},
            {u"first start"_s, [this] { return yesNo(records.settingsFile.firstStart()); }},
            {u"ticks"_s, [this] { return QString::number(model.ticks); }},
            {u"lock steps"_s, [this] { return model.lockSteps.join(u','); }},
            {u"failed"_s, [this] { return yesNo(model.failed); }},
            {u"confirmed"_s, [this] { return yesNo(model.present); }},
            {u"presence asked"_s,
             [this] { return yesNo(model.publisher.state().presenceConfirmationVisible); }},
            {u"Nutzer anwesend"_s,
             [this] {
                 const QAction* a = item(Item::NutzerAnwesend);
                 return yesNo(a->isVisible()) + (a->isChecked() ? u" checked"_s : u""_s);
             }},
            {u"warning"_s,
             [this] {
                 auto* box = timer->findChild<QMessageBox*>(u"EinheitUngueltig"_s);
                 return !box ? u"-"_s : box->text() + (box->isModal() ? u" (modal)"_s : u""_s);
             }},
            {u"opened"_s, [this] { return shell.files.join(u','); }},
            {u"messages"_s, [this] { return QString::number(ui.messages.size()); }},
            {u"last message"_s, [this] { return ui.messages.value(ui.messages.size() - 1); }},
            {u"asked"_s, [this] { return QString::number(ui.questions.size()); }},
            {u"opens asked"_s, [this] { return QString::number(shell.opensAsked); }},
            {u"about"_s, [this] { return QString::number(aboutShown); }},
            {u"confirmations"_s, [this] { return QString::number(confirmations); }},
            {u"plan saved"_s, [this] { return yesNo(QFile::exists(data.filePath(u"worklist.log"_s))); }},
            {u"presence place"_s,
             [this] {
                 const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
                 return !presence.isVisible()                                       ? u"hidden"_s
                        : near(presence.geometry().center(), area.center())         ? u"centred"_s
                        : presence.frameGeometry().intersects(note.frameGeometry()) ? u"over the note"_s
                                                                                    : u"clear of the note"_s;
             }},
            {u"started"_s,
             [this] {
                 return launcher.starts.isEmpty() ? u"-"_s : launcher.starts.constLast().arguments.join(u' ');
             }},
            {u"planning"_s,
             [this] {
                 return !planning.isVisible() ? u"hidden"_s
                        : near(planning.geometry().center(), planning.screen()->availableGeometry().center())
                            ? u"centred"_s
                            : u"shown"_s;
             }},
            {u"countdown hides"_s, [this] { return QString::number(countdown.hides); }},
            {u"brought"_s, [this] { return QString::number(broughtToFront.size()); }},
            {u"on screen"_s,
             [&] {
                 return yesNo(screen.contains(timer->geometry().center())) + u' ' +
                        yesNo(screen.contains(planning.geometry().center()));
             }},
            {u"ended"_s, [this] { return QString::number(quits); }}};
        EXPECT_TRUE(states.contains(what)) << what.toStdString();
        return states.value(what, [] { return QString(); })();
    }
    // Runs the scenario of a section of the rules' table.
    void run(const QString& scenario) {
        const QHash<QString, std::function<void(RunState&, const QString&)>> fields{
            {u"phase"_s,
             [](RunState& r, const QString& v) {
                 r.phase = RunState::Phase(QStringList{u"Planning"_s, u"Unit"_s, u"Pause"_s}.indexOf(v));
             }},
            {u"remaining"_s, [](RunState& r, const QString& v) { r.remainingSeconds = v.toInt(); }},
            {u"rank"_s, [](RunState& r, const QString& v) { r.percentileRank = v.toInt(); }},
            {u"lock"_s, [](RunState& r, const QString& v) { r.workstationLockIntervalMs = v.toInt(); }},
            {u"tooltip"_s, [](RunState& r, const QString& v) { r.timerTooltip = v; }},
            {u"title"_s, [](RunState& r, const QString& v) { r.title = v; }},
            {u"visible"_s, [](RunState& r, const QString& v) { r.timerVisible = v != u"no"_s; }},
            {u"ticking"_s, [](RunState& r, const QString& v) { r.ticking = v != u"no"_s; }},
            {u"foreground"_s, [](RunState& r, const QString& v) { r.foregroundKeeping = v != u"no"_s; }},
            {u"presence"_s,
             [](RunState& r, const QString& v) { r.presenceConfirmationVisible = v != u"no"_s; }},
            {u"menu"_s, [](RunState& r, const QString& v) { r.runMenuEnabled = v != u"no"_s; }}};
        QWidget* cover = label("lblTransparenz");
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        const Actions actions{
            {u"publish"_s,
             [&](Step s) {
                 publish([&](RunState& r) {
                     for (const QString& f : s[1].split(u"; "_s)) {
                         ASSERT_TRUE(fields.contains(f.section(u'=', 0, 0))) << f.toStdString();
                         fields.value(f.section(u'=', 0, 0))(r, f.section(u'=', 1));
                     }
                 });
             }},
            {u"mouse"_s, [this](Step s) { mouseOver(s[1] == u"over"_s); }},
            {u"move"_s, [this](Step s) { timer->move(point(s[1])); }},
            {u"stop"_s, [this](Step s) { tmr(s[1].toLatin1().constData())->stop(); }},
            {u"fire"_s,
             [this](Step s) { QMetaObject::invokeMethod(tmr(s[1].toLatin1().constData()), "timeout"); }},
            {u"rank"_s, [this](Step) { records.settings.showPercentileRanking = true; }},
            {u"first start"_s, [this](Step) { records.start(companion); }},
            {u"saved place"_s,
             [this](Step s) {
                 records.settings.X = point(s[1]).x();
                 records.settings.Y = point(s[1]).y();
             }},
            {u"planning"_s,
             [this](Step) {
                 planning.resize(400, 300);
                 timer->setPlanningWindow(&planning);
             }},
            {u"drag"_s,
             [&](Step s) {
                 QTest::mousePress(cover, Qt::LeftButton, {}, QPoint(5, 5));
                 QMouseEvent drag(QEvent::MouseMove, QPointF(5, 5),
                                  QPointF(cover->mapToGlobal(QPoint(5, 5) + point(s[1]))), Qt::NoButton,
                                  Qt::LeftButton, Qt::NoModifier);
                 QApplication::sendEvent(cover, &drag);
                 QTest::mouseRelease(cover, Qt::LeftButton, {}, QPoint(5, 5));
             }},
            {u"double-click"_s, [&](Step) { QTest::mouseDClick(cover, Qt::LeftButton, {}, QPoint(5, 5)); }},
            {u"stranger in front"_s,
             [this](Step) {
                 stranger.show();
                 QApplication::setActiveWindow(&stranger);
                 broughtToFront.clear();
             }},
            {u"presence"_s,
             [this](Step s) {
                 s[1] == u"corner"_s
                     ? presence.move(QGuiApplication::primaryScreen()->availableGeometry().topLeft())
                     : presence.setVisible(s[1] == u"shown"_s);
             }},
            {u"confirm"_s, [this](Step) { presence.findChild<QPushButton*>(u"btnBestaetigung"_s)->click(); }},
            {u"note"_s,
             [this](Step) {
                 const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
                 note.setGeometry(
                     QRect(QPoint(), QSize(403, 178)).translated(area.center() - QPoint(201, 89)));
                 note.show();
                 timer->setReminderWindow([this] { return &note; });
             }},
            {u"presence required"_s,
             [this](Step) {
                 records.settings.AnwesenheitErforderlich = true;
                 records.settings.Verbleibend = 0;
             }},
            {u"item"_s,
             [this](Step s) {
                 QAction* a = timer->findChild<QAction*>(s[1]);
                 (a ? a : item(named<Item>(s[1], itemNames)))->trigger();
             }},
            {u"close warning"_s,
             [this](Step) { timer->findChild<QMessageBox*>(u"EinheitUngueltig"_s)->close(); }},
            {u"unit"_s, [this](Step s) { model.unit = s[1] != u"no"_s; }},
            {u"open menu"_s, [this](Step) { openMenu(); }},
            {u"editor"_s,
             [this](Step s) { shell.failure = s[1] == u"none"_s ? u"kein Editor"_s : QString(); }},
            {u"opener answers"_s, [this](Step) { std::exchange(shell.answerOpen, {})(); }},
            {u"activity log"_s,
             [this](Step s) {
                 records.activityLog.setLines({QString(), s[1]});
             }},
            {u"remove"_s, [this](Step s) { QFile::remove(data.filePath(s[1])); }},
            {u"answer"_s, [this](Step s) { ui.answer(ScriptedUi::Kind::YesNo, s[1] == u"yes"_s); }},
            {u"off screen"_s,
             [&](Step) {
                 timer->move(screen.right() + 500, 10);
                 planning.move(screen.right() + 800, 10);
             }},
            {u"screens changed"_s, [this](Step) { timer->displayChanged(); }},
            {u"companion"_s,
             [this](Step) { launcher.present.insert(QString::fromLatin1(CompanionProgram::fileName)); }}};
        runSteps(rules(scenario.toLatin1().constData()), actions,
                 [this](const QString& what) { return state(what); });
    }

    QWidget planning, stranger, note;
    int quits = 0, aboutShown = 0;
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

class TimerScenarioTest : public TimerWindowTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(TimerScenarioTest, RunsAsWritten) {
    QObject::connect(timer.get(), &TFTimer::terminateRequested, [this] { ++quits; });
    timer->setAboutCommand([this] { ++aboutShown; });
    run(QString::fromLatin1(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Timer, TimerScenarioTest,
                         ::testing::Values("shows the published state", "timers drive the engine",
                                           "mouse and screens", "menu reaches its commands",
                                           "presence window"),
                         [](const ::testing::TestParamInfo<const char*>& param) {
                             return QString::fromLatin1(param.param).replace(u' ', u'_').toStdString();
                         });

} // namespace
