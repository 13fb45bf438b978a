#pragma once

#include <QWidget>

#include <functional>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTimer;
class Shell;
struct Records;

// The debug viewer: this run's debug text, live, and a few buttons to try the activity log
// by hand.
class TFDebugger final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TFDebugger)

public:
    // foregroundKeeping answers whether the Timer window's foreground timer runs.
    TFDebugger(Records& records, Shell& shell, std::function<bool()> foregroundKeeping,
               QWidget* parent = nullptr);

    // tmrRefreshDebugLog, every second.
    void tmrRefreshDebugLogTimer();

    // A debug text of many megabytes, or one line of millions of characters (a hand-edited
    // setting is logged with its value), would take the memo minutes and gigabytes to lay out:
    // it shows the last shownChars characters of the text, each line cut at shownLineChars.
    // The whole text still goes to debug_log.txt at the end.
    static constexpr qsizetype shownChars = 1'000'000;
    static constexpr qsizetype shownLineChars = 2'000;
    // What the memo shows of text (CR LF line breaks), with "\n" between the lines.
    static QString shownText(QStringView text);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QPushButton* addButton(const QString& name, const QString& caption, const std::function<void()>& action);

    Records& m_records;
    Shell& m_shell;
    std::function<bool()> m_foregroundKeeping;
    QPlainTextEdit* mmoDebugLog = nullptr;
    QLabel* lblFTimerTmrVordergrund = nullptr;
    QTimer* tmrRefreshDebugLog = nullptr;
    // The debug text the memo was last filled with: comparing against it costs nothing while
    // the text is unchanged (both share one buffer), unlike reading the memo back.
    QString m_shown;
    // Characters appended to the memo since it was last filled whole.
    qsizetype m_appended = 0;
};
