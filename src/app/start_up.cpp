#include "start_up.h"

#include "autostart_entry.h"
#include "companion_program.h"
#include "core_wiring.h"
#include "desktop_shell.h"
#include "ending_dialog_guard.h"
#include "help_links.h"
#include "leftover_files.h"
#include "program_launcher.h"
#include "single_instance.h"
#include "start_up_decision.h"
#include "start_up_trace.h"
#include "status_report.h"
#include "system_clock.h"
#include "system_global_shortcuts.h"
#include "system_notifier.h"
#include "system_sound.h"
#include "system_workstation_lock.h"
#include "termination_requests.h"
#include "tf_bestaetigung.h"
#include "tf_countdown.h"
#include "tf_debugger.h"
#include "tf_hinweis_erster_start.h"
#include "tf_timer.h"
#include "tf_ueber.h"
#include "tf_worklist.h"
#include "timer_commands.h"
#include "timer_model.h"
#include "translate.h"
#include "translation.h"
#include "tray_icon.h"
#include "window_front.h"
#include "window_user_interface.h"
#include "worklist_services.h"

#include <QApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QTimer>
#include <QTranslator>

#include <cstdio>
#include <memory>

namespace {

// The files the program replaces whole in its data folder: a kill in the middle of a replace
// leaves the new copy under a temporary name beside them.
const QStringList replacedFiles = {QStringLiteral("Settings.ini"), QStringLiteral("worklist.log"),
                                   QStringLiteral("lastroutine.log")};

} // namespace

StartUp::StartUp(const SystemClock& clock, DataFolder folder, SingleInstance& instance,
                 SingleInstance::Claim claim, QString firstArgument)
    : m_clock(clock), m_folder(std::move(folder)), m_instance(instance), m_claim(claim),
      m_firstArgument(std::move(firstArgument)) {}

QString StartUp::setUpTranslation() {
    const QString localeFolder = translation::localeFolder(QCoreApplication::applicationDirPath());
    const QString code = translation::chooseLanguage(translation::userLanguageCode(),
                                                     translation::availableLanguages(localeFolder));
    // Qt's own texts (standard buttons, file dialogs, key names in menus) in the same language.
    m_qtTranslator = translation::loadQtTranslator(code);
    if (m_qtTranslator)
        QCoreApplication::installTranslator(m_qtTranslator.get());
    const translation::Outcome outcome = translation::setUp(localeFolder, code);
    if (outcome.active)
        m_interfaceLanguage = outcome.code;
    return outcome.problem;
}

int StartUp::run() {
    StartUpTrace trace([this] { return m_clock.tickMs(); });
    // From the very beginning, so that a log-out during start-up still ends in order.
    int endingSignal = 0;
    bool endRequested = false;
    TerminationRequests requests;
    // exit() rather than quit(): it leaves every window as it is (closing the Planning window
    // would start the companion program) and ends nested dialog loops too.
    QObject::connect(&requests, &TerminationRequests::terminationRequested, &requests,
                     [&endingSignal, &endRequested](int signal) {
                         if (!endRequested)
                             endingSignal = signal;
                         endRequested = true;
                         QCoreApplication::exit(0);
                     });
    // Later starts may knock from now on; their request is served once the loop runs.
    const bool listening = m_instance.listen();
    const QString translationProblem = setUpTranslation();
    if (!translationProblem.isEmpty()) {
        trace.note(QStringLiteral("translation-off ") + translationProblem);
        QMessageBox::information(nullptr, QStringLiteral("Taktplan"), translationProblem);
    }

    WorkingFolderLauncher launcher;
    DesktopShell shell;
    CompanionProgram companion(launcher);
    WindowUserInterface ui;
    const std::unique_ptr<AutostartEntry> runEntry =
        AutostartEntry::forProgram(AutostartEntry::programToStart(QCoreApplication::applicationFilePath()));
    const std::unique_ptr<SystemSoundPlayer> sound = systemSoundPlayer();
    const std::unique_ptr<WorkstationLock> workstationLock = systemWorkstationLock();
    // Speech starts its engine on the first text, never here.
    const std::unique_ptr<SystemSpeaker> speaker = systemSpeaker();
    // Reads the engine and the plan once both exist (below).
    TFCountdown countdown(m_clock, *sound);
    // A notification the desktop has no service for goes to the tray icon's balloon (made
    // below); without one it is only noted.
    TrayIcon* messageTray = nullptr;
    DebugLog* messageLog = nullptr;
    const std::unique_ptr<DesktopNotifier> notifier =
        systemNotifier([&messageTray, &messageLog](const QString& summary, const QString& body) {
            if ((!messageTray || !messageTray->showMessage(summary, body)) && messageLog)
                messageLog->AddDebugLine(QStringLiteral("Benachrichtigung nicht gezeigt (kein Dienst, kein "
                                                        "Tray-Symbol): ") +
                                         summary);
        });
    // The records, the plan, its feedback (side files, speech, the countdown overlay), the
    // runner and the run engine.
    CoreWiring core(CoreWiring::Platform{m_clock, m_folder, ui, companion, *sound, *speaker, shell,
                                         *workstationLock, *runEntry, countdown, *notifier});
    Records& records = core.records;
    messageLog = &records.debugLog;
    Worklist& worklist = core.worklist;
    PlanFile& planFile = core.planFile;
    PlanRunner& runner = core.runner;
    RunEngine& engine = core.engine;
    if (QGuiApplication::platformName() == QStringLiteral("wayland"))
        records.debugLog.AddDebugLine(QStringLiteral(
            "Wayland ohne XWayland: Lage und Vordergrund des Timer-Fensters bestimmt der Compositor"));
    // Only the holder of the lock may clear up: no other copy can be in the middle of a save.
    if (m_claim == SingleInstance::Claim::First) {
        QStringList removed = leftovers::removeSaveLeftovers(m_folder.path(), replacedFiles);
        removed += m_instance.removeLeftovers();
        if (!removed.isEmpty())
            records.debugLog.AddDebugLine(QStringLiteral("Reste abgebrochener Speichervorgänge entfernt: ") +
                                          removed.join(QStringLiteral(", ")));
    }
    EndingDialogGuard dialogGuard([&records](const QString& text) {
        records.debugLog.AddDebugLine(QStringLiteral("Meldung beim Programmende nicht gezeigt: ") +
                                      QString(text).replace(QStringLiteral("\r\n"), QStringLiteral(" | ")));
        std::fprintf(stderr, "Taktplan: %s\n", text.toLocal8Bit().constData());
        std::fflush(stderr);
    });
    if (m_claim == SingleInstance::Claim::Unchecked) {
        const QString lock = m_instance.lockFilePath();
        records.debugLog.AddDebugLine(QStringLiteral("Einzelinstanz nicht gesichert: ") +
                                      (lock.isEmpty()
                                           ? QStringLiteral("kein privater Ordner für die Sperrdatei")
                                           : QStringLiteral("Sperrdatei nicht anlegbar (") + lock + u')'));
    } else if (!listening) {
        records.debugLog.AddDebugLine(
            QStringLiteral("Weitere Programmstarts können dieses Programm nicht erreichen: ") +
            m_instance.serverName());
    }

    RunningPlanModel<RunEngine, PlanRunner> model(engine, runner);
    const RunningCountdownSource<RunEngine, Worklist, Settings> countdownSource(engine, worklist,
                                                                                records.settings);
    countdown.setSource(&countdownSource);
    TFBestaetigung presence([&runner] {
        runner.setPresenceConfirmed(true);
        runner.runState().update([](RunState& s) { s.presenceConfirmationVisible = false; });
    });
    TFTimer timer(TimerServices{m_clock, records, worklist, planFile, ui, companion, launcher, shell,
                                countdown, model, &presence, [](QWidget& w) { bringWindowToFront(w); }});
    ui.suspendDuringDialogs(timer.foregroundKeepingTimer());
    // The small windows of the program. The Planning and the Timer window reach them only
    // through the commands and pointers handed to them below. The debug viewer and the about
    // window are made when first asked for: most runs never show them, and a text box costs
    // start-up time.
    std::unique_ptr<TFDebugger> debugger;
    std::unique_ptr<TFUeber> about;
    TFHinweisErsterStart firstStartHint(&timer);
    const auto bringUp = [](QWidget& w) {
        w.show();
        w.raise();
        w.activateWindow();
    };

    // The tray icon follows its setting as soon as the menu changes it (set once the icon exists).
    std::function<void()> extrasChanged = [] {};
    TFWorklist window(WorklistServices{
        m_clock, m_folder, records, companion, shell, launcher, ui, worklist, planFile,
        &TerminationRequests::requested, [&runner] { runner.Start1Click(); },
        [&runner] { runner.autoStart(); }, [&timer] { timer.settingsCommand(); }, m_interfaceLanguage,
        QString(), [&timer] { timer.evaluationCommand(); }, [&extrasChanged] { extrasChanged(); }});
    engine.setTimerView(&timer);
    engine.setPlanningView(&window);
    runner.setView(&window);
    window.observe(runner.runState());
    window.setTimerWindow(&timer);
    window.setPercentileUpdate([&core] { core.percentile.UpdatePercentile(); });
    timer.setPlanningWindow(&window);
    timer.setCountdownWindow(&countdown);
    timer.setReminderWindow([&ui] { return ui.existingReminderWindow(); });
    window.addForegroundPeer(&presence);
    timer.setFirstStartHintWindow(&firstStartHint);
    const auto ownWindow = [&](QWidget* w) {
        window.addForegroundPeer(w);
        timer.addForegroundPeer(w);
    };
    ownWindow(&firstStartHint);
    const auto showDebugger = [&] {
        if (!debugger) {
            debugger = std::make_unique<TFDebugger>(records, shell,
                                                    [&timer] { return timer.foregroundKeepingActive(); });
            ownWindow(debugger.get());
        }
        bringUp(*debugger);
    };
    // The about window's lines lead to the installed user guide (the program's line to a home
    // page when one is configured); a guide that is not there leaves them plain text.
    const auto showAbout = [&] {
        if (!about) {
            const QString programFolder = QCoreApplication::applicationDirPath();
            const auto guideAddress = [&](const char* section) {
                const QString file =
                    helplinks::guideFile(programFolder, m_interfaceLanguage, QString::fromLatin1(section));
                return QFileInfo(file).isFile() ? QUrl::fromLocalFile(file).toString() : QString();
            };
            const helplinks::Addresses addresses = helplinks::Addresses::configured();
            about = std::make_unique<TFUeber>(
                shell, TFUeber::Links{addresses.homePage.isEmpty() ? guideAddress(helplinks::sectionContact)
                                                                   : addresses.homePage,
                                      guideAddress("")});
            ownWindow(about.get());
        }
        bringUp(*about);
    };
    timer.setAboutCommand(showAbout);
    window.setHelpWindows(showDebugger, showAbout);
    // The tray icon's items are the Timer window's and the Planning window's own commands.
    TrayIcon tray(runner.runState(),
                  TrayIcon::Commands{
                      [&](traylook::Item item) {
                          switch (item) {
                          case traylook::Item::Planungsmodus:
                              return timer.planningMode();
                          case traylook::Item::NeuPlanen:
                              return window.Start1Click();
                          case traylook::Item::NutzerAnwesend:
                              return timer.presenceCommand();
                          case traylook::Item::Auswertung:
                              return timer.evaluationCommand();
                          case traylook::Item::Beenden:
                              return window.quitCommand();
                          }
                      },
                      [&](traylook::Click click) {
                          switch (click) {
                          case traylook::Click::PlanningMode:
                              return timer.planningMode();
                          case traylook::Click::ShowPlanning:
                              window.show();
                              return window.bringToFront();
                          case traylook::Click::HidePlanning:
                              return window.hide();
                          }
                      },
                      [&timer] { return timer.menuSituation(); }, [&window] { return window.isVisible(); },
                      [&records](const QString& line) { records.debugLog.AddDebugLine(line); }});
    messageTray = &tray;
    extrasChanged = [&tray, &records] { tray.setShown(records.extras.trayIcon); };
    extrasChanged();
    // A request to end that came while the plan loaded is taken in now: nothing more is shown.
    if (TerminationRequests::requested())
        QCoreApplication::processEvents();
    core.takeInFinishedUnits();

    const StartUpDecision decision = StartUpDecision::decide(m_firstArgument, records.settings.Autostart);
    // A program already told to end (during a start-up dialog) shows nothing more.
    if (decision.showPlanningWindow && !endRequested) {
        trace.watchFirstPaint(&window);
        window.show();
    }
    if (records.settingsFile.firstStart())
        window.showFirstStartHint();
    // Without "-autostart" no plan is carried over from a log-on: the Run entry goes until the
    // next plan start writes it again. Errors are not reported, as the entry only helps.
    if (!decision.keepRunEntry)
        runEntry->remove();
    if (decision.enableAutoStart)
        window.enableAutoStart();
    runner.markJustStarted();

    QObject::connect(&m_instance, &SingleInstance::frontRequested, &window, [&] {
        records.debugLog.AddDebugLine(
            QStringLiteral("Zweiter Programmstart: Planungsfenster nach vorne geholt"));
        window.bringToFront();
        trace.note(QStringLiteral("front"));
    });
    // `taktplan --status`: answered from the run state and the plan as they stand, also while a
    // dialog runs its own loop.
    m_instance.setStatusAnswer([&](const QByteArray& format) {
        const int rank = records.settings.showPercentileRanking ? core.percentile.rank() : -1;
        const StatusReport report =
            StatusReport::from(runner.runState().state(), worklist, records.dailyTarget, rank);
        if (format == "json")
            return report.toJson();
        return format == "waybar" ? report.toWaybar() : report.toText().toUtf8();
    });
    // The answer reads the core, which ends with this function.
    const std::unique_ptr<SingleInstance, void (*)(SingleInstance*)> statusAnswerEnds(
        &m_instance, [](SingleInstance* instance) { instance->setStatusAnswer({}); });
    // Keys from anywhere on the desktop, where it offers them; the desktop may ask the user first.
    std::unique_ptr<GlobalShortcuts> globalKeys;
    if (records.extras.globalShortcuts) {
        globalKeys = systemGlobalShortcuts();
        QObject::connect(
            globalKeys.get(), &GlobalShortcuts::unavailable, &window, [&records](const QString& why) {
                records.debugLog.AddDebugLine(QStringLiteral("Globale Tasten nicht verfügbar: ") + why);
            });
        QObject::connect(globalKeys.get(), &GlobalShortcuts::bound, &window, [&records](const QString& keys) {
            records.debugLog.AddDebugLine(QStringLiteral("Globale Tasten: ") + keys);
        });
        QObject::connect(
            globalKeys.get(), &GlobalShortcuts::activated, &window, [&](GlobalShortcuts::Key key) {
                const RunState& s = runner.runState().state();
                switch (timercommands::commandForKey(key, timer.menuSituation(), s.startEnabled)) {
                case timercommands::KeyCommand::Start:
                    return window.Start1Click();
                case timercommands::KeyCommand::PlanningMode:
                    timer.planningMode();
                    return window.bringToFront();
                case timercommands::KeyCommand::ConfirmPresence:
                    return timer.confirmPresence();
                case timercommands::KeyCommand::Nothing:
                    return;
                }
            });
        globalKeys->bind({{GlobalShortcuts::Key::StartOrPlanning, QStringLiteral("start"),
                           tr_("Start / Planungsmodus"), QStringLiteral("CTRL+ALT+F9")},
                          {GlobalShortcuts::Key::UserPresent, QStringLiteral("present"),
                           tr_("Nutzer anwesend"), QStringLiteral("CTRL+ALT+F8")}});
    }
    QObject::connect(&window, &TFWorklist::terminateRequested, &window, [] { QCoreApplication::exit(0); });
    QObject::connect(&timer, &TFTimer::terminateRequested, &window, [] { QCoreApplication::exit(0); });
    QObject::connect(&trace, &StartUpTrace::shownExitRequested, &window, [] { QCoreApplication::exit(0); });
    QTimer::singleShot(0, &window, [&] {
        trace.note(QStringLiteral("running planning-window=") +
                   (window.isVisible() ? QStringLiteral("visible") : QStringLiteral("hidden")));
        // A script that restarts the program on a fast clock carries the time on from here.
        trace.note(QStringLiteral("clock ") +
                   m_clock.localNow().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz")));
    });

    // The end of a run, once: after the loop, or when the system ends the session (Windows
    // ends the process right after aboutToQuit at log-off, without returning from the loop).
    bool ended = false;
    const auto endRun = [&] {
        if (ended)
            return;
        ended = true;
        messageTray = nullptr;
        // From here on nobody may be there to answer a question.
        dialogGuard.engage();
        if (endRequested) {
            records.debugLog.AddDebugLine(QStringLiteral("Programmende angefordert (") +
                                          TerminationRequests::name(endingSignal) + u')');
        }
        // Sound and speech end on their threads while the files are saved.
        sound->beginEnd();
        speaker->beginEnd();
        window.rememberSize();
        window.savePlan();
        core.finish();
    };
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, &window, endRun);
    // The end of a Windows session: the process is ended as soon as this returns.
    QObject::connect(&requests, &TerminationRequests::sessionEnding, &window, [&](int request) {
        if (!endRequested)
            endingSignal = request;
        endRequested = true;
        endRun();
        QCoreApplication::exit(0);
    });

    // A signal during a dialog of the start-up ended that dialog's loop only.
    const int status = !endRequested ? QApplication::exec() : 0;
    endRun();
    return status;
}
