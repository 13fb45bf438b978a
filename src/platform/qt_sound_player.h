#pragma once

#include "sound_player.h"

#include <QObject>

#include <memory>

class QSoundEffect;

// QSoundEffect plays on its own; a new sound cuts the one still playing short.
class QtSoundPlayer final : public QObject, public SoundPlayer {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(QtSoundPlayer)

public:
    explicit QtSoundPlayer(QObject* parent = nullptr);
    ~QtSoundPlayer() override;

    void play(const QString& filePath) override;

private:
    QSoundEffect* m_effect = nullptr;
};
