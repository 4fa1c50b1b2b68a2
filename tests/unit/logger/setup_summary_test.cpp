#include "logger/setup_summary.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <utility>
#include <vector>

#include "settings/settings_keys.h"

namespace vr5 {
namespace {

const QDateTime kNow(QDate(2024, 5, 6), QTime(7, 8, 9));

// The remembered values of one joint, as text.
using Values = std::vector<std::pair<StringKey, const char*>>;
using Numbers = std::vector<std::pair<IntKey, int>>;

MemorySettingsStore store(const Values& values, const Numbers& numbers) {
    MemorySettingsStore s;
    for (const auto& [key, value] : values) s.write(key, QString::fromUtf8(value));
    for (const auto& [key, value] : numbers) s.write(key, value);
    return s;
}

QStringList summaryLines(const SettingsStore& s, const QDateTime& now = kNow) {
    const QString text = buildSetupSummary(s, now);
    EXPECT_TRUE(text.endsWith(u'\n')) << text.toStdString();
    QStringList lines = text.split(u'\n');
    lines.removeLast();
    return lines;
}

const Values kOperator = {
    {keys::JobNumber, "J-7"}, {keys::EmployeeId, "Ann"}, {keys::MachineId, "M1"}};

TEST(SetupSummary, OneLinePerRememberedValueForEachKindOfMachine) {
    struct Case {
        const char* name;
        Values values;
        Numbers numbers;
        QStringList lines;
    } cases[] = {
        {"hydraulic",
         {{keys::MachineModelText, "ZA1 HF"},
          {keys::PistonArea, "4.710"},
          {keys::PipeMaterialText, "PE4710"},
          {keys::PipeSize, "4"},
          {keys::WallThickness, "11"},
          {keys::HeatIfp, "75"},
          {keys::SoakIfp, "0"},
          {keys::FuseIfp, "75"},
          {keys::CoolIfp, "30"},
          // A fitting or direct area from an earlier joint plays no part.
          {keys::FittingHeatPressure, "150"},
          {keys::PipeAreaZx, "99"}},
         {{keys::JointNumber, 12}, {keys::FittingType, 2}},
         {" 1. 2024/05/06  07:08:09", " 2. Joint Number: 12", " 3. Job Number: J-7",
          " 4. Employee ID: Ann", " 5. Machine ID: M1", " 6. Mach. Model: ZA1 HF",
          " 7. Piston Area: 4.710 in\u00B2", " 8. Pipe Material: PE4710", " 9. 4\" IPS  DR 11",
          "10. Bead: 75 psi", "11. Soak: 0 psi", "12. Fuse: 75 psi", "13. Cool: 30 psi"}},
        {"mechanical",
         {{keys::MachineModelText, "ZG Mech."},
          {keys::PistonArea, "4.710"},
          {keys::PipeMaterialText, "EXEL"},
          {keys::PipeSize, "4"},
          {keys::HeatIfp, "75"},
          {keys::FittingMainSize, "2"},
          {keys::FittingOutletSize, "1"},
          {keys::FittingHeatPressure, "150"},
          {keys::FittingFusePressure, "90"}},
         {{keys::FittingType, 1},
          {keys::FittingMainUnit, 0},
          {keys::FittingOutletUnit, 3},
          {keys::PressUnitInx, 1}},
         {" 1. 2024/05/06  07:08:09", " 2. Joint Number: 1", " 3. Job Number: J-7",
          " 4. Employee ID: Ann", " 5. Machine ID: M1", " 6. Mach. Model: ZG Mech.",
          " 7. Pipe Material: EXEL", " 8. Fitting Type: Tap Tee", " 9. 2\" IPS x 1mm",
          "10. Bead: 150 bar", "11. Fuse: 90 bar"}},
        {"mechanical, short sizes and unknown indexes",
         {{keys::MachineModelText, "ZG Mech."},
          {keys::FittingMainSize, "8"},
          {keys::FittingOutletSize, "2"}},
         {{keys::FittingType, 7},
          {keys::FittingMainUnit, 4},
          {keys::FittingOutletUnit, -1},
          {keys::PressUnitInx, 9}},
         {" 1. 2024/05/06  07:08:09", " 2. Joint Number: 1", " 3. Job Number: J-7",
          " 4. Employee ID: Ann", " 5. Machine ID: M1", " 6. Mach. Model: ZG Mech.",
          " 7. Pipe Material: ", " 8. Fitting Type: ", " 9. 8mm JIS x 2", "10. Bead:  psi",
          "11. Fuse:  psi"}},
        {"direct area",
         {{keys::MachineModelText, "ZJ 28"},
          {keys::PistonArea, "31.2"},
          {keys::PipeMaterialText, "PE100"},
          {keys::PipeSize, "110"},
          {keys::WallThickness, "10"},
          {keys::PipeAreaZx, "35.5"},
          {keys::HeatIfp, "1.5"},
          {keys::SoakIfp, "0.1"},
          {keys::FuseIfp, "1.5"},
          {keys::CoolIfp, "1.5"}},
         {{keys::JointNumber, 99999},
          {keys::PistonAreaUnit, 1},
          {keys::PipeSizeUnit, 3},
          {keys::WallThicknessUnit, 2},
          {keys::PipeAreaZxUnitInx, 1},
          {keys::PressUnitInx, 2}},
         {" 1. 2024/05/06  07:08:09", " 2. Joint Number: 99999", " 3. Job Number: J-7",
          " 4. Employee ID: Ann", " 5. Machine ID: M1", " 6. Mach. Model: ZJ 28",
          " 7. Piston Area: 31.2 cm\u00B2", " 8. Pipe Material: PE100", " 9. 110mm O.D.  10 mm WT",
          "10. Pipe Area: 35.5 cm\u00B2", "11. Bead: 1.5 Kg/cm\u00B2", "12. Soak: 0.1 Kg/cm\u00B2",
          "13. Fuse: 1.5 Kg/cm\u00B2", "14. Cool: 1.5 Kg/cm\u00B2"}},
        {"direct area, unknown unit indexes",
         {{keys::MachineModelText, "ZF 42 ZG LD"},
          {keys::PistonArea, "5"},
          {keys::PipeAreaZx, "12"},
          {keys::HeatIfp, "0.4"}},
         {{keys::PistonAreaUnit, 2}, {keys::PipeAreaZxUnitInx, 2}, {keys::PressUnitInx, 3}},
         {" 1. 2024/05/06  07:08:09", " 2. Joint Number: 1", " 3. Job Number: J-7",
          " 4. Employee ID: Ann", " 5. Machine ID: M1", " 6. ZF 42 ZG LD",
          " 7. Piston Area: 5 in\u00B2", " 8. Pipe Material: ", " 9. \" IPS  DR ",
          "10. Pipe Area: 12 in\u00B2", "11. Bead: 0.4 MPa", "12. Soak:  MPa", "13. Fuse:  MPa",
          "14. Cool:  MPa"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Values values = kOperator;
        values.insert(values.end(), c.values.begin(), c.values.end());
        EXPECT_EQ(summaryLines(store(values, c.numbers)), c.lines);
    }
}

TEST(SetupSummary, LongValuesStandWithoutTheirLabel) {
    struct Case {
        StringKey key;
        const char* value;
        int line;
        const char* expected;
    } cases[] = {
        {keys::JobNumber, "12345678", 3, " 3. Job Number: 12345678"},
        {keys::JobNumber, "123456789", 3, " 3. 123456789"},
        {keys::EmployeeId, "Ann Smith", 4, " 4. Ann Smith"},
        {keys::MachineId, "Rig 7", 5, " 5. Machine ID: Rig 7"},
        {keys::MachineModelText, "ZA2 HF 28", 6, " 6. ZA2 HF 28"},
        {keys::PipeMaterialText, "PE 4710 HDPE", 8, " 8. PE 4710 HDPE"},
        // Counted in characters, not bytes: eight of them keep the label.
        {keys::PipeMaterialText, "\u00C9\u00C9\u00C9\u00C9\u00C9\u00C9\u00C9\u00C9", 8,
         " 8. Pipe Material: \u00C9\u00C9\u00C9\u00C9\u00C9\u00C9\u00C9\u00C9"},
        // Pressures and areas keep their label however long they are.
        {keys::PistonArea, "123456789.5", 7, " 7. Piston Area: 123456789.5 in\u00B2"},
        {keys::HeatIfp, "123456789", 10, "10. Bead: 123456789 psi"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        MemorySettingsStore s;
        s.write(c.key, QString::fromUtf8(c.value));
        const QStringList lines = summaryLines(s);
        ASSERT_EQ(lines.size(), 13);
        EXPECT_EQ(lines[c.line - 1], QString::fromUtf8(c.expected));
    }
}

TEST(SetupSummary, PipeSizeWithEachSizeAndWallUnit) {
    struct Case {
        int sizeUnit;
        int wallUnit;
        const char* line;
    } cases[] = {
        {0, 0, " 9. 4\" IPS  DR 11"},     {1, 1, " 9. 4\" DIPS  11 \" WT"},
        {2, 2, " 9. 4\" O.D.  11 mm WT"}, {3, 0, " 9. 4mm O.D.  DR 11"},
        {4, 1, " 9. 4mm JIS  11 \" WT"},  {5, 3, " 9. 4\" IPS  DR 11"},
        {-1, -1, " 9. 4\" IPS  DR 11"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const MemorySettingsStore s =
            store({{keys::PipeSize, "4"}, {keys::WallThickness, "11"}},
                  {{keys::PipeSizeUnit, c.sizeUnit}, {keys::WallThicknessUnit, c.wallUnit}});
        EXPECT_EQ(summaryLines(s)[8], c.line);
    }
}

TEST(SetupSummary, DateAndTimeWithLeadingZeros) {
    const MemorySettingsStore s;
    struct Case {
        QDateTime now;
        const char* line;
    } cases[] = {
        {QDateTime(QDate(2031, 12, 31), QTime(23, 59, 58)), " 1. 2031/12/31  23:59:58"},
        {QDateTime(QDate(999, 1, 2), QTime(0, 0, 0)), " 1. 0999/01/02  00:00:00"},
    };
    for (const Case& c : cases) EXPECT_EQ(summaryLines(s, c.now)[0], c.line);
}

}  // namespace
}  // namespace vr5
