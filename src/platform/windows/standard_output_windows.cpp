#include "standard_output.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>

namespace standardoutput {

bool writeBytes(QByteArrayView bytes) {
    std::fflush(stdout);
    _setmode(_fileno(stdout), _O_BINARY);
    const size_t size = size_t(bytes.size());
    return std::fwrite(bytes.constData(), 1, size, stdout) == size && std::fflush(stdout) == 0;
}

} // namespace standardoutput
