#include "settings_file.h"

#include "data_folder.h"
#include "debug_log.h"
#include "text_file.h"
#include "translate.h"
#include "user_interface.h"
#include "value_text.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace {

const QString settingsFileName = QStringLiteral("Settings.ini");
const QString logFileName = QStringLiteral("Dezuzedu.log");
// Date value 0 of the files: "no date".
const QDate noDate(1899, 12, 30);

// 30.12.1899 is how the file says "none".
bool toDate(const QString& text, QDate* out) {
    QDate date;
    if (!valuetext::readDate(text, &date))
        return false;
    *out = date == noDate ? QDate() : date;
    return true;
}

QString formatDate(QDate date) {
    return valuetext::formatDate(date.isValid() ? date : noDate);
}

QString flag(bool on) {
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

bool isPathSeparator(QChar c) {
    return c == QLatin1Char('\\') || c == QLatin1Char('/') || c == QLatin1Char(':');
}

// A file extension is a full stop after the last folder or drive separator.
bool hasExtension(const QString& path) {
    for (qsizetype i = path.size() - 1; i >= 0; --i) {
        if (path[i] == QLatin1Char('.'))
            return true;
        if (isPathSeparator(path[i]))
            return false;
    }
    return false;
}

bool isSlash(QChar c) {
    return c == QLatin1Char('\\') || c == QLatin1Char('/');
}

// Strips the separators around a folder named as the log path. The leading "/" of an absolute
// path stays: without it the path would silently turn relative to the working folder.
QString strippedFolder(const QString& path) {
    qsizetype from = 0;
    qsizetype to = path.size();
    while (from < to && isSlash(path[from]))
        ++from;
    while (to > from && isSlash(path[to - 1]))
        --to;
    QString folder = path.mid(from, to - from);
    if (path.startsWith(QLatin1Char('/')))
        folder.prepend(QLatin1Char('/'));
    return folder;
}

} // namespace

SettingsFile::SettingsFile(const DataFolder& folder, DebugLog& debugLog, UserInterface& ui)
    : m_folder(folder), m_debugLog(debugLog), m_ui(ui) {}

QString SettingsFile::filePath() const {
    return m_folder.filePath(settingsFileName);
}

QString SettingsFile::defaultLogPath() const {
    return m_folder.filePath(logFileName);
}

QString SettingsFile::ReadSettingValue(const QString& key) {
    QString result;
    QString note;
    const QString path = filePath();
    if (QFileInfo::exists(path)) {
        // A second attempt rides out a moment in which an editor or a sync tool holds the file.
        textfile::ReadResult read = textfile::readLines(path);
        if (read.ok) {
            note = QStringLiteral(" (#1)");
        } else {
            read = textfile::readLines(path);
            if (read.ok)
                note = QStringLiteral(" (#2)");
            else
                note = QStringLiteral(" Datei konnte nicht gelesen werden: ") + read.error;
        }
        // The key must open the line: a value such as a web address with "?Y=5" in it, or a
        // comment mentioning "Sounds=0", must not set another key.
        const QString needle = key + QLatin1Char('=');
        for (const QString& line : std::as_const(read.lines)) {
            if (line.startsWith(needle))
                result = line.mid(line.indexOf(QLatin1Char('=')) + 1);
        }
    } else {
        note = QStringLiteral(" Datei existiert nicht.");
    }
    m_debugLog.AddDebugLine(QStringLiteral("Lade Wert \"") + key + QStringLiteral("\" aus INI-Datei. ") +
                            note + QStringLiteral(" Ergebnis: ") + result);
    return result;
}

void SettingsFile::readText(const QString& key, QString& field) {
    const QString value = ReadSettingValue(key);
    if (!value.isEmpty())
        field = value;
}

void SettingsFile::readInt(const QString& key, int& field) {
    const QString value = ReadSettingValue(key);
    if (!value.isEmpty())
        valuetext::readInt(value, &field);
}

void SettingsFile::readNonZero(const QString& key, int& field) {
    const QString value = ReadSettingValue(key);
    if (!value.isEmpty() && value != QLatin1String("0"))
        valuetext::readInt(value, &field);
}

void SettingsFile::readLength(const QString& key, int& field) {
    // A length of zero or less minutes would give units and pauses that end before they begin.
    const QString value = ReadSettingValue(key);
    int parsed = 0;
    if (!value.isEmpty() && value != QLatin1String("0") && valuetext::readInt(value, &parsed) && parsed > 0)
        field = parsed;
}

void SettingsFile::readEvaluationDays(const QString& key, int& field) {
    // -1 evaluates the whole log; any other number below 1 would give a window that ends
    // before it begins.
    const QString value = ReadSettingValue(key);
    int parsed = 0;
    if (!value.isEmpty() && value != QLatin1String("0") && valuetext::readInt(value, &parsed) &&
        (parsed > 0 || parsed == -1))
        field = parsed;
}

void SettingsFile::readFlagOn(const QString& key, bool& field) {
    const QString value = ReadSettingValue(key);
    if (!value.isEmpty())
        field = value == QLatin1String("1");
}

void SettingsFile::readFlagOff(const QString& key, bool& field) {
    field = ReadSettingValue(key) != QLatin1String("0");
}

void SettingsFile::readDate(const QString& key, QDate& field) {
    const QString value = ReadSettingValue(key);
    if (!value.isEmpty())
        toDate(value, &field);
}

void SettingsFile::LoadSettings(Settings& s) {
    s = Settings{};
    m_firstStart = !QFileInfo::exists(filePath());
    if (m_firstStart) {
        m_folder.ensureExists();
        s.Hoehe = 285;
        s.Breite = 450;
    } else {
        readInt(QStringLiteral("X"), s.X);
        readInt(QStringLiteral("Y"), s.Y);
    }
    s.LogDateiPfad = defaultLogPath();

    readNonZero(QStringLiteral("Höhe"), s.Hoehe);
    readNonZero(QStringLiteral("Breite"), s.Breite);
    readText(QStringLiteral("LogDateiPfad"), s.LogDateiPfad);
    checkLogPath(s);
    readText(QStringLiteral("Feierabenddatei"), s.Feierabenddatei);
    readText(QStringLiteral("Mittagspausendatei"), s.Mittagspausendatei);
    readText(QStringLiteral("BeginnDerNaechstenEinheitDatei"), s.BeginnDerNaechstenEinheitDatei);
    readLength(QStringLiteral("Kleine Pause"), s.KleinePause);
    readLength(QStringLiteral("Grosse Pause"), s.GrossePause);
    readLength(QStringLiteral("StandardDauerEinheit"), s.StandardDauerEinheit);
    readInt(QStringLiteral("DefaultSollWert"), s.DefaultSollWert);
    readInt(QStringLiteral("NeuPlanenMax"), s.NeuPlanenMax);
    s.Schriftgroesse = 10;
    readInt(QStringLiteral("Schriftgroesse"), s.Schriftgroesse);
    // A file from before the counter existed starts the day with the full allowance.
    s.Verbleibend = s.NeuPlanenMax;
    readFlagOn(QStringLiteral("Autostart"), s.Autostart);
    readInt(QStringLiteral("Verbleibend"), s.Verbleibend);
    readFlagOn(QStringLiteral("GrundVerlangen"), s.GrundVerlangen);
    readFlagOff(QStringLiteral("AnwesenheitErforderlich"), s.AnwesenheitErforderlich);
    readDate(QStringLiteral("letztenPlanGestartetAm"), s.letztenPlanGestartetAm);
    readFlagOff(QStringLiteral("Sounds"), s.Sounds);
    readFlagOn(QStringLiteral("InPauseSperren"), s.InPauseSperren);
    readFlagOn(QStringLiteral("InVordergrundDraengen"), s.InVordergrundDraengen);
    readText(QStringLiteral("NeuPlanenURL"), s.NeuPlanenURL);
    readText(QStringLiteral("MorgenGeplantURL"), s.MorgenGeplantURL);
    readDate(QStringLiteral("MorgenGeplantDatum"), s.MorgenGeplantDatum);
    readFlagOn(QStringLiteral("HinweisAufgabenwechsel"), s.HinweisAufgabenwechsel);
    readFlagOn(QStringLiteral("showPercentileRanking"), s.showPercentileRanking);
    readEvaluationDays(QStringLiteral("evaluateLastXDays"), s.evaluateLastXDays);
}

void SettingsFile::checkLogPath(Settings& s) {
    if (!hasExtension(s.LogDateiPfad)) {
        const QString folder = strippedFolder(s.LogDateiPfad);
        m_ui.showMessage(folder);
        if (!folder.isEmpty() && QFileInfo(folder).isDir()) {
            s.LogDateiPfad = folder;
            // Qt's separator, as in every other path of ours: a backslash would mix with the
            // slashes of a folder given so on Windows.
            if (!folder.endsWith(QLatin1Char('/')))
                s.LogDateiPfad += QLatin1Char('/');
            s.LogDateiPfad += logFileName;
        } else {
            s.LogDateiPfad = defaultLogPath();
        }
        m_debugLog.AddDebugLine(QStringLiteral("Invalider Pfad für Logdatei. Logdatei korrigiert zu: ") +
                                s.LogDateiPfad);
    }
    // A folder whose name has a full stop (".", "~/.config"), a named pipe, a device: none can
    // hold the log, and reading a pipe or a device would never end.
    if (!textfile::isSpecialFile(s.LogDateiPfad))
        return;
    const QString refused = s.LogDateiPfad;
    s.LogDateiPfad = defaultLogPath();
    m_ui.showMessage(tr_("Der Pfad der Logdatei führt nicht zu einer gewöhnlichen Datei, sondern zu einem "
                         "Ordner, einer Pipe oder einem Gerät:") +
                     QLatin1Char('\n') + refused + QStringLiteral("\n\n") +
                     tr_("Stattdessen wird diese Logdatei verwendet:") + QLatin1Char('\n') + s.LogDateiPfad);
    m_debugLog.AddDebugLine(QStringLiteral("Invalider Pfad für Logdatei (keine gewöhnliche Datei: ") +
                            refused + QStringLiteral("). Logdatei korrigiert zu: ") + s.LogDateiPfad);
}

QStringList SettingsFile::settingsLines(Settings& s) {
    if (s.Schriftgroesse <= 0)
        s.Schriftgroesse = 10;
    if (s.evaluateLastXDays <= 0 && s.evaluateLastXDays != -1)
        s.evaluateLastXDays = 100;
    const QString none;
    // A value with a line break would end its key's line early; the rest would be read as no key.
    using textfile::oneLine;
    const auto number = [](qint64 n) { return QString::number(n); };
    return {
        QStringLiteral("#Logdatei (Liste der bearbeiteten Einheiten)"),
        QStringLiteral("LogDateiPfad=") + oneLine(s.LogDateiPfad),
        none,
        tr_("#Einheiten"),
        QStringLiteral("StandardDauerEinheit=") + number(s.StandardDauerEinheit),
        none,
        QStringLiteral("#Pause"),
        QStringLiteral("Kleine Pause=") + number(s.KleinePause),
        QStringLiteral("Grosse Pause=") + number(s.GrossePause),
        none,
        QStringLiteral(
            "#In dieser Datei wird jeweils der Beginn der nächsten Einheit veröffentlicht (sinnvoll, "
            "wenn andere wissen sollen, wann man wieder mit der Arbeit beginnt. Dazu muss die Datei "
            "natürlich für andere freigegeben werden, z.B. über Dropbox oder RaiDrive.)"),
        QStringLiteral("BeginnDerNaechstenEinheitDatei=") + oneLine(s.BeginnDerNaechstenEinheitDatei),
        none,
        QStringLiteral(
            "#Feierabendzeit in Datei schreiben (z.B. in öffentlichen Dropbox-Ordner, damit andere "
            "sehen können, wann man mit der Arbeit fertig sein wird)"),
        QStringLiteral(
            "#Man muss dazu eine Pause mit der Bezeichnung \"Feierabend\" erstellen. Der Beginn dieser "
            "Pause wird dann als Feierabendzeit veröffentlicht."),
        QStringLiteral("Feierabenddatei=") + oneLine(s.Feierabenddatei),
        none,
        QStringLiteral(
            "#Mittagspausenzeit in Datei schreiben (z.B. in öffentlichen Dropbox-Ordner, damit andere "
            "sehen können, wann man Mittagspause macht)"),
        QStringLiteral("#Man muss dazu eine Pause mit der Bezeichnung \"Mittagspause\" erstellen. Der Beginn "
                       "dieser Pause wird dann als Mittagspausenzeit veröffentlicht."),
        QStringLiteral("Mittagspausendatei=") + oneLine(s.Mittagspausendatei),
        none,
        QStringLiteral(
            "#URL, die aufgerufen wird, wenn man auf \"Neu Planen\" klickt und dann einfach aufhört "
            "(Ziel: Verknüpfung mit Beeminder über IFTTT)"),
        QStringLiteral("NeuPlanenURL=") + oneLine(s.NeuPlanenURL),
        none,
        QStringLiteral(
            "#URL, die aufgerufen wird, wenn man heute den morgigen Tag plant (Ziel: Verknüpfung mit "
            "Beeminder über IFTTT)"),
        QStringLiteral("MorgenGeplantURL=") + oneLine(s.MorgenGeplantURL),
        none,
        QStringLiteral("#Datum, an dem zuletzt für morgen geplant wurde."),
        QStringLiteral("MorgenGeplantDatum=") + formatDate(s.MorgenGeplantDatum),
        none,
        QStringLiteral("#Falls gerade eine Einheit läuft, UNIX-Zeit, wann diese gestartet wurde:"),
        QStringLiteral("LaufendeEinheitGestartetUm=") + number(s.LaufendeEinheitGestartetUm),
        none,
        QStringLiteral("#Default Soll-Wert"),
        QStringLiteral("DefaultSollWert=") + number(s.DefaultSollWert),
        none,
        QStringLiteral("#Wie oft darf neu geplant werden?"),
        QStringLiteral("NeuPlanenMax=") + number(s.NeuPlanenMax),
        QStringLiteral("Verbleibend=") + number(s.Verbleibend),
        none,
        QStringLiteral("#Wenn man neu plant, nach Grund dafür fragen?"),
        QStringLiteral("GrundVerlangen=") + flag(s.GrundVerlangen),
        none,
        tr_("#Schriftgroesse im Menü"),
        QStringLiteral("Schriftgroesse=") + number(s.Schriftgroesse),
        none,
        QStringLiteral("#Worklist sofort starten?"),
        QStringLiteral("Autostart=") + flag(s.Autostart),
        none,
        QStringLiteral("#Nächste Einheit nur automatisch starten, wenn der Benutzer anwesend ist?"),
        QStringLiteral("AnwesenheitErforderlich=") + flag(s.AnwesenheitErforderlich),
        none,
        QStringLiteral(
            "#Sounds abspielen bei Beginn, Ende einer Einheit, Countdown etc? (Um eigene Sounds zu "
            "verwenden, muss man in dem Ordner, in dem sich die Taktplan.exe befindet,"),
        QStringLiteral(
            "#einen Unterordner namens \"Sounds\" erstellen. Und darin dann Dateien mit den Namen: "
            "\"Start.wav\", \"Ende_Einheit.wav\", \"Countdown60.wav\", \"Countdown30.wav\")"),
        QStringLiteral("Sounds=") + flag(s.Sounds),
        none,
        QStringLiteral("#Windows 15 Sek. nach Beginn einer Pause für 1 min sperren, um sich von Surfen etc. "
                       "abzuhalten?"),
        QStringLiteral("InPauseSperren=") + flag(s.InPauseSperren),
        none,
        QStringLiteral("#Taktplan-Fenster in Vordergrund drängen, solange kein Plan aktiv ist"),
        QStringLiteral("InVordergrundDraengen=") + flag(s.InVordergrundDraengen),
        none,
        QStringLiteral(
            "#2 min vor Ende einer Einheit darauf hinweisen, dass ein Aufgabenwechsel ansteht, wenn als "
            "nächstes eine andere Einheit folgt?"),
        QStringLiteral("HinweisAufgabenwechsel=") + flag(s.HinweisAufgabenwechsel),
        none,
        QStringLiteral("#Position des Timers"),
        QStringLiteral("X=") + number(s.X),
        QStringLiteral("Y=") + number(s.Y),
        none,
        QStringLiteral("#Dimensionen des Planungsfensters"),
        QStringLiteral("Höhe=") + number(s.Hoehe),
        QStringLiteral("Breite=") + number(s.Breite),
        none,
        QStringLiteral("#Wann wurde die letzte Routine zum ersten mal gestartet?"),
        QStringLiteral("letztenPlanGestartetAm=") + formatDate(s.letztenPlanGestartetAm),
        none,
        QStringLiteral(
            "#Percentile Ranking einblenden? Das ist eine Rangangabe, wie viel Einheiten man heute "
            "*zur aktuellen Uhrzeit* im Vergleich zu früheren Tage abgeschlossen hat."),
        QStringLiteral("#Bsp: Wenn ich um 10 Uhr einen Wert von 60 erhalte, bedeutet das, dass ich zu diesem "
                       "Zeitpunkt mehr Einheiten absolviert habe als an 60% der letzten 100 Tage."),
        QStringLiteral(
            "#Wenn ich an diesem Tag nach 10 Uhr keine Einheiten mehr mache (aber das an anderen Tagen "
            "getan habe), fällt der Wert. Wenn ich mehr mache, steigt er."),
        QStringLiteral(
            "#Nur Mo-Sa werden als Arbeitstage berücksichtigt. Tage, für die nichts geloggt ist, werden "
            "ebenfalls berücksichtigt. (Beides bisher nicht einstellbar.)"),
        QStringLiteral("#Mehr Infos: https://en.wikipedia.org/wiki/Percentile_rank"),
        QStringLiteral("showPercentileRanking=") + flag(s.showPercentileRanking),
        QStringLiteral("evaluateLastXDays=") + number(s.evaluateLastXDays),
    };
}

bool SettingsFile::SaveSettings(Settings& s) {
    const QStringList lines = settingsLines(s);
    const QString path = filePath();
    QString error;
    // Written to a temporary file and renamed over the old one: a full disk or a crash in the
    // middle leaves the previous settings whole instead of a truncated file.
    if (!m_folder.ensureExists()) {
        error = tr_("Ordner %1 kann nicht angelegt werden.").arg(m_folder.path());
    } else if (textfile::writeLines(path, lines, &error)) {
        return true;
    }
    m_debugLog.AddDebugLine(QStringLiteral("Speichern der Einstellungen fehlgeschlagen: ") + path +
                            QStringLiteral(" | ") + error);
    m_ui.showMessage(tr_("Die Einstellungen konnten nicht gespeichert werden.") + QStringLiteral("\r\n\r\n") +
                     path + QStringLiteral("\r\n") + error);
    return false;
}
