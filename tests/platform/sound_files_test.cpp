#include "sound_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

void touch(const QString& path) {
    QDir().mkpath(path.section(u'/', 0, -2));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

} // namespace

TEST(SoundFiles, UsersOwnSoundsWinOverTheDefaults) {
    QTemporaryDir tmp;
    const QString work = tmp.filePath(QStringLiteral("work"));
    const QString program = tmp.filePath(QStringLiteral("program"));
    touch(work + QStringLiteral("/Sounds/Start.wav"));
    touch(program + QStringLiteral("/Sounds/Start.wav"));
    touch(program + QStringLiteral("/Sounds/Feierabend.wav"));
    QDir().mkpath(work + QStringLiteral("/Sounds/Countdown30.wav")); // a folder is no sound

    struct Case {
        const char* name;
        QString expected;
    };
    const Case cases[] = {
        {"Start.wav", work + QStringLiteral("/Sounds/Start.wav")},
        {"Feierabend.wav", program + QStringLiteral("/Sounds/Feierabend.wav")},
        {"Countdown30.wav", QString()},
        {"Countdown60.wav", QString()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(soundfiles::path(QString::fromLatin1(c.name), work, program), c.expected) << c.name;
    EXPECT_EQ(soundfiles::path(QStringLiteral("Feierabend.wav"), QString(), program),
              program + QStringLiteral("/Sounds/Feierabend.wav"));
}

TEST(SoundFiles, TheBuildCarriesTheDefaultSounds) {
    for (const char* name :
         {"Start.wav", "Ende_Einheit.wav", "Feierabend.wav", "Countdown60.wav", "Countdown30.wav"}) {
        const QString found =
            soundfiles::path(QString::fromLatin1(name), QString(), QStringLiteral(TAKTPLAN_TEST_BUILD_DIR));
        ASSERT_FALSE(found.isEmpty()) << name;
        QFile file(found);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray header = file.read(12);
        EXPECT_TRUE(header.startsWith("RIFF") && header.endsWith("WAVE")) << name;
    }
}
