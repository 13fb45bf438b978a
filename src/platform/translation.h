#pragma once

#include <QString>
#include <QStringList>
#include <QTranslator>

#include <memory>

// The user-interface language through GNU gettext: the text domain "default" with its
// catalogues in locale/<code>/LC_MESSAGES/default.mo beside the program. The texts themselves
// go through gettext wherever they are shown; this only chooses and binds the catalogue.
namespace translation {

inline constexpr char domain[] = "default";
inline constexpr char fallbackCode[] = "en";

// The user's language as a lower-case two-letter code, "" when none is set. Looks at
// TAKTPLAN_LANGUAGE (an override for tests and screenshots), LANGUAGE, LC_ALL, LC_MESSAGES and
// LANG in this order, then at the system's user-interface languages.
QString userLanguageCode();
// "de_DE.UTF-8" -> "de"; "" for "C", "POSIX" and anything that does not start with two letters.
QString codeOf(QStringView localeName);

QString localeFolder(const QString& programFolder);
QString catalogueFile(const QString& localeFolder, const QString& code);
// Codes with a catalogue of the domain in the folder, sorted.
QStringList availableLanguages(const QString& localeFolder);
// The user's code when a catalogue exists for it, else "en".
QString chooseLanguage(const QString& userCode, const QStringList& available);

// Whether a catalogue header (the translation of "") declares UTF-8 in its Content-Type.
bool declaresUtf8(QStringView header);
QString charsetProblem(const QString& code, const QString& catalogue);

struct Outcome {
    QString code;
    QString catalogue;   // the catalogue file looked for
    bool active = false; // a catalogue was found and is used
    QString problem;     // a message for the user, "" when there is none
};

// Binds the domain to the folder in the language given. Call it after the application object
// exists (creating that resets the C locale). A catalogue that does not declare UTF-8 turns
// translation off and yields the message in problem.
Outcome setUp(const QString& localeFolder, const QString& code);

// Qt's own catalogue ("qtbase_<code>" from Qt's translations folder) for the language, or null
// when there is none: Qt's texts then stay English.
std::unique_ptr<QTranslator> loadQtTranslator(const QString& code);

// Binds the domain to the folder (linux/ and windows/: on Windows through the wide call, so a
// program folder whose name the ANSI code page cannot spell still finds its catalogues).
void bindFolder(const char* domainName, const QString& folder);

// Every lookup returns the untranslated text from now on.
void turnOff();

// The translation of a text of the domain (UTF-8 both ways).
QString text(const char* msgid);

} // namespace translation
