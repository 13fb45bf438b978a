// Speech, the workstation lock and the shell as far as this machine can show them: no audio
// device, no login manager, a private session bus on which the test plays the screen saver, and
// no program to open a file with.
#include "desktop_shell.h"
#include "linux/session_workstation_lock.h"
#include "qt_speaker.h"
#include "scoped_env.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextToSpeech>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

// The screen saver of a desktop, answering on its own thread as the real one answers from its
// own process.
class FakeScreenSaver final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")

public:
    std::atomic<int> locks{0};

public slots:
    void Lock() { ++locks; }
};

} // namespace

TEST(Services, SpeechWithoutAudioEndsWithoutHoldingUpTheCaller) {
    if (!QTextToSpeech::availableEngines().contains(u"flite"_s))
        GTEST_SKIP() << "the flite speech engine is not installed (package qt6-speech-flite-plugin)";
    QtSpeaker speaker(u"flite"_s);
    QSignalSpy finished(&speaker, &QtSpeaker::finished);
    QElapsedTimer elapsed;
    elapsed.start();
    speaker.say(u"Pause vorbei"_s);
    EXPECT_LT(elapsed.elapsed(), 50) << "the engine starts on its own thread";
    ASSERT_TRUE(finished.wait(10000)) << "spoken or failed, the text comes to an end";
    speaker.say(u"Noch eine Einheit"_s);
    EXPECT_TRUE(finished.size() == 2 || finished.wait(10000));
}

TEST(Services, ShellSaysWhyAFileDidNotOpen) {
    // Without a desktop to hand the file to, Qt only warns; the warning is the reason the user sees.
    DesktopShell shell(std::chrono::milliseconds(300));
    EXPECT_FALSE(shell.openFile(u"/nicht/da/Settings.ini"_s));
    EXPECT_FALSE(shell.lastFailure().isEmpty());

    // An opener that only starts answers with its status, or by staying (an editor in front).
    QTemporaryDir bin;
    ScopedEnv env;
    env.set("PATH", bin.path().toLocal8Bit() + ':' + qgetenv("PATH"));
    const struct {
        const char* opener;
        bool opened;
        const char* failure;
    } cases[] = {
        {"echo 'no method available' >&2; exit 3", false, "no method available\nOPENER: exit status 3"},
        {"exit 0", true, ""},
        {"sleep 3", true, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.opener);
        const QString opener = bin.filePath(u"xdg-open"_s);
        QFile script(opener);
        ASSERT_TRUE(script.open(QIODevice::WriteOnly | QIODevice::Truncate));
        script.write("#!/bin/sh\n" + QByteArray(c.opener) + '\n');
        script.close();
        script.setPermissions(QFile::ExeOwner | QFile::ReadOwner | QFile::WriteOwner);
        std::optional<bool> opened;
        QElapsedTimer elapsed;
        elapsed.start();
        shell.openFileThen(u"/tmp/Settings.ini"_s, [&opened](bool result) { opened = result; });
        EXPECT_FALSE(opened.has_value()) << "answered before the opener ended";
        while (!opened && elapsed.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        EXPECT_EQ(opened, std::optional<bool>(c.opened));
        EXPECT_EQ(shell.lastFailure(), QString::fromLatin1(c.failure).replace(u"OPENER"_s, opener));
        EXPECT_LT(elapsed.elapsed(), 5000);
    }
}

TEST(Services, WorkstationLockTriesLoginManagerThenScreenSaver) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        GTEST_SKIP() << "no session bus: run the test under dbus-run-session";
    SessionWorkstationLock lock(u"/nonexistent/loginctl"_s);

    // Nobody answers: a report that names every way tried.
    const WorkstationLock::Result none = lock.lock();
    EXPECT_FALSE(none.locked);
    for (const char* tried : {"loginctl lock-session: nicht startbar",
                              "org.freedesktop.ScreenSaver/org/freedesktop/"
                              "ScreenSaver: nicht vorhanden",
                              "org.gnome.ScreenSaver/org/gnome/ScreenSaver: nicht vorhanden"})
        EXPECT_TRUE(none.report.contains(QLatin1String(tried))) << none.report.toStdString();

    QThread saverThread;
    FakeScreenSaver saver;
    saver.moveToThread(&saverThread);
    saverThread.start();
    QDBusConnection saverBus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, u"saver"_s);
    ASSERT_TRUE(
        saverBus.registerObject(u"/org/freedesktop/ScreenSaver"_s, &saver, QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(saverBus.registerService(u"org.freedesktop.ScreenSaver"_s));

    const WorkstationLock::Result byScreenSaver = lock.lock();
    EXPECT_EQ(
        std::pair(byScreenSaver.locked, byScreenSaver.report),
        std::pair(true, u"Arbeitsplatz gesperrt: org.freedesktop.ScreenSaver/org/freedesktop/ScreenSaver"_s));
    EXPECT_EQ(saver.locks.load(), 1);

    // A login manager that takes the request is asked first.
    SessionWorkstationLock byLogin(u"true"_s);
    EXPECT_TRUE(byLogin.lock().locked);
    EXPECT_EQ(saver.locks.load(), 1);

    saverBus.unregisterService(u"org.freedesktop.ScreenSaver"_s);
    QDBusConnection::disconnectFromBus(u"saver"_s);
    saverThread.quit();
    saverThread.wait();
}

#include "platform_services_test.moc"
