#include "side_publisher.h"

#include "clock.h"
#include "data_folder.h"
#include "plan_entry.h"
#include "plan_time.h"
#include "records.h"
#include "settings.h"
#include "shell.h"
#include "speaker.h"
#include "worklist.h"

SidePublisher::SidePublisher(const Services& services) : m_s(services) {
    m_chargeTimer.setObjectName(QStringLiteral("tmrBeeminderCharge"));
    m_chargeTimer.setInterval(chargeIntervalMs);
    m_chargeTimer.setSingleShot(true);
    QObject::connect(&m_chargeTimer, &QTimer::timeout, &m_chargeTimer, [this] { tmrBeeminderChargeTimer(); });
}

SidePublisher::~SidePublisher() = default;

QString SidePublisher::nextUnitStartText(const QDateTime& now, const QDateTime& next, int utcOffsetNow) {
    if (!next.isValid() || now > next)
        return QString();
    // The UTC moment is taken with the zone's offset at that moment, not today's, so a start
    // on the far side of a daylight-saving change is still right. A time the local clock skips
    // falls back to today's offset.
    const QDateTime local(next.date(), next.time(), Qt::LocalTime);
    const qint64 utcSecs =
        local.isValid() ? local.toSecsSinceEpoch() : next.toSecsSinceEpoch() - utcOffsetNow;
    return plantime::formatDate(next.date()) + u' ' + plantime::formatTime(next) + QStringLiteral(" \r\n") +
           QString::number(utcSecs);
}

QString SidePublisher::breakValue(const QList<PlanEntry>& entries, const QString& word) {
    QString value;
    for (const PlanEntry& e : entries) {
        if (e.isPause() && e.displayText.contains(word, Qt::CaseSensitive))
            value = e.date + u' ' + e.startTime;
    }
    return value;
}

void SidePublisher::PublishNextUnitStart() {
    reportFailures();
    const QString& path = m_s.records.settings.BeginnDerNaechstenEinheitDatei;
    if (path.isEmpty())
        return;
    QDateTime next;
    try {
        next = m_s.worklist.NextPendingUnitStart();
    } catch (const plantime::ConversionError& e) {
        // A hand-edited row whose start does not read: the file keeps its last content.
        m_s.records.debugLog.AddDebugLine(
            QStringLiteral("Beginn der nächsten Einheit nicht veröffentlicht: ") + e.text());
        return;
    }
    const Clock& clock = m_s.records.clock;
    const QDateTime now = plantime::now(clock);
    const int offset = int(now.toSecsSinceEpoch() - clock.utcNow().toSecsSinceEpoch());
    m_writer.replace(path, nextUnitStartText(now, next, offset), ownFiles());
}

void SidePublisher::UpdateSideFiles() {
    reportFailures();
    // Two side files set to one path would take turns in it: the one named first keeps it.
    const Settings& settings = m_s.records.settings;
    updateBreakFile(settings.Feierabenddatei, QStringLiteral("Feierabend"),
                    {settings.BeginnDerNaechstenEinheitDatei});
    updateBreakFile(settings.Mittagspausendatei, QStringLiteral("Mittagspause"),
                    {settings.BeginnDerNaechstenEinheitDatei, settings.Feierabenddatei});
}

void SidePublisher::updateBreakFile(const QString& path, const QString& word, const QStringList& taken) {
    if (path.isEmpty())
        return;
    // Only the last matching pause counts, so that two of them do not take turns in the file.
    const QString value = breakValue(m_s.worklist.entries(), word);
    if (!value.isEmpty())
        m_writer.replaceUnlessLastLineIs(path, value, ownFiles() + taken);
}

QStringList SidePublisher::ownFiles() const {
    const DataFolder& folder = m_s.records.folder;
    return {m_s.records.settingsFile.filePath(), m_s.records.settings.LogDateiPfad,
            folder.filePath(QStringLiteral("worklist.log")),
            folder.filePath(QStringLiteral("lastroutine.log")), m_s.records.debugLogPath()};
}

void SidePublisher::speak(const QString& text) {
    if (!text.isEmpty())
        m_s.speaker.say(text);
}

void SidePublisher::CallWebAddress(const QString& url) {
    if (url.isEmpty())
        return;
    if (!m_s.shell.openAddress(url))
        m_s.records.debugLog.AddDebugLine(QStringLiteral("Webadresse nicht geöffnet: ") + url);
}

void SidePublisher::startChargeTimer() {
    m_chargeTimer.start();
}

void SidePublisher::stopChargeTimer() {
    m_chargeTimer.stop();
}

void SidePublisher::tmrBeeminderChargeTimer() {
    m_chargeTimer.stop();
    CallWebAddress(m_s.records.settings.NeuPlanenURL);
}

void SidePublisher::finish() {
    m_writer.beginEnd();
    m_writer.waitUntilEnd();
    reportFailures();
}

void SidePublisher::reportFailures() {
    for (const SideFileWriter::Failure& failure : m_writer.takeFailures()) {
        if (m_reportedPaths.contains(failure.path))
            continue;
        m_reportedPaths.insert(failure.path);
        m_s.records.debugLog.AddDebugLine(QStringLiteral("Nebendatei nicht geschrieben: ") + failure.path +
                                          QStringLiteral(": ") + failure.reason);
    }
}
