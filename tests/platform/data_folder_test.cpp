#include "data_folder.h"
#include "scoped_env.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(DataFolder, EnvironmentChoosesTheFolder) {
    QTemporaryDir tmp;
    ScopedEnv env;
    env.set("TAKTPLAN_DATA_DIR", tmp.filePath(u"portable"_s).toUtf8());
    const DataFolder overridden = DataFolder::fromEnvironment();
    EXPECT_EQ(overridden.filePath(u"Settings.ini"_s), tmp.filePath(u"portable/Settings.ini"_s));
    EXPECT_FALSE(overridden.exists());
    EXPECT_TRUE(overridden.ensureExists());
    EXPECT_TRUE(overridden.exists());

    env.set("TAKTPLAN_DATA_DIR", {});
#ifdef _WIN32
    env.set("APPDATA", tmp.path().toLocal8Bit());
    EXPECT_EQ(DataFolder::fromEnvironment().path(), tmp.filePath(u"Taktplan"_s));
#else
    env.set("XDG_DATA_HOME", tmp.path().toUtf8());
    EXPECT_EQ(DataFolder::fromEnvironment().path(), tmp.filePath(u"Taktplan"_s));
    // A relative XDG_DATA_HOME is invalid by the XDG rules and falls back to the default.
    env.set("XDG_DATA_HOME", "relative/dir");
    EXPECT_EQ(DataFolder::fromEnvironment().path(), QDir::home().filePath(u".local/share/Taktplan"_s));
#endif
}
