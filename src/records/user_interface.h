#pragma once

#include <QString>

// What the core needs to show to the user. The windows implement it; tests script it.
class UserInterface {
public:
    virtual ~UserInterface() = default;

    // A plain modal message box titled "Taktplan" with an OK button.
    virtual void showMessage(const QString& text) = 0;
    // The non-modal reminder window with its caption and text.
    virtual void showReminder(const QString& caption, const QString& text) = 0;
};
