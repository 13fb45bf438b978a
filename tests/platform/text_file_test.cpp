// Failed replaces, folders that refuse new files and appends are met through their users: the
// plan file (plan_file_test), the settings file and the activity log (records tests).
#include "temp_data_folder.h"
#include "text_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;

TEST(TextFile, EveryByteOfTheCodePageAndEveryBreakReadsBack) {
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
    EXPECT_EQ(textfile::encodeText(u"\r\nBericht über ✓\r\nMaß²\nÄ\rÖ"_s),
              "\r\n" + u"Bericht über ✓"_s.toUtf8() + "\r\nMa\xC3\x9F\xC2\xB2\n\xC4\r\xD6");

    const std::pair<QByteArray, QStringList> cases[] = {
        {"", {}},
        {"a\nb\rc\r\n\r\nd\r\n", {u"a"_s, u"b"_s, u"c"_s, QString(), u"d"_s}},
        // One line in UTF-8, the next in Windows-1252.
        {u"Ärger ✓"_s.toUtf8() + "\r\n\xC4rger", {u"Ärger ✓"_s, u"Ärger"_s}},
        // A byte-order mark opening the file is no part of the first line, whatever follows.
        {"\xEF\xBB\xBF\xC4rger\n\xEF\xBB\xBF"
         "b",
         {u"Ärger"_s, QChar(0xFEFF) + u"b"_s}},
    };
    for (const auto& [bytes, lines] : cases)
        EXPECT_EQ(textfile::splitLines(bytes), lines) << bytes.toStdString();
}

TEST(TextFile, EveryLineReadsBackExactly) {
    const struct {
        QString line;
        QByteArray bytes; // the file holding just this line
    } cases[] = {
        // The 0x80-0x9F block differs from Latin-1.
        {u"ÄÖÜß € – „x“ …"_s, "\xC4\xD6\xDC\xDF \x80 \x96 \x84x\x93 \x85"},
        // A character outside Windows-1252 makes the whole line UTF-8 rather than '?'.
        {u"Übung 日本 ✓"_s, u"Übung 日本 ✓"_s.toUtf8()},
        // Windows-1252 bytes that are valid UTF-8 as well go out in UTF-8.
        {u"Maß²"_s, "Ma\xC3\x9F\xC2\xB2"},
        {u"Gruß…"_s, "Gru\xC3\x9F\xE2\x80\xA6"},
        {u"Ã¤"_s, "\xC3\x83\xC2\xA4"},
        // Byte-order mark look-alikes at the start of the file.
        {u"ï»¿Maß"_s, "\xEF\xBB\xBF\xEF\xBB\xBFMa\xDF"},
        {u"ï»¿abc"_s, "\xC3\xAF\xC2\xBB\xC2\xBF"
                      "abc"},
        {QChar(0xFEFF) + u"abc"_s, "\xEF\xBB\xBF\xEF\xBB\xBF"
                                   "abc"},
    };
    QTemporaryDir dir;
    const QString alone = dir.filePath(u"allein.txt"_s), later = dir.filePath(u"zweite.txt"_s),
                  log = dir.filePath(u"log.txt"_s);
    for (const auto& c : cases) {
        const std::string name = c.line.toHtmlEscaped().toStdString();
        ASSERT_TRUE(textfile::writeLines(alone, {c.line}));
        EXPECT_EQ(readBytes(alone), c.bytes + "\r\n") << name;
        EXPECT_EQ(textfile::readLines(alone).lines, QStringList({c.line})) << name;
        ASSERT_TRUE(textfile::writeLines(later, {u"x"_s, c.line}));
        EXPECT_EQ(textfile::readLines(later).lines, QStringList({u"x"_s, c.line})) << name;
        // A backup: the bytes as they are replace what was there.
        ASSERT_TRUE(textfile::replaceWithCopy(later, alone));
        EXPECT_EQ(readBytes(alone), readBytes(later)) << name;
        // The activity log: a new file begun by an append, then a line added the same way.
        QFile::remove(log);
        ASSERT_TRUE(textfile::appendText(log, c.line));
        ASSERT_TRUE(textfile::appendText(log, u"\r\n"_s + c.line));
        EXPECT_EQ(textfile::readLines(log).lines, QStringList({c.line, c.line})) << name;
    }
    const auto missing = textfile::readLines(dir.filePath(u"missing.log"_s));
    EXPECT_FALSE(missing.ok || missing.error.isEmpty());
    // Nothing to copy: the file there stays.
    EXPECT_FALSE(textfile::replaceWithCopy(dir.filePath(u"missing.log"_s), later));
    EXPECT_EQ(readBytes(later), readBytes(alone));
}

} // namespace
