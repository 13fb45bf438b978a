#include "evaluation.h"

#include "activity_log.h"

#include <QHash>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace evaluation {

namespace {

bool isSunday(QDate date) {
    return date.dayOfWeek() == Qt::Sunday;
}

template <typename Visit> void forEachDay(const LogDays& log, QDate from, QDate to, Visit visit) {
    for (auto it = log.days().lowerBound(from); it != log.days().constEnd() && it.key() <= to; ++it)
        visit(*it);
}

} // namespace

PeriodSummary summarize(const LogDays& log, QDate from, QDate to) {
    PeriodSummary s;
    forEachDay(log, from, to, [&](const DayRecord& day) {
        s.unitsDone += day.unitsDone();
        s.minutesDone += day.minutesDone();
        s.unitsFailed += day.unitsFailed();
        s.replans += int(day.replans.size());
        if (day.hasTarget()) {
            s.targetSum += day.target;
            ++s.daysWithTarget;
            s.daysTargetMet += day.targetMet() ? 1 : 0;
        }
    });
    return s;
}

QDate weekStart(QDate date) {
    return date.addDays(1 - date.dayOfWeek());
}

QDate monthStart(QDate date) {
    return QDate(date.year(), date.month(), 1);
}

Streaks streaks(const LogDays& log, QDate today) {
    Streaks s;
    if (log.isEmpty())
        return s;
    const QDate first = log.firstDate();
    // Only the days of the log are visited: a hand-typed year 0001 or 9999 must not make this a
    // walk over millions of days. Days between them have no units, so they carry nothing and
    // break the run unless each is a Sunday or today.
    const auto breaks = [today](QDate d) { return !isSunday(d) && d != today; };
    int run = 0;
    QDate previous;
    for (const DayRecord& day : log.days()) {
        if (previous.isValid()) {
            const qint64 gap = previous.daysTo(day.date) - 1;
            bool broken = gap > 3; // four days in a row hold a weekday other than today
            for (qint64 i = 1; !broken && i <= gap; ++i)
                broken = breaks(previous.addDays(i));
            if (broken)
                run = 0;
        }
        previous = day.date;
        if (day.streakDay())
            s.longest = std::max(s.longest, ++run);
        else if (breaks(day.date))
            run = 0;
    }
    // Today still open does not end the streak that led up to it.
    for (QDate d = today; d >= first; d = d.addDays(-1)) {
        if (log.day(d).streakDay())
            ++s.current;
        else if (!isSunday(d) && d != today)
            break;
    }
    return s;
}

double percentile(QVector<double> values, double p) {
    if (values.isEmpty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const double position = p * double(values.size() - 1);
    const auto below = qsizetype(std::floor(position));
    const auto above = std::min<qsizetype>(below + 1, values.size() - 1);
    const double fraction = position - double(below);
    return values[below] + (values[above] - values[below]) * fraction;
}

QVector<double> cumulativeCurve(const DayRecord& day, int stepMinutes) {
    const int step = std::max(1, stepMinutes);
    const int samples = 24 * 60 / step + 1;
    QVector<double> curve(samples, 0.0);
    for (const UnitRecord& unit : day.units) {
        if (!unit.finished || unit.minutes <= 0)
            continue;
        const int start = unit.start.hour() * 60 + unit.start.minute();
        for (int i = 0; i < samples; ++i) {
            const int t = i * step;
            curve[i] += std::clamp(t - start, 0, unit.minutes);
        }
    }
    return curve;
}

NormalBand normalBand(const LogDays& log, int weekday, QDate before, int weeks, int stepMinutes) {
    NormalBand band;
    band.stepMinutes = std::max(1, stepMinutes);
    if (log.isEmpty() || weekday < 1 || weekday > 7)
        return band;
    // The latest day of that weekday before the reference day.
    QDate d = before.addDays(-1);
    while (d.dayOfWeek() != weekday)
        d = d.addDays(-1);
    QList<QVector<double>> curves;
    for (int w = 0; w < weeks && d >= log.firstDate(); ++w, d = d.addDays(-7)) {
        band.days.append(d);
        curves.append(cumulativeCurve(log.day(d), band.stepMinutes));
    }
    if (curves.isEmpty())
        return band;
    const qsizetype samples = curves.first().size();
    band.p25.resize(samples);
    band.median.resize(samples);
    band.p75.resize(samples);
    QVector<double> column(curves.size());
    for (qsizetype i = 0; i < samples; ++i) {
        for (qsizetype c = 0; c < curves.size(); ++c)
            column[c] = curves[c][i];
        band.p25[i] = percentile(column, 0.25);
        band.median[i] = percentile(column, 0.5);
        band.p75[i] = percentile(column, 0.75);
    }
    return band;
}

FailureStats failures(const LogDays& log, QDate from, QDate to) {
    FailureStats s;
    QHash<QString, int> unfinishedDays;
    forEachDay(log, from, to, [&](const DayRecord& day) {
        QSet<QString> unfinishedToday;
        for (const UnitRecord& unit : day.units) {
            if (unit.running)
                continue;
            Rate& cell = s.byWeekdayHour[day.date.dayOfWeek() - 1][unit.start.hour()];
            Rate& length = s.byLength[unit.minutes];
            ++cell.total;
            ++length.total;
            if (unit.finished) {
                ++cell.done;
                ++length.done;
            } else {
                unfinishedToday.insert(unit.title);
            }
        }
        for (const QString& title : unfinishedToday)
            ++unfinishedDays[title];
    });
    for (auto it = unfinishedDays.constBegin(); it != unfinishedDays.constEnd(); ++it) {
        if (it.value() >= 3)
            s.unfinishedTitles.append(UnfinishedTitle{it.key(), it.value()});
    }
    std::sort(s.unfinishedTitles.begin(), s.unfinishedTitles.end(),
              [](const UnfinishedTitle& a, const UnfinishedTitle& b) {
                  return a.days != b.days ? a.days > b.days : a.title < b.title;
              });
    return s;
}

QString weekKey(QDate date) {
    int year = 0;
    const int week = date.weekNumber(&year);
    return QStringLiteral("%1-W%2").arg(year).arg(week, 2, 10, QLatin1Char('0'));
}

QString monthKey(QDate date) {
    return QStringLiteral("%1-%2").arg(date.year()).arg(date.month(), 2, 10, QLatin1Char('0'));
}

ReplanStats replans(const LogDays& log, QDate from, QDate to) {
    ReplanStats s;
    QHash<QString, qsizetype> groupOf;
    forEachDay(log, from, to, [&](const DayRecord& day) {
        for (const ReplanRecord& replan : day.replans) {
            const QString text = replan.reason.trimmed();
            const QString key = text.toCaseFolded();
            auto it = groupOf.constFind(key);
            if (it == groupOf.constEnd()) {
                it = groupOf.insert(key, s.reasons.size());
                s.reasons.append(ReasonGroup{text, 0, {}, {}});
            }
            ReasonGroup& group = s.reasons[*it];
            ++group.total;
            ++group.perWeek[weekKey(day.date)];
            ++group.perMonth[monthKey(day.date)];
        }
        if (day.hasTarget()) {
            Rate& rate = day.replans.isEmpty() ? s.targetWithoutReplans : s.targetWithReplans;
            ++rate.total;
            rate.done += day.targetMet() ? 1 : 0;
        }
    });
    std::stable_sort(s.reasons.begin(), s.reasons.end(),
                     [](const ReasonGroup& a, const ReasonGroup& b) { return a.total > b.total; });
    return s;
}

Calibration calibrate(const LogDays& log, QDate today) {
    Calibration c;
    QVector<int> recentDone;
    const auto& days = log.days();
    for (auto it = days.constEnd(); it != days.constBegin();) {
        --it;
        const DayRecord& day = *it;
        if (!day.hasTarget() || day.date >= today)
            continue;
        Rate& rate = c.byTarget[day.target];
        ++rate.total;
        rate.done += day.targetMet() ? 1 : 0;
        if (recentDone.size() < 20)
            recentDone.append(day.unitsDone());
    }
    c.basisDays = int(recentDone.size());
    if (recentDone.isEmpty())
        return c;
    // The k-th largest count of units is met (done >= value) on at least k of the days.
    std::sort(recentDone.begin(), recentDone.end(), std::greater<>());
    const qsizetype needed = (2 * recentDone.size() + 2) / 3;
    c.suggested = recentDone[needed - 1];
    return c;
}

QList<TitleTotal> titleTotals(const LogDays& log, QDate from, QDate to) {
    QHash<QString, qsizetype> index;
    QList<TitleTotal> totals;
    forEachDay(log, from, to, [&](const DayRecord& day) {
        for (const UnitRecord& unit : day.units) {
            if (!unit.finished)
                continue;
            auto it = index.constFind(unit.title);
            if (it == index.constEnd()) {
                it = index.insert(unit.title, totals.size());
                totals.append(TitleTotal{unit.title, 0, 0});
            }
            totals[*it].minutes += unit.minutes;
            ++totals[*it].units;
        }
    });
    std::stable_sort(totals.begin(), totals.end(), [](const TitleTotal& a, const TitleTotal& b) {
        return a.minutes != b.minutes ? a.minutes > b.minutes : a.units > b.units;
    });
    return totals;
}

AxisScale roundScale(double value, int maxSteps) {
    const double wanted = std::max(value, 1.0);
    const int steps = std::max(1, maxSteps);
    for (double power = 1;; power *= 10) {
        for (const double factor : {1.0, 2.0, 5.0}) {
            const double step = factor * power;
            const double count = std::ceil(wanted / step);
            if (count <= steps)
                return AxisScale{count * step, step};
        }
    }
}

int labelStep(qsizetype bars, int maxLabels, bool months) {
    const qsizetype most = std::max(1, maxLabels);
    const auto fits = [&](qint64 step) { return (bars + step - 1) / step <= most; };
    if (months) {
        for (const int step : {1, 2, 3, 6})
            if (fits(step))
                return step;
    }
    // Months beyond half a year go by whole years.
    const qint64 unit = months ? 12 : 1;
    for (qint64 power = 1;; power *= 10)
        for (const qint64 factor : {1, 2, 5})
            if (fits(unit * factor * power))
                return int(unit * factor * power);
}

HourSpan activeHours(const QList<QVector<double>>& curves, int stepMinutes) {
    const int step = std::max(1, stepMinutes);
    int firstMinute = 24 * 60;
    int lastMinute = 0;
    for (const QVector<double>& curve : curves) {
        for (qsizetype i = 1; i < curve.size(); ++i) {
            if (curve[i] > curve[i - 1]) {
                firstMinute = std::min(firstMinute, int(i - 1) * step);
                lastMinute = std::max(lastMinute, int(i) * step);
            }
        }
    }
    if (firstMinute >= lastMinute)
        return {};
    return HourSpan{std::max(0, firstMinute / 60 - 1), std::min(24, (lastMinute + 59) / 60 + 1)};
}

QList<std::pair<int, int>> targetRuns(const QList<bool>& hasTarget) {
    QList<std::pair<int, int>> runs;
    for (int i = 0; i < hasTarget.size(); ++i) {
        if (!hasTarget[i])
            continue;
        if (!runs.isEmpty() && runs.last().second == i - 1)
            runs.last().second = i;
        else
            runs.append({i, i});
    }
    return runs;
}

std::pair<QDate, QDate> exportRange(QDate from, QDate to, QDate today) {
    return {from, std::min(to, today)};
}

namespace {

void appendDate(QByteArray& out, QDate d) {
    char text[16];
    const int n = std::snprintf(text, sizeof text, "%04d-%02d-%02d", d.year(), d.month(), d.day());
    out.append(text, n);
}

} // namespace

bool writeDays(const LogDays& log, QDate from, QDate to, ExportFormat format, const ExportSink& write) {
    // Written in pieces: a range of centuries is never held whole.
    constexpr qsizetype pieceSize = 64 * 1024;
    QByteArray out;
    out.reserve(pieceSize + 512);
    const bool csv = format == ExportFormat::Csv;
    out += csv ? "date,weekday,units_done,minutes_done,units_failed,target,replans\n" : "[";
    bool first = true;
    const DayRecord none;
    auto next = log.days().lowerBound(from);
    for (QDate d = from; d.isValid() && d <= to; d = d.addDays(1)) {
        while (next != log.days().constEnd() && next.key() < d)
            ++next;
        const DayRecord& day = next != log.days().constEnd() && next.key() == d ? *next : none;
        const QByteArray weekday = ActivityLog::weekdayAbbreviation(d).toLatin1();
        const QByteArray target = day.hasTarget() ? QByteArray::number(day.target) : QByteArray();
        if (csv) {
            appendDate(out, d);
            out += ',' + weekday + ',' + QByteArray::number(day.unitsDone()) + ',' +
                   QByteArray::number(day.minutesDone()) + ',' + QByteArray::number(day.unitsFailed()) + ',' +
                   target + ',' + QByteArray::number(day.replans.size()) + '\n';
        } else {
            out += first ? "\n" : ",\n";
            first = false;
            out += "  {\"date\": \"";
            appendDate(out, d);
            out += "\", \"weekday\": \"" + weekday +
                   "\", \"units_done\": " + QByteArray::number(day.unitsDone()) +
                   ", \"minutes_done\": " + QByteArray::number(day.minutesDone()) +
                   ", \"units_failed\": " + QByteArray::number(day.unitsFailed()) +
                   ", \"target\": " + (day.hasTarget() ? target : QByteArray("null")) +
                   ", \"replans\": " + QByteArray::number(day.replans.size()) + "}";
        }
        if (out.size() >= pieceSize) {
            if (!write(out))
                return false;
            out.clear();
        }
    }
    if (!csv)
        out += first ? "]\n" : "\n]\n";
    return write(out);
}

QByteArray exportDays(const LogDays& log, QDate from, QDate to, ExportFormat format) {
    QByteArray all;
    writeDays(log, from, to, format, [&all](QByteArrayView piece) {
        all += piece;
        return true;
    });
    return all;
}

} // namespace evaluation
