#include "core_wiring.h"

#include "desktop_notifier.h"

CoreWiring::CoreWiring(const Platform& p)
    : m_folder(p.folder), records(p.clock, m_folder, p.ui), worklist(p.clock, records.settings),
      planFile(worklist, p.clock, records.settings, m_folder, records.debugLog, p.ui),
      publisher(SidePublisher::Services{records, worklist, p.speaker, p.shell}),
      percentile(p.clock, records.settings, records.activityLog),
      runner(PlanRunner::Services{worklist, planFile, records, p.ui, p.sound, p.runEntry, publisher,
                                  p.countdown}),
      engine(RunEngine::Services{records, runner, p.sound, p.workstationLock, p.companion, publisher,
                                 p.countdown, percentile, p.ui}) {
    records.start(p.companion);
    DesktopNotifier& notifier = p.notifier;
    QObject::connect(&runner.runState(), &RunStatePublisher::passed, &runner.runState(),
                     [this, &notifier](const RunMoment& moment) {
                         if (records.extras.notifications)
                             notifier.notify(moment.summary, moment.body);
                     });
    // Computed once now that the activity log is read; later by the engine and the windows.
    percentile.UpdatePercentile();
}

void CoreWiring::takeInFinishedUnits() {
    if (worklist.LoadTodaysFinishedUnits(records.activityLog)) {
        records.debugLog.AddDebugLine(
            QStringLiteral("FWorklist: Laufende Einheit war laut Log schon beendet; Plan geht weiter"));
        planFile.saveWorklist();
    }
}

void CoreWiring::finish() {
    publisher.finish();
    records.finish();
}
