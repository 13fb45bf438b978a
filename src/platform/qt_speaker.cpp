#include "qt_speaker.h"

#include "left_behind_threads.h"

#include <QTextToSpeech>
#include <QThread>

// Lives on the speech thread; everything it does happens there.
class SpeechWorker final : public QObject {
    Q_OBJECT

public:
    explicit SpeechWorker(QString engine) : m_engine(std::move(engine)) {}

    void speak(const QString& text) {
        if (!m_speech) {
            m_speech = m_engine.isEmpty() ? new QTextToSpeech(this) : new QTextToSpeech(m_engine, this);
            connect(m_speech, &QTextToSpeech::stateChanged, this, &SpeechWorker::onStateChanged);
        }
        if (m_pending)
            emit finished(false); // cut short by the new text
        if (m_speech->state() == QTextToSpeech::Error) {
            m_pending = false;
            emit finished(false);
            return;
        }
        m_pending = true;
        m_speech->say(text);
    }

signals:
    void finished(bool spoken);

private:
    void onStateChanged(QTextToSpeech::State state) {
        if (!m_pending || (state != QTextToSpeech::Ready && state != QTextToSpeech::Error))
            return;
        m_pending = false;
        emit finished(state == QTextToSpeech::Ready);
    }

    QString m_engine;
    QTextToSpeech* m_speech = nullptr;
    bool m_pending = false;
};

namespace {

// At the end of the program, a speech engine that hangs is left behind rather than waited for.
constexpr int speechThreadEndMs = 2000;

} // namespace

QtSpeaker::QtSpeaker(QString engine, QObject* parent) : QObject(parent), m_engine(std::move(engine)) {}

QtSpeaker::~QtSpeaker() {
    beginEnd();
    leftbehind::endThread(m_thread, m_endDeadline);
}

void QtSpeaker::beginEnd() {
    if (m_ending)
        return;
    m_ending = true;
    m_endDeadline.setRemainingTime(speechThreadEndMs);
    if (m_thread)
        m_thread->quit();
}

void QtSpeaker::say(const QString& text) {
    if (m_ending)
        return;
    if (!m_thread) {
        m_thread = new QThread;
        m_thread->setObjectName(QStringLiteral("Sprachausgabe"));
        m_worker = new SpeechWorker(m_engine);
        m_worker->moveToThread(m_thread);
        connect(m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
        connect(m_worker, &SpeechWorker::finished, this, &QtSpeaker::finished, Qt::QueuedConnection);
        m_thread->start();
    }
    QMetaObject::invokeMethod(
        m_worker, [worker = m_worker, text] { worker->speak(text); }, Qt::QueuedConnection);
}

#include "qt_speaker.moc"
