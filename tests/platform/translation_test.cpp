#include "scoped_env.h"
#include "translation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <iterator>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

// A catalogue of one text with the header's character set, as msgfmt writes it (little-endian,
// no hash table): the tests need no gettext tools where they run.
void writeCatalogue(const QString& locale, const QString& code, const QByteArray& charset,
                    const QByteArray& units) {
    const std::pair<QByteArray, QByteArray> entries[] = {
        // sorted by their original text
        {"", "Content-Type: text/plain; charset=" + charset + "\n"},
        {"#Einheiten", units},
    };
    const quint32 count = std::size(entries);
    QByteArray head, tables, strings;
    const auto number = [](QByteArray& to, quint32 value) {
        const quint32 le = qToLittleEndian(value);
        to.append(reinterpret_cast<const char*>(&le), sizeof le);
    };
    const quint32 stringsAt = 28 + 16 * count;
    for (int side = 0; side < 2; ++side) {
        for (const auto& entry : entries) {
            const QByteArray& text = side == 0 ? entry.first : entry.second;
            number(tables, quint32(text.size()));
            number(tables, stringsAt + quint32(strings.size()));
            strings += text + '\0';
        }
    }
    for (quint32 value : {0x950412deU, 0U, count, 28U, 28 + 8 * count, 0U, stringsAt})
        number(head, value);
    ASSERT_TRUE(QDir().mkpath(locale + u'/' + code + u"/LC_MESSAGES"_s));
    QFile file(translation::catalogueFile(locale, code));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(head + tables + strings), head.size() + tables.size() + strings.size());
}

} // namespace

TEST(Translation, UserLanguageFollowsTheEnvironmentInItsOrder) {
    // The order of TAKTPLAN_LANGUAGE, LC_ALL and LANG is met by the end-to-end tests.
    struct Case {
        const char* values[5]; // TAKTPLAN_LANGUAGE, LANGUAGE, LC_ALL, LC_MESSAGES, LANG
        const char* expected;
    };
    const Case cases[] = {
        {{nullptr, nullptr, nullptr, "fr@euro", "de_DE.UTF-8"}, "fr"},
        {{nullptr, "nl:de", "it_IT", "fr_FR", "de_DE.UTF-8"}, "nl"},
        // The C locale and names without a two-letter code name no language: the next decides.
        {{"1x", nullptr, "C.UTF-8", "deu", "DE-at"}, "de"},
        {{nullptr, ":C:sv", "POSIX", nullptr, nullptr}, "sv"},
    };
    for (const Case& c : cases) {
        ScopedEnv env;
        int i = 0;
        for (const char* name : {"TAKTPLAN_LANGUAGE", "LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"})
            env.set(name, c.values[i++]);
        EXPECT_EQ(translation::userLanguageCode(), QString::fromLatin1(c.expected)) << c.expected;
    }
}

TEST(Translation, CataloguesInAFolderAndTheirCharacterSet) {
    ScopedEnv env;
    env.set("LANGUAGE", qgetenv("LANGUAGE"));
    QTemporaryDir tmp;
    const QString locale = tmp.filePath(u"locale"_s);
    writeCatalogue(locale, u"fr"_s, "ISO-8859-1", "#Unites");
    writeCatalogue(locale, u"it"_s, "UTF-8", "#Unità");
    writeCatalogue(locale, u"ita"_s, "UTF-8", "#Unità");       // no two-letter code
    ASSERT_TRUE(QDir().mkpath(locale + u"/es/LC_MESSAGES"_s)); // no catalogue in it

    const QStringList available = translation::availableLanguages(locale);
    EXPECT_EQ(available, (QStringList{u"fr"_s, u"it"_s}));
    EXPECT_TRUE(translation::availableLanguages(tmp.filePath(u"missing"_s)).isEmpty());
    EXPECT_EQ(translation::chooseLanguage(u"it"_s, available), u"it"_s);
    EXPECT_EQ(translation::chooseLanguage(u"es"_s, available), u"en"_s);
    EXPECT_EQ(translation::chooseLanguage(QString(), available), u"en"_s);

    // A catalogue declaring UTF-8 works, so the refusal below is about the header alone.
    ASSERT_TRUE(translation::setUp(locale, u"it"_s).active);
    EXPECT_EQ(translation::text("#Einheiten"), u"#Unità"_s);
    const translation::Outcome fr = translation::setUp(locale, u"fr"_s);
    EXPECT_FALSE(fr.active);
    EXPECT_EQ(fr.problem, u"The translation for the language code fr (in "_s +
                              QDir::toNativeSeparators(locale + u"/fr/LC_MESSAGES/default.mo"_s) +
                              u") does not have charset=utf-8 in its Content-Type. Translations are "
                              "turned off."_s);
    EXPECT_EQ(translation::text("#Einheiten"), u"#Einheiten"_s);

    // A missing catalogue leaves the texts as they are, without a message.
    const translation::Outcome es = translation::setUp(locale, u"es"_s);
    EXPECT_FALSE(es.active);
    EXPECT_TRUE(es.problem.isEmpty());
    EXPECT_EQ(translation::text("#Einheiten"), u"#Einheiten"_s);
}

TEST(Translation, QtsOwnTextsFollowTheChosenLanguage) {
    if (!QFileInfo::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + u"/qtbase_de.qm"_s))
        GTEST_SKIP() << "Qt's catalogues are not installed (package qt6-translations-l10n)";
    const struct {
        const char* code;
        const char* context;
        const char* text;
        const char* expected; // "" when Qt keeps its own text
    } cases[] = {
        {"de", "QPlatformTheme", "Cancel", "Abbrechen"},
        {"xx", "QPlatformTheme", "Cancel", ""},
    };
    for (const auto& c : cases) {
        const std::unique_ptr<QTranslator> translator =
            translation::loadQtTranslator(QString::fromLatin1(c.code));
        const QString translated = translator ? translator->translate(c.context, c.text) : QString();
        EXPECT_EQ(translated, QString::fromUtf8(c.expected)) << c.code << " " << c.text;
    }
}
