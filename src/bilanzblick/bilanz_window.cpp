#include "bilanz_window.h"

#include "clock.h"
#include "data_folder.h"
#include "log_loader.h"
#include "system_clock.h"
#include "translate.h"
#include "translation.h"

#include <QApplication>
#include <QChartView>
#include <QComboBox>
#include <QCursor>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTabWidget>
#include <QThread>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <atomic>
#include <cstdio>
#include <memory>

namespace {

// Larger on a large screen, and whole on a small one, frame and panels included.
QSize sizeOn(const QScreen* screen) {
    const QSize room = screen ? screen->availableGeometry().size() : QSize(1100, 760);
    return QSize(1000, 700).expandedTo(room * 0.7).boundedTo(room * 0.92);
}

} // namespace

BilanzWindow::BilanzWindow(const Clock& clock, logsource::Location location, QWidget* parent)
    : QMainWindow(parent), m_clock(clock), m_loader(new LogLoader(clock, std::move(location), this)) {
    setObjectName(QStringLiteral("Bilanzblick"));
    setWindowTitle(tr_("Bilanzblick – Auswertung"));
    setWindowIcon(QIcon(QStringLiteral(":/bilanzblick.svg")));

    auto* bar = addToolBar(tr_("Zeitraum"));
    bar->setObjectName(QStringLiteral("rangeBar"));
    bar->setMovable(false);
    m_rangeKind = new QComboBox(bar);
    m_rangeKind->setObjectName(QStringLiteral("rangeKind"));
    m_rangeKind->addItems({tr_("Tag"), tr_("Woche"), tr_("Monat"), tr_("Jahr"), tr_("Zeitraum")});
    bar->addWidget(m_rangeKind);
    QAction* back = bar->addAction(QStringLiteral("◀"));
    back->setToolTip(tr_("Zurück"));
    m_from = new QDateEdit(bar);
    m_from->setObjectName(QStringLiteral("rangeFrom"));
    m_to = new QDateEdit(bar);
    m_to->setObjectName(QStringLiteral("rangeTo"));
    for (QDateEdit* edit : {m_from, m_to}) {
        edit->setCalendarPopup(true);
        edit->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    }
    bar->addWidget(m_from);
    bar->addWidget(new QLabel(QStringLiteral(" – "), bar));
    bar->addWidget(m_to);
    QAction* forward = bar->addAction(QStringLiteral("▶"));
    forward->setToolTip(tr_("Weiter"));
    QAction* today = bar->addAction(tr_("Heute"));
    m_drillBack = bar->addAction(QString());
    m_drillBack->setObjectName(QStringLiteral("drillBack"));
    m_drillBack->setVisible(false);
    bar->addSeparator();
    m_exportButton = new QToolButton(bar);
    m_exportButton->setObjectName(QStringLiteral("exportButton"));
    m_exportButton->setText(tr_("Exportieren …"));
    bar->addWidget(m_exportButton);

    m_pages = new QStackedWidget(this);
    m_tabs = new QTabWidget(m_pages);
    m_tabs->setObjectName(QStringLiteral("views"));
    auto* overview = new OverviewView(m_tabs);
    auto* calendar = new CalendarView(m_tabs);
    const std::pair<EvaluationView*, QString> views[] = {
        {overview, tr_("Überblick")},
        {calendar, tr_("Kalender")},
        {new NormalView(m_tabs), tr_("Dein Normal")},
        {new FailureView(m_tabs), tr_("Abbrüche")},
        {new ReplanView(m_tabs), tr_("Neu geplant")},
        {new TargetView(m_tabs), tr_("Soll")},
        {new TitleView(m_tabs), tr_("Titel")},
    };
    for (const auto& [view, name] : views) {
        m_tabs->addTab(view, name);
        m_views.append(view);
        m_stale.append(true);
    }
    m_emptyState = new QLabel(m_pages);
    m_emptyState->setObjectName(QStringLiteral("emptyState"));
    m_emptyState->setAlignment(Qt::AlignCenter);
    m_emptyState->setWordWrap(true);
    m_emptyState->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_pages->addWidget(m_tabs);
    m_pages->addWidget(m_emptyState);
    setCentralWidget(m_pages);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("statusText"));
    statusBar()->addWidget(m_status, 1);
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("loadProgress"));
    m_progress->setRange(0, 100);
    m_progress->setMaximumWidth(180);
    m_progress->hide();
    statusBar()->addPermanentWidget(m_progress);
    auto* path = new QLabel(m_loader->location().path, this);
    path->setObjectName(QStringLiteral("logPath"));
    statusBar()->addPermanentWidget(path);

    connect(m_rangeKind, &QComboBox::currentIndexChanged, this, &BilanzWindow::rangeKindChanged);
    connect(back, &QAction::triggered, this, [this] { step(-1); });
    connect(forward, &QAction::triggered, this, [this] { step(1); });
    connect(today, &QAction::triggered, this,
            [this] { setRange(RangeKind(m_rangeKind->currentIndex()), m_clock.today()); });
    connect(m_from, &QDateEdit::dateChanged, this, [this](QDate day) {
        if (RangeKind(m_rangeKind->currentIndex()) == RangeKind::Free) {
            if (m_to->date() < day) {
                const QSignalBlocker block(m_to);
                m_to->setDate(day);
            }
            markAllStale();
        } else {
            setRange(RangeKind(m_rangeKind->currentIndex()), day);
        }
    });
    connect(m_to, &QDateEdit::dateChanged, this, [this](QDate day) {
        if (m_from->date() > day) {
            const QSignalBlocker block(m_from);
            m_from->setDate(day);
        }
        markAllStale();
    });
    connect(m_tabs, &QTabWidget::currentChanged, this, &BilanzWindow::refreshCurrent);
    connect(calendar, &CalendarView::dayChosen, this, &BilanzWindow::drillDown);
    connect(m_drillBack, &QAction::triggered, this, &BilanzWindow::drillBack);
    connect(m_exportButton, &QToolButton::clicked, this, &BilanzWindow::exportCommand);
    connect(m_loader, &LogLoader::progress, this, [this](int percent) {
        m_progress->setValue(percent);
        m_progress->setVisible(percent < 100);
    });
    connect(m_loader, &LogLoader::loaded, this, &BilanzWindow::onLoaded);

    setRange(RangeKind::Month, m_clock.today());
    m_status->setText(tr_("Lese die Aktivitätsdatei …"));
    m_progress->setValue(0);
    m_progress->show();
    m_loader->reload();
    resize(sizeOn(QGuiApplication::primaryScreen()));
}

BilanzWindow::~BilanzWindow() {
    // A closed window leaves no export behind: the file is not committed, the old one stays.
    if (m_exportThread) {
        m_stopExport = true;
        m_exportThread->wait();
    }
}

QDate BilanzWindow::from() const {
    return m_from->date();
}

QDate BilanzWindow::to() const {
    return m_to->date();
}

void BilanzWindow::setRange(RangeKind kind, QDate anchor, QDate freeTo) {
    QDate from = anchor;
    QDate to = anchor;
    switch (kind) {
    case RangeKind::Day:
        break;
    case RangeKind::Week:
        from = evaluation::weekStart(anchor);
        to = from.addDays(6);
        break;
    case RangeKind::Month:
        from = evaluation::monthStart(anchor);
        to = from.addMonths(1).addDays(-1);
        break;
    case RangeKind::Year:
        from = QDate(anchor.year(), 1, 1);
        to = QDate(anchor.year(), 12, 31);
        break;
    case RangeKind::Free:
        // "Heute" moves a free range's start: its end never stays before it.
        to = std::max(freeTo.isValid() ? freeTo : m_to->date(), anchor);
        break;
    }
    const QSignalBlocker blockKind(m_rangeKind);
    const QSignalBlocker blockFrom(m_from);
    const QSignalBlocker blockTo(m_to);
    m_rangeKind->setCurrentIndex(int(kind));
    m_from->setDate(from);
    m_to->setDate(to);
    // Only a free range is typed end by end; the others follow their first day.
    m_to->setEnabled(kind == RangeKind::Free);
    m_drilledFrom.reset();
    m_drillBack->setVisible(false);
    markAllStale();
}

void BilanzWindow::drillDown(QDate day) {
    const DrilledFrom from{RangeKind(m_rangeKind->currentIndex()), m_from->date(), m_to->date(),
                           m_tabs->currentIndex()};
    setRange(RangeKind::Day, day);
    m_drilledFrom = from;
    m_drillBack->setText(QStringLiteral("↩ ") + from.from.toString(QStringLiteral("dd.MM.yyyy")) +
                         QStringLiteral(" – ") + from.to.toString(QStringLiteral("dd.MM.yyyy")));
    m_drillBack->setToolTip(tr_("Zurück zum Zeitraum vor der Auswahl des Tages"));
    m_drillBack->setVisible(true);
    m_tabs->setCurrentIndex(2);
}

void BilanzWindow::drillBack() {
    if (!m_drilledFrom)
        return;
    const DrilledFrom back = *m_drilledFrom;
    setRange(back.kind, back.from, back.to);
    m_tabs->setCurrentIndex(back.tab);
}

void BilanzWindow::rangeKindChanged() {
    setRange(RangeKind(m_rangeKind->currentIndex()), m_from->date(), m_to->date());
}

void BilanzWindow::step(int direction) {
    const QDate from = m_from->date();
    switch (RangeKind(m_rangeKind->currentIndex())) {
    case RangeKind::Day:
        return setRange(RangeKind::Day, from.addDays(direction));
    case RangeKind::Week:
        return setRange(RangeKind::Week, from.addDays(7 * direction));
    case RangeKind::Month:
        return setRange(RangeKind::Month, from.addMonths(direction));
    case RangeKind::Year:
        return setRange(RangeKind::Year, from.addYears(direction));
    case RangeKind::Free: {
        const qint64 length = from.daysTo(m_to->date()) + 1;
        return setRange(RangeKind::Free, from.addDays(direction * length),
                        m_to->date().addDays(direction * length));
    }
    }
}

ViewContext BilanzWindow::context() const {
    const QDateTime now = m_clock.localNow();
    return ViewContext{&m_log, now.date(), now.time(), m_from->date(), m_to->date()};
}

void BilanzWindow::markAllStale() {
    for (qsizetype i = 0; i < m_stale.size(); ++i)
        m_stale[i] = true;
    refreshCurrent();
}

void BilanzWindow::refreshCurrent() {
    const int index = m_tabs->currentIndex();
    if (!m_haveLog || index < 0 || !m_stale[index])
        return;
    m_stale[index] = false;
    m_views[index]->refresh(context());
}

void BilanzWindow::onLoaded(const logsource::Loaded& result) {
    m_progress->hide();
    const QString path = m_loader->location().path;
    if (!result.ok) {
        m_haveLog = false;
        m_log = LogDays();
        using Refusal = logsource::Loaded::Refusal;
        const QString reason = result.refusal == Refusal::Folder ? tr_("Der Pfad ist ein Ordner.")
                               : result.refusal == Refusal::NotRegularFile
                                   ? tr_("Der Pfad ist keine gewöhnliche Datei.")
                                   : result.error;
        m_emptyState->setText(result.exists
                                  ? tr_("Die Aktivitätsdatei kann nicht gelesen werden:") +
                                        QStringLiteral("\n") + path + QStringLiteral("\n\n") + reason
                                  : tr_("Noch keine Aktivitätsdatei vorhanden:") + QStringLiteral("\n") +
                                        path + QStringLiteral("\n\n") +
                                        tr_("Sobald die erste Einheit erledigt ist, erscheint sie hier."));
        m_pages->setCurrentWidget(m_emptyState);
        m_status->clear();
        emit logShown();
        return;
    }
    m_log = result.days;
    m_haveLog = true;
    m_pages->setCurrentWidget(m_tabs);
    m_status->setText(m_log.skippedLines() > 0
                          ? QString::number(m_log.skippedLines()) + tr_(" Zeilen übersprungen")
                          : QString());
    markAllStale();
    emit logShown();
}

bool BilanzWindow::showsEmptyState() const {
    return m_pages->currentWidget() == m_emptyState;
}

QString BilanzWindow::statusText() const {
    return m_status->text();
}

namespace {

// Writes the days from..to of the log to path, all or nothing; stop (asked at every piece) ends
// it without touching the file.
bool writeExport(const LogDays& log, QDate from, QDate to, const QString& path,
                 evaluation::ExportFormat format, QString* error, const std::atomic_bool* stop) {
    QSaveFile file(path);
    const auto write = [&file, stop](QByteArrayView piece) {
        return !(stop && *stop) && file.write(piece.data(), piece.size()) == piece.size();
    };
    if (!file.open(QIODevice::WriteOnly) || !evaluation::writeDays(log, from, to, format, write) ||
        !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace

void BilanzWindow::startExport(const QString& path, evaluation::ExportFormat format) {
    if (m_exportThread)
        return;
    // A long range takes seconds: the window stays usable, and one export runs at a time. The
    // worker has its own copy of the days, so a new read of the log cannot change them under it.
    struct Outcome {
        bool ok = false;
        QString error;
    };
    const auto outcome = std::make_shared<Outcome>();
    m_stopExport = false;
    m_exportButton->setEnabled(false);
    statusBar()->showMessage(tr_("Exportiere …") + QLatin1Char(' ') + path);
    const auto [from, to] = evaluation::exportRange(m_from->date(), m_to->date(), m_clock.today());
    m_exportThread = QThread::create([log = m_log, from, to, path, format, outcome, stop = &m_stopExport] {
        outcome->ok = writeExport(log, from, to, path, format, &outcome->error, stop);
    });
    m_exportThread->setParent(this);
    connect(m_exportThread, &QThread::finished, this, [this, path, outcome] {
        m_exportThread->deleteLater();
        m_exportThread = nullptr;
        m_exportButton->setEnabled(true);
        if (outcome->ok) {
            statusBar()->showMessage(tr_("Exportiert: ") + path, 5000);
        } else {
            statusBar()->clearMessage();
            auto* box =
                new QMessageBox(QMessageBox::Warning, tr_("Bilanzblick"),
                                tr_("Die Datei konnte nicht geschrieben werden:") + QStringLiteral("\n") +
                                    path + QStringLiteral("\n\n") + outcome->error,
                                QMessageBox::Ok, this);
            box->setObjectName(QStringLiteral("exportError"));
            box->setAttribute(Qt::WA_DeleteOnClose);
            box->open();
        }
        emit exportFinished(outcome->ok);
    });
    m_exportThread->start();
}

bool BilanzWindow::exportRunning() const {
    return m_exportThread != nullptr;
}

QString BilanzWindow::suggestedExportPath() const {
    const auto [from, to] = evaluation::exportRange(m_from->date(), m_to->date(), m_clock.today());
    return QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
        .filePath(QStringLiteral("bilanz_%1_%2.csv")
                      .arg(from.toString(QStringLiteral("yyyy-MM-dd")),
                           std::max(from, to).toString(QStringLiteral("yyyy-MM-dd"))));
}

void BilanzWindow::exportCommand() {
    const QString suggested = suggestedExportPath();
    QString filter;
    const QString path = QFileDialog::getSaveFileName(
        this, tr_("Tage exportieren"), suggested,
        tr_("CSV-Datei (*.csv)") + QStringLiteral(";;") + tr_("JSON-Datei (*.json)"), &filter);
    if (path.isEmpty())
        return;
    const auto format =
        path.endsWith(QLatin1String(".json"), Qt::CaseInsensitive) || filter.contains(QLatin1String("json"))
            ? evaluation::ExportFormat::Json
            : evaluation::ExportFormat::Csv;
    startExport(path, format);
}

namespace bilanzwindow {

namespace {

// For the start-up measurement: ends the program once the first chart has been painted and
// prints the milliseconds since the process started.
class FirstPaintProbe : public QObject {
public:
    FirstPaintProbe(const Clock& clock, qint64 startMs) : m_clock(clock), m_startMs(startMs) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !m_done) {
            m_done = true;
            QTimer::singleShot(0, qApp, [this] {
                std::printf("first chart painted after %lld ms\n",
                            static_cast<long long>(m_clock.utcNow().toMSecsSinceEpoch() - m_startMs));
                std::fflush(stdout);
                QCoreApplication::quit();
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    const Clock& m_clock;
    qint64 m_startMs;
    bool m_done = false;
};

} // namespace

int run(int argc, char** argv, const QString& logPath) {
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Bilanzblick"));
    const QString localeFolder = translation::localeFolder(QCoreApplication::applicationDirPath());
    const QString code = translation::chooseLanguage(translation::userLanguageCode(),
                                                     translation::availableLanguages(localeFolder));
    const std::unique_ptr<QTranslator> qtTranslator = translation::loadQtTranslator(code);
    if (qtTranslator)
        QCoreApplication::installTranslator(qtTranslator.get());
    const QString problem = translation::setUp(localeFolder, code).problem;

    const SystemClock clock = SystemClock::fromEnvironment();
    const DataFolder folder = DataFolder::fromEnvironment();
    BilanzWindow window(clock, logsource::locate(clock, folder, logPath));
    // The measurement's start comes from outside, in real time: a shifted clock would not fit it.
    const SystemClock realTime;
    std::unique_ptr<FirstPaintProbe> probe;
    // BILANZBLICK_FIRST_PAINT_EXIT=<process start in ms since the epoch>: measure and quit.
    const QByteArray probeStart = qgetenv("BILANZBLICK_FIRST_PAINT_EXIT");
    if (!probeStart.isEmpty()) {
        probe = std::make_unique<FirstPaintProbe>(realTime, probeStart.toLongLong());
        auto* overview = window.tabs()->widget(0)->findChild<QChartView*>();
        QObject::connect(&window, &BilanzWindow::logShown, &window, [&probe, overview] {
            overview->viewport()->installEventFilter(probe.get());
            overview->viewport()->update();
        });
    }
    // Started from the planner's menu, the pointer is on the screen the user works on.
    if (const QScreen* screen = QGuiApplication::screenAt(QCursor::pos())) {
        const QRect room = screen->availableGeometry();
        window.resize(sizeOn(screen));
        window.move(room.center() - window.rect().center());
    }
    window.show();
    if (!problem.isEmpty())
        QMessageBox::warning(&window, QStringLiteral("Bilanzblick"), problem);
    return app.exec();
}

} // namespace bilanzwindow
