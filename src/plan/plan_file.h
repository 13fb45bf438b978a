#pragma once

#include <QDateTime>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>

class Clock;
class DataFolder;
class DebugLog;
class UserInterface;
class Worklist;
struct PlanEntry;
struct Settings;
namespace textfile {
struct WriteError;
}

// The plan on disk: worklist.log (the plan as it stands, rewritten after every change), the
// routine file lastroutine.log and plan files the user saves and opens. One line per entry:
//
//   Pause: Minutes[ PauseTitle][|||hh:nn[ dd.mm.yyyy]]
//   Title///Minutes[|||hh:nn[ dd.mm.yyyy]]
//   {{WIP}}Title///Minutes|||hh:nn[ dd.mm.yyyy]
//
// Lines are Windows-1252 (UTF-8 where a title needs it) with CR LF, through textfile.
class PlanFile {
public:
    PlanFile(Worklist& worklist, const Clock& clock, const Settings& settings, const DataFolder& folder,
             DebugLog& debugLog, UserInterface& ui);

    // Replaces the file with the whole plan list, atomically. A file another program holds open is
    // left alone; a failed write leaves the previous file whole. Every failure leaves a debug
    // line, and the first failure for a file tells the user (path and reason); the next message
    // for that file comes only after a save to it has succeeded. False when nothing was written.
    bool SavePlan(const QString& fileName, bool withFinished, bool withDates);
    // Replaces the open entries by the file's entries; finished entries stay. A missing file is
    // not an error. A line that does not convert is skipped (the others load), and all such
    // lines are shown in one message; the file is first copied to backupPath(). A length that
    // is negative, zero for a unit, or too long for the dates of the plan makes a line bad. False
    // when the file exists but cannot be read (a message says so) or when stopRequested, asked
    // every few hundred lines, said stop; the plan is unchanged then.
    bool LoadPlan(const QString& fileName, const std::function<bool()>& stopRequested = {});
    // The last load was stopped: saveWorklist() then writes nothing over the file.
    bool loadInterrupted() const { return m_loadInterrupted; }
    // True when the file exists, is no folder, and cannot be opened for reading and writing.
    static bool IsFileLocked(const QString& fileName);

    // The lines SavePlan writes for these entries.
    static QStringList planLines(const QList<PlanEntry>& entries, bool withFinished, bool withDates);

    QString worklistPath() const; // worklist.log in the data folder
    QString routinePath() const;  // lastroutine.log in the data folder
    // Where LoadPlan keeps a file with unreadable lines before the next save replaces it.
    static QString backupPath(const QString& fileName);

    // worklist.log: without finished units, with dates.
    bool saveWorklist();
    bool loadWorklist(const std::function<bool()>& stopRequested = {});
    // lastroutine.log: without finished units, without dates; "Letzten Plan laden" loads it.
    bool saveRoutine();
    bool loadRoutine();

    // "Laden..." / "Öffnen...": LoadPlan, and the name becomes the current plan file name.
    bool open(const QString& fileName);
    // "Speichern": without finished units and dates to the current plan file name.
    enum class SaveOutcome { Saved, Failed, NeedsFileName };
    SaveOutcome saveToCurrent();
    // "Speichern" once the save dialog has given a name (the name is not remembered).
    bool saveTo(const QString& fileName);
    // "Speichern unter...": with finished units, without dates; the name is remembered.
    bool saveAs(const QString& fileName);

    const QString& currentFileName() const { return m_currentFileName; }

private:
    // The activity log, the settings file or the debug log: never written as a plan.
    bool isRecordsFile(const QString& fileName) const;
    struct ParsedLine;
    ParsedLine parseLine(QString line, const QDateTime& now, bool tomorrowFlag) const;
    bool keepBackup(const QString& fileName, QString* backup);
    // One notice per load for all hand-edited titles that were changed, each also in the debug log.
    void reportAdjustedTitles(const QString& fileName, const QStringList& adjusted);
    void reportUnsaved(const QString& fileName, const textfile::WriteError& error);

    Worklist& m_worklist;
    const Clock& m_clock;
    const Settings& m_settings;
    const DataFolder& m_folder;
    DebugLog& m_debugLog;
    UserInterface& m_ui;
    QString m_currentFileName;
    bool m_loadInterrupted = false;
    QSet<QString> m_unsavedFiles; // failed to save, and the user has been told
};
