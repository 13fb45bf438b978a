#pragma once

#include <QString>

// The commands running a plan gives the Planning window; what the window shows otherwise it
// derives from the run state. The window implements it; NullPlanningView stands in before the
// window exists and in tests that do not look at it.
class PlanningView {
public:
    virtual ~PlanningView() = default;

    virtual void showWindow() = 0;
    virtual void hideWindow() = 0;
    // Placed at the centre of the screen, then shown (the absent-user path).
    virtual void showCentred() = 0;
    // Forced in front of other programs (the program's foreground routine).
    virtual void bringToFront() = 0;
    // tmrBlinken: the just-finished unit blinks (Worklist::finishBlinkStep on each event).
    virtual void startFinishBlink() = 0;
    // The release half of the dialog guard: the Timer window's foreground timer as stored at
    // the last dialog, and the focus lock started.
    virtual void releaseDialogGuard() = 0;
    // A message box with this title, the text and the error icon.
    virtual void showError(const QString& title, const QString& text) = 0;
};

// Does nothing: no Planning window (yet).
class NullPlanningView final : public PlanningView {
public:
    void showWindow() override {}
    void hideWindow() override {}
    void showCentred() override {}
    void bringToFront() override {}
    void startFinishBlink() override {}
    void releaseDialogGuard() override {}
    void showError(const QString&, const QString&) override {}
};
