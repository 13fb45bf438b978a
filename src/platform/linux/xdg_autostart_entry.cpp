#include "xdg_autostart_entry.h"

#include "../text_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

std::unique_ptr<AutostartEntry> AutostartEntry::forProgram(const QString& programPath) {
    return std::make_unique<XdgAutostartEntry>(XdgAutostartEntry::defaultFilePath(), programPath);
}

QString AutostartEntry::programToStart(const QString& runningProgram) {
    const QString entry = QFileInfo(runningProgram).dir().filePath(QStringLiteral(TAKTPLAN_ENTRY_PROGRAM));
    return QFileInfo(entry).isExecutable() ? entry : runningProgram;
}

XdgAutostartEntry::XdgAutostartEntry(QString filePath, QString programPath)
    : m_filePath(std::move(filePath)), m_programPath(std::move(programPath)) {}

QString XdgAutostartEntry::defaultFilePath() {
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    // A relative XDG_CONFIG_HOME is invalid by the XDG rules and is ignored.
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::home().filePath(QStringLiteral(".config"));
    return QDir(base).filePath(QStringLiteral("autostart/taktplan.desktop"));
}

QString XdgAutostartEntry::execValue(const QString& programPath) {
    // Inside a quoted Exec argument, '"', '`', '$' and '\' take a backslash; '%' is doubled as
    // it would start a field code. The string rules of the file then double every backslash
    // and spell out control characters.
    QString quoted;
    for (QChar c : programPath) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        if (c == u'%')
            quoted += u'%';
        quoted += c;
    }
    const QString argument = u'"' + quoted + u'"';
    QString value;
    for (QChar c : argument) {
        if (c == u'\\')
            value += QStringLiteral("\\\\");
        else if (c == u'\n')
            value += QStringLiteral("\\n");
        else if (c == u'\t')
            value += QStringLiteral("\\t");
        else if (c == u'\r')
            value += QStringLiteral("\\r");
        else
            value += c;
    }
    return value + QStringLiteral(" -autostart");
}

QByteArray XdgAutostartEntry::contents() const {
    const QString text = QStringLiteral("[Desktop Entry]\n"
                                        "Type=Application\n"
                                        "Name=Taktplan\n"
                                        "Comment=Resumes the running plan after log-on\n"
                                        "Exec=%1\n"
                                        "Icon=taktplan\n"
                                        "Terminal=false\n"
                                        "X-GNOME-Autostart-enabled=true\n")
                             .arg(execValue(m_programPath));
    return text.toUtf8();
}

bool XdgAutostartEntry::write() {
    if (!QDir().mkpath(QFileInfo(m_filePath).absolutePath()))
        return false;
    return textfile::writeBytes(m_filePath, contents());
}

bool XdgAutostartEntry::remove() {
    QFile file(m_filePath);
    return !file.exists() || file.remove();
}

bool XdgAutostartEntry::exists() const {
    return QFileInfo::exists(m_filePath);
}
