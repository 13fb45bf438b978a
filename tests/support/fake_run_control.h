#pragma once

#include "run_control.h"

#include <QStringList>

// The run engine as the plan and the windows see it: its state is set by the test, and the
// starts the plan asks for are recorded ("unit title|minutes|stamp", "pause|dd.MM.yyyy hh:mm").
class FakeRunControl final : public RunControl {
public:
    void StartUnit(const QString& title, int minutes, qint64 startStampMs) override {
        starts.append(QStringLiteral("%1|%2|%3").arg(title).arg(minutes).arg(startStampMs));
    }
    void StartPause(const QDateTime& until) override {
        starts.append(QStringLiteral("pause|") + until.toString(QStringLiteral("dd.MM.yyyy hh:mm")));
    }
    bool active() const override { return isActive; }
    bool unitRunning() const override { return isUnit; }
    int percentileRank() const override { return rank; }

    bool isActive = false, isUnit = false;
    int rank = 0;
    QStringList starts;
};
