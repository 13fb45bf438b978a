#pragma once

#include "data_folder.h"
#include "single_instance.h"

#include <QString>
#include <QTranslator>

#include <memory>

class SystemClock;

// The first instance's life after the single-instance check: translation, the services, the
// records, the Planning window, the start-up decisions, the event loop, and at the end the plan,
// the debug text and the settings saved.
class StartUp final {
public:
    // Call once the application object exists. claim: how the single-instance check went (First
    // or Unchecked). firstArgument is the raw first command-line argument (null when none).
    StartUp(const SystemClock& clock, DataFolder folder, SingleInstance& instance,
            SingleInstance::Claim claim, QString firstArgument);

    int run();

private:
    // The message for the user when the catalogue had to be turned off, else "".
    QString setUpTranslation();

    const SystemClock& m_clock;
    DataFolder m_folder;
    SingleInstance& m_instance;
    SingleInstance::Claim m_claim;
    QString m_firstArgument;
    std::unique_ptr<QTranslator> m_qtTranslator;
    // The language the texts are shown in: the chosen catalogue's, or "de" (the texts of the
    // sources) when none is in use.
    QString m_interfaceLanguage = QStringLiteral("de");
};
