#pragma once

#include <QString>

#include <functional>

class Clock;
class CompanionProgram;
class DataFolder;
class PlanFile;
class ProgramLauncher;
class Shell;
class UserInterface;
class Worklist;
struct Records;

// Everything the Planning window uses from outside: created by the app before the window.
struct WorklistServices {
    const Clock& clock;
    const DataFolder& folder;
    Records& records;
    CompanionProgram& companion;
    Shell& shell;
    ProgramLauncher& launcher;
    // Messages, reminders and questions (the app's WindowUserInterface).
    UserInterface& ui;
    // The plan and its file, which the window shows and edits; they outlive the window.
    Worklist& worklist;
    PlanFile& planFile;
    // Asked while a long plan file loads: true stops the load, and the file is then not
    // rewritten (a program told to end during start-up must not cut the plan short).
    std::function<bool()> stopLoading = {};
    // The plan runner's start command (F9) and its automatic start (tmrAutoStart); without
    // them no plan can run and the start command only shows the window.
    std::function<void()> startCommand = {};
    std::function<void()> autoStartCommand = {};
    // The Timer window's settings command: opens Settings.ini for editing and ends the program.
    // Without one, "ini-Datei öffnen" only opens the file.
    std::function<void()> settingsCommand = {};
    // The user-interface language ("de", "en"): the user guide is opened in it.
    QString interfaceLanguage = {};
    // The program's folder, with the guide and the licence file in doc/ (the application's
    // folder if empty).
    QString programFolder = {};
    // "Auswertung": starts the evaluation program (the Timer window's command).
    std::function<void()> evaluationCommand = {};
    // A setting of Taktplan-extras.ini changed in the "Einstellungen" menu.
    std::function<void()> extrasChanged = {};
};
