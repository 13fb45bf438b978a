#include "settings_commands.h"

#include "data_folder.h"
#include "log_move.h"
#include "plan_file.h"
#include "records.h"
#include "shell.h"
#include "translate.h"
#include "user_interface.h"
#include "value_text.h"
#include "worklist.h"

#include <QAction>
#include <QFileInfo>

#include <algorithm>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

// A unit or pause longer than a day leaves no room for a plan of that day.
constexpr int longestLength = 24 * 60;

} // namespace

SettingsCommands::MenuView SettingsCommands::menuView(const Settings& s, const ExtraSettings& extras) {
    const auto minutes = [](int n) { return QString::number(n) + tr_(" min"); };
    MenuView v;
    v.unitLength = tr_("Dauer einer Einheit: ") + minutes(s.StandardDauerEinheit);
    v.smallPause = tr_("Standard-Dauer einer kleinen Pause: ") + minutes(s.KleinePause);
    v.bigPause = tr_("Standard-Dauer einer großen Pause: ") + minutes(s.GrossePause);
    v.maxReplan = s.NeuPlanenMax > -1
                      ? tr_("Neu planen ") + QString::number(s.NeuPlanenMax) + tr_(" mal zulässig (") +
                            QString::number(s.Verbleibend) + tr_(" verbleibend)")
                      : tr_("Neu planen unbegrenzt oft zulässig");
    if (s.DefaultSollWert < 0)
        v.defaultTarget = tr_("Default-Soll-Wert: keiner");
    else if (s.DefaultSollWert == 1)
        v.defaultTarget = tr_("Default-Soll-Wert: 1 Einheit pro Tag");
    else
        v.defaultTarget =
            tr_("Default-Soll-Wert: ") + QString::number(s.DefaultSollWert) + tr_(" Einheiten pro Tag");
    v.presence = s.AnwesenheitErforderlich;
    v.sounds = s.Sounds;
    v.lockInPause = s.InPauseSperren;
    v.percentile = s.showPercentileRanking;
    v.foreground = s.InVordergrundDraengen;
    v.askReason = s.GrundVerlangen;
    v.targetAtFirstStart = extras.targetAtFirstStart;
    v.trayIcon = extras.trayIcon;
    v.notifications = extras.notifications;
    return v;
}

void SettingsCommands::refreshMenu(const PlanningMenus::SettingsItems& items) const {
    const MenuView v = menuView(settings(), m_s.records.extras);
    items.unitLength->setText(v.unitLength);
    items.smallPause->setText(v.smallPause);
    items.bigPause->setText(v.bigPause);
    items.maxReplan->setText(v.maxReplan);
    items.presence->setChecked(v.presence);
    items.sounds->setChecked(v.sounds);
    items.lockInPause->setChecked(v.lockInPause);
    items.percentile->setChecked(v.percentile);
    items.foreground->setChecked(v.foreground);
    items.defaultTarget->setText(v.defaultTarget);
    items.targetAtFirstStart->setChecked(v.targetAtFirstStart);
    items.askReason->setChecked(v.askReason);
    items.trayIcon->setChecked(v.trayIcon);
    items.notifications->setChecked(v.notifications);
    if (v.foreground && m_s.startFocusLock)
        m_s.startFocusLock();
}

Settings& SettingsCommands::settings() const {
    return m_s.records.settings;
}

std::optional<int> SettingsCommands::askNumber(const QString& caption, const QString& prompt, int current,
                                               int minimum, int maximum, bool refuseBelow) {
    const std::optional<QString> text = m_s.ui.askText(caption, prompt, QString::number(current));
    int value = 0;
    // Not a number, or a value the plan cannot work with: nothing changes.
    if (!text || !valuetext::readInt(*text, &value) || value > maximum || (refuseBelow && value < minimum))
        return std::nullopt;
    return std::max(value, minimum);
}

bool SettingsCommands::askLength(int Settings::*field, const QString& caption, const QString& prompt) {
    const std::optional<int> value = askNumber(caption, prompt, settings().*field, 1, longestLength, false);
    if (!value)
        return false;
    settings().*field = *value;
    return true;
}

void SettingsCommands::unitLength() {
    if (!askLength(&Settings::StandardDauerEinheit, tr_("Dauer einer Einheit"),
                   tr_("Wie viel min soll eine Einheit dauern?")))
        return;
    // Units still to do take the new length; the schedule refresh moves the times after them.
    m_s.worklist.setPendingUnitLengths(settings().StandardDauerEinheit);
    m_s.records.saveSettings();
}

void SettingsCommands::smallPause() {
    if (askLength(&Settings::KleinePause, tr_("Länge einer kleinen Pause"),
                  tr_("Wie lange soll eine kleine Pause dauern?")))
        m_s.records.saveSettings();
}

void SettingsCommands::bigPause() {
    if (askLength(&Settings::GrossePause, tr_("Länge einer großen Pause"),
                  tr_("Wie lange soll eine große Pause dauern?")))
        m_s.records.saveSettings();
}

void SettingsCommands::maxReplan() {
    const std::optional<int> value =
        askNumber(tr_("Neu planen"),
                  tr_("Wie oft kann der Benutzer neu planen?") + u"\n"_s + tr_("(-1 für unbegrenzt)"),
                  settings().NeuPlanenMax, -1, std::numeric_limits<int>::max(), true);
    if (!value)
        return;
    settings().NeuPlanenMax = *value;
    settings().Verbleibend = *value;
    m_s.records.saveSettings();
}

void SettingsCommands::defaultTarget() {
    // -1 is no usual target: the day's target is then its planned units, never asked.
    const std::optional<int> value =
        askNumber(tr_("Default-Soll-Wert"),
                  tr_("Wie viele Einheiten sollen regelmäßig pro Tag erledigt werden?") + u"\n"_s +
                      tr_("(-1 für keinen)"),
                  settings().DefaultSollWert, -1, longestLength, true);
    if (!value)
        return;
    settings().DefaultSollWert = *value;
    m_s.records.saveSettings();
}

void SettingsCommands::setChecked(Check item, bool checked) {
    if (item == Check::TargetAtFirstStart || item == Check::TrayIcon || item == Check::Notifications) {
        ExtraSettings& extras = m_s.records.extras;
        (item == Check::TrayIcon        ? extras.trayIcon
         : item == Check::Notifications ? extras.notifications
                                        : extras.targetAtFirstStart) = checked;
        m_s.records.saveExtras();
        if (m_s.extrasChanged)
            m_s.extrasChanged();
        return;
    }
    Settings& s = settings();
    switch (item) {
    case Check::Presence:
        s.AnwesenheitErforderlich = checked;
        break;
    case Check::Sounds:
        s.Sounds = checked;
        break;
    case Check::LockInPause:
        s.InPauseSperren = checked;
        break;
    case Check::Percentile:
        s.showPercentileRanking = checked;
        if (checked && m_s.updatePercentile)
            m_s.updatePercentile();
        m_s.worklist.UpdateCaption();
        break;
    case Check::Foreground:
        s.InVordergrundDraengen = checked;
        if (checked && m_s.startFocusLock)
            m_s.startFocusLock();
        break;
    case Check::AskReason:
        s.GrundVerlangen = checked;
        break;
    case Check::TargetAtFirstStart:
    case Check::TrayIcon:
    case Check::Notifications:
        break;
    }
    m_s.records.saveSettings();
}

void SettingsCommands::moveLog() {
    const std::optional<QString> target =
        m_s.ui.askSaveFileName(tr_("Log-Datei speichern unter"),
                               tr_("Textdateien und Logdateien (*.txt *.log)"), settings().LogDateiPfad);
    if (!target || target->isEmpty())
        return;
    const QString from = settings().LogDateiPfad;
    // The plan files and the copies kept of them when lines could not be read.
    QStringList planFiles;
    for (const QString& f :
         {m_s.planFile.worklistPath(), m_s.planFile.routinePath(), m_s.planFile.currentFileName()})
        planFiles << f << PlanFile::backupPath(f);
    const logmove::Result result = logmove::moveActivityLog(m_s.records, *target, planFiles);
    if (result.outcome == logmove::Outcome::Failed) {
        m_s.ui.showMessage(tr_("Die Log-Datei konnte nicht verschoben werden. Sie bleibt unverändert in:") +
                           u"\r\n"_s + from + u"\r\n\r\n"_s + result.error);
    } else if (result.oldLeft) {
        m_s.ui.showMessage(tr_("Die Log-Datei wird ab jetzt hier geführt:") + u"\r\n"_s + *target +
                           u"\r\n\r\n"_s +
                           tr_("Die bisherige Datei konnte nicht gelöscht werden und liegt weiterhin in:") +
                           u"\r\n"_s + from);
    }
}

void SettingsCommands::openDataFolder() {
    m_s.folder.ensureExists();
    m_s.shell.openFile(m_s.folder.path() + u'/');
}

void SettingsCommands::openSettingsFile() {
    // Without a file there is nothing to edit: the editor would show an empty page and the
    // program would end for nothing, with the plan perhaps unsaved (the failure was reported).
    if (!QFileInfo(m_s.records.settingsFile.filePath()).isFile() && !m_s.records.saveSettings())
        return;
    if (m_s.editSettingsFile)
        m_s.editSettingsFile();
    else
        m_s.shell.openFile(m_s.records.settingsFile.filePath());
}
