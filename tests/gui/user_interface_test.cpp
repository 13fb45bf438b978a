#include "window_user_interface.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

TEST(WindowUserInterface, MessageIsAModalBoxTitledTaktplanWithOk) {
    WindowUserInterface ui;
    QString seen;
    QTimer::singleShot(0, [&seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen = box->windowTitle() + u'|' + box->text() + u'|' + QString::number(box->standardButtons());
        box->button(QMessageBox::Ok)->click();
    });
    ui.showMessage(u"Die Datei fehlt."_s);
    EXPECT_EQ(seen, u"Taktplan|Die Datei fehlt.|"_s + QString::number(QMessageBox::Ok));
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
