#include "log_source.h"

#include "data_folder.h"
#include "debug_log.h"
#include "settings.h"
#include "settings_file.h"
#include "text_file.h"
#include "user_interface.h"

#include <QFileInfo>

namespace logsource {

namespace {

// The settings are only read here: nothing is shown, nothing is asked.
class SilentUi final : public UserInterface {
public:
    void showMessage(const QString&) override {}
    void showReminder(const QString&, const QString&) override {}
};

} // namespace

Location locate(const Clock& clock, const DataFolder& folder, const QString& overridePath) {
    SilentUi ui;
    DebugLog debugLog(clock);
    SettingsFile file(folder, debugLog, ui);
    Settings settings;
    // Reading the settings of a first start would create the data folder: an evaluation leaves
    // no trace, so without a settings file the defaults stand.
    if (QFileInfo::exists(file.filePath()))
        file.LoadSettings(settings);
    Location location{settings.LogDateiPfad, settings.StandardDauerEinheit};
    if (location.path.isEmpty())
        location.path = file.defaultLogPath();
    if (!overridePath.isEmpty())
        location.path = overridePath;
    return location;
}

Loaded load(const Location& location, QDate today, const LogDays::Progress& progress) {
    Loaded result;
    const QFileInfo info(location.path);
    result.exists = info.exists();
    if (!result.exists)
        return result;
    if (info.isDir()) {
        result.error = QStringLiteral("is a folder");
        return result;
    }
    textfile::ReadResult read = textfile::readLines(location.path);
    if (!read.ok) {
        result.error = read.error;
        return result;
    }
    result.ok = true;
    result.days = LogDays::fromLines(read.lines, location.unitLength, today, progress);
    return result;
}

} // namespace logsource
