// Editing the plan in the Planning window as a user does: keys and typed characters in the plan
// list, the dialogs they ask, double-click and dragging rows.

#include "plan_table_model.h"
#include "window_fixture.h"

#include <QDrag>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QTimer>

namespace {

using namespace Qt::StringLiterals;
using Kind = ScriptedUi::Kind;

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
        const int r = rowOf(title);
        if (r < 0)
            return u"gone"_s;
        const PlanEntry& e = entries().at(r);
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
    const QString plan0 = u"Fertig|A|B|Pause: 10 min (Tee)|Morgen"_s;
    // typed: characters typed instead of the key; answer: a text dialog is expected and answered;
    // question: caption|prompt|pre-filled text; show: an entry's fields, "*" the titles, "*@" with
    // the current row, "col" the current column, "shown" visibility.
    // clang-format off
    const struct { const char* what; QStringList select; QKeyCombination key; const char* typed;
                   const char* answer; QString question; const char* show; QString want; bool saved; } cases[] = {
        {"F2 renames", {u"A"_s}, Qt::Key_F2, nullptr, "Neu",
         u"Aufgabenbeschreibung ändern|Neue Aufgabenbeschreibung?|A"_s, "*",
         u"Fertig|Neu|B|Pause: 10 min (Tee)|Morgen"_s, true},
        {"F3 fixes the first selected start", {u"B"_s, u"A"_s}, Qt::Key_F3, nullptr, "11:00",
         u"Startzeit ändern|"_s + startPrompt + u"|09:00"_s, "A", u"11:00|11:25|F|25|07.12.2026"_s, false},
        {"F4 makes a start relative", {u"Morgen"_s}, Qt::Key_F4, nullptr, nullptr, {}, "Morgen",
         u"10:05|10:30|R|25|07.12.2026"_s, true},
        {"Ctrl+F3 dates", {u"B"_s}, Qt::CTRL | Qt::Key_F3, nullptr, "24.12.2026",
         u"Datum ändern|Geben Sie das neue Datum ein, an dem diese Einheit beginnen soll.|07.12.2026"_s, "B",
         u"09:30|09:55|F|25|24.12.2026"_s, false},
        {"Ctrl+F4 dates today", {u"Morgen"_s}, Qt::CTRL | Qt::Key_F4, nullptr, nullptr, {}, "Morgen",
         u"10:05|10:30|R|25|07.12.2026"_s, true},
        {"F6 sets the length", {u"A"_s, u"B"_s}, Qt::Key_F6, nullptr, "40",
         u"Dauer ändern|Bitte geben Sie die neue Dauer dieses Items (in min) ein.|25"_s, "B",
         u"09:45|10:25|R|40|07.12.2026"_s, true},
        {"F6 refuses a unit of no time", {u"B"_s}, Qt::Key_F6, nullptr, "0",
         u"Dauer ändern|Bitte geben Sie die neue Dauer dieses Items (in min) ein.|25"_s, "msg",
         u"Eine Einheit dauert mindestens eine Minute. Die Dauer bleibt, wie sie war."_s, false},
        {"typed k", {u"B"_s}, Qt::Key_unknown, "k", nullptr, {}, "B", u"09:31|09:56|F|25|07.12.2026"_s, false},
        {"plus", {u"B"_s}, Qt::Key_Plus, nullptr, nullptr, {}, "B", u"09:31|09:56|F|25|07.12.2026"_s, false},
        {"plus of the keypad", {u"B"_s}, Qt::KeypadModifier | Qt::Key_Plus, nullptr, nullptr, {}, "B",
         u"09:31|09:56|F|25|07.12.2026"_s, false},
        {"typed m", {u"B"_s}, Qt::Key_unknown, "m", nullptr, {}, "B", u"09:29|09:54|F|25|07.12.2026"_s, false},
        {"minus of the keypad", {u"B"_s}, Qt::KeypadModifier | Qt::Key_Minus, nullptr, nullptr, {}, "B",
         u"09:29|09:54|F|25|07.12.2026"_s, false},
        {"divide of the keypad", {u"B"_s}, Qt::KeypadModifier | Qt::Key_Slash, nullptr, nullptr, {}, "B",
         u"09:29|09:54|F|25|07.12.2026"_s, false},
        {"Ctrl+Down", {u"A"_s}, Qt::CTRL | Qt::Key_Down, nullptr, nullptr, {}, "*@",
         u"Fertig|B|A|Pause: 10 min (Tee)|Morgen @2"_s, true},
        {"Ctrl+Up moves a block", {u"B"_s, u"Pause: 10 min (Tee)"_s}, Qt::CTRL | Qt::Key_Up, nullptr, nullptr, {},
         "*@", u"Fertig|B|Pause: 10 min (Tee)|A|Morgen @1"_s, true},
        {"Right does nothing", {u"A"_s}, Qt::Key_Right, nullptr, nullptr, {}, "col", u"0"_s, false},
        {"Esc without a running plan", {u"A"_s}, Qt::Key_Escape, nullptr, nullptr, {}, "shown", u"yes"_s, false},
    };
    // clang-format on
    for (const auto& c : cases) {
        openPlan();
        ASSERT_EQ(titlesNow(), plan0);
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

TEST_F(ListEditingTest, DoubleClickRenamesOnlyWhileMouseEditing) {
    openPlan();
    ui.answer(Kind::Text, u"Neu"_s);
    doubleClick(u"B"_s);
    EXPECT_EQ(titlesNow(), u"Fertig|A|Neu|Pause: 10 min (Tee)|Morgen"_s);
    // Without mouse editing (the window was hidden after a start) a double-click asks nothing.
    window->updateRunState([](RunState& s) { s.mouseEditing = false; });
    doubleClick(u"A"_s);
    EXPECT_EQ(titlesNow(), u"Fertig|A|Neu|Pause: 10 min (Tee)|Morgen"_s);
}

TEST_F(ListEditingTest, OnlyOurOwnRowsDropAndOnlyWhileMouseEditing) {
    openPlan();
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
    EXPECT_EQ(titlesNow(), u"Fertig|A|B|Pause: 10 min (Tee)|Morgen"_s);
    // Dropped onto B they go before it, saved, and stay selected.
    EXPECT_TRUE(dropAt(u"B"_s, ours.get()));
    EXPECT_EQ(titlesNow(), u"Fertig|A|Pause: 10 min (Tee)|B|Morgen"_s);
    EXPECT_NE(savedPlan(), before);
    EXPECT_EQ(selectedRows(), 2);
    window->updateRunState([](RunState& s) { s.mouseEditing = false; });
    EXPECT_FALSE(dropAt(u"A"_s, ours.get()));
    EXPECT_EQ(titlesNow(), u"Fertig|A|Pause: 10 min (Tee)|B|Morgen"_s);
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
        QMouseEvent press(QEvent::MouseButtonPress, from, viewport->mapToGlobal(from), Qt::LeftButton,
                          Qt::LeftButton, {});
        QApplication::sendEvent(viewport, &press);
        // The first move makes the view ready to drag, the next one begins the drag.
        for (int i = 0; i < 2; ++i) {
            QMouseEvent move(QEvent::MouseMove, to, viewport->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                             {});
            QApplication::sendEvent(viewport, &move);
        }
        QMouseEvent release(QEvent::MouseButtonRelease, to, viewport->mapToGlobal(to), Qt::LeftButton,
                            Qt::NoButton, {});
        QApplication::sendEvent(viewport, &release);
        QCoreApplication::processEvents();
        return began;
    };
    for (const bool editing : {true, false, true}) {
        window->updateRunState([&](RunState& s) { s.mouseEditing = editing; });
        EXPECT_EQ(dragBegins(), editing) << editing;
        EXPECT_EQ(titlesNow(), u"Fertig|A|B|Pause: 10 min (Tee)|Morgen"_s);
    }
}

} // namespace
