#pragma once

#include <QString>

#include <functional>

class ProgramLauncher;
class UserInterface;

// The Timer window's commands that need no window.
namespace timercommands {

// The question "Beenden" asks before the program ends while today's target is not met; empty:
// none (met, or no target).
QString exitQuestion(int target, int done);
// "Auswertung" (in both windows): the evaluation program from the working folder, else the one
// beside the program (programFolder), started with startFile; a message naming the paths tried
// when neither is there, or the one that would not start.
void startEvaluation(ProgramLauncher& launcher, UserInterface& ui,
                     const std::function<bool(const QString&)>& startFile, const QString& programFolder);

} // namespace timercommands
