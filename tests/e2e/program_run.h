#pragma once

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// One run of the built program as a separate process. Whatever happens in a test, the
// process is killed when this goes out of scope: no test leaves a program behind.
class ProgramRun {
public:
    ProgramRun(const QProcessEnvironment& environment, const QString& workingFolder);
    ~ProgramRun();
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    // Another copy of the program (by default the built one).
    void setProgram(const QString& path) { m_process.setProgram(path); }
    bool start(const QStringList& arguments = {});
    // Waits for a line of standard output that starts with prefix; returns it, or a null
    // string after timeoutMs.
    QString waitForLine(const QString& prefix, int timeoutMs = 20000);
    // Sends the signal and waits for the end; true when the program ended by itself with status 0.
    bool endWith(int signal, int timeoutMs = 20000);
    bool waitForExit(int timeoutMs = 20000);
    void kill();

    int exitCode() const { return m_process.exitCode(); }
    QProcess::ExitStatus exitStatus() const { return m_process.exitStatus(); }
    qint64 pid() const { return m_process.processId(); }
    // All standard output read so far (lines taken by waitForLine included).
    const QStringList& lines() const { return m_lines; }
    QByteArray errorOutput();

private:
    void readLines();

    QProcess m_process;
    QStringList m_lines;
    qsizetype m_consumed = 0;
};
