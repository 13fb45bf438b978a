#pragma once

class Clock;
class CompanionProgram;
class DataFolder;
class ProgramLauncher;
class Shell;
class UserInterface;
struct Records;

// Everything the Planning window uses from outside: created by the app before the window.
struct WorklistServices {
    const Clock& clock;
    const DataFolder& folder;
    Records& records;
    CompanionProgram& companion;
    Shell& shell;
    ProgramLauncher& launcher;
    // Messages and reminders (the app's WindowUserInterface); the window makes its own when
    // none is given.
    UserInterface* ui = nullptr;
};
