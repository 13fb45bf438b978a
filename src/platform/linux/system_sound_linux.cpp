#include "../qt_sound_player.h"
#include "../qt_speaker.h"
#include "../system_sound.h"

std::unique_ptr<SystemSoundPlayer> systemSoundPlayer() {
    return std::make_unique<QtSoundPlayer>();
}

std::unique_ptr<SystemSpeaker> systemSpeaker() {
    return std::make_unique<QtSpeaker>();
}
