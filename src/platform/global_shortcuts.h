#pragma once

#include <QList>
#include <QObject>
#include <QString>

// Keys the desktop hands to the program wherever the keyboard focus is: the freedesktop
// GlobalShortcuts portal on Linux (the desktop asks the user and may choose other keys),
// registered hot keys on Windows. Where the desktop offers none, nothing else changes.
class GlobalShortcuts : public QObject {
    Q_OBJECT

public:
    enum class Key { StartOrPlanning, UserPresent };
    struct Binding {
        Key key;
        // Stable across versions: the desktop remembers the user's choice by it.
        QString id;
        // Shown by the desktop where the user sees and changes the keys.
        QString description;
        // As the portal writes keys: "CTRL+ALT+F9".
        QString trigger;
    };

    // Asks for the keys without waiting; the outcome comes as a signal.
    virtual void bind(const QList<Binding>& bindings) = 0;

signals:
    void activated(GlobalShortcuts::Key key);
    // The keys work; what the desktop says about them, for the debug text.
    void bound(const QString& report);
    // No keys: why not, for the debug text.
    void unavailable(const QString& reason);
};
