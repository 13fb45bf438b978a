#pragma once

#include "evaluation.h"
#include "log_source.h"
#include "views.h"

#include <QList>
#include <QMainWindow>

#include <atomic>
#include <optional>

class Clock;
class LogLoader;
class QComboBox;
class QDateEdit;
class QLabel;
class QProgressBar;
class QStackedWidget;
class QTabWidget;
class QThread;
class QToolButton;

// The window of Bilanzblick: a range picker, the views as tabs, the status bar with the lines
// skipped and the progress of a read. An absent log shows a page naming the path.
class BilanzWindow : public QMainWindow {
    Q_OBJECT
public:
    enum class RangeKind { Day, Week, Month, Year, Free };

    BilanzWindow(const Clock& clock, logsource::Location location, QWidget* parent = nullptr);
    ~BilanzWindow() override;

    LogLoader& loader() { return *m_loader; }
    const LogDays& log() const { return m_log; }
    QTabWidget* tabs() const { return m_tabs; }
    QDate from() const;
    QDate to() const;
    // The kind of range and a day inside it; Free takes from and to as they are.
    void setRange(RangeKind kind, QDate anchor, QDate freeTo = {});
    // A day picked in the calendar: its course in "Dein Normal", with a button back to the range
    // and the view it was picked from (until the range is changed otherwise).
    void drillDown(QDate day);
    void drillBack();
    bool canDrillBack() const { return m_drilledFrom.has_value(); }
    // "Exportieren …" once the file is chosen: writes the range shown on a worker thread, with the
    // button disabled until it is done; a failure is shown in a message box. Ignored while an
    // export runs.
    void startExport(const QString& path, evaluation::ExportFormat format);
    bool exportRunning() const;
    // The file "Exportieren …" offers: in the user's documents folder, named after the days written.
    QString suggestedExportPath() const;
    bool showsEmptyState() const;
    QString statusText() const;

signals:
    // After every read of the log, once the views show it.
    void logShown();
    // After every export started by startExport, once the button is usable again.
    void exportFinished(bool ok);

private:
    void onLoaded(const logsource::Loaded& result);
    void rangeKindChanged();
    void step(int direction);
    void refreshCurrent();
    void markAllStale();
    void exportCommand();
    ViewContext context() const;

    const Clock& m_clock;
    LogLoader* m_loader;
    LogDays m_log;
    bool m_haveLog = false;
    QComboBox* m_rangeKind;
    QDateEdit* m_from;
    QDateEdit* m_to;
    QStackedWidget* m_pages;
    QTabWidget* m_tabs;
    QLabel* m_emptyState;
    QLabel* m_status;
    QProgressBar* m_progress;
    QList<EvaluationView*> m_views;
    QList<bool> m_stale;
    struct DrilledFrom {
        RangeKind kind;
        QDate from, to;
        int tab;
    };
    std::optional<DrilledFrom> m_drilledFrom;
    QAction* m_drillBack;
    QToolButton* m_exportButton;
    QThread* m_exportThread = nullptr;
    std::atomic_bool m_stopExport{false};
};

namespace bilanzwindow {
// Sets up the application, its language and the window; runs until the window is closed.
int run(int argc, char** argv, const QString& logPath);
} // namespace bilanzwindow
