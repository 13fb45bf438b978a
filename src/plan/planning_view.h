#pragma once

#include <QString>

// What running a plan asks of the Planning window. The window implements it; NullPlanningView
// stands in before the window exists and in tests that do not look at it.
class PlanningView {
public:
    virtual ~PlanningView() = default;

    virtual void showWindow() = 0;
    virtual void hideWindow() = 0;
    // Placed at the centre of the screen, then shown (the absent-user path).
    virtual void showCentred() = 0;
    // Forced in front of other programs (the program's foreground routine).
    virtual void bringToFront() = 0;
    // The input field and its panel; the window re-arranges itself afterwards.
    virtual void setInputVisible(bool visible) = 0;
    // The main-menu start item: "Start", "Neu planen", "Neu planen (N)".
    virtual void setStartItem(const QString& caption, bool enabled) = 0;
    // Enable/check states of the menus, as after every command.
    virtual void refreshMenuStates() = 0;
    // true: every item of the list popup menu; false: all but the first
    // ("Aktuelle Einheit gescheitert").
    virtual void setListMenuEnabled(bool allItems) = 0;
    // tmrBlinken: the just-finished unit blinks (Worklist::finishBlinkStep on each event).
    virtual void startFinishBlink() = 0;
    // The focus lock keeps the Planning window in front (InVordergrundDraengen).
    virtual void startFocusLock() = 0;
    virtual void stopFocusLock() = 0;
    // The caption blinks while a unit runs.
    virtual void startCaptionBlink() = 0;
    virtual void stopCaptionBlink() = 0;
    // The menu item "Maximale Anzahl neu planen".
    virtual void setMaxReplanEnabled(bool enabled) = 0;
    // The application's tooltip delay in ms (0 while a plan runs, 500 while planning).
    virtual void setTooltipDelay(int ms) = 0;
    // Mouse editing of the plan list (drag and drop, double-click).
    virtual void setMouseEditing(bool enabled) = 0;
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
    void setInputVisible(bool) override {}
    void setStartItem(const QString&, bool) override {}
    void refreshMenuStates() override {}
    void setListMenuEnabled(bool) override {}
    void startFinishBlink() override {}
    void startFocusLock() override {}
    void stopFocusLock() override {}
    void startCaptionBlink() override {}
    void stopCaptionBlink() override {}
    void setMaxReplanEnabled(bool) override {}
    void setTooltipDelay(int) override {}
    void setMouseEditing(bool) override {}
    void releaseDialogGuard() override {}
    void showError(const QString&, const QString&) override {}
};
