#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>

class CompanionProgram;
class QTimer;
class WindowUserInterface;
struct Settings;

// The Planning window's focus lock (tmrFocusLock, 250 ms): with the setting on, the window is
// pulled back in front whenever another program took the foreground. Windows of this program
// (the Timer window, the reminder, the about and confirmation windows) and an open question of
// it are left in front.
class FocusLock final : public QObject {
public:
    FocusLock(QWidget& window, const Settings& settings, CompanionProgram& companion,
              std::function<void()> bringToFront);

    QTimer* timer() const { return m_timer; }
    void step();
    // The active window is one of the program's, or its open question.
    bool foregroundOurs() const;

    QPointer<QWidget> timerWindow;
    QList<QPointer<QWidget>> peers;
    // Set when the user interface is the real one: its reminder window is one of ours.
    WindowUserInterface* windowUi = nullptr;

private:
    QWidget& m_window;
    const Settings& m_settings;
    CompanionProgram& m_companion;
    std::function<void()> m_bringToFront;
    QTimer* m_timer;
};
