#pragma once

#include <QString>

// Locks the user's session, as the key combination of the system would.
class WorkstationLock {
public:
    struct Result {
        bool locked = false;
        // What was tried and how it went, for the debug text.
        QString report;
    };

    virtual ~WorkstationLock() = default;
    virtual Result lock() = 0;
};
