#pragma once

#include "global_shortcuts.h"
#include "timer_menu.h"

#include <QString>

#include <functional>

class ProgramLauncher;
class UserInterface;

// The Timer window's commands that need no window.
namespace timercommands {

// The question "Beenden" asks before the program ends while today's target is not met; empty:
// none (met, or no target).
QString exitQuestion(int target, int done);
// "Einstellungen" when Settings.ini did not open: the file, the system's reason, and that the
// program keeps running (without an editor, ending would be for nothing).
QString settingsNotOpened(const QString& file, const QString& reason);
// "Auswertung" (in both windows): the evaluation program from the working folder, else the one
// beside the program (programFolder), started with startFile; a message naming the paths tried
// when neither is there, or the one that would not start.
void startEvaluation(ProgramLauncher& launcher, UserInterface& ui,
                     const std::function<bool(const QString&)>& startFile, const QString& programFolder);

enum class KeyCommand { Nothing, Start, PlanningMode, ConfirmPresence };
// What a global key does. The start key starts the plan as "Start" does; while a plan runs it
// brings up the Planning window as "Planungsmodus" does, since re-planning is a step to take
// there on purpose, not by a key pressed in another program. The presence key confirms as
// "Nutzer anwesend" does while that item is shown, and never takes a confirmation back.
KeyCommand commandForKey(GlobalShortcuts::Key key, const timermenu::Situation& situation, bool startEnabled);

} // namespace timercommands
