#include "../translation.h"

#include <QDir>

#include <libintl.h>

namespace translation {

void bindFolder(const char* domainName, const QString& folder) {
    const QString native = QDir::toNativeSeparators(folder);
    wbindtextdomain(domainName, reinterpret_cast<const wchar_t*>(native.utf16()));
}

} // namespace translation
