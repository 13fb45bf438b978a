#pragma once

#include "../workstation_lock.h"

#include <QString>

// The session's lock through the login manager (loginctl lock-session), else through the screen
// saver's D-Bus interface (freedesktop, then GNOME), whichever the desktop offers.
class SessionWorkstationLock final : public WorkstationLock {
public:
    // loginctl: the program asked first (a test passes one that fails).
    explicit SessionWorkstationLock(QString loginctl = QStringLiteral("loginctl"));

    Result lock() override;

private:
    QString m_loginctl;
};
