#include "bilanz_window.h"
#include "command_line.h"
#include "data_folder.h"
#include "program_arguments.h"
#include "standard_output.h"
#include "system_clock.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv) {
    const QStringList arguments = programArguments(argc, argv);
    const commandline::Options options = commandline::parse(arguments);
    if (!options.error.isEmpty()) {
        std::fprintf(stderr, "bilanzblick: %s\n", options.error.toLocal8Bit().constData());
        return 2;
    }
    if (!options.exportDays)
        return bilanzwindow::run(argc, argv, options.logPath);

    QCoreApplication app(argc, argv);
    const SystemClock clock = SystemClock::fromEnvironment();
    const commandline::ExportResult result =
        commandline::runExport(options, clock, DataFolder::fromEnvironment(),
                               [](QByteArrayView piece) { return standardoutput::writeBytes(piece); });
    if (result.status != 0)
        std::fprintf(stderr, "bilanzblick: %s\n", result.error.toLocal8Bit().constData());
    else if (!result.note.isEmpty())
        std::fprintf(stderr, "bilanzblick: %s\n", result.note.toLocal8Bit().constData());
    return result.status;
}
