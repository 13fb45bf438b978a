#pragma once

#include <QString>

class QFileDevice;

namespace textfile {

// Waits until the data written through the open file has reached the disk. A rename that swaps
// in a file whose data still sits in the system's cache can leave an empty file after a power
// cut. False with the system's message in *error when the system reports a failure.
bool syncToDisk(QFileDevice& file, QString* error);

} // namespace textfile
