#include "standard_output.h"

#include <cstdio>

namespace standardoutput {

bool writeBytes(QByteArrayView bytes) {
    const size_t size = size_t(bytes.size());
    return std::fwrite(bytes.constData(), 1, size, stdout) == size && std::fflush(stdout) == 0;
}

} // namespace standardoutput
