#include "evaluation/evaluation.h"

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cmath>
#include <vector>

#include "evaluation/joint_reading.h"
#include "test_support.h"

namespace vr5 {
namespace {

// A stretch of the curve: from the level before it to `to` psi over `seconds`.
struct Step {
    double to;
    double seconds;
};

// A record sampled every tick (0.2 s) along the steps, with a repeatable noise of `noise` psi.
JointRecord curve(const std::vector<Step>& steps, int noise = 0) {
    JointRecord rec;
    double level = 0;
    int tick = 0;
    unsigned seed = 12345;
    for (const Step& s : steps) {
        const int ticks = static_cast<int>(s.seconds * 5 + 0.5);
        for (int k = 0; k < ticks; ++k, ++tick) {
            const double p = level + (s.to - level) * (k + 1) / ticks;
            seed = seed * 1103515245u + 12345u;
            const int jitter = noise ? static_cast<int>((seed >> 16) % (2 * noise + 1)) - noise : 0;
            rec.time.push_back(tick + 1);
            rec.pressure.push_back(std::max(0, static_cast<int>(p + 0.5) + jitter));
        }
        level = s.to;
    }
    rec.sampleCount = static_cast<int>(rec.time.size());
    rec.pressure.push_back(rec.pressure.empty() ? 0 : rec.pressure.back());
    rec.fields.drag = QStringLiteral("30 psi");
    rec.fields.recommended = {QStringLiteral("337"), QStringLiteral("30"), QStringLiteral("337"),
                              QStringLiteral("337")};
    rec.fields.interfacial = {QStringLiteral("75"), QStringLiteral("0"), QStringLiteral("75"),
                              QStringLiteral("75")};
    return rec;
}

// The phases' true times of the curve below (s): bead-up 4-37, soak 37-238.5, open 238.5-245,
// build-up 245-251, fusion and cooling 251-852.5.
std::vector<Step> joint(double soak = 200, double open = 6, double buildUp = 6, double cool = 600,
                        double fuse = 337) {
    return {{30, 2},   {337, 4},        {337, 30},    {30, 2}, {30, soak}, {0, 1},
            {0, open}, {fuse, buildUp}, {fuse, cool}, {0, 3},  {0, 10}};
}

struct Times {
    double start, end;
};

void expectPhases(const Evaluation& e, const std::vector<std::optional<Times>>& truth) {
    for (int i = 0; i < kPhaseCount; ++i) {
        SCOPED_TRACE(phaseKey(static_cast<Phase>(i)).toStdString());
        const auto& found = e.phases[static_cast<size_t>(i)];
        const auto& known = truth[static_cast<size_t>(i)];
        ASSERT_EQ(found.has_value(), known.has_value());
        if (!known) continue;
        const double slack = std::max(1.0, 0.02 * (known->end - known->start));
        EXPECT_NEAR(found->startS, known->start, slack);
        EXPECT_NEAR(found->endS, known->end, slack);
    }
}

Procedure procedure(const char* id) {
    return loadProcedure(QString::fromLatin1(id)).procedure.value_or(Procedure{});
}

TEST(Evaluation, PhasesFoundOnGeneratedCurves) {
    struct Case {
        const char* name;
        JointRecord rec;
        std::vector<std::optional<Times>> truth;
    };
    const std::vector<std::optional<Times>> plain{Times{4, 37}, Times{37, 238.5}, Times{238.5, 245},
                                                  Times{245, 251}, Times{251, 852.5}};

    JointRecord noGuides = curve(joint());
    noGuides.fields.drag = QStringLiteral("--");
    noGuides.fields.recommended = {"---", "---", "---", "---"};

    // A second bead-up: down to drag for 20 s, up again for 15 s, then the soak.
    JointRecord second = curve({{30, 2},
                                {337, 4},
                                {337, 30},
                                {30, 2},
                                {30, 20},
                                {337, 2},
                                {337, 15},
                                {30, 2},
                                {30, 200},
                                {0, 1},
                                {0, 6},
                                {337, 6},
                                {337, 600},
                                {0, 3},
                                {0, 10}});
    // The pressure leaks down by 40% while cooling, and is then released.
    JointRecord leak = curve({{30, 2},
                              {337, 4},
                              {337, 30},
                              {30, 2},
                              {30, 200},
                              {0, 1},
                              {0, 6},
                              {337, 6},
                              {200, 600},
                              {0, 3},
                              {0, 10}});
    // The carriage opened between two bead-ups.
    JointRecord reopened = curve({{30, 2},
                                  {337, 4},
                                  {337, 30},
                                  {0, 2},
                                  {0, 20},
                                  {337, 2},
                                  {337, 15},
                                  {30, 2},
                                  {30, 200},
                                  {0, 1},
                                  {0, 6},
                                  {337, 6},
                                  {337, 600},
                                  {0, 3},
                                  {0, 10}});
    // A leak while cooling, pumped up again before the release.
    JointRecord pumped = curve({{30, 2},
                                {337, 4},
                                {337, 30},
                                {30, 2},
                                {30, 200},
                                {0, 1},
                                {0, 6},
                                {337, 6},
                                {120, 300},
                                {337, 3},
                                {337, 297},
                                {0, 3},
                                {0, 10}});
    // A knock on the carriage in the middle of the soak.
    JointRecord knock = curve({{30, 2},
                               {337, 4},
                               {337, 30},
                               {30, 2},
                               {30, 100},
                               {300, 0.2},
                               {300, 0.4},
                               {30, 0.2},
                               {30, 99.2},
                               {0, 1},
                               {0, 6},
                               {337, 6},
                               {337, 600},
                               {0, 3},
                               {0, 10}});
    // Stopped during the soak: released, or the record just ends.
    JointRecord stopped =
        curve({{30, 2}, {337, 4}, {337, 30}, {30, 2}, {30, 100}, {0, 2}, {0, 20}});
    JointRecord cut = curve({{30, 2}, {337, 4}, {337, 30}, {30, 2}, {30, 100}});

    const std::vector<Case> cases{
        {"plain", curve(joint()), plain},
        {"noisy", curve(joint(), 8), plain},
        {"levels from the curve", noGuides, plain},
        {"second bead-up",
         second,
         {Times{4, 76}, Times{76, 277.5}, Times{277.5, 284}, Times{284, 290}, Times{290, 891.5}}},
        {"leak while cooling", leak, plain},
        {"carriage opened between bead-ups",
         reopened,
         {Times{4, 76}, Times{76, 277.5}, Times{277.5, 284}, Times{284, 290}, Times{290, 891.5}}},
        {"leak pumped up again", pumped, plain},
        {"knock during the soak", knock, plain},
        {"stopped during the soak", stopped, {Times{4, 37}, Times{37, 139}, {}, {}, {}}},
        {"record ends during the soak", cut, {Times{4, 37}, Times{37, 138}, {}, {}, {}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        expectPhases(evaluateJoint(c.rec, procedure("astm-f2620")), c.truth);
    }
}

// Whatever the curve, the phases found lie on the record, in order, each starting before it ends.
TEST(Evaluation, PhasesOfArbitraryCurvesAreOrderedAndOnTheRecord) {
    unsigned seed = 7;
    auto next = [&seed](int range) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 16) % static_cast<unsigned>(range));
    };
    for (int round = 0; round < 300; ++round) {
        std::vector<Step> steps;
        for (int k = 0, count = 1 + next(14); k < count; ++k) {
            steps.push_back({static_cast<double>(next(4) == 0 ? 0 : next(420)), 0.2 + next(60)});
        }
        const JointRecord rec = curve(steps, next(3) * 5);
        const Evaluation e = evaluateJoint(rec, procedure("iso-21307-slp"));
        double previousEnd = -1;
        for (const auto& phase : e.phases) {
            if (!phase) continue;
            SCOPED_TRACE(std::to_string(round) + " phase " + std::to_string(&phase - &e.phases[0]));
            EXPECT_LE(phase->startS, phase->endS);
            EXPECT_GE(phase->startS, previousEnd - 1e-9);
            EXPECT_GE(phase->startS, 0);
            EXPECT_LE(phase->endS, rec.time.empty() ? 0 : rec.time.back() * 0.2 + 1e-9);
            EXPECT_TRUE(std::isfinite(phase->meanPsi));
            previousEnd = phase->endS;
        }
    }
}

TEST(Evaluation, PhaseMeansAreTheGaugePressureOfEachPhase) {
    const Evaluation e = evaluateJoint(curve(joint()), procedure("astm-f2620"));
    ASSERT_TRUE(e.phases[1] && e.phases[4]);
    EXPECT_NEAR(e.phases[1]->meanPsi, 30, 1);
    EXPECT_NEAR(e.phases[4]->meanPsi, 337, 2);
}

// A 110 mm x 10 mm wall pipe under DVS: soak >= 100 s, changeover and build-up <= 7.2 s,
// cooling >= 13.6 min, heater 200-220 °C, joining 0.14-0.16 MPa.
JointRecord dvsJoint(const std::vector<Step>& steps) {
    JointRecord rec = curve(steps);
    rec.fields.pipeSize = QStringLiteral("110");
    rec.fields.pipeSizeUnit = 3;  // mm O.D.
    rec.fields.wall = QStringLiteral("10");
    rec.fields.wallUnit = 2;  // mm WT
    rec.fields.tempUnitIndex = 1;
    rec.fields.heaterTemp = QStringLiteral("210");
    rec.fields.interfacial[2] = QStringLiteral("21.76");  // 0.150 MPa
    return rec;
}

CheckResult resultOf(const Evaluation& e, const char* name) {
    for (const Check& c : e.checks) {
        if (c.name == QLatin1String(name)) return c.result;
    }
    ADD_FAILURE() << "no check " << name;
    return CheckResult::NotChecked;
}

TEST(Evaluation, EachCheckOnBothSidesOfItsLimit) {
    struct Case {
        const char* check;
        JointRecord rec;
        CheckResult expected;
    };
    JointRecord hot = dvsJoint(joint(200, 6, 5, 830));
    hot.fields.heaterTemp = QStringLiteral("221");
    JointRecord fahrenheit = dvsJoint(joint(200, 6, 5, 830));
    fahrenheit.fields.tempUnitIndex = 0;
    fahrenheit.fields.heaterTemp = QStringLiteral("---");
    fahrenheit.fields.extHeaterTemp = QStringLiteral("400");  // 204.4 °C
    JointRecord low = dvsJoint(joint(200, 6, 5, 830));
    low.fields.interfacial[2] = QStringLiteral("20");  // 0.138 MPa
    const std::vector<Case> cases{
        {"heater_temperature", dvsJoint(joint(200, 6, 5, 830)), CheckResult::Within},
        {"heater_temperature", hot, CheckResult::Outside},
        {"heater_temperature", fahrenheit, CheckResult::Within},
        {"interfacial_pressure", dvsJoint(joint(200, 6, 5, 830)), CheckResult::Within},
        {"interfacial_pressure", low, CheckResult::Outside},
        {"heat_soak_time", dvsJoint(joint(105, 6, 5, 830)), CheckResult::Within},
        {"heat_soak_time", dvsJoint(joint(95, 6, 5, 830)), CheckResult::Outside},
        {"open_time", dvsJoint(joint(200, 6, 5, 830)), CheckResult::Within},
        {"open_time", dvsJoint(joint(200, 8.5, 5, 830)), CheckResult::Outside},
        {"build_up_time", dvsJoint(joint(200, 6, 6, 830)), CheckResult::Within},
        {"build_up_time", dvsJoint(joint(200, 6, 9, 830)), CheckResult::Outside},
        {"cooling_time", dvsJoint(joint(200, 6, 5, 830)), CheckResult::Within},
        {"cooling_time", dvsJoint(joint(200, 6, 5, 800)), CheckResult::Outside},
        {"fusion_pressure", dvsJoint(joint(200, 6, 5, 830)), CheckResult::Within},
        {"fusion_pressure", dvsJoint(joint(200, 6, 5, 830, 380)), CheckResult::Outside},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.check);
        EXPECT_EQ(resultOf(evaluateJoint(c.rec, procedure("dvs-2207-1")), c.check), c.expected);
    }
}

TEST(Evaluation, VerdictAndReasons) {
    const Evaluation good = evaluateJoint(dvsJoint(joint(200, 6, 5, 830)), procedure("dvs-2207-1"));
    EXPECT_EQ(good.verdict, Verdict::Within);
    EXPECT_EQ(good.note,
              "Estimated from the pressure record; does not replace inspecting the bead.");
    ASSERT_TRUE(good.pipe.wallMm && good.pipe.diameterMm);
    EXPECT_DOUBLE_EQ(*good.pipe.wallMm, 10);
    EXPECT_DOUBLE_EQ(*good.pipe.diameterMm, 110);

    EXPECT_EQ(evaluateJoint(dvsJoint(joint(200, 6, 5, 800)), procedure("dvs-2207-1")).verdict,
              Verdict::Outside);

    // F2620 has no soak time: not checked, and not a reason for "incomplete".
    JointRecord ips = curve(joint(200, 6, 5, 700));
    ips.fields.pipeSize = QStringLiteral("2");  // 2" IPS DR 11: 0.216 in wall, 8 s open
    ips.fields.wall = QStringLiteral("11");
    ips.fields.heaterTemp = QStringLiteral("425");
    const Evaluation f2620 = evaluateJoint(ips, procedure("astm-f2620"));
    EXPECT_EQ(f2620.verdict, Verdict::Within);
    EXPECT_EQ(f2620.checks[2].reason, QStringLiteral("no time limit in this procedure: the heat "
                                                     "soak ends when the melt bead against the "
                                                     "heater reaches its size"));
    ASSERT_TRUE(f2620.checks[2].measured);
    EXPECT_NEAR(*f2620.checks[2].measured, 201.5, 1);
    EXPECT_EQ(f2620.checks[2].unit, "s");

    // Damaged, stopped during the soak, a pipe no table holds: incomplete, never made up.
    JointRecord damaged = ips;
    damaged.problem.item = ReportItem::Samples;
    EXPECT_EQ(evaluateJoint(damaged, procedure("astm-f2620")).verdict, Verdict::Incomplete);
    JointRecord odd = ips;
    odd.fields.pipeSize = QStringLiteral("7.77");
    const Evaluation oddPipe = evaluateJoint(odd, procedure("astm-f2620"));
    EXPECT_FALSE(oddPipe.pipe.wallMm);
    EXPECT_EQ(oddPipe.verdict, Verdict::Incomplete);
    EXPECT_EQ(oddPipe.checks[3].reason, "no wall thickness for this joint");
}

TEST(Evaluation, BadRecordsGiveNoPhasesAndNoMadeUpNumbers) {
    JointRecord empty;
    JointRecord one = curve({{300, 0.2}});
    JointRecord zeros = curve({{0, 100}});
    JointRecord ragged = curve(joint());
    ragged.sampleCount += 500;  // counts more samples than it holds
    JointRecord mechanical = curve(joint());
    mechanical.fields.modelText = QStringLiteral("ZG Mech.");
    mechanical.fields.pipeSize = QStringLiteral("Elbow 90");
    mechanical.fields.wall = QStringLiteral("4\" IPS x 4\" IPS");
    for (const JointRecord* rec : {&empty, &one, &zeros, &ragged}) {
        const Evaluation e = evaluateJoint(*rec, procedure("astm-f2620"));
        EXPECT_EQ(e.verdict, Verdict::Incomplete);
        for (const Check& c : e.checks) {
            if (c.name.endsWith(u"_time")) {
                EXPECT_EQ(c.result, CheckResult::NotChecked);
            }
        }
    }
    const Evaluation m = evaluateJoint(mechanical, procedure("astm-f2620"));
    EXPECT_FALSE(m.pipe.wallMm || m.pipe.diameterMm);
    EXPECT_EQ(m.checks[1].result, CheckResult::NotChecked);
}

TEST(Evaluation, JsonOfAnEvaluation) {
    const Evaluation e = evaluateJoint(curve({{30, 2}, {337, 4}, {337, 30}, {30, 2}, {30, 50}}),
                                       procedure("astm-f2620"));
    const QJsonObject o = QJsonDocument::fromJson(evaluationToJson(e, "a.tjr")).object();
    EXPECT_EQ(o["procedure"].toString(), "astm-f2620");
    EXPECT_TRUE(o["wall_thickness_mm"].isNull());
    EXPECT_TRUE(o["phases"].toObject()["bead_up"].isObject());
    EXPECT_TRUE(o["phases"].toObject()["cooling"].isNull());
    EXPECT_EQ(o["verdict"].toString(), "incomplete");
}

TEST(Evaluation, LeadingNumbersReadTheSameEverywhere) {
    EXPECT_EQ(leadingNumber("30 psi"), 30);
    EXPECT_EQ(leadingNumber(" 2.1 bar"), 2.1);
    EXPECT_FALSE(leadingNumber("---"));
    EXPECT_FALSE(leadingNumber(""));
}

}  // namespace
}  // namespace vr5

namespace vr5 {
namespace {

// The sample reports of tests/fixtures, made by the report generator from their descriptions.
TEST(Evaluation, PhasesOfTheSampleReports) {
    // plain_hydraulic: 8" IPS DR 11, a sample a second with noise, the first at 0 s.
    const Evaluation plain = evaluateJoint(test::decodeFixture(QStringLiteral("plain_hydraulic")),
                                           procedure("astm-f2620"));
    expectPhases(plain, {Times{9, 46.5}, Times{46.5, 290.5}, Times{290.5, 297}, Times{297, 305},
                         Times{305, 968}});
    ASSERT_TRUE(plain.pipe.diameterMm && plain.pipe.wallMm);
    EXPECT_NEAR(*plain.pipe.diameterMm, 8.625 * 25.4, 1e-9);
    EXPECT_NEAR(*plain.pipe.wallMm, 8.625 * 25.4 / 11, 1e-9);
    EXPECT_EQ(plain.verdict, Verdict::Within);

    // A full logger's record: every phase, the 24" DR 17 pipe's limits.
    const Evaluation full =
        evaluateJoint(test::decodeFixture(QStringLiteral("long_10000")), procedure("astm-f2620"));
    for (const auto& phase : full.phases) EXPECT_TRUE(phase);
    EXPECT_EQ(full.verdict, Verdict::Within);
    // A fitting on the mechanical machine: no pipe to work the time limits out from.
    const Evaluation fitting =
        evaluateJoint(test::decodeFixture(QStringLiteral("mechanical")), procedure("astm-f2620"));
    EXPECT_FALSE(fitting.pipe.wallMm || fitting.pipe.diameterMm);
    EXPECT_EQ(fitting.verdict, Verdict::Incomplete);
}

}  // namespace
}  // namespace vr5
