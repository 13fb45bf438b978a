#pragma once

#include "data_folder.h"

#include <QString>

class SingleInstance;
class SystemClock;

// The first instance's life after the single-instance check: translation, the services, the
// records, the Planning window, the start-up decisions, the event loop, and at the end the plan,
// the debug text and the settings saved.
class StartUp final {
public:
    // Call once the application object exists. firstArgument is the raw first command-line
    // argument (null when there is none).
    StartUp(const SystemClock& clock, DataFolder folder, SingleInstance& instance, QString firstArgument);

    int run();

private:
    void setUpTranslation();

    const SystemClock& m_clock;
    DataFolder m_folder;
    SingleInstance& m_instance;
    QString m_firstArgument;
};
