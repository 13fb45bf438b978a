#pragma once

#include "../system_sound.h"

#include <QDeadlineTimer>
#include <QObject>

class QThread;

// Plays through PlaySoundW on a thread of its own: asynchronously, from the file, and never the
// system's default sound in place of a missing or unreadable one. A new sound cuts the one still
// playing short. The first sound opens the audio device, which may take its time: on the sound
// thread that never holds up the windows.
class PlaySoundPlayer final : public QObject, public SystemSoundPlayer {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PlaySoundPlayer)

public:
    explicit PlaySoundPlayer(QObject* parent = nullptr);
    ~PlaySoundPlayer() override;

    // Returns at once.
    void play(const QString& filePath) override;
    // The sound still playing stops; the destructor waits for the thread only for what is left
    // of its time.
    void beginEnd() override;

private:
    QThread* m_thread = nullptr;
    QObject* m_worker = nullptr;
    bool m_ending = false;
    QDeadlineTimer m_endDeadline;
};
