#include "setup/heater_temp_page.h"

#include <gtest/gtest.h>

#include "scripted_prompter.h"
#include "settings/settings_keys.h"

namespace vr5 {
namespace {

TEST(HeaterTempPage, StoresTheReadingWithItsUnit) {
    struct Case {
        const char* typed;
        const char* label;
        const char* stored;
    } cases[] = {
        {"", "\u00B0F", "---"},
        {"450", "\u00B0F", "450 \u00B0F"},
        {"232", "\u00B0C", "232 \u00B0C"},
        {"  450  ", "\u00B0F", "450 \u00B0F"},
        {"   ", "\u00B0F", "---"},
        // Not a number: kept as typed, it is the operator's own remark.
        {"hot", "\u00B0F", "hot \u00B0F"},
        {"-40", "\u00B0C", "-40 \u00B0C"},
    };
    for (const Case& c : cases) {
        MemorySettingsStore settings;
        ProgramState state;
        test::ScriptedPrompter prompter;
        state.temperatureUnitLabel = QString::fromUtf8(c.label);
        settings.write(keys::ExtHtrTemp, QStringLiteral("400 \u00B0F"));
        HeaterTempPage page({settings, state, prompter});
        page.load();
        // The box starts empty on every visit.
        EXPECT_EQ(page.temperature, "");
        page.temperature = QString::fromLatin1(c.typed);
        EXPECT_TRUE(page.accept());
        EXPECT_EQ(settings.read(keys::ExtHtrTemp), QString::fromUtf8(c.stored)) << c.typed;
        EXPECT_TRUE(prompter.shown.isEmpty());
    }
}

}  // namespace
}  // namespace vr5
