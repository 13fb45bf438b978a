#pragma once

#include <QString>

// What one line typed into the input field stands for: a unit with its title, or (the pause
// syntax "p", "p 25", "p 25 Kaffee", "p Mittag") a pause with its length and title.
struct TypedEntry {
    bool isPause = false;
    QString title;
    int duration = 0;

    // text is taken exactly as typed (no trimming). A pause length that is not a whole
    // non-negative number falls back to bigPause and the rest of the text becomes the title.
    static TypedEntry parse(const QString& text, int unitLength, int bigPause);

    // True for "P" alone and for anything beginning with "P " (either case).
    static bool isPauseInput(const QString& text);

    bool operator==(const TypedEntry&) const = default;
};
