#include "leftover_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QStringList ours = {u"Settings.ini"_s, u"worklist.log"_s};

void touch(const QString& path) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
}

} // namespace

TEST(Leftovers, OnlyTheTemporaryCopiesOfOurOwnFilesGo) {
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
    const QString folder = tmp.path();
    const struct {
        const char* folder;
        const char* inside; // "" for nothing
        bool removed;
    } cases[] = {
        {".eKAmfX", "s", true}, {".OCpEOt", "", true},    {".abcdef", "notes", false},
        {"eKAmfX", "s", false}, {".abcdefg", "s", false},
    };
    for (const auto& c : cases) {
        const QString dir = folder + u'/' + QString::fromLatin1(c.folder);
        ASSERT_TRUE(QDir().mkpath(dir));
        if (*c.inside)
            touch(dir + u'/' + QString::fromLatin1(c.inside));
    }
    touch(folder + u"/socket"_s);
    const QStringList removed = leftovers::removeSocketFolders(folder);
    for (const auto& c : cases) {
        const QString dir = folder + u'/' + QString::fromLatin1(c.folder);
        EXPECT_EQ(removed.contains(dir), c.removed) << c.folder;
        EXPECT_EQ(QFileInfo::exists(dir), !c.removed) << c.folder;
    }
    EXPECT_TRUE(QFile::exists(folder + u"/socket"_s));
}
