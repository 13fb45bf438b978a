#pragma once

class Clock;
class CompanionProgram;
class DataFolder;
class ProgramLauncher;
class Shell;
struct Records;

// Everything the Planning window uses from outside: created by the app before the window.
struct WorklistServices {
    const Clock& clock;
    const DataFolder& folder;
    Records& records;
    CompanionProgram& companion;
    Shell& shell;
    ProgramLauncher& launcher;
};
