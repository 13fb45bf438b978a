// Holds the single-instance lock in a process of its own, so the tests can meet a running copy
// and, by killing it, a crashed one. Arguments: data folder, runtime folder.
#include "single_instance.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3)
        return 2;
    SingleInstance instance(args[1], args[2]);
    if (instance.claim() != SingleInstance::Claim::First || !instance.listen()) {
        std::puts("refused");
        return 1;
    }
    QObject::connect(&instance, &SingleInstance::frontRequested, [] {
        std::puts("front");
        std::fflush(stdout);
    });
    std::puts("ready");
    std::fflush(stdout);
    return QCoreApplication::exec();
}
