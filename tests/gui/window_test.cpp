// The Planning window's presentation: layout, size and font, menus and their keys, the timers,
// closing and the focus lock.

#include "window_fixture.h"
#include "window_user_interface.h"

#include <QHeaderView>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTimer>

namespace {

PlanEntry unit(const QString& title, const QString& status = QStringLiteral(" ")) {
    PlanEntry e;
    e.startTime = QStringLiteral("08:00");
    e.endTime = QStringLiteral("08:25");
    e.displayText = title;
    e.startMode = QStringLiteral("F");
    e.kind = QStringLiteral("E");
    e.duration = QStringLiteral("25");
    e.status = status;
    e.date = QStringLiteral("07.12.2026");
    return e;
}

// "caption|shortcut" of every item of a menu; separators are "-".
QStringList describe(const QMenu* menu) {
    QStringList items;
    for (const QAction* a : menu->actions()) {
        if (a->isSeparator())
            items.append(QStringLiteral("-"));
        else
            items.append(a->text() + QLatin1Char('|') + a->shortcut().toString(QKeySequence::PortableText));
    }
    return items;
}

using WindowLayoutTest = WindowTest;

TEST_F(WindowLayoutTest, ListFillsTheWindowAboveTheInputStrip) {
    open();
    const auto check = [this] {
        const QRect client = window->centralWidget()->rect();
        const int fieldHeight = field()->height();
        EXPECT_EQ(strip()->geometry(),
                  QRect(0, client.height() - fieldHeight - 2, client.width(), fieldHeight + 2));
        EXPECT_EQ(field()->geometry(), QRect(0, 1, client.width(), fieldHeight));
        EXPECT_EQ(list()->geometry(), QRect(0, 0, client.width(), client.height() - fieldHeight - 2));
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

TEST_F(WindowLayoutTest, MinimumSizeAndSizeFromAndToTheSettings) {
    records.settings.Breite = 640;
    records.settings.Hoehe = 320;
    open();
    EXPECT_EQ(window->minimumSize(), QSize(430, 185));
    EXPECT_EQ(window->size(), QSize(640, 320));
    window->resize(100, 100);
    EXPECT_EQ(window->size(), QSize(430, 185));

    window->resize(700, 350);
    window->hide();
    EXPECT_EQ(records.settings.Breite, 700);
    EXPECT_EQ(records.settings.Hoehe, 350);

    // Too small values from a hand-edited file still give a usable window.
    records.settings.Breite = 10;
    records.settings.Hoehe = 0;
    showActive();
    EXPECT_EQ(window->size(), QSize(430, 185));
}

TEST_F(WindowLayoutTest, FontIsTahomaAtTheConfiguredSizeMenusKeepTheirs) {
    records.settings.Schriftgroesse = 14;
    open();
    for (const QWidget* w : {static_cast<QWidget*>(list()), static_cast<QWidget*>(field())}) {
        EXPECT_EQ(w->font().families().value(0), QStringLiteral("Tahoma"));
        EXPECT_EQ(w->font().pointSize(), 14);
    }
    EXPECT_NE(window->menuBar()->font().pointSize(), 14);
}

TEST_F(WindowLayoutTest, TaskColumnTakesTheRestOfTheWidth) {
    open();
    QTableView* v = list();
    EXPECT_GE(v->columnWidth(0), 20);
    EXPECT_GE(v->columnWidth(1), 40);
    EXPECT_GE(v->columnWidth(2), 40);
    for (const QSize size : {QSize(450, 285), QSize(800, 400)}) {
        window->resize(size);
        QTest::qWait(20);
        EXPECT_EQ(v->columnWidth(0) + v->columnWidth(1) + v->columnWidth(2) + v->columnWidth(3),
                  v->viewport()->width());
    }
}

using MenuTest = WindowTest;

TEST_F(MenuTest, MainMenuHoldsEveryItemWithItsKey) {
    open();
    QStringList bar;
    for (const QAction* a : window->menuBar()->actions())
        bar.append(a->text());
    EXPECT_EQ(bar, (QStringList{QStringLiteral("&Datei"), QStringLiteral("Liste"), QStringLiteral("Start"),
                                QStringLiteral("Einstellungen"), QStringLiteral("Hilfe")}));
    const QAction* start = window->menuBar()->actions().at(2);
    EXPECT_EQ(start->menu(), nullptr);
    EXPECT_TRUE(start->font().bold());
    EXPECT_EQ(start->shortcut(), QKeySequence(Qt::Key_F9));

    EXPECT_EQ(
        describe(menu(QStringLiteral("Datei"))),
        (QStringList{QStringLiteral("Neu|Ctrl+N"), QStringLiteral("Öffnen...|Ctrl+O"),
                     QStringLiteral("Speichern|Ctrl+S"), QStringLiteral("Speichern unter...|Ctrl+Shift+S"),
                     QStringLiteral("-"), QStringLiteral("Logs|Ctrl+L"), QStringLiteral("-"),
                     QStringLiteral("Beenden|Ctrl+Q")}));
    EXPECT_EQ(
        describe(menu(QStringLiteral("Liste"))),
        (QStringList{QStringLiteral("Einheit hinzufügen|Ctrl+E"), QStringLiteral("Pause hinzufügen|Ctrl+P"),
                     QStringLiteral("Letzten Plan laden|Ctrl+R"),
                     QStringLiteral("Fertige Einheiten entfernen|Ctrl+F"), QStringLiteral("-"),
                     QStringLiteral("Eintrag löschen|Del"), QStringLiteral("-"),
                     QStringLiteral("Einheit umbenennen|F2"), QStringLiteral("Startzeit ändern|F3"),
                     QStringLiteral("Startzeit löschen|F4"), QStringLiteral("Datum ändern|Ctrl+F3"),
                     QStringLiteral("Datum löschen|Ctrl+F4"), QStringLiteral("Dauer ändern|F6")}));
    EXPECT_EQ(describe(menu(QStringLiteral("Hilfe"))), QStringList{QStringLiteral("Dokumentation|F1")});
    ASSERT_NE(menu(QStringLiteral("Einstellungen")), nullptr);
    EXPECT_EQ(describe(menu(QStringLiteral("pmWorklistEdit"))),
              (QStringList{QStringLiteral("Aufgabe bearbeiten|F2"), QStringLiteral("Startzeit ändern|F3"),
                           QStringLiteral("Startzeit löschen|F4"), QStringLiteral("Eintrag löschen|Del")}));
    // The input popup menu shows nothing at all.
    EXPECT_TRUE(menu(QStringLiteral("pmHinzu"))->actions().isEmpty());
}

TEST_F(MenuTest, StartIsDrawnBoldInTheMenuBar) {
    open();
    QMenuBar* bar = window->menuBar();
    QAction* start = bar->actions().at(2);
    // A plain menu bar with the same items gives the item its regular width.
    QMenuBar plain;
    plain.setFont(bar->font());
    for (QAction* a : bar->actions())
        plain.addAction(a->text());
    plain.adjustSize();
    bar->adjustSize();
    EXPECT_GT(bar->actionGeometry(start).width(), plain.actionGeometry(plain.actions().at(2)).width());
    EXPECT_EQ(bar->actionGeometry(bar->actions().at(1)).width(),
              plain.actionGeometry(plain.actions().at(1)).width());
}

TEST_F(MenuTest, OpeningSettingsRestartsTheFocusLockWhenPushing) {
    open();
    QTimer* lock = timer(QStringLiteral("tmrFocusLock"));
    QMenu* einstellungen = menu(QStringLiteral("Einstellungen"));
    lock->stop();
    emit einstellungen->aboutToShow();
    EXPECT_FALSE(lock->isActive());
    records.settings.InVordergrundDraengen = true;
    emit einstellungen->aboutToShow();
    EXPECT_TRUE(lock->isActive());
}

TEST_F(MenuTest, HiddenItemsExistWithTheirKeys) {
    open();
    const struct {
        const char* name;
        QKeySequence key;
    } hidden[] = {
        {"hidden:Alle Einträge markieren", QKeySequence(Qt::CTRL | Qt::Key_A)},
        {"hidden:Start", QKeySequence(Qt::Key_F9)},
        {"hidden:Startzeit um 1 min erhöhen", QKeySequence(Qt::Key_Plus)},
        {"hidden:Startzeit um 1 min verringern", QKeySequence(Qt::KeypadModifier | Qt::Key_Slash)},
        {"hidden:Laden", QKeySequence(Qt::CTRL | Qt::Key_O)},
        {"hidden:Speichern", QKeySequence(Qt::CTRL | Qt::Key_S)},
        {"hidden:Einheit nach oben", QKeySequence(Qt::CTRL | Qt::Key_Up)},
        {"hidden:Einheit nach unten", QKeySequence(Qt::CTRL | Qt::Key_Down)},
        {"hidden:Rechts", QKeySequence(Qt::Key_Right)},
        {"mniAllesmarkieren1", QKeySequence(Qt::CTRL | Qt::Key_A)},
        {"mniLschen2", QKeySequence(Qt::Key_Delete)},
        {"mniCancel1", QKeySequence(Qt::Key_Escape)},
        {"mniEinheitNachOben1", QKeySequence(Qt::CTRL | Qt::Key_Up)},
        {"mniEinheitNachUnten1", QKeySequence(Qt::CTRL | Qt::Key_Down)},
    };
    for (const auto& h : hidden) {
        const QList<QAction*> found = window->findChildren<QAction*>(QString::fromUtf8(h.name));
        ASSERT_FALSE(found.isEmpty()) << h.name;
        EXPECT_EQ(found.first()->shortcut(), h.key) << h.name;
        EXPECT_TRUE(found.first()->associatedObjects().isEmpty()) << h.name << " must show nowhere";
    }
}

TEST_F(MenuTest, ListKeysActOnTheListAndMainKeysEverywhere) {
    open();
    enter(QStringLiteral("Eins"));
    enter(QStringLiteral("Zwei"));
    enter(QStringLiteral("Drei"));
    key(Qt::Key_Escape);
    ASSERT_EQ(focus(), list());

    // Ctrl+A in the list selects every row.
    key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(list()->selectionModel()->selectedRows().size(), 3);

    // Right is swallowed by the list popup menu's hidden item.
    list()->setCurrentIndex(list()->model()->index(0, 0));
    key(Qt::Key_Right);
    EXPECT_EQ(list()->currentIndex().column(), 0);

    // With no control focused, the main menu's hidden item selects all rows too.
    list()->clearSelection();
    list()->clearFocus();
    ASSERT_EQ(focus(), nullptr);
    key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(list()->selectionModel()->selectedRows().size(), 3);

    // Ctrl+N from the field reaches "Neu" in the main menu.
    field()->setFocus();
    key(Qt::Key_N, Qt::ControlModifier);
    EXPECT_TRUE(entries().isEmpty());
}

TEST_F(MenuTest, DeleteIsDisabledWhileTypingAndComesBackWithTheListKeys) {
    open();
    enter(QStringLiteral("Eins"));
    enter(QStringLiteral("Zwei"));
    entries().prepend(unit(QStringLiteral("fertig"), QStringLiteral("x")));
    window->entriesChanged();
    QAction* mainDelete = menu(QStringLiteral("Liste"))->actions().at(5);
    ASSERT_EQ(mainDelete->text(), QStringLiteral("Eintrag löschen"));
    QAction* popupDelete = menu(QStringLiteral("pmWorklistEdit"))->actions().at(3);
    EXPECT_FALSE(mainDelete->isEnabled());
    EXPECT_FALSE(popupDelete->isEnabled());

    // Del in the list: the list popup menu comes up to date first, then deletes the selected
    // open rows and keeps the finished one.
    key(Qt::Key_Escape);
    key(Qt::Key_A, Qt::ControlModifier);
    key(Qt::Key_Delete);
    EXPECT_TRUE(mainDelete->isEnabled());
    EXPECT_TRUE(popupDelete->isEnabled());
    ASSERT_EQ(entries().size(), 1);
    EXPECT_EQ(entries().at(0).displayText, QStringLiteral("fertig"));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Taktplan (1/1)"));

    // Back in the field: disabled again; opening "Liste" brings it back.
    field()->setFocus();
    EXPECT_FALSE(mainDelete->isEnabled());
    QMenu* liste = menu(QStringLiteral("Liste"));
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

TEST_F(MenuTest, MenuStatesFollowTheRunningPlanWhenShown) {
    const struct {
        const char* what;
        bool active, unit;
        bool datei, liste, rest, neu, speichern;
    } cases[] = {
        {"editing", false, false, true, true, true, true, true},
        {"pause runs", true, false, true, false, false, false, true},
        {"unit runs", true, true, false, false, false, false, true},
    };
    open(false);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        engine.isActive = c.active;
        engine.isUnit = c.unit;
        showActive();
        EXPECT_EQ(menu(QStringLiteral("Datei"))->menuAction()->isEnabled(), c.datei);
        EXPECT_EQ(menu(QStringLiteral("Liste"))->menuAction()->isEnabled(), c.liste);
        EXPECT_EQ(menu(QStringLiteral("Einstellungen"))->menuAction()->isEnabled(), c.rest);
        EXPECT_EQ(menu(QStringLiteral("Hilfe"))->menuAction()->isEnabled(), c.rest);
        const QList<QAction*> datei = menu(QStringLiteral("Datei"))->actions();
        EXPECT_EQ(datei.at(0)->isEnabled(), c.neu); // Neu
        EXPECT_EQ(datei.at(1)->isEnabled(), c.neu); // Öffnen...
        EXPECT_EQ(datei.at(7)->isEnabled(), c.neu); // Beenden
        EXPECT_EQ(datei.at(2)->isEnabled(), c.speichern);
        EXPECT_EQ(datei.at(3)->isEnabled(), c.speichern);
        window->hide();
    }
}

TEST_F(MenuTest, KeysOfADisabledMenuAreSwallowed) {
    open();
    enter(QStringLiteral("Eins"));
    window->hide();
    engine.isActive = true;
    engine.isUnit = true;
    showActive();
    QSignalSpy quit(window.get(), &TFWorklist::terminateRequested);
    field()->setFocus();
    key(Qt::Key_N, Qt::ControlModifier);
    key(Qt::Key_Q, Qt::ControlModifier);
    key(Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(entries().size(), 1);
    EXPECT_EQ(quit.count(), 0);
}

TEST_F(MenuTest, ReplanCaptionShowsOnTheStartItemWhileAPlanRuns) {
    const struct {
        int left;
        const char* caption;
        bool enabled;
    } cases[] = {{-1, "Neu planen", true}, {0, "Neu planen (0)", false}, {3, "Neu planen (3)", true}};
    open(false);
    engine.isActive = true;
    QAction* start = window->menuBar()->actions().at(2);
    for (const auto& c : cases) {
        records.settings.Verbleibend = c.left;
        showActive();
        EXPECT_EQ(start->text(), QString::fromUtf8(c.caption));
        EXPECT_EQ(start->isEnabled(), c.enabled);
        window->hide();
    }
}

using TimerTest = WindowTest;

TEST_F(TimerTest, ScheduleRefreshRunsOnlyWhileShown) {
    // A plan loaded while the window is hidden does not start the refresh.
    data.write(QStringLiteral("worklist.log"), "Geladen///25\r\n");
    open(false);
    QTimer* update = timer(QStringLiteral("tmrUpdate"));
    EXPECT_FALSE(update->isActive());
    window.reset();
    data.write(QStringLiteral("worklist.log"), QByteArray());
    open();
    update = timer(QStringLiteral("tmrUpdate"));
    EXPECT_EQ(update->interval(), 100);
    EXPECT_TRUE(update->isActive());
    enter(QStringLiteral("Bericht"));
    clock.advanceSecs(60);
    ASSERT_TRUE(waitFor([this] { return shownRows().value(0) == QStringLiteral("1|09:01|09:26|Bericht"); }));
    window->hide();
    EXPECT_FALSE(update->isActive());
    EXPECT_FALSE(window->mouseEditing());
    showActive();
    EXPECT_TRUE(update->isActive());
}

TEST_F(TimerTest, AnUnreadableEntryLeavesOneDebugLineAndTheTimerRunning) {
    open();
    entries() = {unit(QStringLiteral("kaputt"))};
    entries()[0].date = QStringLiteral("31.02.2026");
    for (int i = 0; i < 5; ++i)
        window->tmrUpdateTimer();
    EXPECT_EQ(records.debugLog.text().count(QStringLiteral("nicht lesbar")), 1);
    EXPECT_TRUE(records.debugLog.text().contains(QStringLiteral("31.02.2026")));
    EXPECT_TRUE(timer(QStringLiteral("tmrUpdate"))->isActive());
    // Another failure is worth its own line.
    entries()[0].date = QStringLiteral("07.12.2026");
    entries()[0].startTime = QStringLiteral("25:99");
    window->tmrUpdateTimer();
    QTest::qWait(250);
    EXPECT_EQ(records.debugLog.text().count(QStringLiteral("nicht lesbar")), 2);
}

TEST_F(TimerTest, FinishBlinkAlternatesFourteenTimesThenMarksDone) {
    open();
    entries() = {unit(QStringLiteral("fertig"), QStringLiteral("FERTIG1"))};
    window->entriesChanged();
    window->setInputVisible(false);
    window->startFinishBlink();
    QTimer* blink = timer(QStringLiteral("tmrBlinken"));
    EXPECT_EQ(blink->interval(), 250);
    EXPECT_TRUE(blink->isActive());
    const QAbstractItemModel* m = list()->model();
    for (int i = 0; i < 14; ++i) {
        window->tmrBlinkenTimer();
        const bool green = i % 2 == 0;
        EXPECT_EQ(entries().at(0).status, green ? QStringLiteral("FERTIG2") : QStringLiteral("FERTIG1")) << i;
        EXPECT_EQ(m->index(0, 0).data(Qt::BackgroundRole).value<QColor>(),
                  green ? QColor(223, 255, 224) : QColor(255, 255, 170));
    }
    EXPECT_TRUE(blink->isActive());
    window->tmrBlinkenTimer();
    EXPECT_EQ(entries().at(0).status, QStringLiteral("x"));
    EXPECT_FALSE(blink->isActive());
    // Nothing pending any more: the input strip comes back.
    EXPECT_TRUE(strip()->isVisible());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Taktplan (1/1)"));
}

TEST_F(TimerTest, FinishBlinkRunsOnItsOwnTimerAlsoWhileHidden) {
    open(false);
    entries() = {unit(QStringLiteral("fertig"), QStringLiteral("WIP")), unit(QStringLiteral("danach"))};
    entries()[1].startTime = QStringLiteral("08:30");
    window->entriesChanged();
    window->setInputVisible(false);
    window->startFinishBlink();
    ASSERT_TRUE(waitFor([this] { return entries().at(0).status == QStringLiteral("x"); }, 6000));
    EXPECT_FALSE(timer(QStringLiteral("tmrBlinken"))->isActive());
    // An entry is still pending: the strip stays hidden until the plan is re-planned.
    EXPECT_TRUE(strip()->isHidden());
}

TEST_F(TimerTest, FinishBlinkEndsAtOnceWhenTheRowIsGone) {
    open();
    entries() = {unit(QStringLiteral("fertig"), QStringLiteral("FERTIG1"))};
    window->startFinishBlink();
    window->tmrBlinkenTimer();
    window->tmrBlinkenTimer();
    entries().clear();
    window->tmrBlinkenTimer();
    EXPECT_FALSE(timer(QStringLiteral("tmrBlinken"))->isActive());
    // The counter starts over for the next unit.
    entries() = {unit(QStringLiteral("nächste"), QStringLiteral("FERTIG1"))};
    for (int i = 0; i < 14; ++i)
        window->tmrBlinkenTimer();
    EXPECT_NE(entries().at(0).status, QStringLiteral("x"));
    window->tmrBlinkenTimer();
    EXPECT_EQ(entries().at(0).status, QStringLiteral("x"));
}

TEST_F(TimerTest, CaptionBlinksWhileAUnitRuns) {
    engine.isActive = true;
    engine.isUnit = true;
    open();
    QTimer* blink = timer(QStringLiteral("tmrCaptionBlinken"));
    EXPECT_EQ(blink->interval(), 500);
    EXPECT_TRUE(blink->isActive());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Taktplan (0/0) - EINHEIT AKTIV"));
    window->tmrCaptionBlinkenTimer();
    window->tmrUpdateTimer();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Taktplan (0/0)"));
    window->tmrCaptionBlinkenTimer();
    window->tmrUpdateTimer();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Taktplan (0/0) - EINHEIT AKTIV"));

    // The unit ended and a pause runs: the blink stops on the pause caption.
    engine.isUnit = false;
    window->tmrCaptionBlinkenTimer();
    EXPECT_FALSE(blink->isActive());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Taktplan (0/0) - PAUSE AKTIV"));

    // Hiding stops it; no plan at all: no suffix.
    blink->start();
    window->hide();
    EXPECT_FALSE(blink->isActive());
    engine.isActive = false;
    showActive();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Taktplan (0/0)"));
}

using FocusLockTest = WindowTest;

TEST_F(FocusLockTest, BringsThePlanningWindowBackWhileTheSettingIsOn) {
    records.settings.InVordergrundDraengen = true;
    open();
    QTimer* lock = timer(QStringLiteral("tmrFocusLock"));
    EXPECT_EQ(lock->interval(), 250);
    EXPECT_TRUE(lock->isActive());
    QWidget other;
    other.show();
    lock->stop();
    activate(&other);
    lock->start();
    // Without the companion program the window comes forward by itself.
    EXPECT_TRUE(waitFor([this] { return QApplication::activeWindow() == window.get(); }, 2000));
    EXPECT_TRUE(launcher.starts.isEmpty());
}

TEST_F(FocusLockTest, AsksTheCompanionProgramWhenItIsThere) {
    records.settings.InVordergrundDraengen = true;
    launcher.present.insert(QStringLiteral("Taktplan_AutoHotkey_Helper.exe"));
    open();
    QWidget other;
    other.show();
    activate(&other);
    ASSERT_TRUE(waitFor([this] { return !launcher.starts.isEmpty(); }, 2000));
    EXPECT_EQ(launcher.starts.first().program, QStringLiteral("Taktplan_AutoHotkey_Helper.exe"));
    EXPECT_EQ(launcher.starts.first().arguments, QStringList{QStringLiteral("front")});
}

TEST_F(FocusLockTest, LeavesTheProgramsOwnWindowsInFront) {
    records.settings.InVordergrundDraengen = true;
    launcher.present.insert(QStringLiteral("Taktplan_AutoHotkey_Helper.exe"));
    WindowUserInterface windowUi;
    const WorklistServices services{clock, data.folder(), records, companion, shell, launcher, &windowUi};
    window = std::make_unique<TFWorklist>(services);
    showActive();
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
    window.reset(); // before the user interface it uses
}

TEST_F(FocusLockTest, StopsWhenTheSettingIsOff) {
    open();
    QWidget other;
    other.show();
    activate(&other);
    window->tmrFocusLockTimer();
    EXPECT_FALSE(timer(QStringLiteral("tmrFocusLock"))->isActive());
    QTest::qWait(300);
    EXPECT_EQ(QApplication::activeWindow(), &other);
}

using ClosingTest = WindowTest;

TEST_F(ClosingTest, ClosingEndsTheProgramAndStartsTheCompanionWhenPushing) {
    const struct {
        bool push;
        bool running;
        bool companionStarted;
    } cases[] = {{false, false, false}, {true, false, true}, {true, true, false}};
    for (const auto& c : cases) {
        launcher.starts.clear();
        records.settings.InVordergrundDraengen = c.push;
        engine.isActive = c.running;
        open();
        QSignalSpy quit(window.get(), &TFWorklist::terminateRequested);
        window->close();
        EXPECT_EQ(quit.count(), 1);
        EXPECT_FALSE(window->isVisible());
        const bool started = !launcher.starts.isEmpty() &&
                             launcher.starts.first().arguments == QStringList{QStringLiteral("start")};
        EXPECT_EQ(started, c.companionStarted) << c.push << c.running;
        window.reset();
    }
}

TEST_F(ClosingTest, WithTheTimerWindowVisibleClosingOnlyHides) {
    open();
    QWidget timerWindow;
    timerWindow.show();
    window->setTimerWindow(&timerWindow);
    QSignalSpy quit(window.get(), &TFWorklist::terminateRequested);
    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(quit.count(), 0);
}

TEST_F(ClosingTest, BeendenEndsTheProgramAndStartsRunTaktplanWhenPushing) {
    records.settings.InVordergrundDraengen = true;
    open();
    QSignalSpy quit(window.get(), &TFWorklist::terminateRequested);
    key(Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(quit.count(), 1);
    ASSERT_EQ(launcher.starts.size(), 1);
    EXPECT_EQ(launcher.starts.first().program, QStringLiteral("RunTaktplan.exe"));
    EXPECT_TRUE(launcher.starts.first().arguments.isEmpty());

    records.settings.InVordergrundDraengen = false;
    launcher.starts.clear();
    key(Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(quit.count(), 2);
    EXPECT_TRUE(launcher.starts.isEmpty());
}

TEST_F(ClosingTest, LogsOpensTheActivityLog) {
    open();
    key(Qt::Key_L, Qt::ControlModifier);
    EXPECT_EQ(shell.files, QStringList{records.settings.LogDateiPfad});
}

using StartTest = WindowTest;

TEST_F(StartTest, StartIsDebouncedAndKeepsTheWindowInView) {
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
}

TEST_F(StartTest, AutomaticStartReplansWhenTheResumedUnitIsOver) {
    open(false);
    window->enableAutoStart();
    QTimer* autoStart = timer(QStringLiteral("tmrAutoStart"));
    EXPECT_TRUE(autoStart->isActive());
    EXPECT_EQ(autoStart->interval(), 100);
    window->worklist().automaticStartFlag = true;
    ASSERT_TRUE(waitFor([this] { return window->isVisible(); }, 2000));
    EXPECT_FALSE(autoStart->isActive());
    EXPECT_TRUE(
        records.debugLog.text().contains(QStringLiteral("FWorklist > tmrAutoStartTimer: Neu geplant")));
}

} // namespace
