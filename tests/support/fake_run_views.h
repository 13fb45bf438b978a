#pragma once

#include "autostart_entry.h"
#include "planning_view.h"
#include "run_feedback.h"

#include <QStringList>

// The windows and services around a running plan, reduced to a record of what they were asked.
class RecordingPlanningView final : public PlanningView {
public:
    void showWindow() override { visible = true; }
    void hideWindow() override { visible = false; }
    void showCentred() override { visible = true; }
    void bringToFront() override {}
    void setInputVisible(bool on) override { inputVisible = on; }
    void setStartItem(const QString& caption, bool enabled) override {
        startItem = caption + (enabled ? QString() : QStringLiteral(" [disabled]"));
    }
    void refreshMenuStates() override {}
    void setListMenuEnabled(bool all) override { listMenuEnabled = all; }
    void startFinishBlink() override { ++blinks; }
    void startFocusLock() override { focusLock = true; }
    void stopFocusLock() override { focusLock = false; }
    void startCaptionBlink() override {}
    void stopCaptionBlink() override {}
    void setMaxReplanEnabled(bool) override {}
    void setTooltipDelay(int) override {}
    void setMouseEditing(bool) override {}
    void releaseDialogGuard() override {}
    void showError(const QString& title, const QString& text) override {
        errors.append(title + QStringLiteral(" | ") + text);
    }

    bool visible = true;
    bool inputVisible = true;
    bool listMenuEnabled = true;
    bool focusLock = false;
    int blinks = 0;
    QString startItem;
    QStringList errors;
};

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
    void hide() override {}
    QList<int> shown;
};
