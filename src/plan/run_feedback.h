#pragma once

#include <QString>

// Publishing around a running plan: the side files others read, the web calls, speech and the
// charge timer. Called by the plan runner and the run engine; filled in by the publishing
// module. NullPublisher stands in until then.
class Publisher {
public:
    virtual ~Publisher() = default;
    // The start of the next unit, to its side file (on a background thread).
    virtual void PublishNextUnitStart() = 0;
    // The evening-break and lunch-break side files.
    virtual void UpdateSideFiles() = 0;
    // Speaks the text (on a background thread); nothing without speech.
    virtual void speak(const QString& text) = 0;
    // Opens the address with the shell.
    virtual void CallWebAddress(const QString& url) = 0;
    // tmrBeeminderCharge: the delayed re-planning web call.
    virtual void startChargeTimer() = 0;
    virtual void stopChargeTimer() = 0;
};

// The countdown overlay that announces the next start. Repeated requests while it is shown
// are its own business.
class CountdownOverlay {
public:
    virtual ~CountdownOverlay() = default;
    virtual void showFor(int ms) = 0;
    virtual void hide() = 0;
};

// Publishes nothing.
class NullPublisher final : public Publisher {
public:
    void PublishNextUnitStart() override {}
    void UpdateSideFiles() override {}
    void speak(const QString&) override {}
    void CallWebAddress(const QString&) override {}
    void startChargeTimer() override {}
    void stopChargeTimer() override {}
};

// Shows nothing.
class NullCountdownOverlay final : public CountdownOverlay {
public:
    void showFor(int) override {}
    void hide() override {}
};
