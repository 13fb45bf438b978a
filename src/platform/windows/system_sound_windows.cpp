#include "../system_sound.h"
#include "play_sound_player.h"
#include "sapi_speaker.h"

std::unique_ptr<SystemSoundPlayer> systemSoundPlayer() {
    return std::make_unique<PlaySoundPlayer>();
}

std::unique_ptr<SystemSpeaker> systemSpeaker() {
    return std::make_unique<SapiSpeaker>();
}
