#include "activity_log.h"

#include "clock.h"
#include "debug_log.h"
#include "settings.h"
#include "text_file.h"
#include "translate.h"
#include "user_interface.h"
#include "value_text.h"

#include <QFileInfo>
#include <QSet>

namespace {

const QString crlf = QStringLiteral("\r\n");
constexpr QStringView finishMarkText = u" [x]";
constexpr QStringView targetWord = u"SOLL";
constexpr QStringView replanText = u"--- NEU GEPLANT ---";

// Positions of the stamp, counted from 0 (the file format counts from 1).
constexpr qsizetype dateAt = 4;     // "dd.mm.yyyy"
constexpr qsizetype timeAt = 15;    // "hh:nn", or "SOLL:" on target lines
constexpr qsizetype markAt = 20;    // "|" on unit lines, else a blank
constexpr qsizetype restAt = 21;    // length + title, title, or the re-planning text
constexpr qsizetype minTitled = 22; // a line must be longer than this to carry a title

QStringView withoutFinishMark(QStringView line) {
    return line.endsWith(finishMarkText) ? line.chopped(finishMarkText.size()) : line;
}

bool isTargetLine(QStringView line) {
    return line.size() >= timeAt + targetWord.size() && line.mid(timeAt, targetWord.size()) == targetWord;
}

bool isReplanLine(QStringView line) {
    return line.size() >= restAt + replanText.size() && line.mid(restAt, replanText.size()) == replanText;
}

bool isUnitMark(QStringView line) {
    return line.size() > markAt && line[markAt] == QLatin1Char('|');
}

// The title part of a line already known to be a unit line without its finish mark.
QStringView titlePart(QStringView line) {
    const QStringView rest = line.mid(restAt);
    if (!isUnitMark(line))
        return rest;
    // "25 Bericht schreiben": only the first blank ends the length. A rest without a blank is
    // a length alone, not a title.
    const qsizetype blank = rest.indexOf(QLatin1Char(' '));
    return blank < 0 ? QStringView() : rest.mid(blank + 1);
}

int twoDigits(QStringView text, qsizetype at) {
    const QChar a = text[at];
    const QChar b = text[at + 1];
    if (!a.isDigit() || !b.isDigit() || a.unicode() > '9' || b.unicode() > '9')
        return -1;
    return (a.unicode() - '0') * 10 + (b.unicode() - '0');
}

// "dd.mm.yyyy" at the date position, exactly as the writers put it (the readers compare the
// field as text); invalid QDate otherwise.
QDate dateField(QStringView line) {
    if (line.size() < dateAt + 10 || line[dateAt + 2] != QLatin1Char('.') ||
        line[dateAt + 5] != QLatin1Char('.'))
        return {};
    const int day = twoDigits(line, dateAt);
    const int month = twoDigits(line, dateAt + 3);
    const int century = twoDigits(line, dateAt + 6);
    const int year = twoDigits(line, dateAt + 8);
    if (day < 0 || month < 0 || century < 0 || year < 0)
        return {};
    return QDate(century * 100 + year, month, day);
}

// "hh:nn" at the time position; invalid QTime when the field is not a time.
QTime timeField(QStringView line) {
    if (line.size() < timeAt + 5 || line[timeAt + 2] != QLatin1Char(':'))
        return {};
    const int h = twoDigits(line, timeAt);
    const int m = twoDigits(line, timeAt + 3);
    if (h < 0 || m < 0)
        return {};
    return QTime(h, m);
}

// A title or reason is written on one line: a line break inside would start a line of its own
// that every reader would misread.
using textfile::oneLine;

QString errorText(const QString& start, const QString& path) {
    return start + QStringLiteral("Mögliche Ursachen: ") + crlf +
           QStringLiteral("- Sie wird von einem anderen Programm verwendet.") + crlf +
           QStringLiteral("- Sie wurde in einem Remote-Ordner gespeichert, der gerade nicht verfügbar ist.") +
           crlf + crlf + QStringLiteral("Logdatei: ") + path + crlf + crlf +
           QStringLiteral(
               "Tipp: Unter Einstellungen > Log-Datei speichern unter... kann geändert werden, wo die "
               "Logdatei gespeichert werden soll.");
}

const QString errorCaption = QStringLiteral("Taktplan - Fehler");

} // namespace

ActivityLog::ActivityLog(const Clock& clock, const Settings& settings, DebugLog& debugLog, UserInterface& ui)
    : m_clock(clock), m_settings(settings), m_debugLog(debugLog), m_ui(ui) {}

QString ActivityLog::path() const {
    return m_settings.LogDateiPfad;
}

// --- writing and reading ----------------------------------------------------------------

bool ActivityLog::WriteLogEntry(const QString& text, bool withStamp) {
    const QString logPath = path();
    QString note = QStringLiteral("Schreibe in Log-Datei: \"") + logPath + QLatin1Char('"');
    if (QFileInfo::exists(logPath))
        note += QStringLiteral(" LogDatei geöffnet. Hänge an (Append).");
    else
        note += QStringLiteral(
            " LogDatei konnte beim ersten Versuch nicht geöffnet werden. Erstelle neu (Rewrite).");

    QString entry = text;
    if (withStamp) {
        const QDateTime now = m_clock.localNow();
        entry = crlf + stamp(QDateTime(now.date(), now.time(), Qt::UTC)) + QLatin1Char(' ') + text;
    }

    // Appending only: whatever goes wrong, the lines already in the file stay as they are.
    QString error;
    const bool ok = textfile::appendText(logPath, entry, &error);
    if (ok) {
        note += QStringLiteral(" Beschreiben erfolgreich.");
        m_errorShownPath.clear();
    } else {
        note += QStringLiteral(" Beschreiben NICHT erfolgreich. Fehler: EInOutError | ") + error;
        if (m_errorShownPath.isEmpty()) {
            m_errorShownPath = logPath;
            m_ui.showReminder(
                errorCaption,
                errorText(QStringLiteral("Die Logdatei konnte leider nicht beschrieben werden. "), logPath));
        }
    }
    m_debugLog.AddDebugLine(note);
    // The reload belongs to this write: when the write failed, a readable file must not re-arm
    // the message, or a log that can be read but not written (a read-only file, a full disk)
    // would show the same message at every unit.
    const QString shownBeforeReload = m_errorShownPath;
    LoadLog();
    if (!ok && !shownBeforeReload.isEmpty())
        m_errorShownPath = shownBeforeReload;
    return ok;
}

bool ActivityLog::CreateIfMissing() {
    const QString logPath = path();
    if (QFileInfo::exists(logPath))
        return true;
    // Appending nothing creates the file the way the first entry would, and can harm no line.
    QString error;
    const bool ok = textfile::appendText(logPath, QString(), &error);
    m_debugLog.AddDebugLine(QStringLiteral("Leere Log-Datei angelegt: \"") + logPath + QLatin1Char('"') +
                            (ok ? QString() : QStringLiteral(" NICHT erfolgreich. Fehler: ") + error));
    if (!ok)
        m_ui.showMessage(tr_("Die Logdatei gibt es noch nicht, und sie konnte nicht angelegt werden.") +
                         QStringLiteral("\n\n") + tr_("Datei:") + QLatin1Char(' ') + logPath +
                         QStringLiteral("\n") + tr_("Fehler:") + QLatin1Char(' ') + error);
    return ok;
}

bool ActivityLog::LoadLog() {
    const QString logPath = path();
    QString note;
    textfile::ReadResult read = textfile::readLines(logPath, maxLineBytes);
    if (read.ok) {
        m_lines = std::move(read.lines);
        m_errorShownPath.clear();
        note = QStringLiteral(" Einträge: ") + QString::number(m_lines.size()) +
               QStringLiteral(". Laden erfolgte fehlerfrei.");
        if (read.skippedLines > 0)
            note += QStringLiteral(" Überlange Zeilen übersprungen: ") + QString::number(read.skippedLines);
    } else {
        note = QStringLiteral(" Öffnen NICHT erfolgreich. Fehler: EFOpenError | ") + read.error;
        // A log that does not exist yet is normal before the first unit; only a file that is
        // there and cannot be read is worth the user's attention.
        if (QFileInfo::exists(logPath) && m_errorShownPath.isEmpty()) {
            m_errorShownPath = logPath;
            m_ui.showReminder(
                errorCaption,
                errorText(QStringLiteral("Die Logdatei konnte leider nicht geladen werden. "), logPath));
        }
    }
    m_debugLog.AddDebugLine(QStringLiteral("Lade Log-Datei: \"") + logPath + QLatin1Char('"') + note);
    return read.ok;
}

// --- readers ----------------------------------------------------------------------------

int ActivityLog::TargetForDay(QDate day) const {
    const QString dayText = valuetext::formatDate(day);
    // The last target line of the day wins, so the search runs backwards.
    for (qsizetype i = m_lines.size() - 1; i >= 0; --i) {
        const QStringView line = m_lines[i];
        if (!isTargetLine(line) || line.mid(dateAt, 10) != dayText)
            continue;
        int target = 0;
        // A hand-edited line without a number is passed over rather than taken as 0.
        if (valuetext::readInt(line.mid(restAt), &target))
            return target;
    }
    return -1000;
}

QList<FinishedUnit> ActivityLog::FinishedUnits(QDate day) const {
    QList<FinishedUnit> units;
    const QString dayText = valuetext::formatDate(day);
    for (const QString& text : m_lines) {
        const QStringView full = text;
        // The cheap checks first: only the day's finished lines are worth reading whole.
        if (!full.endsWith(finishMarkText) || full.mid(dateAt, 10) != dayText)
            continue;
        const LogLine line = parseLine(full, m_settings.StandardDauerEinheit);
        if (!line.isUnit())
            continue;
        units.append(FinishedUnit{line.title, QDateTime(day, line.time, Qt::UTC), line.minutes});
    }
    return units;
}

LogLine ActivityLog::parseLine(QStringView full, int oldUnitMinutes) {
    LogLine result;
    if (full.trimmed().isEmpty())
        return result;
    result.kind = LogLine::Kind::Unreadable;
    // The date must stand exactly as the writers put it: the readers compare the field as text.
    if (full.size() < timeAt + 4)
        return result;
    const QDate date = dateField(full);
    if (!date.isValid())
        return result;
    result.date = date;
    if (isTargetLine(full)) {
        if (!valuetext::readInt(full.mid(restAt), &result.target))
            return result;
        result.kind = LogLine::Kind::Target;
        return result;
    }
    result.finished = full.endsWith(finishMarkText);
    const QStringView line = withoutFinishMark(full);
    result.time = timeField(line);
    if (!result.time.isValid() || line.size() <= markAt)
        return result;
    if (isReplanLine(full)) {
        result.finished = false;
        const QStringView rest = full.mid(restAt + replanText.size()).trimmed();
        constexpr QStringView reasonWord = u"Grund:";
        if (rest.startsWith(reasonWord))
            result.reason = rest.mid(reasonWord.size()).trimmed().toString();
        result.kind = LogLine::Kind::Replan;
        return result;
    }
    const QStringView rest = line.mid(restAt);
    if (isUnitMark(line)) {
        const qsizetype blank = rest.indexOf(QLatin1Char(' '));
        if (!valuetext::readInt(blank < 0 ? rest : rest.left(blank), &result.minutes))
            return result;
        result.title = blank < 0 ? QString() : rest.mid(blank + 1).toString();
        result.kind = LogLine::Kind::Unit;
    } else {
        result.minutes = oldUnitMinutes;
        result.title = rest.toString();
        result.kind = LogLine::Kind::OldUnit;
    }
    return result;
}

QStringList ActivityLog::RecentTitles(int n) const {
    // Walking from the newest line and stopping at n titles gives the same list as collecting
    // every title first, without touching ten years of history for a drop-down list.
    QStringList titles;
    QSet<QStringView> seen;
    for (qsizetype i = m_lines.size() - 1; i >= 0 && titles.size() < n; --i) {
        const QStringView full = m_lines[i];
        if (full.isEmpty() || isTargetLine(full) || isReplanLine(full))
            continue;
        const QStringView line = withoutFinishMark(full);
        if (line.size() < minTitled)
            continue;
        const QStringView title = titlePart(line);
        // An empty title would only add a blank row to the list.
        if (title.isEmpty() || seen.contains(title))
            continue;
        seen.insert(title);
        titles.append(title.toString());
    }
    return titles;
}

QString ActivityLog::LastLine() const {
    for (qsizetype i = m_lines.size() - 1; i >= 0; --i) {
        if (!m_lines[i].isEmpty())
            return m_lines[i];
    }
    return {};
}

QString ActivityLog::LastTitle() const {
    for (qsizetype i = m_lines.size() - 1; i >= 0; --i) {
        if (m_lines[i].isEmpty())
            continue;
        const QString title = extractTitle(m_lines[i]);
        if (!title.isEmpty())
            return title;
    }
    return {};
}

bool ActivityLog::LastLineIsOpenUnit(const QString& text) const {
    if (m_lines.isEmpty() || text.isEmpty())
        return false;
    const QString& last = m_lines.last();
    if (last.endsWith(finishMarkText) || isTargetLine(last))
        return false;
    return last.contains(text);
}

// --- line texts -------------------------------------------------------------------------

QString ActivityLog::weekdayAbbreviation(QDate day) {
    // Fixed German abbreviations: the readers count on exactly two characters, whatever the
    // locale of the machine.
    static const char16_t* const names[] = {u"Mo", u"Di", u"Mi", u"Do", u"Fr", u"Sa", u"So"};
    const int weekday = day.dayOfWeek();
    if (weekday < 1 || weekday > 7)
        return QStringLiteral("??");
    return QString::fromUtf16(names[weekday - 1]);
}

QString ActivityLog::dayStamp(QDate day) {
    return weekdayAbbreviation(day) + QStringLiteral(", ") + valuetext::formatDate(day);
}

QString ActivityLog::stamp(const QDateTime& time) {
    return dayStamp(time.date()) + QLatin1Char(' ') + time.time().toString(QStringLiteral("HH:mm"));
}

QString ActivityLog::extractTitle(const QString& text) {
    const QStringView line = withoutFinishMark(text);
    if (line.size() <= minTitled || isTargetLine(line) || isReplanLine(line))
        return {};
    return titlePart(line).toString();
}

QString ActivityLog::unitLine(const QDateTime& start, int minutes, const QString& title) {
    return crlf + stamp(start) + QLatin1Char('|') + QString::number(minutes) + QLatin1Char(' ') +
           oneLine(title);
}

QString ActivityLog::finishMark() {
    return finishMarkText.toString();
}

QString ActivityLog::targetLine(QDate day, int target) {
    return crlf + dayStamp(day) + QStringLiteral(" SOLL: ") + QString::number(target);
}

QString ActivityLog::replanLine(const QDateTime& time) {
    return crlf + stamp(time) + QLatin1Char(' ') + replanText.toString();
}

QString ActivityLog::replanLine(const QDateTime& time, const QString& reason) {
    return replanLine(time) + QStringLiteral(" Grund: ") + oneLine(reason);
}
