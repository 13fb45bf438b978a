#include "../file_sync.h"

#include <QFileDevice>

#include <cerrno>
#include <io.h>

namespace textfile {

bool syncToDisk(QFileDevice& file, QString* error) {
    // QFileDevice::handle() is a C runtime descriptor here; _commit flushes it with
    // FlushFileBuffers.
    if (::_commit(file.handle()) == 0)
        return true;
    if (error)
        *error = qt_error_string(errno);
    return false;
}

} // namespace textfile
