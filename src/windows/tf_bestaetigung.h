#pragma once

#include <QWidget>

#include <functional>

class QPushButton;

// The presence confirmation window: shown in the last minute of a pause while presence is
// required, its one button confirms that the user is there for the next unit.
class TFBestaetigung final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TFBestaetigung)

public:
    // onConfirmed sets the presence confirmation of the running plan.
    explicit TFBestaetigung(std::function<void()> onConfirmed, QWidget* parent = nullptr);

    // "Anwesenheit bestätigen": confirms and hides the window.
    void confirm();
    // The caption: the remaining seconds of the pause and " sec".
    void setRemainingSeconds(qint64 seconds);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void centre();

    std::function<void()> m_onConfirmed;
    QPushButton* btnBestaetigung = nullptr;
    bool m_centreAtNextShow = true;
};
