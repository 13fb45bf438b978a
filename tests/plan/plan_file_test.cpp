#include "plan_fixture.h"

#include "debug_log.h"
#include "file_size_limit.h"
#include "plan_file.h"
#include "scripted_ui.h"
#include "temp_data_folder.h"
#include "text_file.h"
#include "typed_entry.h"
#include "unprivileged_child.h"

#include <QDir>
#include <QFile>

#include <functional>
#include <optional>
#include <random>

namespace {

using namespace Qt::StringLiterals;

const QString lineCases = QStringLiteral(PLAN_TEST_DATA "/plan_file.txt");

QByteArray golden(const char* name) {
    return goldenBytes(QStringLiteral(PLAN_TEST_DATA "/") + QString::fromLatin1(name));
}

class PlanFileTest : public PlanTest {
protected:
    QString path(const char* name) const { return data.filePath(QString::fromLatin1(name)); }
    // A new program start on the same data folder: a fresh plan list and plan file.
    struct Restart {
        explicit Restart(PlanFileTest& t)
            : list(t.clock, t.settings, host),
              file(list, t.clock, t.settings, t.data.folder(), t.debugLog, t.ui) {}
        RecordingHost host;
        Worklist list;
        PlanFile file;
    };
    // The rows a new program start shows after loading these lines.
    QStringList loadFresh(const QStringList& lines) {
        Restart fresh(*this);
        EXPECT_TRUE(textfile::writeLines(path("plan.txt"), lines));
        EXPECT_TRUE(fresh.file.LoadPlan(path("plan.txt")));
        return rows(fresh.list);
    }

    TempDataFolder data;
    DebugLog debugLog{clock};
    ScriptedUi ui;
    PlanFile file{list, clock, settings, data.folder(), debugLog, ui};
};

TEST_F(PlanFileTest, GoldenFilesForBothOptionsAndARoundTrip) {
    // Every line kind: finished, running, relative units and pauses with and without title,
    // fixed entries today and tomorrow, a title outside Windows-1252.
    addPlan(
        u"Klavier üben/E/08:00/25/x; Steuererklärung/E/08:55/50/WIP; Bericht schreiben/E/-; /P/-/15; "
        u"Mittagspause/P/-/25; Übung 日本/E/-; Arzt (Termin)/E/14:00/50; (a)/P/16:00/15; Frühstück/E/8 07:30"_s);
    ASSERT_EQ(rows(list), goldenRows("full plan"));
    // "Speichern" writes open entries without dates (lastroutine.log too), worklist.log open ones
    // with them, "Speichern unter..." all without (a running unit twice).
    for (const char* name :
         {"open_with_dates.txt", "open_without_dates.txt", "all_without_dates.txt", "all_with_dates.txt"}) {
        const QString n = QString::fromLatin1(name);
        EXPECT_TRUE(file.SavePlan(path(name), n.startsWith(u"all"_s), !n.contains(u"without"_s))) << name;
        EXPECT_EQ(data.read(n), golden(name)) << name;
    }
    EXPECT_EQ(debugLog.text(), QString());

    // Round trip through the next start: today's finished unit comes from the activity log,
    // the rest from worklist.log, and saving again writes the same bytes.
    ASSERT_TRUE(file.saveWorklist());
    Restart again(*this);
    again.list.AddEntry(u"Klavier üben"_s, false, dec(7, 8, 0), 25, true, u"x"_s);
    EXPECT_TRUE(again.file.loadWorklist());
    EXPECT_EQ(rows(again.list), goldenRows("full plan"));
    EXPECT_FALSE(again.list.automaticStartFlag());
    EXPECT_TRUE(ui.messages.isEmpty());
    ASSERT_TRUE(again.file.saveWorklist());
    EXPECT_EQ(data.read(u"worklist.log"_s), golden("open_with_dates.txt"));
}

TEST_F(PlanFileTest, LinesTheFullPlanDoesNotShow) {
    for (const CaseRow& c : caseTable(lineCases, u"written"_s)) {
        const QStringList f = c[0].split(u'|');
        const PlanEntry e{f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7], f[8], f[9]};
        EXPECT_EQ(PlanFile::planLines({e}, false, false).join(u'/'), c[1]) << c.where.toStdString();
        EXPECT_EQ(PlanFile::planLines({e}, true, false).join(u'/'), c[2]) << c.where.toStdString();
    }
}

TEST_F(PlanFileTest, SaveAsFileReadsBackAtTheNextOccurrence) {
    // "Speichern unter..." writes the running unit twice and no dates; loaded again the same
    // morning, the finished unit is pending again, the running one comes twice, and the first
    // undated time that has passed puts itself and every later undated time on tomorrow.
    data.write(u"plan.txt"_s, golden("all_without_dates.txt"));
    EXPECT_TRUE(file.LoadPlan(path("plan.txt")));
    EXPECT_EQ(rows(list), goldenRows("save as read back the same morning"));
}

TEST_F(PlanFileTest, LineKinds) {
    settings.GrossePause = 20;
    settings.StandardDauerEinheit = 30;
    for (const CaseRow& c : caseTable(lineCases, u"read"_s))
        EXPECT_EQ(loadFresh({c[0]}), QStringList({c[1]})) << c.where.toStdString();
    EXPECT_TRUE(ui.messages.isEmpty());
    // Undated times at 12:00 (the skipped line is shown).
    setNow(12, 0);
    for (const CaseRow& c : caseTable(lineCases, u"undated"_s)) {
        QStringList dates;
        for (const QString& r : loadFresh(c.fields.mid(1)))
            dates.append(r.section(u'|', 3, 3).left(1) + r.section(u'|', 8, 8).left(2));
        dates.sort();
        EXPECT_EQ(dates.join(u' '), c[0]) << c.where.toStdString();
    }
}

TEST_F(PlanFileTest, BadLinesAreSkippedShownOnceAndKept) {
    const QByteArray original = "\xef\xbb\xbf"
                                "A///25\r\nB///zz\r\nC///25|||25:99\r\nD///25|||10:00 31.02.2026\r\n"
                                "E///\r\nPause: 5|||xx\r\nF \xfc///25\r\nG///25|||10:00 07.12.26\r\n"
                                // Lengths no plan can hold: the end before the start, a unit
                                // without time, or an end past the years a date can hold.
                                "H///0\r\nI///-25\r\nPause: -5\r\nJ///2147483647\r\nPause: 99999999999\r\n"
                                "K///999999999|||10:00 01.01.9000\r\nL///25|||23:59 31.12.9999\r\n";
    data.write(u"worklist.log"_s, original);
    EXPECT_TRUE(file.loadWorklist());
    // The byte order mark is no part of the first title; a Windows-1252 line is no bad line.
    EXPECT_EQ(titles(list), u"A, F ü"_s);
    ASSERT_EQ(ui.messages.size(), 1);
    // Each line but the good ones (1 and 7) by its number, and where the copy is.
    const QString& message = ui.messages.first();
    const QStringList lines = QString::fromLatin1(original).split(u"\r\n"_s);
    for (int n = 1; n < lines.size(); ++n) {
        const bool bad = n != 1 && n != 7;
        EXPECT_EQ(message.contains(u"Zeile %1: "_s.arg(n) + (bad ? lines[n - 1] : QString())), bad) << n;
    }
    EXPECT_TRUE(message.contains(file.worklistPath()) && message.contains(u"worklist.log.bak"_s))
        << message.toStdString();

    // The copy is the file as it was; the next save rewrites the plan but leaves the copy.
    EXPECT_EQ(data.read(u"worklist.log.bak"_s), original);
    ASSERT_TRUE(file.saveWorklist());
    EXPECT_EQ(data.read(u"worklist.log"_s), QByteArray("A///25\r\nF \xfc///25\r\n"));

    // A clean file makes no copy and shows nothing.
    Restart again(*this);
    again.file.loadWorklist();
    EXPECT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(data.read(u"worklist.log.bak"_s), original);
    EXPECT_EQ(QDir(data.path()).entryList({u"worklist.log.bak*"_s}, QDir::Files),
              QStringList({u"worklist.log.bak"_s}));
}

TEST_F(PlanFileTest, TypedTitlesSurviveTheFileOrAreAdjustedAtInput) {
    // Each title as a running unit, a relative and a fixed entry (or a relative and a fixed
    // pause), saved to worklist.log and loaded by the next start.
    const QString typed[] = {
        u"Ablage 2025/"_s, u"a{{WIP}}"_s,   u"{{WIP}}a"_s,     u"Pause: 15"_s,
        u"a///b"_s,        u"a///25"_s,     u"a|||09:00"_s,    u"a///25|||09:00 07.12.2026"_s,
        u"|||"_s,          u" Leer "_s,     u"(x)"_s,          u"Zwei\r\nZeilen"_s,
        u"p 5 a|||b"_s,    u"p 5 (x) y)"_s, u"p 5 Pause: 5"_s, u"p 5 {{WIP}}"_s};
    for (const QString& text : typed) {
        Restart before(*this);
        const TypedEntry e = TypedEntry::parse(text, 25, 20);
        if (!e.isPause)
            before.list.AddEntry(e.title, false, dec(7, 8, 50), e.duration, true, u"WIP"_s);
        before.list.AddEntry(e.title, e.isPause, dec(7, 0, 0), e.duration, false, u" "_s);
        before.list.AddEntry(e.title, e.isPause, dec(7, 14, 0), e.duration, true, u" "_s);
        ASSERT_TRUE(before.file.saveWorklist()) << text.toStdString();
        Restart after(*this);
        EXPECT_TRUE(after.file.loadWorklist());
        EXPECT_EQ(rows(after.list), rows(before.list)) << text.toStdString();
        // What changed was changed at input, and said so.
        EXPECT_EQ(e.title != (e.isPause ? text.mid(4) : text), e.adjustment != TypedEntry::Adjustment::None)
            << text.toStdString();
    }
    EXPECT_TRUE(ui.messages.isEmpty()) << ui.messages.join(u'\n').toStdString();
}

TEST_F(PlanFileTest, HandEditedFinishMarksAreAdjustedOnLoadAndToldOnce) {
    QStringList lines, expected;
    for (const CaseRow& c : caseTable(lineCases, u"finish marks"_s)) {
        lines.append(c[0]);
        expected.append(c[1]);
    }
    data.write(u"worklist.log"_s, lines.join(u"\r\n"_s).toUtf8());
    ASSERT_TRUE(file.loadWorklist());
    EXPECT_EQ(
        each(
            list, [](const PlanEntry& e) { return e.isPause() ? e.pauseTitle() : e.displayText; }, u"/"_s),
        expected.join(u'/'));
    // One notice for the whole file, naming each changed line; nothing else is reported.
    ASSERT_EQ(ui.reminders.size(), 1);
    const QString& notice = ui.reminders.first();
    for (const QString& part : {u"Titel angepasst"_s, file.worklistPath(), u"Zeile 1: Läuft (x)"_s,
                                u"Zeile 2: Bericht (x)"_s, u"Zeile 3: (x)"_s})
        EXPECT_TRUE(notice.contains(part)) << part.toStdString() << "\n" << notice.toStdString();
    EXPECT_FALSE(notice.contains(u"Zeile 4"_s) || notice.contains(u"Zeile 6"_s)) << notice.toStdString();
    EXPECT_TRUE(ui.messages.isEmpty());
}

TEST_F(PlanFileTest, LoadingGivesTheOrderOfAddingLineByLine) {
    // The pause the file puts after the meeting stays after it, though the fixed call sorts in
    // before the meeting.
    setNow(8, 0);
    EXPECT_EQ(loadFresh({u"Bericht///25"_s, u"Meeting///60|||08:30 07.12.2026"_s, u"Pause: Mittag"_s,
                         u"Telefon///25|||08:10 07.12.2026"_s, u"Notizen///25"_s}),
              goldenRows("loading in the order of adding"));

    // Generated files against the plain way: AddEntry line by line (each computes the schedule),
    // then the schedule once more. Relative and fixed units and pauses, some times passed, running
    // lines, on a plan that already holds finished units. (How each kind of line reads: LineKinds.)
    std::mt19937 random(20261207);
    const auto pick = [&random](int from, int to) {
        return std::uniform_int_distribution<int>(from, to)(random);
    };
    for (int round = 0; round < 200; ++round) {
        setNow(pick(6, 21), pick(0, 59), pick(0, 59));
        const QDateTime now = plantime::now(clock);
        Restart fresh(*this);
        Restart byLine(*this);
        for (Worklist* w : {&fresh.list, &byLine.list}) {
            w->AddEntry(u"Erledigt"_s, false, now.addSecs(-7200), 25, true, u"x"_s);
            w->AddEntry(u"p 10"_s, true, now.addSecs(-3600), 10, true, u"x"_s);
        }
        QStringList lines;
        for (int i = 0, count = pick(1, 24); i < count; ++i) {
            const bool pause = pick(0, 2) == 0;
            Worklist::NewEntry e{
                pause ? QString() : u"T%1"_s.arg(i), pause, now, pick(!pause, 90), pick(0, 1) == 1, u" "_s};
            QString line =
                pause ? u"Pause: %1"_s.arg(e.duration) : e.title + u"///"_s + QString::number(e.duration);
            if (e.fixed) {
                e.start =
                    plantime::wall(clock.today().addDays(pick(-1, 2)), QTime(pick(5, 23), pick(0, 11) * 5));
                line +=
                    u"|||"_s + plantime::formatTime(e.start) + u' ' + plantime::formatDate(e.start.date());
                if (!pause && pick(0, 5) == 0) {
                    e.status = u"WIP"_s;
                    line = u"{{WIP}}"_s + line;
                }
            }
            lines.append(line);
            byLine.list.AddEntry(e.title, e.isPause, e.start, e.duration, e.fixed, e.status);
        }
        byLine.list.RecomputeSchedule();
        // Written plainly: a safe replace waits for the disk, hundreds of times over.
        data.write(u"plan.txt"_s, lines.join(u"\r\n"_s).toLatin1());
        ASSERT_TRUE(fresh.file.LoadPlan(path("plan.txt")));
        ASSERT_EQ(rows(fresh.list), rows(byLine.list))
            << "round " << round << " at " << plantime::formatTime(now).toStdString() << "\n"
            << lines.join(u'\n').toStdString();
        EXPECT_EQ(fresh.list.automaticStartFlag(), byLine.list.automaticStartFlag()) << round;
    }
    EXPECT_TRUE(ui.messages.isEmpty()) << ui.messages.join(u'\n').toStdString();
}

TEST_F(PlanFileTest, StoppedLoadLeavesPlanAndFileAlone) {
    addUnit(u"bleibt"_s);
    QStringList lines;
    for (int i = 0; i < 1000; ++i)
        lines.append(u"Zeile %1///25"_s.arg(i));
    ASSERT_TRUE(textfile::writeLines(file.worklistPath(), lines));
    const QByteArray onDisk = data.read(u"worklist.log"_s);
    const QStringList before = rows(list);

    // Asked every few hundred lines: a stop after the second question.
    int asked = 0;
    EXPECT_FALSE(file.loadWorklist([&asked] { return ++asked >= 2; }));
    EXPECT_EQ(rows(list), before);
    EXPECT_TRUE(file.loadInterrupted());
    EXPECT_FALSE(file.saveWorklist());
    EXPECT_EQ(data.read(u"worklist.log"_s), onDisk);

    // A load that ends lets the saves go on.
    EXPECT_TRUE(file.loadWorklist([] { return false; }));
    EXPECT_EQ(list.entries().size(), 1000);
    EXPECT_FALSE(file.loadInterrupted());
    EXPECT_TRUE(file.saveWorklist());
}

TEST_F(PlanFileTest, MissingLockedOrUnreadableFiles) {
    addUnit(u"bleibt"_s);
    // A missing file is no error and leaves the plan alone.
    EXPECT_TRUE(file.LoadPlan(path("gibt-es-nicht.txt")));
    // Saved, then gone before the next start: the plan simply starts empty.
    ASSERT_TRUE(file.saveWorklist());
    ASSERT_TRUE(QFile::remove(file.worklistPath()));
    Restart next(*this);
    EXPECT_TRUE(next.file.loadWorklist());
    EXPECT_TRUE(next.list.entries().isEmpty());
    EXPECT_TRUE(ui.messages.isEmpty());

    // Something that exists but cannot be read: loading it leaves the plan and says so.
    ASSERT_TRUE(QDir(data.path()).mkdir(u"ordner.txt"_s));
    EXPECT_FALSE(file.LoadPlan(path("ordner.txt")));
    EXPECT_EQ(titles(list), u"bleibt"_s);
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_TRUE(ui.messages.first().contains(path("ordner.txt")));
}

TEST_F(PlanFileTest, FailedSavesAreToldOncePerFileUntilOneSucceeds) {
    const QString plainFile = data.filePath(u"keinOrdner"_s);
    std::optional<FileSizeLimit> limit;
    // Each case makes the save of a file fail (true) and lets it succeed again (false).
    const struct {
        const char* name;
        QString target;
        std::function<void(bool)> broken;
        QString reason; // part of the message after "Grund:"
        bool keepsPrevious;
        bool needsSizeLimit = false;
    } cases[] = {
        {"worklist.log is a folder", file.worklistPath(),
         [&](bool on) {
             QFile::remove(file.worklistPath());
             on ? QDir().mkdir(file.worklistPath()) : QDir().rmdir(file.worklistPath());
         },
         u"directory"_s, false},
        {"full disk", file.worklistPath(), [&](bool on) { on ? void(limit.emplace(64)) : limit.reset(); },
         u"too large"_s, true, true},
        {"folder is a file", plainFile + u"/plan.txt"_s,
         [&](bool on) {
             QDir(plainFile).removeRecursively();
             QFile::remove(plainFile);
             on ? data.write(u"keinOrdner"_s, "x") : void(QDir().mkdir(plainFile));
         },
         u"Grund: "_s, false},
    };
    ASSERT_TRUE(QDir().mkdir(plainFile));
    for (int i = 0; i < 40; ++i)
        addUnit(u"Eine Einheit mit einem recht langen Titel Nummer %1"_s.arg(i));
    const auto save = [&](const QString& target) {
        return target == file.worklistPath() ? file.saveWorklist() : file.saveTo(target);
    };
    const char* leftOut = nullptr;
    for (const auto& c : cases) {
        if (c.needsSizeLimit && FileSizeLimit::unavailable()) {
            leftOut = c.name;
            continue;
        }
        ui.messages.clear();
        ASSERT_TRUE(save(c.target)) << c.name;
        const QByteArray before = readBytes(c.target);
        c.broken(true);
        addUnit(u"Neu"_s);
        EXPECT_FALSE(save(c.target)) << c.name;
        EXPECT_FALSE(save(c.target)) << c.name;
        c.broken(false);
        // One message with the file and the reason.
        ASSERT_EQ(ui.messages.size(), 1) << c.name;
        for (const QString& part : {c.target, u"Grund: "_s, c.reason})
            EXPECT_TRUE(ui.messages[0].contains(part)) << c.name << ": " << part.toStdString() << " in\n"
                                                       << ui.messages[0].toStdString();
        if (c.keepsPrevious) {
            EXPECT_EQ(readBytes(c.target), before) << c.name;
        }
        // A save in between, and the next failure is told again.
        EXPECT_TRUE(save(c.target)) << c.name;
        EXPECT_TRUE(readBytes(c.target).contains("Neu///25")) << c.name;
        c.broken(true);
        EXPECT_FALSE(save(c.target)) << c.name;
        c.broken(false);
        EXPECT_EQ(ui.messages.size(), 2) << c.name;
        for (const QString& name :
             QDir(data.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot))
            EXPECT_FALSE(name.startsWith(u"worklist.log."_s)) << c.name << ": left " << name.toStdString();
    }
    if (leftOut)
        GTEST_SKIP() << leftOut << " left out: " << FileSizeLimit::unavailable();
}

TEST_F(PlanFileTest, SharedFolderAndReadOnlyFileAreToldWithTheirReason) {
    // Without root rights, as a user would meet them.
    ASSERT_TRUE(QFile::setPermissions(data.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                       QFile::ReadOther | QFile::ExeOther));
    const auto rw = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther | QFile::WriteOther;
    const auto rwx = rw | QFile::ExeOwner | QFile::ExeOther;
    const struct {
        const char* name;
        QFile::Permissions folderMode, fileMode;
        QString reason; // empty: the save succeeds
    } cases[] = {
        {"folder refuses new files", QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther,
         rw, u"Der Ordner erlaubt keine neuen Dateien."_s},
        {"read-only file", rwx, QFile::ReadOwner | QFile::ReadOther,
         u"Die Datei ist schreibgeschützt oder von einem anderen Programm geöffnet."_s},
        {"both allowed", rwx, rw, QString()},
    };
    addUnit(u"Neu"_s);
    int n = 0;
    for (const auto& c : cases) {
        const QString folder = data.filePath(u"geteilt%1"_s.arg(++n));
        const QString target = folder + u"/plan.txt"_s;
        ASSERT_TRUE(QDir().mkdir(folder));
        ASSERT_TRUE(textfile::writeLines(target, {u"Alt///25"_s}));
        ASSERT_TRUE(QFile::setPermissions(target, c.fileMode));
        ASSERT_TRUE(QFile::setPermissions(folder, c.folderMode));
        QByteArray why;
        const int result = runUnprivileged(
            [&] {
                const bool saved = file.saveTo(target);
                const bool told = ui.messages.size() == 1 && ui.messages[0].contains(target) &&
                                  ui.messages[0].contains(c.reason);
                return (saved ? 1 : 0) | (told ? 2 : 0) | (ui.messages.isEmpty() ? 4 : 0);
            },
            &why);
        if (result < 0)
            GTEST_SKIP() << "Cannot test saving without root rights: " << why.constData();
        EXPECT_EQ(result, c.reason.isEmpty() ? 1 | 4 : 2) << c.name;
        EXPECT_EQ(readBytes(target),
                  c.reason.isEmpty() ? QByteArray("Neu///25\r\n") : QByteArray("Alt///25\r\n"))
            << c.name;
        EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList({u"plan.txt"_s})) << c.name;
    }
}

} // namespace
