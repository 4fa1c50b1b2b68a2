#include "setup/remembered_pressures.h"

#include <gtest/gtest.h>

#include "settings/settings_keys.h"
#include "setup_operator.h"

namespace vr5 {
namespace {

TEST(RememberedPressures, TextsFollowTheUnitWithItsDecimals) {
    const struct {
        const char* text;
        int from, to;
        const char* expected;
    } cases[] = {
        {"75", 0, 1, "5.2"},      {"5.2", 1, 0, "75"},   {"75", 0, 2, "5.3"},
        {"75", 0, 3, "0.517"},    {"0.517", 3, 0, "75"}, {"5.2", 1, 3, "0.520"},
        {"-75", 0, 1, "-5.2"},    {"0", 0, 3, "0.000"},  {" 75 psi", 0, 1, "5.2"},
        {"75", 9, 1, "5.2"},       // an unknown unit is psi
        {"3000", 0, 3, "20.69"},   // five characters, as the box takes them
        {"99999", 0, 3, "689.6"},  //
        {"0.01", 0, 1, "0.0"},     // nothing left is 0, never "-0.0"
        {"-0.01", 0, 1, "0.0"},    //
        {"--", 0, 1, "--"},        // no number: as it was
        {"", 0, 1, ""},            //
        {"x75", 0, 1, "x75"},      //
        {"1e300", 0, 1, "1e300"},  // no one typed that on purpose
    };
    for (const auto& c : cases) {
        EXPECT_EQ(convertPressureText(QString::fromLatin1(c.text), c.from, c.to, 5),
                  QString::fromLatin1(c.expected))
            << c.text << " " << c.from << "->" << c.to;
    }
}

TEST(RememberedPressures, DragPressureIsReadInTheUnitItsLabelNames) {
    const struct {
        const char* stored;
        int current;
        double psi;
    } cases[] = {
        {"30 psi", 1, 30},      {"2.1 bar", 0, 30.45}, {"2.1 Kg/cm\u00B2", 3, 29.82},
        {"0.21 MPa", 0, 30.45}, {"30", 1, 435},        {"30 pascal", 0, 30},
        {"-30 psi", 0, 30},     {"--", 1, 0},          {"", 0, 0},
    };
    for (const auto& c : cases) {
        EXPECT_NEAR(dragPressurePsi(QString::fromUtf8(c.stored), c.current), c.psi, 1e-9)
            << c.stored;
    }
}

class UnitChangeTest : public ::testing::Test, public test::SetUpOperator<MemorySettingsStore> {};

// A joint set up in psi and reused after the operator switched to bar (the reuse path skips the
// Pipe page, so the interfacial pressures are the remembered ones): the gauge pressures are the
// same joint's, not 14.5 times too high.
TEST_F(UnitChangeTest, ReusedSetUpGivesTheSameGaugePressuresInAnotherUnit) {
    state.currentMachineModelText = QStringLiteral("ZA1 HF");
    settings.write(keys::PistonArea, QStringLiteral("4.710"));
    settings.write(keys::PipeAreaInch, QStringLiteral("10.000000"));
    for (StringKey key : {keys::HeatIfp, keys::SoakIfp, keys::FuseIfp, keys::CoolIfp})
        settings.write(key, QStringLiteral("75"));
    chooseUnit(0);
    EXPECT_EQ(typeDragPressure("30"), "30 psi");
    EXPECT_EQ(recommended(), QStringList(4, QStringLiteral("189")));

    chooseUnit(1);
    EXPECT_EQ(interfacial(), QStringList(4, QStringLiteral("5.2")));
    EXPECT_EQ(settings.read(keys::DragPressure), "2.1 bar");
    EXPECT_EQ(recommended(), QStringList(4, QStringLiteral("13.1")));  // 189 psi is 13.0 bar
    EXPECT_EQ(typeDragPressure("2.1"), "2.1 bar");
    EXPECT_EQ(recommended(), QStringList(4, QStringLiteral("13.1")));

    chooseUnit(3);
    EXPECT_EQ(interfacial(), QStringList(4, QStringLiteral("0.520")));
    EXPECT_EQ(settings.read(keys::DragPressure), "0.210 MPa");
    EXPECT_EQ(recommended(), QStringList(4, QStringLiteral("1.314")));  // 190.5 psi

    chooseUnit(0);
    EXPECT_EQ(interfacial(), QStringList(4, QStringLiteral("75")));
    EXPECT_EQ(settings.read(keys::DragPressure), "30 psi");
    EXPECT_EQ(recommended(), QStringList(4, QStringLiteral("189")));
}

TEST_F(UnitChangeTest, OnlyARealChangeOfUnitRewritesAnything) {
    settings.write(keys::HeatIfp, QStringLiteral("75.4"));
    settings.write(keys::DragPressure, QStringLiteral("30 psi"));
    settings.write(keys::FittingHeatPressure, QStringLiteral("150"));  // a label's own unit
    settings.write(keys::PressUnitInx, 9);                             // read as psi
    const auto before = settings.values();
    chooseUnit(0);
    for (auto it = before.begin(); it != before.end(); ++it) {
        if (it.key() != u"Settings/Press Unit Inx") {
            EXPECT_EQ(settings.values().value(it.key()), *it);
        }
    }
    chooseUnit(2);
    EXPECT_EQ(settings.read(keys::HeatIfp), "5.3");
    EXPECT_EQ(settings.read(keys::DragPressure), "2.1 Kg/cm\u00B2");
    EXPECT_EQ(settings.read(keys::FittingHeatPressure), "150");
    EXPECT_TRUE(settings.read(keys::SoakIfp).isNull());  // nothing remembered, nothing written

    // A refused Settings dialog converts nothing.
    SettingsPage page(context);
    page.load();
    page.pressureUnit = 0;
    page.offset = QStringLiteral("999");
    EXPECT_FALSE(page.accept());
    EXPECT_EQ(settings.read(keys::HeatIfp), "5.3");
}

}  // namespace
}  // namespace vr5
