#pragma once

#include <QDate>
#include <QString>

// The settings record: everything Settings.ini holds, in memory. The field names are the keys
// of the file (umlauts and blanks spelled out). Defaults are those before the file is read.
struct Settings {
    // Timer window position.
    int X = 0;
    int Y = 0;
    // Planning window size ("Höhe", "Breite").
    int Hoehe = 0;
    int Breite = 0;

    QString LogDateiPfad; // filled with Dezuzedu.log in the data folder by LoadSettings
    QString Feierabenddatei;
    QString Mittagspausendatei;
    QString BeginnDerNaechstenEinheitDatei;

    int KleinePause = 5;           // "Kleine Pause", minutes between two units
    int GrossePause = 25;          // "Grosse Pause", minutes
    int StandardDauerEinheit = 25; // unit length, minutes
    int DefaultSollWert = 0;
    int NeuPlanenMax = -1; // -1: unlimited
    int Schriftgroesse = 10;
    int Verbleibend = -1; // re-plannings left today, -1: unlimited

    bool Autostart = false;
    bool GrundVerlangen = false;
    bool AnwesenheitErforderlich = true;
    QDate letztenPlanGestartetAm; // null: none (written as 30.12.1899)
    bool Sounds = true;
    bool InPauseSperren = false;
    bool InVordergrundDraengen = false;
    QString NeuPlanenURL;
    QString MorgenGeplantURL;
    QDate MorgenGeplantDatum; // null: none
    bool HinweisAufgabenwechsel = false;
    bool showPercentileRanking = false;
    int evaluateLastXDays = 100;
    qint64 LaufendeEinheitGestartetUm = 0; // UNIX milliseconds from local time; never read

    bool operator==(const Settings&) const = default;
};
