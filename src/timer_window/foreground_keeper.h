#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>

class QTimer;

// Foreground keeping (tmrVordergrund, 500 ms): while a phase runs, the program stays in front of
// other programs. An event leaves things as they are while a window of the program is active (or
// a question of it waits); otherwise it brings forward the presence window, else the countdown
// overlay, else the strip.
class ForegroundKeeper final : public QObject {
public:
    // The program's windows besides the strip; any may be none.
    struct Windows {
        QPointer<QWidget> planning;
        QPointer<QWidget> presence;
        QPointer<QWidget> countdown;
        QPointer<QWidget> firstStartHint;
        // Looked up when needed: the reminder window is made only when first used.
        std::function<QWidget*()> reminder;
        QList<QPointer<QWidget>> peers;
    };

    ForegroundKeeper(QWidget& strip, std::function<void(QWidget&)> bringToFront);

    void setOn(bool on);
    bool isOn() const;
    QTimer* timer() const { return m_timer; }
    // The active window is one of the program's, or its open question.
    bool foregroundOurs() const;
    void bring(QWidget& window) const { m_bring(window); }
    QWidget* reminder() const { return windows.reminder ? windows.reminder() : nullptr; }

    Windows windows;

private:
    void step();

    QWidget& m_strip;
    std::function<void(QWidget&)> m_bring;
    QTimer* m_timer;
};
