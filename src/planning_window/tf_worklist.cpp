#include "tf_worklist.h"

#include "clock.h"
#include "companion_program.h"
#include "data_folder.h"
#include "engine_status.h"
#include "menu_bar_style.h"
#include "menu_keys.h"
#include "plan_table_model.h"
#include "plan_time.h"
#include "program_launcher.h"
#include "records.h"
#include "shell.h"
#include "title_combo_box.h"
#include "translate.h"
#include "typed_entry.h"
#include "window_user_interface.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTableView>
#include <QTimer>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr int minWindowWidth = 430;
constexpr int minWindowHeight = 185;
constexpr int blinkChanges = 14;

const QString unitActiveSuffix = u" - EINHEIT AKTIV"_s;
const QString pauseActiveSuffix = u" - PAUSE AKTIV"_s;

} // namespace

TFWorklist::TFWorklist(const WorklistServices& services, QWidget* parent)
    : QMainWindow(parent), m_clock(services.clock), m_folder(services.folder), m_records(services.records),
      m_companion(services.companion), m_shell(services.shell), m_launcher(services.launcher),
      m_ownUi(services.ui ? nullptr : std::make_unique<WindowUserInterface>()),
      m_ui(services.ui ? *services.ui : *m_ownUi),
      m_worklist(services.clock, services.records.settings, *this),
      m_planFile(m_worklist, services.clock, services.records.settings, services.folder,
                 services.records.debugLog, m_ui) {
    setObjectName(u"FWorklist"_s);
    setMinimumSize(minWindowWidth, minWindowHeight);
    createTimers();
    createControls();
    createMenus();
    applyFont();
    disableDelete();

    // FormCreate: the planning state starts fresh (the Worklist did its part), then the plan
    // file comes back.
    m_worklist.lastScheduleDay = m_clock.today();
    m_worklist.removedDoneCount = 0;
    m_mouseEditing = true;
    m_lastStartTick = 0;
    m_autoStartInProgress = false;
    m_worklist.UpdateCaption();
    m_planFile.loadWorklist();
    refreshList();

    // The reminder window is one of ours: the focus lock leaves it in front.
    m_windowUi = dynamic_cast<const WindowUserInterface*>(&m_ui);
    tmrFocusLock->start();
}

TFWorklist::~TFWorklist() = default;

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
    tmrFocusLock = make(u"tmrFocusLock"_s, 250, &TFWorklist::tmrFocusLockTimer);
    tmrAutoStart = make(u"tmrAutoStart"_s, 100, &TFWorklist::tmrAutoStartTimer);
}

void TFWorklist::createControls() {
    m_client = new QWidget(this);
    m_client->setObjectName(u"client"_s);
    setCentralWidget(m_client);
    m_client->installEventFilter(this);

    m_model = new PlanTableModel(m_worklist, m_clock, this);
    lvPlan = new QTableView(m_client);
    lvPlan->setObjectName(u"lvPlan"_s);
    lvPlan->setModel(m_model);
    lvPlan->horizontalHeader()->hide();
    lvPlan->verticalHeader()->hide();
    lvPlan->setShowGrid(true);
    lvPlan->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvPlan->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lvPlan->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvPlan->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    lvPlan->setWordWrap(false);
    lvPlan->setTabKeyNavigation(false);
    lvPlan->horizontalHeader()->setMinimumSectionSize(1);
    lvPlan->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    lvPlan->horizontalHeader()->setSectionResizeMode(PlanTableModel::TaskColumn, QHeaderView::Stretch);
    lvPlan->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    lvPlan->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(lvPlan, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { pmWorklistEdit->popup(lvPlan->viewport()->mapToGlobal(pos)); });

    pnlHinzu = new QWidget(m_client);
    pnlHinzu->setObjectName(u"pnlHinzu"_s);
    cbbAufgabe = new TitleComboBox(pnlHinzu);
    cbbAufgabe->setObjectName(u"cbbAufgabe"_s);
    cbbAufgabe->installEventFilter(this);
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

QAction* TFWorklist::newAction(const QString& caption, const QKeySequence& key,
                               void (TFWorklist::*handler)()) {
    auto* a = new QAction(caption, this);
    a->setShortcut(key);
    // The shortcut is shown in the menu; MenuKeys decides which menu a key reaches.
    a->setShortcutContext(Qt::WidgetShortcut);
    if (handler)
        connect(a, &QAction::triggered, this, handler);
    return a;
}

QAction* TFWorklist::newHiddenAction(const char* name, const QString& caption, const QKeySequence& key,
                                     void (TFWorklist::*handler)()) {
    // A hidden item sits in no menu: it never shows, only its key acts.
    QAction* a = newAction(caption, key, handler);
    a->setObjectName(u"hidden:"_s + QString::fromUtf8(name));
    return a;
}

void TFWorklist::createMenus() {
    m_keys = new MenuKeys(this);
    using Item = MenuKeys::Item;
    const auto addMain = [this](QMenu* menu, QAction* a) {
        if (menu)
            menu->addAction(a);
        m_keys->addMainItem(Item{a, menu ? QList<QMenu*>{menu} : QList<QMenu*>{}});
        return a;
    };
    const auto addHiddenMain = [this](QMenu* menu, QAction* a) {
        m_keys->addMainItem(Item{a, {menu}});
        return a;
    };
    QMenuBar* mm1 = menuBar();
    mm1->setObjectName(u"mm1"_s);

    // "Datei"
    m_menuDatei = mm1->addMenu(tr_("&Datei"));
    m_menuDatei->setObjectName(u"Datei"_s);
    m_actNew =
        addMain(m_menuDatei, newAction(tr_("Neu"), QKeySequence(Qt::CTRL | Qt::Key_N), &TFWorklist::onNew));
    m_actOpen = addMain(m_menuDatei,
                        newAction(tr_("Öffnen..."), QKeySequence(Qt::CTRL | Qt::Key_O), &TFWorklist::onOpen));
    m_actSave = addMain(m_menuDatei,
                        newAction(tr_("Speichern"), QKeySequence(Qt::CTRL | Qt::Key_S), &TFWorklist::onSave));
    m_actSaveAs = addMain(m_menuDatei,
                          newAction(tr_("Speichern unter..."), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S),
                                    &TFWorklist::onSaveAs));
    m_menuDatei->addSeparator();
    m_actLogs =
        addMain(m_menuDatei, newAction(tr_("Logs"), QKeySequence(Qt::CTRL | Qt::Key_L), &TFWorklist::onLogs));
    m_menuDatei->addSeparator();
    m_actQuit = addMain(m_menuDatei,
                        newAction(tr_("Beenden"), QKeySequence(Qt::CTRL | Qt::Key_Q), &TFWorklist::onQuit));

    // "Liste"
    m_menuListe = mm1->addMenu(tr_("Liste"));
    m_menuListe->setObjectName(u"Liste"_s);
    addMain(m_menuListe,
            newAction(tr_("Einheit hinzufügen"), QKeySequence(Qt::CTRL | Qt::Key_E), &TFWorklist::onAddUnit));
    addMain(m_menuListe,
            newAction(tr_("Pause hinzufügen"), QKeySequence(Qt::CTRL | Qt::Key_P), &TFWorklist::onAddPause));
    addMain(m_menuListe, newAction(tr_("Letzten Plan laden"), QKeySequence(Qt::CTRL | Qt::Key_R),
                                   &TFWorklist::onLoadLastPlan));
    addMain(m_menuListe, newAction(tr_("Fertige Einheiten entfernen"), QKeySequence(Qt::CTRL | Qt::Key_F),
                                   &TFWorklist::onRemoveFinished));
    m_menuListe->addSeparator();
    m_actDelete = addMain(m_menuListe, newAction(tr_("Eintrag löschen"), QKeySequence(Qt::Key_Delete),
                                                 &TFWorklist::onDeleteEntries));
    m_menuListe->addSeparator();
    addMain(m_menuListe,
            newAction(tr_("Einheit umbenennen"), QKeySequence(Qt::Key_F2), &TFWorklist::onLaterCommand));
    addMain(m_menuListe,
            newAction(tr_("Startzeit ändern"), QKeySequence(Qt::Key_F3), &TFWorklist::onLaterCommand));
    addMain(m_menuListe,
            newAction(tr_("Startzeit löschen"), QKeySequence(Qt::Key_F4), &TFWorklist::onLaterCommand));
    addMain(m_menuListe,
            newAction(tr_("Datum ändern"), QKeySequence(Qt::CTRL | Qt::Key_F3), &TFWorklist::onLaterCommand));
    addMain(m_menuListe, newAction(tr_("Datum löschen"), QKeySequence(Qt::CTRL | Qt::Key_F4),
                                   &TFWorklist::onLaterCommand));
    addMain(m_menuListe,
            newAction(tr_("Dauer ändern"), QKeySequence(Qt::Key_F6), &TFWorklist::onLaterCommand));
    addHiddenMain(m_menuListe, newHiddenAction("Alle Einträge markieren", tr_("Alle Einträge markieren"),
                                               QKeySequence(Qt::CTRL | Qt::Key_A), &TFWorklist::onSelectAll));

    // "Start": a command of its own in the menu bar.
    m_actStart =
        addMain(nullptr, newAction(tr_("Start"), QKeySequence(Qt::Key_F9), &TFWorklist::Start1Click));
    QFont bold = m_actStart->font();
    bold.setBold(true);
    m_actStart->setFont(bold);
    mm1->addAction(m_actStart);
    auto* barStyle = new MenuBarStyle(m_actStart);
    barStyle->setParent(this);
    mm1->setStyle(barStyle);

    m_menuEinstellungen = mm1->addMenu(tr_("Einstellungen"));
    m_menuEinstellungen->setObjectName(u"Einstellungen"_s);

    m_menuHilfe = mm1->addMenu(tr_("Hilfe"));
    m_menuHilfe->setObjectName(u"Hilfe"_s);
    addMain(m_menuHilfe,
            newAction(tr_("Dokumentation"), QKeySequence(Qt::Key_F1), &TFWorklist::onLaterCommand));

    // The list popup menu: right-click on the plan list, and the list's keys.
    pmWorklistEdit = new QMenu(this);
    pmWorklistEdit->setObjectName(u"pmWorklistEdit"_s);
    const auto addList = [this](QAction* a, MenuKeys::Keypad keypad = MenuKeys::Keypad::Any,
                                bool ignoreShift = false) {
        m_keys->addContextItem(lvPlan, Item{a, {pmWorklistEdit}, keypad, ignoreShift});
        return a;
    };
    const auto addListShown = [&](QAction* a) {
        pmWorklistEdit->addAction(a);
        return addList(a);
    };
    addListShown(newAction(tr_("Aufgabe bearbeiten"), QKeySequence(Qt::Key_F2), &TFWorklist::onLaterCommand));
    addListShown(newAction(tr_("Startzeit ändern"), QKeySequence(Qt::Key_F3), &TFWorklist::onLaterCommand));
    addListShown(newAction(tr_("Startzeit löschen"), QKeySequence(Qt::Key_F4), &TFWorklist::onLaterCommand));
    m_pmDelete = addListShown(
        newAction(tr_("Eintrag löschen"), QKeySequence(Qt::Key_Delete), &TFWorklist::onDeleteEntries));
    addList(newHiddenAction("Start", tr_("Start"), QKeySequence(Qt::Key_F9), &TFWorklist::Start1Click));
    addList(newHiddenAction("Alle Einträge markieren", tr_("Alle Einträge markieren"),
                            QKeySequence(Qt::CTRL | Qt::Key_A), &TFWorklist::onSelectAll));
    addList(newHiddenAction("Startzeit um 1 min erhöhen", tr_("Startzeit um 1 min erhöhen"),
                            QKeySequence(Qt::Key_Plus), &TFWorklist::onLaterCommand),
            MenuKeys::Keypad::Forbidden, true);
    addList(newHiddenAction("Startzeit um 1 min verringern", tr_("Startzeit um 1 min verringern"),
                            QKeySequence(Qt::KeypadModifier | Qt::Key_Slash), &TFWorklist::onLaterCommand),
            MenuKeys::Keypad::Required);
    addList(newHiddenAction("Laden", tr_("Laden"), QKeySequence(Qt::CTRL | Qt::Key_O), &TFWorklist::onOpen));
    addList(newHiddenAction("Speichern", tr_("Speichern"), QKeySequence(Qt::CTRL | Qt::Key_S),
                            &TFWorklist::onSave));
    addList(newHiddenAction("Einheit nach oben", tr_("Einheit nach oben"),
                            QKeySequence(Qt::CTRL | Qt::Key_Up), &TFWorklist::onLaterCommand));
    addList(newHiddenAction("Einheit nach unten", tr_("Einheit nach unten"),
                            QKeySequence(Qt::CTRL | Qt::Key_Down), &TFWorklist::onLaterCommand));
    addList(newHiddenAction("Rechts", tr_("Rechts"), QKeySequence(Qt::Key_Right), nullptr));

    // The input popup menu: every item hidden, so right-clicking the field shows nothing; its
    // keys act while the field has the focus and come before the main menu's.
    pmHinzu = new QMenu(this);
    pmHinzu->setObjectName(u"pmHinzu"_s);
    const auto addInput = [this](const char* name, QAction* a) {
        a->setObjectName(QString::fromLatin1(name));
        m_keys->addContextItem(cbbAufgabe, Item{a, {pmHinzu}});
    };
    addInput("mniAllesmarkieren1",
             newHiddenAction("Alles markieren", tr_("Alles markieren"), QKeySequence(Qt::CTRL | Qt::Key_A),
                             &TFWorklist::onInputSelectAll));
    addInput("mniLschen2", newHiddenAction("Löschen", tr_("Löschen"), QKeySequence(Qt::Key_Delete),
                                           &TFWorklist::onInputDelete));
    addInput("mniCancel1", newHiddenAction("Cancel", tr_("Cancel"), QKeySequence(Qt::Key_Escape),
                                           &TFWorklist::onInputCancel));
    addInput("mniEinheitNachOben1", newHiddenAction("EinheitNachOben", tr_("EinheitNachOben"),
                                                    QKeySequence(Qt::CTRL | Qt::Key_Up), nullptr));
    addInput("mniEinheitNachUnten1", newHiddenAction("EinheitNachUnten", tr_("EinheitNachUnten"),
                                                     QKeySequence(Qt::CTRL | Qt::Key_Down), nullptr));

    // Opening "Liste" or the list popup (or using one of their keys) brings "Eintrag löschen"
    // back, unless a plan runs.
    m_keys->setOpeningHandler(m_menuListe, [this] { updateDeleteEnabled(); });
    m_keys->setOpeningHandler(pmWorklistEdit, [this] { updateDeleteEnabled(); });
    // Opening "Einstellungen" with the setting on brings the focus lock back (after a dialog
    // that did not restore it, say).
    m_keys->setOpeningHandler(m_menuEinstellungen, [this] {
        if (settings().InVordergrundDraengen)
            tmrFocusLock->start();
    });
    m_keys->setHook([this](const QKeyEvent& key) { return keyHook(key); });
}

void TFWorklist::applyFont() {
    QFont font;
    font.setFamilies({u"Tahoma"_s});
    font.setStyleHint(QFont::SansSerif);
    const int size = settings().Schriftgroesse;
    font.setPointSize(size > 0 ? size : 10);
    // The list and the input field follow the setting; the menus keep the system's font.
    m_client->setFont(font);

    const QFontMetrics fm(font);
    const int padding = fm.horizontalAdvance(u' ') * 2 + 2;
    QHeaderView* header = lvPlan->horizontalHeader();
    header->resizeSection(PlanTableModel::NumberColumn,
                          std::max(20, fm.horizontalAdvance(u"99"_s) + padding));
    const int timeWidth = std::max(40, fm.horizontalAdvance(u"00:00"_s) + padding);
    header->resizeSection(PlanTableModel::StartColumn, timeWidth);
    header->resizeSection(PlanTableModel::EndColumn, timeWidth);
    lvPlan->verticalHeader()->setDefaultSectionSize(fm.height() + 4);
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

void TFWorklist::setInputVisible(bool visible) {
    pnlHinzu->setVisible(visible);
    arrangeControls();
}

bool TFWorklist::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_client && event->type() == QEvent::Resize) {
        arrangeControls();
        return false;
    }
    if (watched == cbbAufgabe && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            onEnter();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// --- the list view ----------------------------------------------------------------------------

void TFWorklist::refreshList() {
    const QList<int> selected = selectedRows();
    const int current = lvPlan->currentIndex().row();
    const QList<int> moved = m_model->refresh();
    if (!m_model->lastRefreshReset())
        return;
    // Rows were added or removed: the entries that were selected stay selected.
    QItemSelection selection;
    for (int row : selected) {
        const int to = moved.value(row, -1);
        if (to >= 0)
            selection.select(m_model->index(to, 0), m_model->index(to, PlanTableModel::ColumnCount - 1));
    }
    lvPlan->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    const int currentTo = moved.value(current, -1);
    if (currentTo >= 0)
        lvPlan->selectionModel()->setCurrentIndex(m_model->index(currentTo, 0),
                                                  QItemSelectionModel::NoUpdate);
}

QList<int> TFWorklist::selectedRows() const {
    QList<int> rows;
    for (const QModelIndex& i : lvPlan->selectionModel()->selectedRows())
        rows.append(i.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

// --- PlanningHost -----------------------------------------------------------------------------

bool TFWorklist::engineActive() const {
    return m_engine && m_engine->active();
}

bool TFWorklist::unitRunning() const {
    return m_engine && m_engine->unitRunning();
}

int TFWorklist::percentileRank() const {
    return 0;
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

void TFWorklist::setEngineStatus(const EngineStatus* engine) {
    m_engine = engine;
}

void TFWorklist::setTimerWindow(QWidget* timerWindow) {
    m_timerWindow = timerWindow;
}

void TFWorklist::addForegroundPeer(QWidget* window) {
    m_foregroundPeers.append(window);
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

    // The re-planning caption and availability, which the start item shows while a plan runs.
    const int left = settings().Verbleibend;
    m_replanAvailable = left != 0;
    m_replanCaption =
        left == -1 ? tr_("Neu planen") : tr_("Neu planen") + u" ("_s + QString::number(left) + u")"_s;
    if (engineActive()) {
        m_actStart->setText(m_replanCaption);
        m_actStart->setEnabled(m_replanAvailable);
    }

    if (unitRunning()) {
        m_worklist.captionSuffix = unitActiveSuffix;
        m_worklist.UpdateCaption();
        tmrCaptionBlinken->start();
    } else {
        tmrCaptionBlinken->stop();
        m_worklist.captionSuffix = engineActive() ? pauseActiveSuffix : QString();
        m_worklist.UpdateCaption();
    }

    refillInputField();
    tmrUpdate->start();
    m_worklist.UpdateCaption();
    updateMenuStates();
}

void TFWorklist::formHide() {
    settings().Breite = width();
    settings().Hoehe = height();
    tmrCaptionBlinken->stop();
    tmrUpdate->stop();
    m_mouseEditing = false;
}

void TFWorklist::refillInputField() {
    cbbAufgabe->setTitles(m_records.activityLog.RecentTitles(10));
    cbbAufgabe->setText(m_records.activityLog.LastTitle());
    if (m_firstStartHintPending) {
        m_firstStartHintPending = false;
        showFirstStartHint();
    }
    cbbAufgabe->setFocus(Qt::OtherFocusReason);
    cbbAufgabe->selectAllText();
}

void TFWorklist::showFirstStartHint() {
    // Shown before the window: the refill when it shows would wipe the hint out again.
    if (!isVisible())
        m_firstStartHintPending = true;
    cbbAufgabe->selectRow(cbbAufgabe->addTitle(tr_("Hier Aufgabe eingeben und ENTER drücken")));
    cbbAufgabe->selectAllText();
}

void TFWorklist::closeEvent(QCloseEvent* event) {
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
    const bool running = engineActive();
    const bool unit = unitRunning();
    m_menuDatei->menuAction()->setEnabled(!unit);
    m_menuListe->menuAction()->setEnabled(!running);
    m_menuEinstellungen->menuAction()->setEnabled(!running);
    m_menuHilfe->menuAction()->setEnabled(!running);
    m_actNew->setEnabled(!running);
    m_actOpen->setEnabled(!running);
    m_actQuit->setEnabled(!running);
    m_actSave->setEnabled(true);
    m_actSaveAs->setEnabled(true);
    m_actLogs->setEnabled(true);
}

void TFWorklist::updateDeleteEnabled() {
    const bool enable = !engineActive();
    m_actDelete->setEnabled(enable);
    m_pmDelete->setEnabled(enable);
}

void TFWorklist::disableDelete() {
    m_actDelete->setEnabled(false);
    m_pmDelete->setEnabled(false);
}

bool TFWorklist::keyHook(const QKeyEvent& key) {
    // The plus key of the keypad: start time plus in the list, and never a "+" in the field.
    if (key.key() == Qt::Key_Plus && (key.modifiers() & Qt::KeypadModifier)) {
        if (lvPlan->hasFocus())
            onLaterCommand();
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
    QList<PlanEntry>& entries = m_worklist.entries();
    qsizetype row = -1;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const PlanEntry& e = entries.at(i);
        if (e.isUnit() && (e.isRunning() || e.status == u"FERTIG1"_s || e.status == u"FERTIG2"_s)) {
            row = i;
            break;
        }
    }
    if (m_blinkCounter >= blinkChanges || row < 0) {
        if (row >= 0)
            entries[row].status = u"x"_s;
        m_blinkCounter = 0;
        tmrBlinken->stop();
        refreshList();
        m_worklist.UpdateCaption();
        if (m_worklist.NextPendingTitle().isEmpty())
            setInputVisible(true);
        return;
    }
    QString& status = entries[row].status;
    status = status == u"FERTIG2"_s ? u"FERTIG1"_s : u"FERTIG2"_s;
    ++m_blinkCounter;
    refreshList();
}

void TFWorklist::tmrCaptionBlinkenTimer() {
    if (unitRunning()) {
        // The next schedule refresh writes the caption.
        m_worklist.captionSuffix = m_worklist.captionSuffix.isEmpty() ? unitActiveSuffix : QString();
        return;
    }
    tmrCaptionBlinken->stop();
    m_worklist.captionSuffix = engineActive() ? pauseActiveSuffix : QString();
    m_worklist.UpdateCaption();
}

bool TFWorklist::isForegroundOurs() const {
    const QWidget* active = QApplication::activeWindow();
    if (!active)
        return false;
    if (active == this || (m_timerWindow && active == m_timerWindow))
        return true;
    for (const QPointer<QWidget>& peer : m_foregroundPeers) {
        if (peer && active == peer)
            return true;
    }
    if (m_windowUi && m_windowUi->isReminderWindow(active))
        return true;
    // A question of ours waits for an answer: pulling this window over it would hide it.
    return active == QApplication::activeModalWidget();
}

void TFWorklist::tmrFocusLockTimer() {
    if (!settings().InVordergrundDraengen) {
        tmrFocusLock->stop();
        return;
    }
    if (!isForegroundOurs())
        m_companion.bringToFront([this] { bringToFront(); });
}

void TFWorklist::enableAutoStart() {
    tmrAutoStart->start();
}

void TFWorklist::setJustStarted(bool on) {
    m_justStarted = on;
}

void TFWorklist::tmrAutoStartTimer() {
    tmrAutoStart->stop();
    if (m_worklist.automaticStartFlag) {
        // The resumed unit was over before the program came back: the plan is to be re-planned.
        show();
        m_records.debugLog.AddDebugLine(u"FWorklist > tmrAutoStartTimer: Neu geplant"_s);
    } else {
        m_autoStartInProgress = true;
        Start1Click();
    }
    m_autoStartInProgress = false;
}

void TFWorklist::Start1Click() {
    const qint64 tick = m_clock.tickMs();
    if (m_lastStartTick != 0 && tick - m_lastStartTick < 500)
        return;
    m_lastStartTick = tick;
    // Without the run engine no plan can run yet: the plan stays in editing, in view.
    show();
}

// --- commands ---------------------------------------------------------------------------------

void TFWorklist::onLaterCommand() {}

void TFWorklist::onNew() {
    m_worklist.ClearOpenEntries();
    refreshList();
}

void TFWorklist::onLogs() {
    m_shell.openFile(settings().LogDateiPfad);
}

void TFWorklist::onQuit() {
    savePlan();
    if (!engineActive() && settings().InVordergrundDraengen)
        m_launcher.start(u"RunTaktplan.exe"_s, {});
    emit terminateRequested();
}

void TFWorklist::onSelectAll() {
    lvPlan->selectAll();
}

void TFWorklist::onRemoveFinished() {
    const qsizetype removed =
        m_worklist.entries().removeIf([](const PlanEntry& e) { return e.isFinished(); });
    m_worklist.removedDoneCount += static_cast<int>(removed);
    refreshList();
    m_worklist.UpdateCaption();
    savePlan();
}

void TFWorklist::onDeleteEntries() {
    if (engineActive())
        return;
    const QList<int> rows = selectedRows();
    if (rows.isEmpty())
        return;
    QList<PlanEntry>& entries = m_worklist.entries();
    for (auto it = rows.crbegin(); it != rows.crend(); ++it) {
        if (*it < entries.size() && entries.at(*it).isOpen())
            entries.removeAt(*it);
    }
    refreshList();
    guarded([this] { m_worklist.RecomputeSchedule(); }, "Eintrag löschen");
    m_worklist.UpdateCaption();
    savePlan();
}

// --- entry input ------------------------------------------------------------------------------

void TFWorklist::onEnter() {
    const QString typed = cbbAufgabe->text();
    const Settings& s = settings();
    const TypedEntry entry = TypedEntry::parse(typed, s.StandardDauerEinheit, s.GrossePause);
    // A placeholder start: the schedule gives the relative entry its real one.
    const QDateTime start = plantime::wall(m_clock.today(), QTime(0, 0));
    guarded([&] { m_worklist.AddEntry(entry.title, entry.isPause, start, entry.duration, false, u" "_s); },
            "AddEntry");
    if (entry.isPause) {
        cbbAufgabe->setText(m_rememberedUnitTitle.isEmpty() ? m_records.activityLog.LastTitle()
                                                            : m_rememberedUnitTitle);
    } else {
        cbbAufgabe->addTitle(typed);
        if (!typed.isEmpty())
            m_rememberedUnitTitle = typed;
    }
    cbbAufgabe->selectAllText();
    cbbAufgabe->setFocus(Qt::OtherFocusReason);
    savePlan();
}

void TFWorklist::onAddUnit() {
    if (cbbAufgabe->text().left(2).toUpper() == u"P "_s)
        cbbAufgabe->setText(m_rememberedUnitTitle);
    cbbAufgabe->setFocus(Qt::OtherFocusReason);
    cbbAufgabe->selectAllText();
}

void TFWorklist::onAddPause() {
    const QString text = cbbAufgabe->text();
    if (!text.isEmpty() && text.left(2).toUpper() != u"P "_s)
        m_rememberedUnitTitle = text;
    cbbAufgabe->setText(u"p "_s + QString::number(settings().GrossePause));
    cbbAufgabe->setFocus(Qt::OtherFocusReason);
    cbbAufgabe->selectFrom(2);
}

void TFWorklist::onInputSelectAll() {
    cbbAufgabe->selectAllText();
}

void TFWorklist::onInputDelete() {
    cbbAufgabe->deleteAtCaret();
}

void TFWorklist::onInputCancel() {
    lvPlan->setFocus(Qt::OtherFocusReason);
}

// --- plan file --------------------------------------------------------------------------------

bool TFWorklist::savePlan() {
    return m_planFile.saveWorklist();
}

void TFWorklist::onOpen() {
    const QString name = askFileName(false);
    if (!name.isEmpty())
        m_planFile.open(name);
    refreshList();
}

void TFWorklist::onSave() {
    if (m_planFile.saveToCurrent() != PlanFile::SaveOutcome::NeedsFileName)
        return;
    const QString name = askFileName(true);
    if (!name.isEmpty())
        m_planFile.saveTo(name);
}

void TFWorklist::onSaveAs() {
    const QString name = askFileName(true);
    if (!name.isEmpty())
        m_planFile.saveAs(name);
}

void TFWorklist::onLoadLastPlan() {
    m_planFile.loadRoutine();
    refreshList();
}

void TFWorklist::beginDialog() {
    tmrFocusLock->stop();
}

void TFWorklist::endDialog() {
    // The focus lock always runs again afterwards; it stops itself when the setting is off.
    tmrFocusLock->start();
}

QString TFWorklist::askFileName(bool save) {
    beginDialog();
    QFileDialog dialog(this, save ? tr_("Speichern unter") : tr_("Öffnen"));
    dialog.setObjectName(save ? u"saveDialog"_s : u"openDialog"_s);
    dialog.setNameFilter(tr_("Textdatei (*.txt)"));
    if (save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(u"txt"_s);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (!m_planFile.currentFileName().isEmpty())
        dialog.selectFile(m_planFile.currentFileName());
    const bool ok = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
    endDialog();
    return ok ? dialog.selectedFiles().constFirst() : QString();
}
