#include "companion_program.h"

#include "fake_launcher.h"
#include "program_launcher.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <functional>

namespace {

const QString helper = QStringLiteral("Taktplan_AutoHotkey_Helper.exe");
using Fallback = std::function<void()>;

TEST(CompanionProgram, EachCallStartsTheHelperWithItsWordAndOnlyTheTestingOnesFallBack) {
    struct Case {
        std::function<void(CompanionProgram&, const Fallback&)> call;
        QStringList arguments;
        bool testsFirst; // looks for the file and takes the fallback when it is missing
    };
    const Case cases[] = {
        {[](CompanionProgram& c, const Fallback&) { c.versionCheck(); }, {QStringLiteral("2.2")}, false},
        {[](CompanionProgram& c, const Fallback& f) { c.notifyUpdates(f); },
         {QStringLiteral("2.2"), QStringLiteral("notify")},
         true},
        {[](CompanionProgram& c, const Fallback& f) { c.bringToFront(f); }, {QStringLiteral("front")}, true},
        {[](CompanionProgram& c, const Fallback&) { c.alwaysOnTop(); },
         {QStringLiteral("alwaysOnTop")},
         false},
        {[](CompanionProgram& c, const Fallback&) { c.restartAfterClose(); },
         {QStringLiteral("start")},
         false},
        {[](CompanionProgram& c, const Fallback&) { c.restart(); }, {QStringLiteral("restart")}, false},
        {[](CompanionProgram& c, const Fallback&) { c.editSettings(); }, {QStringLiteral("ini")}, false},
    };
    for (const bool present : {true, false}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.arguments.join(QLatin1Char(' ')).toStdString() +
                         (present ? " present" : " missing"));
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
            EXPECT_EQ(launcher.starts, fallback ? QList<FakeLauncher::Start>()
                                                : QList<FakeLauncher::Start>({{helper, c.arguments}}));
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
    QFile answer(QDir(dir.path()).filePath(QStringLiteral("args.txt")));
    for (int i = 0; i < 500 && !answer.exists(); ++i)
        QThread::msleep(20);
    ASSERT_TRUE(answer.open(QIODevice::ReadOnly));
    EXPECT_EQ(answer.readAll(), QByteArray("2.2\nnotify\n"));
}

} // namespace
