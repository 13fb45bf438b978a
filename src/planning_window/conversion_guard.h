#pragma once

#include <QString>

#include <functional>

class DebugLog;

// Runs the Planning window's plan operations: a value that does not convert (a hand-edited plan
// file) leaves one debug line per distinct failure instead of taking the program down.
class ConversionGuard {
public:
    using Run = std::function<bool(const std::function<void()>& operation, const char* where)>;

    explicit ConversionGuard(DebugLog& log) : m_log(log) {}

    // True when the operation ran through; where names it in the debug line.
    bool run(const std::function<void()>& operation, const char* where);
    // The same failure is reported again after an operation that ran through.
    void forgetLast() { m_lastFailure.clear(); }
    // run, for the parts that take it as a function.
    Run runner() {
        return [this](const std::function<void()>& operation, const char* where) {
            return run(operation, where);
        };
    }

private:
    DebugLog& m_log;
    QString m_lastFailure;
};
