#pragma once

#include "taktplan_version.h"

#include <QString>

#include <functional>

class ProgramLauncher;

// The companion program "Taktplan_AutoHotkey_Helper.exe", started by bare file name from the
// working folder with one command word; the program never waits for it nor reads anything
// back. The two calls that test for the file first take a fallback.
class CompanionProgram {
public:
    static constexpr const char* fileName = "Taktplan_AutoHotkey_Helper.exe";
    static constexpr const char* version = TAKTPLAN_VERSION;

    explicit CompanionProgram(ProgramLauncher& launcher);

    bool isPresent() const;

    void versionCheck();                                       // "2.2" at start and once a day
    void notifyUpdates(const std::function<void()>& fallback); // "2.2 notify", else fallback
    void bringToFront(const std::function<void()>& fallback);  // "front", else fallback
    void alwaysOnTop();                                        // "alwaysOnTop"
    void restartAfterClose();                                  // "start"
    void restart();                                            // "restart"
    void editSettings();                                       // "ini"

private:
    void run(const QString& parameters);
    ProgramLauncher& m_launcher;
};
