#include "case_table.h"
#include "scoped_env.h"
#include "translation.h"

#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

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
    // Catalogues of one text as msgfmt writes them: "fr" declares ISO-8859-1, "it" UTF-8, "ita"
    // has no two-letter code, "es" holds no compiled catalogue.
    const QString locale = QStringLiteral(PLATFORM_TEST_DATA "/locale");
    const QStringList available = translation::availableLanguages(locale);
    EXPECT_EQ(available, (QStringList{u"fr"_s, u"it"_s}));
    EXPECT_TRUE(translation::availableLanguages(locale + u"/missing"_s).isEmpty());
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
    EXPECT_EQ(std::pair(es.active, es.problem), std::pair(false, QString()));
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
