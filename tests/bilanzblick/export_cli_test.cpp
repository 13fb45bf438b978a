// The command-line export of the built program, on a prepared data folder, byte for byte.
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

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString dataFile(const char* name) {
    return QStringLiteral(BILANZBLICK_TEST_DATA "/") + QString::fromLatin1(name);
}

struct CliRun {
    int status = -1;
    QByteArray out;
    QByteArray err;
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
    return {u"--export"_s, u"days"_s,
            u"--format"_s, QString::fromLatin1(format),
            u"--from"_s,   QString::fromLatin1(from),
            u"--to"_s,     QString::fromLatin1(to)};
}

class ExportCliTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder.write(u"Settings.ini"_s, fileBytes(dataFile("Settings.ini")));
        folder.write(u"Dezuzedu.log"_s, fileBytes(dataFile("Dezuzedu.log")));
    }
    TempDataFolder folder;
};

} // namespace

TEST_F(ExportCliTest, FormatsOptionsAndRefusals) {
    // A second data folder: an old unit line counts with its settings' unit length.
    TempDataFolder other;
    other.write(u"Settings.ini"_s, QByteArray("StandardDauerEinheit=45\r\n"));
    const QString absent = other.filePath(u"nicht-da"_s);
    const QStringList ownLog = {u"--log"_s, folder.filePath(u"Dezuzedu.log"_s)};
    const QByteArray header = "date,weekday,units_done,minutes_done,units_failed,target,replans\n";
    const QByteArray skipped = "bilanzblick: 1 lines of the activity log skipped (unreadable)\n";
    const QByteArray badLine = "\n"; // the one line of a refusal, whatever it says
    struct Case {
        QStringList args;
        QString dataFolder, fakeTime, outFile;
        int status;
        QByteArray out, err;
    };
    const Case cases[] = {
        {exportArgs("csv"), folder.path(), {}, {}, 0, fileBytes(dataFile("export_days.csv")), skipped},
        {exportArgs("json"), folder.path(), {}, {}, 0, fileBytes(dataFile("export_days.json")), skipped},
        // On the 2nd the open last line may still be running: not failed that day.
        {exportArgs("csv", "2025-12-02", "2025-12-02"),
         folder.path(),
         u"2025-12-02T09:00:00"_s,
         {},
         0,
         header + "2025-12-02,Di,0,0,0,,0\n",
         skipped},
        // --log wins over the data folder.
        {exportArgs("csv", "2025-11-29", "2025-11-29") + ownLog,
         other.path(),
         {},
         {},
         0,
         header + "2025-11-29,Sa,1,45,1,,0\n",
         skipped},
        // Without a data folder the defaults stand, and no folder is created.
        {exportArgs("csv", "2025-11-29", "2025-11-29") + ownLog,
         absent,
         {},
         {},
         0,
         header + "2025-11-29,Sa,1,25,1,,0\n",
         skipped},
        {exportArgs("json"), folder.path(), {}, u"/dev/full"_s, 2, {}, badLine},
        {exportArgs("xml"), folder.path(), {}, {}, 2, {}, badLine},
        {exportArgs("csv", "2025-12-03", "2025-12-01"), folder.path(), {}, {}, 2, {}, badLine},
        {exportArgs("csv", "2025-12-1"), folder.path(), {}, {}, 2, {}, badLine},
        {exportArgs("csv", "2025-02-30"), folder.path(), {}, {}, 2, {}, badLine},
        {{u"--export"_s, u"weeks"_s, u"--format"_s, u"csv"_s}, folder.path(), {}, {}, 2, {}, badLine},
        {exportArgs("csv").mid(0, 6), folder.path(), {}, {}, 2, {}, badLine},
        {exportArgs("csv") + QStringList{u"--bunt"_s}, folder.path(), {}, {}, 2, {}, badLine},
        {exportArgs("csv") + QStringList{u"--log"_s}, folder.path(), {}, {}, 2, {}, badLine},
        {exportArgs("csv") + QStringList{u"--to"_s, u"2025-12-31"_s}, folder.path(), {}, {}, 2, {}, badLine},
        {exportArgs("csv") + QStringList{u"--log"_s, u"/nonexistent/Dezuzedu.log"_s},
         folder.path(),
         {},
         {},
         2,
         {},
         badLine},
        {exportArgs("csv") + QStringList{u"--log"_s, folder.path()}, folder.path(), {}, {}, 2, {}, badLine},
        // A device never ends: it is refused, not read until memory runs out.
        {exportArgs("csv") + QStringList{u"--log"_s, u"/dev/zero"_s}, folder.path(), {}, {}, 2, {}, badLine},
    };
    const QByteArray logBefore = folder.read(u"Dezuzedu.log"_s);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        const CliRun r = run(c.dataFolder, c.args, c.fakeTime, c.outFile);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.out, c.out);
        EXPECT_TRUE(c.err == badLine ? r.err.count('\n') == 1 && r.err.endsWith('\n') : r.err == c.err)
            << r.err.constData();
    }
    EXPECT_EQ(folder.read(u"Dezuzedu.log"_s), logBefore);
    EXPECT_FALSE(QFileInfo::exists(absent));
    // A log path in the settings that leads to a pipe is passed over for the log in the data
    // folder, as the program itself does.
    const QStringList special = makeSpecialFiles(other.path());
    if (special.isEmpty())
        GTEST_SKIP() << "no named pipes in a folder on this system";
    other.write(u"Settings.ini"_s, "LogDateiPfad=" + QFile::encodeName(special.first()) + "\r\n");
    other.write(u"Dezuzedu.log"_s, logBefore);
    const CliRun piped = run(other.path(), exportArgs("csv", "2025-11-29", "2025-11-29"));
    EXPECT_EQ(piped.status, 0) << piped.err.constData();
    EXPECT_EQ(piped.out, header + "2025-11-29,Sa,1,25,1,,0\n");
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
