// Editing the plan in the Planning window as a user does: keys and typed characters in the plan
// list, the dialogs they ask, double-click and dragging rows.

#include "plan_table_model.h"
#include "window_fixture.h"

#include <QDropEvent>
#include <QFile>
#include <QMimeData>

namespace {

using namespace Qt::StringLiterals;
using Kind = ScriptedUi::Kind;

class ListEditingTest : public WindowTest {
protected:
    // Finished unit, relative units A and B, and a titled pause:
    // Fertig 08:00, A 09:00-09:25, B 09:30-09:55, pause 09:55-10:05.
    void openPlan() {
        QFile::remove(data.filePath(u"worklist.log"_s));
        open();
        addFixed(u"Fertig"_s, QTime(8, 0), "x");
        for (const QString& title : {u"A"_s, u"B"_s})
            plan->AddEntry(title, false, plantime::now(clock), 25, false, u" "_s);
        plan->AddEntry(u"Tee"_s, true, plantime::now(clock), 10, false, u" "_s);
        window->savePlan();
    }
    int rowOf(const QString& title) const {
        for (int r = 0; r < entries().size(); ++r) {
            if (entries().at(r).displayText == title)
                return r;
        }
        return -1;
    }
    // Selects the rows with these titles and puts the focus into the list.
    void select(const QStringList& titlesToSelect) {
        list()->setFocus(Qt::OtherFocusReason);
        list()->selectionModel()->clearSelection();
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
    QPoint rowCentre(const QString& title) const {
        return list()->visualRect(list()->model()->index(rowOf(title), PlanTableModel::TaskColumn)).center();
    }
};

const QString startPrompt =
    u"Geben Sie die neue (feste) Startzeit ein.\n\nWenn die Einheit stattdessen unmittelbar nach der "
    "vorherigen beginnen soll, löschen Sie den vorgegebenen Text und lassen das Feld leer."_s;

TEST_F(ListEditingTest, EveryCommandThroughItsKey) {
    const struct {
        const char* what;
        QStringList select;
        std::function<void()> press;
        std::optional<QString> answer; // a text dialog is expected and answered with it
        QString question;              // caption|prompt|pre-filled text
        std::function<QString()> result;
        QString want;
        bool saved;
        std::function<void()> prepare = {}; // before the plan file is looked at
    } cases[] = {
        {"F2 renames",
         {u"A"_s},
         [this] { key(Qt::Key_F2); },
         u"Neu"_s,
         u"Aufgabenbeschreibung ändern|Neue Aufgabenbeschreibung?|A"_s,
         [this] { return titlesNow(); },
         u"Fertig|Neu|B|Pause: 10 min (Tee)"_s,
         true},
        {"F3 fixes the first selected start",
         {u"B"_s, u"A"_s},
         [this] { key(Qt::Key_F3); },
         u"11:00"_s,
         u"Startzeit ändern|"_s + startPrompt + u"|09:00"_s,
         [this] { return fields(u"A"_s); },
         u"11:00|11:25|F|25|07.12.2026"_s,
         false},
        {"F4 makes a fixed start relative",
         {u"B"_s},
         [this] { key(Qt::Key_F4); },
         std::nullopt,
         QString(),
         [this] { return fields(u"B"_s); },
         u"09:30|09:55|R|25|07.12.2026"_s,
         true,
         [this] { plan->setStartTime(rowOf(u"B"_s), u"12:00"_s); }},
        {"Ctrl+F3 dates",
         {u"B"_s},
         [this] { key(Qt::Key_F3, Qt::ControlModifier); },
         u"24.12.2026"_s,
         u"Datum ändern|Geben Sie das neue Datum ein, an dem diese Einheit beginnen soll.|07.12.2026"_s,
         [this] { return fields(u"B"_s); },
         u"09:30|09:55|F|25|24.12.2026"_s,
         false},
        {"Ctrl+F4 dates today",
         {u"B"_s},
         [this] { key(Qt::Key_F4, Qt::ControlModifier); },
         std::nullopt,
         QString(),
         [this] { return fields(u"B"_s); },
         u"09:30|09:55|F|25|07.12.2026"_s,
         true,
         [this] { plan->setDates({rowOf(u"B"_s)}, u"24.12.2026"_s); }},
        {"F6 sets the length",
         {u"A"_s, u"B"_s},
         [this] { key(Qt::Key_F6); },
         u"40"_s,
         u"Dauer ändern|Bitte geben Sie die neue Dauer dieses Items (in min) ein.|25"_s,
         [this] { return fields(u"B"_s); },
         u"09:45|10:25|R|40|07.12.2026"_s,
         true},
        {"Del deletes the open rows",
         {u"Fertig"_s, u"A"_s},
         [this] { key(Qt::Key_Delete); },
         std::nullopt,
         QString(),
         [this] { return titlesNow(); },
         u"Fertig|B|Pause: 10 min (Tee)"_s,
         true},
        {"Ctrl+F removes the finished",
         {},
         [this] { key(Qt::Key_F, Qt::ControlModifier); },
         std::nullopt,
         QString(),
         [this] { return titlesNow(); },
         u"A|B|Pause: 10 min (Tee)"_s,
         false},
        {"typed k",
         {u"B"_s},
         [this] { type(u"k"_s); },
         std::nullopt,
         QString(),
         [this] { return fields(u"B"_s); },
         u"09:31|09:56|F|25|07.12.2026"_s,
         false},
        {"plus of the main keyboard",
         {u"B"_s},
         [this] { key(Qt::Key_Plus); },
         std::nullopt,
         QString(),
         [this] { return fields(u"B"_s); },
         u"09:31|09:56|F|25|07.12.2026"_s,
         false},
        {"plus of the keypad",
         {u"B"_s},
         [this] { key(Qt::Key_Plus, Qt::KeypadModifier); },
         std::nullopt,
         QString(),
         [this] { return fields(u"B"_s); },
         u"09:31|09:56|F|25|07.12.2026"_s,
         false},
        {"typed m",
         {u"B"_s},
         [this] { type(u"m"_s); },
         std::nullopt,
         QString(),
         [this] { return fields(u"B"_s); },
         u"09:29|09:54|F|25|07.12.2026"_s,
         false},
        {"typed - of the keypad",
         {u"B"_s},
         [this] { key(Qt::Key_Minus, Qt::KeypadModifier); },
         std::nullopt,
         QString(),
         [this] { return fields(u"B"_s); },
         u"09:29|09:54|F|25|07.12.2026"_s,
         false},
        {"divide of the keypad",
         {u"B"_s},
         [this] { key(Qt::Key_Slash, Qt::KeypadModifier); },
         std::nullopt,
         QString(),
         [this] { return fields(u"B"_s); },
         u"09:29|09:54|F|25|07.12.2026"_s,
         false},
        {"Ctrl+Down",
         {u"A"_s},
         [this] { key(Qt::Key_Down, Qt::ControlModifier); },
         std::nullopt,
         QString(),
         [this] { return titlesNow() + u" @"_s + QString::number(list()->currentIndex().row()); },
         u"Fertig|B|A|Pause: 10 min (Tee) @2"_s,
         true},
        {"Ctrl+Up moves a block",
         {u"B"_s, u"Pause: 10 min (Tee)"_s},
         [this] { key(Qt::Key_Up, Qt::ControlModifier); },
         std::nullopt,
         QString(),
         [this] { return titlesNow() + u" @"_s + QString::number(list()->currentIndex().row()); },
         u"Fertig|B|Pause: 10 min (Tee)|A @1"_s,
         true},
        {"Ctrl+A selects every row",
         {},
         [this] { key(Qt::Key_A, Qt::ControlModifier); },
         std::nullopt,
         QString(),
         [this] { return QString::number(selectedRows()); },
         u"4"_s,
         false},
        {"Right does nothing",
         {u"A"_s},
         [this] {
             list()->setCurrentIndex(list()->model()->index(1, 0));
             key(Qt::Key_Right);
         },
         std::nullopt,
         QString(),
         [this] { return QString::number(list()->currentIndex().column()); },
         u"0"_s,
         false},
        {"Esc without a running plan",
         {u"A"_s},
         [this] { key(Qt::Key_Escape); },
         std::nullopt,
         QString(),
         [this] { return QVariant(window->isVisible()).toString(); },
         u"true"_s,
         false},
    };
    for (const auto& c : cases) {
        openPlan();
        select(c.select);
        if (c.answer)
            ui.answer(Kind::Text, *c.answer);
        ui.questions.clear();
        if (c.prepare) {
            c.prepare();
            window->savePlan();
        }
        const QByteArray before = savedPlan();
        c.press();
        EXPECT_EQ(ui.questions.join(u'/'), c.question) << c.what;
        EXPECT_EQ(c.result(), c.want) << c.what;
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
    window->setListMenuEnabled(false);
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
    EXPECT_EQ(titlesNow(), u"Fertig|A|Neu|Pause: 10 min (Tee)"_s);
    // Without mouse editing (the window was hidden after a start) a double-click asks nothing.
    window->setMouseEditing(false);
    doubleClick(u"A"_s);
    EXPECT_EQ(titlesNow(), u"Fertig|A|Neu|Pause: 10 min (Tee)"_s);
}

TEST_F(ListEditingTest, DroppingSeveralRows) {
    openPlan();
    plan->AddEntry(u"C"_s, false, plantime::now(clock), 25, false, u" "_s);
    // Fertig, A, B, pause, C: A and C dropped onto B go before it.
    select({u"A"_s, u"C"_s});
    QWidget* viewport = list()->viewport();
    const auto dropAt = [&](const QString& title, QMimeData* data) {
        const QPoint at = rowCentre(title);
        QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, {});
        QApplication::sendEvent(viewport, &enter);
        QDropEvent drop(QPointF(at), Qt::CopyAction, data, Qt::LeftButton, {});
        QApplication::sendEvent(viewport, &drop);
        return enter.isAccepted() && drop.isAccepted();
    };
    const std::unique_ptr<QMimeData> ours(
        list()->model()->mimeData(list()->selectionModel()->selectedIndexes()));
    QMimeData foreign;
    foreign.setText(u"A"_s);
    EXPECT_FALSE(dropAt(u"B"_s, &foreign));
    EXPECT_EQ(titlesNow(), u"Fertig|A|B|Pause: 10 min (Tee)|C"_s);

    const QByteArray before = savedPlan();
    EXPECT_TRUE(dropAt(u"B"_s, ours.get()));
    EXPECT_EQ(titlesNow(), u"Fertig|A|C|B|Pause: 10 min (Tee)"_s);
    EXPECT_EQ(fields(u"C"_s), u"09:30|09:55|R|25|07.12.2026"_s);
    EXPECT_NE(savedPlan(), before);
    EXPECT_EQ(selectedRows(), 2);

    window->setMouseEditing(false);
    EXPECT_FALSE(dropAt(u"A"_s, ours.get()));
    EXPECT_EQ(titlesNow(), u"Fertig|A|C|B|Pause: 10 min (Tee)"_s);
}

} // namespace
