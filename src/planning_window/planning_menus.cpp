#include "planning_menus.h"

#include "help_commands.h"
#include "help_links.h"
#include "menu_bar_style.h"
#include "menu_table.h"
#include "plan_commands.h"
#include "settings_commands.h"
#include "translate.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

using namespace Qt::StringLiterals;

namespace {

// One table row and where its action goes (none: nowhere, the item is only placed).
struct Row {
    MenuItemSpec item;
    QAction* PlanningMenus::*name = nullptr;
    QAction* PlanningMenus::SettingsItems::*settingsName = nullptr;
    bool checkable = false;
};

QMenu* addMenu(QMenuBar* bar, QWidget* owner, const QString& caption, const QString& objectName) {
    QMenu* m = bar ? bar->addMenu(caption) : new QMenu(owner);
    m->setObjectName(objectName);
    return m;
}

QList<QAction*> addRows(QObject* owner, MenuKeys& keys, QMenu* menu, QWidget* control, const QList<Row>& rows,
                        PlanningMenus& menus) {
    QList<MenuItemSpec> specs;
    for (const Row& r : rows)
        specs.append(r.item);
    const QList<QAction*> actions = addMenuItems(owner, keys, menu, control, specs);
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const Row& r = rows.at(i);
        if (r.name)
            menus.*r.name = actions.at(i);
        if (r.settingsName)
            menus.settingsItems.*r.settingsName = actions.at(i);
        if (r.checkable)
            actions.at(i)->setCheckable(true);
    }
    return actions;
}

} // namespace

void buildPlanningMenus(QMainWindow& window, MenuKeys& keys, QWidget* list, QWidget* field,
                        const PlanningMenuCommands& c, PlanningMenus& menus) {
    using PM = PlanningMenus;
    using SI = PlanningMenus::SettingsItems;
    using Check = SettingsCommands::Check;
    const auto key = [](QKeyCombination k) { return QKeySequence(k); };
    const QKeySequence none;
    const Row separator;
    const auto hidden = [](const char* name) { return u"hidden:"_s + QString::fromUtf8(name); };
    PlanCommands& plan = c.plan;
    SettingsCommands& settings = c.settings;
    HelpCommands& help = c.help;
    // The handlers outlive this call: they hold copies of the window's functions.
    const std::function<QList<int>()> selectedRows = c.selectedRows;
    const std::function<void()> refreshList = c.refreshList;
    const std::function<void(quint64)> focusEntry = c.focusEntry;
    // A command on the selected rows.
    const auto onRows = [&plan, selectedRows](void (PlanCommands::*command)(const QList<int>&)) {
        return std::function<void()>([&plan, selectedRows, command] { (plan.*command)(selectedRows()); });
    };
    const auto move = [&plan, selectedRows, focusEntry](quint64 (PlanCommands::*command)(const QList<int>&)) {
        return std::function<void()>(
            [&plan, selectedRows, focusEntry, command] { focusEntry((plan.*command)(selectedRows())); });
    };
    const auto thenRefresh = [&plan, refreshList](void (PlanCommands::*command)()) {
        return std::function<void()>([&plan, refreshList, command] {
            (plan.*command)();
            refreshList();
        });
    };
    const auto check = [&menus, &settings](QAction* SI::*item, Check which) {
        return std::function<void()>([&menus, &settings, item, which] {
            settings.setChecked(which, (menus.settingsItems.*item)->isChecked());
        });
    };
    const auto guide = [&help](const char* section) {
        return std::function<void()>([&help, section] { help.openGuide(QString::fromLatin1(section)); });
    };
    const auto handedIn = [](const std::function<void()>* command) {
        return std::function<void()>([command] {
            if (*command)
                (*command)();
        });
    };

    QMenuBar* bar = window.menuBar();
    bar->setObjectName(u"mm1"_s);

    menus.file = addMenu(bar, &window, tr_("&Datei"), u"Datei"_s);
    addRows(&window, keys, menus.file, nullptr,
            {{{tr_("Neu"), key(Qt::CTRL | Qt::Key_N), thenRefresh(&PlanCommands::newPlan)}, &PM::newPlan},
             {{tr_("Öffnen..."), key(Qt::CTRL | Qt::Key_O), thenRefresh(&PlanCommands::open)}, &PM::open},
             {{tr_("Speichern"), key(Qt::CTRL | Qt::Key_S), [&plan] { plan.save(); }}, &PM::save},
             {{tr_("Speichern unter..."), key(Qt::CTRL | Qt::SHIFT | Qt::Key_S), [&plan] { plan.saveAs(); }},
              &PM::saveAs},
             separator,
             {{tr_("Logs"), key(Qt::CTRL | Qt::Key_L), c.logs}, &PM::logs},
             {{tr_("Auswertung"), key(Qt::CTRL | Qt::Key_B), c.evaluation}, &PM::evaluation},
             separator,
             {{tr_("Beenden"), key(Qt::CTRL | Qt::Key_Q), c.quit}, &PM::quit}},
            menus);

    menus.list = addMenu(bar, &window, tr_("Liste"), u"Liste"_s);
    addRows(
        &window, keys, menus.list, nullptr,
        {{{tr_("Einheit hinzufügen"), key(Qt::CTRL | Qt::Key_E), c.addUnit}},
         {{tr_("Pause hinzufügen"), key(Qt::CTRL | Qt::Key_P), c.addPause}},
         {{tr_("Letzten Plan laden"), key(Qt::CTRL | Qt::Key_R), thenRefresh(&PlanCommands::loadLastPlan)}},
         {{tr_("Fertige Einheiten entfernen"), key(Qt::CTRL | Qt::Key_F),
           [&plan] { plan.removeFinished(); }}},
         separator,
         {{tr_("Eintrag löschen"), key(Qt::Key_Delete), onRows(&PlanCommands::deleteEntries)},
          &PM::deleteEntry},
         separator,
         {{tr_("Einheit umbenennen"), key(Qt::Key_F2), onRows(&PlanCommands::rename)}},
         {{tr_("Startzeit ändern"), key(Qt::Key_F3), onRows(&PlanCommands::changeStartTime)}},
         {{tr_("Startzeit löschen"), key(Qt::Key_F4), onRows(&PlanCommands::clearStartTime)}},
         {{tr_("Datum ändern"), key(Qt::CTRL | Qt::Key_F3), onRows(&PlanCommands::changeDate)}},
         {{tr_("Datum löschen"), key(Qt::CTRL | Qt::Key_F4), onRows(&PlanCommands::clearDate)}},
         {{tr_("Dauer ändern"), key(Qt::Key_F6), onRows(&PlanCommands::changeDuration)}},
         {{tr_("Alle Einträge markieren"), key(Qt::CTRL | Qt::Key_A), c.selectAll, true,
           hidden("Alle Einträge markieren")}}},
        menus);

    // "Start": a command of its own in the menu bar, drawn bold.
    addRows(&window, keys, nullptr, nullptr, {{{tr_("Start"), key(Qt::Key_F9), c.start}, &PM::start}}, menus);
    QFont bold = menus.start->font();
    bold.setBold(true);
    menus.start->setFont(bold);
    bar->addAction(menus.start);
    auto* barStyle = new MenuBarStyle(menus.start);
    barStyle->setParent(&window);
    bar->setStyle(barStyle);

    menus.settings = addMenu(bar, &window, tr_("Einstellungen"), u"Einstellungen"_s);
    addRows(
        &window, keys, menus.settings, nullptr,
        {{{tr_("Dauer Einheit"), none, [&settings] { settings.unitLength(); }, false, u"mniDauerEinheit1"_s},
          nullptr,
          &SI::unitLength},
         {{tr_("Dauer kleine Pause"), none, [&settings] { settings.smallPause(); }, false,
           u"mniDauerkleinePause1"_s},
          nullptr,
          &SI::smallPause},
         {{tr_("Dauer große Pause"), none, [&settings] { settings.bigPause(); }, false,
           u"mniDauergroePause1"_s},
          nullptr,
          &SI::bigPause},
         separator,
         {{tr_("Maximale Anzahl neu planen"), none, [&settings] { settings.maxReplan(); }, false,
           u"mniMaxNeuPlanen"_s},
          nullptr,
          &SI::maxReplan},
         // The daily target and re-planning settings, else reachable only in the files.
         {{tr_("Default-Soll-Wert"), none, [&settings] { settings.defaultTarget(); }, false,
           u"mniDefaultSollWert"_s},
          nullptr,
          &SI::defaultTarget},
         {{tr_("Soll-Wert beim ersten Start des Tages erfragen"), none,
           check(&SI::targetAtFirstStart, Check::TargetAtFirstStart), false, u"mniSollBeimErstenStart"_s},
          nullptr,
          &SI::targetAtFirstStart,
          true},
         {{tr_("Beim Neu planen nach dem Grund fragen"), none, check(&SI::askReason, Check::AskReason), false,
           u"mniGrundVerlangen"_s},
          nullptr,
          &SI::askReason,
          true},
         {{tr_("Neue Einheit nur starten, wenn Benutzer anwesend"), none,
           check(&SI::presence, Check::Presence), false, u"mniAnwesenheitErforderlich1"_s},
          nullptr,
          &SI::presence,
          true},
         {{tr_("Sounds abspielen (Beginn und Ende einer Einheit, Countdown)"), none,
           check(&SI::sounds, Check::Sounds), false, u"mniSounds1"_s},
          nullptr,
          &SI::sounds,
          true},
         {{tr_("In Pause Windows sperren"), none, check(&SI::lockInPause, Check::LockInPause), false,
           u"mniInPauseSperren1"_s},
          nullptr,
          &SI::lockInPause,
          true},
         {{tr_("Perzentilen Rang anzeigen (siehe Hilfe)"), none, check(&SI::percentile, Check::Percentile),
           false, u"mniPerzentilerRang1"_s},
          nullptr,
          &SI::percentile,
          true},
         {{tr_("In den Vordergrund drängen, solange kein Plan aktiv ist"), none,
           check(&SI::foreground, Check::Foreground), false, u"mniIndenVordergrundschiebenbisNeuGeplant1"_s},
          nullptr,
          &SI::foreground,
          true},
         {{tr_("Symbol im Infobereich zeigen"), none, check(&SI::trayIcon, Check::TrayIcon), false,
           u"mniTraySymbol1"_s},
          nullptr,
          &SI::trayIcon,
          true},
         {{tr_("Desktop-Benachrichtigungen (Ende einer Einheit, Ende des Plans, Aufgabenwechsel)"), none,
           check(&SI::notifications, Check::Notifications), false, u"mniBenachrichtigungen1"_s},
          nullptr,
          &SI::notifications,
          true},
         {{tr_("Log-Datei speichern unter..."), none, [&settings] { settings.moveLog(); }, false,
           u"mniLogDateiSpeichernUnter1"_s}},
         separator,
         {{tr_("Taktplan-Verzeichnis öffnen"), none, [&settings] { settings.openDataFolder(); }, false,
           u"mniTaktplanVerzeichnisOeffnen1"_s}},
         {{tr_("ini-Datei öffnen"), none, [&settings] { settings.openSettingsFile(); }, false,
           u"mniIniDateiOeffnen1"_s}}},
        menus);

    menus.help = addMenu(bar, &window, tr_("Hilfe"), u"Hilfe"_s);
    addRows(
        &window, keys, menus.help, nullptr,
        {{{tr_("Dokumentation"), key(Qt::Key_F1), [&help] { help.openGuide(); }, false,
           u"mniDokumentation1"_s}},
         {{tr_("Verwaschene Darstellung auf großen Bildschirmen verbessern"), none,
           guide(helplinks::sectionSharpDisplay), false, u"mniVerwascheneDarstellung1"_s}},
         {{tr_("Taktplan-Fenster auf allen virtuellen Desktops anzeigen"), none,
           guide(helplinks::sectionVirtualDesktops), false, u"mniVirtuelleDesktops1"_s}},
         {{tr_("Informationen zum Perzentilrang"), none, guide(helplinks::sectionPercentile), false,
           u"mniInformationenzuPercentileRanking1"_s}},
         separator,
         {{tr_("Debugger anzeigen"), none, handedIn(&help.showDebugger), false, u"mniDebuggerAnzeigen1"_s}},
         {{tr_("Auf Updates prüfen"), none, [&help] { help.checkUpdates(); }, false,
           u"mniAufUpdatesPruefen1"_s}},
         {{tr_("Über Taktplan"), none, handedIn(&help.showAbout), false, u"mniUeberTaktplan1"_s}},
         {{tr_("Lizenzen"), none, [&help] { help.licences(); }, false, u"mniLizenzen1"_s}},
         separator,
         {{tr_("Weitere Projekte"), none, [&help] { help.moreProjects(); }, false, u"mniWeitereProjekte1"_s}},
         {{tr_("E-Mail senden..."), none, [&help] { help.sendMail(); }, false, u"mniEMailSenden1"_s}}},
        menus);

    // The list popup menu: right-click on the plan list, and the list's keys.
    menus.listPopup = addMenu(nullptr, &window, {}, u"pmWorklistEdit"_s);
    const QList<Row> popup = {
        {{tr_("Aufgabe bearbeiten"), key(Qt::Key_F2), onRows(&PlanCommands::rename)}},
        {{tr_("Startzeit ändern"), key(Qt::Key_F3), onRows(&PlanCommands::changeStartTime)}},
        {{tr_("Startzeit löschen"), key(Qt::Key_F4), onRows(&PlanCommands::clearStartTime)}},
        {{tr_("Eintrag löschen"), key(Qt::Key_Delete), onRows(&PlanCommands::deleteEntries)},
         &PM::popupDelete},
        {{tr_("Start"), key(Qt::Key_F9), c.start, true, hidden("Start")}, &PM::popupStart},
        {{tr_("Alle Einträge markieren"), key(Qt::CTRL | Qt::Key_A), c.selectAll, true,
          hidden("Alle Einträge markieren")}},
        {{tr_("Startzeit um 1 min erhöhen"), key(Qt::Key_Plus), onRows(&PlanCommands::startLater), true,
          hidden("Startzeit um 1 min erhöhen"), MenuKeys::Keypad::Forbidden, true},
         &PM::popupStartLater},
        {{tr_("Startzeit um 1 min verringern"), QKeySequence(Qt::KeypadModifier | Qt::Key_Slash),
          onRows(&PlanCommands::startEarlier), true, hidden("Startzeit um 1 min verringern"),
          MenuKeys::Keypad::Required},
         &PM::popupStartEarlier},
        {{tr_("Laden"), key(Qt::CTRL | Qt::Key_O), thenRefresh(&PlanCommands::open), true, hidden("Laden")}},
        {{tr_("Speichern"), key(Qt::CTRL | Qt::Key_S), [&plan] { plan.save(); }, true, hidden("Speichern")}},
        {{tr_("Einheit nach oben"), key(Qt::CTRL | Qt::Key_Up), move(&PlanCommands::moveUp), true,
          hidden("Einheit nach oben")}},
        {{tr_("Einheit nach unten"), key(Qt::CTRL | Qt::Key_Down), move(&PlanCommands::moveDown), true,
          hidden("Einheit nach unten")}},
        {{tr_("Rechts"), key(Qt::Key_Right), nullptr, true, hidden("Rechts")}}};
    menus.popupItems = addRows(&window, keys, menus.listPopup, list, popup, menus);

    // The input popup menu: every item hidden, so right-clicking the field shows nothing; its
    // keys act while the field has the focus and come before the main menu's.
    menus.inputPopup = addMenu(nullptr, &window, {}, u"pmHinzu"_s);
    addRows(
        &window, keys, menus.inputPopup, field,
        {{{tr_("Alles markieren"), key(Qt::CTRL | Qt::Key_A), c.inputSelectAll, true,
           u"mniAllesmarkieren1"_s}},
         {{tr_("Löschen"), key(Qt::Key_Delete), c.inputDelete, true, u"mniLschen2"_s}},
         {{tr_("Cancel"), key(Qt::Key_Escape), c.inputCancel, true, u"mniCancel1"_s}},
         {{tr_("EinheitNachOben"), key(Qt::CTRL | Qt::Key_Up), nullptr, true, u"mniEinheitNachOben1"_s}},
         {{tr_("EinheitNachUnten"), key(Qt::CTRL | Qt::Key_Down), nullptr, true, u"mniEinheitNachUnten1"_s}}},
        menus);
}
