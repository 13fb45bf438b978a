// The window of Bilanzblick on a prepared log, offscreen: every view opens and shows the log.
#include "activity_log.h"
#include "bilanz_window.h"
#include "case_table.h"
#include "fake_clock.h"
#include "log_loader.h"
#include "qt_print.h"
#include "temp_data_folder.h"
#include "text_file.h"
#include "translation.h"
#include "views.h"

#include <gtest/gtest.h>

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
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <QValueAxis>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

const QString cases = QStringLiteral(BILANZBLICK_TEST_DATA "/bilanz_window.txt");

QDate date(const QString& text) {
    return QDate::fromString(text, u"dd.MM.yyyy"_s);
}

class BilanzWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const QString& name : {u"Settings.ini"_s, u"Dezuzedu.log"_s})
            folder.write(name, readBytes(QStringLiteral(BILANZBLICK_TEST_DATA "/") + name));
    }
    // The window on the log in the data folder, or on the log path given.
    std::unique_ptr<BilanzWindow> open(const QString& logPath = {}) {
        auto window =
            std::make_unique<BilanzWindow>(clock, logsource::locate(clock, folder.folder(), logPath));
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
    EXPECT_EQ(std::tuple(w->showsEmptyState(), w->statusText(), w->from(), w->to()),
              std::tuple(false, u"1 Zeilen übersprungen"_s, QDate(2025, 12, 1), QDate(2025, 12, 31)));
    for (const CaseRow& row : caseTable(cases, u"views"_s)) {
        w->tabs()->setCurrentIndex(row.number(0));
        EXPECT_EQ(shown(*w, qPrintable(row[1]), row.number(2), row.number(3)), row[4])
            << row.where.toStdString();
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
    using K = BilanzWindow::RangeKind;
    for (const CaseRow& row : caseTable(cases, u"ranges"_s)) {
        w->setRange(K(row.number(0)), date(row[1]));
        EXPECT_EQ(std::pair(w->from(), w->to()), std::pair(date(row[2]), date(row[3])))
            << row.where.toStdString();
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
    QSignalSpy loaded(w.get(), &BilanzWindow::logShown);
    const QString path = folder.filePath(u"Dezuzedu.log"_s);
    // What today's row shows once the log has been read again.
    const auto unitsToday = [&](const char* expected) {
        QElapsedTimer waited;
        waited.start();
        while (shown(*w, "overviewTable", 0, 1) != QLatin1String(expected) && waited.elapsed() < 5000)
            QTest::qWait(20);
        return shown(*w, "overviewTable", 0, 1);
    };
    // A unit finished while the window is open; then replaced by rename, as atomic writers do,
    // and cut short: each is read again.
    QFile log(path);
    ASSERT_TRUE(log.open(QIODevice::Append));
    log.write("\r\nMo, 01.12.2025 10:00|25 Neu [x]");
    log.close();
    EXPECT_EQ(unitsToday("2"), u"2"_s);
    folder.write(u"neu.log"_s, "\r\nMo, 01.12.2025 08:00|25 A [x]\r\nMo, 01.12.2025 08:30|25 B [x]"
                               "\r\nMo, 01.12.2025 09:00|25 C [x]");
    ASSERT_EQ(std::rename(qPrintable(folder.filePath(u"neu.log"_s)), qPrintable(path)), 0);
    EXPECT_EQ(unitsToday("3"), u"3"_s);
    ASSERT_TRUE(QFile(path).resize(0));
    EXPECT_EQ(unitsToday("0"), u"0"_s);
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(loaded.wait(5000));
    EXPECT_TRUE(w->showsEmptyState());
    EXPECT_TRUE(shown(*w, "emptyState").contains(path));
}

TEST_F(BilanzWindowTest, AbsurdLogsAndRanges) {
    // Every view over every range the date fields allow, on logs from empty to hand-typed years at
    // both ends with the largest values an int holds. The calendar cuts what it draws to the
    // days of the log, then to its last thousand bars, and says so in its title.
    // Ten years of a unit a day, and on Mondays a re-planning with a reason of its own.
    QStringList tenYears{QString()};
    for (QDate day(2016, 1, 1); day <= QDate(2025, 11, 30); day = day.addDays(1)) {
        const QDateTime at(day, QTime(9, 0));
        tenYears << ActivityLog::unitLine(at, 25, u"Titel"_s).mid(2) + ActivityLog::finishMark();
        if (day.dayOfWeek() == Qt::Monday)
            tenYears << ActivityLog::replanLine(at, day.toString()).mid(2);
    }
    for (const CaseRow& row : caseTable(cases, u"absurd logs"_s)) {
        SCOPED_TRACE(row.where.toStdString());
        const int bars = row.number(2);
        folder.write(u"Dezuzedu.log"_s, row[1] == u"ten years"_s
                                            ? textfile::encodeText(tenYears.join(u"\r\n"_s))
                                            : row[1].toUtf8());
        const auto w = open();
        for (int tab = 0; tab < 7; ++tab) {
            w->tabs()->setCurrentIndex(tab);
            w->setRange(BilanzWindow::RangeKind::Year, QDate(9999, 6, 1));
            w->setRange(BilanzWindow::RangeKind::Free, QDate(1752, 9, 14), QDate(9999, 12, 31));
        }
        w->tabs()->setCurrentIndex(1);
        QChart* chart = child<QChartView>(*w, "calendarChart")->chart();
        EXPECT_EQ(chart->title(), row[3]);
        auto* series = qobject_cast<QBarSeries*>(chart->series().value(0));
        ASSERT_NE(series, nullptr);
        EXPECT_EQ(series->barSets().value(0)->count(), bars);
        // Labels under the bars however many there are; months by whole years.
        const QStringList labels = shown(*w, "calendarChart", 0, 1).split(u' ');
        EXPECT_TRUE(labels.size() > 1 || bars == 1) << labels.size();
        EXPECT_TRUE(bars != 120 || labels.filter(QRegularExpression(u"^01/"_s)) == labels);
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
    const QStringList cells = {shown(*w, "replanReasons", 0, 2), shown(*w, "replanReasons", 0, 3),
                               shown(*w, "replanReasons", 1, 2), shown(*w, "replanReasons", 1, 3)};
    EXPECT_EQ(cells, (QStringList{u"1"_s, u"(none)"_s, u"(none)"_s, u"1"_s}));
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
    w->setRange(BilanzWindow::RangeKind::Free, QDate(2025, 11, 27), QDate(2025, 12, 3));
    for (const bool ok : {true, false}) {
        const QString path = folder.filePath(ok ? u"export.csv"_s : u"no/such/folder/x.csv"_s);
        SCOPED_TRACE(path.toStdString());
        w->startExport(path, evaluation::ExportFormat::Csv);
        // The command has returned with the export still under way and the button blocked.
        EXPECT_TRUE(w->exportRunning() && !button->isEnabled());
        ASSERT_TRUE(finished.wait(10000));
        EXPECT_EQ(finished.takeFirst().value(0).toBool(), ok);
        EXPECT_TRUE(button->isEnabled() && !w->exportRunning());
        auto* box = w->findChild<QMessageBox*>(u"exportError"_s);
        ASSERT_EQ(box != nullptr, !ok);
        if (box) {
            EXPECT_TRUE(box->text().contains(path)) << box->text().toStdString();
            box->close();
        }
    }
    EXPECT_EQ(w->suggestedExportPath(), QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) +
                                            u"/bilanz_2025-11-27_2025-12-01.csv"_s);
    // The range ends two days after today: the export stops at today.
    const QByteArray expected = readBytes(QStringLiteral(BILANZBLICK_TEST_DATA "/export_days.csv"));
    EXPECT_EQ(readBytes(folder.filePath(u"export.csv"_s)), expected.left(expected.indexOf("2025-12-02")));

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
    const std::pair<QString, QString> cases[] = {
        {folder.filePath(QString()), u"Der Pfad ist ein Ordner."_s},
        {u"/dev/null"_s, u"Der Pfad ist keine gewöhnliche Datei."_s},
    };
    for (const auto& [path, reason] : cases) {
        const auto w = open(path);
        EXPECT_TRUE(w->showsEmptyState());
        const QString text = shown(*w, "emptyState");
        EXPECT_TRUE(text.contains(reason) && text.contains(path)) << text.toStdString();
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
