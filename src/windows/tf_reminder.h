#pragma once

#include <QWidget>

class QPlainTextEdit;
class QPushButton;

// The reminder window: the program's one non-modal message window for task notes, the hint
// to wrap up before a task change and errors of the activity log. It stays on top, has a
// taskbar entry of its own and always shows the latest text.
class TFReminder final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TFReminder)

public:
    explicit TFReminder(QWidget* parent = nullptr);

    // Caption and text replace what was shown; the window comes up centred on the primary
    // screen.
    void ShowReminder(const QString& caption, const QString& text);
    QString text() const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void layOut();
    void centre();

    QPlainTextEdit* mmo1 = nullptr;
    QPushButton* btnOkay = nullptr;
};
