#pragma once

#include "user_interface.h"

#include <QStringList>

// Records what the core showed to the user.
class ScriptedUi final : public UserInterface {
public:
    void showMessage(const QString& text) override { messages.append(text); }
    void showReminder(const QString& caption, const QString& text) override {
        reminders.append(caption + QStringLiteral(" | ") + text);
    }

    QStringList messages;
    QStringList reminders;
};
