#pragma once

#include <QDate>
#include <QHash>
#include <QWidget>

class LogDays;

// A year as a grid of days (a column per week, Monday on top), each day coloured by its
// minutes done. A click on a day reports it.
class YearHeatmap : public QWidget {
    Q_OBJECT
public:
    explicit YearHeatmap(QWidget* parent = nullptr);

    void setYear(const LogDays& log, int year);
    int year() const { return m_year; }
    QDate dayAt(QPoint position) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void dayClicked(QDate day);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

private:
    QRect cellRect(QDate day) const;
    int cellSize() const;

    int m_year = 0;
    qint64 m_maxMinutes = 0;
    QHash<QDate, qint64> m_minutes;
};
