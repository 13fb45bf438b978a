#pragma once

#include "run_feedback.h"
#include "side_file_writer.h"

#include <QDateTime>
#include <QList>
#include <QSet>
#include <QString>
#include <QTimer>

class Shell;
class Speaker;
class Worklist;
struct PlanEntry;
struct Records;

// What the program tells the world around a running plan: the side files others read (the
// start of the next unit, the evening break, the lunch break), speech, the web calls and the
// delayed re-planning call (tmrBeeminderCharge).
class SidePublisher final : public Publisher {
public:
    struct Services {
        Records& records;
        const Worklist& worklist;
        Speaker& speaker;
        Shell& shell;
    };

    explicit SidePublisher(const Services& services);
    ~SidePublisher() override;
    SidePublisher(const SidePublisher&) = delete;
    SidePublisher& operator=(const SidePublisher&) = delete;

    void PublishNextUnitStart() override;
    void UpdateSideFiles() override;
    void speak(const QString& text) override;
    void CallWebAddress(const QString& url) override;
    void startChargeTimer() override;
    void stopChargeTimer() override;

    // tmrBeeminderCharge fired: NeuPlanenURL is called once, if there is one.
    void tmrBeeminderChargeTimer();
    const QTimer& chargeTimer() const { return m_chargeTimer; }

    // Program end: waits a little for the writes still queued (SideFileWriter::shutdownWaitMs at
    // most) and notes the paths that could not be written in the debug log.
    void finish();

    // Waits until the queued side-file writes are done; false when ms passed first.
    bool waitForWrites(int ms) const { return m_writer.waitUntilIdle(ms); }

    // The content of the next-unit file: "dd.mm.yyyy hh:nn " CR LF and the UNIX seconds (UTC)
    // of that wall-clock moment in the local time zone; empty when there is no such start or
    // it has passed. Both times are wall-clock times (plantime::wall); utcOffsetNow (seconds
    // east of UTC) only serves a time the local clock skips.
    static QString nextUnitStartText(const QDateTime& now, const QDateTime& next, int utcOffsetNow);
    // "date start" of the last pause whose display text contains word (case-sensitive); empty
    // when there is none.
    static QString breakValue(const QList<PlanEntry>& entries, const QString& word);

    static constexpr int chargeIntervalMs = 30'000;

private:
    // taken: the paths of the side files named before this one.
    void updateBreakFile(const QString& path, const QString& word, const QStringList& taken);
    // The files a side file must never replace: the settings, the activity log, the plan and
    // routine files and the debug log.
    QStringList ownFiles() const;
    // Writes that failed since the last look go to the debug log, once per path.
    void reportFailures();

    Services m_s;
    QTimer m_chargeTimer;
    SideFileWriter m_writer;
    QSet<QString> m_reportedPaths;
};
