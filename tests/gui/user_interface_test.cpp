#include "window_user_interface.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

namespace {

TEST(WindowUserInterface, MessageIsAModalBoxTitledTaktplanWithOk) {
    WindowUserInterface ui;
    QString seen;
    QTimer::singleShot(0, [&seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen = box->windowTitle() + QLatin1Char('|') + box->text() + QLatin1Char('|') +
               QString::number(box->standardButtons());
        box->button(QMessageBox::Ok)->click();
    });
    ui.showMessage(QStringLiteral("Die Datei fehlt."));
    EXPECT_EQ(seen, QStringLiteral("Taktplan|Die Datei fehlt.|") + QString::number(QMessageBox::Ok));
}

TEST(WindowUserInterface, ReminderIsOneNonModalWindowOnTop) {
    WindowUserInterface ui;
    QWidget* reminder = ui.reminderWindow();
    ASSERT_NE(reminder, nullptr);
    EXPECT_FALSE(reminder->isVisible());
    ui.showReminder(QStringLiteral("Aufgabe"), QStringLiteral("Kaffee"));
    EXPECT_TRUE(reminder->isVisible());
    EXPECT_EQ(reminder->windowTitle(), QStringLiteral("Aufgabe"));
    EXPECT_EQ(static_cast<QMessageBox*>(reminder)->text(), QStringLiteral("Kaffee"));
    EXPECT_EQ(reminder->windowModality(), Qt::NonModal);
    EXPECT_TRUE(reminder->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    // The same window shows the next text.
    ui.showReminder(QStringLiteral("Taktplan - Fehler"), QStringLiteral("Logdatei"));
    EXPECT_EQ(ui.reminderWindow(), reminder);
    EXPECT_EQ(reminder->windowTitle(), QStringLiteral("Taktplan - Fehler"));
    EXPECT_EQ(static_cast<QMessageBox*>(reminder)->text(), QStringLiteral("Logdatei"));
    int visible = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        visible += qobject_cast<QMessageBox*>(w) && w->isVisible() ? 1 : 0;
    EXPECT_EQ(visible, 1);
    static_cast<QMessageBox*>(reminder)->button(QMessageBox::Ok)->click();
    EXPECT_FALSE(reminder->isVisible());
}

} // namespace
