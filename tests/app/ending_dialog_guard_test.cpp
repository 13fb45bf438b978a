#include "ending_dialog_guard.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QInputDialog>
#include <QMessageBox>

#include <gtest/gtest.h>

TEST(EndingDialogGuard, DialogsAtTheEndAreTurnedAwayAndReported) {
    int argc = 1;
    char name[] = "app_tests";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    QStringList reported;
    EndingDialogGuard guard([&reported](const QString& text) { reported.append(text); });
    guard.engage();

    const struct {
        const char* label;
        std::function<bool()> ask; // true when the dialog counted as answered
        QString reportedText;
    } cases[] = {
        {"message",
         [] {
             return QMessageBox::warning(nullptr, QStringLiteral("Taktplan"),
                                         QStringLiteral("Nicht gespeichert")) == QMessageBox::Ok;
         },
         QStringLiteral("Nicht gespeichert")},
        {"question",
         [] {
             return QMessageBox::question(nullptr, QStringLiteral("Taktplan"),
                                          QStringLiteral("Speichern?")) == QMessageBox::Yes;
         },
         QStringLiteral("Speichern?")},
        {"input",
         [] {
             bool ok = false;
             QInputDialog::getText(nullptr, QStringLiteral("Titel"), QStringLiteral("Text:"),
                                   QLineEdit::Normal, {}, &ok);
             return ok;
         },
         QStringLiteral("Titel")},
    };
    for (const auto& c : cases) {
        reported.clear();
        QElapsedTimer elapsed;
        elapsed.start();
        EXPECT_FALSE(c.ask()) << c.label;
        EXPECT_LT(elapsed.elapsed(), 2000) << c.label;
        EXPECT_EQ(reported, QStringList(c.reportedText)) << c.label;
    }
}
