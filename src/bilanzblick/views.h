#pragma once

#include "evaluation.h"
#include "log_days.h"

#include <QDate>
#include <QWidget>

class QChartView;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QSpinBox;
class QTableWidget;
class QTreeWidget;
class YearHeatmap;

// What every view shows from: the log read into days, today, and the range chosen above.
struct ViewContext {
    const LogDays* log = nullptr;
    QDate today;
    QTime timeNow; // how far today's curve is drawn
    QDate from;
    QDate to;
};

// A page of the window. It is filled again when it is shown after the log or the range changed.
class EvaluationView : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    virtual void refresh(const ViewContext& context) = 0;
};

// Today, this week, this month, the streaks, and the last two weeks as bars.
class OverviewView : public EvaluationView {
    Q_OBJECT
public:
    explicit OverviewView(QWidget* parent = nullptr);
    void refresh(const ViewContext& context) override;
    QChartView* chart() const { return m_chart; }

private:
    QTableWidget* m_table;
    QLabel* m_streaks;
    QChartView* m_chart;
};

// The year's heatmap and units by day, week or month with the target as a line.
class CalendarView : public EvaluationView {
    Q_OBJECT
public:
    explicit CalendarView(QWidget* parent = nullptr);
    void refresh(const ViewContext& context) override;

signals:
    void dayChosen(QDate day);

private:
    void fillChart();

    ViewContext m_context;
    YearHeatmap* m_heatmap;
    QComboBox* m_grouping;
    QChartView* m_chart;
};

// The band of a weekday's usual course with one day's curve on it.
class NormalView : public EvaluationView {
    Q_OBJECT
public:
    explicit NormalView(QWidget* parent = nullptr);
    void refresh(const ViewContext& context) override;

private:
    void fillChart();

    ViewContext m_context;
    QComboBox* m_weekday;
    QSpinBox* m_weeks;
    QDateEdit* m_day;
    QLabel* m_basis;
    QChartView* m_chart;
};

// Completion rate by start hour and weekday, by unit length, and titles often left open.
class FailureView : public EvaluationView {
    Q_OBJECT
public:
    explicit FailureView(QWidget* parent = nullptr);
    void refresh(const ViewContext& context) override;

private:
    QTableWidget* m_byHour;
    QTableWidget* m_byLength;
    QTableWidget* m_titles;
};

// Every re-planning on the day's timeline, the reasons per week or month, and the target rate.
class ReplanView : public EvaluationView {
    Q_OBJECT
public:
    explicit ReplanView(QWidget* parent = nullptr);
    void refresh(const ViewContext& context) override;

private:
    void fillReasons();

    evaluation::ReplanStats m_stats;
    QTreeWidget* m_ledger;
    QComboBox* m_period;
    QTableWidget* m_reasons;
    QLabel* m_rates;
};

// How often each target was met, and the suggested target.
class TargetView : public EvaluationView {
    Q_OBJECT
public:
    explicit TargetView(QWidget* parent = nullptr);
    void refresh(const ViewContext& context) override;

private:
    QLabel* m_suggestion;
    QTableWidget* m_table;
};

// Minutes and units per title, with a filter.
class TitleView : public EvaluationView {
    Q_OBJECT
public:
    explicit TitleView(QWidget* parent = nullptr);
    void refresh(const ViewContext& context) override;

private:
    void applyFilter();

    QLineEdit* m_filter;
    QTableWidget* m_table;
};
