// Typing into the Planning window's input field: Enter with the pause syntax, the two
// preparing commands, the drop-down list and the field's own keys.

#include "activity_log.h"
#include "text_file.h"
#include "window_fixture.h"

using namespace Qt::StringLiterals;

namespace {

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

} // namespace
