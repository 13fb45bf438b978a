#pragma once

#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class Shell;

// The about window: who made the program and the technique it follows, with links to both,
// and a line to think about.
class TFUeber final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TFUeber)

public:
    // The addresses the two links open through the shell. An empty address leaves its line as
    // plain text: the window never sends anybody to a page that nobody has set up.
    struct Links {
        QString program;
        QString technique;
    };

    TFUeber(Shell& shell, Links links, QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* addLink(const QString& name, const QString& text, const QString& address);

    Shell& m_shell;
    QPlainTextEdit* mmo1 = nullptr;
    QPushButton* btnSchliessen = nullptr;
};
