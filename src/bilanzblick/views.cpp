#include "views.h"

#include "heatmap.h"
#include "translate.h"

#include <QAreaSeries>
#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLegendMarker>
#include <QLineEdit>
#include <QLineSeries>
#include <QSpinBox>
#include <QSplitter>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <optional>

using namespace evaluation;

namespace {

QChartView* newChartView(QWidget* parent, const QString& objectName) {
    auto* chart = new QChart;
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setMargins(QMargins(4, 4, 4, 4));
    auto* view = new QChartView(chart, parent);
    view->setObjectName(objectName);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumHeight(220);
    return view;
}

// Empties the chart of its series and axes.
QChart* clearedChart(QChartView* view) {
    QChart* chart = view->chart();
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
    return chart;
}

QTableWidget* newTable(QWidget* parent, const QString& objectName, const QStringList& headers) {
    auto* table = new QTableWidget(0, int(headers.size()), parent);
    table->setObjectName(objectName);
    table->setHorizontalHeaderLabels(headers);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->verticalHeader()->setVisible(false);
    table->horizontalHeader()->setStretchLastSection(true);
    // A header centred in a column narrower than itself is cut at both ends.
    for (int column = 0; column < table->columnCount(); ++column)
        table->horizontalHeader()->resizeSection(
            column, std::max(table->horizontalHeader()->sectionSize(column),
                             table->horizontalHeader()->sectionSizeHint(column)));
    return table;
}

QTableWidgetItem* numberItem(double value, const QString& text = {}) {
    auto* item = new QTableWidgetItem;
    item->setData(Qt::DisplayRole, text.isEmpty() ? QVariant(value) : QVariant(text));
    item->setData(Qt::UserRole, value);
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

QString percentText(const Rate& rate) {
    if (rate.total == 0)
        return QStringLiteral("–");
    return QString::number(qRound(rate.share() * 100)) + QStringLiteral(" %");
}

QString targetText(const PeriodSummary& s) {
    if (s.daysWithTarget == 0)
        return tr_("kein Soll");
    return QString::number(s.targetSum);
}

QString metText(const PeriodSummary& s) {
    if (s.daysWithTarget == 0)
        return QStringLiteral("–");
    if (s.daysWithTarget == 1)
        return s.targetMet() ? tr_("erfüllt") : tr_("nicht erfüllt");
    return QString::number(s.daysTargetMet) + tr_(" von ") + QString::number(s.daysWithTarget) +
           tr_(" Tagen erfüllt");
}

// A title or reason as a cell shows it: a hand-edited line of megabytes would take the table
// seconds to measure and paint at every refresh. The statistics keep the whole text.
QString shortText(const QString& text) {
    constexpr qsizetype limit = 300;
    if (text.size() <= limit)
        return text;
    qsizetype cut = limit - 1;
    if (text[cut - 1].isHighSurrogate())
        --cut;
    return text.left(cut) + QChar(0x2026);
}

// In the language of the window; the log and the export keep their own German letters.
QString weekdayShort(int weekday) {
    const QString names[] = {tr_("Mo"), tr_("Di"), tr_("Mi"), tr_("Do"), tr_("Fr"), tr_("Sa"), tr_("So")};
    return weekday >= 1 && weekday <= 7 ? names[weekday - 1] : QString();
}

QString dateText(QDate day) {
    return weekdayShort(day.dayOfWeek()) + QStringLiteral(", ") + day.toString(QStringLiteral("dd.MM.yyyy"));
}

// A rich-text tooltip wraps where a plain one would run off the screen.
QString wrappedTip(const QString& text) {
    return QStringLiteral("<p>") + shortText(text).toHtmlEscaped() + QStringLiteral("</p>");
}

QString weekdayName(int weekday) {
    const QString names[] = {tr_("Montag"),  tr_("Dienstag"), tr_("Mittwoch"), tr_("Donnerstag"),
                             tr_("Freitag"), tr_("Samstag"),  tr_("Sonntag")};
    return weekday >= 1 && weekday <= 7 ? names[weekday - 1] : QString();
}

QString daysText(int n) {
    return QString::number(n) + (n == 1 ? tr_(" Tag") : tr_(" Tage"));
}

struct Bar {
    qint64 done = 0;
    std::optional<qint64> target;
    QString label; // unique among the bars
};

// Bars of the units done with round steps up the side, every labelStep-th bar labelled (at most
// maxLabels), and the target over the bars that have one.
void fillBarChart(QChart* chart, const QList<Bar>& bars, int maxLabels, bool months) {
    auto* done = new QBarSet(tr_("Einheiten"));
    QList<bool> hasTarget;
    qint64 top = 1;
    for (const Bar& bar : bars) {
        *done << double(bar.done);
        hasTarget << bar.target.has_value();
        top = std::max({top, bar.done, bar.target.value_or(0)});
    }
    auto* series = new QBarSeries;
    series->append(done);
    chart->addSeries(series);
    // Each stretch of bars with a target is a line of its own, a step over each bar; between the
    // stretches no line suggests a target that was not set.
    const QList<std::pair<int, int>> runs = targetRuns(hasTarget);
    for (const auto& [first, last] : runs) {
        auto* line = new QLineSeries;
        line->setName(tr_("Soll"));
        line->setPen(QPen(QColor(0xc0, 0x39, 0x2b), 2));
        for (int i = first; i <= last; ++i) {
            line->append(i - 0.45, double(*bars[i].target));
            line->append(i + 0.45, double(*bars[i].target));
        }
        chart->addSeries(line);
        if (first != runs.first().first)
            chart->legend()->markers(line).value(0)->setVisible(false);
    }
    auto* x = new QCategoryAxis;
    x->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    x->setStartValue(-0.5);
    x->setRange(-0.5, double(bars.size()) - 0.5);
    x->setGridLineVisible(false);
    const int step = labelStep(bars.size(), maxLabels, months);
    for (qsizetype i = 0; i < bars.size(); i += step)
        x->append(bars[i].label, double(i));
    auto* y = new QValueAxis;
    const AxisScale scale = roundScale(double(top));
    y->setRange(0, scale.top);
    y->setTickType(QValueAxis::TicksDynamic);
    y->setTickAnchor(0);
    y->setTickInterval(scale.step);
    y->setLabelFormat(QStringLiteral("%d"));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    for (QAbstractSeries* s : chart->series()) {
        s->attachAxis(x);
        s->attachAxis(y);
    }
}

} // namespace

// --- overview ---------------------------------------------------------------------------------

OverviewView::OverviewView(QWidget* parent) : EvaluationView(parent) {
    auto* layout = new QVBoxLayout(this);
    m_table = newTable(this, QStringLiteral("overviewTable"),
                       {tr_("Zeitraum"), tr_("Einheiten"), tr_("Minuten"), tr_("Abgebrochen"), tr_("Soll"),
                        tr_("Soll erfüllt")});
    m_table->setRowCount(3);
    m_table->setMaximumHeight(m_table->verticalHeader()->defaultSectionSize() * 4 + 8);
    layout->addWidget(m_table);
    m_streaks = new QLabel(this);
    m_streaks->setObjectName(QStringLiteral("streaks"));
    QFont big = m_streaks->font();
    big.setPointSizeF(big.pointSizeF() * 1.3);
    m_streaks->setFont(big);
    layout->addWidget(m_streaks);
    m_chart = newChartView(this, QStringLiteral("overviewChart"));
    layout->addWidget(m_chart, 1);
}

void OverviewView::refresh(const ViewContext& c) {
    struct Period {
        QString name;
        QDate from;
        QDate to;
    };
    const Period periods[] = {
        {tr_("Heute"), c.today, c.today},
        {tr_("Diese Woche"), weekStart(c.today), weekStart(c.today).addDays(6)},
        {tr_("Dieser Monat"), monthStart(c.today), monthStart(c.today).addMonths(1).addDays(-1)},
    };
    for (int row = 0; row < 3; ++row) {
        const PeriodSummary s = summarize(*c.log, periods[row].from, periods[row].to);
        m_table->setItem(row, 0, new QTableWidgetItem(periods[row].name));
        m_table->setItem(row, 1, numberItem(s.unitsDone));
        m_table->setItem(row, 2, numberItem(s.minutesDone));
        m_table->setItem(row, 3, numberItem(s.unitsFailed));
        m_table->setItem(row, 4, new QTableWidgetItem(targetText(s)));
        m_table->setItem(row, 5, new QTableWidgetItem(metText(s)));
    }
    m_table->resizeColumnsToContents();
    const Streaks s = streaks(*c.log, c.today);
    m_streaks->setText(tr_("Aktuelle Serie: ") + daysText(s.current) + QStringLiteral("    ") +
                       tr_("Längste Serie: ") + daysText(s.longest));

    QChart* chart = clearedChart(m_chart);
    chart->setTitle(tr_("Die letzten 14 Tage"));
    QList<Bar> bars;
    for (int i = 13; i >= 0; --i) {
        const DayRecord day = c.log->day(c.today.addDays(-i));
        bars.append(
            Bar{day.unitsDone(), day.hasTarget() ? std::optional<qint64>(day.target) : std::nullopt,
                weekdayShort(day.date.dayOfWeek()) + QLatin1Char(' ') + QString::number(day.date.day())});
    }
    fillBarChart(chart, bars, 14, false);
}

// --- calendar ---------------------------------------------------------------------------------

CalendarView::CalendarView(QWidget* parent) : EvaluationView(parent) {
    auto* layout = new QVBoxLayout(this);
    m_heatmap = new YearHeatmap(this);
    m_heatmap->setObjectName(QStringLiteral("heatmap"));
    layout->addWidget(m_heatmap);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(tr_("Balken je"), this));
    m_grouping = new QComboBox(this);
    m_grouping->setObjectName(QStringLiteral("grouping"));
    m_grouping->addItems({tr_("Tag"), tr_("Woche"), tr_("Monat")});
    row->addWidget(m_grouping);
    row->addStretch(1);
    layout->addLayout(row);
    m_chart = newChartView(this, QStringLiteral("calendarChart"));
    layout->addWidget(m_chart, 1);
    connect(m_grouping, &QComboBox::currentIndexChanged, this, [this] {
        if (m_context.log)
            fillChart();
    });
    connect(m_heatmap, &YearHeatmap::dayClicked, this, &CalendarView::dayChosen);
}

void CalendarView::refresh(const ViewContext& c) {
    m_context = c;
    m_heatmap->setYear(*c.log, c.to.year());
    // A range of more than two months reads better by week, of more than a year by month.
    const qint64 days = c.from.daysTo(c.to) + 1;
    const QSignalBlocker block(m_grouping);
    m_grouping->setCurrentIndex(days > 400 ? 2 : days > 62 ? 1 : 0);
    fillChart();
}

void CalendarView::fillChart() {
    ViewContext c = m_context;
    const int grouping = m_grouping->currentIndex();
    QChart* chart = clearedChart(m_chart);
    // Tens of thousands of bars would take the chart minutes to lay out. A range that long is
    // cut to the days the log holds, and then to its last bars; the title names what is shown.
    constexpr int maxBars = 1000;
    const auto barCount = [grouping](QDate from, QDate to) {
        if (grouping == 0)
            return from.daysTo(to) + 1;
        if (grouping == 1)
            return weekStart(from).daysTo(weekStart(to)) / 7 + 1;
        return qint64(to.year() - from.year()) * 12 + to.month() - from.month() + 1;
    };
    const bool cut = barCount(c.from, c.to) > maxBars;
    if (cut && !c.log->isEmpty()) {
        c.from = std::max(c.from, c.log->firstDate());
        c.to = std::max(c.from, std::min(c.to, std::max(c.log->lastDate(), c.today)));
    }
    if (barCount(c.from, c.to) > maxBars) {
        const int back = maxBars - 1;
        c.from = std::max(c.from, grouping == 0   ? c.to.addDays(-back)
                                  : grouping == 1 ? weekStart(c.to).addDays(-7 * back)
                                                  : monthStart(c.to).addMonths(-back));
    }
    const QString shown = QStringLiteral(": ") + c.from.toString(QStringLiteral("dd.MM.yyyy")) +
                          QStringLiteral(" – ") + c.to.toString(QStringLiteral("dd.MM.yyyy"));
    chart->setTitle(tr_("Einheiten und Soll") + (cut ? shown : QString()));
    // Labels that stay unique over the range, since the axis keeps only one of each.
    const bool oneYear = c.from.year() == c.to.year();
    const bool oneWeekYear = weekKey(c.from).left(4) == weekKey(c.to).left(4);
    QList<Bar> bars;
    QDate start = c.from;
    while (start <= c.to) {
        QDate end = start;
        QString label;
        if (grouping == 0) {
            label = start.toString(oneYear ? QStringLiteral("dd.MM.") : QStringLiteral("dd.MM.yy"));
        } else if (grouping == 1) {
            end = std::min(weekStart(start).addDays(6), c.to);
            label = oneWeekYear ? weekKey(start).mid(5) : weekKey(start).mid(2);
        } else {
            end = std::min(monthStart(start).addMonths(1).addDays(-1), c.to);
            label = start.toString(QStringLiteral("MM/yy"));
        }
        const PeriodSummary s = summarize(*c.log, start, end);
        bars.append(Bar{s.unitsDone, s.daysWithTarget > 0 ? std::optional<qint64>(s.targetSum) : std::nullopt,
                        label});
        start = end.addDays(1);
    }
    // As many labels as fit the chart's width side by side.
    QString widest;
    for (const Bar& bar : bars)
        widest = bar.label.size() > widest.size() ? bar.label : widest;
    const int labelWidth = m_chart->fontMetrics().horizontalAdvance(widest) + 24;
    fillBarChart(chart, bars, std::max(3, (std::max(m_chart->width(), 600) - 100) / labelWidth),
                 grouping == 2);
}

// --- your normal ------------------------------------------------------------------------------

NormalView::NormalView(QWidget* parent) : EvaluationView(parent) {
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(tr_("Wochentag"), this));
    m_weekday = new QComboBox(this);
    m_weekday->setObjectName(QStringLiteral("weekday"));
    for (int w = 1; w <= 7; ++w)
        m_weekday->addItem(weekdayName(w), w);
    row->addWidget(m_weekday);
    row->addWidget(new QLabel(tr_("der letzten"), this));
    m_weeks = new QSpinBox(this);
    m_weeks->setObjectName(QStringLiteral("weeks"));
    m_weeks->setRange(2, 520);
    m_weeks->setValue(12);
    m_weeks->setSuffix(tr_(" Wochen"));
    row->addWidget(m_weeks);
    row->addWidget(new QLabel(tr_("Tag darauf"), this));
    m_day = new QDateEdit(this);
    m_day->setObjectName(QStringLiteral("normalDay"));
    m_day->setCalendarPopup(true);
    m_day->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    row->addWidget(m_day);
    row->addStretch(1);
    layout->addLayout(row);
    m_basis = new QLabel(this);
    m_basis->setObjectName(QStringLiteral("normalBasis"));
    layout->addWidget(m_basis);
    m_chart = newChartView(this, QStringLiteral("normalChart"));
    layout->addWidget(m_chart, 1);
    const auto changed = [this] {
        if (m_context.log)
            fillChart();
    };
    connect(m_weekday, &QComboBox::currentIndexChanged, this, [this, changed] {
        // The day shown follows the weekday: the latest such day up to the range's end.
        QDate day = m_day->date();
        const int weekday = m_weekday->currentData().toInt();
        while (day.dayOfWeek() != weekday)
            day = day.addDays(-1);
        const QSignalBlocker block(m_day);
        m_day->setDate(day);
        changed();
    });
    connect(m_weeks, &QSpinBox::valueChanged, this, changed);
    connect(m_day, &QDateEdit::dateChanged, this, [this, changed](QDate day) {
        const QSignalBlocker block(m_weekday);
        m_weekday->setCurrentIndex(day.dayOfWeek() - 1);
        changed();
    });
}

void NormalView::refresh(const ViewContext& c) {
    const bool first = m_context.log == nullptr;
    m_context = c;
    if (first || m_day->date() > c.to || m_day->date() < c.from) {
        const QDate day = std::min(c.to, c.today);
        const QSignalBlocker blockDay(m_day);
        const QSignalBlocker blockWeekday(m_weekday);
        m_day->setDate(day);
        m_weekday->setCurrentIndex(day.dayOfWeek() - 1);
    }
    fillChart();
}

void NormalView::fillChart() {
    const QDate day = m_day->date();
    const NormalBand band =
        normalBand(*m_context.log, m_weekday->currentData().toInt(), day, m_weeks->value(), 10);
    m_basis->setText(band.days.isEmpty()
                         ? tr_("Für diesen Wochentag gibt es noch keine früheren Tage im Log.")
                         : tr_("Band aus ") + QString::number(band.days.size()) + tr_(" Tagen, ") +
                               band.days.last().toString(QStringLiteral("dd.MM.yyyy")) + tr_(" bis ") +
                               band.days.first().toString(QStringLiteral("dd.MM.yyyy")));
    QChart* chart = clearedChart(m_chart);
    chart->setTitle(tr_("Minuten im Lauf des Tages: ") + weekdayName(day.dayOfWeek()));
    const double hoursPerSample = band.stepMinutes / 60.0;
    auto* lower = new QLineSeries;
    auto* upper = new QLineSeries;
    auto* median = new QLineSeries;
    median->setName(tr_("Median"));
    for (qsizetype i = 0; i < band.median.size(); ++i) {
        lower->append(double(i) * hoursPerSample, band.p25[i]);
        upper->append(double(i) * hoursPerSample, band.p75[i]);
        median->append(double(i) * hoursPerSample, band.median[i]);
    }
    auto* area = new QAreaSeries(upper, lower);
    area->setName(tr_("25. bis 75. Perzentil"));
    QColor fill(0x1b, 0x7f, 0x3b, 70);
    area->setBrush(fill);
    area->setPen(QPen(fill.darker(), 1));
    auto* today = new QLineSeries;
    today->setName(day.toString(QStringLiteral("dd.MM.yyyy")));
    const QVector<double> curve = cumulativeCurve(m_context.log->day(day), band.stepMinutes);
    // A day still running is drawn up to now only.
    const int lastSample = day == m_context.today
                               ? (m_context.timeNow.msecsSinceStartOfDay() / 60000) / band.stepMinutes
                               : int(curve.size() - 1);
    double top = 60;
    QVector<double> drawn;
    for (int i = 0; i <= lastSample && i < curve.size(); ++i) {
        today->append(i * hoursPerSample, curve[i]);
        drawn.append(curve[i]);
        top = std::max(top, curve[i]);
    }
    if (!band.p75.isEmpty())
        top = std::max(top, band.p75.last());
    const HourSpan hours = activeHours({band.p25, band.median, band.p75, drawn}, band.stepMinutes);
    QPen todayPen(QColor(0xc0, 0x39, 0x2b), 2.5);
    today->setPen(todayPen);
    chart->addSeries(area);
    chart->addSeries(median);
    chart->addSeries(today);
    auto* x = new QValueAxis;
    x->setRange(hours.from, hours.to);
    x->setTickType(QValueAxis::TicksDynamic);
    x->setTickAnchor(0);
    x->setTickInterval(hours.to - hours.from > 12 ? 2 : 1);
    x->setLabelFormat(QStringLiteral("%d h"));
    auto* y = new QValueAxis;
    const AxisScale scale = roundScale(top);
    y->setRange(0, scale.top);
    y->setTickType(QValueAxis::TicksDynamic);
    y->setTickAnchor(0);
    y->setTickInterval(scale.step);
    y->setLabelFormat(QStringLiteral("%d"));
    y->setTitleText(tr_("Minuten"));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    for (QAbstractSeries* series : chart->series()) {
        series->attachAxis(x);
        series->attachAxis(y);
    }
}

// --- where units fail ---------------------------------------------------------------------------

FailureView::FailureView(QWidget* parent) : EvaluationView(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        new QLabel(tr_("Anteil erledigter Einheiten nach Beginn (Stunde) und Wochentag"), this));
    QStringList hours;
    for (int h = 0; h < 24; ++h)
        hours << QString::number(h);
    m_byHour = newTable(this, QStringLiteral("failureByHour"), hours);
    m_byHour->setRowCount(7);
    m_byHour->verticalHeader()->setVisible(true);
    QStringList days;
    for (int w = 1; w <= 7; ++w)
        days << weekdayShort(w);
    m_byHour->setVerticalHeaderLabels(days);
    m_byHour->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    // The whole week and day at once: the columns share the width, nothing scrolls.
    m_byHour->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_byHour->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_byHour->horizontalHeader()->setMinimumSectionSize(26);
    m_byHour->horizontalHeader()->setStretchLastSection(false);
    m_byHour->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // Two lines a cell: the share and the units behind it.
    m_byHour->verticalHeader()->setDefaultSectionSize(2 * m_byHour->fontMetrics().height() + 6);
    m_byHour->setFixedHeight(m_byHour->verticalHeader()->defaultSectionSize() * 7 +
                             m_byHour->horizontalHeader()->sizeHint().height() + 2 * m_byHour->frameWidth());
    layout->addWidget(m_byHour);
    auto* lower = new QSplitter(this);
    m_byLength = newTable(lower, QStringLiteral("failureByLength"),
                          {tr_("Länge (Minuten)"), tr_("Einheiten"), tr_("Erledigt"), tr_("Quote")});
    m_titles = newTable(lower, QStringLiteral("unfinishedTitles"), {tr_("Oft nicht beendet"), tr_("Tage")});
    m_titles->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_titles->horizontalHeader()->setStretchLastSection(false);
    lower->addWidget(m_byLength);
    lower->addWidget(m_titles);
    layout->addWidget(lower, 1);
}

void FailureView::refresh(const ViewContext& c) {
    const FailureStats s = failures(*c.log, c.from, c.to);
    for (int w = 0; w < 7; ++w) {
        for (int h = 0; h < 24; ++h) {
            const Rate& rate = s.byWeekdayHour[w][h];
            auto* item = new QTableWidgetItem(rate.total ? percentText(rate) + QLatin1Char('\n') +
                                                               QString::number(rate.done) + QLatin1Char('/') +
                                                               QString::number(rate.total)
                                                         : QString());
            item->setTextAlignment(Qt::AlignCenter);
            if (rate.total) {
                // Green where units are finished, red where they fail.
                item->setBackground(QColor::fromHsvF(float(rate.share() / 3.0), 0.45f, 0.95f));
                item->setForeground(Qt::black);
                item->setToolTip(QString::number(rate.done) + tr_(" von ") + QString::number(rate.total) +
                                 tr_(" Einheiten erledigt"));
            }
            m_byHour->setItem(w, h, item);
        }
    }
    // Only the hours from the first to the last that hold a unit: the width goes to them, so
    // that a share and its units fit a cell.
    int first = 24, last = -1;
    for (int h = 0; h < 24; ++h) {
        for (int w = 0; w < 7; ++w) {
            if (s.byWeekdayHour[w][h].total > 0) {
                first = std::min(first, h);
                last = std::max(last, h);
            }
        }
    }
    for (int h = 0; h < 24; ++h)
        m_byHour->setColumnHidden(h, last >= 0 && (h < first || h > last));
    m_byLength->setRowCount(int(s.byLength.size()));
    int row = 0;
    for (auto it = s.byLength.constBegin(); it != s.byLength.constEnd(); ++it, ++row) {
        m_byLength->setItem(row, 0, numberItem(it.key()));
        m_byLength->setItem(row, 1, numberItem(it->total));
        m_byLength->setItem(row, 2, numberItem(it->done));
        m_byLength->setItem(row, 3, numberItem(it->share(), percentText(*it)));
    }
    m_titles->setRowCount(int(s.unfinishedTitles.size()));
    for (int i = 0; i < s.unfinishedTitles.size(); ++i) {
        m_titles->setItem(i, 0, new QTableWidgetItem(shortText(s.unfinishedTitles[i].title)));
        m_titles->setItem(i, 1, numberItem(s.unfinishedTitles[i].days));
    }
}

// --- re-plannings -----------------------------------------------------------------------------

ReplanView::ReplanView(QWidget* parent) : EvaluationView(parent) {
    auto* layout = new QVBoxLayout(this);
    m_rates = new QLabel(this);
    m_rates->setObjectName(QStringLiteral("replanRates"));
    m_rates->setWordWrap(true);
    layout->addWidget(m_rates);
    auto* split = new QSplitter(this);
    m_ledger = new QTreeWidget(split);
    m_ledger->setObjectName(QStringLiteral("replanLedger"));
    m_ledger->setHeaderLabels({tr_("Tag und Uhrzeit"), tr_("Eintrag")});
    auto* right = new QWidget(split);
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    m_period = new QComboBox(right);
    m_period->setObjectName(QStringLiteral("replanPeriod"));
    m_period->addItems({tr_("Gründe je Woche"), tr_("Gründe je Monat")});
    rightLayout->addWidget(m_period);
    m_reasons = newTable(right, QStringLiteral("replanReasons"), {});
    rightLayout->addWidget(m_reasons, 1);
    split->addWidget(m_ledger);
    split->addWidget(right);
    layout->addWidget(split, 1);
    connect(m_period, &QComboBox::currentIndexChanged, this, &ReplanView::fillReasons);
}

void ReplanView::refresh(const ViewContext& c) {
    m_stats = replans(*c.log, c.from, c.to);
    m_ledger->clear();
    // Only days that were re-planned, newest first (the week one looks for is at the top), with
    // their units beside the re-plannings in time order.
    const auto first = c.log->days().lowerBound(c.from);
    for (auto it = c.log->days().upperBound(c.to); it != first;) {
        --it;
        if (it->replans.isEmpty())
            continue;
        auto* dayItem = new QTreeWidgetItem(m_ledger);
        dayItem->setText(0, dateText(it.key()));
        dayItem->setText(1, QString::number(it->replans.size()) + tr_(" × neu geplant, ") +
                                QString::number(it->unitsDone()) + tr_(" Einheiten erledigt"));
        struct Event {
            QTime time;
            QString text;
            bool replan;
        };
        QList<Event> events;
        for (const UnitRecord& u : it->units)
            events.append({u.start,
                           (u.finished ? QStringLiteral("✓ ") : QStringLiteral("✗ ")) + shortText(u.title),
                           false});
        for (const ReplanRecord& r : it->replans)
            events.append({r.time,
                           tr_("NEU GEPLANT") +
                               (r.reason.isEmpty() ? QString() : QStringLiteral(": ") + shortText(r.reason)),
                           true});
        std::stable_sort(events.begin(), events.end(),
                         [](const Event& a, const Event& b) { return a.time < b.time; });
        for (const Event& e : events) {
            auto* item = new QTreeWidgetItem(dayItem);
            item->setText(0, e.time.toString(QStringLiteral("HH:mm")));
            item->setText(1, e.text);
            item->setToolTip(1, wrappedTip(e.text));
            if (e.replan) {
                QFont bold = item->font(1);
                bold.setBold(true);
                item->setFont(1, bold);
                item->setForeground(1, QColor(0xc0, 0x39, 0x2b));
            }
        }
    }
    m_ledger->expandAll();
    m_ledger->resizeColumnToContents(0);
    const auto rateText = [](const Rate& r) {
        return r.total == 0 ? tr_("keine Tage")
                            : QString::number(r.done) + tr_(" von ") + QString::number(r.total) +
                                  tr_(" Tagen (") + percentText(r) + QLatin1Char(')');
    };
    m_rates->setText(tr_("Soll erfüllt an Tagen mit Neuplanung: ") + rateText(m_stats.targetWithReplans) +
                     QStringLiteral(";  ") + tr_("an Tagen ohne: ") + rateText(m_stats.targetWithoutReplans));
    fillReasons();
}

void ReplanView::fillReasons() {
    const bool byMonth = m_period->currentIndex() == 1;
    QStringList periods;
    for (const ReasonGroup& g : m_stats.reasons)
        periods += (byMonth ? g.perMonth : g.perWeek).keys();
    std::sort(periods.begin(), periods.end());
    periods.erase(std::unique(periods.begin(), periods.end()), periods.end());
    m_reasons->clear();
    m_reasons->setColumnCount(int(periods.size()) + 2);
    m_reasons->setHorizontalHeaderLabels(QStringList{tr_("Grund"), tr_("Gesamt")} + periods);
    m_reasons->setRowCount(int(m_stats.reasons.size()));
    for (int row = 0; row < m_stats.reasons.size(); ++row) {
        const ReasonGroup& g = m_stats.reasons[row];
        auto* reason = new QTableWidgetItem(g.text.isEmpty() ? tr_("(ohne Grund)") : shortText(g.text));
        reason->setToolTip(wrappedTip(reason->text()));
        m_reasons->setItem(row, 0, reason);
        m_reasons->setItem(row, 1, numberItem(g.total));
        const QMap<QString, int>& counts = byMonth ? g.perMonth : g.perWeek;
        // Years of reasons typed afresh each time: only the cells that hold a count get an item,
        // not every reason in every week.
        for (auto it = counts.constBegin(); it != counts.constEnd(); ++it) {
            const auto col = std::lower_bound(periods.cbegin(), periods.cend(), it.key()) - periods.cbegin();
            m_reasons->setItem(row, int(col) + 2, numberItem(it.value(), QString::number(it.value())));
        }
    }
    m_reasons->resizeColumnsToContents();
}

// --- target calibration -----------------------------------------------------------------------

TargetView::TargetView(QWidget* parent) : EvaluationView(parent) {
    auto* layout = new QVBoxLayout(this);
    m_suggestion = new QLabel(this);
    m_suggestion->setObjectName(QStringLiteral("suggestedTarget"));
    m_suggestion->setWordWrap(true);
    QFont big = m_suggestion->font();
    big.setPointSizeF(big.pointSizeF() * 1.3);
    m_suggestion->setFont(big);
    layout->addWidget(m_suggestion);
    m_table = newTable(this, QStringLiteral("targetTable"),
                       {tr_("Soll"), tr_("Tage"), tr_("Erfüllt"), tr_("Quote")});
    layout->addWidget(m_table, 1);
}

void TargetView::refresh(const ViewContext& c) {
    const Calibration cal = calibrate(*c.log, c.today);
    if (cal.suggested)
        m_suggestion->setText(tr_("Vorschlag für das Soll: ") + QString::number(*cal.suggested) +
                              tr_(" Einheiten — an mindestens zwei Dritteln der letzten ") +
                              QString::number(cal.basisDays) + tr_(" Tage mit Soll erreicht."));
    else
        m_suggestion->setText(tr_("Noch kein Tag mit Soll im Log: kein Vorschlag."));
    m_table->setRowCount(int(cal.byTarget.size()));
    int row = 0;
    for (auto it = cal.byTarget.constBegin(); it != cal.byTarget.constEnd(); ++it, ++row) {
        m_table->setItem(row, 0, numberItem(it.key()));
        m_table->setItem(row, 1, numberItem(it->total));
        m_table->setItem(row, 2, numberItem(it->done));
        m_table->setItem(row, 3, numberItem(it->share(), percentText(*it)));
    }
}

// --- titles -----------------------------------------------------------------------------------

TitleView::TitleView(QWidget* parent) : EvaluationView(parent) {
    auto* layout = new QVBoxLayout(this);
    m_filter = new QLineEdit(this);
    m_filter->setObjectName(QStringLiteral("titleFilter"));
    m_filter->setPlaceholderText(tr_("Titel filtern"));
    m_filter->setClearButtonEnabled(true);
    layout->addWidget(m_filter);
    m_table = newTable(this, QStringLiteral("titleTable"), {tr_("Titel"), tr_("Minuten"), tr_("Einheiten")});
    m_table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_table->horizontalHeader()->setStretchLastSection(false);
    layout->addWidget(m_table, 1);
    connect(m_filter, &QLineEdit::textChanged, this, &TitleView::applyFilter);
}

void TitleView::refresh(const ViewContext& c) {
    const QList<TitleTotal> totals = titleTotals(*c.log, c.from, c.to);
    m_table->setSortingEnabled(false);
    m_table->setRowCount(int(totals.size()));
    for (int row = 0; row < totals.size(); ++row) {
        m_table->setItem(row, 0, new QTableWidgetItem(shortText(totals[row].title)));
        m_table->setItem(row, 1, numberItem(totals[row].minutes));
        m_table->setItem(row, 2, numberItem(totals[row].units));
    }
    applyFilter();
}

void TitleView::applyFilter() {
    const QString text = m_filter->text().trimmed();
    for (int row = 0; row < m_table->rowCount(); ++row)
        m_table->setRowHidden(row, !m_table->item(row, 0)->text().contains(text, Qt::CaseInsensitive));
}
