#include "status_report.h"

#include "plan_time.h"
#include "translate.h"
#include "worklist.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {

QString clockText(qint64 seconds) {
    const qint64 h = seconds / 3600, m = seconds / 60 % 60, s = seconds % 60;
    const QString mmss =
        QStringLiteral("%1:%2").arg(m, h > 0 ? 2 : 1, 10, QLatin1Char('0')).arg(s, 2, 10, QLatin1Char('0'));
    return h > 0 ? QString::number(h) + QLatin1Char(':') + mmss : mmss;
}

QJsonValue timeOrNull(const QDateTime& time) {
    return time.isValid() ? QJsonValue(time.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"))) : QJsonValue();
}

QJsonValue textOrNull(const QString& text) {
    return text.isEmpty() ? QJsonValue() : QJsonValue(text);
}

QJsonValue countOrNull(qint64 count) {
    return count < 0 ? QJsonValue() : QJsonValue(count);
}

} // namespace

StatusReport StatusReport::from(const RunState& state, const Worklist& plan, int dailyTarget, int rank) {
    StatusReport r;
    r.dailyTarget = qMax(dailyTarget, -1);
    r.percentileRank = qMax(rank, -1);
    const PlanEntry* running = nullptr;
    for (const PlanEntry& e : plan.entries()) {
        if (e.isRunning()) {
            running = &e;
            break;
        }
    }
    // The phase stays as it was when a run ends; only the ticking tells that nothing runs.
    switch (state.ticking ? state.phase : RunState::Phase::Planning) {
    case RunState::Phase::Unit:
        r.phase = Phase::Unit;
        r.title = state.title;
        break;
    case RunState::Phase::Pause:
        // The engine also counts down to a fixed start with a pause of its own; only a pause of
        // the plan is one for the user.
        if (running && running->isPause() && state.remainingSeconds > 0) {
            r.phase = Phase::Pause;
            r.title = running->displayText;
        } else {
            r.phase = Phase::Wait;
        }
        break;
    case RunState::Phase::Planning:
        break;
    }
    if (r.phase != Phase::Planning) {
        r.remainingSeconds = qMax<qint64>(state.remainingSeconds, 0);
        r.endsAt = state.end;
    }
    try {
        r.doneToday = plan.DoneCount();
        r.plannedToday = plan.PlannedTodayCount();
        r.nextTitle = plan.NextPendingTitle();
        r.nextStart = plan.NextPendingStart();
    } catch (const plantime::ConversionError&) {
        r.nextTitle.clear();
        r.nextStart = QDateTime();
    }
    return r;
}

QString StatusReport::phaseName(Phase phase) {
    switch (phase) {
    case Phase::Unit:
        return QStringLiteral("unit");
    case Phase::Pause:
        return QStringLiteral("pause");
    case Phase::Wait:
        return QStringLiteral("wait");
    case Phase::Planning:
        break;
    }
    return QStringLiteral("planning");
}

QByteArray StatusReport::toJson() const {
    const QJsonObject object{
        {QStringLiteral("phase"), phaseName(phase)},
        {QStringLiteral("title"), textOrNull(title)},
        {QStringLiteral("remaining_seconds"), countOrNull(remainingSeconds)},
        {QStringLiteral("ends_at"), timeOrNull(endsAt)},
        {QStringLiteral("next_title"), textOrNull(nextTitle)},
        {QStringLiteral("next_start"), timeOrNull(nextStart)},
        {QStringLiteral("done_today"), doneToday},
        {QStringLiteral("planned_today"), plannedToday},
        {QStringLiteral("daily_target"), countOrNull(dailyTarget)},
        {QStringLiteral("percentile_rank"), countOrNull(percentileRank)},
    };
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

QString StatusReport::toText() const {
    const QString next =
        nextTitle.isEmpty() ? QString() : QStringLiteral(" · ") + tr_("als Nächstes: %1").arg(nextTitle);
    switch (phase) {
    case Phase::Unit:
        // Put together, not by arg(): a title may hold "%1" itself.
        return QStringLiteral("▶ ") + title + QLatin1Char(' ') + clockText(remainingSeconds) +
               QStringLiteral(" · ") + QString::number(doneToday) + QLatin1Char('/') +
               QString::number(plannedToday);
    case Phase::Pause:
        return tr_("Pause %1").arg(clockText(remainingSeconds)) + next;
    case Phase::Wait:
        return (remainingSeconds > 0 ? tr_("Warten %1").arg(clockText(remainingSeconds)) : tr_("Warten")) +
               next;
    case Phase::Planning:
        break;
    }
    return tr_("Planung");
}

QByteArray StatusReport::toWaybar() const {
    const QJsonObject object{{QStringLiteral("text"), toText()}, {QStringLiteral("class"), phaseName(phase)}};
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}
