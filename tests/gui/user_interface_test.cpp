// The program's user interface in windows: dialogs that rest the timers, file dialogs, and the
// reminder that never blocks.

#include "case_table.h"
#include "tf_reminder.h"
#include "window_user_interface.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
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

// Asks as the row says; true when the dialog was cancelled as its kind is.
bool cancelled(WindowUserInterface& ui, const CaseRow& c) {
    if (c[0] == u"text")
        return !ui.askText(c[1], c[2], c[3]).has_value();
    if (c[0] == u"number")
        return !ui.askNumber(c[1], c[2], 5, 0, 10).has_value();
    if (c[0] == u"time")
        return !ui.askTime(c[1], c[2], QTime(9, 30)).has_value();
    if (c[0] == u"date")
        return !ui.askDate(c[1], c[2], QDate(2026, 12, 7)).has_value();
    // A yes/no box takes Esc as "No", as such boxes do everywhere.
    if (c[0] == u"yesno")
        return ui.askYesNo(c[1], c[2]) == std::optional<bool>(false);
    if (c[0] == u"file")
        return !ui.askOpenFileName(c[1], c[2], QString()).has_value();
    ui.showMessage(c[2]);
    return true;
}

TEST(WindowUserInterface, EveryDialogRestsTheTimersFitsItsTextsAndCancelsDistinctly) {
    WindowUserInterface ui;
    // Timers that ran or not; a focus lock comes back after a dialog even when it did not run
    // before, unless its condition says no.
    QTimer running, stopped, lockOn, lockOff, lockRan;
    running.start(250);
    lockRan.start(250);
    ui.suspendDuringDialogs(&running);
    ui.suspendDuringDialogs(&stopped);
    ui.suspendDuringDialogs(&lockOn, [] { return true; });
    ui.suspendDuringDialogs(&lockOff, [] { return false; });
    ui.suspendDuringDialogs(&lockRan, [] { return false; });
    const auto active = [&] {
        QString on;
        for (const QTimer* t : {&running, &stopped, &lockOn, &lockOff, &lockRan})
            on += t->isActive() ? u'1' : u'0';
        return on;
    };
    const int screenWidth = QGuiApplication::primaryScreen()->availableGeometry().width();
    for (const CaseRow& c : caseTable(QStringLiteral(GUI_TEST_DATA "/ui_dialogs.txt"))) {
        SCOPED_TRACE(c.where.toStdString());
        QString meanwhile;
        int width = 0, lines = 0, captionWidth = 0, fieldRoom = 0, fieldText = 0;
        answerNextDialog([&](QDialog* d) {
            meanwhile = active();
            width = d->width();
            captionWidth = d->fontMetrics().horizontalAdvance(c[1]);
            for (const QLabel* label : d->findChildren<QLabel*>()) {
                if (label->text() == c[2])
                    lines = label->height() / label->fontMetrics().lineSpacing();
            }
            if (const auto* edit = d->findChild<QLineEdit*>(); edit && !c[3].isEmpty()) {
                fieldRoom = edit->contentsRect().width();
                fieldText = edit->fontMetrics().horizontalAdvance(c[3]);
            }
            QTest::keyClick(d, Qt::Key_Escape);
        });
        EXPECT_TRUE(cancelled(ui, c));
        EXPECT_EQ(meanwhile, u"00000"_s);
        EXPECT_EQ(active(), u"10101"_s);
        if (c[4] == u"-")
            continue;
        // A long question breaks into lines; a caption and a field's text show whole.
        EXPECT_LE(width, c.number(4) ? 700 : screenWidth);
        EXPECT_GE(width, captionWidth + 100);
        EXPECT_GE(fieldRoom, fieldText);
        EXPECT_EQ(lines >= 2, c.number(4) == 1);
    }
    answerNextDialog([](QDialog* d) { static_cast<QMessageBox*>(d)->button(QMessageBox::Yes)->click(); });
    EXPECT_EQ(ui.askYesNo(u"T"_s, u"Sicher?"_s), std::optional<bool>(true));
}

TEST(WindowUserInterface, FileDialogsOfferTheFilterAndAskBeforeReplacing) {
    for (const CaseRow& c : caseTable(QStringLiteral(GUI_TEST_DATA "/ui_dialogs.txt"), u"file dialogs"_s)) {
        SCOPED_TRACE(c.where.toStdString());
        const bool save = c.number(0);
        const auto d = WindowUserInterface::fileDialog(save, u"Titel"_s, c[1], QString());
        EXPECT_EQ(d->windowTitle() + u'|' + d->nameFilters().join(u';') + u'|' + d->defaultSuffix(),
                  u"Titel|"_s + c[1] + u'|' + c[2]);
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
