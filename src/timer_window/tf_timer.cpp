#include "tf_timer.h"

#include "clock.h"
#include "companion_program.h"
#include "plan_file.h"
#include "program_launcher.h"
#include "records.h"
#include "run_feedback.h"
#include "shell.h"
#include "tf_bestaetigung.h"
#include "timer_display.h"
#include "timer_menu.h"
#include "timer_model.h"
#include "translate.h"
#include "user_interface.h"
#include "worklist.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QProcess>
#include <QScreen>
#include <QTimer>

using timermenu::Item;

namespace {

// The evaluation program's file beside this one, as its build names it.
#ifdef Q_OS_WIN
const QString evaluationProgramFile = QStringLiteral("Bilanzblick.exe");
#else
const QString evaluationProgramFile = QStringLiteral("bilanzblick");
#endif

constexpr int displayOffset = 2;
constexpr int lockFirstInterval = 15000;
// Once a day, the companion program looks for a newer version.
constexpr int updateCheckInterval = 24 * 60 * 60 * 1000;

QRect currentDesktop() {
    QList<QRect> screens;
    for (const QScreen* s : QGuiApplication::screens())
        screens.append(s->geometry());
    return timerdisplay::desktopOf(screens);
}

} // namespace

TFTimer::TFTimer(const TimerServices& services, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), m_clock(services.clock),
      m_records(services.records), m_worklist(services.worklist), m_planFile(services.planFile),
      m_ui(services.ui), m_companion(services.companion), m_launcher(services.launcher),
      m_shell(services.shell), m_countdown(services.countdown), m_model(services.model),
      m_presence(services.presence), m_bringToFront(services.bringToFront), m_startFile(services.startFile),
      m_programFolder(services.programFolder) {
    if (!m_bringToFront)
        m_bringToFront = [](QWidget& w) {
            if (w.isMinimized())
                w.showNormal();
            w.raise();
            if (!w.windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus))
                w.activateWindow();
        };
    if (!m_startFile)
        m_startFile = [](const QString& path) { return QProcess::startDetached(path, {}); };
    if (m_programFolder.isEmpty())
        m_programFolder = QCoreApplication::applicationDirPath();

    setObjectName(QStringLiteral("FTimer"));
    setWindowTitle(tr_("Taktplan - Timer"));
    setAttribute(Qt::WA_AlwaysShowToolTips);
    createControls();
    // The menu rules read the timers.
    createTimers();
    createMenu();
    applyColours();
    resize(128, 18);
    const QRect desktop = currentDesktop();
    move(desktop.center() - QPoint(width() / 2, height() / 2));
    watchScreens();
}

TFTimer::~TFTimer() = default;

// --- creation ---------------------------------------------------------------------------------

void TFTimer::createControls() {
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(13);

    lblZeit = new QLabel(QStringLiteral("25:00"), this);
    lblZeit->setObjectName(QStringLiteral("lblZeit"));
    lblZeit->setFont(font);
    lblZeit->setAlignment(Qt::AlignCenter);
    lblZeit->setAutoFillBackground(true);
    lblZeit->move(displayOffset, displayOffset);

    lblExit = new QLabel(QStringLiteral("x"), this);
    lblExit->setObjectName(QStringLiteral("lblExit"));
    lblExit->hide();
    lblBewegen = new QLabel(QStringLiteral("+"), this);
    lblBewegen->setObjectName(QStringLiteral("lblBewegen"));
    lblBewegen->hide();

    // On top of everything: the whole strip answers the mouse, wherever the digits are.
    lblTransparenz = new QLabel(this);
    lblTransparenz->setObjectName(QStringLiteral("lblTransparenz"));
    lblTransparenz->setAttribute(Qt::WA_TranslucentBackground);
    lblTransparenz->setGeometry(rect());
    lblTransparenz->raise();
    lblTransparenz->installEventFilter(this);
    lblZeit->installEventFilter(this);
}

void TFTimer::createMenu() {
    pm1 = new QMenu(this);
    pm1->setObjectName(QStringLiteral("pm1"));
    const auto handler = [this](Item item) -> std::function<void()> {
        switch (item) {
        case Item::Planungsmodus:
            return [this] { planningMode(); };
        case Item::NutzerAnwesend:
            return [this] { onPresenceItem(); };
        case Item::Logs:
            return [this] {
                if (m_records.activityLog.CreateIfMissing())
                    m_shell.openFile(m_records.settings.LogDateiPfad);
            };
        case Item::Auswertung:
            return [this] { startEvaluation(); };
        case Item::Info:
            return [this] {
                if (m_showAbout)
                    m_showAbout();
            };
        case Item::Einstellungen:
            return [this] { settingsCommand(); };
        default:
            return {};
        }
    };
    for (int i = 0; i < timermenu::itemCount; ++i) {
        const auto item = static_cast<Item>(i);
        auto* a = new QAction(timermenu::caption(item), this);
        a->setObjectName(timermenu::objectName(item));
        if (const std::function<void()> run = handler(item))
            connect(a, &QAction::triggered, this, run);
        pm1->addAction(a);
        m_items.append(a);
    }
    pm1->setDefaultAction(m_items.at(int(Item::Planungsmodus)));
    m_items.at(int(Item::NutzerAnwesend))->setCheckable(true);
    QAction* failed = m_items.at(int(Item::EinheitGescheitert));
    failed->setCheckable(true);
    connect(failed, &QAction::triggered, this, &TFTimer::onFailedItem);

    auto* exitMenu = new QMenu(this);
    exitMenu->setObjectName(QStringLiteral("Exit1Menu"));
    QAction* confirm = exitMenu->addAction(tr_("Bestätigen"));
    confirm->setObjectName(QStringLiteral("mniBeenden2"));
    connect(confirm, &QAction::triggered, this, &TFTimer::exitCommand);
    m_items.at(int(Item::Beenden))->setMenu(exitMenu);

    connect(pm1, &QMenu::aboutToShow, this, &TFTimer::applyMenuRules);
    applyMenuRules();
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
    tmrVordergrund = make("tmrVordergrund", 500);
    connect(tmrVordergrund, &QTimer::timeout, this, &TFTimer::tmrVordergrundTimer);
    tmrWindowsBlock = make("tmrWindowsBlock", lockFirstInterval);
    connect(tmrWindowsBlock, &QTimer::timeout, this, &TFTimer::tmrWindowsBlockTimer);
    tmrUpdateCheck = make("tmrUpdateCheck", updateCheckInterval);
    connect(tmrUpdateCheck, &QTimer::timeout, this, [this] { m_companion.versionCheck(); });
    tmrUpdateCheck->start();
}

void TFTimer::watchScreens() {
    const auto watch = [this](QScreen* s) {
        connect(s, &QScreen::geometryChanged, this, &TFTimer::displayChanged);
    };
    for (QScreen* s : QGuiApplication::screens())
        watch(s);
    connect(qApp, &QGuiApplication::screenAdded, this, [this, watch](QScreen* s) {
        watch(s);
        displayChanged();
    });
    connect(qApp, &QGuiApplication::screenRemoved, this, &TFTimer::displayChanged);
}

// --- peers ------------------------------------------------------------------------------------

void TFTimer::setPlanningWindow(QWidget* window) {
    m_planningWindow = window;
}

void TFTimer::setCountdownWindow(QWidget* window) {
    m_countdownWindow = window;
}

void TFTimer::setFirstStartHintWindow(QWidget* window) {
    m_firstStartHint = window;
}

void TFTimer::setReminderWindow(std::function<QWidget*()> lookup) {
    m_reminder = std::move(lookup);
}

void TFTimer::addForegroundPeer(QWidget* window) {
    m_peers.append(window);
}

void TFTimer::setAboutCommand(std::function<void()> showAbout) {
    m_showAbout = std::move(showAbout);
}

bool TFTimer::isForegroundOurs() const {
    const QWidget* active = QApplication::activeWindow();
    if (!active)
        return false;
    const QList<const QWidget*> ours = {this,       m_planningWindow.data(), m_presence.data(),
                                        reminder(), m_firstStartHint.data(), m_countdownWindow.data()};
    if (ours.contains(active))
        return true;
    for (const QPointer<QWidget>& peer : m_peers) {
        if (peer && active == peer)
            return true;
    }
    // A question of ours waits for an answer: pulling a window over it would hide it.
    return active == QApplication::activeModalWidget();
}

void TFTimer::bring(QWidget& window) {
    m_bringToFront(window);
}

// --- TimerView --------------------------------------------------------------------------------

void TFTimer::showWindow() {
    show();
    UpdateDisplay();
}

void TFTimer::hideWindow() {
    hide();
}

void TFTimer::setTickTimer(bool on) {
    if (on)
        tmrZeit->start();
    else
        tmrZeit->stop();
}

void TFTimer::setForegroundKeeping(bool on) {
    if (on) {
        if (!tmrVordergrund->isActive())
            tmrVordergrund->start();
    } else {
        tmrVordergrund->stop();
    }
}

bool TFTimer::foregroundKeepingActive() const {
    return tmrVordergrund->isActive();
}

void TFTimer::setPhaseColours(Phase phase) {
    m_phase = phase;
    applyColours();
}

void TFTimer::applyColours() {
    const bool unit = m_phase == Phase::Unit;
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

void TFTimer::setTooltip(const QString& text) {
    // The transparent label lies over everything, so the hint is asked of it.
    lblTransparenz->setToolTip(text);
    setToolTip(text);
}

void TFTimer::UpdateDisplay() {
    const qint64 r = m_model.remainingSeconds();
    const QString text = timerdisplay::displayText(r, !m_compact, m_records.settings.showPercentileRanking,
                                                   m_model.percentileRank());
    lblZeit->setText(text);
    const QFontMetrics fm(lblZeit->font());
    const QSize textSize(fm.horizontalAdvance(text), fm.height());
    lblZeit->setGeometry(QRect(QPoint(displayOffset, displayOffset), textSize));
    resize(textSize.width() + 2 * displayOffset, textSize.height() + 2 * displayOffset);
    lblTransparenz->setGeometry(rect());
    keepOnDesktop(*this);
    if (m_presence)
        m_presence->setRemainingSeconds(r);
}

void TFTimer::keepOnDesktop(QWidget& window) {
    const QPoint place = timerdisplay::keptOnDesktop(window.geometry(), currentDesktop());
    if (place != window.pos())
        window.move(place);
}

void TFTimer::startWorkstationLockTimer(int intervalMs) {
    tmrWindowsBlock->setInterval(intervalMs);
    tmrWindowsBlock->start();
}

void TFTimer::stopWorkstationLockTimer() {
    tmrWindowsBlock->stop();
    tmrWindowsBlock->setInterval(lockFirstInterval);
}

void TFTimer::tmrWindowsBlockTimer() {
    m_model.workstationLockStep(tmrWindowsBlock->interval());
}

void TFTimer::showPresenceConfirmation() {
    if (m_presence)
        m_presence->show();
}

void TFTimer::hidePresenceConfirmation() {
    if (m_presence)
        m_presence->hide();
}

void TFTimer::showFirstStartHint() {
    if (m_firstStartHint)
        m_firstStartHint->show();
}

void TFTimer::setRunMenuEnabled(bool enabled) {
    m_runMenuEnabled = enabled;
    applyMenuRules();
}

void TFTimer::moveToSavedPosition() {
    move(m_records.settings.X, m_records.settings.Y);
}

void TFTimer::raiseReminderIfVisible() {
    if (QWidget* window = reminder(); window && window->isVisible()) {
        window->show();
        window->raise();
    }
}

// --- the menu ---------------------------------------------------------------------------------

void TFTimer::applyMenuRules() {
    const Settings& s = m_records.settings;
    timermenu::Situation situation;
    situation.tickRunning = tmrZeit->isActive();
    situation.unitRunning = m_model.unitRunning();
    situation.presenceRequired = s.AnwesenheitErforderlich;
    situation.presenceConfirmed = m_model.presenceConfirmed();
    situation.replansLeft = s.Verbleibend;
    situation.failedMark = m_model.failedMark();
    situation.runMenuEnabled = m_runMenuEnabled;
    for (int i = 0; i < timermenu::itemCount; ++i) {
        const timermenu::ItemState state = timermenu::stateOf(static_cast<Item>(i), situation);
        QAction* a = m_items.at(i);
        a->setVisible(state.visible);
        a->setEnabled(state.enabled);
        if (a->isCheckable())
            a->setChecked(state.checked);
    }
}

void TFTimer::contextMenuEvent(QContextMenuEvent* event) {
    pm1->popup(event->globalPos());
}

void TFTimer::planningMode() {
    m_countdown.hide();
    QWidget* planning = m_planningWindow.data();
    if (!planning)
        return;
    if (const QScreen* s = planning->screen() ? planning->screen() : QGuiApplication::primaryScreen()) {
        const QRect area = s->availableGeometry();
        planning->move(area.x() + area.width() / 2 - planning->width() / 2,
                       area.y() + area.height() / 2 - planning->height() / 2);
    }
    planning->show();
}

void TFTimer::onPresenceItem() {
    if (!m_model.presenceConfirmed()) {
        // As the presence window's button does.
        m_model.setPresenceConfirmed(true);
        if (m_presence)
            m_presence->hide();
    } else {
        m_model.setPresenceConfirmed(false);
    }
    applyMenuRules();
}

void TFTimer::onFailedItem(bool checked) {
    m_model.setFailedMark(checked);
    if (!checked)
        return;
    // Not modal: the countdown goes on while the box is open.
    auto* box = new QMessageBox(QMessageBox::Warning, tr_("Einheit ungültig"),
                                tr_("Die aktuelle Einheit wurde als ungültig markiert. Die nächste wird "
                                    "besser. Nicht nachlassen!"),
                                QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("EinheitUngueltig"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
}

void TFTimer::startEvaluation() {
    const QString program = QStringLiteral("Bilanzblick.exe");
    if (m_launcher.exists(program)) {
        m_launcher.start(program, {});
        return;
    }
    // An installed program has its evaluation program beside itself, not in the working folder.
    const QFileInfo beside(QDir(m_programFolder).filePath(evaluationProgramFile));
    if (beside.isFile() && beside.isExecutable()) {
        m_startFile(beside.absoluteFilePath());
        return;
    }
    m_ui.showMessage(tr_("Die Auswertung (Bilanzblick) ist nicht installiert: sie wurde weder im "
                         "Arbeitsordner noch neben Taktplan gefunden (") +
                     QDir::toNativeSeparators(beside.absoluteFilePath()) + u')');
}

// --- ending -----------------------------------------------------------------------------------

void TFTimer::exitCommand() {
    m_planFile.saveWorklist();
    if (isVisible() || tmrZeit->isActive())
        return;
    const int target = m_records.activityLog.TargetForDay(m_clock.today());
    const int done = m_worklist.DoneCount();
    if (target > done) {
        const std::optional<bool> end =
            m_ui.askYesNo(tr_("Taktplan: Soll nicht erfüllt"),
                          tr_("Sie haben heute erst ") + QString::number(done) + tr_(" von ursprünglich ") +
                              QString::number(target) +
                              tr_(" geplanten Einheiten erledigt. Möchten Sie Taktplan dennoch beenden?"));
        if (!end.value_or(false))
            return;
    }
    emit terminateRequested();
}

void TFTimer::settingsCommand() {
    m_shell.openFile(m_records.settingsFile.filePath());
    m_companion.editSettings();
    exitCommand();
}

void TFTimer::displayChanged() {
    if (m_companion.isPresent()) {
        // The companion program starts the program again once the screens have settled.
        m_companion.restart();
        emit terminateRequested();
        return;
    }
    // Nothing would start the program again: it stays, with both windows where they are seen.
    m_records.debugLog.AddDebugLine(
        QStringLiteral("FTimer: Bildschirme geändert, Fenster auf dem Desktop gehalten"));
    keepOnDesktop(*this);
    if (m_planningWindow)
        keepOnDesktop(*m_planningWindow);
}

// --- mouse, showing, hiding -------------------------------------------------------------------

bool TFTimer::eventFilter(QObject* watched, QEvent* event) {
    if (watched != lblTransparenz && watched != lblZeit)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Enter:
        m_compact = false;
        UpdateDisplay();
        if (!isForegroundOurs() && !(m_presence && m_presence->isVisible()))
            bring(*this);
        return false;
    case QEvent::Leave:
        m_compact = true;
        UpdateDisplay();
        return false;
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton)
            return false;
        m_compact = true;
        UpdateDisplay();
        const quint64 now = mouse->timestamp();
        // A second press within the double-click time is the double-click, not a move.
        if (m_lastPress == 0 || now - m_lastPress > quint64(QApplication::doubleClickInterval())) {
            m_moving = true;
            m_moveOffset = mouse->globalPosition().toPoint() - pos();
        }
        m_lastPress = now;
        return true;
    }
    case QEvent::MouseMove: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (m_moving && (mouse->buttons() & Qt::LeftButton))
            move(mouse->globalPosition().toPoint() - m_moveOffset);
        return m_moving;
    }
    case QEvent::MouseButtonRelease:
        m_moving = false;
        return false;
    case QEvent::MouseButtonDblClick:
        if (static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton)
            return false;
        m_moving = false;
        planningMode();
        if (m_planningWindow && m_planningWindow->isMinimized())
            m_planningWindow->setWindowState(m_planningWindow->windowState() & ~Qt::WindowMinimized);
        return true;
    default:
        return false;
    }
}

void TFTimer::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (event->spontaneous())
        return;
    // The next settings save keeps the place, and the next plan start comes back to it.
    m_records.settings.X = x();
    m_records.settings.Y = y();
}

void TFTimer::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        setForegroundKeeping(true);
}

void TFTimer::tmrVordergrundTimer() {
    if (!isVisible() || isForegroundOurs())
        return;
    if (m_presence && m_presence->isVisible())
        bring(*m_presence);
    else if (m_countdownWindow && m_countdownWindow->isVisible())
        bring(*m_countdownWindow);
    else
        bring(*this);
}
