#include "autostart_entry.h"

#include <QSettings>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QString runKey = u"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run"_s;

TEST(RunKeyAutostartEntry, WriteAndRemoveTheValueUnderTheUsersRunKey) {
    // The user's own entry, if any, is back afterwards.
    const QVariant before = QSettings(runKey, QSettings::NativeFormat).value(u"Taktplan"_s);
    const std::unique_ptr<AutostartEntry> entry =
        AutostartEntry::forProgram(u"C:\\Programme\\Täkt plan\\taktplan.exe"_s);
    ASSERT_TRUE(entry->remove());
    EXPECT_FALSE(entry->exists());
    EXPECT_TRUE(entry->remove()) << "removing a missing entry is no error";
    ASSERT_TRUE(entry->write());
    ASSERT_TRUE(entry->write());
    EXPECT_TRUE(entry->exists());
    EXPECT_EQ(QSettings(runKey, QSettings::NativeFormat).value(u"Taktplan"_s).toString(),
              u"\"C:\\Programme\\Täkt plan\\taktplan.exe\" -autostart"_s);
    EXPECT_TRUE(entry->remove());
    EXPECT_FALSE(entry->exists());
    if (before.isValid()) {
        QSettings key(runKey, QSettings::NativeFormat);
        key.setValue(u"Taktplan"_s, before);
    }
}

} // namespace
