#pragma once

#include "autostart_entry.h"
#include "run_feedback.h"

#include <QStringList>

// The services around a running plan, reduced to a record of what they were asked.
class FakeAutostartEntry final : public AutostartEntry {
public:
    bool write() override { return present = true; }
    bool remove() override {
        present = false;
        return true;
    }
    bool exists() const override { return present; }
    bool present = false;
};

class RecordingCountdown final : public CountdownOverlay {
public:
    void showFor(int ms) override { shown.append(ms); }
    void hide() override { ++hides; }
    QList<int> shown;
    int hides = 0;
};
