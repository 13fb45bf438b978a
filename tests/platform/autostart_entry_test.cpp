#include "autostart_entry.h"
#include "linux/xdg_autostart_entry.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Reads an Exec value back the way a desktop reads it: first the string escapes of the file,
// then the quoting of the arguments, then the doubled percent signs.
QStringList execArguments(const QString& value) {
    QString unescaped;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == u'\\' && i + 1 < value.size()) {
            const QChar next = value[++i];
            unescaped += next == u'n'   ? QChar(u'\n')
                         : next == u't' ? QChar(u'\t')
                         : next == u'r' ? QChar(u'\r')
                         : next == u's' ? QChar(u' ')
                                        : next;
        } else {
            unescaped += value[i];
        }
    }
    QStringList arguments;
    QString current;
    bool quoted = false;
    bool any = false;
    for (qsizetype i = 0; i < unescaped.size(); ++i) {
        const QChar c = unescaped[i];
        if (quoted) {
            if (c == u'\\' && i + 1 < unescaped.size())
                current += unescaped[++i];
            else if (c == u'"')
                quoted = false;
            else
                current += c;
        } else if (c == u'"') {
            quoted = true;
            any = true;
        } else if (c == u' ') {
            if (any)
                arguments.append(current);
            current.clear();
            any = false;
        } else {
            current += c;
            any = true;
        }
    }
    if (any)
        arguments.append(current);
    for (QString& argument : arguments)
        argument.replace(QStringLiteral("%%"), QStringLiteral("%"));
    return arguments;
}

QString execLine(const QByteArray& contents) {
    for (const QByteArray& line : contents.split('\n')) {
        if (line.startsWith("Exec="))
            return QString::fromUtf8(line.mid(5));
    }
    return {};
}

} // namespace

TEST(AutostartEntry, CommandLineQuotesTheProgramPath) {
    EXPECT_EQ(AutostartEntry::commandLine(QStringLiteral("/opt/Takt plan/taktplan")),
              QStringLiteral("\"/opt/Takt plan/taktplan\" -autostart"));
}

TEST(XdgAutostartEntry, ExecRunsTheProgramWithAutostartWhateverItsPath) {
    const QString paths[] = {
        QStringLiteral("/usr/lib/taktplan/taktplan"), QStringLiteral("/home/jürgen/Meine Programme/taktplan"),
        QStringLiteral("/tmp/a\"b/taktplan"),         QStringLiteral("/tmp/$HOME/`x`/taktplan"),
        QStringLiteral("/tmp/back\\slash/taktplan"),  QStringLiteral("/tmp/100%u/taktplan"),
        QStringLiteral("/tmp/tab\there/taktplan"),
    };
    for (const QString& path : paths) {
        const QString value = XdgAutostartEntry::execValue(path);
        EXPECT_EQ(execArguments(value), (QStringList{path, QStringLiteral("-autostart")}))
            << value.toStdString();
        // A lone '%' would be read as a field code.
        EXPECT_FALSE(value.contains(QRegularExpression(QStringLiteral("(^|[^%])%([^%]|$)"))))
            << value.toStdString();
    }
}

TEST(XdgAutostartEntry, FollowsXdgConfigHome) {
    QTemporaryDir tmp;
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", tmp.path().toUtf8());
    EXPECT_EQ(XdgAutostartEntry::defaultFilePath(),
              tmp.filePath(QStringLiteral("autostart/taktplan.desktop")));
    // Relative values are invalid by the XDG rules and fall back to ~/.config.
    qputenv("XDG_CONFIG_HOME", "relative/config");
    EXPECT_EQ(XdgAutostartEntry::defaultFilePath(),
              QDir::home().filePath(QStringLiteral(".config/autostart/taktplan.desktop")));
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(XdgAutostartEntry::defaultFilePath(),
              QDir::home().filePath(QStringLiteral(".config/autostart/taktplan.desktop")));
    if (!saved.isNull())
        qputenv("XDG_CONFIG_HOME", saved);
}

TEST(XdgAutostartEntry, WriteCreatesTheFolderAndRemoveLeavesNothing) {
    QTemporaryDir tmp;
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", tmp.filePath(QStringLiteral("fresh config")).toUtf8());
    const QString program = QStringLiteral("/opt/täkt plan/taktplan");
    const std::unique_ptr<AutostartEntry> entry = AutostartEntry::forProgram(program);
    const QString file = tmp.filePath(QStringLiteral("fresh config/autostart/taktplan.desktop"));

    EXPECT_FALSE(entry->exists());
    EXPECT_TRUE(entry->remove()) << "removing a missing entry is no error";
    ASSERT_TRUE(entry->write());
    EXPECT_TRUE(entry->exists());

    QFile written(file);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QByteArray contents = written.readAll();
    EXPECT_TRUE(contents.startsWith("[Desktop Entry]\nType=Application\nName=Taktplan\n"));
    EXPECT_FALSE(contents.contains('\r')) << "desktop entries use LF line ends";
    EXPECT_EQ(execArguments(execLine(contents)), (QStringList{program, QStringLiteral("-autostart")}));
    EXPECT_TRUE(contents.contains(QStringLiteral("täkt").toUtf8())) << "desktop entries are UTF-8";

    // Writing again replaces the entry instead of adding to it.
    ASSERT_TRUE(entry->write());
    QFile again(file);
    ASSERT_TRUE(again.open(QIODevice::ReadOnly));
    EXPECT_EQ(again.readAll(), contents);

    EXPECT_TRUE(entry->remove());
    EXPECT_FALSE(entry->exists());
    EXPECT_FALSE(QFile::exists(file));
    if (saved.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", saved);
}

TEST(XdgAutostartEntry, WriteFailsCleanlyWhereNoFolderCanBe) {
    QTemporaryDir tmp;
    // A regular file where the config folder should be: no autostart folder can be made.
    QFile blocker(tmp.filePath(QStringLiteral("config")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.write("not a folder");
    blocker.close();
    XdgAutostartEntry entry(tmp.filePath(QStringLiteral("config/autostart/taktplan.desktop")),
                            QStringLiteral("/usr/bin/taktplan"));
    EXPECT_FALSE(entry.write());
    EXPECT_FALSE(entry.exists());
    EXPECT_TRUE(entry.remove());
    QFile check(tmp.filePath(QStringLiteral("config")));
    ASSERT_TRUE(check.open(QIODevice::ReadOnly));
    EXPECT_EQ(check.readAll(), QByteArray("not a folder"));
}
