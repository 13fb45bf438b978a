#include "file_size_limit.h"
#include "text_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

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
    // Text with breaks: each line by its own rule, the CR LF kept.
    EXPECT_EQ(textfile::encodeText(QStringLiteral("\r\nBericht über ✓\r\nSOLL für Ärger")),
              "\r\n" + QStringLiteral("Bericht über ✓").toUtf8() + "\r\nSOLL f\xFCr \xC4rger");
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
