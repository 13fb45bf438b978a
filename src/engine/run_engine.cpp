#include "run_engine.h"

#include "clock.h"
#include "companion_program.h"
#include "percentile.h"
#include "plan_entry.h"
#include "plan_runner.h"
#include "plan_time.h"
#include "records.h"
#include "run_feedback.h"
#include "run_sounds.h"
#include "translate.h"
#include "user_interface.h"
#include "worklist.h"
#include "workstation_lock.h"

namespace {

constexpr int lockFirstIntervalMs = 15000;
constexpr int lockIntervalMs = 1000;

qint64 roundedSecs(qint64 ms) {
    return ms >= 0 ? (ms + 500) / 1000 : -((-ms + 500) / 1000);
}

// The real instants (UTC ms) at which the local clock reads this wall-clock time: one, or two
// in the hour that repeats when daylight saving ends, or none in the hour it skips (then the
// instant the system maps it to).
QList<qint64> instantsOf(const QDateTime& wall) {
    const QDateTime local(wall.date(), wall.time(), Qt::LocalTime);
    const qint64 guess = local.toMSecsSinceEpoch();
    QList<qint64> found;
    for (qint64 shift : {-3600'000LL, 0LL, 3600'000LL}) {
        const QDateTime candidate = QDateTime::fromMSecsSinceEpoch(guess + shift, Qt::LocalTime);
        if (candidate.date() == wall.date() && candidate.time() == wall.time())
            found.append(guess + shift);
    }
    if (found.isEmpty())
        found.append(guess);
    return found;
}

// The start of a unit that has begun: the latest reading of its wall time not after now.
qint64 startInstant(const QDateTime& wall, qint64 nowUtcMs) {
    const QList<qint64> all = instantsOf(wall);
    qint64 best = all.first();
    for (qint64 t : all) {
        if (t <= nowUtcMs)
            best = t;
    }
    return best;
}

// The end of a pause: the first reading of its wall time not before the pause began.
qint64 endInstant(const QDateTime& wall, qint64 fromUtcMs) {
    const QList<qint64> all = instantsOf(wall);
    for (qint64 t : all) {
        if (t >= fromUtcMs)
            return t;
    }
    return all.last();
}

QString forTooltip(QString title) {
    return title.replace(QLatin1Char('|'), QStringLiteral("::"));
}

} // namespace

RunEngine::RunEngine(const Services& services)
    : m_s(services), m_timer(&m_noTimer), m_planning(&m_noPlanning) {
    worklist().setRunControl(this);
}

RunEngine::~RunEngine() {
    if (worklist().runControl() == this)
        worklist().setRunControl(nullptr);
}

Worklist& RunEngine::worklist() const {
    return m_s.runner.worklist();
}

void RunEngine::setTimerView(TimerView* view) {
    m_timer = view ? view : &m_noTimer;
}

void RunEngine::setPlanningView(PlanningView* view) {
    m_planning = view ? view : &m_noPlanning;
}

qint64 RunEngine::unixSecs(const QDateTime& wall) {
    return roundedSecs(wall.toMSecsSinceEpoch());
}

QDateTime RunEngine::wallFromUnixMs(qint64 ms) {
    return QDateTime::fromMSecsSinceEpoch(roundedSecs(ms) * 1000, Qt::UTC);
}

QDateTime RunEngine::now() const {
    return plantime::now(m_s.records.clock);
}

// Whole seconds that have begun count only once they are complete: a unit started at 09:00:00
// has run one minute at 09:01:00, not half a second earlier.
qint64 RunEngine::nowUtcMs() const {
    const qint64 ms = m_s.records.clock.utcNow().toMSecsSinceEpoch();
    return (ms >= 0 ? ms / 1000 : (ms - 999) / 1000) * 1000;
}

int RunEngine::percentileRank() const {
    return m_s.percentile.rank();
}

template <class Change> void RunEngine::publish(Change&& change) {
    m_s.runner.runState().update(std::forward<Change>(change));
}

void RunEngine::publishDisplay() {
    const bool pause = m_absoluteEnd && !m_unitRunning;
    publish([&](RunState& s) {
        s.title = m_title;
        s.remainingSeconds = m_remainingSecs;
        s.end = pause ? m_until : m_unitEnd;
        s.percentileRank = m_s.percentile.rank();
    });
}

// --- starting phases -------------------------------------------------------------------

void RunEngine::StartUnit(const QString& title, int minutes, qint64 startStampMs) {
    Settings& settings = m_s.records.settings;
    m_unitRunning = true;
    m_minutes = minutes;
    if (startStampMs > 0) {
        m_startStampMs = startStampMs;
        m_phaseStart = wallFromUnixMs(startStampMs);
    } else {
        m_phaseStart = wallFromUnixMs(now().toMSecsSinceEpoch());
        m_startStampMs = unixSecs(m_phaseStart) * 1000;
        settings.LaufendeEinheitGestartetUm = m_startStampMs;
        m_s.records.saveSettings();
    }
    // The time a unit has run is measured on the real clock, so that a daylight-saving change
    // neither adds nor takes away an hour.
    m_startUtcMs = startInstant(m_phaseStart, nowUtcMs());
    m_lastElapsedMs = 0;
    m_previousTickSecs = -1;
    m_unitEnd = m_phaseStart.addSecs(qint64(minutes) * 60);
    m_absoluteEnd = false;
    m_logged = false;
    m_logLine.clear();

    m_s.publisher.PublishNextUnitStart();
    m_planning->hideWindow();
    m_s.publisher.UpdateSideFiles();
    m_failedMark = false;

    m_title = title;
    m_durationMs = qint64(minutes) * 60'000;
    m_phase = RunState::Phase::Unit;
    m_active = true;
    // The tooltip names the unit, so it follows the title.
    publish([&](RunState& s) {
        s.timerTooltip = unitTooltip();
        s.phase = RunState::Phase::Unit;
        s.ticking = true;
    });
    computeRemaining();
    publishDisplay();
    publish([](RunState& s) { s.timerVisible = true; });
    m_s.companion.alwaysOnTop();
    publish([](RunState& s) { s.foregroundKeeping = true; });
    if (m_s.records.settingsFile.firstStart())
        m_timer->showFirstStartHint();
}

void RunEngine::StartPause(const QDateTime& until) {
    m_unitRunning = false;
    m_phaseStart = wallFromUnixMs(now().toMSecsSinceEpoch());
    m_startStampMs = unixSecs(m_phaseStart) * 1000;
    m_phase = RunState::Phase::Pause;
    m_until = plantime::wall(until.date(), until.time());
    m_untilUtcMs = endInstant(m_until, nowUtcMs());
    m_absoluteEnd = true;

    m_s.publisher.PublishNextUnitStart();
    computeRemaining();
    if (m_remainingSecs < 0) {
        m_remainingSecs = 0;
        m_remainingMs = 0;
    }
    m_previousTickSecs = -1;
    m_active = true;
    publish([](RunState& s) {
        s.ticking = true;
        s.phase = RunState::Phase::Pause;
    });
    m_s.publisher.UpdateSideFiles();
    const bool nextPending = !worklist().NextPendingTitle().isEmpty();
    publish([&](RunState& s) { s.timerTooltip = nextPending ? pauseTooltip() : QString(); });
    if (!nextPending && m_remainingSecs <= 0)
        m_planning->showWindow();
    publishDisplay();
    publish([](RunState& s) { s.timerVisible = true; });
    m_s.companion.alwaysOnTop();
    publish([](RunState& s) { s.foregroundKeeping = true; });
}

void RunEngine::stopForReplan() {
    m_unitRunning = false;
    m_active = false;
    publish([](RunState& s) {
        s.ticking = false;
        s.foregroundKeeping = false;
        s.timerVisible = false;
    });
}

// --- the tick ----------------------------------------------------------------------------

void RunEngine::computeRemaining() {
    const qint64 nowMs = nowUtcMs();
    if (m_absoluteEnd && !m_unitRunning) {
        if (nowMs > m_untilUtcMs) {
            m_remainingSecs = -1;
            m_remainingMs = -1000;
        } else {
            m_remainingSecs = (m_untilUtcMs - nowMs) / 1000;
            m_remainingMs = m_remainingSecs * 1000;
        }
        return;
    }
    // A clock set back must not hand the user time they have already worked: the elapsed time
    // never shrinks. A clock that jumps forward (a suspend) counts, so a unit that ended
    // meanwhile ends now.
    qint64 elapsed = nowMs - m_startUtcMs;
    if (elapsed < m_lastElapsedMs) {
        m_startUtcMs -= m_lastElapsedMs - elapsed;
        elapsed = m_lastElapsedMs;
    }
    m_lastElapsedMs = elapsed;
    m_remainingMs = m_durationMs - elapsed;
    m_remainingSecs = m_remainingMs / 1000;
}

void RunEngine::Tick() {
    if (!m_active)
        return;
    const Settings& settings = m_s.records.settings;
    PlanRunner& runner = m_s.runner;
    computeRemaining();
    const bool pause = m_absoluteEnd && !m_unitRunning;

    if (pause && m_remainingSecs > (qint64(settings.KleinePause) + 1) * 60)
        runner.setPresenceConfirmed(false);

    // The remaining seconds at the last tick of this phase: a second that a stalled program
    // (a long dialog, a busy machine) stood still over is still seen as passed.
    const qint64 before = m_previousTickSecs < 0 ? m_remainingSecs + 1 : m_previousTickSecs;
    m_previousTickSecs = m_remainingSecs;

    // Once, when the 120th second before the end has passed, while the unit still runs.
    if (settings.HinweisAufgabenwechsel && !pause && m_remainingSecs <= 120 && before > 120 &&
        m_remainingSecs > 0) {
        const QString next = worklist().NextPendingUnitTitle();
        if (!next.isEmpty() && next != m_title) {
            const RunMoment hint{
                RunMoment::Kind::TaskChange, tr_("Aufgabenwechsel vorbereiten"),
                tr_("In der nächsten Einheit steht eine andere Aufgabe an. Komm also zum Schluss. "
                    "(Aufgabenwechsel lohnen sich, siehe Interleaving- & Zeigarnik-Effekt.)")};
            m_s.ui.showReminder(hint.summary, hint.body);
            m_s.runner.runState().announce(hint);
        }
    }

    if (m_remainingSecs > 0) {
        publish([](RunState& s) { s.foregroundKeeping = true; });
        if (pause) {
            if (!runner.presenceConfirmed() && m_remainingSecs <= 59 && settings.AnwesenheitErforderlich)
                publish([](RunState& s) { s.presenceConfirmationVisible = true; });
            // The announcements at 59, 30 and 5 seconds, once each; after a stall, the last
            // one passed.
            if (!worklist().NextPendingTitle().isEmpty()) {
                if (m_remainingSecs <= 5 && before > 5)
                    m_s.countdown.showFor(7000);
                else if ((m_remainingSecs <= 30 && before > 30) || (m_remainingSecs <= 59 && before > 59))
                    m_s.countdown.showFor(4000);
            }
        } else if (!m_logged && m_remainingSecs <= (qint64(m_minutes) - 1) * 60) {
            m_logged = true;
            m_logLine = currentLogLine();
            if (!m_title.isEmpty() && !m_s.records.activityLog.LastLine().contains(m_logLine))
                m_s.records.activityLog.WriteLogEntry(QStringLiteral("\r\n") + m_logLine);
        }
        publishDisplay();
        return;
    }

    m_active = false;
    publish([](RunState& s) {
        s.ticking = false;
        s.foregroundKeeping = false;
    });
    m_unitRunning = false;
    if (pause)
        endOfPause();
    else
        endOfUnit();
}

QString RunEngine::currentLogLine() const {
    return ActivityLog::unitLine(m_phaseStart, m_minutes, m_title).mid(2);
}

void RunEngine::endOfPause() {
    Settings& settings = m_s.records.settings;
    PlanRunner& runner = m_s.runner;
    runner.FinishRunningEntry();
    if (!worklist().NextPendingTitle().isEmpty()) {
        if (!runner.presenceConfirmed() && settings.AnwesenheitErforderlich) {
            m_s.percentile.UpdatePercentile();
            m_planning->showCentred();
            publish([](RunState& s) { s.maxReplanEnabled = true; });
            m_planning->bringToFront();
            publish([](RunState& s) { s.presenceConfirmationVisible = false; });
            m_s.records.debugLog.AddDebugLine(
                QStringLiteral("FTimer: Kann nächste Einheit nicht starten, da Benutzer nicht anwesend. "
                               "=> Automatisch neu geplant"));
            runner.btnNeuPlanenClick();
        } else {
            runner.RunCurrentEntry();
        }
        return;
    }
    announcePlanEnd();
    m_s.percentile.UpdatePercentile();
    settings.Verbleibend = settings.NeuPlanenMax;
    publish([](RunState& s) { s.maxReplanEnabled = true; });
    m_s.records.saveSettings();
    runner.ListeWiederVeraenderbarMachen();
    m_s.records.debugLog.AddDebugLine(QStringLiteral(
        "FTimer: Ende der Liste erreicht => Neu geplant (über FWorklist.ListeWiederVeraenderbarMachen)"));
    m_planning->showWindow();
    m_planning->bringToFront();
    m_timer->raiseReminderIfVisible();
    if (settings.InVordergrundDraengen)
        publish([](RunState& s) { s.focusLock = true; });
    if (settings.Sounds)
        runsounds::play(m_s.sound, runsounds::dayEnd);
}

void RunEngine::endOfUnit() {
    Settings& settings = m_s.records.settings;
    ActivityLog& log = m_s.records.activityLog;
    PlanRunner& runner = m_s.runner;
    if (!m_title.isEmpty() && !m_failedMark) {
        // A unit whose line was never written (one minute long, or over before the first tick
        // after a suspend) is logged whole rather than marking someone else's line. A unit
        // resumed after a restart and over on its first tick finds its own open line last.
        if (m_logLine.isEmpty())
            m_logLine = currentLogLine();
        if (log.LastLineIsOpenUnit(m_logLine))
            log.WriteLogEntry(ActivityLog::finishMark());
        else if (!log.LastLine().contains(m_logLine + ActivityLog::finishMark()))
            log.WriteLogEntry(QStringLiteral("\r\n") + m_logLine + ActivityLog::finishMark());
        m_logged = true;
    }
    m_s.percentile.UpdatePercentile();
    if (settings.Sounds) {
        runsounds::play(m_s.sound, runsounds::unitEnd);
        if (settings.showPercentileRanking)
            m_s.publisher.speak(QString::number(m_s.percentile.rank()));
    }
    publishDisplay();
    m_planning->showWindow();
    m_planning->bringToFront();

    if (plantime::formatTime(m_unitEnd) == lastEnd()) {
        if (settings.InVordergrundDraengen)
            publish([](RunState& s) { s.focusLock = true; });
    } else if (settings.InPauseSperren) {
        m_lockUntil = unixSecs(now()) + 60;
        publish([](RunState& s) { s.workstationLockIntervalMs = lockFirstIntervalMs; });
    }

    runner.FinishRunningEntry();
    if (!worklist().NextPendingTitle().isEmpty()) {
        runner.runState().announce({RunMoment::Kind::UnitEnd, tr_("Einheit beendet"), m_title});
        runner.RunCurrentEntry();
        m_planning->bringToFront();
        return;
    }
    announcePlanEnd();
    settings.Verbleibend = settings.NeuPlanenMax;
    publish([](RunState& s) { s.maxReplanEnabled = true; });
    m_s.records.saveSettings();
    publish([](RunState& s) { s.timerVisible = false; });
    m_s.percentile.UpdatePercentile();
    m_planning->showWindow();
    runner.ListeWiederVeraenderbarMachen();
    m_planning->bringToFront();
}

void RunEngine::announcePlanEnd() {
    m_s.runner.runState().announce(
        {RunMoment::Kind::PlanEnd, tr_("Plan beendet"), tr_("Alle Einträge des Plans sind erledigt.")});
}

// --- workstation lock --------------------------------------------------------------------

void RunEngine::lockWorkstationUntil(qint64 untilUnixSecs) {
    m_lockUntil = untilUnixSecs;
    publish([](RunState& s) { s.workstationLockIntervalMs = lockIntervalMs; });
}

void RunEngine::stopWorkstationLock() {
    publish([](RunState& s) { s.workstationLockIntervalMs = 0; });
}

void RunEngine::workstationLockStep(int intervalMs) {
    if (intervalMs == lockFirstIntervalMs) {
        publish([](RunState& s) { s.workstationLockIntervalMs = lockIntervalMs; });
        return;
    }
    if (unixSecs(now()) < m_lockUntil) {
        const WorkstationLock::Result r = m_s.workstationLock.lock();
        if (!r.locked)
            m_s.records.debugLog.AddDebugLine(r.report);
        return;
    }
    publish([](RunState& s) { s.workstationLockIntervalMs = 0; });
}

// --- tooltips ----------------------------------------------------------------------------

QString RunEngine::lastEnd() const {
    const QList<PlanEntry>& entries = worklist().entries();
    return entries.isEmpty() ? QString() : entries.last().endTime;
}

QString RunEngine::rankText() const {
    if (!m_s.records.settings.showPercentileRanking)
        return QString();
    return QStringLiteral("\r\n") + tr_("Perzentilrang: #%1").arg(m_s.percentile.rank());
}

QString RunEngine::unitTooltip() const {
    const Worklist& w = worklist();
    return tr_("Aktuelle Einheit") +
           QStringLiteral(" (%1/%2): ").arg(w.DoneCount() + 1).arg(w.PlannedTodayCount()) +
           forTooltip(m_title) + QStringLiteral("\r\n") +
           tr_("Endet um: %1 Uhr").arg(plantime::formatTime(m_unitEnd)) + QStringLiteral("\r\n") +
           tr_("Letzte Einheit endet um: %1 Uhr").arg(lastEnd()) + rankText();
}

QString RunEngine::pauseTooltip() const {
    const Worklist& w = worklist();
    const QString next = forTooltip(w.NextPendingTitle());
    const QString head =
        w.NextPendingIsPause()
            ? tr_("Nächster Eintrag: ") + next
            : tr_("Nächste Einheit") +
                  QStringLiteral(" (%1/%2): ").arg(w.DoneCount() + 1).arg(w.PlannedTodayCount()) + next;
    return head + QStringLiteral("\r\n") +
           tr_("Startet um: %1 Uhr").arg(plantime::formatTime(w.NextPendingStart())) +
           QStringLiteral("\r\n") + tr_("Letzte Einheit endet um: %1 Uhr").arg(lastEnd()) + rankText();
}
