// A bare Qt Widgets window, built with the same flags as the program: the yardstick for the
// program's start-up time and memory. With TAKTPLAN_EXIT_AFTER_SHOWN set it prints
// "shown <ms>" (milliseconds since main began) after its first paint and ends, as the program
// does. With BARE_WINDOW_TEXT set it shows one line of text, which makes Qt load the font
// database as any window with text must. With BARE_WINDOW_TICK set as well, a 100 ms timer
// writes the seconds since the start into that line: the yardstick for the idle cost of a
// window that counts down.
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cstdio>

namespace {

class FirstPaint final : public QObject {
public:
    FirstPaint(QWidget* window, const QElapsedTimer& sinceStart)
        : m_window(window), m_sinceStart(sinceStart) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose && m_window->windowHandle() == watched &&
            m_window->windowHandle()->isExposed()) {
            QCoreApplication::instance()->removeEventFilter(this);
            QTimer::singleShot(0, this, [this] {
                std::printf("shown %lld\n", static_cast<long long>(m_sinceStart.elapsed()));
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QWidget* m_window;
    const QElapsedTimer& m_sinceStart;
};

} // namespace

int main(int argc, char** argv) {
    QElapsedTimer sinceStart;
    sinceStart.start();
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare window"));
    window.resize(430, 450);
    QLabel text(QStringLiteral("Taktplan (0/0)"), &window);
    text.setVisible(!qEnvironmentVariableIsEmpty("BARE_WINDOW_TEXT"));
    QTimer tick;
    tick.setInterval(100);
    QObject::connect(&tick, &QTimer::timeout, &text,
                     [&] { text.setText(QString::number(sinceStart.elapsed() / 1000)); });
    if (!qEnvironmentVariableIsEmpty("BARE_WINDOW_TICK"))
        tick.start();
    FirstPaint probe(&window, sinceStart);
    if (!qEnvironmentVariableIsEmpty("TAKTPLAN_EXIT_AFTER_SHOWN"))
        QCoreApplication::instance()->installEventFilter(&probe);
    window.show();
    return QApplication::exec();
}
