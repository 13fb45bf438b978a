#pragma once

#include <QString>

#include <functional>

// "Open" with the desktop: files and folders in their default program, web and mail
// addresses in the browser or mail client. The real implementation needs Qt Gui and lives in
// the GUI half of the platform layer; the core only sees this interface.
class Shell {
public:
    virtual ~Shell() = default;
    virtual bool openFile(const QString& path) = 0;
    virtual bool openAddress(const QString& address) = 0;
    // Opens a file and says later, on this thread, whether a program took it. Where the system
    // only knows that its opener started, the answer waits for the opener to end (or to stay
    // open for a while, as an editor does); where it knows at once, it answers at once.
    virtual void openFileThen(const QString& path, std::function<void(bool opened)> done) {
        done(openFile(path));
    }
    // Why the last open failed, as the system said it; empty when it said nothing.
    virtual QString lastFailure() const { return {}; }
};
