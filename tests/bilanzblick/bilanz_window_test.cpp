// The window of Bilanzblick on a prepared log, offscreen: every view opens and shows the log.
#include "activity_log.h"
#include "bilanz_window.h"
#include "fake_clock.h"
#include "log_loader.h"
#include "qt_print.h"
#include "temp_data_folder.h"
#include "text_file.h"
#include "translation.h"
#include "views.h"

#include <gtest/gtest.h>

#include <QAbstractSeries>
#include <QApplication>
#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScreen>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <QValueAxis>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class BilanzWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder.write(u"Settings.ini"_s, fileBytes(QStringLiteral(BILANZBLICK_TEST_DATA "/Settings.ini")));
        folder.write(u"Dezuzedu.log"_s, fileBytes(QStringLiteral(BILANZBLICK_TEST_DATA "/Dezuzedu.log")));
    }
    std::unique_ptr<BilanzWindow> open() {
        auto window = std::make_unique<BilanzWindow>(clock, logsource::locate(clock, folder.folder(), {}));
        QSignalSpy shown(window.get(), &BilanzWindow::logShown);
        window->show();
        EXPECT_TRUE(shown.wait(10000));
        return window;
    }
    template <typename T> T* child(const BilanzWindow& w, const char* name) {
        T* found = w.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    // What a view shows of a label, a table's cell (column -1: its rows that are not hidden),
    // a ledger's entry (row -1: the newest day, else an entry of that day), a chart (its series,
    // or with column 1 the labels under it).
    QString shown(const BilanzWindow& w, const char* name, int row = 0, int column = 0) {
        QObject* o = w.findChild<QObject*>(QString::fromLatin1(name));
        if (auto* label = qobject_cast<QLabel*>(o))
            return label->text();
        if (auto* table = qobject_cast<QTableWidget*>(o); table && column < 0) {
            int rows = 0;
            for (int r = 0; r < table->rowCount(); ++r)
                rows += table->isRowHidden(r) ? 0 : 1;
            return QString::number(rows);
        }
        if (auto* table = qobject_cast<QTableWidget*>(o))
            return table->item(row, column) ? table->item(row, column)->text() : u"(none)"_s;
        if (auto* tree = qobject_cast<QTreeWidget*>(o)) {
            const QTreeWidgetItem* day = tree->topLevelItem(0);
            return !day ? u"(none)"_s : row < 0 ? day->text(column) : day->child(row)->text(column);
        }
        if (auto* chart = qobject_cast<QChartView*>(o); chart && column == 0)
            return QString::number(chart->chart()->series().size());
        if (auto* chart = qobject_cast<QChartView*>(o)) {
            auto* axis = qobject_cast<QCategoryAxis*>(chart->chart()->axes(Qt::Horizontal).value(0));
            return axis ? axis->categoriesLabels().join(u' ') : QString();
        }
        return u"(no such view)"_s;
    }

    TempDataFolder folder;
    FakeClock clock{QDateTime(QDate(2025, 12, 1), QTime(10, 0))};
};

} // namespace

TEST_F(BilanzWindowTest, EveryViewShowsThePreparedLog) {
    const auto w = open();
    EXPECT_FALSE(w->showsEmptyState());
    EXPECT_EQ(std::tuple(w->statusText(), w->from(), w->to()),
              std::tuple(u"1 Zeilen übersprungen"_s, QDate(2025, 12, 1), QDate(2025, 12, 31)));
    const struct {
        int tab;
        const char* name;
        int row, column;
        const char* text;
    } cases[] = {
        // Today: one unit done, one failed, the day's last target, not met.
        {0, "overviewTable", 0, 1, "1"},
        {0, "overviewTable", 0, 3, "1"},
        {0, "overviewTable", 0, 4, "4"},
        {0, "overviewTable", 0, 5, "nicht erfüllt"},
        // 28.11. met, 29.11. a unit without target, Sunday passed over, today still open.
        {0, "streaks", 0, 0, "Aktuelle Serie: 2 Tage    Längste Serie: 2 Tage"},
        // The bars and the target over the 28th and over today, no line across the days between.
        {0, "overviewChart", 0, 0, "3"},
        {1, "calendarChart", 0, 0, "2"},
        {2, "normalChart", 0, 0, "3"},
        {2, "normalBasis", 0, 0, "Für diesen Wochentag gibt es noch keine früheren Tage im Log."},
        // Monday 8 h: the share with the units behind it.
        {3, "failureByHour", 0, 8, "0 %\n0/1"},
        {3, "failureByLength", 0, 1, "3"},
        {3, "failureByLength", 0, 3, "33 %"},
        // Two units and two re-plannings of the 1st, in time order.
        {4, "replanLedger", 1, 1, "NEU GEPLANT: Anruf"},
        {4, "replanLedger", 3, 1, "NEU GEPLANT"},
        {4, "replanReasons", 0, -1, "2"},
        {5, "suggestedTarget", 0, 0,
         "Vorschlag für das Soll: 3 Einheiten — an mindestens zwei Dritteln der letzten 1 Tage mit Soll "
         "erreicht."},
        {5, "targetTable", 0, -1, "1"},
    };
    for (const auto& c : cases) {
        w->tabs()->setCurrentIndex(c.tab);
        EXPECT_EQ(shown(*w, c.name, c.row, c.column), QString::fromUtf8(c.text)) << c.name;
    }
    // The failures by hour only from the first to the last hour with a unit (8 and 9 h).
    w->tabs()->setCurrentIndex(3);
    QStringList hours;
    for (int h = 0; h < 24; ++h)
        if (!child<QTableWidget>(*w, "failureByHour")->isColumnHidden(h))
            hours << QString::number(h);
    EXPECT_EQ(hours.join(u' '), u"8 9"_s);
    // The window fits the screen it opens on.
    const QSize room = w->screen()->availableGeometry().size();
    EXPECT_TRUE(w->width() <= room.width() && w->height() <= room.height())
        << w->width() << "x" << w->height();
    // The Fridays before the 5th: the 28th, its units from 08:00 to 09:50 and an hour either side,
    // with round minutes up the side.
    w->tabs()->setCurrentIndex(2);
    child<QDateEdit>(*w, "normalDay")->setDate(QDate(2025, 12, 5));
    EXPECT_EQ(shown(*w, "normalBasis"), u"Band aus 1 Tagen, 28.11.2025 bis 28.11.2025"_s);
    QChart* chart = child<QChartView>(*w, "normalChart")->chart();
    for (const auto& [o, range] : {std::pair(Qt::Horizontal, std::tuple(7., 11., 1.)),
                                   std::pair(Qt::Vertical, std::tuple(0., 100., 20.))}) {
        auto* axis = qobject_cast<QValueAxis*>(chart->axes(o).value(0));
        ASSERT_NE(axis, nullptr);
        EXPECT_EQ(std::tuple(axis->min(), axis->max(), axis->tickInterval()), range);
    }
    // Titles: 50 minutes in two units first; the filter.
    w->tabs()->setCurrentIndex(6);
    w->setRange(BilanzWindow::RangeKind::Free, QDate(2025, 11, 1), QDate(2025, 12, 31));
    EXPECT_EQ(std::pair(shown(*w, "titleTable", 0, -1), shown(*w, "titleTable")),
              std::pair(u"4"_s, u"Bericht"_s));
    child<QLineEdit>(*w, "titleFilter")->setText(u"MAIL"_s);
    EXPECT_EQ(shown(*w, "titleTable", 0, -1), u"1"_s);
}

TEST_F(BilanzWindowTest, RangesFollowTheirKind) {
    const auto w = open();
    struct Case {
        BilanzWindow::RangeKind kind;
        QDate anchor;
        QDate from, to;
    };
    using K = BilanzWindow::RangeKind;
    const Case cases[] = {
        {K::Day, QDate(2025, 12, 3), QDate(2025, 12, 3), QDate(2025, 12, 3)},
        {K::Week, QDate(2025, 12, 3), QDate(2025, 12, 1), QDate(2025, 12, 7)},
        {K::Month, QDate(2024, 2, 10), QDate(2024, 2, 1), QDate(2024, 2, 29)},
        {K::Year, QDate(2025, 6, 1), QDate(2025, 1, 1), QDate(2025, 12, 31)},
        // A free range moved past its end ("Heute") ends where it starts, not before.
        {K::Free, QDate(2026, 3, 1), QDate(2026, 3, 1), QDate(2026, 3, 1)},
    };
    for (const Case& c : cases) {
        w->setRange(c.kind, c.anchor);
        EXPECT_EQ(std::pair(w->from(), w->to()), std::pair(c.from, c.to));
    }
    // A day picked in the year's heatmap, and back to the year and the calendar.
    w->setRange(K::Year, QDate(2025, 6, 1));
    w->tabs()->setCurrentIndex(1);
    emit w->findChild<CalendarView*>()->dayChosen(QDate(2025, 11, 28));
    EXPECT_EQ(std::tuple(w->from(), w->to(), w->tabs()->currentIndex()),
              std::tuple(QDate(2025, 11, 28), QDate(2025, 11, 28), 2));
    ASSERT_TRUE(w->canDrillBack());
    w->drillBack();
    EXPECT_EQ(std::tuple(w->from(), w->to(), w->tabs()->currentIndex()),
              std::tuple(QDate(2025, 1, 1), QDate(2025, 12, 31), 1));
    EXPECT_FALSE(w->canDrillBack());
}

TEST_F(BilanzWindowTest, FollowsTheLogAndNamesAMissingOne) {
    const auto w = open();
    w->loader().setPollInterval(100);
    QSignalSpy shown(w.get(), &BilanzWindow::logShown);
    // A unit finished while the window is open.
    QFile log(folder.filePath(u"Dezuzedu.log"_s));
    ASSERT_TRUE(log.open(QIODevice::Append));
    log.write("\r\nMo, 01.12.2025 10:00|25 Neu [x]");
    log.close();
    ASSERT_TRUE(shown.wait(5000));
    EXPECT_EQ(w->findChild<QTableWidget*>(u"overviewTable"_s)->item(0, 1)->text(), u"2"_s);
    // Replaced by rename, as atomic writers do, and cut short: both are read again.
    const auto unitsToday = [&](const char* expected) {
        QElapsedTimer waited;
        waited.start();
        auto* table = w->findChild<QTableWidget*>(u"overviewTable"_s);
        while (table->item(0, 1)->text() != QLatin1String(expected) && waited.elapsed() < 5000)
            QTest::qWait(20);
        return table->item(0, 1)->text();
    };
    folder.write(u"neu.log"_s, "\r\nMo, 01.12.2025 08:00|25 A [x]\r\nMo, 01.12.2025 08:30|25 B [x]"
                               "\r\nMo, 01.12.2025 09:00|25 C [x]");
    ASSERT_EQ(std::rename(qPrintable(folder.filePath(u"neu.log"_s)),
                          qPrintable(folder.filePath(u"Dezuzedu.log"_s))),
              0);
    EXPECT_EQ(unitsToday("3"), u"3"_s);
    ASSERT_TRUE(QFile(folder.filePath(u"Dezuzedu.log"_s)).resize(0));
    EXPECT_EQ(unitsToday("0"), u"0"_s);
    ASSERT_TRUE(QFile::remove(folder.filePath(u"Dezuzedu.log"_s)));
    ASSERT_TRUE(shown.wait(5000));
    EXPECT_TRUE(w->showsEmptyState());
    EXPECT_TRUE(w->findChild<QLabel*>(u"emptyState"_s)->text().contains(folder.filePath(u"Dezuzedu.log"_s)));
}

TEST_F(BilanzWindowTest, AbsurdLogsAndRanges) {
    // Every view over every range the date fields allow, on logs from empty to hand-typed years at
    // both ends with the largest values an int holds. The calendar cuts what it draws to the
    // days of the log, then to its last thousand bars, and says so in its title.
    const QByteArray far = "\r\nMo, 01.01.0001 09:00|25 Eins [x]\r\nFr, 31.12.9999 09:00|2147483647 Zwei [x]"
                           "\r\nFr, 31.12.9999 SOLL: 2147483647";
    // Ten years of a unit a day, and on Mondays a re-planning with a reason of its own.
    QStringList tenYears{QString()};
    for (QDate day(2016, 1, 1); day <= QDate(2025, 11, 30); day = day.addDays(1)) {
        const QDateTime at(day, QTime(9, 0));
        tenYears << ActivityLog::unitLine(at, 25, u"Titel"_s).mid(2) + ActivityLog::finishMark();
        if (day.dayOfWeek() == Qt::Monday)
            tenYears << ActivityLog::replanLine(at, day.toString()).mid(2);
    }
    struct Case {
        const char* name;
        QByteArray log;
        int bars;
        const char* title;
    };
    const Case cases[] = {
        {"empty", QByteArray(), 1000, "Einheiten und Soll: 01.09.9916 – 31.12.9999"},
        {"one line", "\r\nMo, 01.12.2025 09:00|25 Eins [x]", 1,
         "Einheiten und Soll: 01.12.2025 – 01.12.2025"},
        {"years 0001 and 9999", far, 1000, "Einheiten und Soll: 01.09.9916 – 31.12.9999"},
        {"ten years", textfile::encodeText(tenYears.join(u"\r\n"_s)), 120,
         "Einheiten und Soll: 01.01.2016 – 01.12.2025"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        folder.write(u"Dezuzedu.log"_s, c.log);
        const auto w = open();
        for (int tab = 0; tab < 7; ++tab) {
            w->tabs()->setCurrentIndex(tab);
            w->setRange(BilanzWindow::RangeKind::Year, QDate(9999, 6, 1));
            w->setRange(BilanzWindow::RangeKind::Free, QDate(1752, 9, 14), QDate(9999, 12, 31));
        }
        w->tabs()->setCurrentIndex(1);
        QChart* chart = child<QChartView>(*w, "calendarChart")->chart();
        EXPECT_EQ(chart->title(), QString::fromUtf8(c.title));
        auto* bars = qobject_cast<QBarSeries*>(chart->series().value(0));
        ASSERT_NE(bars, nullptr);
        EXPECT_EQ(bars->barSets().value(0)->count(), c.bars);
        // Labels under the bars however many there are; months by whole years.
        const QStringList labels = shown(*w, "calendarChart", 0, 1).split(u' ');
        EXPECT_TRUE(labels.size() > 1 || c.bars == 1) << labels.size();
        EXPECT_TRUE(c.bars != 120 || labels.filter(QRegularExpression(u"^01/"_s)) == labels);
    }
    // A title of nearly a megabyte (a longer line is no line of the log) is shown cut short,
    // where the table measures and paints it at once; the minutes still belong to the whole title.
    constexpr qsizetype huge = ActivityLog::maxLineBytes - 64;
    folder.write(u"Dezuzedu.log"_s, "\r\nMo, 01.12.2025 09:00|25 " + QByteArray(huge, 'L') + " [x]");
    const auto w = open();
    w->tabs()->setCurrentIndex(6);
    const QTableWidgetItem* title = child<QTableWidget>(*w, "titleTable")->item(0, 0);
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->text(), QString(299, QLatin1Char('L')) + QChar(0x2026));
    EXPECT_EQ(evaluation::titleTotals(w->log(), w->from(), w->to()).value(0).title.size(), huge);
}

TEST_F(BilanzWindowTest, ReasonTableHoldsOnlyCounts) {
    // Reasons typed afresh over years would fill reasons times weeks cells: only counts get one.
    folder.write(u"Dezuzedu.log"_s, "\r\nMo, 01.12.2025 10:00 --- NEU GEPLANT --- Grund: A"
                                    "\r\nDi, 09.12.2025 10:00 --- NEU GEPLANT --- Grund: B");
    const auto w = open();
    w->tabs()->setCurrentIndex(4);
    auto* table = child<QTableWidget>(*w, "replanReasons");
    ASSERT_EQ(table->columnCount(), 4);
    EXPECT_EQ(table->horizontalHeaderItem(3)->text(), u"2025-W50"_s);
    struct Cell {
        int row, column;
        const char* text; // nullptr: no item
    };
    for (const Cell& c : {Cell{0, 2, "1"}, Cell{0, 3, nullptr}, Cell{1, 2, nullptr}, Cell{1, 3, "1"}}) {
        SCOPED_TRACE(c.row * 10 + c.column);
        const QTableWidgetItem* item = table->item(c.row, c.column);
        EXPECT_EQ(item ? item->text() : QString(), QString::fromLatin1(c.text));
        EXPECT_EQ(item != nullptr, c.text != nullptr);
    }
    // The newest day on top; what a narrow column cuts is whole in the tooltip.
    EXPECT_EQ(shown(*w, "replanLedger", -1, 0), u"Di, 09.12.2025"_s);
    EXPECT_EQ(child<QTreeWidget>(*w, "replanLedger")->topLevelItem(0)->child(0)->toolTip(1),
              u"<p>NEU GEPLANT: B</p>"_s);
    EXPECT_EQ(table->item(1, 0)->toolTip(), u"<p>B</p>"_s);
}

TEST_F(BilanzWindowTest, ExportRunsBesideTheWindowAndReportsItsEnd) {
    auto w = open();
    auto* button = child<QToolButton>(*w, "exportButton");
    QSignalSpy finished(w.get(), &BilanzWindow::exportFinished);
    const struct {
        const char* file;
        bool ok;
    } cases[] = {{"export.csv", true}, {"no/such/folder/x.csv", false}};
    w->setRange(BilanzWindow::RangeKind::Free, QDate(2025, 11, 27), QDate(2025, 12, 3));
    for (const auto& c : cases) {
        const QString path = folder.filePath(QString::fromLatin1(c.file));
        w->startExport(path, evaluation::ExportFormat::Csv);
        // The command has returned with the export still under way and the button blocked.
        EXPECT_TRUE(w->exportRunning()) << c.file;
        EXPECT_FALSE(button->isEnabled()) << c.file;
        ASSERT_TRUE(finished.wait(10000)) << c.file;
        EXPECT_EQ(finished.takeFirst().value(0).toBool(), c.ok) << c.file;
        EXPECT_TRUE(button->isEnabled() && !w->exportRunning()) << c.file;
        auto* box = w->findChild<QMessageBox*>(u"exportError"_s);
        EXPECT_EQ(box != nullptr, !c.ok) << c.file;
        if (box) {
            EXPECT_TRUE(box->text().contains(path)) << box->text().toStdString();
            box->close();
        }
    }
    EXPECT_EQ(w->suggestedExportPath(), QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) +
                                            u"/bilanz_2025-11-27_2025-12-01.csv"_s);
    // The range ends two days after today: the export stops at today.
    const QByteArray expected = fileBytes(QStringLiteral(BILANZBLICK_TEST_DATA "/export_days.csv"));
    EXPECT_EQ(fileBytes(folder.filePath(u"export.csv"_s)), expected.left(expected.indexOf("2025-12-02")));

    // Eight thousand years of days: closing the window ends the export and writes nothing.
    clock.set(QDate(9999, 12, 31), QTime(12, 0));
    w->setRange(BilanzWindow::RangeKind::Free, QDate(1800, 1, 1), QDate(9999, 12, 31));
    const QString huge = folder.filePath(u"huge.csv"_s);
    w->startExport(huge, evaluation::ExportFormat::Csv);
    QElapsedTimer closing;
    closing.start();
    w.reset();
    EXPECT_LT(closing.elapsed(), 2000);
    EXPECT_FALSE(QFile::exists(huge));
}

TEST_F(BilanzWindowTest, ALogPathThatIsNoFileIsNamedInTheWindowsLanguage) {
    const struct {
        QString path, reason;
    } cases[] = {
        {folder.filePath(QString()), u"Der Pfad ist ein Ordner."_s},
        {u"/dev/null"_s, u"Der Pfad ist keine gewöhnliche Datei."_s},
    };
    for (const auto& c : cases) {
        BilanzWindow w(clock, logsource::locate(clock, folder.folder(), c.path));
        QSignalSpy shown(&w, &BilanzWindow::logShown);
        w.show();
        ASSERT_TRUE(shown.wait(10000));
        const QString text = w.findChild<QLabel*>(u"emptyState"_s)->text();
        EXPECT_TRUE(w.showsEmptyState());
        EXPECT_TRUE(text.contains(c.reason) && text.contains(c.path)) << text.toStdString();
    }
}

TEST_F(BilanzWindowTest, InEnglishWeekdaysAndHeadersAreWhole) {
    ASSERT_TRUE(translation::setUp(QStringLiteral(TAKTPLAN_LOCALE_DIR), u"en"_s).active);
    // A large font, as on a screen of many dots per inch.
    const QFont font = QApplication::font();
    QApplication::setFont(QFont(font.family(), 16));
    const auto w = open();
    QApplication::setFont(font);
    for (int tab : {0, 3, 4})
        w->tabs()->setCurrentIndex(tab);
    translation::turnOff();
    EXPECT_TRUE(shown(*w, "overviewChart", 0, 1).endsWith(u"Sun 30 Mon 1"_s));
    EXPECT_EQ(w->findChild<QTableWidget*>(u"failureByHour"_s)->verticalHeaderItem(1)->text(), u"Tue"_s);
    EXPECT_EQ(shown(*w, "replanLedger", -1, 0), u"Mon, 01.12.2025"_s);
    // A header wider than its column would be cut at both ends.
    for (const char* name : {"failureByLength", "targetTable"}) {
        QHeaderView* header = child<QTableWidget>(*w, name)->horizontalHeader();
        for (int c = 0; c < header->count(); ++c)
            EXPECT_GE(header->sectionSize(c), header->sectionSizeHint(c)) << name << c;
    }
}
