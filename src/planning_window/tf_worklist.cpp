#include "tf_worklist.h"

#include "clock.h"
#include "companion_program.h"
#include "data_folder.h"
#include "menu_keys.h"
#include "plan_list_view.h"
#include "plan_time.h"
#include "program_launcher.h"
#include "records.h"
#include "run_control.h"
#include "shell.h"
#include "title_combo_box.h"
#include "tooltip_delay.h"
#include "window_user_interface.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>

#include <algorithm>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

constexpr int minWindowWidth = 430;
constexpr int minWindowHeight = 185;
// Points: the largest font the plan list is shown with, whatever the settings say.
constexpr int largestFontSize = 28;

} // namespace

TFWorklist::TFWorklist(const WorklistServices& services, QWidget* parent)
    : QMainWindow(parent), m_clock(services.clock), m_folder(services.folder), m_records(services.records),
      m_companion(services.companion), m_shell(services.shell), m_launcher(services.launcher),
      m_ui(services.ui), m_worklist(services.worklist), m_planFile(services.planFile),
      m_planCommands(m_worklist, m_planFile, m_ui,
                     [this](const std::function<void()>& operation, const char* where) {
                         return guarded(operation, where);
                     }),
      m_settingsCommands({m_records, m_ui, m_worklist, m_planFile, m_folder, m_shell,
                          services.settingsCommand,
                          [this] {
                              if (m_updatePercentile)
                                  m_updatePercentile();
                          },
                          [this] { tmrFocusLock->start(); }, services.extrasChanged}),
      m_helpCommands(m_shell, m_ui, m_companion,
                     services.programFolder.isEmpty() ? QCoreApplication::applicationDirPath()
                                                      : services.programFolder,
                     services.interfaceLanguage),
      m_runState([this](const RunState& now, const RunState& was) { showRunState(now, was); }),
      m_startCommand(services.startCommand), m_autoStartCommand(services.autoStartCommand) {
    m_worklist.setHost(this);
    setObjectName(u"FWorklist"_s);
    setMinimumSize(minWindowWidth, minWindowHeight);
    createTimers();
    createControls();
    createMenus();
    applyFont();
    disableDelete();

    // FormCreate: the planning state starts fresh (the Worklist did its part), then the plan
    // file comes back.
    m_worklist.startPlanningDay();
    // What a new window shows: the plan editable, tooltips after half a second, and (below)
    // the focus lock on.
    m_runState.shown.startCaption = m_menus.start->text();
    lvPlan->setDragEnabled(m_runState.shown.mouseEditing);
    setApplicationTooltipDelay(m_runState.shown.tooltipDelayMs);
    m_worklist.UpdateCaption();
    m_planFile.loadWorklist(services.stopLoading);
    refreshList();

    // The reminder window is one of ours: the focus lock leaves it in front, and rests while
    // a dialog asks something.
    m_windowUi = dynamic_cast<WindowUserInterface*>(&m_ui);
    m_focusLock->windowUi = m_windowUi;
    // After a dialog the focus lock always comes back, unless a plan runs (the start stopped it).
    if (m_windowUi)
        m_windowUi->suspendDuringDialogs(tmrFocusLock, [this] { return !engineActive(); });
    updateRunState([this](RunState& st) {
        st.startCaption = m_runState.shown.startCaption;
        st.focusLock = true;
    });
}

TFWorklist::~TFWorklist() {
    m_worklist.setHost(nullptr);
}

Worklist& TFWorklist::worklist() {
    return m_worklist;
}

PlanFile& TFWorklist::planFile() {
    return m_planFile;
}

Settings& TFWorklist::settings() const {
    return m_records.settings;
}

// --- creation ---------------------------------------------------------------------------------

void TFWorklist::createTimers() {
    const auto make = [this](const QString& name, int interval, void (TFWorklist::*handler)()) {
        auto* t = new QTimer(this);
        t->setObjectName(name);
        t->setInterval(interval);
        connect(t, &QTimer::timeout, this, handler);
        return t;
    };
    tmrUpdate = make(u"tmrUpdate"_s, 100, &TFWorklist::tmrUpdateTimer);
    tmrBlinken = make(u"tmrBlinken"_s, 250, &TFWorklist::tmrBlinkenTimer);
    tmrCaptionBlinken = make(u"tmrCaptionBlinken"_s, 500, &TFWorklist::tmrCaptionBlinkenTimer);
    m_focusLock = new FocusLock(*this, settings(), m_companion, [this] { bringToFront(); });
    tmrFocusLock = m_focusLock->timer();
    tmrAutoStart = make(u"tmrAutoStart"_s, 100, &TFWorklist::tmrAutoStartTimer);
    // The rank moves with the time of day even when nothing is done: refreshed once a minute
    // from creation on.
    tmrUpdatePercentileRank =
        make(u"tmrUpdatePercentileRank"_s, 60'000, &TFWorklist::tmrUpdatePercentileRankTimer);
    tmrUpdatePercentileRank->start();
}

void TFWorklist::createControls() {
    m_client = new QWidget(this);
    m_client->setObjectName(u"client"_s);
    setCentralWidget(m_client);
    m_client->installEventFilter(this);

    lvPlan = new PlanListView(m_worklist, m_clock, m_client);
    connect(lvPlan, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { m_menus.listPopup->popup(lvPlan->viewport()->mapToGlobal(pos)); });
    // Dropped rows are placed, and a double-click renames; both only while mouse editing is
    // allowed.
    lvPlan->dropsAllowed = [this] { return m_runState.shown.mouseEditing; };
    lvPlan->dropRows = [this](const QList<int>& rows, int target) {
        m_planCommands.moveRowsBefore(rows, target);
    };
    lvPlan->installEventFilter(this);
    connect(lvPlan, &QAbstractItemView::doubleClicked, this, [this] {
        if (m_runState.shown.mouseEditing)
            m_planCommands.rename(selectedRows());
    });

    pnlHinzu = new InputStrip({m_clock, m_records, m_worklist, m_ui,
                               [this](const std::function<void()>& operation, const char* where) {
                                   return guarded(operation, where);
                               },
                               [this] { return savePlan(); }},
                              m_client);
    cbbAufgabe = pnlHinzu->field();
    setTabOrder(cbbAufgabe, lvPlan);

    // Del must not delete plan entries while text is being typed.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        const auto inField = [this](QWidget* w) {
            return w && (w == cbbAufgabe || cbbAufgabe->isAncestorOf(w));
        };
        if (inField(now) && !inField(old))
            disableDelete();
    });
}

void TFWorklist::createMenus() {
    m_keys = new MenuKeys(this);
    const auto run = [this](void (TFWorklist::*handler)()) {
        return std::function<void()>([this, handler] { (this->*handler)(); });
    };
    buildPlanningMenus(*this, *m_keys, lvPlan, cbbAufgabe,
                       {m_planCommands, m_settingsCommands, m_helpCommands, [this] { return selectedRows(); },
                        [this] { refreshList(); }, [this](quint64 id) { lvPlan->focusEntry(id); },
                        run(&TFWorklist::onLogs), run(&TFWorklist::onQuit), run(&TFWorklist::Start1Click),
                        [this] { lvPlan->selectAll(); }, [this] { pnlHinzu->onAddUnit(); },
                        [this] { pnlHinzu->onAddPause(); }, [this] { cbbAufgabe->selectAllText(); },
                        [this] { cbbAufgabe->deleteAtCaret(); },
                        [this] { lvPlan->setFocus(Qt::OtherFocusReason); }},
                       m_menus);
    m_menus.settingsItems.presence->setChecked(settings().AnwesenheitErforderlich);

    // Opening "Liste" or the list popup (or using one of their keys) brings "Eintrag löschen"
    // back, unless a plan runs.
    m_keys->setOpeningHandler(m_menus.list, [this] { updateDeleteEnabled(); });
    m_keys->setOpeningHandler(m_menus.listPopup, [this] { updateDeleteEnabled(); });
    // Opening "Einstellungen" brings its captions up to date, and with the setting on the focus
    // lock back (after a dialog that did not restore it, say).
    m_keys->setOpeningHandler(m_menus.settings, [this] { updateSettingsMenu(); });
    m_keys->setHook([this](const QKeyEvent& pressed) { return keyHook(pressed); });
}

void TFWorklist::applyFont() {
    QFont font;
    font.setFamilies({u"Tahoma"_s});
    font.setStyleHint(QFont::SansSerif);
    // A hand-set size past what a window can show would hide the plan (a huge size paints no
    // text at all): it is shown at the largest size that still leaves rows to read.
    const int size = settings().Schriftgroesse;
    font.setPointSize(size > 0 ? std::min(size, largestFontSize) : 10);
    // The list and the input field follow the setting; the menus keep the system's font.
    m_client->setFont(font);

    lvPlan->fitToFont(font);
    arrangeControls();
}

// --- layout -----------------------------------------------------------------------------------

void TFWorklist::arrangeControls() {
    const QRect area = m_client->rect();
    if (pnlHinzu->isHidden()) {
        lvPlan->setGeometry(area);
        return;
    }
    const int fieldHeight = cbbAufgabe->sizeHint().height();
    const int stripHeight = fieldHeight + 2;
    pnlHinzu->setGeometry(0, area.height() - stripHeight, area.width(), stripHeight);
    cbbAufgabe->setGeometry(0, (stripHeight - fieldHeight) / 2, area.width(), fieldHeight);
    lvPlan->setGeometry(0, 0, area.width(), std::max(0, area.height() - stripHeight));
}

bool TFWorklist::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_client && event->type() == QEvent::Resize) {
        arrangeControls();
        return false;
    }
    if (watched == lvPlan && (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease))
        return listKeyEvent(*static_cast<QKeyEvent*>(event));
    return QMainWindow::eventFilter(watched, event);
}

// --- the list view ----------------------------------------------------------------------------

void TFWorklist::refreshList() {
    lvPlan->refresh();
}

QList<int> TFWorklist::selectedRows() const {
    return lvPlan->selectedRows();
}

// --- PlanningHost -----------------------------------------------------------------------------

bool TFWorklist::engineActive() const {
    return m_worklist.runActive();
}

bool TFWorklist::unitRunning() const {
    const RunControl* run = m_worklist.runControl();
    return run && run->unitRunning();
}

RunState::Phase TFWorklist::enginePhase() const {
    if (unitRunning())
        return RunState::Phase::Unit;
    return engineActive() ? RunState::Phase::Pause : RunState::Phase::Planning;
}

void TFWorklist::captionChanged(const QString& caption) {
    setWindowTitle(caption);
}

void TFWorklist::entriesChanged() {
    refreshList();
}

void TFWorklist::restartUpdateTimer() {
    // Entries added while the window is hidden (the plan file at start-up, today's finished
    // units) need no refresh until it is shown, and showing starts the timer anyway.
    if (isVisible())
        tmrUpdate->start();
}

void TFWorklist::setTimerWindow(QWidget* timerWindow) {
    m_timerWindow = timerWindow;
    m_focusLock->timerWindow = timerWindow;
}

void TFWorklist::addForegroundPeer(QWidget* window) {
    m_focusLock->peers.append(window);
}

void TFWorklist::setHelpWindows(std::function<void()> showDebugger, std::function<void()> showAbout) {
    m_helpCommands.showDebugger = std::move(showDebugger);
    m_helpCommands.showAbout = std::move(showAbout);
}

bool TFWorklist::guarded(const std::function<void()>& operation, const char* where) {
    try {
        operation();
        return true;
    } catch (const plantime::ConversionError& e) {
        const QString failure = QString::fromLatin1(where) + u": "_s + e.text();
        if (failure != m_lastConversionError) {
            m_lastConversionError = failure;
            m_records.debugLog.AddDebugLine(u"FWorklist > "_s + QString::fromLatin1(where) +
                                            u": Wert im Plan nicht lesbar: '"_s + e.text() + u"'"_s);
        }
        return false;
    }
}

// --- showing, hiding, closing -----------------------------------------------------------------

void TFWorklist::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // Restoring from the taskbar is no new showing.
    if (!event->spontaneous())
        formShow();
}

void TFWorklist::hideEvent(QHideEvent* event) {
    QMainWindow::hideEvent(event);
    if (!event->spontaneous())
        formHide();
}

void TFWorklist::formShow() {
    resize(std::max(minWindowWidth, settings().Breite), std::max(minWindowHeight, settings().Hoehe));
    if (!m_shownBefore) {
        m_shownBefore = true;
        if (const QScreen* s = screen())
            move(s->availableGeometry().center() - QPoint(width() / 2, height() / 2));
    }

    // While a plan runs the start item is the re-planning command.
    const RunState::Phase phase = enginePhase();
    showLook(planningLook(phase, settings().Verbleibend), phase != RunState::Phase::Planning);

    pnlHinzu->refill();
    tmrUpdate->start();
    m_worklist.UpdateCaption();
    updateMenuStates();
}

void TFWorklist::rememberSize() {
    if (!isVisible())
        return;
    settings().Breite = width();
    settings().Hoehe = height();
}

void TFWorklist::formHide() {
    // Hidden already; the size it had is still the one to keep.
    settings().Breite = width();
    settings().Hoehe = height();
    tmrUpdate->stop();
    updateRunState([](RunState& st) {
        st.captionBlink = false;
        st.mouseEditing = false;
    });
}

void TFWorklist::showFirstStartHint() {
    pnlHinzu->showFirstStartHint();
}

void TFWorklist::closeEvent(QCloseEvent* event) {
    rememberSize();
    savePlan();
    event->accept();
    if (m_timerWindow && m_timerWindow->isVisible())
        return; // only hidden: the Timer window carries on
    if (!engineActive() && settings().InVordergrundDraengen)
        m_companion.restartAfterClose();
    emit terminateRequested();
}

void TFWorklist::bringToFront() {
    if (isMinimized())
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    raise();
    activateWindow();
}

// --- menus ------------------------------------------------------------------------------------

void TFWorklist::updateMenuStates() {
    const RunState::Phase phase = enginePhase();
    if (m_menusShownFor == phase)
        return;
    m_menusShownFor = phase;
    const PlanningLook look = planningLook(phase, settings().Verbleibend);
    m_menus.file->menuAction()->setEnabled(look.fileMenu);
    for (QAction* a : {m_menus.list->menuAction(), m_menus.settings->menuAction(), m_menus.help->menuAction(),
                       m_menus.newPlan, m_menus.open, m_menus.quit})
        a->setEnabled(look.planningMenus);
    m_menus.save->setEnabled(true);
    m_menus.saveAs->setEnabled(true);
    m_menus.logs->setEnabled(true);
}

void TFWorklist::updateDeleteEnabled() {
    const bool enable = !engineActive();
    m_menus.deleteEntry->setEnabled(enable);
    m_menus.popupDelete->setEnabled(enable);
}

void TFWorklist::disableDelete() {
    m_menus.deleteEntry->setEnabled(false);
    m_menus.popupDelete->setEnabled(false);
}

bool TFWorklist::keyHook(const QKeyEvent& key) {
    // The plus key of the keypad: start time plus in the list, and never a "+" in the field.
    if (key.key() == Qt::Key_Plus && (key.modifiers() & Qt::KeypadModifier)) {
        if (lvPlan->hasFocus() && m_menus.popupStartLater->isEnabled())
            m_planCommands.startLater(selectedRows());
        return true;
    }
    return false;
}

// --- timers -----------------------------------------------------------------------------------

void TFWorklist::tmrUpdateTimer() {
    if (guarded([this] { m_worklist.RecomputeSchedule(); }, "tmrUpdateTimer"))
        m_lastConversionError.clear();
}

void TFWorklist::startFinishBlink() {
    tmrBlinken->start();
}

void TFWorklist::tmrBlinkenTimer() {
    if (m_worklist.finishBlinkStep())
        return;
    tmrBlinken->stop();
    // Nothing pending any more: the plan can be edited again.
    if (m_worklist.NextPendingTitle().isEmpty())
        updateRunState([](RunState& st) { st.inputVisible = true; });
}

void TFWorklist::tmrCaptionBlinkenTimer() {
    const RunState::Phase phase = enginePhase();
    if (phase == RunState::Phase::Unit) {
        // The next schedule refresh writes the caption.
        m_worklist.blinkCaptionSuffix(m_runState.shown.captionSuffix);
        return;
    }
    showLook(planningLook(phase, settings().Verbleibend), false);
}

void TFWorklist::enableAutoStart() {
    tmrAutoStart->start();
}

void TFWorklist::tmrAutoStartTimer() {
    tmrAutoStart->stop();
    if (!m_autoStartCommand)
        return;
    m_autoStartCommand();
    updateMenuStates();
}

void TFWorklist::tmrUpdatePercentileRankTimer() {
    if (!settings().showPercentileRanking)
        return;
    // Only while someone can see the rank: in this window's caption, or in the Timer window
    // during a pause.
    const bool timerShowsPause =
        m_timerWindow && m_timerWindow->isVisible() && engineActive() && !unitRunning();
    if (!isVisible() && !timerShowsPause)
        return;
    if (m_updatePercentile)
        m_updatePercentile();
    m_worklist.UpdateCaption();
}

void TFWorklist::Start1Click() {
    // The runner keeps its own debounce and decides between starting and re-planning. Without
    // one no plan can run: the plan stays in editing, in view.
    if (!m_startCommand) {
        show();
        return;
    }
    m_startCommand();
    updateMenuStates();
}

// --- PlanningView -----------------------------------------------------------------------------

void TFWorklist::showWindow() {
    show();
}

void TFWorklist::hideWindow() {
    hide();
}

void TFWorklist::showCentred() {
    // Where the user looks first, also when the window was pushed aside or onto a monitor
    // that has gone since.
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (s)
        move(s->availableGeometry().center() - QPoint(width() / 2, height() / 2));
    show();
}

void TFWorklist::releaseDialogGuard() {
    // The dialogs restore the timers they stopped themselves; what is left is the focus lock,
    // which the start command had stopped.
    tmrFocusLock->start();
}

void TFWorklist::showError(const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Critical, title, text, QMessageBox::Ok, this);
    box.setObjectName(u"errorBox"_s);
    // The focus lock would pull this window over its own message.
    const bool focusLock = tmrFocusLock->isActive();
    tmrFocusLock->stop();
    box.exec();
    if (focusLock)
        tmrFocusLock->start();
}

// --- the run state ----------------------------------------------------------------------------

void TFWorklist::showLook(const PlanningLook& look, bool withStartItem) {
    updateRunState([&look, withStartItem](RunState& st) {
        if (withStartItem) {
            st.startCaption = look.startCaption;
            st.startEnabled = look.startEnabled;
        }
        st.captionSuffix = look.captionSuffix;
        st.captionBlink = look.captionBlink;
    });
}

void TFWorklist::showRunState(const RunState& state, const RunState& was) {
    if (state.startCaption != was.startCaption)
        m_menus.start->setText(state.startCaption);
    if (state.startEnabled != was.startEnabled)
        m_menus.start->setEnabled(state.startEnabled);
    if (state.inputVisible != was.inputVisible) {
        pnlHinzu->setVisible(state.inputVisible);
        arrangeControls();
    }
    if (state.listMenuAllItems != was.listMenuAllItems) {
        for (QAction* a : std::as_const(m_menus.popupItems)) {
            // The hidden "Start" stays reachable: F9 in the list must re-plan a running plan.
            if (a && a != m_menus.popupStart)
                a->setEnabled(state.listMenuAllItems);
        }
    }
    // A drag that no drop would take is not begun at all.
    if (state.mouseEditing != was.mouseEditing)
        lvPlan->setDragEnabled(state.mouseEditing);
    if (state.maxReplanEnabled != was.maxReplanEnabled)
        m_menus.settingsItems.maxReplan->setEnabled(state.maxReplanEnabled);
    if (state.tooltipDelayMs != was.tooltipDelayMs)
        setApplicationTooltipDelay(state.tooltipDelayMs);
    // The timer may also stop and start on its own (setting off, dialogs); the run state says
    // when the run wants it or forbids it.
    if (state.focusLock != was.focusLock)
        state.focusLock ? tmrFocusLock->start() : tmrFocusLock->stop();
    if (state.captionBlink != was.captionBlink)
        state.captionBlink ? tmrCaptionBlinken->start() : tmrCaptionBlinken->stop();
    // The blink may have left the suffix out: a new suffix, or the blink starting or ending,
    // shows it whole.
    if (state.captionSuffix != was.captionSuffix || state.captionBlink != was.captionBlink) {
        m_worklist.setCaptionSuffix(state.captionSuffix);
    }
    updateMenuStates();
}

// --- commands ---------------------------------------------------------------------------------

bool TFWorklist::listKeyEvent(QKeyEvent& key) {
    // Shift held in the list keeps the rows in place while a range is selected.
    if (key.key() == Qt::Key_Shift) {
        if (key.type() == QEvent::KeyPress)
            tmrUpdate->stop();
        else if (isVisible())
            tmrUpdate->start();
        return false;
    }
    if (key.type() != QEvent::KeyPress)
        return false;
    if (key.key() == Qt::Key_Escape) {
        if (engineActive())
            close();
        return true;
    }
    // The typed keys follow their menu items: no nudging while the list's commands are off.
    const QString text = key.text();
    if (text == u"k"_s) {
        if (m_menus.popupStartLater->isEnabled())
            m_planCommands.startLater(selectedRows());
        return true;
    }
    if (text == u"m"_s || text == u"-"_s) {
        if (m_menus.popupStartEarlier->isEnabled())
            m_planCommands.startEarlier(selectedRows());
        return true;
    }
    return false;
}

void TFWorklist::onLogs() {
    if (m_records.activityLog.CreateIfMissing())
        m_shell.openFile(settings().LogDateiPfad);
}

void TFWorklist::onQuit() {
    rememberSize();
    savePlan();
    if (!engineActive() && settings().InVordergrundDraengen)
        m_launcher.start(u"RunTaktplan.exe"_s, {});
    emit terminateRequested();
}

// --- plan file --------------------------------------------------------------------------------

bool TFWorklist::savePlan() {
    return m_planCommands.savePlan();
}

// --- settings ---------------------------------------------------------------------------------

void TFWorklist::updateSettingsMenu() {
    const SettingsCommands::MenuView v = SettingsCommands::menuView(m_records);
    m_menus.settingsItems.unitLength->setText(v.unitLength);
    m_menus.settingsItems.smallPause->setText(v.smallPause);
    m_menus.settingsItems.bigPause->setText(v.bigPause);
    m_menus.settingsItems.maxReplan->setText(v.maxReplan);
    m_menus.settingsItems.presence->setChecked(v.presence);
    m_menus.settingsItems.sounds->setChecked(v.sounds);
    m_menus.settingsItems.lockInPause->setChecked(v.lockInPause);
    m_menus.settingsItems.percentile->setChecked(v.percentile);
    m_menus.settingsItems.foreground->setChecked(v.foreground);
    m_menus.settingsItems.trayIcon->setChecked(v.trayIcon);
    m_menus.settingsItems.notifications->setChecked(v.notifications);
    if (v.foreground)
        tmrFocusLock->start();
}
