#include "companion_program.h"

#include "fake_launcher.h"
#include "program_launcher.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

const QString helper = u"Taktplan_AutoHotkey_Helper.exe"_s;
using Program = CompanionProgram&;
using Fallback = const std::function<void()>&;

TEST(CompanionProgram, EachCallStartsTheHelperWithItsWordAndOnlyTheTestingOnesFallBack) {
    struct Case {
        std::function<void(Program, Fallback)> call;
        const char* words;
        bool testsFirst; // looks for the file and takes the fallback when it is missing
    };
    const Case cases[] = {
        {[](Program c, Fallback) { c.versionCheck(); }, "2.2", false},
        {[](Program c, Fallback f) { c.notifyUpdates(f); }, "2.2 notify", true},
        {[](Program c, Fallback f) { c.bringToFront(f); }, "front", true},
        {[](Program c, Fallback) { c.alwaysOnTop(); }, "alwaysOnTop", false},
        {[](Program c, Fallback) { c.restartAfterClose(); }, "start", false},
        {[](Program c, Fallback) { c.restart(); }, "restart", false},
        {[](Program c, Fallback) { c.editSettings(); }, "ini", false},
    };
    for (const bool present : {true, false}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.words) + (present ? " present" : " missing"));
            FakeLauncher launcher;
            if (present)
                launcher.present.insert(helper);
            CompanionProgram companion(launcher);
            EXPECT_EQ(companion.isPresent(), present);
            bool fellBack = false;
            c.call(companion, [&] { fellBack = true; });
            // A missing helper goes unnoticed by the calls that do not look for it first.
            const bool fallback = !present && c.testsFirst;
            EXPECT_EQ(fellBack, fallback);
            const FakeLauncher::Start start{helper, QString::fromUtf8(c.words).split(QLatin1Char(' '))};
            EXPECT_EQ(launcher.starts, fallback ? QList<FakeLauncher::Start>() : QList{start});
        }
    }
    FakeLauncher launcher;
    CompanionProgram companion(launcher);
    companion.notifyUpdates({}); // no fallback given: nothing happens, nothing crashes
    EXPECT_TRUE(launcher.starts.isEmpty());
}

// Restores the working folder whatever the test does.
struct WorkingFolderGuard {
    const QString previous = QDir::currentPath();
    ~WorkingFolderGuard() { QDir::setCurrent(previous); }
};

TEST(CompanionProgram, RealLauncherStartsTheHelperFromTheWorkingFolder) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const WorkingFolderGuard guard;
    QDir::setCurrent(dir.path());
    WorkingFolderLauncher launcher;
    CompanionProgram companion(launcher);
    bool fellBack = false;
    companion.bringToFront([&] { fellBack = true; });
    EXPECT_TRUE(fellBack);
    companion.versionCheck(); // a missing helper must not throw or hang

    QFile script(QDir(dir.path()).filePath(helper));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    // Written beside and renamed, so the test never reads a half-written answer.
    script.write("#!/bin/sh\nprintf '%s\\n' \"$@\" > args.tmp && mv args.tmp args.txt\n");
    script.close();
    ASSERT_TRUE(script.setPermissions(script.permissions() | QFileDevice::ExeOwner));
    ASSERT_TRUE(companion.isPresent());
    fellBack = false;
    companion.notifyUpdates([&] { fellBack = true; });
    EXPECT_FALSE(fellBack);
    QFile answer(QDir(dir.path()).filePath(u"args.txt"_s));
    for (int i = 0; i < 500 && !answer.exists(); ++i)
        QThread::msleep(20);
    ASSERT_TRUE(answer.open(QIODevice::ReadOnly));
    EXPECT_EQ(answer.readAll(), QByteArray("2.2\nnotify\n"));
}

} // namespace
