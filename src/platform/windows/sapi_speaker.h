#pragma once

#include "../system_sound.h"

#include <QDeadlineTimer>
#include <QObject>
#include <QString>

class QThread;
class SapiWorker;

// Speaks through the system's speech object (SAPI's ISpVoice over COM) on a thread of its own,
// which sets up COM for itself. The speech object is made at the first text, never at
// start-up: creating it loads the voice and opens the audio device, which may take seconds.
class SapiSpeaker final : public QObject, public SystemSpeaker {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SapiSpeaker)

public:
    explicit SapiSpeaker(QObject* parent = nullptr);
    ~SapiSpeaker() override;

    // Returns at once; a text still being spoken is cut short.
    void say(const QString& text) override;
    // Speech stops, the speech object is released on its thread; the destructor waits for the
    // thread only for what is left of its time.
    void beginEnd() override;

signals:
    // A text came to its end: spoken, or not (no speech object, no voice, cut short).
    void finished(bool spoken);

private:
    QThread* m_thread = nullptr;
    SapiWorker* m_worker = nullptr;
    bool m_ending = false;
    QDeadlineTimer m_endDeadline;
};
