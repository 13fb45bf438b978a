#include "plan_commands.h"

#include "plan_file.h"
#include "translate.h"
#include "typed_entry.h"
#include "user_interface.h"
#include "worklist.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// The schedule refresh goes on while a dialog is open and may re-sort the rows: a command that
// asks first holds on to its entries, not to their rows.
QList<quint64> entryIds(const Worklist& plan, const QList<int>& rows) {
    QList<quint64> ids;
    for (const int row : rows)
        ids.append(plan.entryId(row));
    return ids;
}

QList<int> rowsOf(const Worklist& plan, const QList<quint64>& ids) {
    QList<int> rows;
    for (const quint64 id : ids) {
        const qsizetype row = plan.rowOf(id);
        if (row >= 0)
            rows.append(int(row));
    }
    return rows;
}

} // namespace

PlanCommands::PlanCommands(Worklist& worklist, PlanFile& planFile, UserInterface& ui, Guard guard)
    : m_worklist(worklist), m_planFile(planFile), m_ui(ui), m_guard(std::move(guard)) {}

// --- the plan file ----------------------------------------------------------------------------

bool PlanCommands::savePlan() {
    return m_planFile.saveWorklist();
}

void PlanCommands::newPlan() {
    m_worklist.ClearOpenEntries();
}

void PlanCommands::open() {
    const QString name = askFileName(false);
    if (!name.isEmpty())
        m_planFile.open(name);
}

void PlanCommands::save() {
    if (m_planFile.saveToCurrent() != PlanFile::SaveOutcome::NeedsFileName)
        return;
    const QString name = askFileName(true);
    if (!name.isEmpty())
        m_planFile.saveTo(name);
}

void PlanCommands::saveAs() {
    const QString name = askFileName(true);
    if (!name.isEmpty())
        m_planFile.saveAs(name);
}

void PlanCommands::loadLastPlan() {
    m_planFile.loadRoutine();
}

QString PlanCommands::askFileName(bool save) {
    const QString filter = tr_("Textdatei (*.txt)");
    const std::optional<QString> name =
        save ? m_ui.askSaveFileName(tr_("Speichern unter"), filter, m_planFile.currentFileName())
             : m_ui.askOpenFileName(tr_("Öffnen"), filter, m_planFile.currentFileName());
    return name.value_or(QString());
}

// --- editing the selected rows ----------------------------------------------------------------

void PlanCommands::scheduleAndSave(const char* where) {
    m_guard([this] { m_worklist.RecomputeSchedule(); }, where);
    savePlan();
}

void PlanCommands::rename(const QList<int>& rows) {
    if (rows.isEmpty())
        return;
    if (const std::optional<QString> prefill = m_worklist.renamePrefill(rows)) {
        const QList<quint64> ids = entryIds(m_worklist, rows);
        const std::optional<QString> text =
            m_ui.askText(tr_("Aufgabenbeschreibung ändern"), tr_("Neue Aufgabenbeschreibung?"), *prefill);
        const QList<int> now = rowsOf(m_worklist, ids);
        if (text && !now.isEmpty() && m_worklist.renameEntries(now, *text) != TypedEntry::Adjustment::None) {
            // The plan file could not give such a title back as typed: it was changed now, in view.
            m_ui.showReminder(
                tr_("Titel angepasst"),
                tr_("Der Titel wurde angepasst, damit er nach einem Neustart gleich bleibt:") + u"\n"_s +
                    m_worklist.entries().at(*std::min_element(now.begin(), now.end())).displayText);
        }
    }
    scheduleAndSave("Einheit umbenennen");
}

void PlanCommands::changeStartTime(const QList<int>& rows) {
    const std::optional<QString> prefill = m_worklist.startTimePrefill(rows);
    if (!prefill)
        return;
    const quint64 id = m_worklist.entryId(rows.constFirst());
    const std::optional<QString> text = m_ui.askText(
        tr_("Startzeit ändern"),
        tr_("Geben Sie die neue (feste) Startzeit ein.") + u"\n\n"_s +
            tr_("Wenn die Einheit stattdessen unmittelbar nach der vorherigen beginnen soll, löschen Sie den "
                "vorgegebenen Text und lassen das Feld leer."),
        *prefill);
    // The periodic schedule refresh takes the change up.
    if (text && m_worklist.rowOf(id) >= 0)
        m_worklist.setStartTime(int(m_worklist.rowOf(id)), *text);
}

void PlanCommands::clearStartTime(const QList<int>& rows) {
    m_guard([&] { m_worklist.clearStartTimes(rows); }, "Startzeit löschen");
    savePlan();
}

void PlanCommands::startLater(const QList<int>& rows) {
    m_guard([&] { m_worklist.startOneMinuteLater(rows); }, "Startzeit erhöhen");
}

void PlanCommands::startEarlier(const QList<int>& rows) {
    m_guard([&] { m_worklist.startOneMinuteEarlier(rows); }, "Startzeit verringern");
}

void PlanCommands::changeDate(const QList<int>& rows) {
    const std::optional<QString> prefill = m_worklist.datePrefill(rows);
    if (!prefill)
        return;
    const QList<quint64> ids = entryIds(m_worklist, rows);
    const std::optional<QString> text =
        m_ui.askText(tr_("Datum ändern"),
                     tr_("Geben Sie das neue Datum ein, an dem diese Einheit beginnen soll."), *prefill);
    if (text)
        m_worklist.setDates(rowsOf(m_worklist, ids), *text);
}

void PlanCommands::clearDate(const QList<int>& rows) {
    m_guard([&] { m_worklist.resetDates(rows); }, "Datum löschen");
    savePlan();
}

void PlanCommands::changeDuration(const QList<int>& rows) {
    if (rows.isEmpty())
        return;
    if (const std::optional<QString> prefill = m_worklist.durationPrefill(rows)) {
        const QList<quint64> ids = entryIds(m_worklist, rows);
        const std::optional<QString> text = m_ui.askText(
            tr_("Dauer ändern"), tr_("Bitte geben Sie die neue Dauer dieses Items (in min) ein."), *prefill);
        if (text && !m_worklist.setDurations(rowsOf(m_worklist, ids), *text))
            m_ui.showMessage(
                tr_("Eine Einheit dauert mindestens eine Minute. Die Dauer bleibt, wie sie war."));
    }
    scheduleAndSave("Dauer ändern");
}

quint64 PlanCommands::moveUp(const QList<int>& rows) {
    quint64 moved = 0;
    bool acted = false;
    m_guard([&] { acted = m_worklist.moveUp(rows, &moved); }, "Einheit nach oben");
    if (!acted)
        return 0;
    savePlan();
    return moved;
}

quint64 PlanCommands::moveDown(const QList<int>& rows) {
    quint64 moved = 0;
    bool acted = false;
    m_guard([&] { acted = m_worklist.moveDown(rows, &moved); }, "Einheit nach unten");
    if (!acted)
        return 0;
    savePlan();
    return moved;
}

void PlanCommands::moveRowsBefore(const QList<int>& rows, int target) {
    m_guard([&] { m_worklist.moveRowsBefore(rows, target); }, "Ziehen und Ablegen");
    savePlan();
}

void PlanCommands::deleteEntries(const QList<int>& rows) {
    if (rows.isEmpty() || m_worklist.runActive())
        return;
    m_guard([&] { m_worklist.deleteOpenEntries(rows); }, "Eintrag löschen");
    m_worklist.UpdateCaption();
    savePlan();
}

void PlanCommands::removeFinished() {
    m_worklist.removeFinished();
    savePlan();
}
