#include "translation.h"

#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>

#include <clocale>
#include <libintl.h>

namespace translation {

QString codeOf(QStringView localeName) {
    if (localeName.size() < 2)
        return {};
    const QChar a = localeName[0].toLower();
    const QChar b = localeName[1].toLower();
    const auto isLetter = [](QChar c) { return c >= u'a' && c <= u'z'; };
    if (!isLetter(a) || !isLetter(b))
        return {};
    // "de", "de_DE", "de.UTF-8", "de@euro", "de-DE"; a third letter means another code system.
    if (localeName.size() > 2 && QStringView(u"_.@-").indexOf(localeName[2]) < 0)
        return {};
    return QString(a) + b;
}

QString userLanguageCode() {
    static const char* const variables[] = {"TAKTPLAN_LANGUAGE", "LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"};
    for (const char* variable : variables) {
        const QString value = qEnvironmentVariable(variable);
        // LANGUAGE is a priority list "de:en".
        for (const QString& part : value.split(u':', Qt::SkipEmptyParts)) {
            const QString code = codeOf(part);
            if (!code.isEmpty())
                return code;
        }
    }
    for (const QString& language : QLocale::system().uiLanguages()) {
        const QString code = codeOf(language);
        if (!code.isEmpty())
            return code;
    }
    return {};
}

QString localeFolder(const QString& programFolder) {
    return QDir(programFolder).filePath(QStringLiteral("locale"));
}

QString catalogueFile(const QString& localeFolder, const QString& code) {
    return QDir(localeFolder)
        .filePath(code + QStringLiteral("/LC_MESSAGES/") + QLatin1String(domain) + QStringLiteral(".mo"));
}

QStringList availableLanguages(const QString& localeFolder) {
    QStringList codes;
    const QStringList entries = QDir(localeFolder).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& entry : entries) {
        if (codeOf(entry) == entry && QFileInfo(catalogueFile(localeFolder, entry)).isFile())
            codes.append(entry);
    }
    return codes;
}

QString chooseLanguage(const QString& userCode, const QStringList& available) {
    return !userCode.isEmpty() && available.contains(userCode) ? userCode : QString::fromLatin1(fallbackCode);
}

bool declaresUtf8(QStringView header) {
    // msgfmt writes "charset=UTF-8"; the spelling of the name does not matter.
    for (QStringView line : header.split(u'\n')) {
        if (line.trimmed().startsWith(u"Content-Type:", Qt::CaseInsensitive))
            return line.contains(u"charset=utf-8", Qt::CaseInsensitive);
    }
    return false;
}

QString charsetProblem(const QString& code, const QString& catalogue) {
    return QStringLiteral("The translation for the language code ") + code + QStringLiteral(" (in ") +
           QDir::toNativeSeparators(catalogue) +
           QStringLiteral(") does not have charset=utf-8 in its Content-Type. Translations are turned off.");
}

Outcome setUp(const QString& localeFolder, const QString& code) {
    Outcome outcome;
    outcome.code = code;
    outcome.catalogue = catalogueFile(localeFolder, code);

#ifdef LC_MESSAGES
    // glibc ignores LANGUAGE in the plain C locale, and on many systems C.UTF-8 is the only
    // locale there is; the language itself comes from LANGUAGE.
    // Not std::setlocale: GNU libintl on Windows makes setlocale a macro of its own.
    setlocale(LC_MESSAGES, "C.UTF-8");
#endif
    qputenv("LANGUAGE", code.toLatin1());
    bindFolder(domain, localeFolder);
    bind_textdomain_codeset(domain, "UTF-8");
    // textdomain() also drops what gettext cached for an earlier language.
    textdomain(domain);

    const QString header = QString::fromUtf8(dgettext(domain, ""));
    if (header.isEmpty())
        return outcome; // no catalogue: the texts stay as they are, nothing to report
    if (!declaresUtf8(header)) {
        turnOff();
        outcome.problem = charsetProblem(code, outcome.catalogue);
        return outcome;
    }
    outcome.active = true;
    return outcome;
}

std::unique_ptr<QTranslator> loadQtTranslator(const QString& code) {
    auto translator = std::make_unique<QTranslator>();
    if (code.isEmpty() || !translator->load(QStringLiteral("qtbase_") + code,
                                            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return nullptr;
    return translator;
}

void turnOff() {
    // gettext never translates into the C language.
    qputenv("LANGUAGE", "C");
    textdomain(domain);
}

QString text(const char* msgid) {
    return QString::fromUtf8(dgettext(domain, msgid));
}

} // namespace translation
