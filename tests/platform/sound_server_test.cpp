// A sound server that accepts the connection and never answers: the first sound and the first
// spoken text wait for it on threads of their own, the windows' thread goes on, and the end of the program is
// not held.
#include "left_behind_threads.h"
#include "qt_sound_player.h"
#include "qt_speaker.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QTemporaryDir>
#include <QTextToSpeech>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace {

TEST(SoundServer, ASilentServerHoldsUpNeitherTheWindowsNorTheEnd) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // Connections wait in the queue unanswered, as with a sound server that hangs. It stays to
    // the end of the process, as a hanging server would.
    auto* server = new QLocalServer;
    ASSERT_TRUE(server->listen(dir.filePath(QStringLiteral("pulse"))));
    qputenv("PULSE_SERVER", "unix:" + QFile::encodeName(server->fullServerName()));

    QElapsedTimer elapsed;
    qint64 longestPass = 0, endMs = 0, callsMs = 0;
    {
        QtSoundPlayer player;
        // Speech plays through the same sound server (when its engine is installed).
        QtSpeaker speaker(QTextToSpeech::availableEngines().contains(QStringLiteral("flite"))
                              ? QStringLiteral("flite")
                              : QString());
        // Playing never waits for the sound, nor for a file that is not there.
        elapsed.start();
        player.play(QStringLiteral("/nonexistent/Start.wav"));
        player.play(QStringLiteral(TAKTPLAN_TEST_BUILD_DIR "/Sounds/Start.wav"));
        speaker.say(QStringLiteral("75"));
        callsMs = elapsed.restart();
        while (elapsed.elapsed() < 1500) {
            QElapsedTimer pass;
            pass.start();
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
            longestPass = std::max(longestPass, pass.elapsed());
        }
        player.play(QStringLiteral(TAKTPLAN_TEST_BUILD_DIR "/Sounds/Ende_Einheit.wav"));
        // As at the program's end: both are told at once and end side by side.
        elapsed.restart();
        player.beginEnd();
        speaker.beginEnd();
    }
    endMs = elapsed.elapsed();
    EXPECT_LT(callsMs, 500);
    EXPECT_LT(longestPass, 500);
    EXPECT_LT(endMs, 3000);
    // The stuck thread is known, so the program can end without the sound library's own end,
    // which would wait for it.
    EXPECT_TRUE(leftbehind::anyThreadLeftBehind());
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const int status = RUN_ALL_TESTS();
    // As the program does.
    if (leftbehind::anyThreadLeftBehind()) {
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}
