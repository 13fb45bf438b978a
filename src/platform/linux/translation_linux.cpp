#include "../translation.h"

#include <QFile>

#include <libintl.h>

namespace translation {

void bindFolder(const char* domainName, const QString& folder) {
    bindtextdomain(domainName, QFile::encodeName(folder).constData());
}

} // namespace translation
