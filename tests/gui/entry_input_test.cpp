// Typing into the Planning window's input field: Enter with the pause syntax, the two
// preparing commands, the drop-down list and the field's own keys.

#include "activity_log.h"
#include "text_file.h"
#include "window_fixture.h"

#include <QContextMenuEvent>
#include <QKeyEvent>

using namespace Qt::StringLiterals;

namespace {

// Counts the key presses that reach a widget, the modifier keys themselves left out.
class KeySpy final : public QObject {
public:
    explicit KeySpy(QObject* target) { target->installEventFilter(this); }
    int presses = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const int k = static_cast<QKeyEvent*>(event)->key();
            presses += k < Qt::Key_Shift || k > Qt::Key_Alt ? 1 : 0;
        }
        return false;
    }
};

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
    QStringList texts() {
        QStringList all;
        for (const PlanEntry& e : entries())
            all.append(e.displayText);
        return all;
    }
    // The field's text, with the selected part in brackets.
    QString fieldState() const { return edit()->text() + u" ["_s + edit()->selectedText() + u']'; }
};

TEST_F(EntryInputTest, EnterAppendsUnitsAndPausesThatFollowEachOther) {
    open();
    EXPECT_EQ(window->windowTitle(), u"Taktplan (0/0)"_s);
    enter(u"Bericht schreiben"_s);
    EXPECT_EQ(shown(), u"1|09:00|09:25|Bericht schreiben"_s);
    EXPECT_EQ(window->windowTitle(), u"Taktplan (0/1)"_s);
    // After a unit the text stays as typed, selected, in the focused field.
    EXPECT_EQ(fieldState(), u"Bericht schreiben [Bericht schreiben]"_s);
    EXPECT_EQ(focus(), field());

    // After a pause the remembered unit title comes back, so Enter plans that unit again.
    enter(u"p 10 Kaffee kochen"_s);
    EXPECT_EQ(fieldState(), u"Bericht schreiben [Bericht schreiben]"_s);
    key(Qt::Key_Return);
    EXPECT_EQ(shown(), u"1|09:00|09:25|Bericht schreiben; |09:25|09:35|Pause: 10 min (Kaffee kochen); "
                       u"2|09:35|10:00|Bericht schreiben"_s);
    EXPECT_EQ(window->windowTitle(), u"Taktplan (0/2)"_s);
    EXPECT_EQ(entries().at(1).status + entries().at(1).date, u" 07.12.2026"_s);
    EXPECT_EQ(entries().at(1).pauseTitle(), u"Kaffee kochen"_s);

    // Two units in a row get the small pause between them.
    enter(u"Post"_s);
    EXPECT_EQ(shown().section(u"; "_s, -1), u"3|10:05|10:30|Post"_s);
}

TEST_F(EntryInputTest, EmptyTextIsAUnitWithAnEmptyTitleListedOnce) {
    open();
    field()->setTitles({});
    enter(QString());
    key(Qt::Key_Return);
    ASSERT_EQ(entries().size(), 2);
    EXPECT_EQ(entries().at(0).displayText + entries().at(0).kind, u"E"_s);
    EXPECT_EQ(field()->titles(), QStringList{QString()});
}

TEST_F(EntryInputTest, DropDownListStaysSortedAndTakesTypedTextExactly) {
    writeLog({u"Bericht"_s, u"Pläne"_s});
    open();
    for (const char* t : {"bericht", "beta", "Alpha", "alpha", "Äpfel", "Zeta", "beta", "p 5 Kaffee", "p"})
        enter(QString::fromUtf8(t));
    // Neither another case in the list nor a title starting alike changes what was typed.
    EXPECT_EQ(texts().join(u','), u"bericht,beta,Alpha,alpha,Äpfel,Zeta,beta,Pause: 5 min (Kaffee),"
                                  u"Pause: 25 min"_s);
    EXPECT_EQ(field()->titles().join(u','), u"Alpha,alpha,Äpfel,Bericht,bericht,beta,Pläne,Zeta"_s);
    EXPECT_EQ(field()->maxVisibleItems(), 100);
    EXPECT_EQ(field()->insertPolicy(), QComboBox::NoInsert);
}

TEST_F(EntryInputTest, ShowingFillsTheFieldFromTheActivityLog) {
    writeLog({u"Zebra"_s, u"apfel"_s, u"Mails"_s, u"Zebra"_s, u"Bericht"_s});
    open();
    EXPECT_EQ(field()->titles().join(u','), u"apfel,Bericht,Mails,Zebra"_s);
    EXPECT_EQ(fieldState(), u"Bericht [Bericht]"_s);
    EXPECT_EQ(focus(), field());
    // With no unit title remembered, a pause brings back the last logged one.
    enter(u"p 5"_s);
    EXPECT_EQ(edit()->text(), u"Bericht"_s);

    // Titles added during this run are gone after hiding and showing again.
    enter(u"Neu"_s);
    window->hide();
    showActive();
    EXPECT_EQ(field()->findTitle(u"Neu"_s), -1);
    EXPECT_EQ(edit()->text(), u"Bericht"_s);
}

TEST_F(EntryInputTest, AddUnitAndAddPausePrepareTheField) {
    records.settings.GrossePause = 15;
    open();
    const auto ctrl = [this](Qt::Key k, const QString& text = u"-"_s) {
        if (text != u"-"_s)
            field()->setText(text);
        key(k, Qt::ControlModifier);
        return fieldState();
    };
    // Nothing remembered yet: "Einheit hinzufügen" empties a pause text, and an empty field is
    // not remembered by "Pause hinzufügen".
    EXPECT_EQ(ctrl(Qt::Key_E, u"p 10"_s), u" []"_s);
    ctrl(Qt::Key_P);
    EXPECT_EQ(ctrl(Qt::Key_E), u" []"_s);

    EXPECT_EQ(ctrl(Qt::Key_P, u"Bericht"_s), u"p 15 [15]"_s);
    type(u"30"_s);
    EXPECT_EQ(edit()->text(), u"p 30"_s);
    // A pause text in the field leaves the remembered title alone.
    ctrl(Qt::Key_P);
    EXPECT_EQ(ctrl(Qt::Key_E), u"Bericht [Bericht]"_s);
    // Any other text stays for "Einheit hinzufügen"; "P x" in any case is a pause text.
    EXPECT_EQ(ctrl(Qt::Key_E, u"Anderes"_s), u"Anderes [Anderes]"_s);
    EXPECT_EQ(ctrl(Qt::Key_E, u"P Mittag"_s), u"Bericht [Bericht]"_s);
    EXPECT_TRUE(entries().isEmpty()) << "no entry is created by the two commands";

    // From the list, the keys bring the focus to the field.
    key(Qt::Key_Escape);
    ASSERT_EQ(focus(), list());
    EXPECT_EQ(ctrl(Qt::Key_P), u"p 15 [15]"_s);
    EXPECT_EQ(focus(), field());
}

TEST_F(EntryInputTest, DelDeletesTextAndTheSelectedRowOfTheList) {
    writeLog({u"Alpha"_s, u"Beta"_s, u"Gamma"_s});
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
    EXPECT_EQ(del(), u"Beicht@2#3"_s);
    edit()->setSelection(1, 3);
    EXPECT_EQ(del(), u"Bht@1#3"_s);
    edit()->setCursorPosition(3);
    EXPECT_EQ(del(), u"Bht@3#3"_s);
    EXPECT_TRUE(entries().isEmpty());

    // A row picked with the arrow keys is the selected one: Del removes it from the list.
    field()->setText(QString());
    key(Qt::Key_Up);
    const QString picked = edit()->text();
    edit()->selectAll();
    EXPECT_EQ(del(), u"@0#2"_s);
    EXPECT_FALSE(field()->titles().contains(picked)) << picked.toStdString();
    // Typing ends the selection of a row.
    key(Qt::Key_Up);
    type(u"x"_s);
    EXPECT_EQ(del().section(u'#', 1), u"2"_s);

    // In the dropped-down list, Del removes the highlighted row.
    const QString first = field()->titles().value(0);
    field()->showPopup();
    QAbstractItemView* view = field()->view();
    ASSERT_TRUE(waitFor([view] { return view->isVisible(); }));
    view->setCurrentIndex(view->model()->index(1, 0));
    QTest::keyClick(view, Qt::Key_Delete);
    EXPECT_EQ(field()->titles(), QStringList{first});
    field()->hidePopup();
}

TEST_F(EntryInputTest, DroppedDownListOpensOnTheFieldsTitleAndShrinksOnDel) {
    writeLog({u"Alpha"_s, u"Beta"_s, u"Delta"_s, u"Gamma"_s, u"Omega"_s});
    open();
    QAbstractItemView* view = field()->view();
    const auto popupHeight = [view] { return view->window()->height(); };
    // The highlighted row is the one that reads as the field does (none when none does).
    const struct {
        const char* text;
        int row;
    } cases[] = {{"Gamma", 3}, {"Beta", 1}, {"Alpha", 0}, {"neu", -1}};
    for (const auto& c : cases) {
        field()->setText(QString::fromUtf8(c.text));
        field()->showPopup();
        ASSERT_TRUE(waitFor([view] { return view->isVisible(); }));
        EXPECT_EQ(view->currentIndex().row(), c.row) << c.text;
        field()->hidePopup();
    }
    // Del takes the row the user sees highlighted, and the list gets shorter with it.
    field()->setText(u"Delta"_s);
    field()->showPopup();
    ASSERT_TRUE(waitFor([view] { return view->isVisible(); }));
    const int before = popupHeight();
    QTest::keyClick(view, Qt::Key_Delete);
    EXPECT_EQ(field()->titles(), QStringList({u"Alpha"_s, u"Beta"_s, u"Gamma"_s, u"Omega"_s}));
    EXPECT_TRUE(view->isVisible());
    EXPECT_LT(popupHeight(), before);
    field()->hidePopup();
}

TEST_F(EntryInputTest, FieldKeysComeBeforeTheMainMenu) {
    open();
    enter(u"Eins"_s);
    enter(u"Zwei"_s);
    // Ctrl+A selects the text, not the rows; Del deletes text, not entries.
    field()->setText(u"Text"_s);
    key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(edit()->selectedText(), u"Text"_s);
    EXPECT_TRUE(list()->selectionModel()->selectedRows().isEmpty());
    list()->selectAll();
    key(Qt::Key_Delete);
    EXPECT_EQ(entries().size(), 2);
    EXPECT_EQ(edit()->text(), QString());

    // Ctrl+Up and Ctrl+Down are swallowed; other keys reach the edit.
    KeySpy spy(field());
    key(Qt::Key_Up, Qt::ControlModifier);
    key(Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(spy.presses, 0);
    // The keypad's plus never reaches the field; the main keyboard's plus types "+".
    key(Qt::Key_Plus, Qt::KeypadModifier);
    type(u"+"_s);
    EXPECT_EQ(edit()->text(), u"+"_s);
    EXPECT_EQ(spy.presses, 1);

    // Right-clicking the field shows no menu at all.
    for (QWidget* w : {static_cast<QWidget*>(field()), static_cast<QWidget*>(edit())}) {
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), w->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(w, &event);
        QTest::qWait(20);
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    }

    // Esc sends the focus to the plan list.
    key(Qt::Key_Escape);
    EXPECT_EQ(focus(), list());
}

TEST_F(EntryInputTest, FirstStartHintStandsSelectedInTheField) {
    const QString hint = u"Hier Aufgabe eingeben und ENTER drücken"_s;
    writeLog({u"Bericht"_s});
    open();
    window->showFirstStartHint();
    EXPECT_EQ(fieldState(), hint + u" ["_s + hint + u']');
    ASSERT_GE(field()->findTitle(hint), 0);
    EXPECT_EQ(field()->selectedRow(), field()->findTitle(hint));

    // Given before the window is shown, the hint survives the showing.
    window.reset();
    open(false);
    window->showFirstStartHint();
    showActive();
    EXPECT_EQ(edit()->text(), hint);
    EXPECT_EQ(field()->titles(), (QStringList{u"Bericht"_s, hint}));
}

} // namespace
