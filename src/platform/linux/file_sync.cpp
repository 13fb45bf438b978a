#include "../file_sync.h"

#include <QFileDevice>

#include <cerrno>
#include <unistd.h>

namespace textfile {

bool syncToDisk(QFileDevice& file, QString* error) {
    // fdatasync suffices: it also writes the size, the one piece of metadata reading needs.
    if (::fdatasync(file.handle()) == 0)
        return true;
    if (error)
        *error = qt_error_string(errno);
    return false;
}

} // namespace textfile
