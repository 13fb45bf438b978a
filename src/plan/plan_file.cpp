#include "plan_file.h"

#include "clock.h"
#include "data_folder.h"
#include "debug_log.h"
#include "plan_entry.h"
#include "plan_minutes.h"
#include "plan_time.h"
#include "settings.h"
#include "text_file.h"
#include "translate.h"
#include "typed_entry.h"
#include "user_interface.h"
#include "worklist.h"

#include <QFileInfo>

#include <algorithm>
#include <utility>

namespace {

const QString pausePrefix = QStringLiteral("Pause: ");
const QString runningMark = QStringLiteral("{{WIP}}");
const QString durationMark = QStringLiteral("///");
const QString timeMark = QStringLiteral("|||");
using planvocab::statusPending;
using planvocab::statusRunning;

using textfile::oneLine;

} // namespace

struct PlanFile::ParsedLine {
    QString title;
    bool isPause = false;
    QDateTime start;
    int duration = 0;
    bool fixed = false;
    QString status = statusPending;
    bool tomorrowFlag = false;
    bool titleAdjusted = false; // a hand-edited title the plan file could not give back as it is
};

PlanFile::PlanFile(Worklist& worklist, const Clock& clock, const Settings& settings, const DataFolder& folder,
                   DebugLog& debugLog, UserInterface& ui)
    : m_worklist(worklist), m_clock(clock), m_settings(settings), m_folder(folder), m_debugLog(debugLog),
      m_ui(ui) {}

QStringList PlanFile::planLines(const QList<PlanEntry>& entries, bool withFinished, bool withDates) {
    QStringList lines;
    lines.reserve(entries.size());
    for (const PlanEntry& e : entries) {
        const QString dateSuffix = withDates ? QLatin1Char(' ') + e.date : QString();
        const QString fixedPart = timeMark + e.startTime + dateSuffix;
        if (e.isPause()) {
            QString line = pausePrefix + e.duration;
            if (e.displayText.contains(QLatin1Char('(')))
                line += QLatin1Char(' ') + oneLine(e.pauseTitle());
            if (e.isFixed())
                line += fixedPart;
            lines.append(line);
            continue;
        }
        const QString plain = oneLine(e.displayText) + durationMark + e.duration;
        if (e.isPending())
            lines.append(e.isFixed() ? plain + fixedPart : plain);
        else if (withFinished)
            lines.append(plain);
        if (e.isRunning())
            lines.append(runningMark + plain + fixedPart);
    }
    return lines;
}

bool PlanFile::IsFileLocked(const QString& fileName) {
    // A folder of that name is no file another program holds: saving must fail visibly.
    return textfile::isLocked(fileName);
}

bool PlanFile::isRecordsFile(const QString& fileName) const {
    // The activity log and the settings are whole histories and choices, not plans: a plan saved
    // over them (say, after the log was opened as a plan) would wipe them.
    for (const QString& own : {m_settings.LogDateiPfad, m_folder.filePath(QStringLiteral("Settings.ini")),
                               m_folder.filePath(QStringLiteral("debug_log.txt"))}) {
        if (textfile::isSameFile(own, fileName))
            return true;
    }
    return false;
}

bool PlanFile::SavePlan(const QString& fileName, bool withFinished, bool withDates) {
    textfile::WriteError error;
    if (isRecordsFile(fileName)) {
        error.text =
            tr_("Diese Datei ist das Log oder die Einstellungen von Taktplan; ein Plan darf sie nicht "
                "ersetzen.");
    } else if (IsFileLocked(fileName)) {
        // Left alone: the next save writes the whole plan anyway. A lock that stays still keeps
        // the user's changes off the disk, so it is reported like any other failure.
        error.text = tr_("Die Datei ist schreibgeschützt oder von einem anderen Programm geöffnet.");
    } else if (textfile::writeLines(fileName, planLines(m_worklist.entries(), withFinished, withDates),
                                    &error)) {
        m_unsavedFiles.remove(fileName);
        return true;
    }
    m_debugLog.AddDebugLine(QStringLiteral("Speichern des Plans fehlgeschlagen: ") + fileName +
                            QStringLiteral(" | ") + error.text);
    reportUnsaved(fileName, error);
    return false;
}

void PlanFile::reportUnsaved(const QString& fileName, const textfile::WriteError& error) {
    // Every change saves the plan: one message per file until a save succeeds again, not one per
    // keystroke.
    if (m_unsavedFiles.contains(fileName))
        return;
    m_unsavedFiles.insert(fileName);
    const QString reason =
        error.folderRefusesNewFiles
            ? tr_("Der Ordner erlaubt keine neuen Dateien. Zum sicheren Speichern wird die neue Fassung "
                  "zuerst als eigene Datei daneben geschrieben. Bitte speichern Sie den Plan in einem "
                  "anderen Ordner.")
            : error.text;
    m_ui.showMessage(tr_("Der Plan kann nicht gespeichert werden. Änderungen gehen beim Beenden verloren, "
                         "solange das Speichern fehlschlägt.") +
                     QStringLiteral("\n\n") + tr_("Datei:") + QLatin1Char(' ') + fileName +
                     QLatin1Char('\n') + tr_("Grund:") + QLatin1Char(' ') + reason);
}

namespace {

// What a length field looks like when it is meant as a number, in range or not.
bool isWholeNumberText(QStringView text) {
    if (!text.isEmpty() && (text.front() == QLatin1Char('+') || text.front() == QLatin1Char('-')))
        text = text.mid(1);
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) {
        return c >= QLatin1Char('0') && c <= QLatin1Char('9');
    });
}

// A length the plan can hold: not negative (the end would come before the start), not zero for a
// unit, and not so long that the entry would end past the last date a text can hold.
int readDuration(QStringView text, bool isPause) {
    int minutes = 0;
    if (!planminutes::tryReadInt(text.toString(), &minutes) ||
        !planminutes::isSensibleDuration(minutes, isPause))
        throw plantime::ConversionError(text.toString());
    return minutes;
}

} // namespace

PlanFile::ParsedLine PlanFile::parseLine(QString line, const QDateTime& now, bool tomorrowFlag) const {
    ParsedLine r;
    r.tomorrowFlag = tomorrowFlag;
    r.isPause = line.startsWith(pausePrefix);

    // A unit line ends in "///" Minutes ["|||" Time [" " Date]], and neither part holds "///",
    // so its title is everything before the last "///", whatever marks the title itself
    // contains. A pause title holds no "|||" (the input sees to that), so a pause line is cut at
    // its first one.
    QString timePart;
    bool hasTime = false;
    QString lengthText;
    bool hasLength = false;
    if (!r.isPause) {
        // The writer puts the running mark only in front; elsewhere it belongs to the title.
        if (line.startsWith(runningMark)) {
            r.status = statusRunning;
            line.remove(0, runningMark.size());
        }
        const qsizetype slashes = line.lastIndexOf(durationMark);
        if (slashes >= 0) {
            lengthText = line.mid(slashes + durationMark.size());
            line.truncate(slashes);
            hasLength = true;
            const qsizetype bars = lengthText.indexOf(timeMark);
            if (bars >= 0) {
                timePart = lengthText.mid(bars + timeMark.size());
                lengthText.truncate(bars);
                hasTime = true;
            }
        }
    }
    if (!hasLength) {
        const qsizetype bars = line.indexOf(timeMark);
        if (bars >= 0) {
            timePart = line.mid(bars + timeMark.size());
            line.truncate(bars);
            hasTime = true;
        }
    }

    const QDate today = now.date();
    if (hasTime) {
        const qsizetype blank = timePart.indexOf(QLatin1Char(' '));
        if (blank >= 0) {
            const QString dateText = timePart.mid(blank + 1);
            const QDate day = dateText.isEmpty() ? today : plantime::parseDate(dateText);
            r.start = plantime::wall(day, plantime::parseTime(timePart.left(blank)));
        } else {
            // An undated time is its next occurrence; once one has gone to tomorrow, all later
            // ones of the file go there too.
            const QTime time = plantime::parseTime(timePart);
            if (r.tomorrowFlag) {
                r.start = plantime::wall(today.addDays(1), time);
            } else if (plantime::wall(today, time) < now) {
                r.start = plantime::wall(today.addDays(1), time);
                r.tomorrowFlag = true;
            } else {
                r.start = plantime::wall(today, time);
            }
        }
        r.fixed = true;
    } else {
        r.start = now;
    }

    if (r.isPause) {
        QString number = line.mid(pausePrefix.size());
        const qsizetype blank = number.indexOf(QLatin1Char(' '));
        if (blank >= 0)
            number.truncate(blank);
        if (isWholeNumberText(number)) {
            r.duration = readDuration(number, true);
            const qsizetype first = line.indexOf(QLatin1Char(' '));
            const qsizetype second = line.indexOf(QLatin1Char(' '), first + 1);
            r.title = second >= 0 ? line.mid(second + 1) : QString();
        } else {
            // Not an error: a pause without a number is the big pause.
            r.duration = m_settings.GrossePause;
            r.title = line.mid(pausePrefix.size());
        }
    } else {
        r.duration = hasLength ? readDuration(lengthText, false) : m_settings.StandardDauerEinheit;
        // A title such as "Bericht [x]" would make the activity log take the unit for finished
        // as soon as its line is written; it gets the same change as a typed one.
        TypedEntry::Adjustment why = TypedEntry::Adjustment::None;
        r.title = TypedEntry::storableTitle(line, false, &why);
        r.titleAdjusted = why != TypedEntry::Adjustment::None;
    }

    // The entry must end within the years a date text holds, or the plan could not be saved.
    const planminutes::Minute start = planminutes::fromDateTime(r.start);
    if (start < planminutes::firstMinute() || start + r.duration > planminutes::lastMinute())
        throw plantime::ConversionError(line);
    return r;
}

bool PlanFile::LoadPlan(const QString& fileName, const std::function<bool()>& stopRequested) {
    if (!QFileInfo::exists(fileName)) {
        m_loadInterrupted = false;
        return true;
    }
    textfile::ReadResult read = textfile::readLines(fileName);
    if (!read.ok)
        read = textfile::readLines(fileName);
    if (!read.ok) {
        m_debugLog.AddDebugLine(QStringLiteral("Laden des Plans fehlgeschlagen: ") + fileName +
                                QStringLiteral(" | ") + read.error);
        m_ui.showMessage(QStringLiteral("Der Plan konnte nicht geladen werden.\n\nDatei: ") + fileName +
                         QStringLiteral("\nFehler: ") + read.error);
        return false;
    }
    // A byte-order mark in front (editors that save UTF-8 like to add one) is gone already.
    QStringList& lines = read.lines;

    // Every line is read before the plan changes, so a stop request leaves the plan as it was.
    const QDateTime now = plantime::now(m_clock);
    bool tomorrowFlag = false;
    QStringList badLines;
    QStringList adjustedTitles;
    QList<ParsedLine> parsed;
    parsed.reserve(lines.size());
    constexpr qsizetype linesBetweenStopChecks = 256;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (stopRequested && i % linesBetweenStopChecks == 0 && stopRequested()) {
            m_loadInterrupted = true;
            m_debugLog.AddDebugLine(QStringLiteral("Laden des Plans abgebrochen: ") + fileName);
            return false;
        }
        try {
            parsed.append(parseLine(lines.at(i), now, tomorrowFlag));
        } catch (const plantime::ConversionError&) {
            // One bad line must not cost the rest of the plan.
            badLines.append(QStringLiteral("Zeile %1: %2").arg(i + 1).arg(lines.at(i)));
            continue;
        }
        tomorrowFlag = parsed.last().tomorrowFlag;
        if (parsed.last().titleAdjusted)
            adjustedTitles.append(QStringLiteral("Zeile %1: %2").arg(i + 1).arg(parsed.last().title));
    }
    m_loadInterrupted = false;

    QString scheduleError;
    try {
        m_worklist.ClearOpenEntries();
    } catch (const plantime::ConversionError& e) {
        // Only the caption failed; the open entries are gone.
        scheduleError = e.text();
    }
    QList<Worklist::NewEntry> added;
    added.reserve(parsed.size());
    for (const ParsedLine& entry : std::as_const(parsed))
        added.append({entry.title, entry.isPause, entry.start, entry.duration, entry.fixed, entry.status});
    try {
        // As if each line were added on its own, so a file gives the plan it was written from;
        // then the schedule once more, as after any load.
        m_worklist.addEntries(added);
        m_worklist.RecomputeSchedule();
        m_worklist.UpdateCaption();
    } catch (const plantime::ConversionError& e) {
        scheduleError = e.text();
    }
    if (!scheduleError.isEmpty())
        m_debugLog.AddDebugLine(QStringLiteral("Plan nach dem Laden nicht berechenbar: '") + scheduleError +
                                QStringLiteral("' ist kein gültiger Wert"));

    if (!adjustedTitles.isEmpty())
        reportAdjustedTitles(fileName, adjustedTitles);
    if (!badLines.isEmpty()) {
        for (const QString& bad : badLines)
            m_debugLog.AddDebugLine(QStringLiteral("Plandatei ") + fileName + QStringLiteral(": ") + bad +
                                    QStringLiteral(" übersprungen"));
        QString backup;
        const bool kept = keepBackup(fileName, &backup);
        // The message must fit on a screen, or its button and the backup's name are out of reach;
        // the debug log has every line.
        constexpr qsizetype shownLines = 20;
        constexpr qsizetype shownChars = 120;
        QStringList shown;
        for (const QString& bad : badLines.first(std::min(shownLines, badLines.size())))
            shown.append(bad.size() > shownChars ? bad.left(shownChars) + QStringLiteral("...") : bad);
        if (badLines.size() > shownLines)
            shown.append(tr_("... und %1 weitere (alle im Debug-Log)").arg(badLines.size() - shownLines));
        QString text =
            tr_("Einige Zeilen der Plandatei konnten nicht gelesen werden und wurden übersprungen. "
                "Alle übrigen Einträge wurden geladen.") +
            QStringLiteral("\n\n") + tr_("Datei:") + QLatin1Char(' ') + fileName + QStringLiteral("\n\n") +
            shown.join(QLatin1Char('\n')) + QStringLiteral("\n\n");
        if (kept)
            text += tr_("Die Datei wurde unverändert gesichert als:") + QLatin1Char(' ') + backup;
        else
            text += tr_("Die Datei konnte nicht gesichert werden") + QStringLiteral(" (") + backup +
                    QStringLiteral(").");
        m_ui.showMessage(text);
    }
    return true;
}

void PlanFile::reportAdjustedTitles(const QString& fileName, const QStringList& adjusted) {
    for (const QString& line : adjusted)
        m_debugLog.AddDebugLine(QStringLiteral("Plandatei ") + fileName + QStringLiteral(": ") + line +
                                QStringLiteral(" Titel angepasst"));
    constexpr qsizetype shownLines = 20;
    QStringList shown = adjusted.first(std::min(shownLines, adjusted.size()));
    if (adjusted.size() > shownLines)
        shown.append(tr_("... und %1 weitere (alle im Debug-Log)").arg(adjusted.size() - shownLines));
    m_ui.showReminder(tr_("Titel angepasst"),
                      tr_("Einige Titel der Plandatei wurden angepasst, damit sie nach einem Neustart gleich "
                          "bleiben:") +
                          QStringLiteral("\n\n") + tr_("Datei:") + QLatin1Char(' ') + fileName +
                          QStringLiteral("\n\n") + shown.join(QLatin1Char('\n')));
}

bool PlanFile::keepBackup(const QString& fileName, QString* backup) {
    // A byte-for-byte copy: the next save rewrites the file without the lines it could not read,
    // and this copy is where the user finds them again. An older backup only goes once the new
    // one is complete.
    *backup = backupPath(fileName);
    const bool ok = textfile::replaceWithCopy(fileName, *backup);
    if (!ok)
        m_debugLog.AddDebugLine(QStringLiteral("Sicherungskopie der Plandatei fehlgeschlagen: ") + *backup);
    return ok;
}

QString PlanFile::worklistPath() const {
    return m_folder.filePath(QStringLiteral("worklist.log"));
}

QString PlanFile::routinePath() const {
    return m_folder.filePath(QStringLiteral("lastroutine.log"));
}

QString PlanFile::backupPath(const QString& fileName) {
    return fileName + QStringLiteral(".bak");
}

bool PlanFile::saveWorklist() {
    // What is in memory is not the whole plan: the file keeps the user's plan.
    if (m_loadInterrupted)
        return false;
    return SavePlan(worklistPath(), false, true);
}

bool PlanFile::loadWorklist(const std::function<bool()>& stopRequested) {
    return LoadPlan(worklistPath(), stopRequested);
}

bool PlanFile::saveRoutine() {
    return SavePlan(routinePath(), false, false);
}

bool PlanFile::loadRoutine() {
    return LoadPlan(routinePath());
}

bool PlanFile::open(const QString& fileName) {
    m_currentFileName = fileName;
    return LoadPlan(fileName);
}

PlanFile::SaveOutcome PlanFile::saveToCurrent() {
    if (m_currentFileName.isEmpty())
        return SaveOutcome::NeedsFileName;
    return SavePlan(m_currentFileName, false, false) ? SaveOutcome::Saved : SaveOutcome::Failed;
}

bool PlanFile::saveTo(const QString& fileName) {
    return SavePlan(fileName, false, false);
}

bool PlanFile::saveAs(const QString& fileName) {
    m_currentFileName = fileName;
    return SavePlan(fileName, true, false);
}
