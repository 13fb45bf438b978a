// The plan on disk as the Planning window keeps it: loaded at creation, saved after each change,
// and the "Datei" commands with their dialogs.

#include "window_fixture.h"

using namespace Qt::StringLiterals;

namespace {

using Kind = ScriptedUi::Kind;
using PlanFileCommandsTest = WindowTest;

TEST_F(PlanFileCommandsTest, EveryTypedEntryIsSavedAtOnce) {
    open();
    enter(u"Bericht"_s);
    EXPECT_EQ(savedPlan(), QByteArray("Bericht///25\r\n"));
    enter(u"p 10 Kaffee"_s);
    enter(u"Pläne"_s);
    EXPECT_EQ(savedPlan(), QByteArray("Bericht///25\r\nPause: 10 Kaffee\r\nPl\xe4ne///25\r\n"));
    // Finished units are not written to worklist.log; fixed entries carry their date, and the new
    // pause follows the fixed entry before it.
    addFixed(u"Fertig"_s, QTime(8, 0), "x");
    addFixed(u"Termin"_s, QTime(14, 0));
    enter(u"p"_s);
    EXPECT_EQ(savedPlan(), QByteArray("Bericht///25\r\nPause: 10 Kaffee\r\nPl\xe4ne///25\r\n"
                                      "Termin///25|||14:00 07.12.2026\r\nPause: 25\r\n"));
}

TEST_F(PlanFileCommandsTest, TheSavedPlanComesBackAtCreationAndABadLineCostsOnlyItself) {
    const QByteArray saved =
        "Bericht///25\r\nB///zz\r\nPause: 15 Mittag\r\nTermin///50|||14:00 07.12.2026\r\n";
    data.write(u"worklist.log"_s, saved);
    open();
    EXPECT_EQ(shown(), u"1|09:00|09:25|Bericht; |09:25|09:40|Pause: 15 min (Mittag); 2|14:00|14:50|Termin"_s);
    EXPECT_EQ(window->windowTitle(), u"Taktplan (0/2)"_s);
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_TRUE(ui.messages.first().contains(u"B///zz"_s));
    EXPECT_EQ(data.read(u"worklist.log.bak"_s), saved);
}

TEST_F(PlanFileCommandsTest, ListCommandsSaveAndNeuDoesNot) {
    data.write(u"lastroutine.log"_s, "Routine///25\r\nPause: 5\r\n");
    open();
    enter(u"Eins"_s);
    enter(u"Zwei"_s);
    key(Qt::Key_Escape);
    list()->selectRow(0);
    key(Qt::Key_Delete);
    EXPECT_EQ(savedPlan(), QByteArray("Zwei///25\r\n"));

    edit(0).status = u"x"_s;
    key(Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(entries().isEmpty());
    EXPECT_EQ(window->worklist().removedDoneCount, 1);
    EXPECT_EQ(window->windowTitle(), u"Taktplan (1/1)"_s);
    EXPECT_EQ(savedPlan(), QByteArray());

    // "Neu" clears the open entries without saving.
    enter(u"Heute"_s);
    addFixed(u"Fertig"_s, QTime(8, 0), "x");
    key(Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(shown(), u"1|08:00|08:25|Fertig"_s);
    EXPECT_EQ(savedPlan(), QByteArray("Heute///25\r\n"));
    // "Letzten Plan laden" puts the routine in place of the open entries, after the finished ones.
    enter(u"Morgen"_s);
    key(Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(shown(), u"1|08:00|08:25|Fertig; 2|09:00|09:25|Routine; |09:25|09:30|Pause: 5 min"_s);

    // Changes that were not saved yet reach the file when the window closes.
    addFixed(u"Termin"_s, QTime(14, 0));
    window->close();
    EXPECT_EQ(savedPlan(), QByteArray("Routine///25\r\nPause: 5\r\nTermin///25|||14:00 07.12.2026\r\n"));
}

TEST_F(PlanFileCommandsTest, OpenLoadsAFileAndSaveWritesBackWithoutAsking) {
    data.write(u"plan.txt"_s, "A///25\r\nPause: 5\r\nB///50\r\n");
    open();
    enter(u"Weg damit"_s);
    ui.cancel(Kind::OpenFile);
    key(Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(shown(), u"1|09:00|09:25|Weg damit"_s) << "a cancelled question keeps the plan";
    // Only text files are offered.
    EXPECT_EQ(ui.questions.value(0), u"Öffnen|Textdatei (*.txt)|"_s);
    ui.answer(Kind::OpenFile, data.filePath(u"plan.txt"_s));
    key(Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(shown(), u"1|09:00|09:25|A; |09:25|09:30|Pause: 5 min; 2|09:30|10:20|B"_s);
    EXPECT_EQ(window->planFile().currentFileName(), data.filePath(u"plan.txt"_s));

    // Ctrl+S in the list (its hidden "Speichern") writes to the opened file, without dates and
    // without asking.
    edit(2).displayText = u"B neu"_s;
    key(Qt::Key_Escape);
    ASSERT_EQ(focus(), list());
    key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(ui.questions.size(), 2);
    EXPECT_EQ(data.read(u"plan.txt"_s), QByteArray("A///25\r\nPause: 5\r\nB neu///50\r\n"));
    // Opening again suggests the current file.
    ui.cancel(Kind::OpenFile);
    key(Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(ui.questions.value(2), u"Öffnen|Textdatei (*.txt)|"_s + data.filePath(u"plan.txt"_s));
}

TEST_F(PlanFileCommandsTest, SaveWithoutANameAndSaveAsAskForTheFile) {
    open();
    enter(u"Offen"_s);
    addFixed(u"Fertig"_s, QTime(8, 0), "x");
    data.write(u"alt.txt"_s, "vorher\r\n");
    const QString path = data.filePath(u"alt.txt"_s);
    // "Speichern" without a current file asks; cancelled, nothing is written.
    ui.cancel(Kind::SaveFile);
    key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(ui.questions.value(0), u"Speichern unter|Textdatei (*.txt)|"_s);
    ui.cancel(Kind::SaveFile);
    key(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(data.read(u"alt.txt"_s), QByteArray("vorher\r\n"));

    // "Speichern" through the question writes the open entries and does not make the name the
    // current one; "Speichern unter" writes finished units too and does.
    ui.answer(Kind::SaveFile, data.filePath(u"neu.txt"_s));
    key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(data.read(u"neu.txt"_s), QByteArray("Offen///25\r\n"));
    EXPECT_EQ(window->planFile().currentFileName(), QString());
    ui.answer(Kind::SaveFile, path);
    key(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(data.read(u"alt.txt"_s), QByteArray("Fertig///25\r\nOffen///25\r\n"));
    EXPECT_EQ(window->planFile().currentFileName(), path);
}

} // namespace
