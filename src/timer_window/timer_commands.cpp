#include "timer_commands.h"

#include "program_launcher.h"
#include "translate.h"
#include "user_interface.h"

#include <QDir>
#include <QFileInfo>

namespace timercommands {

namespace {

// The evaluation program's file beside this one, as its build names it.
#ifdef Q_OS_WIN
const QString evaluationProgramFile = QStringLiteral("Bilanzblick.exe");
#else
const QString evaluationProgramFile = QStringLiteral("bilanzblick");
#endif

} // namespace

QString settingsNotOpened(const QString& file, const QString& reason) {
    return tr_("Die Einstellungsdatei konnte nicht geöffnet werden:") + u'\n' +
           QDir::toNativeSeparators(file) + QStringLiteral("\n\n") +
           (reason.isEmpty() ? tr_("Kein Programm zum Bearbeiten gefunden.") : reason) +
           QStringLiteral("\n\n") + tr_("Taktplan läuft weiter; Sie können die Datei selbst öffnen.");
}

QString exitQuestion(int target, int done) {
    if (target <= done)
        return {};
    return tr_("Sie haben heute erst ") + QString::number(done) + tr_(" von ursprünglich ") +
           QString::number(target) +
           tr_(" geplanten Einheiten erledigt. Möchten Sie Taktplan dennoch beenden?");
}

void startEvaluation(ProgramLauncher& launcher, UserInterface& ui,
                     const std::function<bool(const QString&)>& startFile, const QString& programFolder) {
    const QString program = QStringLiteral("Bilanzblick.exe");
    const QString inWorkingFolder = QDir::current().absoluteFilePath(program);
    if (launcher.exists(program)) {
        if (!launcher.start(program, {}))
            ui.showMessage(tr_("Die Auswertung (Bilanzblick) konnte nicht gestartet werden:") + u'\n' +
                           QDir::toNativeSeparators(inWorkingFolder));
        return;
    }
    // An installed program has its evaluation program beside itself, not in the working folder.
    const QFileInfo beside(QDir(programFolder).filePath(evaluationProgramFile));
    if (beside.isFile() && beside.isExecutable()) {
        if (!startFile(beside.absoluteFilePath()))
            ui.showMessage(tr_("Die Auswertung (Bilanzblick) konnte nicht gestartet werden:") + u'\n' +
                           QDir::toNativeSeparators(beside.absoluteFilePath()));
        return;
    }
    ui.showMessage(tr_("Die Auswertung (Bilanzblick) wurde nicht gefunden. Gesucht wurde in:") + u'\n' +
                   QDir::toNativeSeparators(inWorkingFolder) + u'\n' +
                   QDir::toNativeSeparators(beside.absoluteFilePath()));
}

KeyCommand commandForKey(GlobalShortcuts::Key key, const timermenu::Situation& situation, bool startEnabled) {
    if (key == GlobalShortcuts::Key::StartOrPlanning) {
        if (situation.tickRunning)
            return KeyCommand::PlanningMode;
        return startEnabled ? KeyCommand::Start : KeyCommand::Nothing;
    }
    const bool shown = timermenu::stateOf(timermenu::Item::NutzerAnwesend, situation).visible;
    return shown && !situation.presenceConfirmed ? KeyCommand::ConfirmPresence : KeyCommand::Nothing;
}

} // namespace timercommands
