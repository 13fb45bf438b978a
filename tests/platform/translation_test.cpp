#include "scoped_env.h"
#include "translation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Compiles a catalogue of one text with the header's character set, as a translator would.
void writeCatalogue(const QString& locale, const QString& code, const QByteArray& charset,
                    const QByteArray& units) {
    const QString po = locale + u'/' + code + QStringLiteral(".po");
    ASSERT_TRUE(QDir().mkpath(locale + u'/' + code + QStringLiteral("/LC_MESSAGES")));
    QFile file(po);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=" + charset +
               "\\n\"\n\nmsgid \"#Einheiten\"\n" + "msgstr \"" + units + "\"\n");
    file.close();
    ASSERT_EQ(QProcess::execute(QStringLiteral(MSGFMT_EXECUTABLE),
                                {QStringLiteral("-o"), translation::catalogueFile(locale, code), po}),
              0);
}

} // namespace

TEST(Translation, CodeOfLocaleNames) {
    const std::pair<const char*, const char*> cases[] = {
        {"de_DE.UTF-8", "de"}, {"DE", "de"}, {"fr@euro", "fr"}, {"de-AT", "de"}, {"C.UTF-8", ""},
        {"POSIX", ""},         {"deu", ""},  {"", ""},          {"1x", ""},
    };
    for (const auto& [name, code] : cases)
        EXPECT_EQ(translation::codeOf(QString::fromLatin1(name)), QString::fromLatin1(code)) << name;
}

TEST(Translation, UserLanguageFollowsTheEnvironmentInItsOrder) {
    struct Case {
        const char* values[5]; // TAKTPLAN_LANGUAGE, LANGUAGE, LC_ALL, LC_MESSAGES, LANG
        const char* expected;
    };
    const Case cases[] = {
        {{nullptr, nullptr, nullptr, nullptr, "de_DE.UTF-8"}, "de"},
        {{nullptr, nullptr, nullptr, "fr_FR", "de_DE.UTF-8"}, "fr"},
        {{nullptr, nullptr, "it_IT", "fr_FR", "de_DE.UTF-8"}, "it"},
        {{nullptr, "nl:de", "it_IT", "fr_FR", "de_DE.UTF-8"}, "nl"},
        {{"de", "nl:de", "it_IT", "fr_FR", "en_US.UTF-8"}, "de"},
        // The C locale names no language: the next variable decides.
        {{nullptr, nullptr, "C.UTF-8", nullptr, "de_DE.UTF-8"}, "de"},
        {{nullptr, ":C:sv", "C", nullptr, nullptr}, "sv"},
    };
    for (const Case& c : cases) {
        ScopedEnv env;
        int i = 0;
        for (const char* name : {"TAKTPLAN_LANGUAGE", "LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"})
            env.set(name, c.values[i++]);
        EXPECT_EQ(translation::userLanguageCode(), QString::fromLatin1(c.expected)) << c.expected;
    }
}

TEST(Translation, HeaderMustDeclareUtf8) {
    const std::pair<const char*, bool> cases[] = {
        {"Project-Id-Version: x\ncontent-type: text/plain; CHARSET=Utf-8", true},
        {"Project-Id-Version: charset=utf-8\n", false}, // only the Content-Type counts
        {"", false},
    };
    for (const auto& [header, utf8] : cases)
        EXPECT_EQ(translation::declaresUtf8(QString::fromLatin1(header)), utf8) << header;
}

TEST(Translation, CataloguesInAFolderAndTheirCharacterSet) {
    ScopedEnv env;
    env.set("LANGUAGE", qgetenv("LANGUAGE"));
    QTemporaryDir tmp;
    const QString locale = tmp.filePath(QStringLiteral("locale"));
    writeCatalogue(locale, QStringLiteral("fr"), "ISO-8859-1", "#Unites");
    writeCatalogue(locale, QStringLiteral("it"), "UTF-8", "#Unità");
    writeCatalogue(locale, QStringLiteral("ita"), "UTF-8", "#Unità");       // no two-letter code
    ASSERT_TRUE(QDir().mkpath(locale + QStringLiteral("/es/LC_MESSAGES"))); // no catalogue in it

    const QStringList available = translation::availableLanguages(locale);
    EXPECT_EQ(available, (QStringList{QStringLiteral("fr"), QStringLiteral("it")}));
    EXPECT_TRUE(translation::availableLanguages(tmp.filePath(QStringLiteral("missing"))).isEmpty());
    EXPECT_EQ(translation::chooseLanguage(QStringLiteral("it"), available), QStringLiteral("it"));
    EXPECT_EQ(translation::chooseLanguage(QStringLiteral("es"), available), QStringLiteral("en"));
    EXPECT_EQ(translation::chooseLanguage(QString(), available), QStringLiteral("en"));

    // A catalogue declaring UTF-8 works, so the refusal below is about the header alone.
    ASSERT_TRUE(translation::setUp(locale, QStringLiteral("it")).active);
    EXPECT_EQ(translation::text("#Einheiten"), QStringLiteral("#Unità"));
    const translation::Outcome fr = translation::setUp(locale, QStringLiteral("fr"));
    EXPECT_FALSE(fr.active);
    EXPECT_EQ(fr.problem, QStringLiteral("The translation for the language code fr (in ") + locale +
                              QStringLiteral("/fr/LC_MESSAGES/default.mo) does not have charset=utf-8 in its "
                                             "Content-Type. Translations are turned off."));
    EXPECT_EQ(translation::text("#Einheiten"), QStringLiteral("#Einheiten"));

    // A missing catalogue leaves the texts as they are, without a message.
    const translation::Outcome es = translation::setUp(locale, QStringLiteral("es"));
    EXPECT_FALSE(es.active);
    EXPECT_TRUE(es.problem.isEmpty());
    EXPECT_EQ(translation::text("#Einheiten"), QStringLiteral("#Einheiten"));
}

TEST(Translation, QtsOwnTextsFollowTheChosenLanguage) {
    if (!QFileInfo::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) +
                           QStringLiteral("/qtbase_de.qm")))
        GTEST_SKIP() << "Qt's catalogues are not installed (package qt6-translations-l10n)";
    const struct {
        const char* code;
        const char* context;
        const char* text;
        const char* expected; // "" when Qt keeps its own text
    } cases[] = {
        {"de", "QPlatformTheme", "Cancel", "Abbrechen"},
        {"de", "QShortcut", "Ctrl", "Strg"},
        {"en", "QPlatformTheme", "Cancel", ""},
        {"xx", "QPlatformTheme", "Cancel", ""},
    };
    for (const auto& c : cases) {
        const std::unique_ptr<QTranslator> translator =
            translation::loadQtTranslator(QString::fromLatin1(c.code));
        const QString translated = translator ? translator->translate(c.context, c.text) : QString();
        EXPECT_EQ(translated, QString::fromUtf8(c.expected)) << c.code << " " << c.text;
    }
}
