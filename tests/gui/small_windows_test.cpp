// The small windows: reminder, first-start hint, about window and debug viewer.

#include "taktplan_version.h"
#include "tf_debugger.h"
#include "tf_hinweis_erster_start.h"
#include "tf_reminder.h"
#include "tf_ueber.h"
#include "window_fixture.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>

using namespace Qt::StringLiterals;

namespace {

template <typename T = QWidget> T* child(const QWidget& w, const char* name) {
    T* found = w.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

TEST(Reminder, StaysOnTopKeepsItsButtonInSightAndShowsTheLatestTextCentred) {
    TFReminder reminder;
    EXPECT_TRUE(reminder.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    auto* memo = child<QPlainTextEdit>(reminder, "mmo1");
    auto* ok = child<QPushButton>(reminder, "btnOkay");
    ASSERT_TRUE(memo && ok);
    reminder.show();
    // Never smaller than usable; the button stays below the text, inside the window.
    for (const auto& [asked, got] :
         {std::pair(QSize(640, 301), QSize(640, 301)), std::pair(QSize(120, 40), QSize(300, 100))}) {
        reminder.resize(asked);
        EXPECT_EQ(reminder.size(), got);
        EXPECT_TRUE(reminder.rect().contains(ok->geometry()) && ok->y() > memo->geometry().bottom());
    }
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    for (const auto& [caption, text] : {std::pair(u"Pause"_s, u"Wäsche aufhängen"_s),
                                        std::pair(u"Taktplan - Fehler"_s, u"Zeile 1\nZeile 2"_s)}) {
        reminder.move(3, 3);
        reminder.ShowReminder(caption, text);
        EXPECT_TRUE(reminder.isVisible());
        EXPECT_EQ(reminder.windowTitle() + u'|' + reminder.text(), caption + u'|' + text);
        const QSize frame = reminder.frameGeometry().size();
        EXPECT_EQ(reminder.pos(), QPoint(screen.x() + screen.width() / 2 - frame.width() / 2,
                                         screen.y() + screen.height() / 2 - frame.height() / 2));
    }
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
    for (int round = 0; round < 2; ++round) {
        timer.move(300, 200);
        hint.show();
        EXPECT_TRUE(tmr1->isActive() && arrow->isVisible() && !panel->isVisible());
        EXPECT_EQ(hint.pos(), QPoint(300, 228));
        // Only the arrow is there, and not even for the mouse.
        EXPECT_TRUE(hint.windowFlags().testFlag(Qt::WindowTransparentForInput));
        EXPECT_TRUE(hint.mask().contains(arrow->pos() + QPoint(30, 30)));
        EXPECT_FALSE(hint.mask().contains(arrow->pos() + QPoint(130, 12)));
        // Eight ticks toggle the arrow; the ninth shows the instructions. Between ticks the
        // Timer window is dragged: the hint follows.
        for (int tick = 0; tick < 8; ++tick) {
            timer.move(310 + 20 * tick, 150 + tick);
            QMetaObject::invokeMethod(tmr1, "timeout");
            EXPECT_EQ(arrow->isVisible(), tick % 2 == 1) << "tick " << tick + 1;
            EXPECT_EQ(hint.pos(), QPoint(310 + 20 * tick, 150 + tick + 18 + 10)) << "tick " << tick + 1;
        }
        QMetaObject::invokeMethod(tmr1, "timeout");
        EXPECT_TRUE(hint.isVisible() && panel->isVisible() && !arrow->isVisible() && !tmr1->isActive());
        EXPECT_FALSE(hint.windowFlags().testFlag(Qt::WindowTransparentForInput));
        EXPECT_TRUE(hint.mask().isEmpty());
        EXPECT_EQ(hint.size(), panel->size());
        // Every line readable whole: nothing wraps or runs out of the memo.
        auto* memo = child<QPlainTextEdit>(hint, "mmoAnleitung");
        const QStringList lines = memo->toPlainText().split(u'\n');
        EXPECT_EQ(lines.size(), 7);
        for (const QString& line : lines)
            EXPECT_LT(memo->fontMetrics().horizontalAdvance(line), memo->viewport()->width())
                << line.toStdString();
        EXPECT_LE(7 * memo->fontMetrics().lineSpacing(), memo->viewport()->height());
        QTest::mouseClick(child<QPushButton>(hint, "btnOk"), Qt::LeftButton);
        EXPECT_FALSE(hint.isVisible() || tmr1->isActive());
    }
    // The real timer runs the whole sequence.
    hint.show();
    QTRY_VERIFY_WITH_TIMEOUT(panel->isVisible(), 6000);
}

TEST(About, TitleCarriesTheVersionLinksOpenTheirAddressesAndEscapeCloses) {
    FakeShell shell;
    // The technique has no address: its line stays plain text.
    TFUeber about(shell, TFUeber::Links{u"https://taktplan.test/"_s, {}});
    about.show();
    EXPECT_EQ(about.windowTitle(), u"Über Taktplan "_s + QString::fromLatin1(TAKTPLAN_VERSION));
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
    for (QWidget* target :
         {static_cast<QWidget*>(quote), child(about, "btnSchliessen"), static_cast<QWidget*>(&about)}) {
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
    auto* memo = child<QPlainTextEdit>(debugger, "mmoDebugLog");
    auto* refresh = debugger.findChild<QTimer*>(u"tmrRefreshDebugLog"_s);
    EXPECT_EQ(memo->toPlainText(), u"==="_s);
    EXPECT_TRUE(refresh->isActive());
    debugger.show();
    const auto click = [&debugger](const char* name) {
        QTest::mouseClick(child<QPushButton>(debugger, name), Qt::LeftButton);
    };
    // "Test" with the time stamp, into the file and the line list.
    click("btn3");
    EXPECT_EQ(data.read(u"Dezuzedu.log"_s), QByteArray("\r\nMo, 07.12.2026 09:00 Test"));
    EXPECT_EQ(records.activityLog.lines().last(), u"Mo, 07.12.2026 09:00 Test"_s);
    // A change made outside comes in on loading.
    data.write(u"Dezuzedu.log"_s, "\r\nMo, 07.12.2026 08:00|25 Von außen");
    click("btn2");
    EXPECT_EQ(records.activityLog.lines().last(), u"Mo, 07.12.2026 08:00|25 Von außen"_s);
    click("btnLogDateiExternOeffnen");
    click("btnGespeicherteDebugLogs");
    EXPECT_EQ(shell.files, QStringList({records.settings.LogDateiPfad, data.filePath(u"debug_log.txt"_s)}));

    QSignalSpy replaced(memo, &QPlainTextEdit::textChanged);
    // Foreground keeping on, a debug line added, typed into the memo first -> the memo replaced.
    // clang-format off
    const bool ticks[][4] = {{false, false, false, true}, {true, false, false, false}, {true, true, false, true}, {false, false, true, true}};
    // clang-format on
    for (const auto& [keep, addLine, typed, replacement] : ticks) {
        keeping = keep;
        if (addLine)
            records.debugLog.AddDebugLine(u"Zeile"_s);
        if (typed) {
            memo->setFocus();
            QTest::keyClicks(memo, u"x"_s);
        }
        replaced.clear();
        QMetaObject::invokeMethod(refresh, "timeout");
        EXPECT_EQ(int(replaced.size()), replacement ? 1 : 0);
        EXPECT_EQ(memo->toPlainText(), QString(records.debugLog.text()).replace(u"\r\n"_s, u"\n"_s));
        EXPECT_EQ(child<QLabel>(debugger, "lblFTimerTmrVordergrund")->text().endsWith(u"NICHT."_s), !keep);
    }

    // A huge debug text shows its end, in lines of bounded length.
    for (const auto& [lines, lineChars] :
         {std::pair(30'000, 100), std::pair(1, 3'000'000), std::pair(1, 3)}) {
        SCOPED_TRACE(lineChars);
        for (int i = 0; i < lines; ++i)
            records.debugLog.AddDebugLine(QString::number(i) + QString(lineChars, u'y'));
        QMetaObject::invokeMethod(refresh, "timeout");
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

} // namespace
