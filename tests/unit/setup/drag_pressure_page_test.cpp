#include "setup/drag_pressure_page.h"

#include <gtest/gtest.h>

#include "scripted_prompter.h"
#include "settings/settings_keys.h"
#include "setup/gauge_pressure.h"

namespace vr5 {
namespace {

TEST(DragPressurePage, EmptyBoxTakesTheDefaultOfTheUnit) {
    struct Case {
        int unitIndex;
        const char* caption;
        const char* number;
        const char* stored;
    } cases[] = {
        {0, "Drag Pressure (Default 30 psi)", "30", "30 psi"},
        {1, "Drag Pressure (Default 2.1 bar)", "2.1", "2.1 bar"},
        {2, "Drag Pressure (Default 2.1 Kg/cm\u00B2)", "2.1", "2.1 Kg/cm\u00B2"},
        {3, "Drag Pressure (Default 0.21 MPa)", "0.21", "0.21 MPa"},
        {9, "Drag Pressure (Default 30 psi)", "30", "30 psi"},
        {-1, "Drag Pressure (Default 30 psi)", "30", "30 psi"},
    };
    for (const Case& c : cases) {
        MemorySettingsStore settings;
        ProgramState state;
        test::ScriptedPrompter prompter;
        settings.write(keys::PressUnitInx, c.unitIndex);
        settings.write(keys::DragPressure, QStringLiteral("55 psi"));
        RefreshUnitLabels(settings, state);
        DragPressurePage page({settings, state, prompter});
        page.load();
        EXPECT_EQ(page.caption(), QString::fromUtf8(c.caption));
        // The remembered value is not offered.
        EXPECT_EQ(page.dragPressure, "");

        EXPECT_FALSE(page.accept());
        EXPECT_EQ(page.dragPressure, c.number);
        EXPECT_EQ(settings.read(keys::DragPressure), "55 psi");
        EXPECT_TRUE(page.accept());
        EXPECT_EQ(settings.read(keys::DragPressure), QString::fromUtf8(c.stored));
        EXPECT_TRUE(prompter.shown.isEmpty());
    }
}

TEST(DragPressurePage, TypedValueIsStoredTrimmedWithTheCurrentLabel) {
    struct Case {
        const char* typed;
        const char* label;
        const char* stored;
    } cases[] = {
        {"  45  ", "psi", "45 psi"},
        {"\t3.5 ", "bar", "3.5 bar"},
        // The gauge pressures read the number it starts with.
        {"12abc", "psi", "12abc psi"},
        {"-20", "psi", "-20 psi"},
        {"1e308", "MPa", "1e308 MPa"},
        // Blanks alone count as nothing typed.
        {"   ", "psi", nullptr},
    };
    for (const Case& c : cases) {
        MemorySettingsStore settings;
        ProgramState state;
        test::ScriptedPrompter prompter;
        state.pressureUnitLabel = QString::fromLatin1(c.label);
        DragPressurePage page({settings, state, prompter});
        page.load();
        page.dragPressure = QString::fromLatin1(c.typed);
        EXPECT_EQ(page.accept(), c.stored != nullptr) << c.typed;
        if (c.stored) {
            EXPECT_EQ(settings.read(keys::DragPressure), c.stored);
        } else {
            EXPECT_EQ(page.dragPressure, "30");
            EXPECT_TRUE(settings.values().isEmpty());
        }
    }
    EXPECT_EQ(DragPressurePage::prompt(),
              "Follow proper procedure to measure drag pressure and enter it below.\n"
              "(Press \"Next\" without entering a value to accept default drag pressure.)");
}

}  // namespace
}  // namespace vr5
