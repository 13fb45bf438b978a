#include "sound_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(SoundFiles, UsersOwnSoundsWinOverTheDefaults) {
    QTemporaryDir tmp;
    const QString work = tmp.filePath(u"work/Sounds/"_s);
    const QString program = tmp.filePath(u"program/Sounds/"_s);
    for (const QString& file :
         {work + u"Start.wav"_s, program + u"Start.wav"_s, program + u"Feierabend.wav"_s}) {
        ASSERT_TRUE(QDir().mkpath(file.section(u'/', 0, -2)));
        QFile touched(file);
        ASSERT_TRUE(touched.open(QIODevice::WriteOnly));
    }
    ASSERT_TRUE(QDir().mkpath(work + u"Countdown30.wav"_s)); // a folder is no sound

    const auto path = [&](const char* name, const QString& workFolder) {
        return soundfiles::path(QString::fromLatin1(name), workFolder, tmp.filePath(u"program"_s));
    };
    const QString workFolder = tmp.filePath(u"work"_s);
    EXPECT_EQ(path("Start.wav", workFolder), work + u"Start.wav"_s);
    EXPECT_EQ(path("Feierabend.wav", workFolder), program + u"Feierabend.wav"_s);
    EXPECT_EQ(path("Feierabend.wav", QString()), program + u"Feierabend.wav"_s);
    EXPECT_EQ(path("Countdown30.wav", workFolder), QString());
    EXPECT_EQ(path("Countdown60.wav", workFolder), QString());
}

TEST(SoundFiles, TheBuildCarriesTheDefaultSounds) {
    for (const char* name :
         {"Start.wav", "Ende_Einheit.wav", "Feierabend.wav", "Countdown60.wav", "Countdown30.wav"}) {
        QFile file(
            soundfiles::path(QString::fromLatin1(name), QString(), QStringLiteral(TAKTPLAN_TEST_BUILD_DIR)));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name;
        const QByteArray header = file.read(12);
        EXPECT_TRUE(header.startsWith("RIFF") && header.endsWith("WAVE")) << name;
    }
}
