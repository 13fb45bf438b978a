#include "qt_sound_player.h"

#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

QtSoundPlayer::QtSoundPlayer(QObject* parent) : QObject(parent) {}

QtSoundPlayer::~QtSoundPlayer() = default;

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
