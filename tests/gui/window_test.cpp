// The Planning window's presentation: layout, size and font, menus and their keys, the timers,
// closing and the focus lock.

#include "translation.h"
#include "window_fixture.h"
#include "window_user_interface.h"

#include <QMenuBar>
#include <QSignalSpy>

using namespace Qt::StringLiterals;

namespace {

using WindowLayoutTest = WindowTest;

TEST_F(WindowLayoutTest, ListFillsTheWindowAboveTheInputStrip) {
    open();
    const auto check = [this] {
        const QRect client = window->centralWidget()->rect();
        const int h = field()->height();
        EXPECT_EQ(strip()->geometry(), QRect(0, client.height() - h - 2, client.width(), h + 2));
        EXPECT_EQ(field()->geometry(), QRect(0, 1, client.width(), h));
        EXPECT_EQ(list()->geometry(), QRect(0, 0, client.width(), client.height() - h - 2));
    };
    check();
    window->resize(700, 500);
    QTest::qWait(20);
    check();
    // While the strip is hidden (a plan runs) the list takes everything.
    window->setInputVisible(false);
    EXPECT_FALSE(strip()->isVisible());
    EXPECT_EQ(list()->geometry(), window->centralWidget()->rect());
    window->setInputVisible(true);
    check();
}

TEST_F(WindowLayoutTest, SizeFontAndColumnsFollowTheSettings) {
    records.settings.Breite = 640;
    records.settings.Hoehe = 320;
    records.settings.Schriftgroesse = 14;
    open();
    EXPECT_EQ(window->minimumSize(), QSize(430, 185));
    EXPECT_EQ(window->size(), QSize(640, 320));
    for (const QWidget* w : {static_cast<QWidget*>(list()), static_cast<QWidget*>(field())})
        EXPECT_EQ(w->font().families().value(0) + QString::number(w->font().pointSize()), u"Tahoma14"_s);
    EXPECT_NE(window->menuBar()->font().pointSize(), 14);
    // The task column takes the rest of the width.
    QTableView* v = list();
    EXPECT_TRUE(v->columnWidth(0) >= 20 && v->columnWidth(1) >= 40 && v->columnWidth(2) >= 40);
    window->resize(800, 400);
    QTest::qWait(20);
    EXPECT_EQ(v->columnWidth(0) + v->columnWidth(1) + v->columnWidth(2) + v->columnWidth(3),
              v->viewport()->width());

    window->resize(100, 100);
    EXPECT_EQ(window->size(), QSize(430, 185));
    window->resize(700, 350);
    window->hide();
    EXPECT_EQ(QSize(records.settings.Breite, records.settings.Hoehe), QSize(700, 350));
    // Too small values from a hand-edited file still give a usable window.
    records.settings.Breite = 10;
    records.settings.Hoehe = 0;
    showActive();
    EXPECT_EQ(window->size(), QSize(430, 185));
}

TEST_F(WindowLayoutTest, SizeIsKeptHoweverTheProgramEnds) {
    // Ctrl+Q, closing, and the end of a run the app reports (a termination signal, say).
    const std::function<void()> ends[] = {
        [this] { key(Qt::Key_Q, Qt::ControlModifier); },
        [this] { window->close(); },
        [this] { window->rememberSize(); },
    };
    for (const auto& end : ends) {
        records.settings.Breite = 450;
        open();
        window->resize(700, 350);
        end();
        EXPECT_EQ(QSize(records.settings.Breite, records.settings.Hoehe), QSize(700, 350));
    }
    // Ending while hidden keeps what hiding stored.
    window->resize(600, 300);
    window->hide();
    window->resize(500, 250);
    window->rememberSize();
    EXPECT_EQ(QSize(records.settings.Breite, records.settings.Hoehe), QSize(600, 300));
}

using MenuTest = WindowTest;

TEST_F(MenuTest, DeleteFollowsTheSelectedEntryNotOneThatReadsAlike) {
    open();
    for (const QString& t : {u"A"_s, u"p"_s, u"B"_s, u"C"_s, u"p"_s, u"D"_s})
        enter(t);
    key(Qt::Key_Escape);
    ASSERT_EQ(focus(), list());
    list()->selectRow(1);
    key(Qt::Key_Delete);
    EXPECT_TRUE(list()->selectionModel()->selectedRows().isEmpty());
    // A second Del has nothing selected to delete.
    key(Qt::Key_Delete);
    QStringList left;
    for (const PlanEntry& e : entries())
        left.append(e.displayText);
    EXPECT_EQ(left.join(u','), u"A,B,C,Pause: 25 min,D"_s);
    // Entries that stay keep their selection through a delete before them.
    list()->clearSelection();
    list()->selectionModel()->select(list()->model()->index(3, 0),
                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
    list()->selectionModel()->select(list()->model()->index(1, 0),
                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
    plan->deleteOpenEntries({0});
    QStringList selected;
    for (const QModelIndex& i : list()->selectionModel()->selectedRows())
        selected.append(entries().at(i.row()).displayText);
    selected.sort();
    EXPECT_EQ(selected.join(u','), u"B,Pause: 25 min"_s);
}

TEST_F(MenuTest, StartIsACommandOfTheBarInBoldAndHiddenItemsShowNowhere) {
    open();
    QMenuBar* bar = window->menuBar();
    QStringList captions;
    for (const QAction* a : bar->actions())
        captions.append(a->text());
    EXPECT_EQ(captions.join(u','), u"&Datei,Liste,Start,Einstellungen,Hilfe"_s);
    QAction* start = bar->actions().at(2);
    EXPECT_EQ(start->menu(), nullptr);
    EXPECT_EQ(start->shortcut(), QKeySequence(Qt::Key_F9));
    // "Start" is drawn bold: wider than in a plain menu bar with the same items, the others not.
    QMenuBar plain;
    plain.setFont(bar->font());
    for (QAction* a : bar->actions())
        plain.addAction(a->text());
    plain.adjustSize();
    bar->adjustSize();
    EXPECT_GT(bar->actionGeometry(start).width(), plain.actionGeometry(plain.actions().at(2)).width());
    EXPECT_EQ(bar->actionGeometry(bar->actions().at(1)).width(),
              plain.actionGeometry(plain.actions().at(1)).width());

    // Hidden items show nowhere; their keys act all the same (see the key tests).
    int hidden = 0;
    for (const QAction* a : window->findChildren<QAction*>()) {
        if (a->objectName().startsWith(u"hidden:"_s) || a->objectName().startsWith(u"mni"_s)) {
            ++hidden;
            EXPECT_TRUE(a->associatedObjects().isEmpty()) << a->objectName().toStdString();
        }
    }
    EXPECT_EQ(hidden, 15);
}

TEST_F(MenuTest, ListKeysActOnTheListAndDeleteIsOffWhileTyping) {
    open();
    for (const QString& t : {u"Eins"_s, u"Zwei"_s, u"Drei"_s})
        enter(t);
    addFixed(u"fertig"_s, QTime(8, 0), "x");
    QMenu* liste = menu(u"Liste"_s);
    QAction* mainDelete = liste->actions().at(5);
    QAction* popupDelete = menu(u"pmWorklistEdit"_s)->actions().at(3);
    const auto selected = [this] { return list()->selectionModel()->selectedRows().size(); };
    EXPECT_FALSE(mainDelete->isEnabled() || popupDelete->isEnabled());

    // With no control focused, the main menu's hidden item selects all rows.
    focus()->clearFocus();
    ASSERT_EQ(focus(), nullptr);
    key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(selected(), 4);
    // Right is swallowed by the list popup menu's hidden item.
    list()->setFocus();
    list()->setCurrentIndex(list()->model()->index(0, 0));
    key(Qt::Key_Right);
    EXPECT_EQ(list()->currentIndex().column(), 0);
    // In the list: Ctrl+A selects every row; Del brings the popup menu up to date first, then
    // deletes the selected open rows and keeps the finished one.
    list()->clearSelection();
    key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(selected(), 4);
    key(Qt::Key_Delete);
    EXPECT_TRUE(mainDelete->isEnabled() && popupDelete->isEnabled());
    EXPECT_EQ(shown(), u"1|08:00|08:25|fertig"_s);
    EXPECT_EQ(window->windowTitle(), u"Taktplan (1/1)"_s);

    // Back in the field: disabled again; opening "Liste" brings it back.
    field()->setFocus();
    EXPECT_FALSE(mainDelete->isEnabled());
    liste->popup(window->mapToGlobal(QPoint(10, 10)));
    ASSERT_TRUE(waitFor([liste] { return liste->isVisible(); }));
    EXPECT_TRUE(mainDelete->isEnabled());
    liste->hide();
    // While a plan runs it stays off.
    engine.isActive = true;
    field()->setFocus();
    list()->setFocus();
    key(Qt::Key_Delete);
    EXPECT_FALSE(popupDelete->isEnabled());
    EXPECT_EQ(entries().size(), 1);
}

TEST_F(MenuTest, MenuStatesFollowTheRunningPlanWhenShownAndDisabledKeysAreSwallowed) {
    // Enabled: Datei, Liste, Einstellungen, Hilfe | Neu, Öffnen..., Beenden | the two Speichern |
    // the caption of the start item and whether it is enabled.
    const struct {
        bool active, unit;
        int left;
        const char* expected;
    } cases[] = {{false, false, 3, "1111|111|11|Start1"},
                 {true, false, -1, "1000|000|11|Neu planen1"},
                 {true, false, 3, "1000|000|11|Neu planen (3)1"},
                 {true, true, 0, "0000|000|11|Neu planen (0)0"}};
    open(false);
    addFixed(u"Eins"_s, QTime(14, 0));
    QSignalSpy quit(window.get(), &TFWorklist::terminateRequested);
    QAction* start = window->menuBar()->actions().at(2);
    for (const auto& c : cases) {
        engine.isActive = c.active;
        engine.isUnit = c.unit;
        records.settings.Verbleibend = c.left;
        window->hide();
        showActive();
        const QList<QAction*> datei = menu(u"Datei"_s)->actions();
        QString state;
        for (const QAction* a : {menu(u"Datei"_s)->menuAction(), menu(u"Liste"_s)->menuAction(),
                                 menu(u"Einstellungen"_s)->menuAction(), menu(u"Hilfe"_s)->menuAction(),
                                 datei.at(0), datei.at(1), datei.at(7), datei.at(2), datei.at(3)})
            state += a->isEnabled() ? u'1' : u'0';
        state.insert(4, u'|').insert(8, u'|').append(u'|' + start->text() +
                                                     (start->isEnabled() ? u'1' : u'0'));
        EXPECT_EQ(state, QString::fromUtf8(c.expected));
    }
    // A unit runs: the keys of the disabled "Datei" do nothing.
    field()->setFocus();
    key(Qt::Key_N, Qt::ControlModifier);
    key(Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(entries().size(), 1);
    EXPECT_EQ(quit.count(), 0);
}

using TimerTest = WindowTest;

TEST_F(TimerTest, ScheduleRefreshRunsOnlyWhileShownAndSurvivesAnUnreadableEntry) {
    // A plan loaded while the window is hidden does not start the refresh.
    data.write(u"worklist.log"_s, "Geladen///25\r\n");
    open(false);
    EXPECT_FALSE(timer(u"tmrUpdate"_s)->isActive());
    window.reset();
    data.write(u"worklist.log"_s, QByteArray());
    open();
    QTimer* update = timer(u"tmrUpdate"_s);
    EXPECT_EQ(update->interval(), 100);
    EXPECT_TRUE(update->isActive());
    enter(u"Bericht"_s);
    clock.advanceSecs(60);
    ASSERT_TRUE(waitFor([this] { return shown() == u"1|09:01|09:26|Bericht"_s; }));
    window->hide();
    EXPECT_FALSE(update->isActive());
    EXPECT_FALSE(window->mouseEditing());
    showActive();
    EXPECT_TRUE(update->isActive());

    // An unreadable entry leaves one debug line and the timer running.
    plan->ClearOpenEntries();
    addFixed(u"kaputt"_s, QTime(14, 0));
    edit(0).date = u"31.02.2026"_s;
    for (int i = 0; i < 5; ++i)
        window->tmrUpdateTimer();
    EXPECT_EQ(records.debugLog.text().count(u"nicht lesbar"_s), 1);
    EXPECT_TRUE(records.debugLog.text().contains(u"31.02.2026"_s));
    EXPECT_TRUE(update->isActive());
    // Another failure is worth its own line.
    edit(0).date = u"07.12.2026"_s;
    edit(0).startTime = u"25:99"_s;
    window->tmrUpdateTimer();
    QTest::qWait(250);
    EXPECT_EQ(records.debugLog.text().count(u"nicht lesbar"_s), 2);
}

TEST_F(TimerTest, FinishBlinkRunsOnItsOwnTimerAlsoWhileHidden) {
    // An entry still pending keeps the input strip hidden until the plan is re-planned;
    // with nothing pending it comes back.
    for (const bool pendingAfter : {true, false}) {
        open(false);
        addFixed(u"fertig"_s, QTime(8, 50), "WIP");
        if (pendingAfter)
            addFixed(u"danach"_s, QTime(10, 0));
        window->setInputVisible(false);
        window->startFinishBlink();
        QTimer* blink = timer(u"tmrBlinken"_s);
        EXPECT_EQ(blink->interval(), 250);
        ASSERT_TRUE(waitFor([this] { return entries().at(0).status == u"x"_s; }, 6000));
        EXPECT_FALSE(blink->isActive());
        EXPECT_EQ(strip()->isHidden(), pendingAfter);
        EXPECT_EQ(window->windowTitle(), pendingAfter ? u"Taktplan (1/2)"_s : u"Taktplan (1/1)"_s);
    }
}

TEST_F(TimerTest, CaptionBlinksWhileAUnitRuns) {
    engine.isActive = true;
    engine.isUnit = true;
    open();
    QTimer* blink = timer(u"tmrCaptionBlinken"_s);
    EXPECT_EQ(blink->interval(), 500);
    EXPECT_TRUE(blink->isActive());
    for (const QString& caption :
         {u"Taktplan (0/0) - EINHEIT AKTIV"_s, u"Taktplan (0/0)"_s, u"Taktplan (0/0) - EINHEIT AKTIV"_s}) {
        EXPECT_EQ(window->windowTitle(), caption);
        window->tmrCaptionBlinkenTimer();
        window->tmrUpdateTimer();
    }
    // The unit ended and a pause runs: the blink stops on the pause caption.
    engine.isUnit = false;
    window->tmrCaptionBlinkenTimer();
    EXPECT_FALSE(blink->isActive());
    EXPECT_EQ(window->windowTitle(), u"Taktplan (0/0) - PAUSE AKTIV"_s);
    // Hiding stops it; no plan at all: no suffix.
    blink->start();
    window->hide();
    EXPECT_FALSE(blink->isActive());
    engine.isActive = false;
    showActive();
    EXPECT_EQ(window->windowTitle(), u"Taktplan (0/0)"_s);
}

TEST_F(TimerTest, CaptionSuffixesSpeakTheUsersLanguage) {
    ASSERT_TRUE(translation::setUp(QStringLiteral(TAKTPLAN_LOCALE_DIR), u"en"_s).active);
    engine.isActive = true;
    QStringList captions;
    for (const bool unit : {true, false}) {
        engine.isUnit = unit;
        open();
        captions.append(window->windowTitle());
    }
    translation::turnOff();
    EXPECT_EQ(captions, QStringList({u"Taktplan (0/0) - UNIT ACTIVE"_s, u"Taktplan (0/0) - PAUSE ACTIVE"_s}));
}

using FocusLockTest = WindowTest;

TEST_F(FocusLockTest, BringsThePlanningWindowBackOnlyWhileTheSettingIsOn) {
    open();
    QTimer* lock = timer(u"tmrFocusLock"_s);
    QMenu* einstellungen = menu(u"Einstellungen"_s);
    QWidget other;
    other.show();
    activate(&other);
    // Setting off: a tick stops the lock, opening "Einstellungen" does not restart it.
    lock->start();
    window->tmrFocusLockTimer();
    emit einstellungen->aboutToShow();
    EXPECT_FALSE(lock->isActive());
    QTest::qWait(300);
    EXPECT_EQ(QApplication::activeWindow(), &other);
    // Setting on: opening "Einstellungen" restarts it, and without the companion program the
    // window comes forward by itself.
    records.settings.InVordergrundDraengen = true;
    emit einstellungen->aboutToShow();
    EXPECT_EQ(QString::number(lock->interval()) + QString::number(lock->isActive()), u"2501"_s);
    EXPECT_TRUE(waitFor([this] { return QApplication::activeWindow() == window.get(); }, 2000));
    EXPECT_TRUE(launcher.starts.isEmpty());
}

TEST_F(FocusLockTest, AsksTheCompanionProgramButLeavesTheProgramsOwnWindowsInFront) {
    records.settings.InVordergrundDraengen = true;
    launcher.present.insert(u"Taktplan_AutoHotkey_Helper.exe"_s);
    WindowUserInterface windowUi;
    open(true, &windowUi);
    QWidget about;
    window->addForegroundPeer(&about);
    for (QWidget* ours : {&about, windowUi.reminderWindow()}) {
        ours->show();
        activate(ours);
        QTest::qWait(600);
        EXPECT_TRUE(launcher.starts.isEmpty());
        EXPECT_EQ(QApplication::activeWindow(), ours);
    }
    windowUi.reminderWindow()->hide();

    QWidget other;
    other.show();
    activate(&other);
    ASSERT_TRUE(waitFor([this] { return !launcher.starts.isEmpty(); }, 2000));
    EXPECT_EQ(launcher.starts.first().program, u"Taktplan_AutoHotkey_Helper.exe"_s);
    EXPECT_EQ(launcher.starts.first().arguments, QStringList{u"front"_s});
    window.reset(); // before the user interface it uses
}

using ClosingTest = WindowTest;

TEST_F(ClosingTest, ClosingEndsTheProgramAndStartsTheCompanionWhenPushing) {
    // push, plan running, timer window shown -> program ended, companion started
    // clang-format off
    const bool cases[][5] = {{false, false, false, true, false}, {true, false, false, true, true},
                             {true, true, false, true, false}, {false, false, true, false, false}};
    // clang-format on
    for (const auto& [push, running, timerShown, ended, companionStarted] : cases) {
        launcher.starts.clear();
        records.settings.InVordergrundDraengen = push;
        engine.isActive = running;
        open();
        QWidget timerWindow;
        if (timerShown) {
            timerWindow.show();
            window->setTimerWindow(&timerWindow);
        }
        QSignalSpy quit(window.get(), &TFWorklist::terminateRequested);
        window->close();
        EXPECT_EQ(quit.count(), ended ? 1 : 0);
        EXPECT_FALSE(window->isVisible());
        const bool started =
            !launcher.starts.isEmpty() && launcher.starts.first().arguments == QStringList{u"start"_s};
        EXPECT_EQ(started, companionStarted) << push << running << timerShown;
        window.reset();
    }
}

TEST_F(ClosingTest, BeendenEndsTheProgramAndLogsOpensTheActivityLog) {
    records.settings.InVordergrundDraengen = true;
    open();
    key(Qt::Key_L, Qt::ControlModifier);
    EXPECT_EQ(shell.files, QStringList{records.settings.LogDateiPfad});
    // When pushing, "Beenden" starts RunTaktplan.
    QSignalSpy quit(window.get(), &TFWorklist::terminateRequested);
    key(Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(quit.count(), 1);
    ASSERT_EQ(launcher.starts.size(), 1);
    EXPECT_EQ(launcher.starts.first().program, u"RunTaktplan.exe"_s);
    EXPECT_TRUE(launcher.starts.first().arguments.isEmpty());
    records.settings.InVordergrundDraengen = false;
    launcher.starts.clear();
    key(Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(quit.count(), 2);
    EXPECT_TRUE(launcher.starts.isEmpty());
}

using StartTest = WindowTest;

TEST_F(StartTest, StartIsDebouncedAndTheAutomaticStartReplansWhenTheResumedUnitIsOver) {
    open(false);
    window->Start1Click();
    EXPECT_TRUE(window->isVisible());
    window->hide();
    clock.advanceMs(300);
    window->Start1Click();
    EXPECT_FALSE(window->isVisible()) << "a second start within 500 ms is dropped";
    clock.advanceMs(300);
    window->Start1Click();
    EXPECT_TRUE(window->isVisible());

    window->hide();
    window->enableAutoStart();
    QTimer* autoStart = timer(u"tmrAutoStart"_s);
    EXPECT_EQ(QString::number(autoStart->interval()) + QString::number(autoStart->isActive()), u"1001"_s);
    window->worklist().automaticStartFlag = true;
    ASSERT_TRUE(waitFor([this] { return window->isVisible(); }, 2000));
    EXPECT_FALSE(autoStart->isActive());
    EXPECT_TRUE(records.debugLog.text().contains(u"FWorklist > tmrAutoStartTimer: Neu geplant"_s));
}

} // namespace
