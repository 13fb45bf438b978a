#include "translation.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <map>

namespace {

// A compiled catalogue written by hand, so a test can give it any header.
QByteArray moFile(const std::map<QByteArray, QByteArray>& messages) {
    const auto n = static_cast<quint32>(messages.size());
    const quint32 originals = 28;
    const quint32 translations = originals + 8 * n;
    quint32 data = translations + 8 * n;
    QByteArray tables;
    QByteArray strings;
    QByteArray translationTable;
    QByteArray translationStrings;
    const auto put = [](QByteArray& out, quint32 value) {
        char bytes[4];
        qToLittleEndian(value, bytes);
        out.append(bytes, 4);
    };
    for (const auto& [id, text] : messages) { // std::map keeps the ids sorted, as gettext needs
        put(tables, static_cast<quint32>(id.size()));
        put(tables, data + static_cast<quint32>(strings.size()));
        strings += id + '\0';
    }
    data += static_cast<quint32>(strings.size());
    for (const auto& [id, text] : messages) {
        put(translationTable, static_cast<quint32>(text.size()));
        put(translationTable, data + static_cast<quint32>(translationStrings.size()));
        translationStrings += text + '\0';
    }
    QByteArray out;
    for (quint32 value : {0x950412deu, 0u, n, originals, translations, 0u, 0u})
        put(out, value);
    return out + tables + translationTable + strings + translationStrings;
}

void writeCatalogue(const QString& localeFolder, const QString& code, const QByteArray& bytes) {
    ASSERT_TRUE(QDir().mkpath(localeFolder + u'/' + code + QStringLiteral("/LC_MESSAGES")));
    QFile file(translation::catalogueFile(localeFolder, code));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Sets environment variables for one test and puts the old values back afterwards.
class ScopedEnvironment {
public:
    void set(const char* name, const QByteArray& value) {
        remember(name);
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    ~ScopedEnvironment() {
        for (const auto& [name, value] : m_saved) {
            if (value.isNull())
                qunsetenv(name.constData());
            else
                qputenv(name.constData(), value);
        }
    }

private:
    void remember(const char* name) {
        if (!m_saved.contains(name))
            m_saved[name] = qgetenv(name);
    }
    std::map<QByteArray, QByteArray> m_saved;
};

const QString builtLocale = QStringLiteral(TAKTPLAN_TEST_LOCALE_DIR);

} // namespace

TEST(Translation, CodeOfLocaleNames) {
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("de_DE.UTF-8"), QStringLiteral("de")},
        {QStringLiteral("DE"), QStringLiteral("de")},
        {QStringLiteral("en"), QStringLiteral("en")},
        {QStringLiteral("fr@euro"), QStringLiteral("fr")},
        {QStringLiteral("de-AT"), QStringLiteral("de")},
        {QStringLiteral("nl.ISO-8859-1"), QStringLiteral("nl")},
        {QStringLiteral("C"), QString()},
        {QStringLiteral("C.UTF-8"), QString()},
        {QStringLiteral("POSIX"), QString()},
        {QStringLiteral("deu"), QString()},
        {QString(), QString()},
        {QStringLiteral("1x"), QString()},
    };
    for (const auto& [name, code] : cases)
        EXPECT_EQ(translation::codeOf(name), code) << name.toStdString();
}

TEST(Translation, UserLanguageFollowsTheEnvironmentInItsOrder) {
    struct Case {
        const char* override_;
        const char* language;
        const char* lcAll;
        const char* lcMessages;
        const char* lang;
        const char* expected;
    };
    const Case cases[] = {
        {nullptr, nullptr, nullptr, nullptr, "de_DE.UTF-8", "de"},
        {nullptr, nullptr, nullptr, "fr_FR", "de_DE.UTF-8", "fr"},
        {nullptr, nullptr, "it_IT", "fr_FR", "de_DE.UTF-8", "it"},
        {nullptr, "nl:de", "it_IT", "fr_FR", "de_DE.UTF-8", "nl"},
        {"de", "nl:de", "it_IT", "fr_FR", "en_US.UTF-8", "de"},
        // The C locale names no language: the next variable decides.
        {nullptr, nullptr, "C.UTF-8", nullptr, "de_DE.UTF-8", "de"},
        {nullptr, ":C:sv", "C", nullptr, nullptr, "sv"},
    };
    for (const Case& c : cases) {
        ScopedEnvironment env;
        env.set("TAKTPLAN_LANGUAGE", c.override_);
        env.set("LANGUAGE", c.language);
        env.set("LC_ALL", c.lcAll);
        env.set("LC_MESSAGES", c.lcMessages);
        env.set("LANG", c.lang);
        EXPECT_EQ(translation::userLanguageCode(), QString::fromLatin1(c.expected)) << c.expected;
    }
}

TEST(Translation, AvailableLanguagesAreFoldersWithACatalogue) {
    QTemporaryDir tmp;
    const QString locale = tmp.filePath(QStringLiteral("locale"));
    const QByteArray header = moFile({{"", "Content-Type: text/plain; charset=UTF-8\n"}});
    writeCatalogue(locale, QStringLiteral("en"), header);
    writeCatalogue(locale, QStringLiteral("de"), header);
    writeCatalogue(locale, QStringLiteral("deu"), header);                  // not a two-letter code
    ASSERT_TRUE(QDir().mkpath(locale + QStringLiteral("/fr/LC_MESSAGES"))); // no catalogue in it
    ASSERT_TRUE(QDir().mkpath(locale + QStringLiteral("/CMakeFiles")));

    const QStringList available = translation::availableLanguages(locale);
    EXPECT_EQ(available, (QStringList{QStringLiteral("de"), QStringLiteral("en")}));
    EXPECT_TRUE(translation::availableLanguages(tmp.filePath(QStringLiteral("missing"))).isEmpty());

    EXPECT_EQ(translation::chooseLanguage(QStringLiteral("de"), available), QStringLiteral("de"));
    EXPECT_EQ(translation::chooseLanguage(QStringLiteral("fr"), available), QStringLiteral("en"));
    EXPECT_EQ(translation::chooseLanguage(QString(), available), QStringLiteral("en"));
    EXPECT_EQ(translation::chooseLanguage(QStringLiteral("de"), {}), QStringLiteral("en"));
}

TEST(Translation, HeaderMustDeclareUtf8) {
    const std::pair<const char*, bool> cases[] = {
        {"Project-Id-Version: x\nContent-Type: text/plain; charset=UTF-8\n", true},
        {"Content-Type: text/plain; charset=utf-8\n", true},
        {"content-type: text/plain; CHARSET=Utf-8", true},
        {"Content-Type: text/plain; charset=ISO-8859-1\n", false},
        {"Content-Type: text/plain; charset=CHARSET\n", false},
        {"Project-Id-Version: charset=utf-8\n", false}, // only the Content-Type counts
        {"", false},
    };
    for (const auto& [header, utf8] : cases)
        EXPECT_EQ(translation::declaresUtf8(QString::fromLatin1(header)), utf8) << header;
}

TEST(Translation, BuiltCataloguesTranslateAndSwitchLanguages) {
    ScopedEnvironment env;
    env.set("LANGUAGE", qgetenv("LANGUAGE"));
    EXPECT_EQ(translation::availableLanguages(builtLocale),
              (QStringList{QStringLiteral("de"), QStringLiteral("en")}));

    translation::Outcome en = translation::setUp(builtLocale, QStringLiteral("en"));
    EXPECT_TRUE(en.active);
    EXPECT_TRUE(en.problem.isEmpty());
    EXPECT_EQ(en.catalogue, builtLocale + QStringLiteral("/en/LC_MESSAGES/default.mo"));
    EXPECT_EQ(translation::text("#Einheiten"), QStringLiteral("#Units"));
    EXPECT_EQ(translation::text("#Schriftgroesse im Menü"), QStringLiteral("#Font size in the menu"));
    EXPECT_EQ(translation::text("not in any catalogue"), QStringLiteral("not in any catalogue"));

    // Switching must not serve the cached English texts.
    translation::Outcome de = translation::setUp(builtLocale, QStringLiteral("de"));
    EXPECT_TRUE(de.active);
    EXPECT_EQ(translation::text("#Schriftgroesse im Menü"), QStringLiteral("#Schriftgroesse im Menü"));

    translation::turnOff();
    EXPECT_EQ(translation::text("#Einheiten"), QStringLiteral("#Einheiten"));
    EXPECT_TRUE(translation::setUp(builtLocale, QStringLiteral("en")).active);
    EXPECT_EQ(translation::text("#Einheiten"), QStringLiteral("#Units"));
}

TEST(Translation, CatalogueWithoutUtf8TurnsTranslationOff) {
    ScopedEnvironment env;
    env.set("LANGUAGE", qgetenv("LANGUAGE"));
    QTemporaryDir tmp;
    const QString locale = tmp.filePath(QStringLiteral("locale"));
    writeCatalogue(
        locale, QStringLiteral("fr"),
        moFile({{"", "Content-Type: text/plain; charset=ISO-8859-1\n"}, {"#Einheiten", "#Unites"}}));
    writeCatalogue(locale, QStringLiteral("it"),
                   moFile({{"", "Content-Type: text/plain; charset=UTF-8\n"}, {"#Einheiten", "#Unità"}}));

    // The sound catalogue works, so the refusal below is about the header alone.
    ASSERT_TRUE(translation::setUp(locale, QStringLiteral("it")).active);
    EXPECT_EQ(translation::text("#Einheiten"), QStringLiteral("#Unità"));

    const translation::Outcome fr = translation::setUp(locale, QStringLiteral("fr"));
    EXPECT_FALSE(fr.active);
    EXPECT_EQ(fr.problem, QStringLiteral("The translation for the language code fr (in ") + locale +
                              QStringLiteral("/fr/LC_MESSAGES/default.mo) does not have charset=utf-8 in its "
                                             "Content-Type. Translations are turned off."));
    EXPECT_EQ(translation::text("#Einheiten"), QStringLiteral("#Einheiten"));
}

TEST(Translation, MissingCatalogueLeavesTextsAsTheyAreWithoutAMessage) {
    ScopedEnvironment env;
    env.set("LANGUAGE", qgetenv("LANGUAGE"));
    QTemporaryDir tmp;
    const translation::Outcome outcome =
        translation::setUp(tmp.filePath(QStringLiteral("locale")), QStringLiteral("en"));
    EXPECT_FALSE(outcome.active);
    EXPECT_TRUE(outcome.problem.isEmpty());
    EXPECT_EQ(translation::text("#Einheiten"), QStringLiteral("#Einheiten"));
}
