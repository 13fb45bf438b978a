#include "plan_runner.h"

#include "autostart_entry.h"
#include "clock.h"
#include "plan_file.h"
#include "plan_minutes.h"
#include "plan_time.h"
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
    const QDate today = m_s.records.clock.today();
    targetDay = today;
    m_startCaption = tr_("Start");
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
    if (lastStartTick != 0 && tick - lastStartTick < 500)
        return;
    lastStartTick = tick;

    if (QString(m_startCaption).remove(QLatin1Char('&')) != tr_("Start")) {
        m_s.records.debugLog.AddDebugLine(
            QStringLiteral("FWorklist: Neu gestartet [vermutlich durch User?] (Start1Click)"));
        btnNeuPlanenClick();
        m_view->refreshMenuStates();
        return;
    }

    settings.Autostart = true;
    m_s.records.saveSettings();
    if (w.FirstOpenIndex() == -1) {
        m_view->showWindow();
        settings.Autostart = false;
        m_s.records.saveSettings();
        m_view->refreshMenuStates();
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
        m_view->refreshMenuStates();
        return;
    }

    // The same caption the window gives the item whenever it is shown during the run, so that
    // the count of re-plannings left does not come and go with the window.
    m_startCaption = w.replanCaption();
    m_view->setStartItem(m_startCaption, w.replanAvailable());

    const QDate today = m_s.records.clock.today();
    if (!settings.MorgenGeplantURL.isEmpty() && w.FirstOpenTomorrowIndex() != -1 &&
        settings.MorgenGeplantDatum != today) {
        settings.MorgenGeplantDatum = today;
        m_s.records.saveSettings();
        m_s.publisher.CallWebAddress(settings.MorgenGeplantURL);
    }
    m_view->stopFocusLock();
    m_s.publisher.stopChargeTimer();
    if (!m_s.autostart.write())
        m_s.records.debugLog.AddDebugLine(QStringLiteral("FWorklist: Autostart-Eintrag nicht geschrieben"));
    m_presenceConfirmed = true;
    m_view->setInputVisible(false);
    m_view->setTooltipDelay(0);
    if (settings.NeuPlanenMax != -1)
        m_view->setMaxReplanEnabled(false);

    RunCurrentEntry();

    if (run().active() && !w.NextPendingTitle().isEmpty())
        m_s.countdown.showFor(3500);
    w.UpdateCaption();
    m_view->setListMenuEnabled(false);
    m_runState.update([](RunState& s) { s.runMenuEnabled = false; });
    if (w.FirstOpenIndex() != -1)
        m_view->hideWindow();
    m_view->refreshMenuStates();
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

        PlanEntry& e = w.editEntry(index);
        const int minutes = planminutes::readInt(e.duration);
        const QDateTime current = now();
        if (e.isRunning() && entryStart(e) > current.addSecs(3600)) {
            // A unit cannot have begun later than now (the clock runs at most an hour behind a
            // start, in the hour that repeats in autumn). A start beyond that (a hand-edited
            // file) would be logged under a day still to come: the unit begins now instead.
            e.status = planvocab::statusPending;
            e.startMode = planvocab::modeRelative;
            w.entriesEdited();
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
                e.startMode = planvocab::modeRelative;
                w.entriesEdited();
                continue;
            }
            run().StartPause(w.NextPendingStart());
        } else if (e.isPause()) {
            const QString title = e.pauseTitle();
            if (title == QLatin1String("LOCK"))
                run().lockWorkstationUntil(current.toSecsSinceEpoch() + qint64(minutes) * 60);
            else if (!title.isEmpty())
                m_s.ui.showReminder(tr_("Aufgabe"), title);
            if (e.duration == QLatin1String("0")) {
                w.removeEntry(index);
                saveWorklist();
                if (settings.InVordergrundDraengen && w.NextPendingTitle().isEmpty())
                    m_view->startFocusLock();
                continue;
            }
            e.status = planvocab::statusRunning;
            w.entriesEdited();
            run().StartPause(current.addSecs(qint64(minutes) * 60));
        } else {
            const QDateTime start = plantime::nowToMinute(m_s.records.clock);
            e.status = planvocab::statusRunning;
            e.startMode = planvocab::modeFixed;
            e.startTime = plantime::formatTime(start);
            e.endTime = plantime::formatTime(start.addSecs(qint64(minutes) * 60));
            e.date = plantime::formatDate(start.date());
            const QString title = e.displayText;
            w.entriesEdited();
            run().StartUnit(title, minutes, 0);
            if (settings.Sounds)
                runsounds::play(m_s.sound, runsounds::start);
        }
        saveWorklist();
        m_s.publisher.PublishNextUnitStart();
        return;
    }
}

void PlanRunner::FinishRunningEntry() {
    Worklist& w = m_s.worklist;
    const int index = firstRunningIndex(w.entries());
    if (index != -1) {
        const bool hasNext = index + 1 < w.entries().size();
        if (hasNext)
            w.editEntry(index + 1).startMode = planvocab::modeFixed;
        if (w.entries().at(index).isUnit() && !run().failedMark()) {
            w.editEntry(index).status = planvocab::statusBlinkOn;
            w.entriesEdited();
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
    if (today == targetDay)
        return true;
    m_s.records.dailyTarget = m_s.records.activityLog.TargetForDay(today);
    lastAskedPlanned = -1;
    const bool answered = AskDailyTarget();
    targetDay = today;
    return answered;
}

bool PlanRunner::autoStart() {
    if (m_s.worklist.automaticStartFlag) {
        m_view->showWindow();
        m_s.records.debugLog.AddDebugLine(QStringLiteral("FWorklist > tmrAutoStartTimer: Neu geplant"));
        btnNeuPlanenClick();
        return false;
    }
    automaticStartInProgress = true;
    Start1Click();
    automaticStartInProgress = false;
    return true;
}

void PlanRunner::refreshRunningCaption() {
    Worklist& w = m_s.worklist;
    if (run().active()) {
        m_startCaption = w.replanCaption();
        m_view->setStartItem(m_startCaption, w.replanAvailable());
    }
    if (run().unitRunning()) {
        w.captionSuffix = tr_(" - EINHEIT AKTIV");
        w.UpdateCaption();
        m_view->startCaptionBlink();
    } else {
        m_view->stopCaptionBlink();
        w.captionSuffix = run().active() ? tr_(" - PAUSE AKTIV") : QString();
        w.UpdateCaption();
    }
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
    m_view->stopCaptionBlink();
    w.captionSuffix.clear();
    w.UpdateCaption();

    if (!w.NextPendingTitle().isEmpty() && !justStarted) {
        if (w.NextPendingStart().date() != m_s.records.clock.today().addDays(1))
            m_s.publisher.startChargeTimer();
    }
    justStarted = false;

    settings.Autostart = false;
    m_s.records.saveSettings();
    run().stopWorkstationLock();
    m_s.autostart.remove();
    m_startCaption = tr_("Start");
    m_view->setStartItem(m_startCaption, true);
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
    m_view->setInputVisible(true);
    m_view->setTooltipDelay(500);

    StopForReplan();

    m_view->setMouseEditing(true);
    m_view->setListMenuEnabled(true);

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
    m_view->releaseDialogGuard();
    saveWorklist();
}

void PlanRunner::StopForReplan() {
    Worklist& w = m_s.worklist;
    run().stopForReplan();
    m_view->setListMenuEnabled(true);
    m_runState.update([](RunState& s) { s.runMenuEnabled = true; });

    const int index = firstRunningIndex(w.entries());
    if (index != -1) {
        if (w.entries().at(index).isPause()) {
            w.removeEntry(index);
            if (index < w.entries().size()) {
                w.editEntry(index).startMode = planvocab::modeFixed;
                w.entriesEdited();
            }
            saveWorklist();
        } else {
            PlanEntry& e = w.editEntry(index);
            e.status = planvocab::statusPending;
            e.startMode = planvocab::modeRelative;
            w.entriesEdited();
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
    if (today != w.lastScheduleDay) {
        w.PurgeOldFinished();
        w.lastScheduleDay = today;
    }
    const int planned = w.PlannedTodayCount();
    const int target = records.dailyTarget;
    const int usual = records.settings.DefaultSollWert;
    const QString caption = tr_("Soll-Wert");
    const QString question = tr_("Wie viele Einheiten sollten heute nun tatsächlich erledigt werden?");
    const QString targetPrefix = ActivityLog::dayStamp(today) + QStringLiteral(" SOLL: ");

    if (target == planned)
        return true;
    if (target == -1000) {
        if (usual == -1 || usual <= planned || planned <= 0 || lastAskedPlanned == planned) {
            records.dailyTarget = planned;
            if (planned > 0)
                records.activityLog.WriteLogEntry(ActivityLog::targetLine(today, planned));
            return true;
        }
        if (automaticStartInProgress)
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
            lastAskedPlanned = planned;
        }
        return true;
    }
    if (lastAskedPlanned != -1 && lastAskedPlanned == planned)
        return true;
    if (automaticStartInProgress)
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
            lastAskedPlanned = planned;
    }
    return true;
}
