#pragma once

#include <QString>

// "Open" with the desktop: files and folders in their default program, web and mail
// addresses in the browser or mail client. The real implementation needs Qt Gui and lives in
// the GUI half of the platform layer; the core only sees this interface.
class Shell {
public:
    virtual ~Shell() = default;
    virtual bool openFile(const QString& path) = 0;
    virtual bool openAddress(const QString& address) = 0;
    // Why the last open failed, as the system said it; empty when it said nothing.
    virtual QString lastFailure() const { return {}; }
};
