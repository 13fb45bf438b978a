#include "window_user_interface.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

// Answers the next modal dialog from inside its own event loop, and gives up (rejecting
// whatever is open) after a second, so a dialog that was not expected fails the test at once.
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
    QTimer running;
    QTimer stopped;
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
        EXPECT_TRUE(running.isActive());
        EXPECT_FALSE(stopped.isActive()) << "a timer that did not run stays off";
    }
    // An answer comes back as given.
    answerNextDialog([](QDialog* d) {
        auto* box = qobject_cast<QMessageBox*>(d);
        ASSERT_NE(box, nullptr);
        box->button(QMessageBox::Yes)->click();
    });
    EXPECT_EQ(ui.askYesNo(u"T"_s, u"Sicher?"_s), std::optional<bool>(true));
}

TEST(WindowUserInterface, FileDialogsOfferTheFilterAndAskBeforeReplacing) {
    const struct {
        bool save;
        const char* filter;
        QFileDialog::AcceptMode accept;
        QFileDialog::FileMode mode;
        const char* suffix;
    } cases[] = {{false, "Textdatei (*.txt)", QFileDialog::AcceptOpen, QFileDialog::ExistingFile, ""},
                 {true, "Textdatei (*.txt)", QFileDialog::AcceptSave, QFileDialog::AnyFile, "txt"},
                 {true, "Protokoll (*.log *.txt)", QFileDialog::AcceptSave, QFileDialog::AnyFile, "log"}};
    for (const auto& c : cases) {
        const auto d =
            WindowUserInterface::fileDialog(c.save, u"Titel"_s, QString::fromUtf8(c.filter), QString());
        EXPECT_EQ(d->windowTitle() + u'|' + d->nameFilters().join(u';') + u'|' + d->defaultSuffix(),
                  u"Titel|"_s + QString::fromUtf8(c.filter) + u'|' + QString::fromUtf8(c.suffix));
        EXPECT_EQ(d->acceptMode(), c.accept);
        EXPECT_EQ(d->fileMode(), c.mode);
        EXPECT_FALSE(d->testOption(QFileDialog::DontConfirmOverwrite));
    }
}

TEST(WindowUserInterface, ReminderIsOneNonModalWindowOnTop) {
    WindowUserInterface ui;
    auto* reminder = static_cast<QMessageBox*>(ui.reminderWindow());
    ASSERT_NE(reminder, nullptr);
    EXPECT_FALSE(reminder->isVisible());
    for (const auto& [caption, text] :
         {std::pair(u"Aufgabe"_s, u"Kaffee"_s), std::pair(u"Taktplan - Fehler"_s, u"Logdatei"_s)}) {
        ui.showReminder(caption, text);
        // The same window shows each text.
        EXPECT_EQ(ui.reminderWindow(), reminder);
        EXPECT_TRUE(reminder->isVisible());
        EXPECT_EQ(reminder->windowTitle() + u'|' + reminder->text(), caption + u'|' + text);
    }
    EXPECT_EQ(reminder->windowModality(), Qt::NonModal);
    EXPECT_TRUE(reminder->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    int visible = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        visible += qobject_cast<QMessageBox*>(w) && w->isVisible() ? 1 : 0;
    EXPECT_EQ(visible, 1);
    reminder->button(QMessageBox::Ok)->click();
    EXPECT_FALSE(reminder->isVisible());
}

} // namespace
