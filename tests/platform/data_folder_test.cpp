#include "data_folder.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(DataFolder, EnvironmentChoosesTheFolder) {
    QTemporaryDir tmp;
    qputenv("TAKTPLAN_DATA_DIR", tmp.filePath(QStringLiteral("portable")).toUtf8());
    const DataFolder overridden = DataFolder::fromEnvironment();
    EXPECT_EQ(overridden.path(), tmp.filePath(QStringLiteral("portable")));
    EXPECT_FALSE(overridden.exists());
    EXPECT_TRUE(overridden.ensureExists());
    EXPECT_TRUE(overridden.exists());
    EXPECT_EQ(overridden.filePath(QStringLiteral("Settings.ini")),
              tmp.filePath(QStringLiteral("portable/Settings.ini")));

    qunsetenv("TAKTPLAN_DATA_DIR");
    qputenv("XDG_DATA_HOME", tmp.path().toUtf8());
    EXPECT_EQ(DataFolder::fromEnvironment().path(), tmp.filePath(QStringLiteral("Taktplan")));

    // A relative XDG_DATA_HOME is invalid by the XDG rules and falls back to the default.
    qputenv("XDG_DATA_HOME", "relative/dir");
    EXPECT_EQ(DataFolder::fromEnvironment().path(), QDir::home().filePath(QStringLiteral(".local/share/Taktplan")));
    qunsetenv("XDG_DATA_HOME");
}
