// How the plan list colours a row, and editing the plan in the Planning window as a user does: typing into
// the input field, keys and typed characters in the plan list, the dialogs they ask, double-click and
// dragging rows, and the "Datei" commands that keep the plan on disk.

#include "activity_log.h"
#include "plan_table_model.h"
#include "text_file.h"
#include "window_fixture.h"

#include <QDrag>
#include <QDropEvent>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QPalette>
#include <QTimer>

namespace {

using namespace Qt::StringLiterals;
using Kind = ScriptedUi::Kind;

TEST(PlanTableModelTest, RowColoursFollowStatusConflictDateModeAndKind) {
    const QColor none, done = PlanTableModel::finishedColor, running = PlanTableModel::runningColor,
                       conflict = PlanTableModel::conflictColor, tomorrow = PlanTableModel::tomorrowColor,
                       later = PlanTableModel::laterColor;
    // Foreground of the start, end and task cells: g grey, t text, p the pause colour.
    const struct {
        const char *status, *date, *mark, *modeKind;
        QColor background;
        const char* foreground;
    } cases[] = {
        // clang-format off
        {" ", "07.12.2026", "", "RE", none, "ggt"}, {"x", "07.12.2026", "", "FE", done, "ttt"},
        {"FERTIG2", "07.12.2026", "", "RE", done, "ggt"}, {"FERTIG1", "07.12.2026", "", "RE", running, "ggt"},
        {"WIP", "07.12.2026", "", "RP", running, "ggp"}, {" ", "07.12.2026", "E", "RE", conflict, "ggt"},
        {"WIP", "07.12.2026", "E", "RE", conflict, "ggt"}, {" ", "08.12.2026", "", "RE", tomorrow, "ggt"},
        {"x", "08.12.2026", "", "FP", tomorrow, "ttp"}, {" ", "08.12.2026", "E", "RE", conflict, "ggt"},
        {" ", "09.12.2026", "", "RE", later, "ggt"}, {"WIP", "09.12.2026", "", "RE", later, "ggt"},
        {"x", "06.12.2026", "", "RE", done, "ggt"}, {"WIP", "kaputt", "", "RE", running, "ggt"},
        // Tomorrow is told by its text: written another way it is neither blue nor later.
        {" ", "8.12.2026", "", "RE", none, "ggt"}, {" ", "9.12.2026", "", "RE", later, "ggt"},
        // clang-format on
    };
    const QPalette palette = QGuiApplication::palette();
    const QHash<char, QColor> colours{{'g', QColor(128, 128, 128)},
                                      {'t', palette.color(QPalette::Active, QPalette::Text)},
                                      {'p', palette.color(QPalette::Active, QPalette::Highlight)}};
    FakeClock clock;
    Settings settings;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.status) + c.date + c.mark + c.modeKind);
        Worklist plan(clock, settings);
        plan.AddEntry(QString(), false, clock.localNow(), 25, false, QStringLiteral(" "));
        const auto s = [](const char* text) { return QString::fromLatin1(text); };
        plan.editEntry(0) =
            PlanEntry{s("1"),  s("09:00"),  s("09:25"), s("a"),   s(c.modeKind).left(1), s(c.modeKind).mid(1),
                      s("25"), s(c.status), s(c.date),  s(c.mark)};
        PlanTableModel model(plan, clock);
        QList<QColor> background, foreground{QColor()};
        for (int col = 0; col < PlanTableModel::ColumnCount; ++col)
            background.append(model.index(0, col).data(Qt::BackgroundRole).value<QColor>());
        for (const char f : std::string(c.foreground))
            foreground.append(colours.value(f));
        EXPECT_EQ(background, QList<QColor>(4, c.background));
        for (int col = 0; col < PlanTableModel::ColumnCount; ++col)
            EXPECT_EQ(model.index(0, col).data(Qt::ForegroundRole).value<QColor>(), foreground.at(col))
                << col;
    }
}

class ListEditingTest : public WindowTest {
protected:
    // Finished unit, relative units A and B, a titled pause and a fixed unit tomorrow:
    // Fertig 08:00, A 09:00-09:25, B 09:30-09:55, pause 09:55-10:05, Morgen 08:30 tomorrow.
    void openPlan() {
        QFile::remove(data.filePath(u"worklist.log"_s));
        open();
        addFixed(u"Fertig"_s, QTime(8, 0), "x");
        for (const QString& title : {u"A"_s, u"B"_s})
            plan->AddEntry(title, false, plantime::now(clock), 25, false, u" "_s);
        plan->AddEntry(u"Tee"_s, true, plantime::now(clock), 10, false, u" "_s);
        addFixed(u"Morgen"_s, QTime(8, 30), " ", 1);
        window->savePlan();
    }
    int rowOf(const QString& title) const {
        for (int r = 0; r < entries().size(); ++r) {
            if (entries().at(r).displayText == title)
                return r;
        }
        return -1;
    }
    // Selects the rows with these titles (the first one current) and puts the focus into the list.
    void select(const QStringList& titlesToSelect) {
        list()->setFocus(Qt::OtherFocusReason);
        list()->selectionModel()->clearSelection();
        if (!titlesToSelect.isEmpty())
            list()->selectionModel()->setCurrentIndex(
                list()->model()->index(rowOf(titlesToSelect.first()), 0), QItemSelectionModel::NoUpdate);
        for (const QString& t : titlesToSelect)
            list()->selectionModel()->select(list()->model()->index(rowOf(t), 0),
                                             QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    QString titlesNow() const {
        QStringList out;
        for (const PlanEntry& e : entries())
            out.append(e.displayText);
        return out.join(u'|');
    }
    // start|end|mode|minutes|date of one entry.
    QString fields(const QString& title) const {
        const PlanEntry& e = entries().at(rowOf(title));
        return QStringList{e.startTime, e.endTime, e.startMode, e.duration, e.date}.join(u'|');
    }
    // As the mouse does it: a press and release, then the second press.
    void doubleClick(const QString& title) const {
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, rowCentre(title));
        QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, rowCentre(title));
    }
    QString show(const QString& what) const {
        if (what == u"*"_s || what == u"*@"_s)
            return titlesNow() +
                   (what == u"*@"_s ? u" @"_s + QString::number(list()->currentIndex().row()) : QString());
        if (what == u"col"_s)
            return QString::number(list()->currentIndex().column());
        if (what == u"msg"_s)
            return ui.messages.join(u'/');
        if (what == u"shown"_s)
            return window->isVisible() ? u"yes"_s : u"no"_s;
        return fields(what);
    }
    QPoint rowCentre(const QString& title) const {
        return list()->visualRect(list()->model()->index(rowOf(title), PlanTableModel::TaskColumn)).center();
    }
};

const QString startPrompt =
    u"Geben Sie die neue (feste) Startzeit ein.\n\nWenn die Einheit stattdessen unmittelbar nach der "
    "vorherigen beginnen soll, löschen Sie den vorgegebenen Text und lassen das Feld leer."_s;

TEST_F(ListEditingTest, EveryCommandThroughItsKey) {
    // typed: characters typed instead of the key; answer: a text dialog is expected and answered;
    // question: caption|prompt|pre-filled text; show: an entry's fields, "*" the titles, "*@" with
    // the current row, "col" the current column, "shown" visibility.
    // clang-format off
    const struct { const char* what; QStringList select; QKeyCombination key; const char *typed, *answer; QString question; const char* show; QString want; bool saved; } cases[] = {
        {"F2 renames", {u"A"_s}, Qt::Key_F2, nullptr, "Neu", u"Aufgabenbeschreibung ändern|Neue Aufgabenbeschreibung?|A"_s, "*", u"Fertig|Neu|B|Pause: 10 min (Tee)|Morgen"_s, true},
        {"F3 fixes the first selected start", {u"B"_s, u"A"_s}, Qt::Key_F3, nullptr, "11:00", u"Startzeit ändern|"_s + startPrompt + u"|09:00"_s, "A", u"11:00|11:25|F|25|07.12.2026"_s, false},
        {"F4 makes a start relative", {u"Morgen"_s}, Qt::Key_F4, nullptr, nullptr, {}, "Morgen", u"10:05|10:30|R|25|07.12.2026"_s, true},
        {"Ctrl+F3 dates", {u"B"_s}, Qt::CTRL | Qt::Key_F3, nullptr, "24.12.2026", u"Datum ändern|Geben Sie das neue Datum ein, an dem diese Einheit beginnen soll.|07.12.2026"_s, "B", u"09:30|09:55|F|25|24.12.2026"_s, false},
        {"Ctrl+F4 dates today", {u"Morgen"_s}, Qt::CTRL | Qt::Key_F4, nullptr, nullptr, {}, "Morgen", u"10:05|10:30|R|25|07.12.2026"_s, true},
        {"F6 sets the length", {u"A"_s, u"B"_s}, Qt::Key_F6, nullptr, "40", u"Dauer ändern|Bitte geben Sie die neue Dauer dieses Items (in min) ein.|25"_s, "B", u"09:45|10:25|R|40|07.12.2026"_s, true},
        {"F6 refuses a unit of no time", {u"B"_s}, Qt::Key_F6, nullptr, "0", u"Dauer ändern|Bitte geben Sie die neue Dauer dieses Items (in min) ein.|25"_s, "msg", u"Eine Einheit dauert mindestens eine Minute. Die Dauer bleibt, wie sie war."_s, false},
        {"typed k", {u"B"_s}, Qt::Key_unknown, "k", nullptr, {}, "B", u"09:31|09:56|F|25|07.12.2026"_s, false},
        {"plus", {u"B"_s}, Qt::Key_Plus, nullptr, nullptr, {}, "B", u"09:31|09:56|F|25|07.12.2026"_s, false},
        {"plus of the keypad", {u"B"_s}, Qt::KeypadModifier | Qt::Key_Plus, nullptr, nullptr, {}, "B", u"09:31|09:56|F|25|07.12.2026"_s, false},
        {"typed m", {u"B"_s}, Qt::Key_unknown, "m", nullptr, {}, "B", u"09:29|09:54|F|25|07.12.2026"_s, false},
        {"minus of the keypad", {u"B"_s}, Qt::KeypadModifier | Qt::Key_Minus, nullptr, nullptr, {}, "B", u"09:29|09:54|F|25|07.12.2026"_s, false},
        {"divide of the keypad", {u"B"_s}, Qt::KeypadModifier | Qt::Key_Slash, nullptr, nullptr, {}, "B", u"09:29|09:54|F|25|07.12.2026"_s, false},
        {"Ctrl+Down", {u"A"_s}, Qt::CTRL | Qt::Key_Down, nullptr, nullptr, {}, "*@", u"Fertig|B|A|Pause: 10 min (Tee)|Morgen @2"_s, true},
        {"Ctrl+Up moves a block", {u"B"_s, u"Pause: 10 min (Tee)"_s}, Qt::CTRL | Qt::Key_Up, nullptr, nullptr, {}, "*@", u"Fertig|B|Pause: 10 min (Tee)|A|Morgen @1"_s, true},
        {"Right does nothing", {u"A"_s}, Qt::Key_Right, nullptr, nullptr, {}, "col", u"0"_s, false},
        {"Esc without a running plan", {u"A"_s}, Qt::Key_Escape, nullptr, nullptr, {}, "shown", u"yes"_s, false},
    };
    // clang-format on
    for (const auto& c : cases) {
        openPlan();
        ASSERT_EQ(titlesNow(), u"Fertig|A|B|Pause: 10 min (Tee)|Morgen"_s);
        select(c.select);
        if (c.answer)
            ui.answer(Kind::Text, QString::fromUtf8(c.answer));
        ui.questions.clear();
        ui.messages.clear();
        const QByteArray before = savedPlan();
        if (c.typed)
            type(QString::fromUtf8(c.typed));
        else
            key(c.key.key(), c.key.keyboardModifiers());
        EXPECT_EQ(ui.questions.join(u'/'), c.question) << c.what;
        EXPECT_EQ(show(QString::fromUtf8(c.show)), c.want) << c.what;
        EXPECT_EQ(savedPlan() != before, c.saved) << c.what;
    }
}

TEST_F(ListEditingTest, ShiftHoldsTheRefreshAndEscClosesWhileAPlanRuns) {
    openPlan();
    select({u"A"_s});
    QTest::keyPress(list(), Qt::Key_Shift);
    EXPECT_FALSE(timer(u"tmrUpdate"_s)->isActive());
    QTest::keyRelease(list(), Qt::Key_Shift);
    EXPECT_TRUE(timer(u"tmrUpdate"_s)->isActive());

    // While a plan runs the list's nudges are off with its menu, and Esc closes the window.
    engine.isActive = true;
    window->updateRunState([](RunState& s) { s.listMenuAllItems = false; });
    const QString before = fields(u"B"_s);
    select({u"B"_s});
    type(u"km-"_s);
    EXPECT_EQ(fields(u"B"_s), before);
    bool ended = false;
    QObject::connect(window.get(), &TFWorklist::terminateRequested, [&] { ended = true; });
    key(Qt::Key_Escape);
    EXPECT_TRUE(!window->isVisible() && ended);
}

TEST_F(ListEditingTest, DoubleClickRenamesAndOnlyOurOwnRowsDropOnlyWhileMouseEditing) {
    openPlan();
    ui.answer(Kind::Text, u"Neu"_s);
    doubleClick(u"Morgen"_s);
    EXPECT_EQ(titlesNow(), u"Fertig|A|B|Pause: 10 min (Tee)|Neu"_s);
    select({u"A"_s, u"Pause: 10 min (Tee)"_s});
    const auto dropAt = [this](const QString& title, QMimeData* mime) {
        const QPoint at = rowCentre(title);
        QDragEnterEvent enter(at, Qt::CopyAction, mime, Qt::LeftButton, {});
        QApplication::sendEvent(list()->viewport(), &enter);
        QDropEvent drop(QPointF(at), Qt::CopyAction, mime, Qt::LeftButton, {});
        QApplication::sendEvent(list()->viewport(), &drop);
        return enter.isAccepted() && drop.isAccepted();
    };
    const std::unique_ptr<QMimeData> ours(
        list()->model()->mimeData(list()->selectionModel()->selectedIndexes()));
    QMimeData foreign;
    foreign.setText(u"A"_s);
    const QByteArray before = savedPlan();
    EXPECT_FALSE(dropAt(u"B"_s, &foreign));
    EXPECT_EQ(titlesNow(), u"Fertig|A|B|Pause: 10 min (Tee)|Neu"_s);
    // Dropped onto B they go before it, saved, and stay selected.
    EXPECT_TRUE(dropAt(u"B"_s, ours.get()));
    EXPECT_EQ(titlesNow(), u"Fertig|A|Pause: 10 min (Tee)|B|Neu"_s);
    EXPECT_NE(savedPlan(), before);
    EXPECT_EQ(selectedRows(), 2);
    // Without mouse editing (the window was hidden after a start) a double-click asks nothing.
    window->updateRunState([](RunState& s) { s.mouseEditing = false; });
    doubleClick(u"A"_s);
    EXPECT_FALSE(dropAt(u"A"_s, ours.get()));
    EXPECT_EQ(titlesNow(), u"Fertig|A|Pause: 10 min (Tee)|B|Neu"_s);
}

TEST_F(ListEditingTest, ADragOfRowsBeginsOnlyWhileMouseEditingIsOn) {
    openPlan();
    QWidget* viewport = list()->viewport();
    // Presses a row and moves well past the drag distance; true when a drag began (it is
    // cancelled at once, so nothing drops).
    const auto dragBegins = [&] {
        bool began = false;
        QTimer::singleShot(0, list(), [&] {
            if (list()->findChild<QDrag*>()) {
                began = true;
                QDrag::cancel();
            }
        });
        const QPointF from = rowCentre(u"A"_s);
        const QPointF to = from + QPointF(0, 3 * QApplication::startDragDistance() + 20);
        // The first move makes the view ready to drag, the next one begins the drag.
        for (const auto& [type, at, button, held] :
             {std::tuple(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton),
              std::tuple(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton),
              std::tuple(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton),
              std::tuple(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton)}) {
            QMouseEvent event(type, at, viewport->mapToGlobal(at), button, held, {});
            QApplication::sendEvent(viewport, &event);
        }
        QCoreApplication::processEvents();
        return began;
    };
    for (const bool editing : {true, false, true}) {
        window->updateRunState([&](RunState& s) { s.mouseEditing = editing; });
        EXPECT_EQ(dragBegins(), editing) << editing;
        EXPECT_EQ(titlesNow(), u"Fertig|A|B|Pause: 10 min (Tee)|Morgen"_s);
    }
}

class EntryInputTest : public WindowTest {
protected:
    // An activity log with finished units, newest last.
    void writeLog(const QStringList& titles) {
        QString text;
        QDateTime t(QDate(2026, 12, 4), QTime(8, 0), Qt::UTC);
        for (const QString& title : titles) {
            text += ActivityLog::unitLine(t, 25, title) + ActivityLog::finishMark();
            t = t.addSecs(30 * 60);
        }
        ASSERT_TRUE(textfile::writeText(records.settings.LogDateiPfad, text));
        ASSERT_TRUE(records.activityLog.LoadLog());
    }
    // The field's text, with the selected part in brackets.
    QString fieldState() const { return edit()->text() + u" ["_s + edit()->selectedText() + u']'; }
    void showPopup() {
        field()->showPopup();
        ASSERT_TRUE(waitFor([this] { return field()->view()->isVisible(); }));
    }
};

TEST_F(EntryInputTest, EnterAppendsUnitsAndPausesThatFollowEachOther) {
    writeLog({u"Bericht"_s, u"Pläne"_s});
    open();
    for (const char* t : {"bericht", "Alpha", "alpha", "Äpfel", "p 10 Kaffee kochen"})
        enter(QString::fromUtf8(t));
    // After a unit the text stays as typed, selected, in the focused field; after a pause the
    // remembered unit title comes back, so Enter plans that unit again.
    EXPECT_EQ(fieldState(), u"Äpfel [Äpfel]"_s);
    EXPECT_EQ(focus(), field());
    key(Qt::Key_Enter); // the keypad's Enter adds as Return does
    enter(QString());
    EXPECT_EQ(shown().section(u"; "_s, 3),
              u"4|10:30|10:55|Äpfel; |10:55|11:05|Pause: 10 min (Kaffee kochen); 5|11:05|11:30|Äpfel; "
              u"6|11:35|12:00|"_s);
    EXPECT_EQ(window->windowTitle(), u"Taktplan (0/6)"_s);
    // The list stays sorted, holds an empty title once and takes what was typed exactly: neither
    // another case in the list nor a title starting alike changes it.
    enter(QString());
    EXPECT_EQ(field()->titles().join(u','), u",Alpha,alpha,Äpfel,Bericht,bericht,Pläne"_s);
    EXPECT_EQ(shown().section(u"; "_s, 0, 0), u"1|09:00|09:25|bericht"_s);
}

TEST_F(EntryInputTest, ShowingFillsTheFieldFromTheActivityLog) {
    writeLog({u"Zebra"_s, u"apfel"_s, u"Mails"_s, u"Zebra"_s, u"Bericht"_s});
    open();
    EXPECT_EQ(field()->titles().join(u','), u"apfel,Bericht,Mails,Zebra"_s);
    EXPECT_EQ(fieldState(), u"Bericht [Bericht]"_s);
    // With no unit title remembered, a pause brings back the last logged one.
    enter(u"p 5"_s);
    EXPECT_EQ(edit()->text(), u"Bericht"_s);
    // Titles added during this run are gone after hiding and showing again.
    enter(u"Neu"_s);
    window->hide();
    showActive();
    EXPECT_EQ(field()->findTitle(u"Neu"_s), -1);
    EXPECT_EQ(edit()->text(), u"Bericht"_s);
    // The first-start hint stands selected in the field and in the list.
    const QString hint = u"Hier Aufgabe eingeben und ENTER drücken"_s;
    window->showFirstStartHint();
    EXPECT_EQ(fieldState(), hint + u" ["_s + hint + u']');
    EXPECT_EQ(field()->selectedRow(), field()->findTitle(hint));
    // Given before the window is shown, it survives the showing.
    open(false);
    window->showFirstStartHint();
    showActive();
    EXPECT_EQ(edit()->text(), hint);
}

TEST_F(EntryInputTest, AddUnitAndAddPausePrepareTheField) {
    records.settings.GrossePause = 15;
    open();
    // The field set to text (none: left as it is; with Key_unknown typed into it), then Ctrl+key.
    // Nothing remembered yet: "Einheit hinzufügen" empties a pause text, and an empty field is not
    // remembered by "Pause hinzufügen". A pause text in the field leaves the remembered title
    // alone; any other text stays for "Einheit hinzufügen"; "P x" in any case is a pause text.
    // clang-format off
    const struct { const char* text; Qt::Key key; const char* field; } steps[] = {
        {"p 10", Qt::Key_E, " []"}, {nullptr, Qt::Key_P, nullptr}, {nullptr, Qt::Key_E, " []"},
        {"Bericht", Qt::Key_P, "p 15 [15]"}, {"30", Qt::Key_unknown, "p 30 []"}, {nullptr, Qt::Key_P, nullptr},
        {nullptr, Qt::Key_E, "Bericht [Bericht]"}, {"Anderes", Qt::Key_E, "Anderes [Anderes]"},
        {"P Mittag", Qt::Key_E, "Bericht [Bericht]"},
    };
    // clang-format on
    for (const auto& c : steps) {
        if (c.key == Qt::Key_unknown)
            type(QString::fromUtf8(c.text));
        else if (c.text)
            field()->setText(QString::fromUtf8(c.text));
        if (c.key != Qt::Key_unknown)
            key(c.key, Qt::ControlModifier);
        EXPECT_TRUE(!c.field || fieldState() == QString::fromUtf8(c.field)) << fieldState().toStdString();
    }
    EXPECT_TRUE(entries().isEmpty()) << "no entry is created by the two commands";
    // From the list, the keys bring the focus to the field.
    key(Qt::Key_Escape);
    ASSERT_EQ(focus(), list());
    key(Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(fieldState(), u"p 15 [15]"_s);
    EXPECT_EQ(focus(), field());
}

TEST_F(EntryInputTest, DelDeletesTextOrTheSelectedRowOfTheList) {
    writeLog({u"Alpha"_s, u"Beta"_s, u"Delta"_s, u"Gamma"_s, u"Omega"_s});
    open();
    // Text, caret position and rows of the list after Del.
    const auto del = [this] {
        key(Qt::Key_Delete);
        return edit()->text() + u'@' + QString::number(edit()->cursorPosition()) + u'#' +
               QString::number(field()->count());
    };
    // No row selected: only the character after the caret (or the selection) goes.
    field()->setText(u"Bericht"_s);
    edit()->setCursorPosition(2);
    EXPECT_EQ(del(), u"Beicht@2#5"_s);
    edit()->setSelection(1, 3);
    EXPECT_EQ(del(), u"Bht@1#5"_s);
    edit()->setCursorPosition(3);
    EXPECT_EQ(del(), u"Bht@3#5"_s);
    // A row picked with the arrow keys is the selected one until the user types.
    key(Qt::Key_Up);
    type(u"x"_s);
    EXPECT_EQ(del().section(u'#', 1), u"5"_s);
    field()->setText(QString());
    key(Qt::Key_Up);
    const QString picked = edit()->text();
    edit()->selectAll();
    EXPECT_EQ(del(), u"@0#4"_s);
    EXPECT_FALSE(field()->titles().contains(picked)) << picked.toStdString();
    EXPECT_TRUE(entries().isEmpty());

    // The dropped-down list opens on the row that reads as the field does (none when none does)
    // and Del takes the row the user sees highlighted; the list gets shorter with it.
    QAbstractItemView* view = field()->view();
    for (const auto& [text, row] :
         {std::pair(u"Gamma"_s, 2), std::pair(u"Alpha"_s, 0), std::pair(u"neu"_s, -1)}) {
        field()->setText(text);
        showPopup();
        EXPECT_EQ(view->currentIndex().row(), row) << text.toStdString();
        field()->hidePopup();
    }
    field()->setText(u"Delta"_s);
    showPopup();
    const int before = view->window()->height();
    QTest::keyClick(view, Qt::Key_Delete);
    EXPECT_FALSE(field()->titles().contains(u"Delta"_s));
    EXPECT_EQ(field()->count(), 3);
    EXPECT_TRUE(view->isVisible());
    EXPECT_LT(view->window()->height(), before);
    field()->hidePopup();
}

using PlanFileCommandsTest = WindowTest;

TEST_F(PlanFileCommandsTest, TheSavedPlanComesBackAndEveryChangeIsSavedButNeu) {
    const QByteArray saved =
        "Bericht///25\r\nB///zz\r\nPause: 15 Mittag\r\nTermin///50|||14:00 07.12.2026\r\n";
    data.write(u"worklist.log"_s, saved);
    data.write(u"lastroutine.log"_s, "Routine///25\r\nPause: 5\r\n");
    open();
    // A bad line costs only itself and is told.
    EXPECT_EQ(shown(), u"1|09:00|09:25|Bericht; |09:25|09:40|Pause: 15 min (Mittag); 2|14:00|14:50|Termin"_s);
    EXPECT_EQ(window->windowTitle(), u"Taktplan (0/2)"_s);
    EXPECT_EQ(ui.messages.size(), 1);

    enter(u"Pläne"_s);
    EXPECT_TRUE(savedPlan().contains("Pl\xe4ne///25\r\n"));
    key(Qt::Key_Escape);
    list()->selectRow(1);
    key(Qt::Key_Delete);
    EXPECT_FALSE(savedPlan().contains("Pause"));
    // "Fertige Einheiten entfernen" counts what it removed, and finished units are never saved.
    plan->editEntry(0).status = u"x"_s;
    key(Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(window->worklist().removedDoneCount(), 1);
    EXPECT_EQ(window->windowTitle(), u"Taktplan (1/3)"_s);
    const QByteArray left = savedPlan();
    EXPECT_FALSE(left.contains("Bericht"));
    // "Neu" clears the open entries without saving; "Letzten Plan laden" puts the routine in
    // their place, after the finished ones.
    addFixed(u"Fertig"_s, QTime(8, 0), "x");
    key(Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(shown(), u"1|08:00|08:25|Fertig"_s);
    EXPECT_EQ(savedPlan(), left);
    key(Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(shown(), u"1|08:00|08:25|Fertig; 2|09:00|09:25|Routine; |09:25|09:30|Pause: 5 min"_s);
    // Changes that were not saved yet reach the file when the window closes.
    addFixed(u"Termin"_s, QTime(14, 0));
    window->close();
    EXPECT_EQ(savedPlan(), QByteArray("Routine///25\r\nPause: 5\r\nTermin///25|||14:00 07.12.2026\r\n"));
}

TEST_F(PlanFileCommandsTest, OpenSaveAndSaveAsAskThroughTheUserInterface) {
    data.write(u"plan.txt"_s, "A///25\r\nPause: 5\r\nB///50\r\n");
    const QString path = data.filePath(u"plan.txt"_s);
    open();
    enter(u"Weg damit"_s);
    addFixed(u"Fertig"_s, QTime(8, 0), "x");
    // Cancelled questions keep the plan and write nothing.
    for (const auto& [kind, k] :
         {std::pair(Kind::OpenFile, Qt::Key_O), std::pair(Kind::SaveFile, Qt::Key_S)}) {
        ui.cancel(kind);
        key(k, Qt::ControlModifier);
    }
    ui.cancel(Kind::SaveFile);
    key(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(ui.questions,
              QStringList({u"Öffnen|Textdatei (*.txt)|"_s, u"Speichern unter|Textdatei (*.txt)|"_s,
                           u"Speichern unter|Textdatei (*.txt)|"_s}));
    EXPECT_EQ(shown(), u"1|08:00|08:25|Fertig; 2|09:00|09:25|Weg damit"_s);
    EXPECT_EQ(data.read(u"plan.txt"_s), QByteArray("A///25\r\nPause: 5\r\nB///50\r\n"));
    // "Speichern" through the question leaves no current name; "Speichern unter" sets one.
    ui.answer(Kind::SaveFile, data.filePath(u"neu.txt"_s));
    key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(data.read(u"neu.txt"_s), QByteArray("Weg damit///25\r\n"));
    EXPECT_EQ(window->planFile().currentFileName(), QString());
    ui.answer(Kind::SaveFile, path);
    key(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(data.read(u"plan.txt"_s), QByteArray("Fertig///25\r\nWeg damit///25\r\n"));
    // "Öffnen..." suggests the current file; Ctrl+S in the list (its hidden "Speichern") then
    // writes back to the opened file without asking.
    data.write(u"plan.txt"_s, "A///25\r\nB///50\r\n");
    ui.answer(Kind::OpenFile, path);
    key(Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(ui.questions.last(), u"Öffnen|Textdatei (*.txt)|"_s + path);
    EXPECT_EQ(shown(), u"1|08:00|08:25|Fertig; 2|09:00|09:25|A; 3|09:30|10:20|B"_s);
    plan->editEntry(2).displayText = u"B neu"_s;
    key(Qt::Key_Escape);
    ASSERT_EQ(focus(), list());
    key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(ui.questions.size(), 6);
    EXPECT_EQ(data.read(u"plan.txt"_s), QByteArray("A///25\r\nB neu///50\r\n"));
}

TEST_F(PlanFileCommandsTest, PlanIsNeverSavedOverTheLogOrTheSettings) {
    const QByteArray history = "\r\nMo, 07.12.2026 08:00|25 Bericht [x]";
    data.write(u"Dezuzedu.log"_s, history);
    ASSERT_TRUE(records.saveSettings());
    const QByteArray settings = data.read(u"Settings.ini"_s);
    QDir(data.path()).mkpath(u"ziel"_s);
    open();
    enter(u"Plan"_s);
    for (const QString& target :
         {data.filePath(u"Dezuzedu.log"_s), data.filePath(u"ziel/../Settings.ini"_s)}) {
        ui.answer(ScriptedUi::Kind::SaveFile, target);
        key(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    }
    // The log opened as a plan: "Speichern" does not write it back either.
    ui.answer(ScriptedUi::Kind::OpenFile, data.filePath(u"Dezuzedu.log"_s));
    key(Qt::Key_O, Qt::ControlModifier);
    key(Qt::Key_Escape);
    key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(data.read(u"Dezuzedu.log"_s), history);
    EXPECT_EQ(data.read(u"Settings.ini"_s), settings);
    EXPECT_EQ(ui.messages.filter(u"Log oder die Einstellungen"_s).size(), 2)
        << ui.messages.join(u"\n---\n"_s).toStdString();
}

TEST_F(PlanFileCommandsTest, PlanOfThousandsOfBadLinesIsToldInAMessageThatFitsTheScreen) {
    QByteArray bad;
    for (int i = 0; i < 3000; ++i)
        bad += "Eins " + QByteArray::number(i) + "///25|||99:99" + QByteArray(500, 'x') + "\r\n";
    data.write(u"kaputt.txt"_s, bad + "Gut///25\r\n");
    open();
    ui.answer(ScriptedUi::Kind::OpenFile, data.filePath(u"kaputt.txt"_s));
    key(Qt::Key_O, Qt::ControlModifier);
    ASSERT_EQ(ui.messages.size(), 1);
    const QString& text = ui.messages.constFirst();
    // A few lines, none wider than a screen, the count of the rest, and where the file was kept.
    EXPECT_LE(text.count(u'\n'), 30) << text.toStdString();
    for (const QString& line : text.split(u'\n'))
        EXPECT_LE(line.size(), 200);
    EXPECT_TRUE(text.contains(u"2980"_s));
    EXPECT_TRUE(text.endsWith(PlanFile::backupPath(data.filePath(u"kaputt.txt"_s))));
    EXPECT_EQ(shown(), u"1|09:00|09:25|Gut"_s);
}

} // namespace
