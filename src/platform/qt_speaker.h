#pragma once

#include "system_sound.h"

#include <QDeadlineTimer>
#include <QObject>
#include <QString>

class QThread;
class SpeechWorker;

// Speaks through Qt TextToSpeech on a thread of its own. The speech object is created on the
// first text, never at start-up, and some engines block for seconds when they start or hang
// without an audio device: on their own thread they never hold up the windows.
class QtSpeaker final : public QObject, public SystemSpeaker {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(QtSpeaker)

public:
    // engine: a Qt TextToSpeech engine name, "" for the system's default.
    explicit QtSpeaker(QString engine = {}, QObject* parent = nullptr);
    ~QtSpeaker() override;

    // Returns at once; a text still being spoken is cut short.
    void say(const QString& text) override;
    // The program ends: the speech thread is asked to end now, and the destructor waits for it
    // only for what is left of its time, so that it ends alongside the other work of the end.
    // Nothing is spoken afterwards.
    void beginEnd() override;

signals:
    // A text came to its end: spoken, or not (no engine, no voice, no audio).
    void finished(bool spoken);

private:
    QString m_engine;
    QThread* m_thread = nullptr;
    SpeechWorker* m_worker = nullptr;
    bool m_ending = false;
    QDeadlineTimer m_endDeadline;
};
