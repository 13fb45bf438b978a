#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class SingleInstance;

// `taktplan --status [--format text|json|waybar]`: asks the running copy for the state of its
// run and prints the answer. A panel calls it every few seconds, so it starts nothing heavy:
// no application object, no records, no lock.
namespace statuscommand {

struct Request {
    bool asked = false; // --status is among the arguments
    QByteArray format = "text";
    QString error; // one line for standard error; empty when the arguments are fine
};

// arguments without the program name.
Request parse(const QStringList& arguments);

// Prints the answer (standard output) or one line why there is none (standard error). Returns
// the exit status: 0 answered, 2 bad arguments, 3 no copy runs or none answered.
int run(const Request& request, SingleInstance& instance);

} // namespace statuscommand
