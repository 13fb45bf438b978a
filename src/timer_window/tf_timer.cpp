#include "tf_timer.h"

#include "clock.h"
#include "companion_program.h"
#include "plan_file.h"
#include "records.h"
#include "run_feedback.h"
#include "screen_place.h"
#include "shell.h"
#include "strip_mouse.h"
#include "tf_bestaetigung.h"
#include "timer_commands.h"
#include "timer_display.h"
#include "timer_menu.h"
#include "timer_model.h"
#include "timer_popup.h"
#include "translate.h"
#include "user_interface.h"
#include "worklist.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QTimer>

#include <utility>

using timermenu::Item;

namespace {

constexpr int displayOffset = 2;
constexpr int lockFirstInterval = 15000;
// Once a day, the companion program looks for a newer version.
constexpr int updateCheckInterval = 24 * 60 * 60 * 1000;

QLabel* label(const char* name, const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

} // namespace

TFTimer::TFTimer(const TimerServices& services, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_s(withDefaults(services)), m_model(services.model), m_presence(services.presence) {
    m_front = new ForegroundKeeper(*this, m_s.bringToFront);
    m_front->windows.presence = m_presence.data();

    setObjectName(QStringLiteral("FTimer"));
    setWindowTitle(tr_("Taktplan - Timer"));
    setAttribute(Qt::WA_AlwaysShowToolTips);
    createControls();
    // The menu rules read the timers.
    createTimers();
    pm1 = timerpopup::build(this, [this](Item item, bool checked) { onMenuItem(item, checked); });
    connect(pm1, &QMenu::aboutToShow, this, &TFTimer::applyMenuRules);
    applyMenuRules();
    applyColours();
    resize(128, 18);
    move(screenplace::currentDesktop().center() - QPoint(width() / 2, height() / 2));
    screenplace::watchScreens(this, [this] { displayChanged(); });
    connect(&m_model.runState(), &RunStatePublisher::changed, this, &TFTimer::showState);
    // A window made while nothing runs keeps its first look until something does.
    if (!(m_model.runState().state() == m_shown))
        showState(m_model.runState().state());
}

// --- creation ---------------------------------------------------------------------------------

void TFTimer::createControls() {
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(13);

    lblZeit = label("lblZeit", QStringLiteral("25:00"), this);
    lblZeit->setFont(font);
    lblZeit->setAlignment(Qt::AlignCenter);
    lblZeit->setAutoFillBackground(true);
    lblZeit->move(displayOffset, displayOffset);
    label("lblExit", QStringLiteral("x"), this)->hide();
    lblBewegen = label("lblBewegen", QStringLiteral("+"), this);
    lblBewegen->hide();

    // On top of everything: the whole strip answers the mouse, wherever the digits are.
    lblTransparenz = label("lblTransparenz", QString(), this);
    lblTransparenz->setAttribute(Qt::WA_TranslucentBackground);
    lblTransparenz->setGeometry(rect());
    lblTransparenz->raise();
    auto* mouse = new StripMouse(
        *this, {[this](bool full) {
                    m_compact = !full;
                    refreshDisplay();
                },
                [this] {
                    if (!m_front->foregroundOurs() && !(m_presence && m_presence->isVisible()))
                        m_s.bringToFront(*this);
                },
                [this] {
                    planningMode();
                    if (QWidget* planning = m_front->windows.planning; planning && planning->isMinimized())
                        planning->setWindowState(planning->windowState() & ~Qt::WindowMinimized);
                }});
    mouse->watch(lblTransparenz);
    mouse->watch(lblZeit);
}

void TFTimer::createTimers() {
    const auto make = [this](const char* name, int interval) {
        auto* t = new QTimer(this);
        t->setObjectName(QString::fromLatin1(name));
        t->setInterval(interval);
        return t;
    };
    tmrZeit = make("tmrZeit", 100);
    connect(tmrZeit, &QTimer::timeout, this, [this] { m_model.tick(); });
    tmrWindowsBlock = make("tmrWindowsBlock", lockFirstInterval);
    connect(tmrWindowsBlock, &QTimer::timeout, this,
            [this] { m_model.workstationLockStep(tmrWindowsBlock->interval()); });
    QTimer* updateCheck = make("tmrUpdateCheck", updateCheckInterval);
    connect(updateCheck, &QTimer::timeout, this, [this] { m_s.companion.versionCheck(); });
    updateCheck->start();
}

// --- the run state ----------------------------------------------------------------------------

void TFTimer::showState(const RunState& state) {
    const RunState was = std::exchange(m_shown, state);
    if (state.timerTooltip != was.timerTooltip) {
        // The transparent label lies over everything, so the hint is asked of it.
        lblTransparenz->setToolTip(state.timerTooltip);
        setToolTip(state.timerTooltip);
    }
    if (timerdisplay::unitColours(state.phase) != timerdisplay::unitColours(was.phase))
        applyColours();
    if (state.ticking != was.ticking) {
        if (state.ticking)
            tmrZeit->start();
        else
            tmrZeit->stop();
    }
    if (state.workstationLockIntervalMs != was.workstationLockIntervalMs)
        applyLockTimer(state.workstationLockIntervalMs);
    applyPresence(state.presenceConfirmationVisible, was.presenceConfirmationVisible);
    if (state.runMenuEnabled != was.runMenuEnabled) {
        applyMenuRules();
        // A plan start brings the window back to where the user left it; at the very first
        // start it stays in the middle, where the hint points at it.
        if (!state.runMenuEnabled && !m_s.records.settingsFile.firstStart())
            moveToStartPlace();
    }
    if (state.remainingSeconds != was.remainingSeconds || state.percentileRank != was.percentileRank)
        refreshDisplay();
    if (state.timerVisible != was.timerVisible) {
        setVisible(state.timerVisible);
        if (state.timerVisible)
            refreshDisplay();
    }
    // Asked for again while a phase runs: the dialog guard may have rested it meanwhile.
    if (state.foregroundKeeping || was.foregroundKeeping)
        m_front->setOn(state.foregroundKeeping);
}

void TFTimer::applyLockTimer(int intervalMs) {
    tmrWindowsBlock->stop();
    tmrWindowsBlock->setInterval(intervalMs > 0 ? intervalMs : lockFirstInterval);
    if (intervalMs > 0)
        tmrWindowsBlock->start();
}

void TFTimer::applyPresence(bool visible, bool wasVisible) {
    if (!m_presence)
        return;
    // Shown again if it went away while the engine still asks for it.
    if (visible && !m_presence->isVisible()) {
        m_presence->show();
        // Both come up in the middle of the screen: the question must not hide the pause's note.
        QWidget* note = m_front->reminder();
        if (note && note->isVisible() && m_presence->screen())
            m_presence->move(timerdisplay::clearOf(m_presence->frameGeometry(), note->frameGeometry(),
                                                   m_presence->screen()->availableGeometry()));
    } else if (!visible && wasVisible)
        m_presence->hide();
}

void TFTimer::applyColours() {
    const bool unit = timerdisplay::unitColours(m_shown.phase);
    const QColor background = unit ? Qt::black : Qt::white;
    const QColor digits = unit ? Qt::white : Qt::black;
    QPalette p = palette();
    p.setColor(QPalette::Window, background);
    p.setColor(QPalette::WindowText, digits);
    setPalette(p);
    setAutoFillBackground(true);
    lblZeit->setPalette(p);
    QPalette handle = lblBewegen->palette();
    handle.setColor(QPalette::WindowText, digits);
    lblBewegen->setPalette(handle);
}

void TFTimer::refreshDisplay() {
    const qint64 r = m_shown.remainingSeconds;
    const QString text = timerdisplay::displayText(r, !m_compact, m_s.records.settings.showPercentileRanking,
                                                   m_shown.percentileRank);
    if (text != m_shownText) {
        m_shownText = text;
        lblZeit->setText(text);
        const QFontMetrics fm(lblZeit->font());
        const QSize textSize(fm.horizontalAdvance(text), fm.height());
        lblZeit->setGeometry(QRect(QPoint(displayOffset, displayOffset), textSize));
        resize(textSize.width() + 2 * displayOffset, textSize.height() + 2 * displayOffset);
        lblTransparenz->setGeometry(rect());
    }
    screenplace::keepOnDesktop(*this);
    if (m_presence && r != m_presenceSeconds) {
        m_presenceSeconds = r;
        m_presence->setRemainingSeconds(r);
    }
}

void TFTimer::moveToStartPlace() {
    const QPoint saved(m_s.records.settings.X, m_s.records.settings.Y);
    const QFontMetrics fm(lblZeit->font());
    const QSize widest(fm.horizontalAdvance(timerdisplay::displayText(35999, true, true, 100)) +
                           2 * displayOffset,
                       fm.height() + 2 * displayOffset);
    const QPoint place = screenplace::startPlace(saved, size(), widest, m_s.records.extras.stripPlaced);
    m_defaultPlace = place != saved ? std::optional<QPoint>(place) : std::nullopt;
    move(place);
}

void TFTimer::showFirstStartHint() {
    if (m_front->windows.firstStartHint)
        m_front->windows.firstStartHint->show();
}

void TFTimer::raiseReminderIfVisible() {
    if (QWidget* window = m_front->reminder(); window && window->isVisible()) {
        window->show();
        window->raise();
    }
}

// --- the menu ---------------------------------------------------------------------------------

timermenu::Situation TFTimer::menuSituation() const {
    const Settings& s = m_s.records.settings;
    return {m_shown.ticking, m_model.unitRunning(), s.AnwesenheitErforderlich, m_model.presenceConfirmed(),
            s.Verbleibend,   m_model.failedMark(),  m_shown.runMenuEnabled};
}

void TFTimer::applyMenuRules() {
    timerpopup::apply(pm1, menuSituation());
}

void TFTimer::contextMenuEvent(QContextMenuEvent* event) {
    pm1->popup(event->globalPos());
}

void TFTimer::onMenuItem(Item item, bool checked) {
    switch (item) {
    case Item::Planungsmodus:
        return planningMode();
    case Item::NutzerAnwesend:
        return presenceCommand();
    case Item::EinheitGescheitert:
        return onFailedItem(checked);
    case Item::Logs:
        if (m_s.records.activityLog.CreateIfMissing())
            m_s.shell.openFile(m_s.records.settings.LogDateiPfad);
        return;
    case Item::Auswertung:
        return evaluationCommand();
    case Item::Einstellungen:
        return settingsCommand();
    case Item::Info:
        if (m_showAbout)
            m_showAbout();
        return;
    case Item::Beenden:
        return exitCommand();
    case Item::NeueEinheit:
        return;
    }
}

void TFTimer::planningMode() {
    m_s.countdown.hide();
    QWidget* planning = m_front->windows.planning.data();
    if (!planning)
        return;
    screenplace::centre(*planning);
    planning->show();
}

void TFTimer::presenceCommand() {
    if (!m_model.presenceConfirmed())
        return confirmPresence();
    m_model.setPresenceConfirmed(false);
    applyMenuRules();
}

void TFTimer::confirmPresence() {
    m_model.setPresenceConfirmed(true);
    m_model.runState().update([](RunState& s) { s.presenceConfirmationVisible = false; });
    if (m_presence)
        m_presence->hide();
    applyMenuRules();
}

void TFTimer::onFailedItem(bool checked) {
    m_model.setFailedMark(checked);
    if (!checked)
        return;
    timerpopup::showFailedWarning(this);
}

// --- ending -----------------------------------------------------------------------------------

void TFTimer::exitCommand() {
    m_s.planFile.saveWorklist();
    if (isVisible() || tmrZeit->isActive())
        return;
    const QString question = timercommands::exitQuestion(
        m_s.records.activityLog.TargetForDay(m_s.clock.today()), m_s.worklist.DoneCount());
    if (!question.isEmpty() &&
        !m_s.ui.askYesNo(tr_("Taktplan: Soll nicht erfüllt"), question).value_or(false))
        return;
    emit terminateRequested();
}

void TFTimer::evaluationCommand() {
    timercommands::startEvaluation(m_s.launcher, m_s.ui, m_s.startFile, m_s.programFolder);
}

void TFTimer::settingsCommand() {
    const QString file = m_s.records.settingsFile.filePath();
    // Without an editor the program would end for nothing: it stays and says why. Whether an
    // editor took the file may be known only a few seconds later, and only then does it end.
    // One editor per click: a second click while the opener has not answered yet opens no
    // second one, nor ends the program twice.
    if (m_settingsOpening)
        return;
    m_settingsOpening = true;
    m_s.shell.openFileThen(file, [this, alive = QPointer<TFTimer>(this), file](bool opened) {
        if (!alive)
            return;
        m_settingsOpening = false;
        if (!opened) {
            m_s.ui.showMessage(timercommands::settingsNotOpened(file, m_s.shell.lastFailure()));
            return;
        }
        m_s.companion.editSettings();
        exitCommand();
    });
}

void TFTimer::displayChanged() {
    if (m_s.companion.isPresent()) {
        // The companion program starts the program again once the screens have settled.
        m_s.companion.restart();
        emit terminateRequested();
        return;
    }
    // Nothing would start the program again: it stays, with both windows where they are seen.
    m_s.records.debugLog.AddDebugLine(
        QStringLiteral("FTimer: Bildschirme geändert, Fenster auf dem Desktop gehalten"));
    screenplace::keepOnDesktop(*this);
    if (m_front->windows.planning)
        screenplace::keepOnDesktop(*m_front->windows.planning);
}

// --- showing, hiding ---------------------------------------------------------------------------

void TFTimer::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (event->spontaneous())
        return;
    // The next settings save keeps the place, and the next plan start comes back to it.
    if (m_defaultPlace == pos())
        return;
    m_s.records.settings.X = x();
    m_s.records.settings.Y = y();
    // Settings.ini cannot tell a strip put at 0, 0 from one never placed; the extras can.
    if (!m_s.records.extras.stripPlaced) {
        m_s.records.extras.stripPlaced = true;
        m_s.records.saveExtras();
    }
}

void TFTimer::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        m_front->setOn(true);
}
