#include "plan_fixture.h"

#include "debug_log.h"
#include "plan_file.h"
#include "scripted_ui.h"
#include "temp_data_folder.h"
#include "text_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace {

QByteArray golden(const char* name) {
    QFile f(QStringLiteral(PLAN_TEST_DATA "/") + QString::fromLatin1(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing golden file>");
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

    // Every line kind: finished, running, relative units and pauses with and without title,
    // fixed entries today and tomorrow, a title outside Windows-1252.
    void buildFullPlan() {
        setNow(9, 0);
        list.AddEntry(QStringLiteral("Klavier üben"), false, wallAt(2026, 12, 7, 8, 0), 25, true,
                      QStringLiteral("x"));
        list.AddEntry(QStringLiteral("Steuererklärung"), false, wallAt(2026, 12, 7, 8, 55), 50, true,
                      QStringLiteral("WIP"));
        addUnit(QStringLiteral("Bericht schreiben"));
        addPause(15);
        addPause(25, QStringLiteral("Mittagspause"));
        addUnit(QStringLiteral("Übung 日本"));
        addFixed(QStringLiteral("Arzt (Termin)"), 14, 0, 50);
        addFixed(QStringLiteral("(a)"), 16, 0, 15, true);
        addFixed(QStringLiteral("Frühstück"), 7, 30); // passed today: tomorrow
    }

    TempDataFolder data;
    DebugLog debugLog{clock};
    ScriptedUi ui;
    PlanFile file{list, clock, settings, data.folder(), debugLog, ui};
};

const QStringList fullPlanRows = {
    QStringLiteral("1|08:00|08:25|Klavier üben|F|E|25|x|07.12.2026|"),
    QStringLiteral("2|08:55|09:45|Steuererklärung|F|E|50|WIP|07.12.2026|"),
    QStringLiteral("3|09:50|10:15|Bericht schreiben|R|E|25| |07.12.2026|"),
    QStringLiteral("|10:15|10:30|Pause: 15 min|R|P|15| |07.12.2026|"),
    QStringLiteral("|10:30|10:55|Pause: 25 min (Mittagspause)|R|P|25| |07.12.2026|"),
    QStringLiteral("4|10:55|11:20|Übung 日本|R|E|25| |07.12.2026|"),
    QStringLiteral("5|14:00|14:50|Arzt (Termin)|F|E|50| |07.12.2026|"),
    QStringLiteral("|16:00|16:15|Pause: 15 min ((a))|F|P|15| |07.12.2026|"),
    QStringLiteral("1|07:30|07:55|Frühstück|F|E|25| |08.12.2026|"),
};

TEST_F(PlanFileTest, GoldenFilesForBothOptions) {
    buildFullPlan();
    ASSERT_EQ(rows(list), fullPlanRows);
    const struct {
        bool withFinished;
        bool withDates;
        const char* golden;
    } cases[] = {
        {false, true, "open_with_dates.txt"},     // worklist.log
        {false, false, "open_without_dates.txt"}, // "Speichern", lastroutine.log
        {true, false, "all_without_dates.txt"},   // "Speichern unter..."
        {true, true, "all_with_dates.txt"},
    };
    for (const auto& c : cases) {
        const QString target = path(c.golden);
        EXPECT_TRUE(file.SavePlan(target, c.withFinished, c.withDates)) << c.golden;
        EXPECT_EQ(data.read(QString::fromLatin1(c.golden)), golden(c.golden)) << c.golden;
    }
    EXPECT_EQ(debugLog.text(), QString());
}

TEST_F(PlanFileTest, LineForEachStatus) {
    auto entry = [](const char* kind, const char* mode, const char* status, QString text = QString()) {
        PlanEntry e;
        e.kind = QString::fromLatin1(kind);
        e.startMode = QString::fromLatin1(mode);
        e.status = QString::fromLatin1(status);
        e.duration = QStringLiteral("15");
        e.startTime = QStringLiteral("10:00");
        e.date = QStringLiteral("07.12.2026");
        e.displayText = text.isEmpty() ? (e.kind == QLatin1String("P") ? QStringLiteral("Pause: 15 min")
                                                                       : QStringLiteral("T"))
                                       : text;
        return e;
    };
    const struct {
        PlanEntry e;
        QStringList open;
        QStringList all;
    } cases[] = {
        // A running pause is written like a pending one.
        {entry("P", "R", "WIP"), {QStringLiteral("Pause: 15")}, {QStringLiteral("Pause: 15")}},
        {entry("P", "F", "WIP"),
         {QStringLiteral("Pause: 15|||10:00")},
         {QStringLiteral("Pause: 15|||10:00")}},
        {entry("P", "F", "x"), {QStringLiteral("Pause: 15|||10:00")}, {QStringLiteral("Pause: 15|||10:00")}},
        {entry("E", "F", "x"), {}, {QStringLiteral("T///15")}},
        {entry("E", "F", "FERTIG1"), {}, {QStringLiteral("T///15")}},
        {entry("E", "F", "FERTIG2"), {}, {QStringLiteral("T///15")}},
        {entry("E", "R", " "), {QStringLiteral("T///15")}, {QStringLiteral("T///15")}},
        {entry("E", "F", " "), {QStringLiteral("T///15|||10:00")}, {QStringLiteral("T///15|||10:00")}},
        {entry("E", "F", "WIP"),
         {QStringLiteral("{{WIP}}T///15|||10:00")},
         {QStringLiteral("T///15"), QStringLiteral("{{WIP}}T///15|||10:00")}},
        // A line break would split the entry in two.
        {entry("E", "R", " ", QStringLiteral("Zwei\r\nZeilen")),
         {QStringLiteral("Zwei  Zeilen///15")},
         {QStringLiteral("Zwei  Zeilen///15")}},
        // The pause title is only read from a pause's text.
        {entry("E", "R", " ", QStringLiteral("Einheit (mit Klammer)")),
         {QStringLiteral("Einheit (mit Klammer)///15")},
         {QStringLiteral("Einheit (mit Klammer)///15")}},
    };
    for (const auto& c : cases) {
        const std::string what = row(c.e).toStdString();
        EXPECT_EQ(PlanFile::planLines({c.e}, false, false), c.open) << what;
        EXPECT_EQ(PlanFile::planLines({c.e}, true, false), c.all) << what;
    }
}

TEST_F(PlanFileTest, WorklistRoundTripAfterARestart) {
    buildFullPlan();
    ASSERT_TRUE(file.saveWorklist());
    EXPECT_EQ(data.read(QStringLiteral("worklist.log")), golden("open_with_dates.txt"));

    // Start-up: today's finished unit comes from the activity log, the rest from the file.
    Restart again(*this);
    again.list.AddEntry(QStringLiteral("Klavier üben"), false, wallAt(2026, 12, 7, 8, 0), 25, true,
                        QStringLiteral("x"));
    EXPECT_TRUE(again.file.loadWorklist());
    EXPECT_EQ(rows(again.list), fullPlanRows);
    EXPECT_FALSE(again.list.automaticStartFlag);
    EXPECT_TRUE(ui.messages.isEmpty());
    ASSERT_TRUE(again.file.saveWorklist());
    EXPECT_EQ(data.read(QStringLiteral("worklist.log")), golden("open_with_dates.txt"));
}

TEST_F(PlanFileTest, SaveAsFileReadsBackAtTheNextOccurrence) {
    // "Speichern unter..." writes the running unit twice and no dates; loaded again the same
    // morning, the finished unit is pending again, the running one comes twice, and the first
    // undated time that has passed puts itself and every later undated time on tomorrow.
    data.write(QStringLiteral("plan.txt"), golden("all_without_dates.txt"));
    setNow(9, 0);
    EXPECT_TRUE(file.LoadPlan(path("plan.txt")));
    EXPECT_EQ(rows(list),
              QStringList({
                  QStringLiteral("1|09:00|09:25|Klavier üben|R|E|25| |07.12.2026|"),
                  QStringLiteral("2|09:30|10:20|Steuererklärung|R|E|50| |07.12.2026|"),
                  QStringLiteral("1|07:30|07:55|Frühstück|F|E|25| |08.12.2026|"),
                  QStringLiteral("2|08:55|09:45|Steuererklärung|F|E|50|WIP|08.12.2026|"),
                  QStringLiteral("3|09:50|10:15|Bericht schreiben|R|E|25| |08.12.2026|"),
                  QStringLiteral("|10:15|10:30|Pause: 15 min|R|P|15| |08.12.2026|"),
                  QStringLiteral("|10:30|10:55|Pause: 25 min (Mittagspause)|R|P|25| |08.12.2026|"),
                  QStringLiteral("4|10:55|11:20|Übung 日本|R|E|25| |08.12.2026|"),
                  QStringLiteral("5|14:00|14:50|Arzt (Termin)|F|E|50| |08.12.2026|"),
                  QStringLiteral("|16:00|16:15|Pause: 15 min ((a))|F|P|15| |08.12.2026|"),
              }));
}

TEST_F(PlanFileTest, LineKinds) {
    settings.GrossePause = 20;
    settings.StandardDauerEinheit = 30;
    const struct {
        QString line;
        QString row;
    } cases[] = {
        {QString(), QStringLiteral("1|09:00|09:30||R|E|30| |07.12.2026|")},
        {QStringLiteral("Pause: 25"), QStringLiteral("|09:00|09:25|Pause: 25 min|R|P|25| |07.12.2026|")},
        {QStringLiteral("Pause: 25 Mittag essen"),
         QStringLiteral("|09:00|09:25|Pause: 25 min (Mittag essen)|R|P|25| |07.12.2026|")},
        {QStringLiteral("Pause: 25 "), QStringLiteral("|09:00|09:25|Pause: 25 min|R|P|25| |07.12.2026|")},
        {QStringLiteral("Pause: Mittag"),
         QStringLiteral("|09:00|09:20|Pause: 20 min (Mittag)|R|P|20| |07.12.2026|")},
        {QStringLiteral("Pause: "), QStringLiteral("|09:00|09:20|Pause: 20 min|R|P|20| |07.12.2026|")},
        {QStringLiteral("Pause: 10x"),
         QStringLiteral("|09:00|09:20|Pause: 20 min (10x)|R|P|20| |07.12.2026|")},
        {QStringLiteral("Pause: 0"), QStringLiteral("|09:00|09:00|Pause: 0 min|R|P|0| |07.12.2026|")},
        {QStringLiteral("Pause: 15|||12:00 07.12.2026"),
         QStringLiteral("|12:00|12:15|Pause: 15 min|F|P|15| |07.12.2026|")},
        {QStringLiteral("Pause: 15 Kaffee|||12:00"),
         QStringLiteral("|12:00|12:15|Pause: 15 min (Kaffee)|F|P|15| |07.12.2026|")},
        {QStringLiteral("Pause: zz|||12:00"),
         QStringLiteral("|12:00|12:20|Pause: 20 min (zz)|F|P|20| |07.12.2026|")},
        {QStringLiteral("Klavier///50"), QStringLiteral("1|09:00|09:50|Klavier|R|E|50| |07.12.2026|")},
        {QStringLiteral("Klavier"), QStringLiteral("1|09:00|09:30|Klavier|R|E|30| |07.12.2026|")},
        {QStringLiteral("Klavier///50|||14:00 08.12.2026"),
         QStringLiteral("1|14:00|14:50|Klavier|F|E|50| |08.12.2026|")},
        {QStringLiteral("Klavier///50|||14:00 "),
         QStringLiteral("1|14:00|14:50|Klavier|F|E|50| |07.12.2026|")},
        {QStringLiteral("Klavier///50|||14:00"),
         QStringLiteral("1|14:00|14:50|Klavier|F|E|50| |07.12.2026|")},
        {QStringLiteral("Klavier///50|||08:00"),
         QStringLiteral("1|08:00|08:50|Klavier|F|E|50| |08.12.2026|")},
        // A dated fixed time that has passed goes to tomorrow as well.
        {QStringLiteral("Klavier///50|||08:00 01.12.2026"),
         QStringLiteral("1|08:00|08:50|Klavier|F|E|50| |08.12.2026|")},
        {QStringLiteral("pause: 15"), QStringLiteral("1|09:00|09:30|pause: 15|R|E|30| |07.12.2026|")},
        {QStringLiteral("Pause:15"), QStringLiteral("1|09:00|09:30|Pause:15|R|E|30| |07.12.2026|")},
        {QStringLiteral("A{{WIP}}B///25|||09:00 07.12.2026"),
         QStringLiteral("1|09:00|09:25|AB|F|E|25|WIP|07.12.2026|")},
        // The running mark without a time: relative, so pending.
        {QStringLiteral("{{WIP}}Läuft///25"), QStringLiteral("1|09:00|09:25|Läuft|R|E|25| |07.12.2026|")},
        {QStringLiteral("  Leer  zeichen ///25"),
         QStringLiteral("1|09:00|09:25|  Leer  zeichen |R|E|25| |07.12.2026|")},
    };
    setNow(9, 0);
    for (const auto& c : cases) {
        Restart fresh(*this);
        ASSERT_TRUE(textfile::writeLines(path("one.txt"), {c.line}));
        EXPECT_TRUE(fresh.file.LoadPlan(path("one.txt"))) << c.line.toStdString();
        EXPECT_EQ(rows(fresh.list), QStringList({c.row})) << c.line.toStdString();
    }
    EXPECT_TRUE(ui.messages.isEmpty());
}

TEST_F(PlanFileTest, UndatedTimesAndTheTomorrowFlag) {
    const struct {
        QStringList lines;
        QStringList dates; // in file order
    } cases[] = {
        // 17:00 today has not passed, but follows the flag set by 08:00.
        {{QStringLiteral("A///25|||08:00"), QStringLiteral("B///25|||17:00")},
         {QStringLiteral("08.12.2026"), QStringLiteral("08.12.2026")}},
        {{QStringLiteral("B///25|||17:00"), QStringLiteral("A///25|||08:00")},
         {QStringLiteral("07.12.2026"), QStringLiteral("08.12.2026")}},
        // Dated lines and relative lines neither set nor follow the flag.
        {{QStringLiteral("R///25"), QStringLiteral("A///25|||08:00 07.12.2026"),
          QStringLiteral("B///25|||17:00")},
         {QStringLiteral("07.12.2026"), QStringLiteral("08.12.2026"), QStringLiteral("07.12.2026")}},
        {{QStringLiteral("Pause: 5|||11:00"), QStringLiteral("C///25|||18:00 07.12.2026"),
          QStringLiteral("B///25|||17:00")},
         {QStringLiteral("08.12.2026"), QStringLiteral("07.12.2026"), QStringLiteral("08.12.2026")}},
        // A skipped line has no effect on the lines after it.
        {{QStringLiteral("A///zz|||08:00"), QStringLiteral("B///25|||17:00")},
         {QStringLiteral("07.12.2026")}},
    };
    setNow(12, 0);
    for (const auto& c : cases) {
        Restart fresh(*this);
        ASSERT_TRUE(textfile::writeLines(path("plan.txt"), c.lines));
        fresh.file.LoadPlan(path("plan.txt"));
        QStringList dates;
        for (const QString& line : c.lines) {
            const QString title =
                line.startsWith(QLatin1String("Pause")) ? QStringLiteral("Pause: 5 min") : line.left(1);
            for (const PlanEntry& e : fresh.list.entries()) {
                if (e.displayText == title)
                    dates.append(e.date);
            }
        }
        EXPECT_EQ(dates, c.dates) << c.lines.join(QLatin1Char('/')).toStdString();
    }
}

TEST_F(PlanFileTest, RunningLineWhoseEndHasPassedOrNot) {
    ASSERT_TRUE(
        textfile::writeLines(path("worklist.log"),
                             {QStringLiteral("{{WIP}}A///25|||09:00 05.12.2026"), QStringLiteral("B///25")}));
    {
        clock.set(QDate(2026, 12, 5), QTime(9, 10));
        Restart start(*this);
        start.file.loadWorklist();
        EXPECT_EQ(rows(start.list), QStringList({
                                        QStringLiteral("1|09:00|09:25|A|F|E|25|WIP|05.12.2026|"),
                                        QStringLiteral("2|09:30|09:55|B|R|E|25| |05.12.2026|"),
                                    }));
        EXPECT_FALSE(start.list.automaticStartFlag);
    }
    {
        clock.set(QDate(2026, 12, 5), QTime(9, 40));
        Restart start(*this);
        start.file.loadWorklist();
        EXPECT_EQ(rows(start.list), QStringList({
                                        QStringLiteral("1|09:40|10:05|A|R|E|25| |05.12.2026|"),
                                        QStringLiteral("2|10:10|10:35|B|R|E|25| |05.12.2026|"),
                                    }));
        EXPECT_TRUE(start.list.automaticStartFlag);
    }
}

TEST_F(PlanFileTest, LoadingReplacesOpenEntriesAndKeepsFinished) {
    setNow(9, 0);
    list.AddEntry(QStringLiteral("Fertig"), false, wallAt(2026, 12, 7, 8, 0), 25, true, QStringLiteral("x"));
    list.AddEntry(QStringLiteral("Fertig spät"), false, wallAt(2026, 12, 7, 11, 0), 25, true,
                  QStringLiteral("x"));
    addUnit(QStringLiteral("Alt offen"));
    ASSERT_TRUE(textfile::writeLines(path("plan.txt"), {QStringLiteral("Neu///25|||10:00")}));
    file.LoadPlan(path("plan.txt"));
    EXPECT_EQ(rows(list), QStringList({
                              QStringLiteral("1|08:00|08:25|Fertig|F|E|25|x|07.12.2026|"),
                              QStringLiteral("2|10:00|10:25|Neu|F|E|25| |07.12.2026|"),
                              QStringLiteral("3|11:00|11:25|Fertig spät|F|E|25|x|07.12.2026|"),
                          }));
}

TEST_F(PlanFileTest, BadLinesAreSkippedShownOnceAndKept) {
    setNow(9, 0);
    const QByteArray original = "A///25\r\n"
                                "B///zz\r\n"
                                "C///25|||25:99\r\n"
                                "D///25|||10:00 31.02.2026\r\n"
                                "E///\r\n"
                                "Pause: 5|||xx\r\n"
                                "F \xfc///25\r\n"
                                "G///25|||10:00 07.12.26\r\n";
    data.write(QStringLiteral("worklist.log"), original);

    EXPECT_TRUE(file.loadWorklist());

    QStringList titles;
    for (const PlanEntry& e : list.entries())
        titles.append(e.displayText);
    EXPECT_EQ(titles, QStringList({QStringLiteral("A"), QStringLiteral("F ü")}));
    ASSERT_EQ(ui.messages.size(), 1);
    const QString& message = ui.messages.first();
    EXPECT_TRUE(message.contains(file.worklistPath())) << message.toStdString();
    for (const char* expected :
         {"Zeile 2: B///zz", "Zeile 3: C///25|||25:99", "Zeile 4: D///25|||10:00 31.02.2026", "Zeile 5: E///",
          "Zeile 6: Pause: 5|||xx", "Zeile 8: G///25|||10:00 07.12.26", "worklist.log.bak"}) {
        EXPECT_TRUE(message.contains(QString::fromUtf8(expected))) << expected << "\n"
                                                                   << message.toStdString();
    }
    EXPECT_FALSE(message.contains(QStringLiteral("Zeile 1"))) << message.toStdString();
    EXPECT_FALSE(message.contains(QStringLiteral("Zeile 7"))) << message.toStdString();
    EXPECT_TRUE(debugLog.text().contains(QStringLiteral("Zeile 2: B///zz übersprungen")));

    // The copy is the file as it was; the next save rewrites the plan but leaves the copy.
    EXPECT_EQ(data.read(QStringLiteral("worklist.log.bak")), original);
    ASSERT_TRUE(file.saveWorklist());
    EXPECT_EQ(data.read(QStringLiteral("worklist.log")), QByteArray("A///25\r\nF \xfc///25\r\n"));
    EXPECT_EQ(data.read(QStringLiteral("worklist.log.bak")), original);

    // A clean file makes no copy and shows nothing.
    Restart again(*this);
    again.file.loadWorklist();
    EXPECT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(data.read(QStringLiteral("worklist.log.bak")), original);
    EXPECT_FALSE(data.exists(QStringLiteral("worklist.log.bak.tmp")));
}

TEST_F(PlanFileTest, MissingFileIsNotAnError) {
    setNow(9, 0);
    addUnit(QStringLiteral("bleibt"));
    EXPECT_TRUE(file.LoadPlan(path("gibt-es-nicht.txt")));
    EXPECT_EQ(list.entries().size(), 1);

    // Saved, then gone before the next start: the plan simply starts empty.
    ASSERT_TRUE(file.saveWorklist());
    ASSERT_TRUE(QFile::remove(file.worklistPath()));
    Restart next(*this);
    EXPECT_TRUE(next.file.loadWorklist());
    EXPECT_TRUE(next.list.entries().isEmpty());
    EXPECT_TRUE(ui.messages.isEmpty());
    EXPECT_EQ(debugLog.text(), QString());
}

TEST_F(PlanFileTest, ByteOrderMarkIsNotPartOfTheFirstTitle) {
    data.write(QStringLiteral("plan.txt"), "\xef\xbb\xbfPause: 5 Tee\r\nB\xc3\xa4r///25\r\n");
    file.LoadPlan(path("plan.txt"));
    ASSERT_EQ(list.entries().size(), 2);
    EXPECT_EQ(list.entries().at(0).displayText, QStringLiteral("Pause: 5 min (Tee)"));
    EXPECT_EQ(list.entries().at(1).displayText, QStringLiteral("Bär"));
}

TEST_F(PlanFileTest, FailedWriteKeepsThePreviousFile) {
    setNow(9, 0);
    addUnit(QStringLiteral("Alt"));
    ASSERT_TRUE(file.saveWorklist());
    const QByteArray before = data.read(QStringLiteral("worklist.log"));
    for (int i = 0; i < 40; ++i)
        addUnit(QStringLiteral("Eine Einheit mit einem recht langen Titel Nummer %1").arg(i));

    // A full disk, as far as this process can tell.
    struct rlimit old {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 512;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved = file.saveWorklist();
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(saved);
    EXPECT_EQ(data.read(QStringLiteral("worklist.log")), before);
    EXPECT_EQ(QDir(data.path()).entryList(QDir::Files), QStringList({QStringLiteral("worklist.log")}));
    EXPECT_TRUE(debugLog.text().contains(QStringLiteral("Speichern des Plans fehlgeschlagen: ") +
                                         file.worklistPath() + QStringLiteral(" | ")))
        << debugLog.text().toStdString();
    EXPECT_TRUE(ui.messages.isEmpty());
}

TEST_F(PlanFileTest, UnwritableFolderIsReportedInTheDebugLog) {
    // A regular file where the folder should be stops root as well.
    data.write(QStringLiteral("keinOrdner"), "x");
    const QString target = path("keinOrdner") + QStringLiteral("/plan.txt");
    addUnit(QStringLiteral("A"));
    EXPECT_FALSE(file.SavePlan(target, false, false));
    EXPECT_TRUE(debugLog.text().contains(QStringLiteral("Speichern des Plans fehlgeschlagen: ") + target));
    EXPECT_EQ(data.read(QStringLiteral("keinOrdner")), QByteArray("x"));
}

TEST_F(PlanFileTest, LockedFileIsSkippedSilently) {
    EXPECT_FALSE(PlanFile::IsFileLocked(path("fehlt.txt")));
    data.write(QStringLiteral("frei.txt"), "alt\r\n");
    EXPECT_FALSE(PlanFile::IsFileLocked(path("frei.txt")));
    // Something that exists but cannot be opened for reading and writing.
    ASSERT_TRUE(QDir(data.path()).mkdir(QStringLiteral("ordner.txt")));
    EXPECT_TRUE(PlanFile::IsFileLocked(path("ordner.txt")));
    addUnit(QStringLiteral("A"));
    EXPECT_FALSE(file.SavePlan(path("ordner.txt"), false, true));
    EXPECT_EQ(debugLog.text(), QString());
    EXPECT_TRUE(QFileInfo(path("ordner.txt")).isDir());
}

TEST_F(PlanFileTest, ReadOnlyFileCountsAsLocked) {
    if (geteuid() == 0)
        GTEST_SKIP() << "file permissions do not stop root";
    data.write(QStringLiteral("frei.txt"), "alt\r\n");
    addUnit(QStringLiteral("A"));
    ASSERT_TRUE(QFile::setPermissions(path("frei.txt"), QFileDevice::ReadOwner));
    EXPECT_TRUE(PlanFile::IsFileLocked(path("frei.txt")));
    EXPECT_FALSE(file.SavePlan(path("frei.txt"), false, true));
    EXPECT_EQ(data.read(QStringLiteral("frei.txt")), QByteArray("alt\r\n"));
    EXPECT_EQ(debugLog.text(), QString());
}

TEST_F(PlanFileTest, UnreadableFileLeavesThePlanAndSaysSo) {
    setNow(9, 0);
    addUnit(QStringLiteral("bleibt"));
    // A folder by the name of the file: it exists but reads as nothing.
    ASSERT_TRUE(QDir(data.path()).mkdir(QStringLiteral("plan.txt")));
    EXPECT_FALSE(file.LoadPlan(path("plan.txt")));
    ASSERT_EQ(list.entries().size(), 1);
    EXPECT_EQ(list.entries().first().displayText, QStringLiteral("bleibt"));
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_TRUE(ui.messages.first().contains(path("plan.txt")));
    EXPECT_TRUE(
        debugLog.text().contains(QStringLiteral("Laden des Plans fehlgeschlagen: ") + path("plan.txt")));
}

TEST_F(PlanFileTest, FileCommands) {
    setNow(9, 0);
    list.AddEntry(QStringLiteral("Fertig"), false, wallAt(2026, 12, 7, 8, 0), 25, true, QStringLiteral("x"));
    addFixed(QStringLiteral("Termin"), 14, 0);

    // "Speichern" without a known name needs the dialog and writes nothing.
    EXPECT_EQ(file.saveToCurrent(), PlanFile::SaveOutcome::NeedsFileName);
    EXPECT_EQ(file.currentFileName(), QString());

    // "Speichern" after the dialog: no finished units, no dates; the name is not remembered.
    EXPECT_TRUE(file.saveTo(path("a.txt")));
    EXPECT_EQ(data.read(QStringLiteral("a.txt")), QByteArray("Termin///25|||14:00\r\n"));
    EXPECT_EQ(file.currentFileName(), QString());

    // "Speichern unter...": with finished units, and the name becomes the current one.
    EXPECT_TRUE(file.saveAs(path("b.txt")));
    EXPECT_EQ(data.read(QStringLiteral("b.txt")), QByteArray("Fertig///25\r\nTermin///25|||14:00\r\n"));
    EXPECT_EQ(file.currentFileName(), path("b.txt"));
    EXPECT_EQ(file.saveToCurrent(), PlanFile::SaveOutcome::Saved);
    EXPECT_EQ(data.read(QStringLiteral("b.txt")), QByteArray("Termin///25|||14:00\r\n"));

    // "Öffnen...": load, and remember the name.
    ASSERT_TRUE(textfile::writeLines(path("c.txt"), {QStringLiteral("Aus Datei///50")}));
    EXPECT_TRUE(file.open(path("c.txt")));
    EXPECT_EQ(file.currentFileName(), path("c.txt"));
    EXPECT_EQ(rows(list), QStringList({QStringLiteral("1|08:00|08:25|Fertig|F|E|25|x|07.12.2026|"),
                                       QStringLiteral("2|09:00|09:50|Aus Datei|R|E|50| |07.12.2026|")}));

    // The routine file and the plan file live in the data folder.
    EXPECT_EQ(file.worklistPath(), data.filePath(QStringLiteral("worklist.log")));
    EXPECT_EQ(file.routinePath(), data.filePath(QStringLiteral("lastroutine.log")));
    addFixed(QStringLiteral("Termin"), 14, 0);
    EXPECT_TRUE(file.saveRoutine());
    EXPECT_EQ(data.read(QStringLiteral("lastroutine.log")),
              QByteArray("Aus Datei///50\r\nTermin///25|||14:00\r\n"));
    // "Letzten Plan laden".
    list.ClearOpenEntries();
    EXPECT_TRUE(file.loadRoutine());
    EXPECT_EQ(rows(list), QStringList({QStringLiteral("1|08:00|08:25|Fertig|F|E|25|x|07.12.2026|"),
                                       QStringLiteral("2|09:00|09:50|Aus Datei|R|E|50| |07.12.2026|"),
                                       QStringLiteral("3|14:00|14:25|Termin|F|E|25| |07.12.2026|")}));
}

} // namespace
