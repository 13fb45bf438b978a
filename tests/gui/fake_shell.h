#pragma once

#include "shell.h"

#include <QStringList>

// Records what would have been opened.
class FakeShell final : public Shell {
public:
    bool openFile(const QString& path) override {
        files.append(path);
        return true;
    }
    bool openAddress(const QString& address) override {
        addresses.append(address);
        return true;
    }

    QStringList files;
    QStringList addresses;
};
