#pragma once

#include <QString>

#include <functional>

class Clock;
class CompanionProgram;
class CountdownOverlay;
class PlanFile;
class ProgramLauncher;
class QWidget;
class Shell;
class TFBestaetigung;
class TimerModel;
class UserInterface;
class Worklist;
struct Records;

// Everything the Timer window uses from outside; created by the program before the window.
struct TimerServices {
    const Clock& clock;
    Records& records;
    Worklist& worklist;
    PlanFile& planFile;
    UserInterface& ui;
    CompanionProgram& companion;
    ProgramLauncher& launcher;
    Shell& shell;
    CountdownOverlay& countdown;
    TimerModel& model;
    // The presence confirmation window; may be none.
    TFBestaetigung* presence = nullptr;
    // Puts a window of the program in front of other programs; the program hands in the
    // system's way (bringWindowToFront). Without one, Qt's own raise and activate do it.
    std::function<void(QWidget&)> bringToFront = {};
    // Starts a program file by its full path (QProcess::startDetached if none).
    std::function<bool(const QString&)> startFile = {};
    // Where the program file lies (the application's folder if empty).
    QString programFolder = {};
};

// The services with the defaults above filled in where none was handed in.
TimerServices withDefaults(TimerServices services);
