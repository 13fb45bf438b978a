// The plan on disk as the Planning window keeps it: loaded at creation, saved after each change,
// and the "Datei" commands with their dialogs.

#include "window_fixture.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QMessageBox>

using namespace Qt::StringLiterals;

namespace {

// Answers the next modal dialog of type T from inside its own event loop (gives up after 3 s).
template <typename T> void answerNext(std::function<void(T*)> answer) {
    auto* poll = new QTimer;
    auto ticks = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, [poll, ticks, answer] {
        auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (dialog || ++*ticks > 300) {
            poll->stop();
            poll->deleteLater();
        }
        if (dialog)
            answer(dialog);
    });
    poll->start(10);
}

// Picks the file in the next file dialog; describes the dialog to *seen when given.
void chooseFile(const QString& path, QString* seen = nullptr) {
    answerNext<QFileDialog>([path, seen](QFileDialog* d) {
        if (seen)
            *seen = d->windowTitle() + u'|' + d->nameFilters().join(u';') + u'|' + d->defaultSuffix();
        if (path.isEmpty())
            return d->reject();
        d->selectFile(path);
        QMetaObject::invokeMethod(d, "accept", Qt::DirectConnection);
    });
}

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
    entries().prepend(fixedUnit(u"Fertig"_s, u"x"_s));
    entries().append(fixedUnit(u"Termin"_s));
    entries().last().startTime = u"14:00"_s;
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

    entries().first().status = u"x"_s;
    key(Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(entries().isEmpty());
    EXPECT_EQ(window->worklist().removedDoneCount, 1);
    EXPECT_EQ(window->windowTitle(), u"Taktplan (1/1)"_s);
    EXPECT_EQ(savedPlan(), QByteArray());

    // "Neu" clears the open entries without saving.
    enter(u"Heute"_s);
    entries().prepend(fixedUnit(u"Fertig"_s, u"x"_s));
    window->tmrUpdateTimer();
    key(Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(shown(), u"1|08:00|08:25|Fertig"_s);
    EXPECT_EQ(savedPlan(), QByteArray("Heute///25\r\n"));
    // "Letzten Plan laden" puts the routine in place of the open entries, after the finished ones.
    enter(u"Morgen"_s);
    key(Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(shown(), u"1|08:00|08:25|Fertig; 2|09:00|09:25|Routine; |09:25|09:30|Pause: 5 min"_s);

    // Changes that were not saved yet reach the file when the window closes.
    entries().append(fixedUnit(u"Termin"_s));
    window->close();
    EXPECT_EQ(savedPlan(), QByteArray("Routine///25\r\nPause: 5\r\nTermin///25|||08:00 07.12.2026\r\n"));
}

TEST_F(PlanFileCommandsTest, OpenLoadsAFileAndSaveWritesBackWithoutAsking) {
    records.settings.InVordergrundDraengen = true;
    data.write(u"plan.txt"_s, "A///25\r\nPause: 5\r\nB///50\r\n");
    open();
    enter(u"Weg damit"_s);
    chooseFile(QString());
    key(Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(shown(), u"1|09:00|09:25|Weg damit"_s) << "a cancelled dialog keeps the plan";
    // The open dialog takes only existing text files, and the focus lock rests meanwhile.
    QTimer* lock = timer(u"tmrFocusLock"_s);
    bool lockDuringDialog = true;
    QString dialog;
    answerNext<QFileDialog>([&](QFileDialog* d) {
        lockDuringDialog = lock->isActive();
        dialog = d->windowTitle() + u'|' + d->nameFilters().join(u';');
        EXPECT_EQ(d->fileMode(), QFileDialog::ExistingFile);
        EXPECT_EQ(d->acceptMode(), QFileDialog::AcceptOpen);
        d->selectFile(data.filePath(u"plan.txt"_s));
        QMetaObject::invokeMethod(d, "accept", Qt::DirectConnection);
    });
    key(Qt::Key_O, Qt::ControlModifier);
    EXPECT_FALSE(lockDuringDialog);
    EXPECT_EQ(dialog, u"Öffnen|Textdatei (*.txt)"_s);
    EXPECT_TRUE(lock->isActive());
    EXPECT_EQ(shown(), u"1|09:00|09:25|A; |09:25|09:30|Pause: 5 min; 2|09:30|10:20|B"_s);
    EXPECT_EQ(window->planFile().currentFileName(), data.filePath(u"plan.txt"_s));
    activate(window.get());

    // Ctrl+S in the list (its hidden "Speichern") writes to the opened file, without dates.
    entries().last().displayText = u"B neu"_s;
    key(Qt::Key_Escape);
    ASSERT_EQ(focus(), list());
    key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(data.read(u"plan.txt"_s), QByteArray("A///25\r\nPause: 5\r\nB neu///50\r\n"));
}

TEST_F(PlanFileCommandsTest, SaveWithoutANameAsksAndAddsTheSuffix) {
    open();
    enter(u"Eins"_s);
    QString dialog;
    chooseFile(QString(), &dialog);
    key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(dialog, u"Speichern unter|Textdatei (*.txt)|txt"_s);
    chooseFile(data.filePath(u"neu"_s));
    key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(data.read(u"neu.txt"_s), QByteArray("Eins///25\r\n"));
    // "Speichern" through the dialog does not make the name the current one.
    EXPECT_EQ(window->planFile().currentFileName(), QString());
}

TEST_F(PlanFileCommandsTest, SaveAsWritesFinishedUnitsAndAsksBeforeOverwriting) {
    open();
    enter(u"Offen"_s);
    entries().prepend(fixedUnit(u"Fertig"_s, u"x"_s));
    data.write(u"alt.txt"_s, "vorher\r\n");
    const QString path = data.filePath(u"alt.txt"_s);

    // Declining the overwrite question keeps the file as it was (and the dialog open).
    QString question;
    answerNext<QMessageBox>([&question](QMessageBox* box) {
        question = box->text();
        box->button(QMessageBox::No)->click();
    });
    answerNext<QFileDialog>([path](QFileDialog* d) {
        d->selectFile(path);
        QMetaObject::invokeMethod(d, "accept", Qt::DirectConnection);
        EXPECT_TRUE(d->isVisible());
        d->reject();
    });
    key(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(question.contains(u"alt.txt"_s)) << question.toStdString();
    EXPECT_EQ(data.read(u"alt.txt"_s), QByteArray("vorher\r\n"));

    activate(window.get());
    answerNext<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::Yes)->click(); });
    chooseFile(path);
    key(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(data.read(u"alt.txt"_s), QByteArray("Fertig///25\r\nOffen///25\r\n"));
    EXPECT_EQ(window->planFile().currentFileName(), path);
}

} // namespace
