// The program's user interface in windows: dialogs that rest the timers, file dialogs, and the
// reminder that never blocks.

#include "tf_reminder.h"
#include "window_user_interface.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

// Answers the next modal dialog from inside its own event loop; after a second without one it
// gives up, so a test never waits for a dialog.
void answerNextDialog(const std::function<void(QDialog*)>& answer) {
    auto* poll = new QTimer;
    auto ticks = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, [poll, ticks, answer] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog && ++*ticks < 100)
            return;
        poll->stop();
        poll->deleteLater();
        if (dialog)
            answer(dialog);
    });
    poll->start(10);
}

TEST(WindowUserInterface, EveryDialogRestsTheRegisteredTimersAndCancelsDistinctly) {
    WindowUserInterface ui;
    QTimer running, stopped;
    running.start(250);
    ui.suspendDuringDialogs(&running);
    ui.suspendDuringDialogs(&stopped);
    // Each dialog is cancelled (Esc) once it is up; the timers' state meanwhile is recorded.
    const std::function<bool()> dialogs[] = {
        [&] { return !ui.askText(u"T"_s, u"Titel"_s, u"alt"_s).has_value(); },
        [&] { return !ui.askTime(u"T"_s, u"Zeit"_s, QTime(9, 30)).has_value(); },
        [&] { return !ui.askDate(u"T"_s, u"Datum"_s, QDate(2026, 12, 7)).has_value(); },
        [&] { return !ui.askNumber(u"T"_s, u"Zahl"_s, 5, 0, 10).has_value(); },
        // A yes/no box takes Esc as "No", as such boxes do everywhere.
        [&] { return ui.askYesNo(u"T"_s, u"Sicher?"_s) == std::optional<bool>(false); },
        [&] { return !ui.askOpenFileName(u"T"_s, u"Textdatei (*.txt)"_s, QString()).has_value(); },
        [&] {
            ui.showMessage(u"Hinweis"_s);
            return true;
        },
    };
    for (const auto& dialog : dialogs) {
        bool restedMeanwhile = false;
        answerNextDialog([&](QDialog* d) {
            restedMeanwhile = !running.isActive() && !stopped.isActive();
            QTest::keyClick(d, Qt::Key_Escape);
        });
        EXPECT_TRUE(dialog());
        EXPECT_TRUE(restedMeanwhile);
        EXPECT_TRUE(running.isActive() && !stopped.isActive()) << "each timer as it was before";
    }
    answerNextDialog([](QDialog* d) { static_cast<QMessageBox*>(d)->button(QMessageBox::Yes)->click(); });
    EXPECT_EQ(ui.askYesNo(u"T"_s, u"Sicher?"_s), std::optional<bool>(true));
}

TEST(WindowUserInterface, DialogsFitTheirCaptionAndTextAndTheScreen) {
    WindowUserInterface ui;
    const QString question =
        u"Regelmäßig sollten pro Tag 8 Einheiten erledigt werden (Default-Soll-Wert). Nach der "
        u"aktuellen Planung sind jedoch nur 5 vorgesehen. Wie viele Einheiten sollten heute nun "
        u"tatsächlich erledigt werden?"_s;
    const QString rename = u"Aufgabenbeschreibung ändern"_s, date = u"Datum der markierten Einträge ändern"_s;
    const QString title = u"Wäsche aufhängen, Fenster putzen und die Steuererklärung abschließen"_s;
    // A long question breaks into lines; a caption and a field's text show whole.
    const struct {
        std::function<void()> ask;
        QString caption, field;
        bool wraps;
    } dialogs[] = {
        {[&] { ui.askText(u"Soll-Wert"_s, question, u"8"_s); }, u"Soll-Wert"_s, u"8"_s, true},
        {[&] { ui.askNumber(u"T"_s, question, 5, 0, 10); }, u"T"_s, QString(), true},
        {[&] { ui.askTime(u"T"_s, question, QTime(9, 30)); }, u"T"_s, QString(), true},
        {[&] { ui.askText(rename, u"Neue Aufgabenbeschreibung?"_s, title); }, rename, title, false},
        {[&] { ui.askDate(date, u"Datum?"_s, QDate(2026, 12, 7)); }, date, QString(), false}};
    const int screenWidth = QGuiApplication::primaryScreen()->availableGeometry().width();
    for (const auto& row : dialogs) {
        int width = 0, lines = 0, captionWidth = 0, fieldRoom = 0, fieldText = 0;
        answerNextDialog([&](QDialog* d) {
            width = d->width();
            captionWidth = d->fontMetrics().horizontalAdvance(row.caption);
            for (const QLabel* label : d->findChildren<QLabel*>()) {
                if (label->text() == question)
                    lines = label->height() / label->fontMetrics().lineSpacing();
            }
            if (const auto* edit = d->findChild<QLineEdit*>(); edit && !row.field.isEmpty()) {
                fieldRoom = edit->contentsRect().width();
                fieldText = edit->fontMetrics().horizontalAdvance(row.field);
            }
            QTest::keyClick(d, Qt::Key_Escape);
        });
        row.ask();
        EXPECT_LE(width, row.wraps ? 700 : screenWidth) << row.caption.toStdString();
        EXPECT_GE(width, captionWidth + 100) << row.caption.toStdString();
        EXPECT_GE(fieldRoom, fieldText) << row.caption.toStdString();
        EXPECT_EQ(lines >= 2, row.wraps) << row.caption.toStdString();
    }
}

TEST(WindowUserInterface, ATimerMayBeToldToRunAfterEveryDialog) {
    // A focus lock comes back after a dialog even when it did not run before, unless its
    // condition says no; a timer that ran is restored either way.
    const struct {
        bool ranBefore, condition, runsAfter;
    } cases[] = {{false, true, true}, {false, false, false}, {true, false, true}, {true, true, true}};
    for (const auto& c : cases) {
        WindowUserInterface ui;
        QTimer lock;
        if (c.ranBefore)
            lock.start(250);
        ui.suspendDuringDialogs(&lock, [&] { return c.condition; });
        bool restedMeanwhile = false;
        answerNextDialog([&](QDialog* d) {
            restedMeanwhile = !lock.isActive();
            QTest::keyClick(d, Qt::Key_Escape);
        });
        ui.askText(u"T"_s, u"Titel"_s, QString());
        EXPECT_TRUE(restedMeanwhile);
        EXPECT_EQ(lock.isActive(), c.runsAfter) << c.ranBefore << c.condition;
    }
}

TEST(WindowUserInterface, FileDialogsOfferTheFilterAndAskBeforeReplacing) {
    // save?, filter, the suffix a bare name gets
    // clang-format off
    const std::tuple<bool, QString, QString> cases[] = {{false, u"Textdatei (*.txt)"_s, QString()}, {true, u"Textdatei (*.txt)"_s, u"txt"_s}, {true, u"Protokoll (*.log *.txt)"_s, u"log"_s}};
    // clang-format on
    for (const auto& [save, filter, suffix] : cases) {
        const auto d = WindowUserInterface::fileDialog(save, u"Titel"_s, filter, QString());
        EXPECT_EQ(d->windowTitle() + u'|' + d->nameFilters().join(u';') + u'|' + d->defaultSuffix(),
                  u"Titel|"_s + filter + u'|' + suffix);
        EXPECT_EQ(d->fileMode(), save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        EXPECT_EQ(d->acceptMode() == QFileDialog::AcceptSave, save);
        EXPECT_FALSE(d->testOption(QFileDialog::DontConfirmOverwrite));
    }
}

TEST(WindowUserInterface, ReminderIsOneWindowThatDoesNotBlockAndAWithdrawnNoteLeavesLaterOnes) {
    WindowUserInterface ui;
    ui.withdrawReminder(u"Pause"_s, u"Kaffee"_s);
    EXPECT_EQ(ui.existingReminderWindow(), nullptr);
    ui.showReminder(u"Pause"_s, u"Kaffee"_s);
    ui.showReminder(u"Taktplan - Fehler"_s, u"Logdatei"_s);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    int visible = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        visible += qobject_cast<TFReminder*>(w) && w->isVisible() ? 1 : 0;
    EXPECT_EQ(visible, 1);
    auto* reminder = qobject_cast<TFReminder*>(ui.reminderWindow());
    ASSERT_NE(reminder, nullptr);
    EXPECT_EQ(reminder->windowTitle() + u'|' + reminder->text(), u"Taktplan - Fehler|Logdatei"_s);
    for (const auto& [caption, text, stays] : {std::tuple(u"Pause"_s, u"Kaffee"_s, true),
                                               std::tuple(u"Taktplan - Fehler"_s, u"Logdatei"_s, false)}) {
        ui.withdrawReminder(caption, text);
        EXPECT_EQ(reminder->isVisible(), stays) << caption.toStdString();
    }
}

} // namespace
