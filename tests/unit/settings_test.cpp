// The settings store and what is kept in it.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <memory>

#include "settings/recent_files.h"
#include "settings/settings_keys.h"
#include "settings/settings_store.h"

namespace vr5 {
namespace {

// Both stores keep typed values under "section/key" and give the caller's default for anything
// missing or unreadable.
TEST(SettingsStore, TypedValuesWithTheCallersDefault) {
    std::unique_ptr<SettingsStore> stores[] = {std::make_unique<MemorySettingsStore>(),
                                               std::make_unique<QSettingsStore>()};
    for (auto& store : stores) {
        EXPECT_EQ(store->read(keys::PressUnitInx, 0), 0);
        EXPECT_EQ(store->read(keys::PressUnitInx, 3), 3);
        EXPECT_EQ(store->read(keys::Notes, QStringLiteral("--")), QStringLiteral("--"));

        EXPECT_TRUE(store->write(keys::PressUnitInx, 2));
        EXPECT_TRUE(store->write(keys::Notes, QStringLiteral("Joint OK\r\nSecond line")));
        EXPECT_EQ(store->read(keys::PressUnitInx, 0), 2);
        EXPECT_EQ(store->read(keys::Notes), QStringLiteral("Joint OK\r\nSecond line"));

        // A text where a number belongs reads as the default.
        EXPECT_TRUE(store->writeString(QStringLiteral("Settings"), QStringLiteral("COM Port"),
                                       QStringLiteral("three")));
        EXPECT_EQ(store->read(keys::ComPort, 1), 1);
    }
    // The real store lives in the (test run's own) configuration folder.
    const QString conf = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                         QStringLiteral("/Tarnell/Tarnell VR5-XP.conf");
    EXPECT_TRUE(conf.startsWith(QDir::fromNativeSeparators(qEnvironmentVariable("HOME"))));
    QFile file(conf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << conf.toStdString();
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.contains("[Settings]"));
    EXPECT_TRUE(text.contains("Press%20Unit%20Inx=2"));
    EXPECT_TRUE(text.contains("[Log%20Data]"));
}

TEST(RecentFileList, KeepsFourMostRecentFirst) {
    MemorySettingsStore store;
    RecentFileList recent(store);
    struct Step {
        const char* add;  // or
        const char* remove;
        QStringList entries;
    } steps[] = {
        {"/r/a.tjr", nullptr, {"/r/a.tjr"}},
        {"/r/b.tjr", nullptr, {"/r/b.tjr", "/r/a.tjr"}},
        {"/r/c.tjr", nullptr, {"/r/c.tjr", "/r/b.tjr", "/r/a.tjr"}},
        {"/r/d.tjr", nullptr, {"/r/d.tjr", "/r/c.tjr", "/r/b.tjr", "/r/a.tjr"}},
        {"/r/e.tjr", nullptr, {"/r/e.tjr", "/r/d.tjr", "/r/c.tjr", "/r/b.tjr"}},
        {"/r/c.tjr", nullptr, {"/r/c.tjr", "/r/e.tjr", "/r/d.tjr", "/r/b.tjr"}},
        {"", nullptr, {"/r/c.tjr", "/r/e.tjr", "/r/d.tjr", "/r/b.tjr"}},
        {nullptr, "/r/e.tjr", {"/r/c.tjr", "/r/d.tjr", "/r/b.tjr"}},
        {nullptr, "/r/zzz.tjr", {"/r/c.tjr", "/r/d.tjr", "/r/b.tjr"}},
    };
    for (const Step& s : steps) {
        if (s.add) recent.add(QString::fromUtf8(s.add));
        if (s.remove) recent.remove(QString::fromUtf8(s.remove));
        EXPECT_EQ(recent.entries(), s.entries) << (s.add ? s.add : s.remove);
    }
    EXPECT_EQ(store.values().value(QStringLiteral("Recent File List/File1")),
              QStringLiteral("/r/c.tjr"));
    EXPECT_EQ(store.values().value(QStringLiteral("Recent File List/File3")),
              QStringLiteral("/r/b.tjr"));
    EXPECT_EQ(store.values().value(QStringLiteral("Recent File List/File4")), QString());
}

}  // namespace
}  // namespace vr5
