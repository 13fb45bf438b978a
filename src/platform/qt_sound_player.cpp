#include "qt_sound_player.h"

#include "left_behind_threads.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QSoundEffect>
#include <QThread>
#include <QUrl>

#include <atomic>

// Lives on the sound thread; everything it does happens there.
class SoundWorker final : public QObject {
    Q_OBJECT

public:
    void play(const QString& filePath) {
        // A load begun while the program ends would race Qt's own end.
        if (ending)
            return;
        // Created on the first sound, not at start-up: looking for an audio device takes time.
        if (!m_effect)
            m_effect = new QSoundEffect(this);
        m_effect->stop();
        const QUrl source = QUrl::fromLocalFile(filePath);
        if (m_effect->source() != source)
            m_effect->setSource(source);
        // A sound still loading plays as soon as it is loaded.
        m_effect->play();
    }

    // Qt loads a sound on a thread of its own. A load still under way when the program ends
    // runs into Qt's statics already torn down and takes the process with it, so it is given a
    // moment to finish (a local file loads in milliseconds).
    void settle() {
        const QDeadlineTimer deadline(loadEndMs);
        while (m_effect && m_effect->status() == QSoundEffect::Loading && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }

    static constexpr int loadEndMs = 1000;
    // Set by the player's end, on the windows' thread.
    std::atomic<bool> ending{false};

private:
    QSoundEffect* m_effect = nullptr;
};

namespace {

// At the end of the program, a sound server that hangs is left behind rather than waited for.
constexpr int soundThreadEndMs = SoundWorker::loadEndMs + 1000;

} // namespace

QtSoundPlayer::QtSoundPlayer(QObject* parent) : QObject(parent) {}

QtSoundPlayer::~QtSoundPlayer() {
    beginEnd();
    leftbehind::endThread(m_thread, m_endDeadline);
}

void QtSoundPlayer::beginEnd() {
    if (m_ending)
        return;
    m_ending = true;
    m_endDeadline.setRemainingTime(soundThreadEndMs);
    if (!m_thread)
        return;
    m_worker->ending = true;
    QMetaObject::invokeMethod(
        m_worker,
        [worker = m_worker] {
            worker->settle();
            QThread::currentThread()->quit();
        },
        Qt::QueuedConnection);
}

void QtSoundPlayer::play(const QString& filePath) {
    if (m_ending || !QFileInfo(filePath).isFile())
        return;
    if (!m_thread) {
        m_thread = new QThread;
        m_thread->setObjectName(QStringLiteral("Klang"));
        m_worker = new SoundWorker;
        m_worker->moveToThread(m_thread);
        connect(m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
        m_thread->start();
    }
    QMetaObject::invokeMethod(
        m_worker, [worker = m_worker, filePath] { worker->play(filePath); }, Qt::QueuedConnection);
}

#include "qt_sound_player.moc"
