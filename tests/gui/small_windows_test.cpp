// The small windows: reminder, first-start hint, about window and debug viewer, and how the
// Planning window's help menu reaches them.

#include "taktplan_version.h"
#include "tf_debugger.h"
#include "tf_hinweis_erster_start.h"
#include "tf_reminder.h"
#include "tf_ueber.h"
#include "window_fixture.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

using namespace Qt::StringLiterals;

namespace {

template <typename T = QWidget> T* child(const QWidget& w, const char* name) {
    T* found = w.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

QPoint screenCentreFor(const QWidget& w) {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    return {screen.x() + screen.width() / 2 - w.frameGeometry().width() / 2,
            screen.y() + screen.height() / 2 - w.frameGeometry().height() / 2};
}

TEST(Reminder, LayoutFollowsEverySizeAboveTheSmallestAndTheLatestTextShows) {
    TFReminder reminder;
    EXPECT_TRUE(reminder.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(reminder.size(), QSize(403, 178));
    auto* memo = child<QPlainTextEdit>(reminder, "mmo1");
    auto* ok = child<QPushButton>(reminder, "btnOkay");
    ASSERT_TRUE(memo && ok);
    EXPECT_EQ(ok->text(), u"Ok"_s);
    reminder.show();

    const struct {
        QSize asked, got;
    } sizes[] = {
        {{403, 178}, {403, 178}}, {{640, 301}, {640, 301}}, {{120, 40}, {300, 100}}, {{301, 99}, {301, 100}}};
    for (const auto& row : sizes) {
        reminder.resize(row.asked);
        const int w = row.got.width(), h = row.got.height();
        EXPECT_EQ(reminder.size(), row.got) << row.asked.width();
        EXPECT_EQ(ok->geometry(), QRect(w / 2 - 81 / 2, h - 27 - 5, 81, 27)) << w << "x" << h;
        EXPECT_EQ(memo->geometry(), QRect(0, 0, w, h - 27 - 10)) << w << "x" << h;
    }

    const struct {
        QString caption, text;
    } shows[] = {
        {u"Pause"_s, u"Wäsche aufhängen"_s},
        {u"Aufgabenwechsel vorbereiten"_s, u"In der nächsten Einheit steht eine andere Aufgabe an."_s},
        {u"Taktplan - Fehler"_s, u"Zeile 1\nZeile 2"_s}};
    for (const auto& row : shows) {
        reminder.move(3, 3);
        reminder.ShowReminder(row.caption, row.text);
        EXPECT_TRUE(reminder.isVisible());
        EXPECT_EQ(reminder.windowTitle() + u'|' + reminder.text(), row.caption + u'|' + row.text);
        EXPECT_EQ(reminder.pos(), screenCentreFor(reminder)) << row.caption.toStdString();
    }
    QTest::keyClick(memo, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(memo->textCursor().selectedText(), u"Zeile 1\u2029Zeile 2"_s);
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_FALSE(reminder.isVisible());

    // It comes up without taking the keyboard from the window the user types in; Enter and Esc
    // close it.
    QWidget elsewhere;
    elsewhere.show();
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        QApplication::setActiveWindow(&elsewhere);
        reminder.ShowReminder(u"Pause"_s, u"Kaffee"_s);
        QTest::qWait(20);
        EXPECT_EQ(QApplication::activeWindow(), &elsewhere) << key;
        QTest::keyClick(memo, key);
        EXPECT_FALSE(reminder.isVisible()) << key;
    }
}

// A frameless strip where the Timer window would be.
struct HintTest : ::testing::Test {
    HintTest() {
        timer.setGeometry(300, 200, 128, 18);
        timer.show();
    }
    QWidget timer{nullptr, Qt::Tool | Qt::FramelessWindowHint};
    TFHinweisErsterStart hint{&timer};
};

TEST_F(HintTest, ArrowBlinksBesideTheTimerFollowsItAndGivesWayToTheInstructions) {
    QWidget* arrow = child(hint, "lblPfeil");
    QWidget* panel = child(hint, "pnlHinweise");
    auto* tmr1 = hint.findChild<QTimer*>(u"tmr1"_s);
    ASSERT_TRUE(arrow && panel && tmr1);
    EXPECT_TRUE(hint.testAttribute(Qt::WA_TranslucentBackground));

    for (int round = 0; round < 2; ++round) {
        timer.move(300, 200);
        hint.show();
        EXPECT_TRUE(tmr1->isActive());
        EXPECT_EQ(tmr1->interval(), 400);
        EXPECT_EQ(hint.pos(), QPoint(300, 228));
        EXPECT_EQ(arrow->x(), 128 - 5);
        EXPECT_TRUE(arrow->isVisible());
        EXPECT_FALSE(panel->isVisible());
        // Only the arrow is there, and not even for the mouse.
        EXPECT_TRUE(hint.windowFlags().testFlag(Qt::WindowTransparentForInput));
        EXPECT_TRUE(hint.mask().contains(arrow->pos() + QPoint(30, 30)));
        EXPECT_FALSE(hint.mask().contains(arrow->pos() + QPoint(130, 12)));
        EXPECT_FALSE(hint.mask().contains(QPoint(5, 5)));
        // Eight ticks toggle the arrow; the ninth shows the instructions. Between ticks the
        // Timer window is dragged: the hint follows.
        const bool arrowAfter[] = {false, true, false, true, false, true, false, true};
        for (int tick = 0; tick < 8; ++tick) {
            timer.move(310 + 20 * tick, 150 + tick);
            hint.tmr1Timer();
            EXPECT_EQ(arrow->isVisible(), arrowAfter[tick]) << "tick " << tick + 1;
            EXPECT_EQ(hint.pos(), QPoint(310 + 20 * tick, 150 + tick + 18 + 10)) << "tick " << tick + 1;
            EXPECT_FALSE(panel->isVisible());
        }
        hint.tmr1Timer();
        EXPECT_TRUE(hint.showsInstructions());
        EXPECT_TRUE(hint.isVisible());
        EXPECT_TRUE(panel->isVisible());
        EXPECT_FALSE(arrow->isVisible());
        EXPECT_FALSE(tmr1->isActive());
        EXPECT_FALSE(hint.windowFlags().testFlag(Qt::WindowTransparentForInput));
        EXPECT_TRUE(hint.mask().isEmpty());
        EXPECT_EQ(hint.size(), panel->size());
        EXPECT_GE(panel->width(), 213);
        EXPECT_GE(panel->height(), 129);
        // Every line readable whole: nothing wraps or runs out of the memo.
        auto* memo = child<QPlainTextEdit>(hint, "mmoAnleitung");
        const QStringList lines = memo->toPlainText().split(u'\n');
        EXPECT_EQ(lines.size(), 7);
        for (const QString& line : lines)
            EXPECT_LT(memo->fontMetrics().horizontalAdvance(line), memo->viewport()->width())
                << line.toStdString();
        EXPECT_LE(7 * memo->fontMetrics().lineSpacing(), memo->viewport()->height());
        QTest::mouseClick(child<QPushButton>(hint, "btnOk"), Qt::LeftButton);
        EXPECT_FALSE(hint.isVisible());
        EXPECT_FALSE(tmr1->isActive());
    }
}

TEST_F(HintTest, RealTimerRunsTheWholeSequence) {
    hint.show();
    QTRY_VERIFY_WITH_TIMEOUT(hint.showsInstructions(), 6000);
}

TEST_F(HintTest, ArrowIsDrawnRedPointingUpAndLeft) {
    QWidget* arrow = child(hint, "lblPfeil");
    ASSERT_TRUE(arrow);
    QImage image(arrow->size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    arrow->render(&image, {}, {}, QWidget::DrawChildren);
    const struct {
        QPoint at;
        bool red;
    } pixels[] = {{{30, 30}, true},   {{72, 72}, true},   {{115, 115}, true}, {{4, 4}, false},
                  {{130, 12}, false}, {{12, 130}, false}, {{140, 140}, false}};
    for (const auto& p : pixels) {
        const QColor c = image.pixelColor(p.at);
        EXPECT_EQ(c.alpha() == 255 && c.red() > 200 && c.green() < 40, p.red) << p.at.x() << "," << p.at.y();
    }
}

TEST(About, TitleCarriesTheVersionLinksOpenTheirAddressesAndEscapeCloses) {
    FakeShell shell;
    // The technique has no address: its line stays plain text.
    TFUeber about(shell, TFUeber::Links{u"https://taktplan.test/"_s, {}});
    about.show();
    EXPECT_EQ(about.windowTitle(), u"Über Taktplan "_s + QString::fromLatin1(TAKTPLAN_VERSION));
    EXPECT_EQ(about.size(), QSize(277, 313));
    for (const char* line : {"lblProgramm", "lblTechnik"})
        EXPECT_TRUE(child<QLabel>(about, line)->alignment().testFlag(Qt::AlignHCenter)) << line;
    EXPECT_TRUE(child<QLabel>(about, "lblTechnik")->text().contains(u"Dezuzedu"_s));
    for (const auto& [link, hand] :
         {std::pair("lblProgrammLink", true), std::pair("lblTechnikLink", false)}) {
        auto* label = child<QLabel>(about, link);
        EXPECT_EQ(label->cursor().shape() == Qt::PointingHandCursor, hand) << link;
        QTest::mouseClick(label, Qt::LeftButton);
    }
    EXPECT_EQ(shell.addresses, QStringList{u"https://taktplan.test/"_s});

    auto* quote = child<QPlainTextEdit>(about, "mmo1");
    EXPECT_TRUE(quote->isReadOnly());
    // The quotation is centred: every line has as much room on its left as on its right.
    const QTextLayout* layout = quote->document()->firstBlock().layout();
    ASSERT_GE(layout->lineCount(), 2);
    for (int i = 0; i < layout->lineCount(); ++i) {
        const QTextLine line = layout->lineAt(i);
        EXPECT_NEAR(line.naturalTextRect().left() - line.x(), (line.width() - line.naturalTextWidth()) / 2, 1)
            << i;
    }
    QTest::keyClick(quote, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(quote->textCursor().selectedText(), quote->toPlainText());
    for (QWidget* target :
         {static_cast<QWidget*>(quote), static_cast<QWidget*>(child(about, "btnSchliessen")),
          static_cast<QWidget*>(&about)}) {
        about.show();
        QTest::keyClick(target, Qt::Key_Escape);
        EXPECT_FALSE(about.isVisible()) << target->objectName().toStdString();
    }
    about.show();
    QTest::mouseClick(child<QPushButton>(about, "btnSchliessen"), Qt::LeftButton);
    EXPECT_FALSE(about.isVisible());
}

using DebuggerTest = WindowTest;

TEST_F(DebuggerTest, ButtonsWorkOnTheRealLogAndTheMemoFollowsTheDebugText) {
    bool keeping = false;
    TFDebugger debugger(records, shell, [&keeping] { return keeping; });
    EXPECT_EQ(child<QPlainTextEdit>(debugger, "mmoDebugLog")->toPlainText(), u"==="_s);
    EXPECT_TRUE(debugger.findChild<QTimer*>(u"tmrRefreshDebugLog"_s)->isActive());
    debugger.show();
    const QString logPath = records.settings.LogDateiPfad;

    // "Test" with the time stamp, into the file and the line list.
    QTest::mouseClick(child<QPushButton>(debugger, "btn3"), Qt::LeftButton);
    EXPECT_EQ(data.read(u"Dezuzedu.log"_s), QByteArray("\r\nMo, 07.12.2026 09:00 Test"));
    EXPECT_EQ(records.activityLog.lines().last(), u"Mo, 07.12.2026 09:00 Test"_s);
    // A change made outside comes in on loading.
    data.write(u"Dezuzedu.log"_s, "\r\nMo, 07.12.2026 08:00|25 Von außen");
    QTest::mouseClick(child<QPushButton>(debugger, "btn2"), Qt::LeftButton);
    EXPECT_EQ(records.activityLog.lines().last(), u"Mo, 07.12.2026 08:00|25 Von außen"_s);
    QTest::mouseClick(child<QPushButton>(debugger, "btnLogDateiExternOeffnen"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>(debugger, "btnGespeicherteDebugLogs"), Qt::LeftButton);
    EXPECT_EQ(shell.files, QStringList({logPath, data.filePath(u"debug_log.txt"_s)}));

    auto* memo = child<QPlainTextEdit>(debugger, "mmoDebugLog");
    auto* label = child<QLabel>(debugger, "lblFTimerTmrVordergrund");
    QSignalSpy replaced(memo, &QPlainTextEdit::textChanged);
    const struct {
        bool keeping;
        const char* addLine;  // nullptr: the debug text stays as it is
        const char* typeText; // typed into the memo by hand first
        int replacements;
        QString label;
    } ticks[] = {{false, nullptr, nullptr, 1, u"FTimer.tmrVordergrund läuft NICHT."_s},
                 {true, nullptr, nullptr, 0, u"FTimer.tmrVordergrund läuft."_s},
                 {true, "Zeile", nullptr, 1, u"FTimer.tmrVordergrund läuft."_s},
                 {false, nullptr, "x", 1, u"FTimer.tmrVordergrund läuft NICHT."_s}};
    for (const auto& t : ticks) {
        keeping = t.keeping;
        if (t.addLine)
            records.debugLog.AddDebugLine(QString::fromLatin1(t.addLine));
        if (t.typeText) {
            memo->setFocus();
            QTest::keyClicks(memo, QString::fromLatin1(t.typeText));
        }
        replaced.clear();
        debugger.tmrRefreshDebugLogTimer();
        EXPECT_EQ(int(replaced.size()), t.replacements) << t.label.toStdString();
        EXPECT_EQ(memo->toPlainText(), QString(records.debugLog.text()).replace(u"\r\n"_s, u"\n"_s));
        EXPECT_EQ(label->text(), t.label);
    }
    EXPECT_TRUE(records.debugLog.text().contains(u"Schreibe in Log-Datei"_s));
}

TEST_F(DebuggerTest, AHugeDebugTextShowsItsEndInLinesOfBoundedLength) {
    TFDebugger debugger(records, shell, [] { return false; });
    auto* memo = child<QPlainTextEdit>(debugger, "mmoDebugLog");
    debugger.show();
    const struct {
        const char* name;
        int lines;
        qsizetype lineChars;
    } cases[] = {
        {"many lines", 30'000, 100}, {"one endless line", 1, 3'000'000}, {"a short line after", 1, 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (int i = 0; i < c.lines; ++i)
            records.debugLog.AddDebugLine(QString::number(i) + QString(c.lineChars, u'y'));
        debugger.tmrRefreshDebugLogTimer();
        const QStringList shown = memo->toPlainText().split(u'\n');
        EXPECT_LE(memo->toPlainText().size(), TFDebugger::shownChars + TFDebugger::shownLineChars + 200);
        EXPECT_TRUE(shown.first().startsWith(u"(Ältere Zeilen ausgelassen"_s));
        const QString last = records.debugLog.text().split(u"\r\n"_s).last();
        EXPECT_EQ(shown.last(), last.size() > TFDebugger::shownLineChars
                                    ? last.first(TFDebugger::shownLineChars) + QChar(0x2026)
                                    : last);
        for (const QString& line : shown)
            ASSERT_LE(line.size(), TFDebugger::shownLineChars + 1);
    }
}

TEST_F(DebuggerTest, HelpMenuShowsTheProgramsWindows) {
    open();
    QStringList shown;
    window->setHelpWindows([&] { shown.append(u"debugger"_s); }, [&] { shown.append(u"about"_s); });
    for (QAction* a : menu(u"Hilfe"_s)->actions()) {
        if (a->text() == u"Debugger anzeigen"_s || a->text() == u"Über Taktplan"_s)
            a->trigger();
    }
    EXPECT_EQ(shown, QStringList({u"debugger"_s, u"about"_s}));
}

} // namespace
