// Failed replaces, folders that refuse new files and appends are met through their users: the
// plan file (plan_file_test), the settings file and the activity log (records tests).
#include "case_table.h"
#include "temp_data_folder.h"
#include "text_file.h"

#include <QFile>
#include <QStringDecoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;

const QString cases = QStringLiteral(PLATFORM_TEST_DATA "/platform.txt");

// The tables write bytes percent-encoded.
QByteArray bytes(const QString& field) {
    return QByteArray::fromPercentEncoding(field.toUtf8());
}
// A line written so, a byte-order mark at its start kept.
QString text(const QString& field) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return utf8(bytes(field));
}

TEST(TextFile, EveryByteOfTheCodePageAndEveryBreakReadsBack) {
    // Every byte, the holes of the code page included, reads back as itself.
    QByteArray all;
    for (int b = 1; b < 256; ++b)
        if (b != '\r' && b != '\n')
            all.append(static_cast<char>(b));
    const QString decoded = textfile::decodeLine(all);
    EXPECT_EQ(decoded.size(), all.size());
    EXPECT_EQ(textfile::encodeLine(decoded), all);
    // Text with breaks: each line by its own rule, the breaks kept. A lone LF ends a line for
    // the reader, so "Maß²" alone decides its encoding.
    EXPECT_EQ(textfile::encodeText(u"\r\nBericht über ✓\r\nMaß²\nÄ\rÖ"_s),
              "\r\n" + u"Bericht über ✓"_s.toUtf8() + "\r\nMa\xC3\x9F\xC2\xB2\n\xC4\r\xD6");

    for (const CaseRow& row : caseTable(cases, u"split lines"_s)) {
        QStringList lines;
        for (const QString& line : row.fields.mid(1))
            lines << text(line);
        EXPECT_EQ(textfile::splitLines(bytes(row[0])), lines) << row.where.toStdString();
    }
}

TEST(TextFile, EveryLineReadsBackExactly) {
    QTemporaryDir dir;
    const QString alone = dir.filePath(u"allein.txt"_s), later = dir.filePath(u"zweite.txt"_s),
                  log = dir.filePath(u"log.txt"_s);
    for (const CaseRow& row : caseTable(cases, u"line bytes"_s)) {
        SCOPED_TRACE(row.where.toStdString());
        const QString line = text(row[0]);
        ASSERT_TRUE(textfile::writeLines(alone, {line}));
        EXPECT_EQ(readBytes(alone), bytes(row[1]) + "\r\n");
        EXPECT_EQ(textfile::readLines(alone).lines, QStringList({line}));
        ASSERT_TRUE(textfile::writeLines(later, {u"x"_s, line}));
        EXPECT_EQ(textfile::readLines(later).lines, QStringList({u"x"_s, line}));
        // A backup: the bytes as they are replace what was there.
        ASSERT_TRUE(textfile::replaceWithCopy(later, alone));
        EXPECT_EQ(readBytes(alone), readBytes(later));
        // The activity log: a new file begun by an append, then a line added the same way.
        QFile::remove(log);
        ASSERT_TRUE(textfile::appendText(log, line));
        ASSERT_TRUE(textfile::appendText(log, u"\r\n"_s + line));
        EXPECT_EQ(textfile::readLines(log).lines, QStringList({line, line}));
    }
    const auto missing = textfile::readLines(dir.filePath(u"missing.log"_s));
    EXPECT_FALSE(missing.ok || missing.error.isEmpty());
    // Nothing to copy: the file there stays.
    EXPECT_FALSE(textfile::replaceWithCopy(dir.filePath(u"missing.log"_s), later));
    EXPECT_EQ(readBytes(later), readBytes(alone));
}

} // namespace
