#pragma once

#include <QByteArrayView>

// Writes bytes to standard output exactly as they are: on Windows the stream is switched to
// binary first, so "\n" does not become "\r\n". False when they could not all be written.
namespace standardoutput {
bool writeBytes(QByteArrayView bytes);
}
