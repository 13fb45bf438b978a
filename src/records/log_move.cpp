#include "log_move.h"

#include "records.h"
#include "text_file.h"
#include "translate.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace logmove {

namespace {

// The files the program writes over whenever it saves them.
bool isRewrittenFile(const Records& records, const QString& to, QStringList files) {
    const Settings& s = records.settings;
    files << records.settingsFile.filePath() << records.debugLogPath() << s.BeginnDerNaechstenEinheitDatei
          << s.Feierabenddatei << s.Mittagspausendatei;
    return std::any_of(files.cbegin(), files.cend(),
                       [&](const QString& f) { return textfile::isSameFile(f, to); });
}

// The log can go to the path: Existing, NoLogYet, Moved (a checked copy lies there) or Failed.
Result copyLog(const QString& from, const QString& to) {
    Result result;
    const QFileInfo target(to);
    if (target.exists()) {
        // A folder (or anything else that is no file) cannot take log entries.
        if (!target.isFile()) {
            result.error = tr_("Am Ziel liegt keine Datei, sondern ein Ordner.");
            return result;
        }
        result.outcome = Outcome::Existing;
        return result;
    }
    if (!target.absoluteDir().exists()) {
        result.error = tr_("Der Zielordner existiert nicht.");
        return result;
    }
    if (!QFileInfo::exists(from)) {
        result.outcome = Outcome::NoLogYet;
        return result;
    }
    if (textfile::copyNewFile(from, to, &result.error))
        result.outcome = Outcome::Moved;
    return result;
}

QString describe(const Result& r) {
    switch (r.outcome) {
    case Outcome::Moved:
        return r.oldLeft ? QStringLiteral("kopiert, alte Datei bleibt (nicht löschbar)")
                         : QStringLiteral("verschoben");
    case Outcome::Existing:
        return QStringLiteral("vorhandene Datei übernommen");
    case Outcome::NoLogYet:
        return QStringLiteral("noch keine Log-Datei vorhanden");
    case Outcome::Failed:
        break;
    }
    return QStringLiteral("NICHT verschoben: ") + r.error;
}

} // namespace

Result moveActivityLog(Records& records, const QString& to, const QStringList& planFiles) {
    const QString from = records.settings.LogDateiPfad;
    Result result;
    if (isRewrittenFile(records, to, planFiles))
        result.error =
            tr_("Diese Datei schreibt Taktplan selbst bei jedem Speichern neu; das Log ginge dort verloren.");
    else
        result = copyLog(from, to);
    if (result.outcome != Outcome::Failed) {
        records.settings.LogDateiPfad = to;
        // Until the settings name the new place, the old file is the one the next start reads.
        if (!records.saveSettings()) {
            records.settings.LogDateiPfad = from;
            if (result.outcome == Outcome::Moved)
                QFile::remove(to);
            result = Result{Outcome::Failed, tr_("Die Einstellungen konnten nicht gespeichert werden.")};
        } else if (result.outcome == Outcome::Moved) {
            result.oldLeft = !QFile::remove(from);
        }
    }
    records.debugLog.AddDebugLine(QStringLiteral("Log-Datei \"") + from + QStringLiteral("\" nach \"") + to +
                                  QStringLiteral("\": ") + describe(result));
    return result;
}

} // namespace logmove
