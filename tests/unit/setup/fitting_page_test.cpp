#include "setup/fitting_page.h"

#include <gtest/gtest.h>

#include "scripted_prompter.h"
#include "settings/settings_keys.h"
#include "test_support.h"

namespace vr5 {
namespace {

class FittingPageTest : public ::testing::Test {
protected:
    MemorySettingsStore settings;
    ProgramState state;
    test::ScriptedPrompter prompter;
    SetupContext context{settings, state, prompter};
};

TEST_F(FittingPageTest, FirstUseStoresDashesForEmptyBoxes) {
    FittingPage page(context);
    page.load();
    EXPECT_EQ(page.typeIndex, 0);
    EXPECT_EQ(page.mainUnit, 0);
    EXPECT_EQ(page.outletUnit, 0);
    EXPECT_EQ(page.material.index, 0);
    EXPECT_FALSE(page.material.unlisted());
    EXPECT_TRUE(page.accept());
    const QMap<QString, QString> expected = {
        {"Log Data/Fitting Type", "0"},           {"Log Data/Fitting Main Unit", "0"},
        {"Log Data/Fitting Outlet Unit", "0"},    {"Log Data/Fitting Main Size", "--"},
        {"Log Data/Fitting Outlet Size", "--"},   {"Log Data/Fitting Fuse Pressure", "--"},
        {"Log Data/Fitting Heat Pressure", "--"}, {"Log Data/Pipe Material Inx", "0"},
        {"Log Data/Pipe Material Text", "EXEL"},
    };
    EXPECT_EQ(settings.values(), expected);
    EXPECT_TRUE(prompter.shown.isEmpty());
}

TEST_F(FittingPageTest, PositionsTheListsDoNotHaveAreStoredAsNoSelection) {
    struct Case {
        int stored;
        int loaded;
    } cases[] = {{7, -1}, {4, -1}, {-1, -1}, {3, 3}, {0, 0}};
    for (const Case& c : cases) {
        settings.write(keys::FittingType, c.stored);
        settings.write(keys::FittingMainUnit, c.stored);
        settings.write(keys::FittingOutletUnit, c.stored);
        FittingPage page(context);
        page.load();
        EXPECT_EQ(page.typeIndex, c.loaded) << c.stored;
        EXPECT_EQ(page.mainUnit, c.loaded) << c.stored;
        EXPECT_EQ(page.outletUnit, c.loaded) << c.stored;
        EXPECT_TRUE(page.accept());
        EXPECT_EQ(settings.read(keys::FittingType, -9), c.loaded);
        EXPECT_EQ(settings.read(keys::FittingMainUnit, -9), c.loaded);
        EXPECT_EQ(settings.read(keys::FittingOutletUnit, -9), c.loaded);
    }
}

TEST_F(FittingPageTest, TypedValuesRoundTrip) {
    FittingPage page(context);
    page.load();
    page.selectMaterial(20);
    page.material.text = QStringLiteral(" PE 100 RC ");
    page.typeIndex = 2;
    page.mainSize = QStringLiteral(" 8 ");
    page.mainUnit = 1;
    page.outletSize = QStringLiteral("2.375x");  // six characters: the box takes five
    page.outletUnit = 3;
    page.beadPressure = QStringLiteral("45");
    page.fusePressure = QStringLiteral("1.2 b");
    ASSERT_TRUE(page.accept());

    FittingPage again(context);
    again.load();
    EXPECT_TRUE(again.material.unlisted());
    EXPECT_EQ(again.material.text, "PE 100 RC");
    EXPECT_EQ(again.typeIndex, 2);
    EXPECT_EQ(again.mainSize, "8");
    EXPECT_EQ(again.mainUnit, 1);
    EXPECT_EQ(again.outletSize, "2.375");
    EXPECT_EQ(again.outletUnit, 3);
    EXPECT_EQ(again.beadPressure, "45");
    EXPECT_EQ(settings.read(keys::FittingHeatPressure), "45");
    EXPECT_EQ(again.fusePressure, "1.2 b");

    // A listed material again: the typed one goes, the name is stored.
    again.selectMaterial(19);
    EXPECT_TRUE(again.material.text.isEmpty());
    ASSERT_TRUE(again.accept());
    EXPECT_EQ(settings.read(keys::PipeMaterialInx, -9), 19);
    EXPECT_EQ(settings.read(keys::PipeMaterialText), "PE 4710");
}

}  // namespace
}  // namespace vr5
