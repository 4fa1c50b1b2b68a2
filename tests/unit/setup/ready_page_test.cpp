#include "setup/ready_page.h"

#include <gtest/gtest.h>

#include "scripted_prompter.h"
#include "settings/settings_keys.h"

namespace vr5 {
namespace {

TEST(ReadyPage, ShowsTheLoggedTemperatureAndRemembersCancel) {
    ProgramState state;
    test::ScriptedPrompter prompter;
    struct Case {
        const char* stored;  // nullptr: never stored
        const char* shown;
    } cases[] = {
        {"---", "Logged ---"},
        {"452 \u00B0F", "Logged 452 \u00B0F"},
        {nullptr, "Logged "},
    };
    for (const Case& c : cases) {
        MemorySettingsStore store;
        if (c.stored) store.write(keys::HtrTemp, QString::fromUtf8(c.stored));
        ReadyPage page({store, state, prompter});
        page.load();
        EXPECT_EQ(page.loggedText(), QString::fromUtf8(c.shown));
        EXPECT_FALSE(page.cancelled());
        page.cancel();
        EXPECT_TRUE(page.cancelled());
        // Opening again clears it.
        page.load();
        EXPECT_FALSE(page.cancelled());
        EXPECT_TRUE(page.accept());
        EXPECT_EQ(store.values().size(), c.stored ? 1 : 0);
    }
}

}  // namespace
}  // namespace vr5
