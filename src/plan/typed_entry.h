#pragma once

#include <QString>

// What one line typed into the input field stands for: a unit with its title, or (the pause
// syntax "p", "p 25", "p 25 Kaffee", "p Mittag") a pause with its length and title.
struct TypedEntry {
    // A title the plan file would read back as something else is changed here, at input, where
    // the window can tell the user, and never later behind their back.
    enum class Adjustment {
        None,
        LineBreak,   // a line break became a blank: it would split the file's line
        PausePrefix, // a unit title "Pause: ..." became "Pause ...": it would come back as a pause
        RunningMark, // a unit title "{{WIP}}..." became "{WIP}...": it would come back running
        TimeMark,    // "|||" in a pause title became "||": it would be read as a start time
        FinishMark,  // a unit title ending in " [x]" now ends in " (x)": the activity log would take
                     // the unit for finished as soon as its line is written
    };

    bool isPause = false;
    QString title;
    int duration = 0;
    Adjustment adjustment = Adjustment::None;

    // text is taken exactly as typed (no trimming). A pause length that is not a whole number
    // from 0 to planminutes::longestDuration falls back to bigPause and the rest of the text
    // becomes the title.
    static TypedEntry parse(const QString& text, int unitLength, int bigPause);

    // True for "P" alone and for anything beginning with "P " (either case).
    static bool isPauseInput(const QString& text);

    // The title as the plan file keeps it unchanged; *why says what was changed (the last
    // change when there were several). Renaming goes through this too.
    static QString storableTitle(QString title, bool isPause, Adjustment* why);

    bool operator==(const TypedEntry&) const = default;
};
