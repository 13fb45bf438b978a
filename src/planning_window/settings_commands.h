#pragma once

#include "planning_menus.h"

#include <QString>

#include <functional>
#include <optional>

class DataFolder;
class PlanFile;
class Shell;
class UserInterface;
class Worklist;
struct Records;
struct ExtraSettings;
struct Settings;

// The "Einstellungen" menu: what its items show, and their commands. Each command asks through
// UserInterface and saves the settings at once; the window only places the items and hands in
// their check marks.
class SettingsCommands {
public:
    // The items' captions and check marks for the settings as they are.
    struct MenuView {
        QString unitLength;
        QString smallPause;
        QString bigPause;
        QString maxReplan;
        QString defaultTarget;
        bool presence = false;
        bool sounds = false;
        bool lockInPause = false;
        bool percentile = false;
        bool foreground = false;
        bool askReason = false;
        bool targetAtFirstStart = false;
        bool trayIcon = false;
        bool notifications = false;
    };
    static MenuView menuView(const Settings& settings, const ExtraSettings& extras);
    // The items brought up to the settings as the menu opens; with the foreground setting on,
    // the focus lock comes back too (after a dialog that did not restore it, say).
    void refreshMenu(const PlanningMenus::SettingsItems& items) const;

    // The last three live in Taktplan-extras.ini, not in Settings.ini.
    enum class Check {
        Presence,
        Sounds,
        LockInPause,
        Percentile,
        Foreground,
        AskReason,
        TargetAtFirstStart,
        TrayIcon,
        Notifications
    };

    struct Services {
        Records& records;
        UserInterface& ui;
        Worklist& worklist;
        PlanFile& planFile;
        const DataFolder& folder;
        Shell& shell;
        // Opens Settings.ini for editing and ends the program; without one the file is only opened.
        std::function<void()> editSettingsFile;
        // Recomputes the percentile rank (switched on).
        std::function<void()> updatePercentile;
        // The focus lock comes back (the foreground setting switched on).
        std::function<void()> startFocusLock;
        // A setting of Taktplan-extras.ini changed (the tray icon comes or goes).
        std::function<void()> extrasChanged = {};
    };
    explicit SettingsCommands(Services services) : m_s(std::move(services)) {}

    // The number dialogs; a cancelled or unusable answer changes nothing and saves nothing.
    void unitLength();
    void smallPause();
    void bigPause();
    void maxReplan();
    void defaultTarget();
    // A check item clicked: checked is its new mark.
    void setChecked(Check item, bool checked);
    void moveLog();
    void openDataFolder();
    void openSettingsFile();

private:
    Settings& settings() const;
    // A whole number asked with the current value pre-filled; none when cancelled, not a
    // number, or outside minimum..maximum (a value below minimum is refused only when
    // refuseBelow is set; else it becomes minimum).
    std::optional<int> askNumber(const QString& caption, const QString& prompt, int current, int minimum,
                                 int maximum, bool refuseBelow);
    // A number dialog for a length in minutes; true when the field changed.
    bool askLength(int Settings::*field, const QString& caption, const QString& prompt);

    Services m_s;
};
