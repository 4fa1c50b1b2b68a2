#include "setup/rec_pressure_page.h"

#include <gtest/gtest.h>

#include <limits>

#include "scripted_prompter.h"
#include "settings/settings_keys.h"

namespace vr5 {
namespace {

class RecPressurePageTest : public ::testing::Test {
protected:
    MemorySettingsStore settings;
    ProgramState state;
    test::ScriptedPrompter prompter;
    SetupContext context{settings, state, prompter};

    // A hydraulic machine with a 4.710 in² piston, 10 in² of pipe and 30 psi of drag.
    void hydraulicJoint(const char* heat, const char* soak, const char* fuse, const char* cool) {
        state.currentMachineModelText = QStringLiteral("ZA1 HF");
        settings.write(keys::PistonArea, QStringLiteral("4.710"));
        settings.write(keys::PipeAreaInch, QStringLiteral("10.000000"));
        settings.write(keys::DragPressure, QStringLiteral("30 psi"));
        settings.write(keys::HeatIfp, QString::fromLatin1(heat));
        settings.write(keys::SoakIfp, QString::fromLatin1(soak));
        settings.write(keys::FuseIfp, QString::fromLatin1(fuse));
        settings.write(keys::CoolIfp, QString::fromLatin1(cool));
    }

    void expectStored(const QStringList& rec, const std::vector<int>& demo) {
        EXPECT_EQ(settings.read(keys::RecHeat), rec[0]);
        EXPECT_EQ(settings.read(keys::RecSoak), rec[1]);
        EXPECT_EQ(settings.read(keys::RecFuse), rec[2]);
        EXPECT_EQ(settings.read(keys::RecCool), rec[3]);
        for (int phase = 1; phase <= 4; ++phase) {
            EXPECT_EQ(settings.read(keys::demoPsi(phase), -1), demo[phase - 1]) << phase;
        }
        EXPECT_EQ(settings.read(keys::DemoPsiInx, -1), 1);
    }
};

TEST_F(RecPressurePageTest, MechanicalMachineShowsTheFittingPressures) {
    state.currentMachineModelText = QStringLiteral("ZG Mech.");
    settings.write(keys::FittingHeatPressure, QStringLiteral("150"));
    settings.write(keys::FittingFusePressure, QStringLiteral("90"));
    // Interfacial pressures of an earlier pipe joint play no part.
    settings.write(keys::HeatIfp, QStringLiteral("75"));
    RecPressurePage page(context);
    page.load();
    EXPECT_EQ(page.pressures(), QStringList({"150", "-----", "90", "-----"}));
    EXPECT_EQ(page.pressureLines(), "150\n-----\n90\n-----");
    EXPECT_EQ(RecPressurePage::phaseLabels(), "Bead:\nSoak:\nFuse:\nCool:");
    expectStored(page.pressures(), {150, 0, 90, 0});
    EXPECT_TRUE(prompter.shown.isEmpty());
}

TEST_F(RecPressurePageTest, HydraulicMachineWorksOutEachPhase) {
    struct Case {
        int unitIndex;
        const char *heat, *soak, *fuse, *cool;
        QStringList rec;
        std::vector<int> demo;
    } cases[] = {
        {0, "75", "0", "75", "75", {"189", "30", "189", "189"}, {189, 30, 189, 189}},
        // No number gives no gauge pressure, nor does a typo before one; a negative pressure
        // counts as positive.
        {0, "--", "", "-75", "x5", {"-----", "-----", "189", "-----"}, {0, 0, 189, 0}},
        // A value past every gauge gives none rather than infinity.
        {0, "1e308", "1e999", "75", "75", {"-----", "-----", "189", "189"}, {0, 0, 189, 189}},
        // Too big for a whole number: the demo value stops at the largest one.
        {0,
         "1e12",
         "75",
         "75",
         "75",
         {"2123142250561", "189", "189", "189"},
         {std::numeric_limits<int>::max(), 189, 189, 189}},
    };
    for (const Case& c : cases) {
        hydraulicJoint(c.heat, c.soak, c.fuse, c.cool);
        RecPressurePage page(context);
        page.load();
        EXPECT_EQ(page.pressures(), c.rec) << c.heat;
        expectStored(c.rec, c.demo);
    }
}

TEST_F(RecPressurePageTest, DemoValueIsTheWholeNumberOfTheUnit) {
    // The same joint in bar: 13.1 bar is demo 13.
    hydraulicJoint("5.2", "5.2", "5.2", "5.2");
    settings.write(keys::DragPressure, QStringLiteral("2.1 bar"));
    settings.write(keys::PressUnitInx, 1);
    state.currentPressureUnitIndex = 1;
    RecPressurePage page(context);
    page.load();
    EXPECT_EQ(page.pressures(), QStringList({"13.1", "13.1", "13.1", "13.1"}));
    expectStored(page.pressures(), {13, 13, 13, 13});
}

}  // namespace
}  // namespace vr5
