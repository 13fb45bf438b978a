#include "translate.h"

#include <libintl.h>

QString tr_(const char* text) {
    return QString::fromUtf8(dgettext("default", text));
}
