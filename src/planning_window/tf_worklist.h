#pragma once

// Contract between the Planning window and the app's start-up (to be filled in).

#include "worklist.h"
#include "worklist_services.h"

#include <QMainWindow>

class TFWorklist final : public QMainWindow, public PlanningHost {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TFWorklist)

public:
    // Creation: state, font from Schriftgroesse, LoadPlan(worklist.log).
    explicit TFWorklist(const WorklistServices& services, QWidget* parent = nullptr);
    ~TFWorklist() override;

    Worklist& worklist();

    // Start-up: the first-start hint "Hier Aufgabe eingeben und ENTER drücken" in cbbAufgabe.
    void showFirstStartHint();
    // Start-up: enables tmrAutoStart (resume a running plan about 100 ms after start).
    void enableAutoStart();
    // Start-up: the just-started flag read by re-planning.
    void setJustStarted(bool on);
    // SavePlan(worklist.log, without finished, with dates).
    bool savePlan();
    // Brings the window to the front, restored if minimised (second start, focus lock).
    void bringToFront();

signals:
    // "Beenden", or closing while the Timer window is hidden: the program is to end.
    void terminateRequested();
};
