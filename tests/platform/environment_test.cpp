// What the program finds around it: the data folder the environment chooses, the sound files,
// and the files a save or a socket left behind.
#include "case_table.h"
#include "data_folder.h"
#include "leftover_files.h"
#include "scoped_env.h"
#include "sound_files.h"
#include "temp_data_folder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QString cases = QStringLiteral(PLATFORM_TEST_DATA "/platform.txt");

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
#else
    env.set("XDG_DATA_HOME", tmp.path().toUtf8());
#endif
    EXPECT_EQ(DataFolder::fromEnvironment().path(), tmp.filePath(u"Taktplan"_s));
#ifndef _WIN32
    // A relative XDG_DATA_HOME is invalid by the XDG rules and falls back to the default.
    env.set("XDG_DATA_HOME", "relative/dir");
    EXPECT_EQ(DataFolder::fromEnvironment().path(), QDir::home().filePath(u".local/share/Taktplan"_s));
#endif
}

TEST(SoundFiles, UsersOwnSoundsWinOverTheDefaultsAndTheBuildCarriesThem) {
    QTemporaryDir tmp;
    // The user's work folder and the program's folder; the table names them so.
    const QString work = tmp.filePath(u"work"_s), program = tmp.filePath(u"program"_s);
    for (const QString& file : {work + u"/Sounds/Start.wav"_s, program + u"/Sounds/Start.wav"_s,
                                program + u"/Sounds/Feierabend.wav"_s})
        touch(file);
    ASSERT_TRUE(QDir().mkpath(work + u"/Sounds/Countdown30.wav"_s)); // a folder is no sound
    const auto where = [&](const QString& field) {
        return field == u"-"_s ? QString() : tmp.filePath(field);
    };
    for (const CaseRow& row : caseTable(cases, u"sound files"_s)) {
        const QString found = where(row[2]);
        EXPECT_EQ(soundfiles::path(row[0], where(row[1]), program),
                  found.isEmpty() ? found : found + u"/Sounds/"_s + row[0])
            << row.where.toStdString();
    }

    for (const char* name :
         {"Start.wav", "Ende_Einheit.wav", "Feierabend.wav", "Countdown60.wav", "Countdown30.wav"}) {
        const QByteArray header = readBytes(soundfiles::path(QString::fromLatin1(name), QString(),
                                                             QStringLiteral(TAKTPLAN_TEST_BUILD_DIR)))
                                      .left(12);
        EXPECT_TRUE(header.startsWith("RIFF") && header.endsWith("WAVE")) << name;
    }
}

TEST(Leftovers, OnlyTheTemporaryCopiesOfOurOwnFilesGo) {
    const QStringList ours = {u"Settings.ini"_s, u"worklist.log"_s};
    const QList<CaseRow> rows = caseTable(cases, u"save leftovers"_s);
    QTemporaryDir tmp;
    QStringList expected;
    for (const CaseRow& row : rows) {
        EXPECT_EQ(leftovers::isSaveLeftover(row[0], ours), row[1] == u"true"_s) << row.where.toStdString();
        touch(tmp.filePath(row[0]));
        if (row[1] == u"true"_s)
            expected.append(row[0]);
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
    for (const CaseRow& row : rows)
        EXPECT_EQ(QFile::exists(tmp.filePath(row[0])), row[1] == u"false"_s) << row.where.toStdString();
    if (!links)
        GTEST_SKIP() << "no links to files on Windows: the case of a link is left out";
    EXPECT_TRUE(QFileInfo(tmp.filePath(u"Settings.ini.linkXY"_s)).isSymLink());
}

TEST(Leftovers, TemporarySocketFoldersGoWhenTheyHoldNothingButTheSocket) {
    QTemporaryDir tmp;
    const QList<CaseRow> rows = caseTable(cases, u"socket folders"_s);
    for (const CaseRow& row : rows) {
        ASSERT_TRUE(QDir().mkpath(tmp.filePath(row[0])));
        if (row[1] != u"-"_s)
            touch(tmp.filePath(row[0] + u'/' + row[1]));
    }
    touch(tmp.filePath(u"socket"_s));
    const QStringList removed = leftovers::removeSocketFolders(tmp.path());
    for (const CaseRow& row : rows) {
        const QString dir = tmp.filePath(row[0]);
        EXPECT_EQ(std::pair(removed.contains(dir), QFileInfo::exists(dir)),
                  std::pair(row[2] == u"true"_s, row[2] == u"false"_s))
            << row.where.toStdString();
    }
    EXPECT_TRUE(QFile::exists(tmp.filePath(u"socket"_s)));
}

} // namespace
