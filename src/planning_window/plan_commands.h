#pragma once

#include <QList>
#include <QString>

#include <functional>

class PlanFile;
class UserInterface;
class Worklist;

// The commands of "Datei", "Liste" and the list popup that change the plan or its file, without
// the window: it hands in the selected rows, and refreshes the list and moves the focus mark
// afterwards. Questions go through UserInterface.
class PlanCommands {
public:
    // Runs a plan operation; false when a value in the plan did not convert (the window leaves
    // a debug line for it). where names the command.
    using Guard = std::function<bool(const std::function<void()>& operation, const char* where)>;

    PlanCommands(Worklist& worklist, PlanFile& planFile, UserInterface& ui, Guard guard);

    // The plan file; the open commands replace the list, so the window refreshes after them.
    void newPlan();
    void open();
    void save();
    void saveAs();
    void loadLastPlan();
    bool savePlan();

    // Editing the selected rows (sorted, as the list selects them).
    void rename(const QList<int>& rows);
    void changeStartTime(const QList<int>& rows);
    void clearStartTime(const QList<int>& rows);
    void startLater(const QList<int>& rows);
    void startEarlier(const QList<int>& rows);
    void changeDate(const QList<int>& rows);
    void clearDate(const QList<int>& rows);
    void changeDuration(const QList<int>& rows);
    // The entry that moved first, to get the focus mark; 0 when nothing moved.
    quint64 moveUp(const QList<int>& rows);
    quint64 moveDown(const QList<int>& rows);
    // Rows dropped before the row target (-1: at the end).
    void moveRowsBefore(const QList<int>& rows, int target);
    void deleteEntries(const QList<int>& rows);
    void removeFinished();

private:
    // The schedule at once (a value that does not convert leaves a debug line), then the save.
    void scheduleAndSave(const char* where);
    // The open or save question for plan files; empty when cancelled.
    QString askFileName(bool save);

    Worklist& m_worklist;
    PlanFile& m_planFile;
    UserInterface& m_ui;
    Guard m_guard;
};
