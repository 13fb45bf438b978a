#pragma once

#include "desktop_notifier.h"
#include "shell.h"
#include "sound_player.h"
#include "speaker.h"
#include "workstation_lock.h"

#include <QStringList>

// Record what the core asked of the system, so a test can check sounds, speech and locks
// without an audio device or a desktop.
class FakeSoundPlayer final : public SoundPlayer {
public:
    void play(const QString& filePath) override { played.append(filePath); }
    QStringList played;
};

class FakeSpeaker final : public Speaker {
public:
    void say(const QString& text) override { spoken.append(text); }
    QStringList spoken;
};

// Each lock() counts and returns answer.
class FakeWorkstationLock final : public WorkstationLock {
public:
    Result lock() override { return ++locks, answer; }
    Result answer{true, QStringLiteral("Arbeitsplatz gesperrt: Test")};
    int locks = 0;
};

// Each notification as "summary | body".
class FakeNotifier final : public DesktopNotifier {
public:
    void notify(const QString& summary, const QString& body) override {
        shown.append(summary + QStringLiteral(" | ") + body);
    }
    QStringList shown;
};

// Records what would have been opened.
class FakeShell final : public Shell {
public:
    bool openFile(const QString& path) override {
        files.append(path);
        return failure.isEmpty();
    }
    bool openAddress(const QString& address) override {
        addresses.append(address);
        return true;
    }
    // Answers only when the test calls answerOpen, as an opener that ends later does.
    void openFileThen(const QString& path, std::function<void(bool)> done) override {
        ++opensAsked;
        answerOpen = [this, path, done] { done(openFile(path)); };
    }
    QString lastFailure() const override { return failure; }
    std::function<void()> answerOpen;
    int opensAsked = 0;
    QStringList files;
    QStringList addresses;
    // Not empty: every file fails to open, for this reason.
    QString failure;
};
