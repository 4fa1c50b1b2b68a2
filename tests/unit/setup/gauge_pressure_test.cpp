#include "setup/gauge_pressure.h"

#include <gtest/gtest.h>

#include "settings/settings_keys.h"

namespace vr5 {
namespace {

// A joint as the set-up pages leave it in the store.
struct Joint {
    QString model = QStringLiteral("ZA2 HF");
    QString pipeAreaInch = QStringLiteral("10.000000");
    QString pipeAreaZx;
    int pipeAreaZxUnit = 0;
    QString drag = QStringLiteral("30 psi");
    QString piston = QStringLiteral("4.710");
    int pistonUnit = 0;
    int unit = 0;  // both the unit values were typed in and the result unit
};

QString gauge(const Joint& j, const QString& ifp) {
    MemorySettingsStore settings;
    settings.write(keys::PipeAreaInch, j.pipeAreaInch);
    settings.write(keys::PipeAreaZx, j.pipeAreaZx);
    settings.write(keys::PipeAreaZxUnitInx, j.pipeAreaZxUnit);
    settings.write(keys::DragPressure, j.drag);
    settings.write(keys::PistonArea, j.piston);
    settings.write(keys::PistonAreaUnit, j.pistonUnit);
    settings.write(keys::PressUnitInx, j.unit);
    ProgramState state;
    state.currentMachineModelText = j.model;
    state.currentPressureUnitIndex = j.unit;
    return GetRecommendedGaugePressure(ifp, settings, state);
}

TEST(GaugePressure, WorkedExamplesInEveryUnit) {
    Joint psi;
    EXPECT_EQ(gauge(psi, "75"), "189");  // 75 x 10 / 4.71 + 30 = 189.24

    Joint bar;
    bar.unit = 1;
    bar.drag = QStringLiteral("2.1 bar");
    EXPECT_EQ(gauge(bar, "5.2"), "13.1");  // 190.53 psi

    Joint kg = bar;
    kg.unit = 2;
    kg.drag = QStringLiteral("2.1 Kg/cm\u00B2");
    // (5.2 x 14.2 x 10 / 4.71 + 2.1 x 14.2) / 14.2 = 13.14
    EXPECT_EQ(gauge(kg, "5.2"), "13.1");

    Joint mpa;
    mpa.unit = 3;
    mpa.drag = QStringLiteral("0.21 MPa");
    // (0.52 x 145 x 10 / 4.71 + 0.21 x 145) / 145 = 1.314
    EXPECT_EQ(gauge(mpa, "0.52"), "1.314");

    Joint unknown;
    unknown.unit = 9;
    EXPECT_EQ(gauge(unknown, "75"), "189");
}

TEST(GaugePressure, WhatCannotBeComputed) {
    Joint j;
    const struct {
        const char* ifp;
        const char* expected;
    } texts[] = {
        {"--", "-----"},
        {"", "-----"},
        {"abc", "-----"},
        // A digit behind a typo is no pressure; it is not the drag pressure alone.
        {"x5", "-----"},
        {"O75", "-----"},
        {"psi 75", "-----"},
        {".5", "31"},
        {"-75", "189"},  // the sign is dropped
        {" 75 psi", "189"},
    };
    for (const auto& t : texts) EXPECT_EQ(gauge(j, t.ifp), t.expected) << t.ifp;

    struct Case {
        const char* what;
        Joint joint;
    } cases[] = {
        {"no pipe area",
         [] {
             Joint x;
             x.pipeAreaInch = "--";
             return x;
         }()},
        {"negative pipe area",
         [] {
             Joint x;
             x.pipeAreaInch = "-4";
             return x;
         }()},
        {"piston area --",
         [] {
             Joint x;
             x.piston = "--";
             return x;
         }()},
        {"piston area empty",
         [] {
             Joint x;
             x.piston = "";
             return x;
         }()},
        {"piston area 0",
         [] {
             Joint x;
             x.piston = "0";
             return x;
         }()},
        {"overflowing",
         [] {
             Joint x;
             x.pipeAreaInch = "1e308";
             x.piston = "1e-300";
             return x;
         }()},
    };
    for (const Case& c : cases) EXPECT_EQ(gauge(c.joint, "75"), "-----") << c.what;
}

TEST(GaugePressure, AreasAndTheirUnits) {
    Joint direct;
    direct.model = QStringLiteral("ZJ2-HF");
    direct.pipeAreaInch = QStringLiteral("999");  // ignored by a direct-area machine
    direct.pipeAreaZx = QStringLiteral("64.516");
    direct.pipeAreaZxUnit = 1;  // cm²: 10 in²
    EXPECT_EQ(gauge(direct, "75"), "189");

    Joint oddUnit = direct;
    oddUnit.pipeAreaZx = QStringLiteral("10");
    oddUnit.pipeAreaZxUnit = 7;  // read as in²
    EXPECT_EQ(gauge(oddUnit, "75"), "189");

    Joint plain;
    plain.pipeAreaZx = QStringLiteral("999");  // ignored by any other machine
    EXPECT_EQ(gauge(plain, "75"), "189");

    Joint cm2;
    cm2.piston = QStringLiteral("30.387");  // 4.71 in² in cm²
    cm2.pistonUnit = 1;
    EXPECT_EQ(gauge(cm2, "75"), "189");
    for (int unit : {-1, 2}) {
        Joint inch;
        inch.pistonUnit = unit;
        EXPECT_EQ(gauge(inch, "75"), "189") << unit;
    }
}

TEST(GaugePressure, ReadingsAndLabels) {
    struct Case {
        double psi;
        int unit;
        const char* text;
    } cases[] = {
        {7777, 0, " ERR"}, {9000, 1, " ERR"},   {5, 0, " -0-"},   {-3, 3, " -0-"}, {5.5, 0, "6"},
        {5.5, 1, "0.4"},   {131.4, 3, "0.906"}, {142, 2, "10.0"}, {200, 9, "200"},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatPressureReading(c.psi, c.unit), c.text) << c.psi;

    EXPECT_DOUBLE_EQ(ConvertToPsi(-2, 1), 29);
    EXPECT_DOUBLE_EQ(ConvertToPsi(1, 3), 145);
    EXPECT_DOUBLE_EQ(ConvertToPsi(10, 7), 10);

    MemorySettingsStore settings;
    ProgramState state;
    const struct {
        int pressure, temperature;
        const char* pressureLabel;
        const char* temperatureLabel;
    } labels[] = {
        {0, 0, "psi", "\u00B0F"}, {1, 1, "bar", "\u00B0C"},   {2, 5, "Kg/cm\u00B2", "\u00B0F"},
        {3, 1, "MPa", "\u00B0C"}, {-1, -1, "psi", "\u00B0F"},
    };
    for (const auto& l : labels) {
        settings.write(keys::PressUnitInx, l.pressure);
        settings.write(keys::TempUnitInx, l.temperature);
        RefreshUnitLabels(settings, state);
        EXPECT_EQ(state.pressureUnitLabel, QString::fromUtf8(l.pressureLabel));
        EXPECT_EQ(state.temperatureUnitLabel, QString::fromUtf8(l.temperatureLabel));
    }
}

}  // namespace
}  // namespace vr5
