#pragma once

#include "status_request.h"

#include <QStringList>

class SingleInstance;

// `taktplan --status [--format text|json|waybar]`: asks the running copy for the state of its
// run and prints the answer. A panel calls it every few seconds, so it starts nothing heavy:
// no application object, no records, no lock. On Linux the small entry program answers it
// before this program is even loaded, by the same rules (status_request.h); this is the way
// where that one cannot be sure of the channel, and on Windows.
namespace statuscommand {

// arguments without the program name.
statusrequest::Request parse(const QStringList& arguments);

// Prints the answer (standard output) or one line why there is none (standard error). Returns
// the exit status: 0 answered, 2 bad arguments, 3 no copy runs or none answered.
int run(const statusrequest::Request& request, SingleInstance& instance);

} // namespace statuscommand
