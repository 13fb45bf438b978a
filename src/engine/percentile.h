#pragma once

// Today's progress against the previous working days at the same time of day. Filled in by the
// percentile module; NullPercentile stands in until then.
class PercentileSource {
public:
    virtual ~PercentileSource() = default;
    // Recomputes the rank from the activity log and the plan.
    virtual void UpdatePercentile() = 0;
    virtual int rank() const = 0;
};

// Always rank 0, never computes.
class NullPercentile final : public PercentileSource {
public:
    void UpdatePercentile() override {}
    int rank() const override { return 0; }
};
