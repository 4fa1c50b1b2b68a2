// Numbers in the program's own texts read and write the same whatever language the computer is
// set to. These tests run under one that writes "4,71" (see locale_main.cpp).

#include <gtest/gtest.h>

#include <QLocale>
#include <QTemporaryDir>
#include <clocale>
#include <cstdio>
#include <limits>

#include "page/report_page.h"
#include "report/report_json.h"
#include "scripted_prompter.h"
#include "settings/settings_keys.h"
#include "settings/settings_page.h"
#include "setup/drag_pressure_page.h"
#include "setup/gauge_pressure.h"
#include "setup/machine_page.h"
#include "setup/pipe_page.h"
#include "setup/rec_pressure_page.h"
#include "setup_operator.h"
#include "test_support.h"
#include "text/number_text.h"

namespace vr5 {
namespace {

// Everything else here proves something only while the C library really writes a comma.
TEST(CommaDecimalLanguage, IsInForce) {
    ASSERT_STREQ(std::localeconv()->decimal_point, ",")
        << "the " VR5_LOCALE " locale compiled into " VR5_LOCALE_DIR " is not in force";
    char text[16];
    std::snprintf(text, sizeof text, "%.2f", 4.71);
    EXPECT_STREQ(text, "4,71");
    EXPECT_EQ(QLocale().decimalPoint(), QStringLiteral(","));
}

TEST(CommaDecimalLanguage, NumberRule) {
    const double max = std::numeric_limits<double>::max();
    const struct {
        const char* text;
        double value;
    } cases[] = {
        {"30 psi", 30},
        {"4.710", 4.71},
        {"0.25", 0.25},
        {"5.257636", 5.257636},
        {" -1.5e2 bar", -150},
        {"+.5", 0.5},
        {"7.", 7},
        {"4,710", 4},
        {"1e999", max},
        {"-1e999", -max},
        {"1e-999", 0},
        {"0.000e99999", 0},
        {"--", 0},
        {"", 0},
        {"x75", 0},
        {"0x1A", 0},
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(readLeadingNumber(QString::fromLatin1(c.text)), c.value) << c.text;
    }
}

// The real store, in the test's own home folder.
class CommaDecimalSetUp : public ::testing::Test, public test::SetUpOperator<QSettingsStore> {};

// 4" IPS DR 11 on a ZA1 HF, 75 psi interfacial and 30 psi drag: 75 x 5.257636 / 4.71 + 30.
TEST_F(CommaDecimalSetUp, GaugePressuresOfAWholeSetUp) {
    chooseUnit(0);
    MachinePage machine(context);
    machine.load();
    machine.selectModel(0);
    ASSERT_TRUE(machine.accept());
    ASSERT_EQ(state.currentMachineModelText, "ZA1 HF");
    EXPECT_EQ(settings.read(keys::PistonArea), "4.710");

    PipePage pipe(context);
    pipe.load();
    pipe.size = QStringLiteral("4");
    pipe.sizeUnit = 0;
    pipe.wall = QStringLiteral("11");
    pipe.wallUnit = 0;
    pipe.heatIfp = pipe.soakIfp = pipe.fuseIfp = pipe.coolIfp = QStringLiteral("75");
    ASSERT_TRUE(pipe.accept());
    EXPECT_EQ(QSettingsStore().read(keys::PipeAreaInch), "5.257636");

    DragPressurePage drag(context);
    drag.load();
    drag.dragPressure = QStringLiteral("30");
    ASSERT_TRUE(drag.accept());
    EXPECT_EQ(recommended(), QStringList(4, QStringLiteral("114")));

    // The same joint after a switch to bar: the remembered values are rewritten with a point.
    chooseUnit(1);
    EXPECT_EQ(QSettingsStore().read(keys::HeatIfp), "5.2");
    EXPECT_EQ(QSettingsStore().read(keys::DragPressure), "2.1 bar");
    EXPECT_EQ(recommended(), QStringList(4, QStringLiteral("7.9")));  // 114.6 psi
    chooseUnit(0);
    EXPECT_EQ(recommended(), QStringList(4, QStringLiteral("114")));
    EXPECT_TRUE(prompter.messages.isEmpty()) << prompter.messages.join(u'\n').toStdString();
}

// The worked example of the gauge pressure rule, in psi and in bar.
TEST_F(CommaDecimalSetUp, GaugePressureWorkedExample) {
    state.currentMachineModelText = QStringLiteral("ZA2 HF");
    settings.write(keys::PipeAreaInch, QStringLiteral("10.000000"));
    settings.write(keys::PistonArea, QStringLiteral("4.710"));
    settings.write(keys::PistonAreaUnit, 0);
    settings.write(keys::DragPressure, QStringLiteral("30 psi"));
    settings.write(keys::PressUnitInx, 0);
    state.currentPressureUnitIndex = 0;
    EXPECT_EQ(GetRecommendedGaugePressure(QStringLiteral("75"), settings, state), "189");

    settings.write(keys::DragPressure, QStringLiteral("2.1 bar"));
    settings.write(keys::PressUnitInx, 1);
    state.currentPressureUnitIndex = 1;
    EXPECT_EQ(GetRecommendedGaugePressure(QStringLiteral("5.2"), settings, state), "13.1");
    EXPECT_EQ(FormatPressureReading(131.4, 3), "0.906");
    EXPECT_EQ(FormatPressureReading(5.5, 1), "0.4");
}

// A report in MPa that peaks under 1 MPa: its scale is in tenths, written with a point.
TEST(CommaDecimalLanguage, ReportPageAndDump) {
    const JointRecord rec =
        test::decodeDescription(QStringLiteral("pressure_unit: MPa\nramp: 131 100\nhold: 100"));
    const PageDrawing d = buildReportPage(rec, QStringLiteral("/r/x.tjr"),
                                          PageMetrics{59, 153, 120, 92}, Medium::Screen);
    const PageRect r = d.plots[0].rect;
    QStringList labels;
    for (const PageItem& item : d.items) {
        const auto* t = std::get_if<TextItem>(&item);
        if (t && t->halign == HAlign::Right && t->at.x == r.left - 59 / 2 && t->at.y < r.top &&
            t->at.y > r.bottom)
            labels << t->text;
    }
    EXPECT_EQ(labels, (QStringList{"0.2", "0.4", "0.6", "0.8"}));

    const QByteArray json = reportToJson(rec, QStringLiteral("x.tjr"));
    EXPECT_TRUE(json.contains("\"psi_per_unit\":145")) << json.left(400).toStdString();
}

}  // namespace
}  // namespace vr5
