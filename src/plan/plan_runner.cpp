#include "plan_runner.h"

#include "autostart_entry.h"
#include "clock.h"
#include "plan_file.h"
#include "plan_minutes.h"
#include "plan_time.h"
#include "planning_look.h"
#include "records.h"
#include "run_control.h"
#include "run_feedback.h"
#include "run_sounds.h"
#include "translate.h"
#include "user_interface.h"
#include "worklist.h"

#include <algorithm>
#include <optional>

namespace {

// RunControl with no engine behind it: nothing starts, nothing runs.
class NoRunControl final : public RunControl {
public:
    void StartUnit(const QString&, int, qint64) override {}
    void StartPause(const QDateTime&) override {}
    bool active() const override { return false; }
    bool unitRunning() const override { return false; }
    int percentileRank() const override { return 0; }
};

NoRunControl noRunControl;

int firstRunningIndex(const QList<PlanEntry>& entries) {
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (entries.at(i).isRunning())
            return static_cast<int>(i);
    }
    return -1;
}

QDateTime entryStart(const PlanEntry& e) {
    return planminutes::toDateTime(planminutes::readStart(e));
}

// "1 Einheit" / "N Einheiten" sentences of the target questions.
QString targetSentence(int target, bool original) {
    if (original)
        return target == 1 ? tr_("Ursprünglich sollte heute ") + QStringLiteral("1") +
                                 tr_(" Einheit erledigt werden. ")
                           : tr_("Ursprünglich sollten heute ") + QString::number(target) +
                                 tr_(" Einheiten erledigt werden. ");
    return target == 1 ? tr_("Regelmäßig sollte pro Tag ") + QStringLiteral("1") +
                             tr_(" Einheit erledigt werden (Default-Soll-Wert). ")
                       : tr_("Regelmäßig sollten pro Tag ") + QString::number(target) +
                             tr_(" Einheiten erledigt werden (Default-Soll-Wert). ");
}

QString plannedSentence(int planned, bool only, bool newPlan) {
    const QString onlyText = only ? tr_("nur ") : QString();
    if (planned == 1)
        return (newPlan ? tr_("Nach der neuen Planung ist jedoch ")
                        : tr_("Nach der aktuellen Planung ist jedoch ")) +
               onlyText + QStringLiteral("1") + tr_(" vorgesehen. ");
    return (newPlan ? tr_("Nach der neuen Planung sind jedoch ")
                    : tr_("Nach der aktuellen Planung sind jedoch ")) +
           onlyText + QString::number(planned) + tr_(" vorgesehen. ");
}

std::optional<int> readCount(const QString& text) {
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    if (!ok)
        return std::nullopt;
    return n;
}

} // namespace

PlanRunner::PlanRunner(const Services& services) : m_s(services), m_view(&m_noView) {
    m_targetDay = m_s.records.clock.today();
    m_startCaption = planningLook(RunState::Phase::Planning, 0).startCaption;
    m_runState.update([this](RunState& s) { s.startCaption = m_startCaption; });
}

RunControl& PlanRunner::run() const {
    RunControl* r = m_s.worklist.runControl();
    return r ? *r : noRunControl;
}

void PlanRunner::saveWorklist() {
    m_s.planFile.saveWorklist();
}

QDateTime PlanRunner::now() const {
    return plantime::now(m_s.records.clock);
}

// --- the start command ---------------------------------------------------------------------

void PlanRunner::Start1Click() {
    Settings& settings = m_s.records.settings;
    Worklist& w = m_s.worklist;
    const qint64 tick = m_s.records.clock.tickMs();
    if (m_lastStartTick != 0 && tick - m_lastStartTick < 500)
        return;
    m_lastStartTick = tick;

    if (QString(m_startCaption).remove(QLatin1Char('&')) != tr_("Start")) {
        m_s.records.debugLog.AddDebugLine(
            QStringLiteral("FWorklist: Neu gestartet [vermutlich durch User?] (Start1Click)"));
        btnNeuPlanenClick();
        return;
    }

    settings.Autostart = true;
    m_s.records.saveSettings();
    if (w.FirstOpenIndex() == -1) {
        m_view->showWindow();
        settings.Autostart = false;
        m_s.records.saveSettings();
        return;
    }
    const bool conflicts = std::any_of(w.entries().cbegin(), w.entries().cend(), [](const PlanEntry& e) {
        return e.conflictMark == planvocab::conflict;
    });
    if (conflicts) {
        m_view->showError(
            tr_("Taktplan: Plan nicht ausführbar"),
            tr_("Der aktuelle Plan enthält zeitliche Überschneidungen und kann daher nicht ausgeführt "
                "werden. Bitte lösen Sie die bestehenden Probleme (rot markierte Einträge) und "
                "versuchen Sie es erneut."));
        ListeWiederVeraenderbarMachen();
        m_view->showWindow();
        return;
    }

    settleTargetAtFirstStart();

    // The same rule the window follows whenever it is shown during the run, so that the count
    // of re-plannings left does not come and go with the window. The start item is the same in
    // a unit and in a pause.
    const PlanningLook running = planningLook(RunState::Phase::Unit, settings.Verbleibend);
    m_startCaption = running.startCaption;
    m_runState.update([&running](RunState& s) {
        s.startCaption = running.startCaption;
        s.startEnabled = running.startEnabled;
    });

    const QDate today = m_s.records.clock.today();
    if (!settings.MorgenGeplantURL.isEmpty() && w.FirstOpenTomorrowIndex() != -1 &&
        settings.MorgenGeplantDatum != today) {
        settings.MorgenGeplantDatum = today;
        m_s.records.saveSettings();
        m_s.publisher.CallWebAddress(settings.MorgenGeplantURL);
    }
    m_runState.update([](RunState& s) { s.focusLock = false; });
    m_s.publisher.stopChargeTimer();
    if (!m_s.autostart.write())
        m_s.records.debugLog.AddDebugLine(QStringLiteral("FWorklist: Autostart-Eintrag nicht geschrieben"));
    m_presenceConfirmed = true;
    m_runState.update([&settings](RunState& s) {
        s.inputVisible = false;
        s.tooltipDelayMs = 0;
        if (settings.NeuPlanenMax != -1)
            s.maxReplanEnabled = false;
    });

    RunCurrentEntry();

    if (run().active() && !w.NextPendingTitle().isEmpty())
        m_s.countdown.showFor(3500);
    w.UpdateCaption();
    m_runState.update([](RunState& s) {
        s.listMenuAllItems = false;
        s.runMenuEnabled = false;
    });
    if (w.FirstOpenIndex() != -1)
        m_view->hideWindow();
}

// --- handing entries to the engine ---------------------------------------------------------

void PlanRunner::RunCurrentEntry() {
    Settings& settings = m_s.records.settings;
    Worklist& w = m_s.worklist;
    for (;;) {
        w.RecomputeSchedule();
        const int index = w.FirstOpenIndex();
        if (index == -1) {
            ListeWiederVeraenderbarMachen();
            m_view->showWindow();
            return;
        }
        const QDate today = m_s.records.clock.today();
        if (settings.letztenPlanGestartetAm != today) {
            m_s.planFile.saveRoutine();
            settings.letztenPlanGestartetAm = today;
            m_s.records.saveSettings();
        }

        const PlanEntry& e = w.entries().at(index);
        const int minutes = planminutes::readInt(e.duration);
        const QDateTime current = now();
        if (e.isRunning() && entryStart(e) > current.addSecs(3600)) {
            // A unit cannot have begun later than now (the clock runs at most an hour behind a
            // start, in the hour that repeats in autumn). A start beyond that (a hand-edited
            // file) would be logged under a day still to come: the unit begins now instead.
            w.markPending(index);
            continue;
        }
        if (e.isRunning()) {
            const QDateTime start = entryStart(e);
            const QDateTime end = start.addSecs(qint64(minutes) * 60);
            if (current > end.addMSecs(1)) {
                m_s.records.debugLog.AddDebugLine(
                    QStringLiteral("FWorklist: Neu geplant, weil Aktuelle Zeit > Endzeit des WIP-items"));
                btnNeuPlanenClick();
            } else {
                run().StartUnit(e.displayText, minutes, start.toMSecsSinceEpoch());
                if (settings.Sounds)
                    runsounds::play(m_s.sound, runsounds::start);
            }
        } else if (e.isFixed()) {
            if (entryStart(e) <= current) {
                w.makeRelative(index);
                continue;
            }
            run().StartPause(w.NextPendingStart());
        } else if (e.isPause()) {
            const QString title = e.pauseTitle();
            if (title == QLatin1String("LOCK"))
                run().lockWorkstationUntil(current.toSecsSinceEpoch() + qint64(minutes) * 60);
            else if (!title.isEmpty())
                m_s.ui.showReminder(tr_("Pause"), title);
            if (e.duration == QLatin1String("0")) {
                w.removeEntry(index);
                saveWorklist();
                if (settings.InVordergrundDraengen && w.NextPendingTitle().isEmpty())
                    m_runState.update([](RunState& s) { s.focusLock = true; });
                continue;
            }
            if (title != QLatin1String("LOCK"))
                m_pauseNote = title;
            w.markRunning(index);
            run().StartPause(current.addSecs(qint64(minutes) * 60));
        } else {
            const QString title = e.displayText;
            w.markRunningFrom(index, plantime::nowToMinute(m_s.records.clock), minutes);
            run().StartUnit(title, minutes, 0);
            if (settings.Sounds)
                runsounds::play(m_s.sound, runsounds::start);
        }
        saveWorklist();
        m_s.publisher.PublishNextUnitStart();
        return;
    }
}

void PlanRunner::withdrawPauseNote() {
    if (!m_pauseNote.isEmpty())
        m_s.ui.withdrawReminder(tr_("Pause"), m_pauseNote);
    m_pauseNote.clear();
}

void PlanRunner::FinishRunningEntry() {
    withdrawPauseNote();
    Worklist& w = m_s.worklist;
    const int index = firstRunningIndex(w.entries());
    if (index != -1) {
        const bool hasNext = index + 1 < w.entries().size();
        if (hasNext)
            w.fixStart(index + 1);
        if (w.entries().at(index).isUnit() && !run().failedMark()) {
            w.markFinished(index);
            m_view->startFinishBlink();
        } else {
            w.removeEntry(index);
        }
    }
    saveWorklist();
    settleDayChange();
    w.UpdateCaption();
}

bool PlanRunner::settleDayChange() {
    const QDate today = m_s.records.clock.today();
    if (today == m_targetDay)
        return true;
    return settleTarget(today);
}

void PlanRunner::settleTargetAtFirstStart() {
    Records& records = m_s.records;
    const QDate today = records.clock.today();
    if (!records.extras.targetAtFirstStart || records.activityLog.TargetForDay(today) != -1000)
        return;
    // The question counts today's units: the first ones get their places (and so their day)
    // as the start will give them. A cancelled question leaves the day without a target, and
    // the plan starts all the same.
    m_s.worklist.RecomputeSchedule();
    settleTarget(today);
}

bool PlanRunner::settleTarget(const QDate& today) {
    m_s.records.dailyTarget = m_s.records.activityLog.TargetForDay(today);
    m_lastAskedPlanned = -1;
    const bool answered = AskDailyTarget();
    m_targetDay = today;
    return answered;
}

bool PlanRunner::autoStart() {
    if (m_s.worklist.automaticStartFlag()) {
        m_view->showWindow();
        m_s.records.debugLog.AddDebugLine(QStringLiteral("FWorklist > tmrAutoStartTimer: Neu geplant"));
        btnNeuPlanenClick();
        return false;
    }
    m_automaticStartInProgress = true;
    Start1Click();
    m_automaticStartInProgress = false;
    return true;
}

// --- re-planning ---------------------------------------------------------------------------

void PlanRunner::ListeWiederVeraenderbarMachen() {
    // Not charged rather than given back first: an allowance that is already the largest
    // number (a hand-edited file) must not overflow.
    m_replanIsFree = true;
    btnNeuPlanenClick();
}

void PlanRunner::btnNeuPlanenClick() {
    Settings& settings = m_s.records.settings;
    Worklist& w = m_s.worklist;
    const bool wasPresent = m_presenceConfirmed;
    m_runState.update([](RunState& s) {
        s.captionBlink = false;
        s.captionSuffix.clear();
    });
    // Without a window that shows the suffix the caption still loses it.
    w.setCaptionSuffix(QString());

    if (!w.NextPendingTitle().isEmpty() && !m_justStarted) {
        if (w.NextPendingStart().date() != m_s.records.clock.today().addDays(1))
            m_s.publisher.startChargeTimer();
    }
    m_justStarted = false;

    settings.Autostart = false;
    m_s.records.saveSettings();
    run().stopWorkstationLock();
    m_s.autostart.remove();
    const PlanningLook planning = planningLook(RunState::Phase::Planning, settings.Verbleibend);
    m_startCaption = planning.startCaption;
    m_runState.update([&planning](RunState& s) {
        s.startCaption = planning.startCaption;
        s.startEnabled = planning.startEnabled;
    });
    const bool charged = !m_replanIsFree;
    m_replanIsFree = false;
    if (charged)
        settings.Verbleibend =
            settings.Verbleibend > 0 ? settings.Verbleibend - 1 : (settings.Verbleibend == 0 ? 0 : -1);
    else if (settings.Verbleibend < -1)
        settings.Verbleibend = -1;
    m_s.records.saveSettings();

    m_s.countdown.hide();
    m_runState.update([](RunState& s) { s.presenceConfirmationVisible = false; });
    m_presenceConfirmed = true;
    m_runState.update([](RunState& s) {
        s.inputVisible = true;
        s.tooltipDelayMs = 500;
    });

    StopForReplan();

    m_runState.update([](RunState& s) {
        s.mouseEditing = true;
        s.listMenuAllItems = true;
    });

    if (w.DoneCount() != w.PlannedTodayCount()) {
        QString reason;
        if (!wasPresent && settings.AnwesenheitErforderlich) {
            // A record for the log, which stays in one language whatever the user interface speaks.
            reason = QStringLiteral("Automatisch neu geplant, da Benutzer nicht anwesend");
        } else if (settings.GrundVerlangen) {
            reason = m_s.ui
                         .askText(tr_("Neu geplant"),
                                  tr_("Warum weichen Sie von Ihrem ursprünglichen Plan ab?"), QString())
                         .value_or(QString());
        }
        m_s.records.activityLog.WriteLogEntry(reason.isEmpty() ? ActivityLog::replanLine(now())
                                                               : ActivityLog::replanLine(now(), reason));
    }
    // The guard starts the focus lock again, which the start command had stopped.
    m_runState.update([](RunState& s) { s.focusLock = true; });
    m_view->releaseDialogGuard();
    saveWorklist();
}

void PlanRunner::StopForReplan() {
    withdrawPauseNote();
    Worklist& w = m_s.worklist;
    run().stopForReplan();
    m_runState.update([](RunState& s) {
        s.listMenuAllItems = true;
        s.runMenuEnabled = true;
    });

    const int index = firstRunningIndex(w.entries());
    if (index != -1) {
        if (w.entries().at(index).isPause()) {
            w.removeEntry(index);
            if (index < w.entries().size())
                w.fixStart(index);
            saveWorklist();
        } else {
            w.markPending(index);
        }
    }
    // Past midnight the user still asked to re-plan: the plan stays stopped, and only the new
    // day's target is settled, as the end of an entry would have done.
    settleDayChange();
}

// --- the daily target ----------------------------------------------------------------------

bool PlanRunner::AskDailyTarget() {
    Worklist& w = m_s.worklist;
    Records& records = m_s.records;
    const QDate today = records.clock.today();
    w.purgeOnNewDay(today);
    const int planned = w.PlannedTodayCount();
    const int target = records.dailyTarget;
    const int usual = records.settings.DefaultSollWert;
    const QString caption = tr_("Soll-Wert");
    const QString question = tr_("Wie viele Einheiten sollten heute nun tatsächlich erledigt werden?");
    const QString targetPrefix = ActivityLog::dayStamp(today) + QStringLiteral(" SOLL: ");

    if (target == planned)
        return true;
    if (target == -1000) {
        if (usual == -1 || usual <= planned || planned <= 0 || m_lastAskedPlanned == planned) {
            records.dailyTarget = planned;
            if (planned > 0)
                records.activityLog.WriteLogEntry(ActivityLog::targetLine(today, planned));
            return true;
        }
        if (m_automaticStartInProgress)
            return true;
        const QString prompt =
            targetSentence(usual, false) + plannedSentence(planned, usual > planned, false) + question;
        const std::optional<QString> answer = m_s.ui.askText(caption, prompt, QString::number(usual));
        if (!answer)
            return false;
        if (const std::optional<int> n = readCount(*answer)) {
            if (*n >= 0) {
                records.activityLog.WriteLogEntry(QStringLiteral("\r\n") + targetPrefix + *answer);
                records.dailyTarget = *n;
            }
            m_lastAskedPlanned = planned;
        }
        return true;
    }
    if (m_lastAskedPlanned != -1 && m_lastAskedPlanned == planned)
        return true;
    if (m_automaticStartInProgress)
        return true;
    const QString prompt =
        targetSentence(target, true) + plannedSentence(planned, target > planned, true) + question;
    const std::optional<QString> answer = m_s.ui.askText(caption, prompt, QString::number(target));
    if (!answer)
        return false;
    const std::optional<int> n = readCount(*answer);
    if (!n)
        return false;
    if (*n >= 0) {
        if (*n != target) {
            records.activityLog.WriteLogEntry(QStringLiteral("\r\n") + targetPrefix + *answer);
            records.dailyTarget = *n;
        }
        if (*n != planned)
            m_lastAskedPlanned = planned;
    }
    return true;
}
