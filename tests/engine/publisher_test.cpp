// The side files others read, byte for byte, under different time zones; the ordered background
// writes; the web calls and speech.

#include "day_fixture.h"
#include "local_zone.h"
#include "plan_time.h"
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

// The process's time zone for one test; local times are read under it at once. Windows takes
// the zone from the system alone: there only the zone the process already has is in force.
class ScopedTimeZone {
public:
#ifdef _WIN32
    explicit ScopedTimeZone(const char* zone) : m_inForce(localTimeFollows(zone)) {}
#else
    explicit ScopedTimeZone(const char* zone) : m_old(qgetenv("TZ")) {
        apply(zone);
    }
    ~ScopedTimeZone() {
        apply(m_old.isNull() ? nullptr : m_old.constData());
    }
#endif
    bool inForce() const {
        return m_inForce;
    }

private:
    static void apply(const char* zone) {
        zone ? void(qputenv("TZ", zone)) : void(qunsetenv("TZ"));
        tzset();
    }
    QByteArray m_old;
    bool m_inForce = true;
};

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

TEST(SidePublisher, NextUnitFileReadsLocalTimeAndUtcSecondsInEveryZone) {
    struct Case {
        const char* zone;
        QDateTime now;
        std::optional<QDateTime> unit; // a fixed unit to come; none: no unit pending
        QByteArray file;
        int laterSecs = 0; // the clock moves on before the file is written
    };
    const QDateTime dec5at14(dec5, QTime(14, 0)), dec5at1430(dec5, QTime(14, 30));
    const QList<Case> cases = {
        {"Europe/Berlin", dec5at14, dec5at1430, "05.12.2025 14:30 \r\n1764941400"},
        {"Asia/Kolkata", dec5at14, dec5at1430, "05.12.2025 14:30 \r\n1764925200"},
        {"Australia/Adelaide", dec5at14, dec5at1430, "05.12.2025 14:30 \r\n1764907200"},
        // Across the clock changes the next start's own offset counts, not tonight's.
        {"Europe/Berlin", QDateTime(QDate(2026, 3, 28), QTime(23, 0)),
         QDateTime(QDate(2026, 3, 29), QTime(9, 0)), "29.03.2026 09:00 \r\n1774767600"},
        {"Europe/Berlin", QDateTime(QDate(2026, 10, 24), QTime(22, 0)),
         QDateTime(QDate(2026, 10, 25), QTime(9, 0)), "25.10.2026 09:00 \r\n1792915200"},
        // A start the clock skips is taken at the offset before the change: 01:30 UTC.
        {"Europe/Berlin", QDateTime(QDate(2026, 3, 29), QTime(1, 0)),
         QDateTime(QDate(2026, 3, 29), QTime(2, 30)), "29.03.2026 02:30 \r\n1774747800"},
        {"Asia/Kolkata", dec5at14, std::nullopt, ""},
        {"Europe/Berlin", dec5at14, dec5at1430, "", 30 * 60 + 1},
    };
    QStringList leftOut;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.zone) + " " + c.now.toString().toStdString());
        ScopedTimeZone zone(c.zone);
        if (!zone.inForce()) {
            leftOut << QLatin1String(c.zone);
            continue;
        }
        Publishing p;
        p.clock.set(c.now.date(), c.now.time());
        // A pause before the unit is no unit: the file names the unit.
        p.add(u"Mittagspause"_s, true, c.now.date(), c.now.time().addSecs(600), 5);
        if (c.unit)
            p.add(u"Bericht"_s, false, c.unit->date(), c.unit->time(), 25);
        p.clock.advanceSecs(c.laterSecs);
        p.data.write(u"next.txt"_s, "old content");
        p.publisher.PublishNextUnitStart();
        EXPECT_EQ(p.file("next.txt"), c.file);
    }
    if (!leftOut.isEmpty())
        GTEST_SKIP() << "the system's zone is the only one here; left out: "
                     << leftOut.join(u", "_s).toStdString();
}

TEST(SidePublisher, BreakFilesHoldTheLastMatchingPause) {
    struct Pause {
        const char* title;
        bool pause;
        QTime start;
    };
    struct Case {
        const char* name;
        QList<Pause> entries;
        std::optional<QByteArray> feierabend;
        std::optional<QByteArray> mittag;
    };
    const QList<Case> cases = {
        {"evening and lunch break",
         {{"Mittagspause", true, QTime(12, 0)}, {"Feierabend", true, QTime(17, 30)}},
         "05.12.2025 17:30",
         "05.12.2025 12:00"},
        {"the word inside a longer title counts",
         {{"Feierabend!", true, QTime(18, 0)}},
         "05.12.2025 18:00",
         std::nullopt},
        {"lower case does not count", {{"feierabend", true, QTime(17, 30)}}, std::nullopt, std::nullopt},
        {"a unit of that name does not count",
         {{"Feierabend", false, QTime(17, 30)}},
         std::nullopt,
         std::nullopt},
        {"of two lunch breaks the later one",
         {{"Mittagspause", true, QTime(12, 0)}, {"Mittagspause", true, QTime(13, 0)}},
         std::nullopt,
         "05.12.2025 13:00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Publishing p;
        for (const Pause& e : c.entries)
            p.add(QString::fromUtf8(e.title), e.pause, dec5, e.start, 30);
        p.publisher.UpdateSideFiles();
        EXPECT_EQ(p.file("feierabend.txt"), c.feierabend);
        EXPECT_EQ(p.file("mittag.txt"), c.mittag);
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
