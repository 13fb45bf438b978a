#include "file_size_limit.h"
#include "text_file.h"
#include "unprivileged_child.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void writeRaw(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

TEST(TextFileEncoding, LinesMapToWindows1252OrUtf8) {
    const std::pair<QString, QByteArray> cases[] = {
        {QStringLiteral("ÄÖÜßäöü"), QByteArray("\xC4\xD6\xDC\xDF\xE4\xF6\xFC")},
        // The 0x80-0x9F block differs from Latin-1.
        {QStringLiteral("€ – „x“ …"), QByteArray("\x80 \x96 \x84x\x93 \x85")},
        // A character outside Windows-1252 makes the whole line UTF-8 rather than '?'.
        {QStringLiteral("Übung 日本 ✓"), QStringLiteral("Übung 日本 ✓").toUtf8()},
    };
    for (const auto& [text, bytes] : cases) {
        EXPECT_EQ(textfile::encodeLine(text), bytes) << text.toStdString();
        EXPECT_EQ(textfile::decodeLine(bytes), text) << text.toStdString();
    }
    // Every byte, the holes of the code page included, reads back as itself.
    QByteArray all;
    for (int b = 1; b < 256; ++b) {
        if (b != '\r' && b != '\n')
            all.append(static_cast<char>(b));
    }
    const QString decoded = textfile::decodeLine(all);
    EXPECT_EQ(decoded.size(), all.size());
    EXPECT_EQ(textfile::encodeLine(decoded), all);
    // Text with breaks: each line by its own rule, the breaks kept. A lone LF ends a line for
    // the reader, so "Maß²" alone decides its encoding.
    const std::pair<QString, QByteArray> texts[] = {
        {u"\r\nBericht über ✓\r\nSOLL für Ärger"_s,
         "\r\n" + u"Bericht über ✓"_s.toUtf8() + "\r\nSOLL f\xFCr \xC4rger"},
        {u"Maß²\nÄ\rÖ"_s, "Ma\xC3\x9F\xC2\xB2\n\xC4\r\xD6"},
    };
    for (const auto& [text, bytes] : texts)
        EXPECT_EQ(textfile::encodeText(text), bytes) << text.toStdString();
}

TEST(TextFileEncoding, OneLineTurnsEveryBreakIntoABlank) {
    const std::pair<QString, QString> cases[] = {
        {u"a\r\nb"_s, u"a  b"_s},
        {u"\nTitel\rmit\nUmbruch\r"_s, u" Titel mit Umbruch "_s},
        {u"ohne Umbruch ✓"_s, u"ohne Umbruch ✓"_s},
    };
    for (const auto& [text, flat] : cases) {
        EXPECT_EQ(textfile::oneLine(text), flat);
        EXPECT_EQ(textfile::splitLines(textfile::encodeText(textfile::oneLine(text))).size(), 1);
    }
}

TEST(TextFileEncoding, SplitLinesHandlesEveryBreakAndDecodesPerLine) {
    const QString a = QStringLiteral("a"), b = QStringLiteral("b");
    const std::pair<QByteArray, QStringList> cases[] = {
        {"", {}},
        {"\r\na", {QString(), a}},
        {"a\nb\rc", {a, b, QStringLiteral("c")}},
        {"a\r\n\r\nb\r\n", {a, QString(), b}},
        // One line in UTF-8, the next in Windows-1252.
        {QStringLiteral("Ärger ✓").toUtf8() + "\r\n\xC4rger\r\n",
         {QStringLiteral("Ärger ✓"), QStringLiteral("Ärger")}},
        // A byte-order mark opening the file is no part of the first line, whatever follows.
        {"\xEF\xBB\xBF"
         "a\r\nb",
         {a, b}},
        {"\xEF\xBB\xBF\xC4rger", {QStringLiteral("Ärger")}},
        {"a\n\xEF\xBB\xBF"
         "b",
         {a, QChar(0xFEFF) + b}},
    };
    for (const auto& [bytes, lines] : cases)
        EXPECT_EQ(textfile::splitLines(bytes), lines) << bytes.toStdString();
}

class TextFileOnDisk : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const QString& name) const { return QDir(dir.path()).filePath(name); }
};

TEST_F(TextFileOnDisk, WriteLinesIsByteExactAndReadsBack) {
    const QString file = path(QStringLiteral("plan.log"));
    const QStringList lines = {QStringLiteral("Klavier üben///25"), QStringLiteral("日本語 lernen///25"),
                               QStringLiteral("Pause: 15")};
    ASSERT_TRUE(textfile::writeLines(file, lines));
    EXPECT_EQ(readAll(file), "Klavier \xFC"
                             "ben///25\r\n" +
                                 QStringLiteral("日本語 lernen///25").toUtf8() + "\r\nPause: 15\r\n");
    const auto back = textfile::readLines(file);
    ASSERT_TRUE(back.ok);
    EXPECT_EQ(back.lines, lines);

    const auto missing = textfile::readLines(path(QStringLiteral("missing.log")));
    EXPECT_FALSE(missing.ok);
    EXPECT_FALSE(missing.error.isEmpty());
}

TEST_F(TextFileOnDisk, EveryLineReadsBackExactly) {
    const struct {
        QString line;
        QByteArray bytes; // the file holding just this line
    } cases[] = {
        // Windows-1252 bytes that are valid UTF-8 as well go out in UTF-8.
        {u"Maß²"_s, "Ma\xC3\x9F\xC2\xB2"},
        {u"Gruß…"_s, "Gru\xC3\x9F\xE2\x80\xA6"},
        {u"Ã¤"_s, "\xC3\x83\xC2\xA4"},
        {u"â€¦"_s, "\xC3\xA2\xE2\x82\xAC\xC2\xA6"},
        // Everything else stays in the code page.
        {u"Maß"_s, "Ma\xDF"},
        {u"Grüße €"_s, "Gr\xFC\xDF"
                       "e \x80"},
        {u"日本 ✓"_s, u"日本 ✓"_s.toUtf8()},
        // Byte-order mark look-alikes at the start of the file.
        {u"ï»¿Maß"_s, "\xEF\xBB\xBF\xEF\xBB\xBFMa\xDF"},
        {u"ï»¿abc"_s, "\xC3\xAF\xC2\xBB\xC2\xBF"
                      "abc"},
        {QChar(0xFEFF) + u"abc"_s, "\xEF\xBB\xBF\xEF\xBB\xBF"
                                   "abc"},
    };
    for (const auto& c : cases) {
        const QString name = c.line.toHtmlEscaped();
        const QString alone = path(u"allein.txt"_s);
        ASSERT_TRUE(textfile::writeLines(alone, {c.line}));
        EXPECT_EQ(readAll(alone), c.bytes + "\r\n") << name.toStdString();
        EXPECT_EQ(textfile::readLines(alone).lines, QStringList({c.line})) << name.toStdString();

        const QString later = path(u"zweite.txt"_s);
        ASSERT_TRUE(textfile::writeLines(later, {u"x"_s, c.line}));
        EXPECT_EQ(textfile::readLines(later).lines, QStringList({u"x"_s, c.line})) << name.toStdString();

        // The activity log: a new file begun by an append, then a line added the same way.
        const QString log = path(u"log.txt"_s);
        QFile::remove(log);
        ASSERT_TRUE(textfile::appendText(log, c.line));
        ASSERT_TRUE(textfile::appendText(log, u"\r\n"_s + c.line));
        EXPECT_EQ(textfile::readLines(log).lines, QStringList({c.line, c.line})) << name.toStdString();
    }
}

TEST_F(TextFileOnDisk, FolderThatRefusesNewFilesFailsWithoutTouchingTheFile) {
    // Someone without root rights may write the file but, in the first case, create nothing
    // beside it; the second case shows the failure is the folder's.
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                      QFile::ReadOther | QFile::ExeOther));
    const struct {
        QFile::Permissions folderMode;
        int expected; // 1: written, 2: folderRefusesNewFiles, 4: a reason was given
        QByteArray after;
    } cases[] = {
        {QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther, 2 | 4, "alt\r\n"},
        {QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther | QFile::WriteOther |
             QFile::ExeOther,
         1, "neu\r\n"},
    };
    int n = 0;
    for (const auto& c : cases) {
        const QString folder = path(u"geteilt%1"_s.arg(++n));
        ASSERT_TRUE(QDir().mkdir(folder));
        const QString file = folder + u"/plan.txt"_s;
        writeRaw(file, "alt\r\n");
        ASSERT_TRUE(QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther |
                                                    QFile::WriteOther));
        ASSERT_TRUE(QFile::setPermissions(folder, c.folderMode));
        QByteArray why;
        const int result = runUnprivileged(
            [&] {
                textfile::WriteError error;
                const bool written = textfile::writeLines(file, {u"neu"_s}, &error);
                return (written ? 1 : 0) | (error.folderRefusesNewFiles ? 2 : 0) |
                       (error.text.isEmpty() ? 0 : 4);
            },
            &why);
        if (result < 0)
            GTEST_SKIP() << "Cannot test a folder that refuses new files: " << why.constData();
        EXPECT_EQ(result, c.expected) << n;
        EXPECT_EQ(readAll(file), c.after) << n;
        EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList({u"plan.txt"_s})) << n;
    }
}

TEST_F(TextFileOnDisk, AppendNeverTruncatesAndAddsNoBreak) {
    const QString file = path(QStringLiteral("Dezuzedu.log"));
    writeRaw(file, "\r\nDo, 04.12.2025 SOLL: 8");
    ASSERT_TRUE(textfile::appendText(file, QStringLiteral("\r\nFr, 05.12.2025 09:00|25 Bericht")));
    ASSERT_TRUE(textfile::appendText(file, QStringLiteral(" [x]")));
    EXPECT_EQ(readAll(file), "\r\nDo, 04.12.2025 SOLL: 8\r\nFr, 05.12.2025 09:00|25 Bericht [x]");

    QString error;
    EXPECT_FALSE(textfile::appendText(file + QStringLiteral("/log.txt"), QStringLiteral("a"), &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(TextFileOnDisk, FailedReplaceLeavesThePreviousFileWhole) {
    const QString file = path(QStringLiteral("worklist.log"));
    ASSERT_TRUE(textfile::writeLines(file, {QStringLiteral("Bericht///25")}));
    // A file size limit makes the write fail after the first bytes, as a full disk would.
    QStringList big;
    for (int i = 0; i < 2000; ++i)
        big.append(QStringLiteral("Eine recht lange Zeile Nummer %1///25").arg(i));
    QString error;
    bool written = true;
    {
        const FileSizeLimit limit(4096);
        written = textfile::writeLines(file, big, &error);
    }

    EXPECT_FALSE(written);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(readAll(file), QByteArray("Bericht///25\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({QStringLiteral("worklist.log")}));
}
