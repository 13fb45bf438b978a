#include "tf_worklist.h"

#include "companion_program.h"
#include "input_strip.h"
#include "list_keys.h"
#include "menu_keys.h"
#include "plan_list_view.h"
#include "planning_layout.h"
#include "planning_look.h"
#include "program_launcher.h"
#include "records.h"
#include "shell.h"
#include "title_combo_box.h"
#include "tooltip_delay.h"
#include "window_user_interface.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
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

} // namespace

TFWorklist::TFWorklist(const WorklistServices& services, QWidget* parent)
    : QMainWindow(parent), m_services(services), m_guard(services.records.debugLog),
      m_planCommands(services.worklist, services.planFile, services.ui, m_guard.runner()),
      m_settingsCommands({services.records, services.ui, services.worklist, services.planFile,
                          services.folder, services.shell, services.settingsCommand,
                          [this] {
                              if (m_timers->updatePercentile)
                                  m_timers->updatePercentile();
                          },
                          [this] { m_focusLock->timer()->start(); }, services.extrasChanged}),
      m_helpCommands(services.shell, services.ui, services.companion,
                     services.programFolder.isEmpty() ? QCoreApplication::applicationDirPath()
                                                      : services.programFolder,
                     services.interfaceLanguage),
      m_runState([this](const RunState& now, const RunState& was) { showRunState(now, was); }) {
    worklist().setHost(this);
    setObjectName(u"FWorklist"_s);
    setMinimumSize(minWindowWidth, minWindowHeight);
    m_timers = new PlanningTimers({*this, services.worklist, settings(), m_guard, m_runState,
                                   services.autoStartCommand, [this] { updateMenuStates(); }});
    m_focusLock = new FocusLock(*this, settings(), services.companion, [this] { bringToFront(); });
    createControls();
    createMenus();
    m_layout->applyFont(settings().Schriftgroesse);
    m_menuStates.enableDelete(false);

    // FormCreate: the planning state starts fresh (the Worklist did its part), then the plan
    // file comes back.
    worklist().startPlanningDay();
    // What a new window shows: the plan editable, tooltips after half a second, and (below)
    // the focus lock on.
    m_runState.shown.startCaption = m_menus.start->text();
    lvPlan->setDragEnabled(m_runState.shown.mouseEditing);
    setApplicationTooltipDelay(m_runState.shown.tooltipDelayMs);
    worklist().UpdateCaption();
    planFile().loadWorklist(services.stopLoading);
    lvPlan->refresh();

    // The reminder window is one of ours: the focus lock leaves it in front, and rests while
    // a dialog asks something.
    auto* windowUi = dynamic_cast<WindowUserInterface*>(&m_services.ui);
    m_focusLock->windowUi = windowUi;
    // After a dialog the focus lock always comes back, unless a plan runs (the start stopped it).
    if (windowUi)
        windowUi->suspendDuringDialogs(m_focusLock->timer(), [this] { return !worklist().runActive(); });
    updateRunState([this](RunState& st) {
        st.startCaption = m_runState.shown.startCaption;
        st.focusLock = true;
    });
}

TFWorklist::~TFWorklist() {
    worklist().setHost(nullptr);
}

Settings& TFWorklist::settings() const {
    return m_services.records.settings;
}

// --- creation ---------------------------------------------------------------------------------

void TFWorklist::createControls() {
    auto* client = new QWidget(this);
    client->setObjectName(u"client"_s);
    setCentralWidget(client);

    lvPlan = new PlanListView(worklist(), m_services.clock, client);
    connect(lvPlan, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { m_menus.listPopup->popup(lvPlan->viewport()->mapToGlobal(pos)); });
    // Dropped rows are placed, and a double-click renames; both only while mouse editing is
    // allowed.
    lvPlan->dropsAllowed = [this] { return m_runState.shown.mouseEditing; };
    lvPlan->dropRows = [this](const QList<int>& rows, int target) {
        m_planCommands.moveRowsBefore(rows, target);
    };
    connect(lvPlan, &QAbstractItemView::doubleClicked, this, [this] {
        if (m_runState.shown.mouseEditing)
            m_planCommands.rename(lvPlan->selectedRows());
    });

    pnlHinzu = new InputStrip({m_services.clock, m_services.records, worklist(), m_services.ui,
                               m_guard.runner(), [this] { return savePlan(); }},
                              client);
    TitleComboBox* field = pnlHinzu->field();
    setTabOrder(field, lvPlan);
    m_layout = new PlanningLayout(*client, *lvPlan, *pnlHinzu);

    // Del must not delete plan entries while text is being typed.
    connect(qApp, &QApplication::focusChanged, this, [this, field](QWidget* old, QWidget* now) {
        const auto inField = [field](QWidget* w) { return w && (w == field || field->isAncestorOf(w)); };
        if (inField(now) && !inField(old))
            m_menuStates.enableDelete(false);
    });
}

void TFWorklist::createMenus() {
    auto* keys = new MenuKeys(this);
    const auto run = [this](void (TFWorklist::*handler)()) {
        return std::function<void()>([this, handler] { (this->*handler)(); });
    };
    TitleComboBox* field = pnlHinzu->field();
    buildPlanningMenus(*this, *keys, lvPlan, field,
                       {m_planCommands, m_settingsCommands, m_helpCommands,
                        [this] { return lvPlan->selectedRows(); }, [this] { lvPlan->refresh(); },
                        [this](quint64 id) { lvPlan->focusEntry(id); }, run(&TFWorklist::onLogs),
                        run(&TFWorklist::onQuit), run(&TFWorklist::Start1Click),
                        [this] { lvPlan->selectAll(); }, [this] { pnlHinzu->onAddUnit(); },
                        [this] { pnlHinzu->onAddPause(); }, [field] { field->selectAllText(); },
                        [field] { field->deleteAtCaret(); },
                        [this] { lvPlan->setFocus(Qt::OtherFocusReason); }, m_services.evaluationCommand},
                       m_menus);
    m_menus.settingsItems.presence->setChecked(settings().AnwesenheitErforderlich);

    // Opening "Liste" or the list popup (or using one of their keys) brings "Eintrag löschen"
    // back, unless a plan runs.
    const auto deleteBack = [this] { m_menuStates.enableDelete(!worklist().runActive()); };
    keys->setOpeningHandler(m_menus.list, deleteBack);
    keys->setOpeningHandler(m_menus.listPopup, deleteBack);
    keys->setOpeningHandler(m_menus.settings,
                            [this] { m_settingsCommands.refreshMenu(m_menus.settingsItems); });
    new ListKeys({*this, *lvPlan, *m_timers->update, m_menus, m_planCommands, worklist()}, *keys);
}

// --- PlanningHost -----------------------------------------------------------------------------

void TFWorklist::entriesChanged() {
    lvPlan->refresh();
}

void TFWorklist::restartUpdateTimer() {
    // Entries added while the window is hidden (the plan file at start-up, today's finished
    // units) need no refresh until it is shown, and showing starts the timer anyway.
    if (isVisible())
        m_timers->update->start();
}

void TFWorklist::setTimerWindow(QWidget* timerWindow) {
    m_timerWindow = timerWindow;
    m_focusLock->timerWindow = timerWindow;
    m_timers->timerWindow = timerWindow;
}

void TFWorklist::setHelpWindows(std::function<void()> showDebugger, std::function<void()> showAbout) {
    m_helpCommands.showDebugger = std::move(showDebugger);
    m_helpCommands.showAbout = std::move(showAbout);
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
    const RunState::Phase phase = runPhase(worklist());
    m_runState.showLook(planningLook(phase, settings().Verbleibend), phase != RunState::Phase::Planning);

    pnlHinzu->refill();
    m_timers->update->start();
    worklist().UpdateCaption();
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
    m_timers->update->stop();
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
    if (!worklist().runActive() && settings().InVordergrundDraengen)
        m_services.companion.restartAfterClose();
    emit terminateRequested();
}

void TFWorklist::bringToFront() {
    if (isMinimized())
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    raise();
    activateWindow();
}

void TFWorklist::updateMenuStates() {
    m_menuStates.showPhase(runPhase(worklist()), settings().Verbleibend);
}

// --- PlanningView -----------------------------------------------------------------------------

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
    m_focusLock->timer()->start();
}

void TFWorklist::showError(const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Critical, title, text, QMessageBox::Ok, this);
    box.setObjectName(u"errorBox"_s);
    // The focus lock would pull this window over its own message.
    QTimer* focusLock = m_focusLock->timer();
    const bool locking = focusLock->isActive();
    focusLock->stop();
    box.exec();
    if (locking)
        focusLock->start();
}

// --- the run state ----------------------------------------------------------------------------

void TFWorklist::showRunState(const RunState& state, const RunState& was) {
    m_menuStates.showRunState(state, was);
    if (state.inputVisible != was.inputVisible) {
        pnlHinzu->setVisible(state.inputVisible);
        m_layout->arrange();
    }
    // A drag that no drop would take is not begun at all.
    if (state.mouseEditing != was.mouseEditing)
        lvPlan->setDragEnabled(state.mouseEditing);
    if (state.tooltipDelayMs != was.tooltipDelayMs)
        setApplicationTooltipDelay(state.tooltipDelayMs);
    // The timer may also stop and start on its own (setting off, dialogs); the run state says
    // when the run wants it or forbids it.
    QTimer* focusLock = m_focusLock->timer();
    if (state.focusLock != was.focusLock)
        state.focusLock ? focusLock->start() : focusLock->stop();
    if (state.captionBlink != was.captionBlink)
        state.captionBlink ? m_timers->captionBlink->start() : m_timers->captionBlink->stop();
    // The blink may have left the suffix out: a new suffix, or the blink starting or ending,
    // shows it whole.
    if (state.captionSuffix != was.captionSuffix || state.captionBlink != was.captionBlink)
        worklist().setCaptionSuffix(state.captionSuffix);
    updateMenuStates();
}

// --- commands ---------------------------------------------------------------------------------

void TFWorklist::Start1Click() {
    // The runner keeps its own debounce and decides between starting and re-planning. Without
    // one no plan can run: the plan stays in editing, in view.
    if (!m_services.startCommand) {
        show();
        return;
    }
    m_services.startCommand();
    updateMenuStates();
}

void TFWorklist::onLogs() {
    if (m_services.records.activityLog.CreateIfMissing())
        m_services.shell.openFile(settings().LogDateiPfad);
}

void TFWorklist::onQuit() {
    rememberSize();
    savePlan();
    if (!worklist().runActive() && settings().InVordergrundDraengen)
        m_services.launcher.start(u"RunTaktplan.exe"_s, {});
    emit terminateRequested();
}
