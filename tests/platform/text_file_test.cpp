#include "text_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

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
    struct Case {
        QString text;
        QByteArray bytes;
    };
    const Case cases[] = {
        {QStringLiteral("Klavier üben"), QByteArray("Klavier \xFC" "ben")},
        {QStringLiteral("Höhe=285"), QByteArray("H\xF6he=285")},
        {QStringLiteral("ÄÖÜßäöü"), QByteArray("\xC4\xD6\xDC\xDF\xE4\xF6\xFC")},
        // The 0x80-0x9F block differs from Latin-1.
        {QStringLiteral("€ – „x“ …"), QByteArray("\x80 \x96 \x84x\x93 \x85")},
        {QStringLiteral("plain"), QByteArray("plain")},
        // Characters outside Windows-1252 make the whole line UTF-8 rather than '?'.
        {QStringLiteral("Übung 日本 ✓"), QStringLiteral("Übung 日本 ✓").toUtf8()},
        {QStringLiteral("Łódź"), QStringLiteral("Łódź").toUtf8()},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(textfile::encodeLine(c.text), c.bytes) << c.text.toStdString();
        EXPECT_EQ(textfile::decodeLine(c.bytes), c.text) << c.text.toStdString();
    }
}

TEST(TextFileEncoding, EveryByteReadsBackAsItself) {
    QByteArray all;
    for (int b = 1; b < 256; ++b) {
        if (b != '\r' && b != '\n')
            all.append(static_cast<char>(b));
    }
    const QString decoded = textfile::decodeLine(all);
    EXPECT_EQ(decoded.size(), all.size());
    EXPECT_EQ(textfile::encodeLine(decoded), all);
}

TEST(TextFileEncoding, Utf8DetectionIsPerLine) {
    // One line in UTF-8 (written that way because of a character outside the code page), the
    // next in Windows-1252: each is read by its own rule.
    const QByteArray bytes = QStringLiteral("Ärger ✓").toUtf8() + "\r\n" + QByteArray("\xC4rger") + "\r\n";
    const QStringList lines = textfile::splitLines(bytes);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], QStringLiteral("Ärger ✓"));
    EXPECT_EQ(lines[1], QStringLiteral("Ärger"));
}

TEST(TextFileEncoding, SplitLinesHandlesBreaksLikeTheOtherReaders) {
    struct Case {
        QByteArray bytes;
        QStringList lines;
    };
    const Case cases[] = {
        {"", {}},
        {"a", {QStringLiteral("a")}},
        {"a\r\n", {QStringLiteral("a")}},
        {"a\r\nb", {QStringLiteral("a"), QStringLiteral("b")}},
        {"\r\na", {QString(), QStringLiteral("a")}},
        {"a\nb\rc", {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}},
        {"a\r\n\r\nb\r\n", {QStringLiteral("a"), QString(), QStringLiteral("b")}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(textfile::splitLines(c.bytes), c.lines) << c.bytes.toStdString();
}

TEST(TextFileEncoding, EncodeTextKeepsCrLfAndEncodesEachLine) {
    const QString text = QStringLiteral("\r\nFr, 05.12.2025 09:00|25 Bericht über ✓\r\nSOLL für Ärger");
    const QByteArray expected = QByteArray("\r\n") + QStringLiteral("Fr, 05.12.2025 09:00|25 Bericht über ✓").toUtf8() +
                                "\r\nSOLL f\xFCr \xC4rger";
    EXPECT_EQ(textfile::encodeText(text), expected);
}

class TextFileOnDisk : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const QString& name) const { return QDir(dir.path()).filePath(name); }
};

TEST_F(TextFileOnDisk, WriteLinesEndsEveryLineWithCrLf) {
    const QString file = path(QStringLiteral("plan.log"));
    ASSERT_TRUE(textfile::writeLines(file, {QStringLiteral("Klavier üben///25"), QStringLiteral("Pause: 15")}));
    EXPECT_EQ(readAll(file), QByteArray("Klavier \xFC" "ben///25\r\nPause: 15\r\n"));

    const auto back = textfile::readLines(file);
    ASSERT_TRUE(back.ok);
    EXPECT_EQ(back.lines, QStringList({QStringLiteral("Klavier üben///25"), QStringLiteral("Pause: 15")}));
}

TEST_F(TextFileOnDisk, TitleOutsideTheCodePageSurvivesWriteAndRead) {
    const QString file = path(QStringLiteral("plan.log"));
    const QStringList lines = {QStringLiteral("日本語 lernen///25"), QStringLiteral("Grüße///25")};
    ASSERT_TRUE(textfile::writeLines(file, lines));
    const auto back = textfile::readLines(file);
    ASSERT_TRUE(back.ok);
    EXPECT_EQ(back.lines, lines);
}

TEST_F(TextFileOnDisk, AppendNeverTruncatesAndAddsNoBreak) {
    const QString file = path(QStringLiteral("Dezuzedu.log"));
    ASSERT_TRUE(textfile::appendText(file, QStringLiteral("\r\nFr, 05.12.2025 09:00|25 Bericht")));
    ASSERT_TRUE(textfile::appendText(file, QStringLiteral(" [x]")));
    ASSERT_TRUE(textfile::appendText(file, QStringLiteral("\r\nFr, 05.12.2025 SOLL: 8")));
    EXPECT_EQ(readAll(file), QByteArray("\r\nFr, 05.12.2025 09:00|25 Bericht [x]\r\nFr, 05.12.2025 SOLL: 8"));
}

TEST_F(TextFileOnDisk, ReadOfMissingFileFailsWithAMessage) {
    const auto result = textfile::readLines(path(QStringLiteral("missing.log")));
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.error.isEmpty());
    EXPECT_TRUE(result.lines.isEmpty());
}

TEST_F(TextFileOnDisk, WriteFailingMidwayLeavesThePreviousFileWhole) {
    // A file size limit makes the write fail after the first bytes, as a full disk would.
    const QString file = path(QStringLiteral("worklist.log"));
    ASSERT_TRUE(textfile::writeLines(file, {QStringLiteral("Bericht///25"), QStringLiteral("Pause: 15")}));

    QStringList big;
    for (int i = 0; i < 2000; ++i)
        big.append(QStringLiteral("Eine recht lange Zeile Nummer %1///25").arg(i));

    struct rlimit old {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    QString error;
    const bool written = textfile::writeLines(file, big, &error);
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(written);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(readAll(file), QByteArray("Bericht///25\r\nPause: 15\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({QStringLiteral("worklist.log")}));
}

TEST_F(TextFileOnDisk, ReplaceIntoUnwritableFolderKeepsOldFile) {
    // A folder that cannot take the temporary file: the replace must fail and leave the old
    // file as it was. A regular file standing where the folder should be works for root too.
    const QString blocker = path(QStringLiteral("notafolder"));
    writeRaw(blocker, "x");
    QString error;
    EXPECT_FALSE(textfile::writeLines(blocker + QStringLiteral("/worklist.log"), {QStringLiteral("a")}, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(readAll(blocker), QByteArray("x"));
}

TEST_F(TextFileOnDisk, InterruptedReplaceLeavesOldContent) {
    // Simulate a crash in the middle of a replace: a leftover temporary file beside the target
    // must neither change the target nor block the next replace.
    const QString file = path(QStringLiteral("Settings.ini"));
    ASSERT_TRUE(textfile::writeLines(file, {QStringLiteral("old=1")}));
    writeRaw(file + QStringLiteral(".tmp"), "half writ");

    // A replace that cannot finish (the target is a folder now standing in the way of rename)
    const QString folderTarget = path(QStringLiteral("busy"));
    ASSERT_TRUE(QDir().mkpath(folderTarget));
    EXPECT_FALSE(textfile::writeLines(folderTarget, {QStringLiteral("new=2")}));
    EXPECT_TRUE(QFileInfo(folderTarget).isDir());

    EXPECT_EQ(readAll(file), QByteArray("old=1\r\n"));
    ASSERT_TRUE(textfile::writeLines(file, {QStringLiteral("new=2")}));
    EXPECT_EQ(readAll(file), QByteArray("new=2\r\n"));
}

TEST_F(TextFileOnDisk, AppendToUnwritablePlaceReportsFailure) {
    const QString blocker = path(QStringLiteral("file"));
    writeRaw(blocker, "x");
    QString error;
    EXPECT_FALSE(textfile::appendText(blocker + QStringLiteral("/log.txt"), QStringLiteral("a"), &error));
    EXPECT_FALSE(error.isEmpty());
}
