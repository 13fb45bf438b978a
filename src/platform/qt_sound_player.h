#pragma once

#include "system_sound.h"

#include <QDeadlineTimer>
#include <QObject>

class QThread;
class SoundWorker;

// Plays through QSoundEffect on a thread of its own; a new sound cuts the one still playing
// short. Looking for the audio device happens at the first sound and may take as long as the
// sound server lets it (a server that accepts and never answers holds it for half a minute):
// on its own thread that never holds up the windows.
class QtSoundPlayer final : public QObject, public SystemSoundPlayer {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(QtSoundPlayer)

public:
    explicit QtSoundPlayer(QObject* parent = nullptr);
    ~QtSoundPlayer() override;

    // Returns at once.
    void play(const QString& filePath) override;
    // The program ends: the sound thread is asked to end now, and the destructor waits for it
    // only for what is left of its time, so that it ends alongside the other work of the end.
    // Nothing is played afterwards.
    void beginEnd() override;

private:
    QThread* m_thread = nullptr;
    SoundWorker* m_worker = nullptr;
    bool m_ending = false;
    QDeadlineTimer m_endDeadline;
};
