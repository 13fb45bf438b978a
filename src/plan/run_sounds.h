#pragma once

#include "sound_files.h"
#include "sound_player.h"

#include <QString>

namespace runsounds {

inline const QString start = QStringLiteral("Start.wav");
inline const QString unitEnd = QStringLiteral("Ende_Einheit.wav");
inline const QString dayEnd = QStringLiteral("Feierabend.wav");

// A sound nobody has put in place plays nothing and is no error.
inline void play(SoundPlayer& player, const QString& fileName) {
    const QString path = soundfiles::path(fileName);
    if (!path.isEmpty())
        player.play(path);
}

} // namespace runsounds
