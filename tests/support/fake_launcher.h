#pragma once

#include "program_launcher.h"

#include <QSet>
#include <QStringList>

// Records every start; a program "exists" when the test says so.
class FakeLauncher final : public ProgramLauncher {
public:
    struct Start {
        QString program;
        QStringList arguments;
        bool operator==(const Start&) const = default;
    };

    bool exists(const QString& bareName) const override { return present.contains(bareName); }
    bool start(const QString& bareName, const QStringList& arguments) override {
        starts.append({bareName, arguments});
        return present.contains(bareName) && !startFails;
    }

    QSet<QString> present;
    bool startFails = false; // a program that is there but does not start
    QList<Start> starts;
};
