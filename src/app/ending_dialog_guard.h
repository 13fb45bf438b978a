#pragma once

#include <QObject>
#include <QString>

#include <functional>

// Once the program ends, nobody may be there to answer (a log-out, a termination signal, a
// hidden window): a modal dialog shown then would keep the program from ending. While the guard
// is on, every dialog that opens is rejected at once and its text goes to the report instead.
class EndingDialogGuard final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(EndingDialogGuard)

public:
    // report receives the text of each dialog turned away.
    explicit EndingDialogGuard(std::function<void(const QString&)> report, QObject* parent = nullptr);
    ~EndingDialogGuard() override;

    // From now on until the guard goes.
    void engage();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void(const QString&)> m_report;
    bool m_engaged = false;
};
