#include "data_folder.h"
#include "left_behind_threads.h"
#include "program_arguments.h"
#include "single_instance.h"
#include "start_up.h"
#include "status_command.h"
#include "system_clock.h"
#include "taktplan_version.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    // Qt takes its own options out of argv; the first argument counts as it was given.
    const QStringList arguments = programArguments(argc, argv);
    // A panel asks for the run's state every few seconds: it gets its answer from the running
    // copy without ever becoming one.
    const statusrequest::Request statusRequest = statuscommand::parse(arguments);
    if (statusRequest.asked) {
        SingleInstance running(DataFolder::fromEnvironment().path(), SingleInstance::defaultRuntimeFolder());
        return statuscommand::run(statusRequest, running);
    }
    const SystemClock clock = SystemClock::fromEnvironment();
    const QString firstArgument = arguments.value(0);

    // Before anything else, and before any window: one copy per user and data folder.
    DataFolder folder = DataFolder::fromEnvironment();
    SingleInstance instance(folder.path(), SingleInstance::defaultRuntimeFolder());
    const SingleInstance::Claim claim = instance.claim();
    if (claim == SingleInstance::Claim::Running) {
        // Whether or not the running copy heard us, this start ends quietly.
        instance.requestFront(500);
        return 0;
    }

    // A Wayland client can neither place its windows nor keep them on top, which the Timer
    // window needs: through XWayland it can.
    const bool wayland = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (wayland && !qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Taktplan"));
    QApplication::setApplicationVersion(QStringLiteral(TAKTPLAN_VERSION));
    // The Timer window stays hidden until a phase runs, and the Planning window may be hidden
    // too: the program ends only through its exit command or a termination request.
    QApplication::setQuitOnLastWindowClosed(false);

    StartUp startUp(clock, std::move(folder), instance, claim, firstArgument);
    const int status = startUp.run();
    // Everything is saved by now; a sound or speech engine stuck in its thread would hold up the
    // libraries' own end for as long as it hangs.
    if (leftbehind::anyThreadLeftBehind()) {
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}
