#include "tf_worklist.h"

#include "clock.h"
#include "companion_program.h"
#include "data_folder.h"
#include "log_move.h"
#include "menu_bar_style.h"
#include "menu_keys.h"
#include "menu_table.h"
#include "plan_table_model.h"
#include "plan_time.h"
#include "program_launcher.h"
#include "records.h"
#include "run_control.h"
#include "shell.h"
#include "title_combo_box.h"
#include "tooltip_delay.h"
#include "translate.h"
#include "typed_entry.h"
#include "value_text.h"
#include "window_user_interface.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QTableView>
#include <QTimer>

#include <algorithm>
#include <limits>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

constexpr int minWindowWidth = 430;
constexpr int minWindowHeight = 185;
// A unit or pause longer than a day leaves no room for a plan of that day.
constexpr int longestLength = 24 * 60;
// Points: the largest font the plan list is shown with, whatever the settings say.
constexpr int largestFontSize = 28;
// The schedule refresh goes on while a dialog is open and may re-sort the rows: a command that
// asks first holds on to its entries, not to their rows.
QList<quint64> entryIds(const Worklist& plan, const QList<int>& rows) {
    QList<quint64> ids;
    for (const int row : rows)
        ids.append(plan.entryId(row));
    return ids;
}

QList<int> rowsOf(const Worklist& plan, const QList<quint64>& ids) {
    QList<int> rows;
    for (const quint64 id : ids) {
        const qsizetype row = plan.rowOf(id);
        if (row >= 0)
            rows.append(int(row));
    }
    return rows;
}

} // namespace

TFWorklist::TFWorklist(const WorklistServices& services, QWidget* parent)
    : QMainWindow(parent), m_clock(services.clock), m_folder(services.folder), m_records(services.records),
      m_companion(services.companion), m_shell(services.shell), m_launcher(services.launcher),
      m_ownUi(services.ui ? nullptr : std::make_unique<WindowUserInterface>()),
      m_ui(services.ui ? *services.ui : *m_ownUi), m_worklist(services.worklist),
      m_planFile(services.planFile), m_startCommand(services.startCommand),
      m_autoStartCommand(services.autoStartCommand), m_settingsCommand(services.settingsCommand),
      m_interfaceLanguage(services.interfaceLanguage),
      m_programFolder(services.programFolder.isEmpty() ? QCoreApplication::applicationDirPath()
                                                       : services.programFolder),
      m_helpAddresses(helplinks::Addresses::configured()) {
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
    m_worklist.lastScheduleDay = m_clock.today();
    m_worklist.removedDoneCount = 0;
    m_lastStartTick = 0;
    m_autoStartInProgress = false;
    // What a new window shows: the plan editable, tooltips after half a second, and (below)
    // the focus lock on.
    m_shown.startCaption = m_actStart->text();
    lvPlan->setDragEnabled(m_shown.mouseEditing);
    setApplicationTooltipDelay(m_shown.tooltipDelayMs);
    connect(&m_ownState, &RunStatePublisher::changed, this, &TFWorklist::showRunState);
    m_worklist.UpdateCaption();
    m_planFile.loadWorklist(services.stopLoading);
    refreshList();

    // The reminder window is one of ours: the focus lock leaves it in front, and rests while
    // a dialog asks something.
    m_windowUi = dynamic_cast<WindowUserInterface*>(&m_ui);
    // After a dialog the focus lock always comes back, unless a plan runs (the start stopped it).
    if (m_windowUi)
        m_windowUi->suspendDuringDialogs(tmrFocusLock, [this] { return !engineActive(); });
    updateRunState([this](RunState& st) {
        st.startCaption = m_shown.startCaption;
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
    tmrFocusLock = make(u"tmrFocusLock"_s, 250, &TFWorklist::tmrFocusLockTimer);
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
    // Rows are dragged within the list (copies only: the drop places them, nothing is removed by
    // the drag itself); a double-click renames. Both only while mouse editing is allowed.
    lvPlan->setDragDropMode(QAbstractItemView::DragDrop);
    lvPlan->setDefaultDropAction(Qt::CopyAction);
    lvPlan->installEventFilter(this);
    lvPlan->viewport()->installEventFilter(this);
    connect(lvPlan, &QAbstractItemView::doubleClicked, this, [this] {
        if (m_shown.mouseEditing)
            onRename();
    });

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

void TFWorklist::createMenus() {
    m_keys = new MenuKeys(this);
    const auto run = [this](void (TFWorklist::*handler)()) {
        return std::function<void()>([this, handler] { (this->*handler)(); });
    };
    const auto key = [](QKeyCombination k) { return QKeySequence(k); };
    const MenuItemSpec separator;
    const auto hidden = [](const char* name) { return u"hidden:"_s + QString::fromUtf8(name); };
    QMenuBar* mm1 = menuBar();
    mm1->setObjectName(u"mm1"_s);

    m_menuDatei = mm1->addMenu(tr_("&Datei"));
    m_menuDatei->setObjectName(u"Datei"_s);
    const QList<QAction*> datei = addMenuItems(
        this, *m_keys, m_menuDatei, nullptr,
        {{tr_("Neu"), key(Qt::CTRL | Qt::Key_N), run(&TFWorklist::onNew)},
         {tr_("Öffnen..."), key(Qt::CTRL | Qt::Key_O), run(&TFWorklist::onOpen)},
         {tr_("Speichern"), key(Qt::CTRL | Qt::Key_S), run(&TFWorklist::onSave)},
         {tr_("Speichern unter..."), key(Qt::CTRL | Qt::SHIFT | Qt::Key_S), run(&TFWorklist::onSaveAs)},
         separator,
         {tr_("Logs"), key(Qt::CTRL | Qt::Key_L), run(&TFWorklist::onLogs)},
         separator,
         {tr_("Beenden"), key(Qt::CTRL | Qt::Key_Q), run(&TFWorklist::onQuit)}});
    m_actNew = datei.at(0);
    m_actOpen = datei.at(1);
    m_actSave = datei.at(2);
    m_actSaveAs = datei.at(3);
    m_actLogs = datei.at(5);
    m_actQuit = datei.at(7);

    m_menuListe = mm1->addMenu(tr_("Liste"));
    m_menuListe->setObjectName(u"Liste"_s);
    const QList<QAction*> liste = addMenuItems(
        this, *m_keys, m_menuListe, nullptr,
        {{tr_("Einheit hinzufügen"), key(Qt::CTRL | Qt::Key_E), run(&TFWorklist::onAddUnit)},
         {tr_("Pause hinzufügen"), key(Qt::CTRL | Qt::Key_P), run(&TFWorklist::onAddPause)},
         {tr_("Letzten Plan laden"), key(Qt::CTRL | Qt::Key_R), run(&TFWorklist::onLoadLastPlan)},
         {tr_("Fertige Einheiten entfernen"), key(Qt::CTRL | Qt::Key_F), run(&TFWorklist::onRemoveFinished)},
         separator,
         {tr_("Eintrag löschen"), key(Qt::Key_Delete), run(&TFWorklist::onDeleteEntries)},
         separator,
         {tr_("Einheit umbenennen"), key(Qt::Key_F2), run(&TFWorklist::onRename)},
         {tr_("Startzeit ändern"), key(Qt::Key_F3), run(&TFWorklist::onChangeStartTime)},
         {tr_("Startzeit löschen"), key(Qt::Key_F4), run(&TFWorklist::onClearStartTime)},
         {tr_("Datum ändern"), key(Qt::CTRL | Qt::Key_F3), run(&TFWorklist::onChangeDate)},
         {tr_("Datum löschen"), key(Qt::CTRL | Qt::Key_F4), run(&TFWorklist::onClearDate)},
         {tr_("Dauer ändern"), key(Qt::Key_F6), run(&TFWorklist::onChangeDuration)},
         {tr_("Alle Einträge markieren"), key(Qt::CTRL | Qt::Key_A), run(&TFWorklist::onSelectAll), true,
          hidden("Alle Einträge markieren")}});
    m_actDelete = liste.at(5);

    // "Start": a command of its own in the menu bar, drawn bold.
    m_actStart = addMenuItems(this, *m_keys, nullptr, nullptr,
                              {{tr_("Start"), key(Qt::Key_F9), run(&TFWorklist::Start1Click)}})
                     .constFirst();
    QFont bold = m_actStart->font();
    bold.setBold(true);
    m_actStart->setFont(bold);
    mm1->addAction(m_actStart);
    auto* barStyle = new MenuBarStyle(m_actStart);
    barStyle->setParent(this);
    mm1->setStyle(barStyle);

    m_menuEinstellungen = mm1->addMenu(tr_("Einstellungen"));
    m_menuEinstellungen->setObjectName(u"Einstellungen"_s);
    const QKeySequence none;
    const QList<QAction*> einstellungen = addMenuItems(
        this, *m_keys, m_menuEinstellungen, nullptr,
        {{tr_("Dauer Einheit"), none, run(&TFWorklist::onUnitLength), false, u"mniDauerEinheit1"_s},
         {tr_("Dauer kleine Pause"), none, run(&TFWorklist::onSmallPause), false, u"mniDauerkleinePause1"_s},
         {tr_("Dauer große Pause"), none, run(&TFWorklist::onBigPause), false, u"mniDauergroePause1"_s},
         separator,
         {tr_("Maximale Anzahl neu planen"), none, run(&TFWorklist::onMaxReplan), false,
          u"mniMaxNeuPlanen"_s},
         {tr_("Neue Einheit nur starten, wenn Benutzer anwesend"), none, run(&TFWorklist::onPresenceItem),
          false, u"mniAnwesenheitErforderlich1"_s},
         {tr_("Sounds abspielen (Beginn und Ende einer Einheit, Countdown)"), none,
          run(&TFWorklist::onSoundsItem), false, u"mniSounds1"_s},
         {tr_("In Pause Windows sperren"), none, run(&TFWorklist::onLockInPauseItem), false,
          u"mniInPauseSperren1"_s},
         {tr_("Perzentilen Rang anzeigen (siehe Hilfe)"), none, run(&TFWorklist::onPercentileItem), false,
          u"mniPerzentilerRang1"_s},
         {tr_("In den Vordergrund drängen, solange kein Plan aktiv ist"), none,
          run(&TFWorklist::onForegroundItem), false, u"mniIndenVordergrundschiebenbisNeuGeplant1"_s},
         {tr_("Log-Datei speichern unter..."), none, run(&TFWorklist::onMoveLog), false,
          u"mniLogDateiSpeichernUnter1"_s},
         separator,
         {tr_("Taktplan-Verzeichnis öffnen"), none, run(&TFWorklist::onOpenDataFolder), false,
          u"mniTaktplanVerzeichnisOeffnen1"_s},
         {tr_("ini-Datei öffnen"), none, run(&TFWorklist::onOpenSettingsFile), false,
          u"mniIniDateiOeffnen1"_s}});
    m_settingsItems = {einstellungen.at(0), einstellungen.at(1), einstellungen.at(2),
                       einstellungen.at(4), einstellungen.at(5), einstellungen.at(6),
                       einstellungen.at(7), einstellungen.at(8), einstellungen.at(9)};
    for (QAction* item : {m_settingsItems.presence, m_settingsItems.sounds, m_settingsItems.lockInPause,
                          m_settingsItems.percentile, m_settingsItems.foreground})
        item->setCheckable(true);
    m_settingsItems.presence->setChecked(settings().AnwesenheitErforderlich);

    // A command the program hands in after creation (it shows a window this one does not know).
    const auto handedIn = [](const std::function<void()>* command) {
        return std::function<void()>([command] {
            if (*command)
                (*command)();
        });
    };
    m_menuHilfe = mm1->addMenu(tr_("Hilfe"));
    m_menuHilfe->setObjectName(u"Hilfe"_s);
    const auto guide = [this](const char* section) {
        return std::function<void()>([this, section] { openGuide(QString::fromLatin1(section)); });
    };
    addMenuItems(
        this, *m_keys, m_menuHilfe, nullptr,
        {{tr_("Dokumentation"), key(Qt::Key_F1), [this] { openGuide(); }, false, u"mniDokumentation1"_s},
         {tr_("Verwaschene Darstellung auf großen Bildschirmen verbessern"), none,
          guide(helplinks::sectionSharpDisplay), false, u"mniVerwascheneDarstellung1"_s},
         {tr_("Taktplan-Fenster auf allen virtuellen Desktops anzeigen"), none,
          guide(helplinks::sectionVirtualDesktops), false, u"mniVirtuelleDesktops1"_s},
         {tr_("Informationen zu Percentile Ranking"), none, guide(helplinks::sectionPercentile), false,
          u"mniInformationenzuPercentileRanking1"_s},
         separator,
         {tr_("Debugger anzeigen"), none, handedIn(&m_showDebugger), false, u"mniDebuggerAnzeigen1"_s},
         {tr_("Auf Updates prüfen"), none, run(&TFWorklist::onCheckUpdates), false,
          u"mniAufUpdatesPruefen1"_s},
         {tr_("Über Taktplan"), none, handedIn(&m_showAbout), false, u"mniUeberTaktplan1"_s},
         {tr_("Lizenzen"), none, run(&TFWorklist::onLicences), false, u"mniLizenzen1"_s},
         separator,
         {tr_("Weitere Projekte"), none, run(&TFWorklist::onMoreProjects), false, u"mniWeitereProjekte1"_s},
         {tr_("E-Mail senden..."), none, run(&TFWorklist::onSendMail), false, u"mniEMailSenden1"_s}});

    // The list popup menu: right-click on the plan list, and the list's keys.
    pmWorklistEdit = new QMenu(this);
    pmWorklistEdit->setObjectName(u"pmWorklistEdit"_s);
    const QList<QAction*> popup = addMenuItems(
        this, *m_keys, pmWorklistEdit, lvPlan,
        {{tr_("Aufgabe bearbeiten"), key(Qt::Key_F2), run(&TFWorklist::onRename)},
         {tr_("Startzeit ändern"), key(Qt::Key_F3), run(&TFWorklist::onChangeStartTime)},
         {tr_("Startzeit löschen"), key(Qt::Key_F4), run(&TFWorklist::onClearStartTime)},
         {tr_("Eintrag löschen"), key(Qt::Key_Delete), run(&TFWorklist::onDeleteEntries)},
         {tr_("Start"), key(Qt::Key_F9), run(&TFWorklist::Start1Click), true, hidden("Start")},
         {tr_("Alle Einträge markieren"), key(Qt::CTRL | Qt::Key_A), run(&TFWorklist::onSelectAll), true,
          hidden("Alle Einträge markieren")},
         {tr_("Startzeit um 1 min erhöhen"), key(Qt::Key_Plus), run(&TFWorklist::onStartLater), true,
          hidden("Startzeit um 1 min erhöhen"), MenuKeys::Keypad::Forbidden, true},
         {tr_("Startzeit um 1 min verringern"), QKeySequence(Qt::KeypadModifier | Qt::Key_Slash),
          run(&TFWorklist::onStartEarlier), true, hidden("Startzeit um 1 min verringern"),
          MenuKeys::Keypad::Required},
         {tr_("Laden"), key(Qt::CTRL | Qt::Key_O), run(&TFWorklist::onOpen), true, hidden("Laden")},
         {tr_("Speichern"), key(Qt::CTRL | Qt::Key_S), run(&TFWorklist::onSave), true, hidden("Speichern")},
         {tr_("Einheit nach oben"), key(Qt::CTRL | Qt::Key_Up), run(&TFWorklist::onMoveUp), true,
          hidden("Einheit nach oben")},
         {tr_("Einheit nach unten"), key(Qt::CTRL | Qt::Key_Down), run(&TFWorklist::onMoveDown), true,
          hidden("Einheit nach unten")},
         {tr_("Rechts"), key(Qt::Key_Right), nullptr, true, hidden("Rechts")}});
    m_pmDelete = popup.at(3);
    m_pmStart = popup.at(4);
    m_pmStartLater = popup.at(6);
    m_pmStartEarlier = popup.at(7);
    m_popupItems = popup;

    // The input popup menu: every item hidden, so right-clicking the field shows nothing; its
    // keys act while the field has the focus and come before the main menu's.
    pmHinzu = new QMenu(this);
    pmHinzu->setObjectName(u"pmHinzu"_s);
    addMenuItems(
        this, *m_keys, pmHinzu, cbbAufgabe,
        {{tr_("Alles markieren"), key(Qt::CTRL | Qt::Key_A), run(&TFWorklist::onInputSelectAll), true,
          u"mniAllesmarkieren1"_s},
         {tr_("Löschen"), key(Qt::Key_Delete), run(&TFWorklist::onInputDelete), true, u"mniLschen2"_s},
         {tr_("Cancel"), key(Qt::Key_Escape), run(&TFWorklist::onInputCancel), true, u"mniCancel1"_s},
         {tr_("EinheitNachOben"), key(Qt::CTRL | Qt::Key_Up), nullptr, true, u"mniEinheitNachOben1"_s},
         {tr_("EinheitNachUnten"), key(Qt::CTRL | Qt::Key_Down), nullptr, true, u"mniEinheitNachUnten1"_s}});

    // Opening "Liste" or the list popup (or using one of their keys) brings "Eintrag löschen"
    // back, unless a plan runs.
    m_keys->setOpeningHandler(m_menuListe, [this] { updateDeleteEnabled(); });
    m_keys->setOpeningHandler(pmWorklistEdit, [this] { updateDeleteEnabled(); });
    // Opening "Einstellungen" brings its captions up to date, and with the setting on the focus
    // lock back (after a dialog that did not restore it, say).
    m_keys->setOpeningHandler(m_menuEinstellungen, [this] { updateSettingsMenu(); });
    m_keys->setHook([this](const QKeyEvent& key) { return keyHook(key); });
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

bool TFWorklist::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_client && event->type() == QEvent::Resize) {
        arrangeControls();
        return false;
    }
    if (watched == lvPlan && (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease))
        return listKeyEvent(*static_cast<QKeyEvent*>(event));
    if (lvPlan && watched == lvPlan->viewport())
        return listDropEvent(event);
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
}

void TFWorklist::addForegroundPeer(QWidget* window) {
    m_foregroundPeers.append(window);
}

void TFWorklist::setHelpWindows(std::function<void()> showDebugger, std::function<void()> showAbout) {
    m_showDebugger = std::move(showDebugger);
    m_showAbout = std::move(showAbout);
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

    refillInputField();
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
    m_menuDatei->menuAction()->setEnabled(look.fileMenu);
    for (QAction* a : {m_menuListe->menuAction(), m_menuEinstellungen->menuAction(),
                       m_menuHilfe->menuAction(), m_actNew, m_actOpen, m_actQuit})
        a->setEnabled(look.planningMenus);
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
        if (lvPlan->hasFocus() && m_pmStartLater->isEnabled())
            onStartLater();
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
        m_worklist.captionSuffix = m_worklist.captionSuffix.isEmpty() ? m_shown.captionSuffix : QString();
        return;
    }
    showLook(planningLook(phase, settings().Verbleibend), false);
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
        // The window's own stop: the run still wants the lock whenever the setting is on.
        tmrFocusLock->stop();
        return;
    }
    if (!isForegroundOurs())
        m_companion.bringToFront([this] { bringToFront(); });
}

void TFWorklist::enableAutoStart() {
    tmrAutoStart->start();
}

void TFWorklist::tmrAutoStartTimer() {
    tmrAutoStart->stop();
    if (m_autoStartCommand) {
        m_autoStartCommand();
        updateMenuStates();
        return;
    }
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
    // The runner keeps its own debounce and decides between starting and re-planning.
    if (m_startCommand) {
        m_startCommand();
        updateMenuStates();
        return;
    }
    const qint64 tick = m_clock.tickMs();
    if (m_lastStartTick != 0 && tick - m_lastStartTick < 500)
        return;
    m_lastStartTick = tick;
    // Without a plan runner no plan can run: the plan stays in editing, in view.
    show();
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

void TFWorklist::startFocusLock() {
    updateRunState([](RunState& st) { st.focusLock = true; });
    tmrFocusLock->start();
}

void TFWorklist::setMaxReplanEnabled(bool enabled) {
    updateRunState([enabled](RunState& st) { st.maxReplanEnabled = enabled; });
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

void TFWorklist::observe(RunStatePublisher& state) {
    for (const QMetaObject::Connection& c : std::as_const(m_stateConnections))
        disconnect(c);
    m_state = &state;
    // The runner's state takes over what this window shows so far.
    const RunState& shown = m_shown;
    state.update([&shown](RunState& st) {
        st.startCaption = shown.startCaption;
        st.startEnabled = shown.startEnabled;
        st.captionSuffix = shown.captionSuffix;
        st.captionBlink = shown.captionBlink;
        st.inputVisible = shown.inputVisible;
        st.listMenuAllItems = shown.listMenuAllItems;
        st.mouseEditing = shown.mouseEditing;
        st.maxReplanEnabled = shown.maxReplanEnabled;
        st.tooltipDelayMs = shown.tooltipDelayMs;
        st.focusLock = shown.focusLock;
    });
    m_stateConnections = {connect(&state, &RunStatePublisher::changed, this, &TFWorklist::showRunState),
                          // Gone first (at the end of a test): the window goes on with a state of its own.
                          connect(&state, &QObject::destroyed, this, [this] {
                              m_state = &m_ownState;
                              m_ownState.update([this](RunState& st) { st = m_shown; });
                          })};
    showRunState(state.state());
}

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

void TFWorklist::showRunState(const RunState& state) {
    const RunState was = std::exchange(m_shown, state);
    if (state.startCaption != was.startCaption)
        m_actStart->setText(state.startCaption);
    if (state.startEnabled != was.startEnabled)
        m_actStart->setEnabled(state.startEnabled);
    if (state.inputVisible != was.inputVisible) {
        pnlHinzu->setVisible(state.inputVisible);
        arrangeControls();
    }
    if (state.listMenuAllItems != was.listMenuAllItems) {
        for (QAction* a : std::as_const(m_popupItems)) {
            // The hidden "Start" stays reachable: F9 in the list must re-plan a running plan.
            if (a && a != m_pmStart)
                a->setEnabled(state.listMenuAllItems);
        }
    }
    // A drag that no drop would take is not begun at all.
    if (state.mouseEditing != was.mouseEditing)
        lvPlan->setDragEnabled(state.mouseEditing);
    if (state.maxReplanEnabled != was.maxReplanEnabled)
        m_settingsItems.maxReplan->setEnabled(state.maxReplanEnabled);
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
        m_worklist.captionSuffix = state.captionSuffix;
        m_worklist.UpdateCaption();
    }
    updateMenuStates();
}

// --- commands ---------------------------------------------------------------------------------

// --- editing the selected rows ----------------------------------------------------------------

void TFWorklist::scheduleAndSave(const char* where) {
    guarded([this] { m_worklist.RecomputeSchedule(); }, where);
    savePlan();
}

void TFWorklist::focusEntry(quint64 id) {
    const qsizetype row = id ? m_worklist.rowOf(id) : -1;
    if (row >= 0)
        lvPlan->selectionModel()->setCurrentIndex(m_model->index(int(row), 0), QItemSelectionModel::NoUpdate);
}

void TFWorklist::onRename() {
    const QList<int> rows = selectedRows();
    if (rows.isEmpty())
        return;
    if (const std::optional<QString> prefill = m_worklist.renamePrefill(rows)) {
        const QList<quint64> ids = entryIds(m_worklist, rows);
        const std::optional<QString> text =
            m_ui.askText(tr_("Aufgabenbeschreibung ändern"), tr_("Neue Aufgabenbeschreibung?"), *prefill);
        const QList<int> now = rowsOf(m_worklist, ids);
        if (text && !now.isEmpty() && m_worklist.renameEntries(now, *text) != TypedEntry::Adjustment::None) {
            // The plan file could not give such a title back as typed: it was changed now, in view.
            m_ui.showReminder(
                tr_("Titel angepasst"),
                tr_("Der Titel wurde angepasst, damit er nach einem Neustart gleich bleibt:") + u"\n"_s +
                    m_worklist.entries().at(*std::min_element(now.begin(), now.end())).displayText);
        }
    }
    scheduleAndSave("Einheit umbenennen");
}

void TFWorklist::onChangeStartTime() {
    const QList<int> rows = selectedRows();
    const std::optional<QString> prefill = m_worklist.startTimePrefill(rows);
    if (!prefill)
        return;
    const quint64 id = m_worklist.entryId(rows.constFirst());
    const std::optional<QString> text = m_ui.askText(
        tr_("Startzeit ändern"),
        tr_("Geben Sie die neue (feste) Startzeit ein.") + u"\n\n"_s +
            tr_("Wenn die Einheit stattdessen unmittelbar nach der vorherigen beginnen soll, löschen Sie den "
                "vorgegebenen Text und lassen das Feld leer."),
        *prefill);
    // The periodic schedule refresh takes the change up.
    if (text && m_worklist.rowOf(id) >= 0)
        m_worklist.setStartTime(int(m_worklist.rowOf(id)), *text);
}

void TFWorklist::onClearStartTime() {
    const QList<int> rows = selectedRows();
    guarded([&] { m_worklist.clearStartTimes(rows); }, "Startzeit löschen");
    savePlan();
}

void TFWorklist::onStartLater() {
    const QList<int> rows = selectedRows();
    guarded([&] { m_worklist.startOneMinuteLater(rows); }, "Startzeit erhöhen");
}

void TFWorklist::onStartEarlier() {
    const QList<int> rows = selectedRows();
    guarded([&] { m_worklist.startOneMinuteEarlier(rows); }, "Startzeit verringern");
}

void TFWorklist::onChangeDate() {
    const QList<int> rows = selectedRows();
    const std::optional<QString> prefill = m_worklist.datePrefill(rows);
    if (!prefill)
        return;
    const QList<quint64> ids = entryIds(m_worklist, rows);
    const std::optional<QString> text =
        m_ui.askText(tr_("Datum ändern"),
                     tr_("Geben Sie das neue Datum ein, an dem diese Einheit beginnen soll."), *prefill);
    if (text)
        m_worklist.setDates(rowsOf(m_worklist, ids), *text);
}

void TFWorklist::onClearDate() {
    const QList<int> rows = selectedRows();
    guarded([&] { m_worklist.resetDates(rows); }, "Datum löschen");
    savePlan();
}

void TFWorklist::onChangeDuration() {
    const QList<int> rows = selectedRows();
    if (rows.isEmpty())
        return;
    if (const std::optional<QString> prefill = m_worklist.durationPrefill(rows)) {
        const QList<quint64> ids = entryIds(m_worklist, rows);
        const std::optional<QString> text = m_ui.askText(
            tr_("Dauer ändern"), tr_("Bitte geben Sie die neue Dauer dieses Items (in min) ein."), *prefill);
        if (text && !m_worklist.setDurations(rowsOf(m_worklist, ids), *text))
            m_ui.showMessage(
                tr_("Eine Einheit dauert mindestens eine Minute. Die Dauer bleibt, wie sie war."));
    }
    scheduleAndSave("Dauer ändern");
}

void TFWorklist::onMoveUp() {
    quint64 moved = 0;
    bool acted = false;
    const QList<int> rows = selectedRows();
    guarded([&] { acted = m_worklist.moveUp(rows, &moved); }, "Einheit nach oben");
    if (!acted)
        return;
    focusEntry(moved);
    savePlan();
}

void TFWorklist::onMoveDown() {
    quint64 moved = 0;
    bool acted = false;
    const QList<int> rows = selectedRows();
    guarded([&] { acted = m_worklist.moveDown(rows, &moved); }, "Einheit nach unten");
    if (!acted)
        return;
    focusEntry(moved);
    savePlan();
}

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
        if (m_pmStartLater->isEnabled())
            onStartLater();
        return true;
    }
    if (text == u"m"_s || text == u"-"_s) {
        if (m_pmStartEarlier->isEnabled())
            onStartEarlier();
        return true;
    }
    return false;
}

bool TFWorklist::listDropEvent(QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return false;
    auto* drop = static_cast<QDropEvent*>(event);
    // Only rows of this list, and only while mouse editing is allowed.
    if (!m_model->isOwnDrag(drop->mimeData()) || !m_shown.mouseEditing) {
        drop->ignore();
        return true;
    }
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    if (type != QEvent::Drop)
        return true;
    const int target = lvPlan->indexAt(drop->position().toPoint()).row();
    const QList<int> rows = selectedRows();
    guarded([&] { m_worklist.moveRowsBefore(rows, target); }, "Ziehen und Ablegen");
    savePlan();
    return true;
}

void TFWorklist::onNew() {
    m_worklist.ClearOpenEntries();
    refreshList();
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

void TFWorklist::onSelectAll() {
    lvPlan->selectAll();
}

void TFWorklist::onRemoveFinished() {
    m_worklist.removeFinished();
    savePlan();
}

void TFWorklist::onDeleteEntries() {
    const QList<int> rows = selectedRows();
    if (rows.isEmpty() || engineActive())
        return;
    guarded([&] { m_worklist.deleteOpenEntries(rows); }, "Eintrag löschen");
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
    // The plan file could not give such a title back as typed: it was changed now, in view.
    if (entry.adjustment != TypedEntry::Adjustment::None) {
        m_ui.showReminder(tr_("Titel angepasst"),
                          tr_("Der Titel wurde angepasst, damit er nach einem Neustart gleich bleibt:") +
                              u"\n"_s + entry.title);
    }
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

QString TFWorklist::askFileName(bool save) {
    const QString filter = tr_("Textdatei (*.txt)");
    const std::optional<QString> name =
        save ? m_ui.askSaveFileName(tr_("Speichern unter"), filter, m_planFile.currentFileName())
             : m_ui.askOpenFileName(tr_("Öffnen"), filter, m_planFile.currentFileName());
    return name.value_or(QString());
}

// --- settings ---------------------------------------------------------------------------------

void TFWorklist::updateSettingsMenu() {
    const Settings& s = settings();
    const auto minutes = [](int n) { return QString::number(n) + tr_(" min"); };
    m_settingsItems.unitLength->setText(tr_("Dauer einer Einheit: ") + minutes(s.StandardDauerEinheit));
    m_settingsItems.smallPause->setText(tr_("Standard-Dauer einer kleinen Pause: ") + minutes(s.KleinePause));
    m_settingsItems.bigPause->setText(tr_("Standard-Dauer einer großen Pause: ") + minutes(s.GrossePause));
    if (s.NeuPlanenMax > -1) {
        m_settingsItems.maxReplan->setText(tr_("Neu planen ") + QString::number(s.NeuPlanenMax) +
                                           tr_(" mal zulässig (") + QString::number(s.Verbleibend) +
                                           tr_(" verbleibend)"));
    } else {
        m_settingsItems.maxReplan->setText(tr_("Neu planen unbegrenzt oft zulässig"));
    }
    m_settingsItems.presence->setChecked(s.AnwesenheitErforderlich);
    m_settingsItems.sounds->setChecked(s.Sounds);
    m_settingsItems.lockInPause->setChecked(s.InPauseSperren);
    m_settingsItems.percentile->setChecked(s.showPercentileRanking);
    m_settingsItems.foreground->setChecked(s.InVordergrundDraengen);
    if (s.InVordergrundDraengen)
        tmrFocusLock->start();
}

std::optional<int> TFWorklist::askSettingNumber(const QString& caption, const QString& prompt, int current,
                                                int minimum, int maximum, bool refuseBelow) {
    const std::optional<QString> text = m_ui.askText(caption, prompt, QString::number(current));
    int value = 0;
    // Not a number, or a value the plan cannot work with: nothing changes.
    if (!text || !valuetext::readInt(*text, &value) || value > maximum || (refuseBelow && value < minimum))
        return std::nullopt;
    return std::max(value, minimum);
}

void TFWorklist::onUnitLength() {
    const std::optional<int> value =
        askSettingNumber(tr_("Dauer einer Einheit"), tr_("Wie viel min soll eine Einheit dauern?"),
                         settings().StandardDauerEinheit, 1, longestLength, false);
    if (!value)
        return;
    settings().StandardDauerEinheit = *value;
    // Units still to do take the new length; the schedule refresh moves the times after them.
    m_worklist.setPendingUnitLengths(*value);
    m_records.saveSettings();
}

void TFWorklist::onSmallPause() {
    const std::optional<int> value =
        askSettingNumber(tr_("Länge einer kleinen Pause"), tr_("Wie lange soll eine kleine Pause dauern?"),
                         settings().KleinePause, 1, longestLength, false);
    if (!value)
        return;
    settings().KleinePause = *value;
    m_records.saveSettings();
}

void TFWorklist::onBigPause() {
    const std::optional<int> value =
        askSettingNumber(tr_("Länge einer großen Pause"), tr_("Wie lange soll eine große Pause dauern?"),
                         settings().GrossePause, 1, longestLength, false);
    if (!value)
        return;
    settings().GrossePause = *value;
    m_records.saveSettings();
}

void TFWorklist::onMaxReplan() {
    const std::optional<int> value =
        askSettingNumber(tr_("Neu planen"),
                         tr_("Wie oft kann der Benutzer neu planen?") + u"\n"_s + tr_("(-1 für unbegrenzt)"),
                         settings().NeuPlanenMax, -1, std::numeric_limits<int>::max(), true);
    if (!value)
        return;
    settings().NeuPlanenMax = *value;
    settings().Verbleibend = *value;
    m_records.saveSettings();
}

void TFWorklist::onPresenceItem() {
    settings().AnwesenheitErforderlich = m_settingsItems.presence->isChecked();
    m_records.saveSettings();
}

void TFWorklist::onSoundsItem() {
    settings().Sounds = m_settingsItems.sounds->isChecked();
    m_records.saveSettings();
}

void TFWorklist::onLockInPauseItem() {
    settings().InPauseSperren = m_settingsItems.lockInPause->isChecked();
    m_records.saveSettings();
}

void TFWorklist::onPercentileItem() {
    settings().showPercentileRanking = m_settingsItems.percentile->isChecked();
    if (settings().showPercentileRanking && m_updatePercentile)
        m_updatePercentile();
    m_worklist.UpdateCaption();
    m_records.saveSettings();
}

void TFWorklist::onForegroundItem() {
    settings().InVordergrundDraengen = m_settingsItems.foreground->isChecked();
    if (settings().InVordergrundDraengen)
        tmrFocusLock->start();
    m_records.saveSettings();
}

void TFWorklist::onMoveLog() {
    const std::optional<QString> target =
        m_ui.askSaveFileName(tr_("Log-Datei speichern unter"),
                             tr_("Textdateien und Logdateien (*.txt *.log)"), settings().LogDateiPfad);
    if (!target || target->isEmpty())
        return;
    const QString from = settings().LogDateiPfad;
    // The plan files and the copies kept of them when lines could not be read.
    QStringList planFiles;
    for (const QString& f :
         {m_planFile.worklistPath(), m_planFile.routinePath(), m_planFile.currentFileName()})
        planFiles << f << PlanFile::backupPath(f);
    const logmove::Result result = logmove::moveActivityLog(m_records, *target, planFiles);
    if (result.outcome == logmove::Outcome::Failed) {
        m_ui.showMessage(tr_("Die Log-Datei konnte nicht verschoben werden. Sie bleibt unverändert in:") +
                         u"\r\n"_s + from + u"\r\n\r\n"_s + result.error);
    } else if (result.oldLeft) {
        m_ui.showMessage(tr_("Die Log-Datei wird ab jetzt hier geführt:") + u"\r\n"_s + *target +
                         u"\r\n\r\n"_s +
                         tr_("Die bisherige Datei konnte nicht gelöscht werden und liegt weiterhin in:") +
                         u"\r\n"_s + from);
    }
}

void TFWorklist::onOpenDataFolder() {
    m_folder.ensureExists();
    m_shell.openFile(m_folder.path() + u'/');
}

void TFWorklist::onOpenSettingsFile() {
    // Without a file there is nothing to edit: the editor would show an empty page and the
    // program would end for nothing, with the plan perhaps unsaved (the failure was reported).
    if (!QFileInfo(m_records.settingsFile.filePath()).isFile() && !m_records.saveSettings())
        return;
    if (m_settingsCommand)
        m_settingsCommand();
    else
        m_shell.openFile(m_records.settingsFile.filePath());
}

// --- help -------------------------------------------------------------------------------------

void TFWorklist::openHelpFile(const QString& path) {
    // A browser would only say that some file is missing; this says which, and where.
    if (!QFileInfo(path).isFile()) {
        m_ui.showMessage(tr_("Die Datei wurde nicht gefunden; ist Taktplan vollständig installiert?") +
                         u"\r\n\r\n"_s + path);
        return;
    }
    m_shell.openFile(path);
}

void TFWorklist::openGuide(const QString& section) {
    openHelpFile(helplinks::guideFile(m_programFolder, m_interfaceLanguage, section));
}

void TFWorklist::onCheckUpdates() {
    m_companion.notifyUpdates([this] {
        if (m_helpAddresses.homePage.isEmpty())
            openGuide(QString::fromLatin1(helplinks::sectionContact));
        else
            m_shell.openAddress(m_helpAddresses.homePage);
    });
}

void TFWorklist::onLicences() {
    openHelpFile(helplinks::licenceFile(m_programFolder));
}

void TFWorklist::onMoreProjects() {
    if (m_helpAddresses.projectsPage.isEmpty())
        openGuide(QString::fromLatin1(helplinks::sectionContact));
    else
        m_shell.openAddress(m_helpAddresses.projectsPage);
}

void TFWorklist::onSendMail() {
    if (m_helpAddresses.contactMail.isEmpty())
        openGuide(QString::fromLatin1(helplinks::sectionContact));
    else
        m_shell.openAddress(
            helplinks::mailUrl(m_helpAddresses.contactMail, QString::fromLatin1(CompanionProgram::version))
                .toString(QUrl::FullyEncoded));
}
