#pragma once

#include "planning_view.h"
#include "run_state.h"

#include <QDate>
#include <QDateTime>
#include <QString>

class AutostartEntry;
class CountdownOverlay;
class PlanFile;
class RunControl;
class Publisher;
class SoundPlayer;
class UserInterface;
class Worklist;
struct Records;

// The plan's side of running it: the start command, the hand-over of each entry to the run
// engine (the worklist's RunControl), closing entries, re-planning and the daily target. Plain
// operations on the plan and the records; the Planning window only calls them and shows.
class PlanRunner {
public:
    struct Services {
        Worklist& worklist;
        PlanFile& planFile;
        Records& records;
        UserInterface& ui;
        SoundPlayer& sound;
        AutostartEntry& autostart;
        Publisher& publisher;
        CountdownOverlay& countdown;
    };
    explicit PlanRunner(const Services& services);
    PlanRunner(const PlanRunner&) = delete;
    PlanRunner& operator=(const PlanRunner&) = delete;

    // nullptr: none (NullPlanningView).
    void setView(PlanningView* view) { m_view = view ? view : &m_noView; }
    PlanningView& view() const { return *m_view; }
    Worklist& worklist() const { return m_s.worklist; }
    // What the windows observe; the run engine keeps its part current through it too.
    RunStatePublisher& runState() { return m_runState; }

    // F9: starts the plan, or re-plans while one runs.
    void Start1Click();
    // Starts or resumes the first open entry in the run engine.
    void RunCurrentEntry();
    // Closes the running entry when the engine has ended it.
    void FinishRunningEntry();
    // "Neu planen": leaves the running plan.
    void btnNeuPlanenClick();
    // A re-planning the program forces, which does not use up the user's allowance.
    void ListeWiederVeraenderbarMachen();
    // The stop step of re-planning.
    void StopForReplan();
    // false when the user cancelled the question.
    bool AskDailyTarget();
    // tmrAutoStart's event, about 100 ms after a start with "-autostart". Returns true when the
    // start command ran (false: re-planned because the resumed unit was over).
    bool autoStart();

    // The main-menu start item's caption as it stands ("Start", "Neu planen", ...).
    const QString& startCaption() const { return m_startCaption; }

    // The presence confirmation: given at start, cleared early in a pause, confirmed by the
    // presence window or "Nutzer anwesend".
    bool presenceConfirmed() const { return m_presenceConfirmed; }
    void setPresenceConfirmed(bool confirmed) { m_presenceConfirmed = confirmed; }
    // The planned-unit count for which the target question was last answered; -1: none.
    int lastAskedPlanned() const { return m_lastAskedPlanned; }
    void setLastAskedPlanned(int planned) { m_lastAskedPlanned = planned; }
    // The day for which the daily target was last settled.
    QDate targetDay() const { return m_targetDay; }
    // Only while tmrAutoStart runs the start command: no target question then.
    bool automaticStartInProgress() const { return m_automaticStartInProgress; }
    void setAutomaticStartInProgress(bool inProgress) { m_automaticStartInProgress = inProgress; }
    // Start-up's first re-planning starts no charge timer.
    void markJustStarted() { m_justStarted = true; }

private:
    // Past midnight: today's target from the log, and the target question for the new day.
    bool settleDayChange();
    // Today's target from the log and the target question, as for a new day.
    bool settleTarget(const QDate& today);
    // A plan's first start on a day without a target settles it then (when the extra setting
    // says so), so that the day's end has a target to go by.
    void settleTargetAtFirstStart();
    void saveWorklist();
    // The running pause's note leaves the screen with the pause.
    void withdrawPauseNote();
    RunControl& run() const;
    QDateTime now() const;

    Services m_s;
    // The next btnNeuPlanenClick is forced by the program and leaves the allowance as it is.
    bool m_replanIsFree = false;
    bool m_presenceConfirmed = false;
    // The title of the running pause as its reminder shows it; empty: none shown.
    QString m_pauseNote;
    int m_lastAskedPlanned = -1;
    QDate m_targetDay;
    bool m_automaticStartInProgress = false;
    bool m_justStarted = false;
    // The tick count of the last accepted start command; 0: none.
    qint64 m_lastStartTick = 0;
    NullPlanningView m_noView;
    PlanningView* m_view;
    QString m_startCaption;
    RunStatePublisher m_runState;
};
