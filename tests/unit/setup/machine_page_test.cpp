#include "setup/machine_page.h"

#include <gtest/gtest.h>

#include "scripted_prompter.h"
#include "settings/settings_keys.h"
#include "setup/machine_catalogue.h"
#include "text/machine_tests.h"

namespace vr5 {
namespace {

TEST(MachineCatalogue, ListOrderIsStoredData) {
    ASSERT_EQ(machineListSize(), 69);
    struct Case {
        int index;
        const char* name;
        const char* area;
    } cases[] = {
        {0, "ZA1 HF", "4.710"},   {15, "ZA5 LF", " 9.450"},  {20, "ZB1 EP Vertical", "1.670"},
        {42, "ZG LD", "6.010"},   {43, "ZG Mech.", "1.000"}, {63, "ZJ1 UPR+LWR", "4.210"},
        {64, "ZJ2-HF", "19.640"}, {67, "ZK1-L", "6.770"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(machineListName(c.index), c.name);
        EXPECT_STREQ(machineModels()[static_cast<size_t>(c.index)].pistonArea, c.area);
    }
    EXPECT_EQ(machineListName(68), "Unlisted");
    EXPECT_EQ(machineListName(69), "");
    EXPECT_EQ(machineListName(-1), "");
}

TEST(MachineCatalogue, MachineKinds) {
    struct Case {
        const char* model;
        bool mechanical;
        bool directArea;
    } cases[] = {
        {"ZA1 HF", false, false}, {"ZG Mech.", true, false},      {"ZG LD", false, true},
        {"ZJ2-HF", false, true},  {"ZF1 HF", false, true},        {"ZF9", false, true},
        {"zf1", false, false},    {"My ZG Mech. 2", true, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsMechanicalMachine(c.model), c.mechanical) << c.model;
        EXPECT_EQ(IsDirectAreaMachine(c.model), c.directArea) << c.model;
    }
}

class MachinePageTest : public ::testing::Test {
protected:
    MemorySettingsStore settings;
    ProgramState state;
    test::ScriptedPrompter prompter;
    SetupContext context{settings, state, prompter};
};

TEST_F(MachinePageTest, FirstUseStoresTheFirstModel) {
    MachinePage page(context);
    page.load();
    EXPECT_EQ(page.modelIndex, 0);
    EXPECT_FALSE(page.typedMode());
    EXPECT_EQ(page.pistonAreaLabel(), "Piston Area: 4.710");
    EXPECT_TRUE(page.accept());
    EXPECT_EQ(settings.read(keys::MachineId), "--");
    EXPECT_EQ(settings.read(keys::MachineModelText), "ZA1 HF");
    EXPECT_EQ(settings.read(keys::MachineModelInx, -9), 0);
    EXPECT_EQ(settings.read(keys::PistonArea), "4.710");
    EXPECT_EQ(settings.read(keys::PistonAreaUnit, -9), 0);
    EXPECT_EQ(state.currentMachineModelText, "ZA1 HF");
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(MachinePageTest, StoredIndexOutsideTheListFallsBackToTheFirst) {
    for (int stored : {69, -1, 1000}) {
        settings.write(keys::MachineModelInx, stored);
        MachinePage page(context);
        page.load();
        EXPECT_EQ(page.modelIndex, 0) << stored;
    }
}

TEST_F(MachinePageTest, ListedAndTypedModels) {
    struct Case {
        int index;
        QString modelText, area;
        int unit;
        QString storedModel, storedArea;
        int storedUnit;
        QString label;
    } cases[] = {
        // A listed model takes its catalogue area, without the list's blank.
        {15, "ignored", "99", 1, "ZA5 LF", "9.450", 0, "Piston Area:  9.450"},
        // Typed: blanks around the model go, an empty area is "--".
        {68, "  ZF9  ", "", 0, "ZF9", "--", 0, "Piston Area: "},
        // A unit typed instead of chosen is stored as -1.
        {68, "Custom", "12.5", -1, "Custom", "12.5", -1, "Piston Area: "},
    };
    for (const Case& c : cases) {
        MachinePage page(context);
        page.load();
        page.selectModel(c.index);
        EXPECT_TRUE(page.modelText.isEmpty());
        EXPECT_EQ(page.pistonAreaLabel(), c.label);
        page.machineId = QStringLiteral(" M-7 ");
        page.modelText = c.modelText;
        page.pistonArea = c.area;
        page.pistonAreaUnit = c.unit;
        EXPECT_TRUE(page.accept());
        EXPECT_EQ(settings.read(keys::MachineId), "M-7");
        EXPECT_EQ(settings.read(keys::MachineModelText), c.storedModel);
        EXPECT_EQ(settings.read(keys::MachineModelInx, -9), c.index);
        EXPECT_EQ(settings.read(keys::PistonArea), c.storedArea);
        EXPECT_EQ(settings.read(keys::PistonAreaUnit, -9), c.storedUnit);
    }
    // A typed model text is what the set-up goes on with, blanks and all.
    EXPECT_EQ(state.currentMachineModelText, "Custom");

    // Reopened on "Unlisted", the typed values come back.
    MachinePage again(context);
    again.load();
    EXPECT_TRUE(again.typedMode());
    EXPECT_EQ(again.modelText, "Custom");
    EXPECT_EQ(again.pistonArea, "12.5");
    EXPECT_EQ(again.pistonAreaUnit, -1);
}

}  // namespace
}  // namespace vr5
