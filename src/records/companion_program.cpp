#include "companion_program.h"

#include "program_launcher.h"

#include <QStringList>

CompanionProgram::CompanionProgram(ProgramLauncher& launcher) : m_launcher(launcher) {}

bool CompanionProgram::isPresent() const {
    return m_launcher.exists(QLatin1String(fileName));
}

void CompanionProgram::run(const QString& parameters) {
    // The companion may be missing or fail to start; nothing here depends on it.
    m_launcher.start(QLatin1String(fileName), parameters.split(QLatin1Char(' '), Qt::SkipEmptyParts));
}

void CompanionProgram::versionCheck() {
    run(QLatin1String(version));
}

void CompanionProgram::notifyUpdates(const std::function<void()>& fallback) {
    if (isPresent())
        run(QLatin1String(version) + QStringLiteral(" notify"));
    else if (fallback)
        fallback();
}

void CompanionProgram::bringToFront(const std::function<void()>& fallback) {
    if (isPresent())
        run(QStringLiteral("front"));
    else if (fallback)
        fallback();
}

void CompanionProgram::alwaysOnTop() {
    run(QStringLiteral("alwaysOnTop"));
}

void CompanionProgram::restartAfterClose() {
    run(QStringLiteral("start"));
}

void CompanionProgram::restart() {
    run(QStringLiteral("restart"));
}

void CompanionProgram::editSettings() {
    run(QStringLiteral("ini"));
}
