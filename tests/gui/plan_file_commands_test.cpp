// The plan on disk as the Planning window keeps it: loaded at creation, saved after each change,
// and the "Datei" commands with their questions.

#include "window_fixture.h"

using namespace Qt::StringLiterals;

namespace {

using Kind = ScriptedUi::Kind;
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
    records.settings.LogDateiPfad = data.filePath(u"Dezuzedu.log"_s);
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
