#pragma once

#include "sound_player.h"
#include "speaker.h"

#include <memory>

// Sound and speech of this system (linux/: through Qt Multimedia and TextToSpeech; windows/:
// through PlaySoundW and the system's speech object). Each works on a thread of its own that
// is made at its first use, so a sound or speech service that hangs never holds up the windows.
//
// At the end of the program both are told at once (beginEnd); their destructors then wait only
// for what is left of a common bound, and a thread still stuck after it is left behind (see
// left_behind_threads.h). Nothing is played or spoken after beginEnd.
class SystemSoundPlayer : public SoundPlayer {
public:
    virtual void beginEnd() = 0;
};

class SystemSpeaker : public Speaker {
public:
    virtual void beginEnd() = 0;
};

std::unique_ptr<SystemSoundPlayer> systemSoundPlayer();
std::unique_ptr<SystemSpeaker> systemSpeaker();
