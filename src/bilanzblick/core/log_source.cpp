#include "log_source.h"

#include "data_folder.h"
#include "debug_log.h"
#include "settings.h"
#include "settings_file.h"
#include "text_file.h"
#include "user_interface.h"

#include <QFile>
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

namespace {

bool startsWithByteOrderMark(QByteArrayView bytes) {
    return bytes.size() >= 3 && bytes[0] == '\xEF' && bytes[1] == '\xBB' && bytes[2] == '\xBF';
}

} // namespace

// The file is read in pieces and every line parsed as soon as it is complete: a log of many
// years is never held whole, neither as bytes nor as text. Lines are cut and decoded as
// textfile::splitLines does (CR LF, LF and a lone CR end a line; a byte-order mark at the start
// is dropped).
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
    QFile file(location.path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = file.errorString();
        return result;
    }
    const qint64 size = std::max<qint64>(1, file.size());
    LogDays::Builder builder(location.unitLength, today);
    constexpr qint64 pieceSize = 1 << 20;
    QByteArray pending;
    qint64 consumed = 0;
    qsizetype scanned = 0; // bytes of pending already known to hold no line break
    bool atStart = true;
    int lastPercent = -1;
    for (;;) {
        const QByteArray piece = file.read(pieceSize);
        if (file.error() != QFileDevice::NoError) {
            result.error = file.errorString();
            return result;
        }
        const bool atEnd = piece.isEmpty();
        pending += piece;
        if (atStart && (pending.size() >= 3 || atEnd)) {
            atStart = false;
            if (startsWithByteOrderMark(pending))
                pending.remove(0, 3);
        }
        if (atStart)
            continue;
        qsizetype start = 0;
        const qsizetype n = pending.size();
        qsizetype i = scanned;
        for (; i < n; ++i) {
            const char c = pending[i];
            if (c != '\r' && c != '\n')
                continue;
            // A CR at the end of a piece may be the first half of a CR LF.
            if (c == '\r' && i + 1 == n && !atEnd)
                break;
            builder.add(textfile::decodeLine(QByteArrayView(pending).sliced(start, i - start)));
            if (c == '\r' && i + 1 < n && pending[i + 1] == '\n')
                ++i;
            start = i + 1;
        }
        if (atEnd) {
            if (start < n)
                builder.add(textfile::decodeLine(QByteArrayView(pending).sliced(start)));
            break;
        }
        pending.remove(0, start);
        scanned = i - start;
        consumed += piece.size();
        const int percent = int(std::min<qint64>(99, consumed * 100 / size));
        if (progress && percent != lastPercent) {
            lastPercent = percent;
            if (!progress(percent))
                return result;
        }
    }
    if (progress)
        (void)progress(100);
    result.ok = true;
    result.days = builder.finish();
    return result;
}

} // namespace logsource
