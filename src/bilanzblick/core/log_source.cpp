#include "log_source.h"

#include "activity_log.h"
#include "data_folder.h"
#include "debug_log.h"
#include "settings.h"
#include "settings_file.h"
#include "text_file.h"
#include "user_interface.h"

#include <QFileInfo>

#include <algorithm>

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

// The file is read in pieces and every line parsed as soon as it is complete: a log of many
// years is never held whole, neither as bytes nor as text, and a line past the bound (a file
// without line breaks) is skipped without being held either.
Loaded load(const Location& location, QDate today, const LogDays::Progress& progress) {
    Loaded result;
    const QFileInfo info(location.path);
    result.exists = info.exists();
    if (!result.exists)
        return result;
    if (info.isDir()) {
        result.refusal = Loaded::Refusal::Folder;
        result.error = QStringLiteral("is a folder");
        return result;
    }
    // A device or a pipe may never end (--log /dev/zero): only a plain file is read.
    if (!info.isFile()) {
        result.refusal = Loaded::Refusal::NotRegularFile;
        result.error = QStringLiteral("is not a regular file");
        return result;
    }
    LogDays::Builder builder(location.unitLength, today);
    int lastPercent = -1;
    const textfile::ReadResult read = textfile::scanLines(
        location.path, ActivityLog::maxLineBytes,
        [&builder](QByteArrayView line, bool overlong) {
            if (overlong)
                builder.skip();
            else
                builder.add(textfile::decodeLine(line));
        },
        [&](qint64 consumed, qint64 size) {
            const int percent = int(std::min<qint64>(99, consumed * 100 / std::max<qint64>(1, size)));
            if (!progress || percent == lastPercent)
                return true;
            lastPercent = percent;
            return progress(percent);
        });
    if (!read.ok) {
        result.error = read.error;
        return result;
    }
    if (progress)
        (void)progress(100);
    result.ok = true;
    result.days = builder.finish();
    return result;
}

} // namespace logsource
