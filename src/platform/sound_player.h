#pragma once

#include <QString>

// Plays a sound file without waiting for it. A missing file or a machine without an audio
// device plays nothing and is no error: a sound only accompanies what the windows show.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    virtual void play(const QString& filePath) = 0;
};
