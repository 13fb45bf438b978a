#pragma once

#include <QPointer>
#include <QWidget>

class QPlainTextEdit;
class QPushButton;
class QTimer;

// The hint of the very first run: a large red arrow that blinks beside the Timer window and
// follows it, then gives way to a short explanation of how to handle the Timer window.
class TFHinweisErsterStart final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TFHinweisErsterStart)

public:
    // timerWindow: the window the arrow points at and follows.
    explicit TFHinweisErsterStart(QWidget* timerWindow, QWidget* parent = nullptr);

    // tmr1, every 400 ms while the arrow blinks.
    void tmr1Timer();
    // "OK": hides the hint.
    void okClicked();

    int hintCountdown() const { return m_countdown; }
    bool showsInstructions() const { return m_instructions; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void place();
    void layOutPanel(const QStringList& lines);
    void showInstructions();
    void resetToArrow();

    QPointer<QWidget> m_timerWindow;
    QWidget* lblPfeil = nullptr;
    QWidget* pnlHinweise = nullptr;
    QPlainTextEdit* mmoAnleitung = nullptr;
    QPushButton* btnOk = nullptr;
    QTimer* tmr1 = nullptr;
    int m_countdown = 0;
    bool m_instructions = false;
    // The switch of the window's border hides and shows it; that is no new showing.
    bool m_switchingBorder = false;
};
