#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QWidget>

class QPlainTextEdit;
class QPushButton;

// The reminder window: the program's one non-modal message window for task notes, the hint
// to wrap up before a task change and errors of the activity log. It stays on top, has a
// taskbar entry of its own and always shows the latest text. It never takes the keyboard from
// the window the user types in; once clicked, Enter and Esc close it.
class TFReminder final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TFReminder)

public:
    explicit TFReminder(QWidget* parent = nullptr);

    // Caption and text replace what was shown; the window comes up centred on the primary
    // screen.
    void ShowReminder(const QString& caption, const QString& text);
    QString text() const;
    // Hides the window if it still shows what ShowReminder was given with this caption and
    // text; a message shown since then stays.
    void withdraw(const QString& caption, const QString& text);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void layOut();
    void centre();

    QPlainTextEdit* mmo1 = nullptr;
    QPushButton* btnOkay = nullptr;
    // The window the user typed in when the reminder came up, and since when it is up: a
    // platform that activates every window it shows gets its activation handed back.
    QPointer<QWidget> m_typingIn;
    QElapsedTimer m_shownFor;
    QString m_caption;
    QString m_text;
};
