#pragma once

// What the Planning window reads from the run engine. The engine attaches itself with
// TFWorklist::setEngineStatus; until then no plan runs.
class EngineStatus {
public:
    virtual ~EngineStatus() = default;
    // The engine's main timer runs: a unit, a pause or a wait for a fixed start.
    virtual bool active() const = 0;
    // A unit (not a pause or a wait) runs.
    virtual bool unitRunning() const = 0;
};
