// The plan on disk as the Planning window keeps it: loaded at creation, saved after each change,
// and the "Datei" commands with their dialogs.

#include "window_fixture.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QMessageBox>
#include <QSignalSpy>

namespace {

// Answers the next modal dialog of type T from inside its own event loop (gives up after 3 s).
template <typename T> void answerNext(std::function<void(T*)> answer) {
    auto* poll = new QTimer;
    auto ticks = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, [poll, ticks, answer] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            answer(dialog);
        } else if (++*ticks > 300) {
            poll->stop();
            poll->deleteLater();
        }
    });
    poll->start(10);
}

void chooseFile(const QString& path) {
    answerNext<QFileDialog>([path](QFileDialog* d) {
        d->selectFile(path);
        QMetaObject::invokeMethod(d, "accept", Qt::DirectConnection);
    });
}

void cancelFileDialog(QString* caption = nullptr) {
    answerNext<QFileDialog>([caption](QFileDialog* d) {
        if (caption)
            *caption = d->windowTitle() + QLatin1Char('|') + d->nameFilters().join(QLatin1Char(';')) +
                       QLatin1Char('|') + d->defaultSuffix();
        d->reject();
    });
}

PlanEntry finished(const QString& title) {
    PlanEntry e;
    e.startTime = QStringLiteral("08:00");
    e.endTime = QStringLiteral("08:25");
    e.displayText = title;
    e.startMode = QStringLiteral("F");
    e.kind = QStringLiteral("E");
    e.duration = QStringLiteral("25");
    e.status = QStringLiteral("x");
    e.date = QStringLiteral("07.12.2026");
    return e;
}

using PlanFileCommandsTest = WindowTest;

TEST_F(PlanFileCommandsTest, EveryTypedEntryIsSavedAtOnce) {
    open();
    enter(QStringLiteral("Bericht"));
    EXPECT_EQ(data.read(QStringLiteral("worklist.log")), QByteArray("Bericht///25\r\n"));
    enter(QStringLiteral("p 10 Kaffee"));
    EXPECT_EQ(data.read(QStringLiteral("worklist.log")), QByteArray("Bericht///25\r\nPause: 10 Kaffee\r\n"));
    enter(QStringLiteral("Pläne"));
    EXPECT_EQ(data.read(QStringLiteral("worklist.log")),
              QByteArray("Bericht///25\r\nPause: 10 Kaffee\r\nPl\xe4ne///25\r\n"));
    // Finished units are not written to worklist.log; fixed entries carry their date.
    entries().prepend(finished(QStringLiteral("Fertig")));
    PlanEntry fixed = finished(QStringLiteral("Termin"));
    fixed.status = QStringLiteral(" ");
    fixed.startTime = QStringLiteral("14:00");
    entries().append(fixed);
    // The new pause follows the fixed entry before it.
    enter(QStringLiteral("p"));
    EXPECT_EQ(data.read(QStringLiteral("worklist.log")),
              QByteArray("Bericht///25\r\nPause: 10 Kaffee\r\nPl\xe4ne///25\r\n"
                         "Termin///25|||14:00 07.12.2026\r\nPause: 25\r\n"));
}

TEST_F(PlanFileCommandsTest, TheSavedPlanComesBackAtCreation) {
    data.write(QStringLiteral("worklist.log"),
               "Bericht///25\r\nPause: 15 Mittag\r\nTermin///50|||14:00 07.12.2026\r\n");
    open();
    EXPECT_EQ(shownRows(), (QStringList{QStringLiteral("1|09:00|09:25|Bericht"),
                                        QStringLiteral("|09:25|09:40|Pause: 15 min (Mittag)"),
                                        QStringLiteral("2|14:00|14:50|Termin")}));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Taktplan (0/2)"));
    EXPECT_TRUE(ui.messages.isEmpty());
}

TEST_F(PlanFileCommandsTest, AnUnreadableLineCostsOnlyThatLine) {
    data.write(QStringLiteral("worklist.log"), "A///25\r\nB///zz\r\nC///25\r\n");
    open();
    EXPECT_EQ(entries().size(), 2);
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_TRUE(ui.messages.first().contains(QStringLiteral("B///zz")));
    EXPECT_EQ(data.read(QStringLiteral("worklist.log.bak")), QByteArray("A///25\r\nB///zz\r\nC///25\r\n"));
}

TEST_F(PlanFileCommandsTest, DeletingRemovingAndClosingSave) {
    open();
    enter(QStringLiteral("Eins"));
    enter(QStringLiteral("Zwei"));
    key(Qt::Key_Escape);
    list()->selectRow(0);
    key(Qt::Key_Delete);
    EXPECT_EQ(data.read(QStringLiteral("worklist.log")), QByteArray("Zwei///25\r\n"));

    entries().first().status = QStringLiteral("x");
    key(Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(entries().isEmpty());
    EXPECT_EQ(window->worklist().removedDoneCount, 1);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Taktplan (1/1)"));
    EXPECT_EQ(data.read(QStringLiteral("worklist.log")), QByteArray());

    // Changes that were not saved yet reach the file when the window closes.
    entries().append(finished(QStringLiteral("Termin")));
    entries().last().status = QStringLiteral(" ");
    window->close();
    EXPECT_EQ(data.read(QStringLiteral("worklist.log")), QByteArray("Termin///25|||08:00 07.12.2026\r\n"));
}

TEST_F(PlanFileCommandsTest, NeuClearsOpenEntriesWithoutSaving) {
    open();
    enter(QStringLiteral("Eins"));
    entries().prepend(finished(QStringLiteral("Fertig")));
    window->tmrUpdateTimer();
    key(Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(shownRows(), QStringList{QStringLiteral("1|08:00|08:25|Fertig")});
    EXPECT_EQ(data.read(QStringLiteral("worklist.log")), QByteArray("Eins///25\r\n"));
}

TEST_F(PlanFileCommandsTest, OpenLoadsAFileAndSaveWritesBackWithoutAsking) {
    data.write(QStringLiteral("plan.txt"), "A///25\r\nPause: 5\r\nB///50\r\n");
    open();
    enter(QStringLiteral("Weg damit"));
    chooseFile(data.filePath(QStringLiteral("plan.txt")));
    key(Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(shownRows(),
              (QStringList{QStringLiteral("1|09:00|09:25|A"), QStringLiteral("|09:25|09:30|Pause: 5 min"),
                           QStringLiteral("2|09:30|10:20|B")}));
    EXPECT_EQ(window->planFile().currentFileName(), data.filePath(QStringLiteral("plan.txt")));
    activate(window.get());

    // Ctrl+S in the list (its hidden "Speichern") writes to the opened file, without dates.
    entries().last().displayText = QStringLiteral("B neu");
    key(Qt::Key_Escape);
    ASSERT_EQ(focus(), list());
    key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(data.read(QStringLiteral("plan.txt")), QByteArray("A///25\r\nPause: 5\r\nB neu///50\r\n"));
}

TEST_F(PlanFileCommandsTest, SaveWithoutANameAsksAndAddsTheSuffix) {
    open();
    enter(QStringLiteral("Eins"));
    QString dialog;
    cancelFileDialog(&dialog);
    key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(dialog, QStringLiteral("Speichern unter|Textdatei (*.txt)|txt"));
    EXPECT_EQ(window->planFile().currentFileName(), QString());

    chooseFile(data.filePath(QStringLiteral("neu")));
    key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(data.read(QStringLiteral("neu.txt")), QByteArray("Eins///25\r\n"));
    // "Speichern" through the dialog does not make the name the current one.
    EXPECT_EQ(window->planFile().currentFileName(), QString());
}

TEST_F(PlanFileCommandsTest, SaveAsWritesFinishedUnitsAndAsksBeforeOverwriting) {
    open();
    enter(QStringLiteral("Offen"));
    entries().prepend(finished(QStringLiteral("Fertig")));
    data.write(QStringLiteral("alt.txt"), "vorher\r\n");

    // Declining the overwrite question keeps the file as it was (and the dialog open).
    QString question;
    answerNext<QMessageBox>([&question](QMessageBox* box) {
        question = box->text();
        box->button(QMessageBox::No)->click();
    });
    const QString path = data.filePath(QStringLiteral("alt.txt"));
    answerNext<QFileDialog>([path](QFileDialog* d) {
        d->selectFile(path);
        QMetaObject::invokeMethod(d, "accept", Qt::DirectConnection);
        EXPECT_TRUE(d->isVisible());
        d->reject();
    });
    key(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(question.contains(QStringLiteral("alt.txt"))) << question.toStdString();
    EXPECT_EQ(data.read(QStringLiteral("alt.txt")), QByteArray("vorher\r\n"));

    activate(window.get());
    answerNext<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::Yes)->click(); });
    chooseFile(path);
    key(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(data.read(QStringLiteral("alt.txt")), QByteArray("Fertig///25\r\nOffen///25\r\n"));
    EXPECT_EQ(window->planFile().currentFileName(), data.filePath(QStringLiteral("alt.txt")));
}

TEST_F(PlanFileCommandsTest, OpenDialogTakesOnlyExistingTextFilesAndPausesTheFocusLock) {
    records.settings.InVordergrundDraengen = true;
    open();
    QTimer* lock = timer(QStringLiteral("tmrFocusLock"));
    bool lockDuringDialog = true;
    QString dialog;
    answerNext<QFileDialog>([&](QFileDialog* d) {
        lockDuringDialog = lock->isActive();
        dialog = d->windowTitle() + QLatin1Char('|') + d->nameFilters().join(QLatin1Char(';'));
        EXPECT_EQ(d->fileMode(), QFileDialog::ExistingFile);
        EXPECT_EQ(d->acceptMode(), QFileDialog::AcceptOpen);
        d->reject();
    });
    key(Qt::Key_O, Qt::ControlModifier);
    EXPECT_FALSE(lockDuringDialog);
    EXPECT_EQ(dialog, QStringLiteral("Öffnen|Textdatei (*.txt)"));
    EXPECT_TRUE(lock->isActive());
    EXPECT_TRUE(entries().isEmpty());
}

TEST_F(PlanFileCommandsTest, LoadLastPlanReadsTheRoutineFile) {
    data.write(QStringLiteral("lastroutine.log"), "Routine///25\r\nPause: 5\r\n");
    open();
    enter(QStringLiteral("Heute"));
    entries().prepend(finished(QStringLiteral("Fertig")));
    window->tmrUpdateTimer();
    key(Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(shownRows(),
              (QStringList{QStringLiteral("1|08:00|08:25|Fertig"), QStringLiteral("2|09:00|09:25|Routine"),
                           QStringLiteral("|09:25|09:30|Pause: 5 min")}));
}

} // namespace
