#include "qt_sound_player.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

QtSoundPlayer::QtSoundPlayer(QObject* parent) : QObject(parent) {}

QtSoundPlayer::~QtSoundPlayer() {
    // Qt loads a sound on a thread of its own. A load still under way when the program ends
    // runs into Qt's statics already torn down and takes the process with it, so it is given a
    // moment to finish (a local file loads in milliseconds).
    const QDeadlineTimer deadline(1000);
    while (m_effect && m_effect->status() == QSoundEffect::Loading && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
}

void QtSoundPlayer::play(const QString& filePath) {
    if (!QFileInfo(filePath).isFile())
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
