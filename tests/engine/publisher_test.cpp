// The side files others read, byte for byte, under different time zones; the ordered background
// writes; the web calls and speech.

#include "case_table.h"
#include "day_fixture.h"
#include "local_zone.h"
#include "plan_time.h"
#include "scoped_env.h"
#include "side_publisher.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <ctime>
#include <optional>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

// The process's time zone for one case. Windows takes the zone from the system alone: there only
// the cases of the zone the process already has can run.
bool inZone(ScopedEnv& env, const QString& zone) {
#ifdef _WIN32
    Q_UNUSED(env);
    return localTimeFollows(zone.toUtf8().constData());
#else
    env.set("TZ", zone.toUtf8());
    tzset();
    return true;
#endif
}

const QDate dec5(2025, 12, 5);

struct Publishing : Day {
    explicit Publishing(const QDateTime& start = QDateTime(dec5, QTime(9, 0))) : Day(start) {
        Settings& s = records.settings;
        s.BeginnDerNaechstenEinheitDatei = data.filePath(u"next.txt"_s);
        s.Feierabenddatei = data.filePath(u"feierabend.txt"_s);
        s.Mittagspausendatei = data.filePath(u"mittag.txt"_s);
        s.AnwesenheitErforderlich = false;
    }
    void add(const QString& title, bool pause, QDate day, QTime start, int minutes) {
        list.AddEntry(title, pause, plantime::wall(day, start), minutes, true, u" "_s);
    }
    // The file once every queued write is done; nullopt when there is no file.
    std::optional<QByteArray> file(const char* name) {
        EXPECT_TRUE(publisher.waitForWrites(10'000));
        if (!data.exists(QLatin1String(name)))
            return std::nullopt;
        return data.read(QLatin1String(name));
    }
    // Every refused or failed side file is noted once, however often it was tried.
    qsizetype notedFailures() {
        publisher.finish();
        return records.debugLog.text().count(u"Nebendatei nicht geschrieben: "_s);
    }
};

const QString sideFileCases = QStringLiteral(TAKTPLAN_TEST_DATA_DIR "/engine_side_files.txt");

QDateTime dateTime(const QString& text) {
    return QDateTime::fromString(text, u"dd.MM.yyyy hh:mm"_s);
}

TEST(SidePublisher, NextUnitFileReadsLocalTimeAndUtcSecondsInEveryZone) {
    QStringList leftOut;
    for (const CaseRow& row : caseTable(sideFileCases, u"next unit"_s)) {
        SCOPED_TRACE(row.where.toStdString());
        ScopedEnv env;
        if (!inZone(env, row[0])) {
            leftOut << row[0];
            continue;
        }
        Publishing p;
        const QDateTime now = dateTime(row[1]);
        p.clock.set(now.date(), now.time());
        p.add(u"Mittagspause"_s, true, now.date(), now.time().addSecs(600), 5);
        if (row[2] != u"-"_s)
            p.add(u"Bericht"_s, false, dateTime(row[2]).date(), dateTime(row[2]).time(), 25);
        p.clock.advanceSecs(row.number(4));
        p.data.write(u"next.txt"_s, "old content");
        p.publisher.PublishNextUnitStart();
        EXPECT_EQ(p.file("next.txt"), row[3].toUtf8());
    }
    if (!leftOut.isEmpty())
        GTEST_SKIP() << "the system's zone is the only one here; left out: "
                     << leftOut.join(u", "_s).toStdString();
}

TEST(SidePublisher, BreakFilesHoldTheLastMatchingPause) {
    const auto expected = [](const QString& field) {
        return field == u"-"_s ? std::nullopt : std::optional(field.toUtf8());
    };
    for (const CaseRow& row : caseTable(sideFileCases, u"break files"_s)) {
        SCOPED_TRACE(row.where.toStdString());
        Publishing p;
        for (const QString& e : row[0].split(u" ; "_s)) {
            const QStringList f = e.split(u' ');
            p.add(f[0], f[1] == u"pause"_s, dec5, QTime::fromString(f[2], u"hh:mm"_s), 30);
        }
        p.publisher.UpdateSideFiles();
        EXPECT_EQ(p.file("feierabend.txt"), expected(row[1]));
        EXPECT_EQ(p.file("mittag.txt"), expected(row[2]));
    }
}

TEST(SidePublisher, BreakFileRewrittenOnlyWhenItsValueChanges) {
    Publishing p;
    p.add(u"Feierabend"_s, true, dec5, QTime(17, 30), 60);
    const QString path = p.data.filePath(u"feierabend.txt"_s);
    const QDateTime longAgo(QDate(2020, 1, 1), QTime(0, 0), Qt::UTC);
    const auto age = [&] { return QFileInfo(path).lastModified().toUTC(); };
    const auto makeOld = [&] {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(longAgo, QFileDevice::FileModificationTime));
    };

    // An earlier text with the same value as its last line is left alone.
    p.data.write(u"feierabend.txt"_s, "04.12.2025 17:00\r\n05.12.2025 17:30");
    makeOld();
    p.publisher.UpdateSideFiles();
    EXPECT_EQ(p.file("feierabend.txt"), "04.12.2025 17:00\r\n05.12.2025 17:30");
    EXPECT_EQ(age(), longAgo);

    // A new time is written; the next phase start with the same plan writes nothing.
    p.list.editEntry(0).startTime = u"18:00"_s;
    p.publisher.UpdateSideFiles();
    EXPECT_EQ(p.file("feierabend.txt"), "05.12.2025 18:00");
    makeOld();
    p.publisher.UpdateSideFiles();
    EXPECT_EQ(p.file("feierabend.txt"), "05.12.2025 18:00");
    EXPECT_EQ(age(), longAgo);
}

TEST(SidePublisher, NeverReplacesTheProgramsOwnFiles) {
    struct Case {
        const char* file;  // the program's own file
        const char* named; // the side-file path that leads to it; empty: a link to it
    };
    const QList<Case> cases = {{"Settings.ini", "Settings.ini"},
                               {"Dezuzedu.log", "sub/../Dezuzedu.log"},
                               {"worklist.log", ""},
                               {"lastroutine.log", "lastroutine.log"},
                               {"debug_log.txt", "debug_log.txt"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        Publishing p;
        p.records.settings.LogDateiPfad = p.data.filePath(u"Dezuzedu.log"_s);
        p.data.write(QString::fromLatin1(c.file), "precious");
        QString path = p.data.filePath(QString::fromLatin1(c.named));
        if (!*c.named) {
            path = p.data.filePath(u"link.txt"_s);
            ASSERT_TRUE(QFile::link(p.data.filePath(QString::fromLatin1(c.file)), path));
        }
        p.records.settings.BeginnDerNaechstenEinheitDatei = path;
        p.records.settings.Feierabenddatei = path;
        p.add(u"Bericht"_s, false, dec5, QTime(10, 0), 25);
        p.add(u"Feierabend"_s, true, dec5, QTime(17, 0), 60);
        p.publisher.PublishNextUnitStart();
        p.publisher.UpdateSideFiles();
        EXPECT_EQ(p.file(c.file), "precious");
        // Both refusals are noted, once for the path.
        EXPECT_EQ(p.notedFailures(), 1);
    }
}

TEST(SidePublisher, ASideFileSetToAnothersPathLeavesItToTheFirst) {
    Publishing p;
    const QString shared = p.data.filePath(u"status.txt"_s);
    p.records.settings.Feierabenddatei = shared;
    p.records.settings.Mittagspausendatei = shared;
    p.add(u"Mittagspause"_s, true, dec5, QTime(12, 0), 30);
    p.add(u"Feierabend"_s, true, dec5, QTime(17, 0), 60);
    for (const QString& next : {p.data.filePath(u"next.txt"_s), shared}) {
        p.records.settings.BeginnDerNaechstenEinheitDatei = next;
        p.publisher.PublishNextUnitStart();
        p.publisher.UpdateSideFiles();
        // The next-unit file is empty (no unit to come); the evening break keeps the rest.
        EXPECT_EQ(p.file("status.txt"), QByteArray(next == shared ? "" : "05.12.2025 17:00"));
    }
    EXPECT_EQ(p.notedFailures(), 1);
}

TEST(SideFileWriter, QuickWritesToOneFileEndWithTheLastAndSurviveTheEnd) {
    TempDataFolder data;
    const QString a = data.filePath(u"a.txt"_s);
    const QString b = data.filePath(u"b.txt"_s);
    {
        SideFileWriter writer;
        for (int i = 0; i <= 500; ++i) {
            writer.replace(a, QString::number(i));
            writer.replace(b, u"b"_s + QString::number(i));
            // Once there, the file is never seen cut short or empty: every look finds a number.
            // (Windows may refuse a look while the file is being replaced: that shows nothing.)
            QFile look(a);
            if (look.open(QIODevice::ReadOnly)) {
                bool whole = false;
                look.readAll().toInt(&whole);
                EXPECT_TRUE(whole) << i;
            }
        }
        EXPECT_TRUE(writer.waitUntilIdle(10'000));
        EXPECT_EQ(data.read(u"a.txt"_s), "500");
        EXPECT_EQ(data.read(u"b.txt"_s), "b500");
        // The last write asked for just before the end still arrives.
        writer.replace(a, u"last"_s);
    }
    EXPECT_EQ(data.read(u"a.txt"_s), "last");
    EXPECT_EQ(QDir(data.path()).entryList(QDir::Files), QStringList({u"a.txt"_s, u"b.txt"_s}));
}

TEST(SideFileWriter, ANamedPipeIsRefusedAtOnceAndHoldsUpNoOtherFile) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows folders hold no named pipes";
#else
    TempDataFolder data;
    // Reading a named pipe would wait for a writer that never comes.
    const QString pipe = data.filePath(u"pipe"_s);
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    SideFileWriter writer;
    writer.replaceUnlessLastLineIs(pipe, u"05.12.2025 17:30"_s);
    writer.replace(data.filePath(u"after.txt"_s), u"x"_s);
    EXPECT_TRUE(writer.waitUntilIdle(5000));
    EXPECT_EQ(data.read(u"after.txt"_s), "x");
    writer.replace(pipe, u"y"_s);
    EXPECT_TRUE(writer.waitUntilIdle(5000));
    const QList<SideFileWriter::Failure> failures = writer.takeFailures();
    ASSERT_EQ(failures.size(), 2);
    EXPECT_EQ(failures[0].path, pipe);
    // Still the pipe, not a plain file put in its place.
    EXPECT_FALSE(QFileInfo(pipe).isFile());
#endif
}

TEST(SideFileWriter, AnEnormousFileIsLookedAtByItsEndOnly) {
    TempDataFolder data;
    const QString path = data.filePath(u"feierabend.txt"_s);
    // Eight gigabytes that take no room on the disk, with the value as their last line.
    const qint64 hole = qint64(8) << 30;
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.resize(hole) && f.seek(hole));
        ASSERT_EQ(f.write("\r\n05.12.2025 17:30"), 18);
    }
    SideFileWriter writer;
    writer.replaceUnlessLastLineIs(path, u"05.12.2025 17:30"_s);
    ASSERT_TRUE(writer.waitUntilIdle(10'000));
    EXPECT_EQ(QFileInfo(path).size(), hole + 18);
    writer.replaceUnlessLastLineIs(path, u"05.12.2025 18:00"_s);
    ASSERT_TRUE(writer.waitUntilIdle(10'000));
    EXPECT_EQ(data.read(u"feierabend.txt"_s), "05.12.2025 18:00");
    EXPECT_TRUE(writer.takeFailures().isEmpty());
}

TEST(SidePublisher, FilesFollowTheRunningPlanAndUnwritableOnesLeaveItRunning) {
    for (const bool writable : {true, false}) {
        SCOPED_TRACE(writable ? "writable" : "unwritable");
        Publishing d(QDateTime(QDate(2026, 12, 7), QTime(9, 0)));
        // Unwritable: a folder that does not exist, and a folder in place of a file.
        d.records.settings.BeginnDerNaechstenEinheitDatei =
            d.data.filePath(writable ? u"next.txt"_s : u"x/n"_s);
        d.records.settings.Feierabenddatei = writable ? d.data.filePath(u"feierabend.txt"_s) : d.data.path();
        for (const QString& typed : {u"A"_s, u"B"_s, u"p 60 Feierabend"_s})
            d.type(typed);
        // The files at 09:00 (running A: B comes next at 09:30, 08:30 UTC) and at 09:31 (running
        // B: no unit after it).
        const QList<QPair<QByteArray, QByteArray>> files = {
            {"07.12.2026 09:30 \r\n1796632200", "07.12.2026 09:55"}, {"", "07.12.2026 09:55"}};
        for (int step = 0; step < 2; ++step) {
            step == 0 ? d.runner.Start1Click() : d.runUntil(QTime(9, 31));
            EXPECT_TRUE(d.publisher.waitForWrites(10'000));
            if (writable) {
                EXPECT_EQ(qMakePair(d.data.read(u"next.txt"_s), d.data.read(u"feierabend.txt"_s)),
                          files[step]);
            }
        }
        d.runUntil(QTime(11, 0));
        const qsizetype failures = d.notedFailures();
        const QString log = d.records.activityLog.lines().join(u'\n');
        EXPECT_TRUE(log.contains(u"|25 A [x]"_s) && log.contains(u"|25 B [x]"_s)) << log.toStdString();
        // Each path that failed is reported once, however often it failed.
        EXPECT_EQ(failures, writable ? 0 : 2);
    }
}

TEST(SidePublisher, WebCallsSpeechAndTheChargeTimer) {
    Publishing p;
    p.publisher.CallWebAddress(QString());
    p.publisher.speak(QString());
    EXPECT_TRUE(p.shell.addresses.isEmpty());
    EXPECT_TRUE(p.speaker.spoken.isEmpty());
    p.publisher.speak(u"75"_s);
    EXPECT_EQ(p.speaker.spoken, QStringList{u"75"_s});

    const QTimer& charge = p.publisher.chargeTimer();
    p.publisher.startChargeTimer();
    EXPECT_TRUE(charge.isActive());
    EXPECT_EQ(charge.interval(), 30'000);
    p.publisher.stopChargeTimer();
    EXPECT_FALSE(charge.isActive());

    // Fired without an address: nothing is called, and nothing later either.
    p.publisher.startChargeTimer();
    p.publisher.tmrBeeminderChargeTimer();
    EXPECT_TRUE(p.shell.addresses.isEmpty());
    EXPECT_FALSE(charge.isActive());

    // With one, it is called once; the query with its "=" signs is kept whole.
    p.records.settings.NeuPlanenURL = u"https://example.org/charge?a=1&b=2"_s;
    p.publisher.startChargeTimer();
    p.publisher.tmrBeeminderChargeTimer();
    EXPECT_EQ(p.shell.addresses, QStringList{u"https://example.org/charge?a=1&b=2"_s});
    EXPECT_FALSE(charge.isActive());

    // Re-planning today's plan starts it; starting the plan stops it.
    p.type(u"A"_s);
    p.type(u"B"_s);
    p.runner.Start1Click();
    EXPECT_FALSE(charge.isActive());
    p.clock.advanceSecs(60);
    p.runner.Start1Click();
    EXPECT_TRUE(charge.isActive());
}

} // namespace
