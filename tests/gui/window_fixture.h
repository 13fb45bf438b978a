#pragma once

#include "case_table.h"
#include "companion_program.h"
#include "fake_clock.h"
#include "fake_launcher.h"
#include "fake_platform_services.h"
#include "fake_run_control.h"
#include "plan_file.h"
#include "plan_time.h"
#include "qt_print.h"
#include "records.h"
#include "scripted_ui.h"
#include "temp_data_folder.h"
#include "tf_worklist.h"
#include "title_combo_box.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <functional>

// A Planning window over a fresh data folder, a fake clock (Monday 07.12.2026, 09:00:40) and
// fake platform services.
class WindowTest : public ::testing::Test {
protected:
    WindowTest() {
        records.settings.LogDateiPfad = data.filePath(QStringLiteral("Dezuzedu.log"));
        records.settings.Breite = 450;
        records.settings.Hoehe = 285;
        makePlan(ui);
    }
    ~WindowTest() override {
        if (window)
            window->hide();
        window.reset();
        EXPECT_TRUE(ui.allAnswered()) << "scripted answers left over";
    }

    // Creates the window over a fresh plan, shown and active unless told otherwise, with the
    // scripted user interface unless given another.
    TFWorklist& open(bool show = true, UserInterface* userInterface = nullptr) {
        window.reset();
        UserInterface& chosen = userInterface ? *userInterface : ui;
        makePlan(chosen);
        WorklistServices services{clock,    data.folder(), records, companion, shell,
                                  launcher, chosen,        *plan,   *planFile};
        if (adjustServices)
            adjustServices(services);
        window = std::make_unique<TFWorklist>(services);
        if (show)
            showActive();
        return *window;
    }
    void makePlan(UserInterface& chosen) {
        plan = std::make_unique<Worklist>(clock, records.settings);
        plan->setRunControl(&engine);
        planFile = std::make_unique<PlanFile>(*plan, clock, records.settings, data.folder(), records.debugLog,
                                              chosen);
    }
    void showActive() {
        window->show();
        activate(window.get());
    }

    static bool waitFor(const std::function<bool()>& condition, int timeoutMs = 3000) {
        for (int waited = 0; waited < timeoutMs && !condition(); waited += 10)
            QTest::qWait(10);
        return condition();
    }
    static void activate(QWidget* w) {
        w->activateWindow();
        // The offscreen platform activates a window shown a second time only when told directly.
        if (!waitFor([w] { return QApplication::activeWindow() == w; }, 200))
            QApplication::setActiveWindow(w);
        ASSERT_TRUE(waitFor([w] { return QApplication::activeWindow() == w; })) << "window not activated";
    }

    TitleComboBox* field() const { return window->findChild<TitleComboBox*>(QStringLiteral("cbbAufgabe")); }
    QLineEdit* edit() const { return field()->lineEdit(); }
    QTableView* list() const { return window->findChild<QTableView*>(QStringLiteral("lvPlan")); }
    QWidget* strip() const { return window->findChild<QWidget*>(QStringLiteral("pnlHinzu")); }
    QMenu* menu(const QString& name) const { return window->findChild<QMenu*>(name); }
    QTimer* timer(const QString& name) const { return window->findChild<QTimer*>(name); }
    // A tick of the named timer, as its event would come.
    void fire(const QString& name) const { QMetaObject::invokeMethod(timer(name), "timeout"); }
    QWidget* focus() const { return QApplication::focusWidget(); }
    int selectedRows() const { return int(list()->selectionModel()->selectedRows().size()); }

    // Types as a user would, into the focused control; characters outside ASCII go one by one
    // (QTest's own mapping asserts on them).
    void type(const QString& text) const {
        for (const QChar ch : text) {
            if (ch.unicode() < 0x80)
                QTest::keyClick(focus(), static_cast<char>(ch.unicode()));
            else
                QTest::sendKeyEvent(QTest::Click, focus(), Qt::Key_unknown, QString(ch), Qt::NoModifier);
        }
    }
    void key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const {
        QTest::keyClick(focus() ? focus() : window.get(), k, modifiers);
    }
    // Clears the field, types the text and presses Enter.
    void enter(const QString& text) const {
        field()->setFocus();
        field()->setText(QString());
        type(text);
        key(Qt::Key_Return);
    }

    using Step = const QStringList&;
    using Actions = QHash<QString, std::function<void(Step)>>;
    // Runs a scenario step by step: a row's first field names the action, the others are its
    // arguments ("@DATA@" in the second: the data folder). expect, wait (until it holds), has and
    // lacks compare what state reads of the thing the step names.
    void runSteps(const QList<CaseRow>& steps, const Actions& actions,
                  const std::function<QString(const QString&)>& state) const {
        const Actions checks{
            {QStringLiteral("expect"), [&](Step s) { EXPECT_EQ(state(s[1]), s[2]); }},
            {QStringLiteral("wait"),
             [&](Step s) {
                 EXPECT_TRUE(waitFor([&] { return state(s[1]) == s[2]; }, 6000)) << state(s[1]).toStdString();
             }},
            {QStringLiteral("has"),
             [&](Step s) { EXPECT_TRUE(state(s[1]).contains(s[2])) << state(s[1]).toStdString(); }},
            {QStringLiteral("lacks"),
             [&](Step s) { EXPECT_FALSE(state(s[1]).contains(s[2])) << state(s[1]).toStdString(); }}};
        for (const CaseRow& step : steps) {
            SCOPED_TRACE(step.where.toStdString());
            const std::function<void(Step)> action = actions.value(step[0], checks.value(step[0]));
            ASSERT_TRUE(action) << step[0].toStdString();
            QStringList fields = step.fields;
            fields.resize(4);
            fields[2].replace(QStringLiteral("@DATA@"), data.path());
            action(fields);
        }
    }
    static QString yesNo(bool b) { return b ? QStringLiteral("yes") : QStringLiteral("no"); }

    const QList<PlanEntry>& entries() const { return plan->entries(); }
    // A unit of 25 minutes with a fixed start today, or that many days later.
    void addFixed(const QString& title, QTime start, const char* status = " ", int inDays = 0) {
        plan->AddEntry(title, false, plantime::wall(clock.today().addDays(inDays), start), 25, true,
                       QString::fromLatin1(status));
    }
    QByteArray savedPlan() const { return data.read(QStringLiteral("worklist.log")); }
    // The shown cells of every row, joined by "|", rows by "; ".
    QString shown() const {
        QStringList rows;
        const QAbstractItemModel* m = list()->model();
        for (int r = 0; r < m->rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < m->columnCount(); ++c)
                cells.append(m->index(r, c).data().toString());
            rows.append(cells.join(QLatin1Char('|')));
        }
        return rows.join(QStringLiteral("; "));
    }

    FakeClock clock{QDateTime(QDate(2026, 12, 7), QTime(9, 0, 40))};
    TempDataFolder data;
    ScriptedUi ui;
    Records records{clock, data.folder(), ui};
    FakeLauncher launcher;
    CompanionProgram companion{launcher};
    FakeShell shell;
    FakeRunControl engine;
    std::unique_ptr<Worklist> plan;
    std::unique_ptr<PlanFile> planFile;
    std::unique_ptr<TFWorklist> window;
    // Callbacks, language and program folder for the window that open() creates next.
    std::function<void(WorklistServices&)> adjustServices;
};
