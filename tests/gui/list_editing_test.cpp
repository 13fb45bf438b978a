// How the plan list colours a row, and editing the plan in the Planning window as a user does: typing into
// the input field, keys and typed characters in the plan list, the dialogs they ask, double-click and
// dragging rows, and the "Datei" commands that keep the plan on disk.

#include "activity_log.h"
#include "case_table.h"
#include "plan_table_model.h"
#include "text_file.h"
#include "window_fixture.h"

#include <QContextMenuEvent>
#include <QDrag>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeySequence>
#include <QMenuBar>
#include <QMimeData>
#include <QPalette>
#include <QTimer>

namespace {

using namespace Qt::StringLiterals;
using Kind = ScriptedUi::Kind;

QList<CaseRow> table(const QString& section) {
    return caseTable(QStringLiteral(GUI_TEST_DATA "/list_editing.txt"), section);
}

TEST(PlanTableModelTest, RowColoursFollowStatusConflictDateModeAndKind) {
    const QHash<QString, QColor> backgrounds{{u"none"_s, QColor()},
                                             {u"done"_s, PlanTableModel::finishedColor},
                                             {u"running"_s, PlanTableModel::runningColor},
                                             {u"conflict"_s, PlanTableModel::conflictColor},
                                             {u"tomorrow"_s, PlanTableModel::tomorrowColor},
                                             {u"later"_s, PlanTableModel::laterColor}};
    const QPalette palette = QGuiApplication::palette();
    const QHash<QChar, QColor> colours{{u'g', QColor(128, 128, 128)},
                                       {u't', palette.color(QPalette::Active, QPalette::Text)},
                                       {u'p', palette.color(QPalette::Active, QPalette::Highlight)}};
    FakeClock clock;
    Settings settings;
    for (const CaseRow& c : table(u"colours"_s)) {
        SCOPED_TRACE(c.where.toStdString());
        Worklist plan(clock, settings);
        plan.AddEntry(QString(), false, clock.localNow(), 25, false, u" "_s);
        plan.editEntry(0) = PlanEntry{u"1"_s,      u"09:00"_s, u"09:25"_s, u"a"_s, c[3].left(1),
                                      c[3].mid(1), u"25"_s,    c[0],       c[1],   c[2]};
        PlanTableModel model(plan, clock);
        ASSERT_TRUE(backgrounds.contains(c[4]));
        QList<QColor> background, foreground, wanted{QColor()};
        for (int col = 0; col < PlanTableModel::ColumnCount; ++col) {
            background.append(model.index(0, col).data(Qt::BackgroundRole).value<QColor>());
            foreground.append(model.index(0, col).data(Qt::ForegroundRole).value<QColor>());
        }
        for (const QChar f : c[5])
            wanted.append(colours.value(f));
        EXPECT_EQ(background, QList<QColor>(4, backgrounds.value(c[4])));
        EXPECT_EQ(foreground, wanted);
    }
}

class ListEditingTest : public WindowTest {
protected:
    // Finished unit, relative units A and B, a titled pause and a fixed unit tomorrow:
    // Fertig 08:00, A 09:00-09:25, B 09:30-09:55, pause 09:55-10:05, Morgen 08:30 tomorrow.
    void openPlan() {
        QFile::remove(data.filePath(u"worklist.log"_s));
        open();
        addFixed(u"Fertig"_s, QTime(8, 0), "x");
        for (const QString& title : {u"A"_s, u"B"_s})
            plan->AddEntry(title, false, plantime::now(clock), 25, false, u" "_s);
        plan->AddEntry(u"Tee"_s, true, plantime::now(clock), 10, false, u" "_s);
        addFixed(u"Morgen"_s, QTime(8, 30), " ", 1);
        window->savePlan();
    }
    int rowOf(const QString& title) const {
        for (int r = 0; r < entries().size(); ++r) {
            if (entries().at(r).displayText == title)
                return r;
        }
        return -1;
    }
    // Selects the rows with these titles (the first one current) and puts the focus into the list.
    void select(const QStringList& titlesToSelect) {
        list()->setFocus(Qt::OtherFocusReason);
        list()->selectionModel()->clearSelection();
        if (!titlesToSelect.isEmpty())
            list()->selectionModel()->setCurrentIndex(
                list()->model()->index(rowOf(titlesToSelect.first()), 0), QItemSelectionModel::NoUpdate);
        for (const QString& t : titlesToSelect)
            list()->selectionModel()->select(list()->model()->index(rowOf(t), 0),
                                             QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    QString titlesNow() const {
        QStringList out;
        for (const PlanEntry& e : entries())
            out.append(e.displayText);
        return out.join(u'|');
    }
    // As the mouse does it: a press and release, then the second press.
    void doubleClick(const QString& title) const {
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, rowCentre(title));
        QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, rowCentre(title));
    }
    QPoint rowCentre(const QString& title) const {
        return list()->visualRect(list()->model()->index(rowOf(title), PlanTableModel::TaskColumn)).center();
    }
    // Drops the rows (or, without any, a text from elsewhere) onto the row with that title; true
    // when the list took them.
    bool dropAt(const QString& title, QMimeData* rows) const {
        QMimeData foreign;
        foreign.setText(u"A"_s);
        QMimeData* mime = rows ? rows : &foreign;
        const QPoint at = rowCentre(title);
        QDragEnterEvent enter(at, Qt::CopyAction, mime, Qt::LeftButton, {});
        QApplication::sendEvent(list()->viewport(), &enter);
        QDropEvent drop(QPointF(at), Qt::CopyAction, mime, Qt::LeftButton, {});
        QApplication::sendEvent(list()->viewport(), &drop);
        return enter.isAccepted() && drop.isAccepted();
    }
    // Presses the row and moves well past the drag distance; true when a drag began (it is
    // cancelled at once, so nothing drops).
    bool dragBegins(const QString& title) const {
        QWidget* viewport = list()->viewport();
        bool begun = false;
        QTimer::singleShot(0, list(), [&] {
            if (list()->findChild<QDrag*>()) {
                begun = true;
                QDrag::cancel();
            }
        });
        const QPointF from = rowCentre(title);
        const QPointF to = from + QPointF(0, 3 * QApplication::startDragDistance() + 20);
        // The first move makes the view ready to drag, the next one begins the drag.
        for (const auto& [type, at, button, held] :
             {std::tuple(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton),
              std::tuple(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton),
              std::tuple(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton),
              std::tuple(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton)}) {
            QMouseEvent event(type, at, viewport->mapToGlobal(at), button, held, {});
            QApplication::sendEvent(viewport, &event);
        }
        QCoreApplication::processEvents();
        return begun;
    }
    // An activity log with finished units, newest last.
    void writeLog(const QStringList& titles) {
        QString text;
        QDateTime t(QDate(2026, 12, 4), QTime(8, 0), Qt::UTC);
        for (const QString& title : titles) {
            text += ActivityLog::unitLine(t, 25, title) + ActivityLog::finishMark();
            t = t.addSecs(30 * 60);
        }
        ASSERT_TRUE(textfile::writeText(records.settings.LogDateiPfad, text));
        ASSERT_TRUE(records.activityLog.LoadLog());
    }
    void press(const QString& keys) const {
        const QKeyCombination k = QKeySequence::fromString(keys)[0];
        ASSERT_NE(k.key(), Qt::Key_unknown) << keys.toStdString();
        key(k.key(), k.keyboardModifiers());
    }
    // Enabled: Datei, Liste, Einstellungen, Hilfe | Neu, Öffnen..., Auswertung, Beenden | the two
    // Speichern | the start item's caption and enabled state.
    QString menuStates() const {
        const QList<QAction*> d = menu(u"Datei"_s)->actions();
        const QAction* start = window->menuBar()->actions().at(2);
        QString state;
        for (const QAction* a : {menu(u"Datei"_s)->menuAction(), menu(u"Liste"_s)->menuAction(),
                                 menu(u"Einstellungen"_s)->menuAction(), menu(u"Hilfe"_s)->menuAction(),
                                 d.at(0), d.at(1), d.at(6), d.at(8), d.at(2), d.at(3)})
            state += a->isEnabled() ? u'1' : u'0';
        return state.insert(4, u'|').insert(9, u'|') + u'|' + start->text() +
               (start->isEnabled() ? u'1' : u'0');
    }
    // What a scenario's step looks at (see the table's header).
    QString state(const QString& what) const {
        const PlanEntry* e = rowOf(what) < 0 ? nullptr : &entries().at(rowOf(what));
        if (e)
            return QStringList{e->startTime, e->endTime, e->startMode, e->duration, e->date}.join(u'|');
        if (what.startsWith(u"file:"_s))
            return QString::fromLatin1(data.read(what.mid(5)));
        if (what.startsWith(u"status:"_s))
            return entries().at(rowOf(what.mid(7))).status;
        if (what.startsWith(u"exists:"_s))
            return yesNo(QFileInfo::exists(data.filePath(what.mid(7))));
        if (what.startsWith(u"messages:"_s))
            return QString::number(ui.messages.filter(what.mid(9)).size());
        const QHash<QString, std::function<QString()>> states{
            {u"*"_s, [this] { return titlesNow(); }},
            {u"*@"_s,
             [this] { return titlesNow() + u" @"_s + QString::number(list()->currentIndex().row()); }},
            {u"col"_s, [this] { return QString::number(list()->currentIndex().column()); }},
            {u"msg"_s, [this] { return ui.messages.join(u'/'); }},
            {u"visible"_s, [this] { return yesNo(window->isVisible()); }},
            {u"shown"_s, [this] { return shown(); }},
            {u"title"_s, [this] { return window->windowTitle(); }},
            {u"messages"_s, [this] { return QString::number(ui.messages.size()); }},
            {u"questions"_s, [this] { return ui.questions.join(u'/'); }},
            {u"asked"_s, [this] { return QString::number(ui.questions.size()); }},
            {u"question"_s, [this] { return ui.questions.value(ui.questions.size() - 1); }},
            {u"text"_s, [this] { return edit()->text(); }},
            {u"field"_s, [this] { return edit()->text() + u" ["_s + edit()->selectedText() + u']'; }},
            {u"focus"_s,
             [this] { return focus() == list()    ? u"list"_s
                             : focus() == field() ? u"field"_s
                                                  : u"?"_s; }},
            {u"titles"_s, [this] { return field()->titles().join(u','); }},
            {u"caret"_s,
             [this] {
                 return edit()->text() + u'@' + QString::number(edit()->cursorPosition()) + u'#' +
                        QString::number(field()->count());
             }},
            {u"drop-down"_s,
             [this] {
                 const QAbstractItemView* view = field()->view();
                 return !view->isVisible()
                            ? u"hidden"_s
                            : u"row "_s + QString::number(view->currentIndex().row()) +
                                  (view->window()->height() < dropDownHeight ? u" shorter"_s : u""_s);
             }},
            {u"picked"_s, [this] { return field()->itemText(field()->selectedRow()); }},
            {u"selected"_s, [this] { return QString::number(selectedRows()); }},
            {u"refresh"_s, [this] { return yesNo(timer(u"tmrUpdate"_s)->isActive()); }},
            {u"starts"_s, [this] { return QString::number(starts); }},
            {u"auto starts"_s, [this] { return QString::number(autoStarts); }},
            {u"auto start"_s, [this] { return yesNo(timer(u"tmrAutoStart"_s)->isActive()); }},
            {u"start item"_s, [this] { return window->menuBar()->actions().at(2)->text(); }},
            {u"start key"_s,
             [this] {
                 const QAction* start = window->menuBar()->actions().at(2);
                 return start->shortcut().toString() + (start->menu() ? u" menu"_s : QString());
             }},
            {u"menus"_s, [this] { return menuStates(); }},
            {u"Startzeit ändern"_s,
             [this] { return yesNo(menu(u"pmWorklistEdit"_s)->actions().at(1)->isEnabled()); }},
            {u"strip"_s, [this] { return yesNo(!strip()->isHidden()); }},
            {u"opened"_s, [this] { return shell.files.join(u','); }},
            {u"selection"_s,
             [this] {
                 QStringList titles;
                 for (const QModelIndex& i : list()->selectionModel()->selectedRows())
                     titles.append(entries().at(i.row()).displayText);
                 titles.sort();
                 return titles.join(u',');
             }},
            {u"blink"_s, [this] { return yesNo(timer(u"tmrCaptionBlinken"_s)->isActive()); }},
            {u"popup"_s, [] { return yesNo(QApplication::activePopupWidget()); }},
            {u"Eintrag löschen"_s, [this] { return yesNo(menu(u"Liste"_s)->actions().at(5)->isEnabled()); }},
            {u"dropped"_s, [this] { return yesNo(dropped); }},
            {u"drag began"_s, [this] { return yesNo(began); }},
            {u"ended"_s, [this] { return yesNo(ended); }}};
        EXPECT_TRUE(states.contains(what)) << what.toStdString();
        return states.value(what, [] { return QString(); })();
    }

    std::unique_ptr<QMimeData> dragged;
    bool dropped = false, ended = false, began = false;
    int starts = 0, autoStarts = 0, dropDownHeight = 0;
};

TEST_F(ListEditingTest, EveryCommandThroughItsKey) {
    for (const CaseRow& c : table(u"keys"_s)) {
        SCOPED_TRACE(c.where.toStdString());
        openPlan();
        ASSERT_EQ(titlesNow(), u"Fertig|A|B|Pause: 10 min (Tee)|Morgen"_s);
        select(c[0].split(u", "_s));
        if (c[2] != u"-"_s)
            ui.answer(Kind::Text, c[2]);
        ui.questions.clear();
        ui.messages.clear();
        const QByteArray before = savedPlan();
        press(c[1]);
        EXPECT_EQ(ui.questions.join(u'/'), c[3]);
        EXPECT_EQ(state(c[4]), c[5]);
        EXPECT_EQ(savedPlan() != before, c[6] == u"yes"_s);
    }
}

// Runs the scenario of one section, step by step.
class ScenarioTest : public ListEditingTest, public ::testing::WithParamInterface<const char*> {
protected:
    void run(const QString& scenario) {
        records.settings.GrossePause = 15;
        adjustServices = [this](WorklistServices& services) {
            services.startCommand = [this] { ++starts; };
            services.autoStartCommand = [this] { ++autoStarts; };
        };
        const QHash<QString, Kind> dialogs{
            {u"open"_s, Kind::OpenFile}, {u"save"_s, Kind::SaveFile}, {u"text"_s, Kind::Text}};
        const Actions actions{
            {u"write"_s, [this](Step s) { data.write(s[1], s[2].toLatin1()); }},
            {u"folder"_s, [this](Step s) { QDir(data.path()).mkpath(s[1]); }},
            {u"log"_s, [this](Step s) { writeLog(s[1].split(u", "_s)); }},
            {u"open"_s,
             [this](Step s) {
                 open(s[1] != u"hidden"_s);
                 QObject::connect(window.get(), &TFWorklist::terminateRequested, [this] { ended = true; });
             }},
            {u"left"_s, [this](Step s) { records.settings.Verbleibend = s[1].toInt(); }},
            {u"show"_s, [this](Step) { showActive(); }},
            {u"hide"_s, [this](Step) { window->hide(); }},
            {u"close"_s, [this](Step) { window->close(); }},
            {u"hint"_s, [this](Step) { window->showFirstStartHint(); }},
            {u"enter"_s, [this](Step s) { enter(s[1]); }},
            {u"text"_s, [this](Step s) { field()->setText(s[1]); }},
            {u"caret"_s, [this](Step s) { edit()->setCursorPosition(s[1].toInt()); }},
            {u"mark"_s,
             [this](Step s) {
                 s[1] == u"all"_s ? edit()->selectAll() : edit()->setSelection(s[1].toInt(), s[2].toInt());
             }},
            {u"drop down"_s,
             [this](Step) {
                 field()->showPopup();
                 ASSERT_TRUE(waitFor([this] { return field()->view()->isVisible(); }));
                 dropDownHeight = field()->view()->window()->height();
             }},
            {u"close drop-down"_s, [this](Step) { field()->hidePopup(); }},
            {u"Del in the drop-down"_s, [this](Step) { QTest::keyClick(field()->view(), Qt::Key_Delete); }},
            {u"type"_s, [this](Step s) { type(s[1]); }},
            {u"key"_s, [this](Step s) { press(s[1]); }},
            {u"row"_s, [this](Step s) { list()->selectRow(s[1].toInt()); }},
            {u"all rows"_s, [this](Step) { list()->selectAll(); }},
            {u"unselect"_s, [this](Step) { list()->clearSelection(); }},
            {u"focus"_s,
             [this](Step s) {
                 s[1] == u"list"_s    ? list()->setFocus()
                 : s[1] == u"field"_s ? field()->setFocus()
                                      : focus()->clearFocus();
             }},
            {u"right-click"_s,
             [this](Step) {
                 for (QWidget* w : {static_cast<QWidget*>(field()), static_cast<QWidget*>(edit())}) {
                     QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                                             w->mapToGlobal(QPoint(5, 5)));
                     QApplication::sendEvent(w, &event);
                 }
                 QTest::qWait(20);
             }},
            {u"menu"_s,
             [this](Step s) {
                 menu(s[1])->popup(window->mapToGlobal(QPoint(10, 10)));
                 ASSERT_TRUE(waitFor([&] { return menu(s[1])->isVisible(); }));
             }},
            {u"fire"_s, [this](Step s) { fire(s[1]); }},
            {u"engine"_s,
             [this](Step s) {
                 engine.isActive = s[1].contains(u"active"_s);
                 engine.isUnit = s[1].contains(u"unit"_s);
             }},
            {u"advance"_s, [this](Step s) { clock.advanceSecs(s[1].toInt()); }},
            {u"date"_s, [this](Step s) { plan->editEntry(s[1].toInt()).date = s[2]; }},
            {u"start"_s,
             [this](Step s) {
                 plan->editEntry(s[1].toInt()).startTime = s[2];
                 plan->RecomputeSchedule();
             }},
            {u"delete"_s, [this](Step s) { plan->deleteOpenEntries({s[1].toInt()}); }},
            {u"log file"_s, [this](Step s) { records.settings.LogDateiPfad = data.filePath(s[1]); }},
            {u"finish"_s, [this](Step s) { plan->editEntry(s[1].toInt()).status = u"x"_s; }},
            {u"fixed"_s,
             [this](Step s) {
                 addFixed(s[1], QTime::fromString(s[2], u"hh:mm"_s),
                          s[3].isEmpty() ? " " : s[3].toLatin1().constData());
             }},
            {u"run state"_s,
             [this](Step s) {
                 engine.isActive = s[2] != u"yes"_s;
                 window->updateRunState([&](RunState& r) {
                     r.startCaption = s[1];
                     r.startEnabled = s[2] == u"yes"_s;
                 });
             }},
            {u"list menu"_s,
             [this](Step s) {
                 engine.isActive = s[1] != u"all"_s;
                 window->updateRunState([&](RunState& r) { r.listMenuAllItems = s[1] == u"all"_s; });
             }},
            {u"input"_s,
             [this](Step s) {
                 window->updateRunState([&](RunState& r) { r.inputVisible = s[1] != u"hidden"_s; });
             }},
            {u"finish blink"_s, [this](Step) { window->startFinishBlink(); }},
            {u"auto start"_s, [this](Step) { window->enableAutoStart(); }},
            {u"plan"_s, [this](Step) { openPlan(); }},
            {u"select"_s, [this](Step s) { select(s[1].split(u", "_s)); }},
            {u"shift"_s,
             [this](Step s) {
                 QTest::sendKeyEvent(s[1] == u"down"_s ? QTest::Press : QTest::Release, list(), Qt::Key_Shift,
                                     QString(), {});
             }},
            {u"running"_s,
             [this](Step) {
                 QObject::connect(window.get(), &TFWorklist::terminateRequested, [this] { ended = true; });
                 engine.isActive = true;
                 window->updateRunState([](RunState& r) { r.listMenuAllItems = false; });
             }},
            {u"mouse editing"_s,
             [this](Step s) {
                 window->updateRunState([&](RunState& r) { r.mouseEditing = s[1] == u"on"_s; });
             }},
            {u"press and move"_s, [&](Step s) { began = dragBegins(s[1]); }},
            {u"double-click"_s, [this](Step s) { doubleClick(s[1]); }},
            {u"drag"_s,
             [&](Step) {
                 dragged.reset(list()->model()->mimeData(list()->selectionModel()->selectedIndexes()));
             }},
            {u"drop"_s, [&](Step s) { dropped = dropAt(s[2], s[1] == u"ours"_s ? dragged.get() : nullptr); }},
            {u"answer"_s,
             [&](Step s) { ui.answer(dialogs.value(s[1]), s[1] == u"text"_s ? s[2] : data.filePath(s[2])); }},
            {u"cancel"_s, [&](Step s) { ui.cancel(dialogs.value(s[1])); }},
        };
        runSteps(table(scenario), actions, [this](const QString& what) { return state(what); });
    }
};

TEST_P(ScenarioTest, RunsAsWritten) {
    run(QString::fromLatin1(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Plan, ScenarioTest,
                         ::testing::Values("shift and esc", "double click and drop", "drag", "enter appends",
                                           "showing fills the field", "add unit and add pause",
                                           "saved plan comes back", "open save and save as",
                                           "never over the log or the settings", "keys reach their control",
                                           "caption blinks while a unit runs", "refresh only while shown",
                                           "selection follows its own entry", "logs opens the activity log",
                                           "F9 reaches the runner", "finish blink",
                                           "menus follow the running plan when shown", "del in the field"),
                         [](const ::testing::TestParamInfo<const char*>& param) {
                             return QString::fromLatin1(param.param).replace(u' ', u'_').toStdString();
                         });

TEST_F(ListEditingTest, PlanOfThousandsOfBadLinesIsToldInAMessageThatFitsTheScreen) {
    QByteArray bad;
    for (int i = 0; i < 3000; ++i)
        bad += "Eins " + QByteArray::number(i) + "///25|||99:99" + QByteArray(500, 'x') + "\r\n";
    data.write(u"kaputt.txt"_s, bad + "Gut///25\r\n");
    open();
    ui.answer(ScriptedUi::Kind::OpenFile, data.filePath(u"kaputt.txt"_s));
    key(Qt::Key_O, Qt::ControlModifier);
    ASSERT_EQ(ui.messages.size(), 1);
    const QString& text = ui.messages.constFirst();
    // A few lines, none wider than a screen, the count of the rest, and where the file was kept.
    EXPECT_LE(text.count(u'\n'), 30) << text.toStdString();
    for (const QString& line : text.split(u'\n'))
        EXPECT_LE(line.size(), 200);
    EXPECT_TRUE(text.contains(u"2980"_s));
    EXPECT_TRUE(text.endsWith(PlanFile::backupPath(data.filePath(u"kaputt.txt"_s))));
    EXPECT_EQ(shown(), u"1|09:00|09:25|Gut"_s);
}

} // namespace
