#pragma once

#include <QString>

// Speaks a text without waiting for it. No speech engine or no voice means no speech and no
// error.
class Speaker {
public:
    virtual ~Speaker() = default;
    virtual void say(const QString& text) = 0;
};
