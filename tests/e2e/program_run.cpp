#include "program_run.h"

#include <QDeadlineTimer>

#include <csignal>

ProgramRun::ProgramRun(const QProcessEnvironment& environment, const QString& workingFolder) {
    m_process.setProgram(QStringLiteral(TAKTPLAN_EXECUTABLE));
    m_process.setProcessEnvironment(environment);
    m_process.setWorkingDirectory(workingFolder);
}

ProgramRun::~ProgramRun() {
    kill();
}

bool ProgramRun::start(const QStringList& arguments) {
    m_process.setArguments(arguments);
    m_process.start();
    return m_process.waitForStarted(10000);
}

void ProgramRun::readLines() {
    while (m_process.canReadLine())
        m_lines.append(QString::fromLocal8Bit(m_process.readLine()).trimmed());
}

QString ProgramRun::waitForLine(const QString& prefix, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    while (true) {
        readLines();
        for (; m_consumed < m_lines.size(); ++m_consumed) {
            if (m_lines[m_consumed].startsWith(prefix))
                return m_lines[m_consumed++];
        }
        if (deadline.hasExpired() || m_process.state() == QProcess::NotRunning)
            return {};
        m_process.waitForReadyRead(static_cast<int>(qMin<qint64>(100, deadline.remainingTime())));
    }
}

bool ProgramRun::endWith(int signal, int timeoutMs) {
    if (m_process.state() == QProcess::NotRunning)
        return false;
    ::kill(static_cast<pid_t>(m_process.processId()), signal);
    return waitForExit(timeoutMs);
}

bool ProgramRun::waitForExit(int timeoutMs) {
    if (m_process.state() != QProcess::NotRunning && !m_process.waitForFinished(timeoutMs))
        return false;
    readLines();
    return m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0;
}

void ProgramRun::kill() {
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(10000);
    }
}

QByteArray ProgramRun::errorOutput() {
    return m_process.readAllStandardError();
}
