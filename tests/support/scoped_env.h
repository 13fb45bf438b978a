#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <map>

// Sets environment variables for one test and puts the old values back afterwards. A null
// value unsets the variable.
class ScopedEnv {
public:
    ~ScopedEnv() {
        for (const auto& [name, value] : m_saved)
            apply(name.constData(), value);
    }
    void set(const char* name, const QByteArray& value) {
        m_saved.try_emplace(name, qgetenv(name));
        apply(name, value);
    }

private:
    static void apply(const char* name, const QByteArray& value) {
        value.isNull() ? void(qunsetenv(name)) : void(qputenv(name, value));
    }

    std::map<QByteArray, QByteArray> m_saved;
};
