// Typing into the Planning window's input field: Enter with the pause syntax, the two
// preparing commands, the drop-down list and the field's own keys.

#include "activity_log.h"
#include "text_file.h"
#include "window_fixture.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>

namespace {

// Counts the key presses (other than the modifier keys themselves) that reach a widget.
class KeySpy final : public QObject {
public:
    explicit KeySpy(QObject* target) { target->installEventFilter(this); }
    int presses = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const int k = static_cast<QKeyEvent*>(event)->key();
            if (k != Qt::Key_Control && k != Qt::Key_Shift && k != Qt::Key_Alt && k != Qt::Key_Meta)
                ++presses;
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
    QString lastText() { return entries().isEmpty() ? QString() : entries().last().displayText; }
};

TEST_F(EntryInputTest, EnterAppendsUnitsAndPausesThatFollowEachOther) {
    open();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Taktplan (0/0)"));
    enter(QStringLiteral("Bericht schreiben"));
    EXPECT_EQ(shownRows(), QStringList{QStringLiteral("1|09:00|09:25|Bericht schreiben")});
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Taktplan (0/1)"));
    // After a unit the text stays as typed, selected, in the focused field.
    EXPECT_EQ(field()->text(), QStringLiteral("Bericht schreiben"));
    EXPECT_EQ(field()->lineEdit()->selectedText(), QStringLiteral("Bericht schreiben"));
    EXPECT_EQ(focus(), field());

    enter(QStringLiteral("p 10 Kaffee kochen"));
    // After a pause the remembered unit title comes back, so Enter plans that unit again.
    EXPECT_EQ(field()->text(), QStringLiteral("Bericht schreiben"));
    EXPECT_EQ(field()->lineEdit()->selectedText(), QStringLiteral("Bericht schreiben"));
    key(Qt::Key_Return);
    EXPECT_EQ(shownRows(), (QStringList{QStringLiteral("1|09:00|09:25|Bericht schreiben"),
                                        QStringLiteral("|09:25|09:35|Pause: 10 min (Kaffee kochen)"),
                                        QStringLiteral("2|09:35|10:00|Bericht schreiben")}));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Taktplan (0/2)"));
    const PlanEntry& pause = entries().at(1);
    EXPECT_EQ(pause.kind, QStringLiteral("P"));
    EXPECT_EQ(pause.startMode, QStringLiteral("R"));
    EXPECT_EQ(pause.status, QStringLiteral(" "));
    EXPECT_EQ(pause.duration, QStringLiteral("10"));
    EXPECT_EQ(pause.date, QStringLiteral("07.12.2026"));
    EXPECT_EQ(pause.pauseTitle(), QStringLiteral("Kaffee kochen"));

    // Two units in a row get the small pause between them.
    enter(QStringLiteral("Post"));
    EXPECT_EQ(shownRows().last(), QStringLiteral("3|10:05|10:30|Post"));
}

TEST_F(EntryInputTest, EveryFormOfTypedTextGivesItsEntry) {
    records.settings.StandardDauerEinheit = 50;
    records.settings.GrossePause = 20;
    open();
    const struct {
        const char* typed;
        const char* displayText;
        const char* kind;
        const char* duration;
    } cases[] = {
        // The parsing itself is tested on its own; these show what reaches the plan.
        {"p", "Pause: 20 min", "P", "20"},
        {"P 10 Kaffee kochen", "Pause: 10 min (Kaffee kochen)", "P", "10"},
        {"p 10x", "Pause: 20 min (10x)", "P", "20"},
        {"p 0", "Pause: 0 min", "P", "0"},
        {"p 5 (a)", "Pause: 5 min ((a))", "P", "5"},
        {"Pläne", "Pläne", "E", "50"},
        {"Steuererklärung (Teil 2)", "Steuererklärung (Teil 2)", "E", "50"},
    };
    for (const auto& c : cases) {
        const int before = static_cast<int>(entries().size());
        enter(QString::fromUtf8(c.typed));
        SCOPED_TRACE(c.typed);
        ASSERT_EQ(entries().size(), before + 1);
        const PlanEntry& e = entries().last();
        EXPECT_EQ(e.displayText, QString::fromUtf8(c.displayText));
        EXPECT_EQ(e.kind, QLatin1String(c.kind));
        EXPECT_EQ(e.duration, QLatin1String(c.duration));
        EXPECT_EQ(e.startMode, QStringLiteral("R"));
    }
}

TEST_F(EntryInputTest, EmptyTextIsAUnitWithAnEmptyTitleListedOnce) {
    open();
    field()->setTitles({});
    enter(QString());
    ASSERT_EQ(entries().size(), 1);
    EXPECT_EQ(entries().at(0).displayText, QString());
    EXPECT_EQ(entries().at(0).kind, QStringLiteral("E"));
    EXPECT_EQ(field()->titles(), QStringList{QString()});
    key(Qt::Key_Return);
    EXPECT_EQ(entries().size(), 2);
    EXPECT_EQ(field()->titles(), QStringList{QString()});
}

TEST_F(EntryInputTest, DropDownListStaysSortedAndAddsEachUnitTitleOnce) {
    open();
    for (const char* t : {"beta", "Alpha", "alpha", "Äpfel", "Zeta", "beta", "p 5 Kaffee", "p"})
        enter(QString::fromUtf8(t));
    EXPECT_EQ(field()->titles(),
              (QStringList{QStringLiteral("Alpha"), QStringLiteral("alpha"), QStringLiteral("Äpfel"),
                           QStringLiteral("beta"), QStringLiteral("Zeta")}));
    EXPECT_EQ(field()->maxVisibleItems(), 100);
    EXPECT_EQ(field()->insertPolicy(), QComboBox::NoInsert);
}

TEST_F(EntryInputTest, TypedTextIsTakenExactlyEvenWhenTheListHoldsAnotherCase) {
    writeLog({QStringLiteral("Bericht")});
    open();
    enter(QStringLiteral("bericht"));
    EXPECT_EQ(lastText(), QStringLiteral("bericht"));
    EXPECT_EQ(field()->titles(), (QStringList{QStringLiteral("Bericht"), QStringLiteral("bericht")}));
    enter(QStringLiteral("p"));
    EXPECT_EQ(lastText(), QStringLiteral("Pause: 25 min"));
}

TEST_F(EntryInputTest, ShowingFillsTheFieldFromTheActivityLog) {
    writeLog({QStringLiteral("Zebra"), QStringLiteral("apfel"), QStringLiteral("Mails"),
              QStringLiteral("Zebra"), QStringLiteral("Bericht")});
    open();
    EXPECT_EQ(field()->titles(), (QStringList{QStringLiteral("apfel"), QStringLiteral("Bericht"),
                                              QStringLiteral("Mails"), QStringLiteral("Zebra")}));
    EXPECT_EQ(field()->text(), QStringLiteral("Bericht"));
    EXPECT_EQ(field()->lineEdit()->selectedText(), QStringLiteral("Bericht"));
    EXPECT_EQ(focus(), field());

    // Titles added during this run are gone after hiding and showing again.
    enter(QStringLiteral("Neu"));
    window->hide();
    showActive();
    EXPECT_EQ(field()->findTitle(QStringLiteral("Neu")), -1);
    EXPECT_EQ(field()->text(), QStringLiteral("Bericht"));
}

TEST_F(EntryInputTest, AfterAPauseWithoutRememberedTitleTheLastLoggedTitleComesBack) {
    writeLog({QStringLiteral("Vorher"), QStringLiteral("Zuletzt")});
    open();
    enter(QStringLiteral("p 5"));
    EXPECT_EQ(field()->text(), QStringLiteral("Zuletzt"));
}

TEST_F(EntryInputTest, AddUnitAndAddPausePrepareTheField) {
    records.settings.GrossePause = 15;
    open();
    field()->setText(QStringLiteral("Bericht"));
    key(Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(field()->text(), QStringLiteral("p 15"));
    EXPECT_EQ(field()->lineEdit()->selectedText(), QStringLiteral("15"));
    type(QStringLiteral("30"));
    EXPECT_EQ(field()->text(), QStringLiteral("p 30"));
    // A pause text in the field leaves the remembered title alone.
    key(Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(field()->text(), QStringLiteral("p 15"));
    key(Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(field()->text(), QStringLiteral("Bericht"));
    EXPECT_EQ(field()->lineEdit()->selectedText(), QStringLiteral("Bericht"));
    EXPECT_TRUE(entries().isEmpty()) << "no entry is created by the two commands";

    // Any other text stays for "Einheit hinzufügen"; "P x" in any case is a pause text.
    field()->setText(QStringLiteral("Anderes"));
    key(Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(field()->text(), QStringLiteral("Anderes"));
    field()->setText(QStringLiteral("P Mittag"));
    key(Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(field()->text(), QStringLiteral("Bericht"));

    // From the list, the keys bring the focus to the field.
    key(Qt::Key_Escape);
    ASSERT_EQ(focus(), list());
    key(Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(focus(), field());
    EXPECT_EQ(field()->text(), QStringLiteral("p 15"));
}

TEST_F(EntryInputTest, AddUnitWithNothingRememberedEmptiesAPauseText) {
    open();
    field()->setText(QStringLiteral("p 10"));
    key(Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(field()->text(), QString());
    // An empty field is not remembered by "Pause hinzufügen".
    key(Qt::Key_P, Qt::ControlModifier);
    key(Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(field()->text(), QString());
}

TEST_F(EntryInputTest, DelDeletesTextAndTheSelectedRowOfTheList) {
    writeLog({QStringLiteral("Alpha"), QStringLiteral("Beta"), QStringLiteral("Gamma")});
    open();
    // No row selected: only the character after the caret goes.
    field()->setText(QStringLiteral("Bericht"));
    field()->lineEdit()->setCursorPosition(2);
    key(Qt::Key_Delete);
    EXPECT_EQ(field()->text(), QStringLiteral("Beicht"));
    EXPECT_EQ(field()->lineEdit()->cursorPosition(), 2);
    field()->lineEdit()->setSelection(1, 3);
    key(Qt::Key_Delete);
    EXPECT_EQ(field()->text(), QStringLiteral("Bht"));
    EXPECT_EQ(field()->lineEdit()->cursorPosition(), 1);
    field()->lineEdit()->setCursorPosition(3);
    key(Qt::Key_Delete);
    EXPECT_EQ(field()->text(), QStringLiteral("Bht"));
    EXPECT_EQ(field()->count(), 3);
    EXPECT_TRUE(entries().isEmpty());

    // A row picked with the arrow keys is the selected one: Del removes it from the list. (The
    // field shows the last title, "Gamma", the last row.)
    field()->setText(QString());
    key(Qt::Key_Up);
    const QString picked = field()->text();
    ASSERT_TRUE(field()->titles().contains(picked));
    field()->lineEdit()->selectAll();
    key(Qt::Key_Delete);
    EXPECT_EQ(field()->text(), QString());
    EXPECT_FALSE(field()->titles().contains(picked));
    EXPECT_EQ(field()->count(), 2);

    // Typing ends the selection of a row.
    key(Qt::Key_Up);
    type(QStringLiteral("x"));
    key(Qt::Key_Delete);
    EXPECT_EQ(field()->count(), 2);
}

TEST_F(EntryInputTest, DelInTheDroppedDownListRemovesTheHighlightedRow) {
    writeLog({QStringLiteral("Alpha"), QStringLiteral("Beta"), QStringLiteral("Gamma")});
    open();
    field()->showPopup();
    QAbstractItemView* view = field()->view();
    ASSERT_TRUE(waitFor([view] { return view->isVisible(); }));
    view->setCurrentIndex(view->model()->index(1, 0));
    QTest::keyClick(view, Qt::Key_Delete);
    EXPECT_EQ(field()->titles(), (QStringList{QStringLiteral("Alpha"), QStringLiteral("Gamma")}));
    field()->hidePopup();
}

TEST_F(EntryInputTest, FieldKeysComeBeforeTheMainMenu) {
    open();
    enter(QStringLiteral("Eins"));
    enter(QStringLiteral("Zwei"));
    // Ctrl+A selects the text, not the rows; Del deletes text, not entries.
    field()->setText(QStringLiteral("Text"));
    key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(field()->lineEdit()->selectedText(), QStringLiteral("Text"));
    EXPECT_TRUE(list()->selectionModel()->selectedRows().isEmpty());
    list()->selectAll();
    key(Qt::Key_Delete);
    EXPECT_EQ(entries().size(), 2);
    EXPECT_EQ(field()->text(), QString());

    // Ctrl+Up and Ctrl+Down are swallowed; other keys reach the edit.
    KeySpy spy(field());
    key(Qt::Key_Up, Qt::ControlModifier);
    key(Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(spy.presses, 0);
    type(QStringLiteral("a"));
    EXPECT_EQ(spy.presses, 1);

    // The keypad's plus never reaches the field; the main keyboard's plus types "+".
    field()->setText(QString());
    key(Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(field()->text(), QString());
    type(QStringLiteral("+"));
    EXPECT_EQ(field()->text(), QStringLiteral("+"));

    // Esc sends the focus to the plan list.
    key(Qt::Key_Escape);
    EXPECT_EQ(focus(), list());
}

TEST_F(EntryInputTest, RightClickOnTheFieldShowsNoMenu) {
    open();
    for (QWidget* w : {static_cast<QWidget*>(field()), static_cast<QWidget*>(field()->lineEdit())}) {
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), w->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(w, &event);
        QTest::qWait(20);
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    }
}

TEST_F(EntryInputTest, FirstStartHintStandsSelectedInTheField) {
    const QString hint = QStringLiteral("Hier Aufgabe eingeben und ENTER drücken");
    writeLog({QStringLiteral("Bericht")});
    open();
    window->showFirstStartHint();
    EXPECT_EQ(field()->text(), hint);
    EXPECT_EQ(field()->lineEdit()->selectedText(), hint);
    ASSERT_GE(field()->findTitle(hint), 0);
    EXPECT_EQ(field()->selectedRow(), field()->findTitle(hint));

    // Given before the window is shown, the hint survives the showing.
    window.reset();
    open(false);
    window->showFirstStartHint();
    showActive();
    EXPECT_EQ(field()->text(), hint);
    EXPECT_EQ(field()->titles(), (QStringList{QStringLiteral("Bericht"), hint}));
}

} // namespace
