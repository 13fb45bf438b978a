#include "companion_program.h"

#include "fake_launcher.h"
#include "program_launcher.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <functional>

namespace {

const QString helper = QStringLiteral("Taktplan_AutoHotkey_Helper.exe");

TEST(CompanionProgram, EachCallStartsTheHelperWithItsCommandWord) {
    struct Case {
        const char* name;
        std::function<void(CompanionProgram&, bool& fellBack)> call;
        QStringList arguments;
    };
    const Case cases[] = {
        {"version", [](CompanionProgram& c, bool&) { c.versionCheck(); }, {QStringLiteral("2.2")}},
        {"updates",
         [](CompanionProgram& c, bool& f) { c.notifyUpdates([&] { f = true; }); },
         {QStringLiteral("2.2"), QStringLiteral("notify")}},
        {"front",
         [](CompanionProgram& c, bool& f) { c.bringToFront([&] { f = true; }); },
         {QStringLiteral("front")}},
        {"always on top",
         [](CompanionProgram& c, bool&) { c.alwaysOnTop(); },
         {QStringLiteral("alwaysOnTop")}},
        {"start", [](CompanionProgram& c, bool&) { c.restartAfterClose(); }, {QStringLiteral("start")}},
        {"restart", [](CompanionProgram& c, bool&) { c.restart(); }, {QStringLiteral("restart")}},
        {"ini", [](CompanionProgram& c, bool&) { c.editSettings(); }, {QStringLiteral("ini")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeLauncher launcher;
        launcher.present.insert(helper);
        CompanionProgram companion(launcher);
        bool fellBack = false;
        c.call(companion, fellBack);
        EXPECT_FALSE(fellBack);
        EXPECT_EQ(launcher.starts, QList<FakeLauncher::Start>({{helper, c.arguments}}));
    }
}

TEST(CompanionProgram, OnlyTheTwoTestingCallsTakeTheirFallbackWhenTheHelperIsMissing) {
    FakeLauncher launcher; // nothing present
    CompanionProgram companion(launcher);
    EXPECT_FALSE(companion.isPresent());

    int fallbacks = 0;
    companion.notifyUpdates([&] { ++fallbacks; });
    companion.bringToFront([&] { ++fallbacks; });
    EXPECT_EQ(fallbacks, 2);
    EXPECT_TRUE(launcher.starts.isEmpty());

    // The others start it regardless; a missing helper goes unnoticed.
    companion.versionCheck();
    companion.alwaysOnTop();
    companion.restart();
    EXPECT_EQ(launcher.starts.size(), 3);

    companion.notifyUpdates({}); // no fallback given: nothing happens, nothing crashes
    EXPECT_EQ(launcher.starts.size(), 3);
}

// Restores the working folder whatever the test does.
class WorkingFolder {
public:
    explicit WorkingFolder(const QString& path) : m_previous(QDir::currentPath()) { QDir::setCurrent(path); }
    ~WorkingFolder() { QDir::setCurrent(m_previous); }
    WorkingFolder(const WorkingFolder&) = delete;
    WorkingFolder& operator=(const WorkingFolder&) = delete;

private:
    QString m_previous;
};

QByteArray waitForFile(const QString& path) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 10000) {
        QFile f(path);
        if (f.open(QIODevice::ReadOnly))
            return f.readAll();
        QThread::msleep(20);
    }
    return QByteArray("<no file after 10 s>");
}

TEST(CompanionProgram, RealLauncherStartsTheHelperFromTheWorkingFolder) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile script(QDir(dir.path()).filePath(helper));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    // Written beside and renamed, so the test never reads a half-written answer.
    script.write("#!/bin/sh\nprintf '%s\\n' \"$@\" > args.tmp && mv args.tmp args.txt\n");
    script.close();
    ASSERT_TRUE(script.setPermissions(script.permissions() | QFileDevice::ExeOwner));

    WorkingFolder here(dir.path());
    WorkingFolderLauncher launcher;
    CompanionProgram companion(launcher);
    ASSERT_TRUE(companion.isPresent());
    bool fellBack = false;
    companion.notifyUpdates([&] { fellBack = true; });
    EXPECT_FALSE(fellBack);
    EXPECT_EQ(waitForFile(QDir(dir.path()).filePath(QStringLiteral("args.txt"))),
              QByteArray("2.2\nnotify\n"));
}

TEST(CompanionProgram, RealLauncherWithoutTheHelperFallsBack) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    WorkingFolder here(dir.path());
    WorkingFolderLauncher launcher;
    CompanionProgram companion(launcher);
    bool fellBack = false;
    companion.bringToFront([&] { fellBack = true; });
    EXPECT_TRUE(fellBack);
    companion.versionCheck(); // must not throw or hang
}

} // namespace
