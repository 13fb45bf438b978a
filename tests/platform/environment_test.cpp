// What the program finds around it: the data folder and the clock the environment chooses, the
// sound files, and the files a save or a socket left behind.
#include "data_folder.h"
#include "leftover_files.h"
#include "scoped_env.h"
#include "sound_files.h"
#include "system_clock.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

void touch(const QString& path) {
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
}

TEST(DataFolder, EnvironmentChoosesTheFolder) {
    QTemporaryDir tmp;
    ScopedEnv env;
    env.set("TAKTPLAN_DATA_DIR", tmp.filePath(u"portable"_s).toUtf8());
    const DataFolder overridden = DataFolder::fromEnvironment();
    EXPECT_EQ(overridden.filePath(u"Settings.ini"_s), tmp.filePath(u"portable/Settings.ini"_s));
    EXPECT_FALSE(overridden.exists());
    EXPECT_TRUE(overridden.ensureExists());
    EXPECT_TRUE(overridden.exists());

    env.set("TAKTPLAN_DATA_DIR", {});
#ifdef _WIN32
    env.set("APPDATA", tmp.path().toLocal8Bit());
    EXPECT_EQ(DataFolder::fromEnvironment().path(), tmp.filePath(u"Taktplan"_s));
#else
    env.set("XDG_DATA_HOME", tmp.path().toUtf8());
    EXPECT_EQ(DataFolder::fromEnvironment().path(), tmp.filePath(u"Taktplan"_s));
    // A relative XDG_DATA_HOME is invalid by the XDG rules and falls back to the default.
    env.set("XDG_DATA_HOME", "relative/dir");
    EXPECT_EQ(DataFolder::fromEnvironment().path(), QDir::home().filePath(u".local/share/Taktplan"_s));
#endif
}

TEST(SystemClock, FakeStartAndSpeedFromTheEnvironment) {
    const QDateTime start(QDate(2026, 3, 29), QTime(1, 59, 0));
    const SystemClock clock(start, 600.0); // ten minutes a second
    const QDateTime first = clock.localNow();
    EXPECT_GE(first, start);
    EXPECT_LT(start.secsTo(first), 60);
    QThread::msleep(200);
    // 200 ms at 600x are at least two minutes of clock time, while the tick stays real.
    EXPECT_GE(first.secsTo(clock.localNow()), 110);
    EXPECT_LT(clock.tickMs(), 10'000);

    ScopedEnv env;
    env.set("TAKTPLAN_FAKE_TIME", "2025-12-05T09:00:00");
    env.set("TAKTPLAN_TIME_SPEED", "2");
    const SystemClock fromEnv = SystemClock::fromEnvironment();
    EXPECT_EQ(fromEnv.speed(), 2.0);
    EXPECT_EQ(fromEnv.localNow().toString(u"yyyy-MM-dd hh"), u"2025-12-05 09"_s);

    env.set("TAKTPLAN_FAKE_TIME", "05.12.2025 09:00");
    env.set("TAKTPLAN_TIME_SPEED", "-3");
    // Neither can be read: the real clock at its real speed.
    const SystemClock unread = SystemClock::fromEnvironment();
    EXPECT_EQ(unread.speed(), 1.0);
    EXPECT_LE(qAbs(unread.localNow().secsTo(QDateTime::currentDateTime())), 5);
}

TEST(SoundFiles, UsersOwnSoundsWinOverTheDefaultsAndTheBuildCarriesThem) {
    QTemporaryDir tmp;
    const QString work = tmp.filePath(u"work"_s), program = tmp.filePath(u"program"_s);
    for (const QString& file : {work + u"/Sounds/Start.wav"_s, program + u"/Sounds/Start.wav"_s,
                                program + u"/Sounds/Feierabend.wav"_s})
        touch(file);
    ASSERT_TRUE(QDir().mkpath(work + u"/Sounds/Countdown30.wav"_s)); // a folder is no sound
    const struct {
        const char* name;
        QString workFolder, found;
    } cases[] = {
        {"Start.wav", work, work + u"/Sounds/Start.wav"_s},
        {"Feierabend.wav", work, program + u"/Sounds/Feierabend.wav"_s},
        {"Feierabend.wav", QString(), program + u"/Sounds/Feierabend.wav"_s},
        {"Countdown30.wav", work, QString()},
        {"Countdown60.wav", work, QString()},
    };
    for (const auto& c : cases)
        EXPECT_EQ(soundfiles::path(QString::fromLatin1(c.name), c.workFolder, program), c.found) << c.name;

    for (const char* name :
         {"Start.wav", "Ende_Einheit.wav", "Feierabend.wav", "Countdown60.wav", "Countdown30.wav"}) {
        QFile file(
            soundfiles::path(QString::fromLatin1(name), QString(), QStringLiteral(TAKTPLAN_TEST_BUILD_DIR)));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name;
        const QByteArray header = file.read(12);
        EXPECT_TRUE(header.startsWith("RIFF") && header.endsWith("WAVE")) << name;
    }
}

TEST(Leftovers, OnlyTheTemporaryCopiesOfOurOwnFilesGo) {
    const QStringList ours = {u"Settings.ini"_s, u"worklist.log"_s};
    const struct {
        const char* name;
        bool removed;
    } cases[] = {
        {"Settings.ini.ebSMgl", true},  {"worklist.log.AbC123", true},   {"Settings.ini", false},
        {"worklist.log.bak", false},    {"worklist.log.abcdefg", false}, {"worklist.log.abcde", false},
        {"worklist.log.ab-def", false}, {"notes.txt.abcdef", false},     {"xSettings.ini.abcdef", false},
        {"Settings.iniXabcdef", false},
    };
    QTemporaryDir tmp;
    QStringList expected;
    for (const auto& c : cases) {
        const QString name = QString::fromLatin1(c.name);
        EXPECT_EQ(leftovers::isSaveLeftover(name, ours), c.removed) << c.name;
        touch(tmp.filePath(name));
        if (c.removed)
            expected.append(name);
    }
    // A link with such a name is never one of Qt's temporary files. Windows makes a shortcut
    // file instead, a plain file by its name.
#ifdef _WIN32
    const bool links = false;
#else
    const bool links = true;
    ASSERT_TRUE(QFile::link(tmp.filePath(u"Settings.ini"_s), tmp.filePath(u"Settings.ini.linkXY"_s)));
#endif
    expected.sort();
    EXPECT_EQ(leftovers::removeSaveLeftovers(tmp.path(), ours), expected);
    for (const auto& c : cases)
        EXPECT_EQ(QFile::exists(tmp.filePath(QString::fromLatin1(c.name))), !c.removed) << c.name;
    if (!links)
        GTEST_SKIP() << "no links to files on Windows: the case of a link is left out";
    EXPECT_TRUE(QFileInfo(tmp.filePath(u"Settings.ini.linkXY"_s)).isSymLink());
}

TEST(Leftovers, TemporarySocketFoldersGoWhenTheyHoldNothingButTheSocket) {
    QTemporaryDir tmp;
    const struct {
        const char* folder;
        const char* inside; // "" for nothing
        bool removed;
    } cases[] = {
        {".eKAmfX", "s", true}, {".OCpEOt", "", true},    {".abcdef", "notes", false},
        {"eKAmfX", "s", false}, {".abcdefg", "s", false},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(QDir().mkpath(tmp.filePath(QString::fromLatin1(c.folder))));
        if (*c.inside)
            touch(tmp.filePath(QString::fromLatin1(c.folder) + u'/' + QString::fromLatin1(c.inside)));
    }
    touch(tmp.filePath(u"socket"_s));
    const QStringList removed = leftovers::removeSocketFolders(tmp.path());
    for (const auto& c : cases) {
        const QString dir = tmp.filePath(QString::fromLatin1(c.folder));
        EXPECT_EQ(removed.contains(dir), c.removed) << c.folder;
        EXPECT_EQ(QFileInfo::exists(dir), !c.removed) << c.folder;
    }
    EXPECT_TRUE(QFile::exists(tmp.filePath(u"socket"_s)));
}

} // namespace
