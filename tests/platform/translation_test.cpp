#include "case_table.h"
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
    for (const CaseRow& row :
         caseTable(QStringLiteral(PLATFORM_TEST_DATA "/platform.txt"), u"user language"_s)) {
        ScopedEnv env;
        int i = 0;
        for (const char* name : {"TAKTPLAN_LANGUAGE", "LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
            const QString value = row[i++];
            env.set(name, value == u"-"_s ? QByteArray() : value.toUtf8());
        }
        EXPECT_EQ(translation::userLanguageCode(), row[5]) << row.where.toStdString();
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
    // Qt's own text stays where it has no catalogue for the language.
    const std::unique_ptr<QTranslator> de = translation::loadQtTranslator(u"de"_s);
    const std::unique_ptr<QTranslator> none = translation::loadQtTranslator(u"xx"_s);
    EXPECT_EQ(de ? de->translate("QPlatformTheme", "Cancel") : QString(), u"Abbrechen"_s);
    EXPECT_EQ(none ? none->translate("QPlatformTheme", "Cancel") : QString(), QString());
}
