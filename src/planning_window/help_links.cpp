#include "help_links.h"

#include "translate.h"

#include <QDir>
#include <QUrlQuery>

#ifndef TAKTPLAN_DEFAULT_HOME_URL
#define TAKTPLAN_DEFAULT_HOME_URL ""
#endif
#ifndef TAKTPLAN_DEFAULT_PROJECTS_URL
#define TAKTPLAN_DEFAULT_PROJECTS_URL ""
#endif
#ifndef TAKTPLAN_DEFAULT_CONTACT_MAIL
#define TAKTPLAN_DEFAULT_CONTACT_MAIL ""
#endif

namespace helplinks {

namespace {

QString configuredValue(const char* variable, const char* built) {
    const QString fromEnvironment = qEnvironmentVariable(variable).trimmed();
    return fromEnvironment.isEmpty() ? QString::fromUtf8(built).trimmed() : fromEnvironment;
}

QString docFolder(const QString& programFolder) {
    return QDir(programFolder).filePath(QStringLiteral("doc"));
}

} // namespace

Addresses Addresses::configured() {
    return {configuredValue("TAKTPLAN_HOME_URL", TAKTPLAN_DEFAULT_HOME_URL),
            configuredValue("TAKTPLAN_PROJECTS_URL", TAKTPLAN_DEFAULT_PROJECTS_URL),
            configuredValue("TAKTPLAN_CONTACT_MAIL", TAKTPLAN_DEFAULT_CONTACT_MAIL)};
}

QString guideLanguage(const QString& interfaceLanguage) {
    return interfaceLanguage == QLatin1String("de") ? QStringLiteral("de") : QStringLiteral("en");
}

QString guideFile(const QString& programFolder, const QString& interfaceLanguage, const QString& section) {
    QString name = QStringLiteral("taktplan-") + guideLanguage(interfaceLanguage);
    if (!section.isEmpty())
        name += u'-' + section;
    return QDir(docFolder(programFolder)).filePath(name + QStringLiteral(".html"));
}

QString licenceFile(const QString& programFolder) {
    return QDir(docFolder(programFolder)).filePath(QStringLiteral("LICENCES.txt"));
}

QUrl mailUrl(const QString& address, const QString& version) {
    QUrl url;
    url.setScheme(QStringLiteral("mailto"));
    url.setPath(address);
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("subject"), QStringLiteral("Taktplan ") + version);
    query.addQueryItem(QStringLiteral("body"), tr_("Hallo,") + QStringLiteral("\n\n"));
    url.setQuery(query);
    return url;
}

} // namespace helplinks
