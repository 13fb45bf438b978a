// The command-line export of the built program, on a prepared data folder, byte for byte.
#include "case_table.h"
#include "qt_print.h"
#include "special_files.h"
#include "temp_data_folder.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>

namespace {

using namespace Qt::StringLiterals;

QString dataFile(const char* name) {
    return QStringLiteral(BILANZBLICK_TEST_DATA "/") + QString::fromLatin1(name);
}

struct CliRun {
    int status = -1;
    QByteArray out, err;
};

// outFile: where standard output goes instead of being read.
CliRun run(const QString& dataFolder, const QStringList& arguments, const QString& fakeTime = {},
           const QString& outFile = {}) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"TAKTPLAN_DATA_DIR"_s, dataFolder);
    env.remove(u"TAKTPLAN_FAKE_TIME"_s);
    // Freed memory goes back at once, so that the peak a run reaches is what it really holds.
    const QString sanitizer = env.value(u"ASAN_OPTIONS"_s);
    env.insert(u"ASAN_OPTIONS"_s,
               sanitizer + (sanitizer.isEmpty() ? u""_s : u":"_s) + u"quarantine_size_mb=0"_s);
    if (!fakeTime.isEmpty())
        env.insert(u"TAKTPLAN_FAKE_TIME"_s, fakeTime);
    p.setProcessEnvironment(env);
    if (!outFile.isEmpty())
        p.setStandardOutputFile(outFile);
    p.start(QStringLiteral(BILANZBLICK_PROGRAM), arguments);
    EXPECT_TRUE(p.waitForFinished(20000));
    // The messages are text: Windows ends their lines with CR LF.
    return CliRun{p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
                  p.readAllStandardError().replace("\r\n", "\n")};
}

QStringList exportArgs(const char* format, const char* from = "2025-11-27", const char* to = "2025-12-03") {
    return QString::asprintf("--export days --format %s --from %s --to %s", format, from, to).split(u' ');
}

class ExportCliTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"Settings.ini", "Dezuzedu.log"})
            folder.write(QString::fromLatin1(name), readBytes(dataFile(name)));
    }
    TempDataFolder folder;
};

} // namespace

TEST_F(ExportCliTest, DaysAsCsvAndJson) {
    for (const char* format : {"csv", "json"}) {
        SCOPED_TRACE(format);
        const QByteArray logBefore = folder.read(u"Dezuzedu.log"_s);
        const CliRun r = run(folder.path(), exportArgs(format));
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.err, QByteArray("bilanzblick: 1 lines of the activity log skipped (unreadable)\n"));
        EXPECT_EQ(r.out, readBytes(dataFile("export_days.") + QString::fromLatin1(format)));
        EXPECT_EQ(folder.read(u"Dezuzedu.log"_s), logBefore);
    }
}

TEST_F(ExportCliTest, LogOptionAndRunningLastLine) {
    // On the 2nd the open last line may still be running: not failed that day.
    const CliRun today =
        run(folder.path(), exportArgs("csv", "2025-12-02", "2025-12-02"), u"2025-12-02T09:00:00"_s);
    EXPECT_TRUE(today.out.endsWith("replans\n2025-12-02,Di,0,0,0,,0\n")) << today.out.toStdString();
    // --log wins over the data folder; an old unit line counts with the settings' unit length.
    TempDataFolder other;
    other.write(u"Settings.ini"_s, QByteArray("StandardDauerEinheit=45\r\n"));
    const QStringList oneDay = exportArgs("csv", "2025-11-29", "2025-11-29");
    const QStringList ownLog = oneDay + QStringList{u"--log"_s, folder.filePath(u"Dezuzedu.log"_s)};
    const CliRun moved = run(other.path(), ownLog);
    EXPECT_EQ(moved.status, 0);
    EXPECT_TRUE(moved.out.endsWith("replans\n2025-11-29,Sa,1,45,1,,0\n")) << moved.out.toStdString();
    // Without a data folder the defaults stand, and no folder is created.
    const QString absent = other.filePath(u"nicht-da"_s);
    EXPECT_TRUE(run(absent, ownLog).out.endsWith("replans\n2025-11-29,Sa,1,25,1,,0\n"));
    EXPECT_FALSE(QFileInfo::exists(absent));
    // A log path in the settings that leads to a pipe is passed over for the log in the data
    // folder, as the program itself does.
    const QStringList special = makeSpecialFiles(other.path());
    if (special.isEmpty())
        GTEST_SKIP() << "no named pipes in a folder on this system";
    other.write(u"Settings.ini"_s, "LogDateiPfad=" + QFile::encodeName(special.first()) + "\r\n");
    other.write(u"Dezuzedu.log"_s, folder.read(u"Dezuzedu.log"_s));
    const CliRun piped = run(other.path(), oneDay);
    EXPECT_EQ(piped.status, 0) << piped.err.toStdString();
    EXPECT_TRUE(piped.out.endsWith("replans\n2025-11-29,Sa,1,25,1,,0\n"));
}

TEST_F(ExportCliTest, AnEndlessLineIsSkippedWithoutBeingHeld) {
    // 64 MiB without a line break (a sparse file: no disk space taken).
    const QString log = folder.filePath(u"endlos.log"_s);
    QFile file(log);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.resize(qint64(64) << 20));
    file.close();
    const CliRun r = run(folder.path(), exportArgs("csv") + QStringList{u"--log"_s, log});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, QByteArray("bilanzblick: 1 lines of the activity log skipped (unreadable)\n"));
    const std::optional<long> peak = childrenPeakKiB();
    if (!peak)
        GTEST_SKIP() << "no peak memory of ended child processes on this system";
    EXPECT_LT(*peak, 96 * 1024) << "KiB at the peak";
}

TEST_F(ExportCliTest, FullOutputIsAFailure) {
    const CliRun r = run(folder.path(), exportArgs("json"), {}, u"/dev/full"_s);
    EXPECT_EQ(std::pair(r.status, r.err.count('\n')), std::pair(2, qsizetype(1)));
}

TEST_F(ExportCliTest, BadArgumentsAndUnreadableLog) {
    for (const CaseRow& row : caseTable(dataFile("export_cli.txt"))) {
        SCOPED_TRACE(row.where.toStdString());
        const CliRun r = run(folder.path(), row[0].replace(u"@DATA@"_s, folder.path()).split(u' '));
        EXPECT_EQ(std::tuple(r.status, r.out, r.err.count('\n'), r.err.endsWith('\n')),
                  std::tuple(2, QByteArray(), qsizetype(1), true))
            << r.err.toStdString();
    }
}
