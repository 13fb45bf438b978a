// The start-up decisions from the command line and the settings, and the end of a run, where
// nobody answers a dialog any more.

#include "case_table.h"
#include "ending_dialog_guard.h"
#include "start_up_decision.h"

#include <QElapsedTimer>
#include <QInputDialog>
#include <QMessageBox>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(StartUpDecision, FirstArgumentAndAutostartSetting) {
    for (const CaseRow& row : caseTable(QStringLiteral(APP_TEST_DATA "/start_up.txt"))) {
        const StartUpDecision d = StartUpDecision::decide(row[0], row[1] == u"true"_s);
        std::string got;
        for (const bool b : {d.autostartArgument, d.showPlanningWindow, d.enableAutoStart, d.keepRunEntry})
            got += b ? '1' : '0';
        EXPECT_EQ(QString::fromStdString(got), row[2]) << row.where.toStdString();
    }
}

// At the end of a run nobody answers a dialog: each one is turned away at once (not counted as
// answered) and its text reported, so the program never hangs there.
TEST(EndingDialogGuard, DialogsAtTheEndAreTurnedAwayAndReported) {
    QStringList reported;
    EndingDialogGuard guard([&reported](const QString& text) { reported.append(text); });
    guard.engage();
    const std::pair<std::function<bool()>, QString> cases[] = {
        {[] { return QMessageBox::question(nullptr, u"Taktplan"_s, u"Speichern?"_s) == QMessageBox::Yes; },
         u"Speichern?"_s},
        {[] {
             bool ok = false;
             QInputDialog::getText(nullptr, u"Titel"_s, u"Text:"_s, QLineEdit::Normal, {}, &ok);
             return ok;
         },
         u"Titel"_s},
    };
    for (const auto& [ask, text] : cases) {
        reported.clear();
        QElapsedTimer elapsed;
        elapsed.start();
        EXPECT_FALSE(ask()) << text.toStdString();
        EXPECT_LT(elapsed.elapsed(), 2000) << text.toStdString();
        EXPECT_EQ(reported, QStringList(text));
    }
}
