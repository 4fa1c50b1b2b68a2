// The evaluation page as a drawing, from hand-made evaluations: the marks, the verdict, the
// phases in the report's unit, the shading on the summary plot, and values no page should show.

#include "page/evaluation_page.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "page/report_page.h"
#include "test_support.h"
#include "text/tick_format.h"

namespace vr5 {
namespace {

using test::inside;
using test::itemsOf;

constexpr PageMetrics kMetrics{59, 153, 120, 92};
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The phases of the plain hydraulic fixture, in seconds.
constexpr PhaseSpan kPlainPhases[kPhaseCount] = {
    {5, 45, 337}, {50, 290, 30}, {290, 298, 2}, {298, 306, 200}, {306, 966, 337}};

AppliedLimit limit(std::optional<double> min, std::optional<double> max, const char* unit,
                   LimitStatus status = LimitStatus::Confirmed) {
    AppliedLimit l;
    l.min = min;
    l.max = max;
    l.unit = QString::fromUtf8(unit);
    l.source = QStringLiteral("ASTM F2620");
    l.status = status;
    return l;
}

// Every check measured and within its limit, every phase found, the pipe known.
Evaluation allWithin() {
    Evaluation e;
    e.procedure = {QStringLiteral("astm-f2620"), QStringLiteral("ASTM F2620"),
                   QStringLiteral("2019")};
    e.pipe = {19.8, 219.1};
    for (int i = 0; i < kPhaseCount; ++i) e.phases[static_cast<size_t>(i)] = kPlainPhases[i];
    const struct {
        const char* name;
        double measured;
        const char* unit;
        AppliedLimit limit;
    } checks[] = {
        {"heater_temperature", 428, "\u00B0F", limit(400, 450, "\u00B0F")},
        {"interfacial_pressure", 75, "psi", limit(60, 90, "psi", LimitStatus::CommonPractice)},
        {"heat_soak_time", 240, "s", limit(std::nullopt, std::nullopt, "s")},
        {"open_time", 8, "s", limit(std::nullopt, 15, "s", LimitStatus::CommonPractice)},
        {"build_up_time", 8, "s", limit(std::nullopt, std::nullopt, "s")},
        {"cooling_time", 11, "min", limit(8.6, std::nullopt, "min", LimitStatus::OneSource)},
        {"fusion_pressure", 75, "psi", limit(60, 90, "psi")},
    };
    for (const auto& c : checks) {
        Check check;
        check.name = QString::fromLatin1(c.name);
        check.measured = c.measured;
        check.unit = QString::fromUtf8(c.unit);
        check.limit = c.limit;
        const bool applies = c.limit.applies();
        if (!applies) check.limit.reason = QStringLiteral("not part of this procedure");
        check.result = applies ? CheckResult::Within : CheckResult::NotChecked;
        e.checks << check;
    }
    e.verdict = Verdict::Within;
    return e;
}

QStringList textsOf(const PageDrawing& d) {
    QStringList out;
    for (const TextItem& t : itemsOf<TextItem>(d)) out << t.text;
    return out;
}

std::vector<TextItem> textsIn(const PageDrawing& d, Rgb color) {
    std::vector<TextItem> out;
    for (const TextItem& t : itemsOf<TextItem>(d)) {
        if (t.color == color) out.push_back(t);
    }
    return out;
}

// The check table's result marks, top to bottom.
QStringList marks(const PageDrawing& d) {
    QStringList out;
    for (const TextItem& t : itemsOf<TextItem>(d)) {
        if (t.font == FontRole::Main &&
            (t.text == u"within" || t.text == u"OUTSIDE" || t.text == u"not checked")) {
            out << t.text;
        }
    }
    return out;
}

// The shaded bands on the summary plot (the legend's swatches lie below it).
std::vector<FilledRectItem> bands(const PageDrawing& d) {
    std::vector<FilledRectItem> out;
    if (d.plots.empty()) return out;
    for (const FilledRectItem& f : itemsOf<FilledRectItem>(d)) {
        if (inside(d.plots.front().rect, {f.rect.left, f.rect.top})) out.push_back(f);
    }
    return out;
}

TEST(EvaluationPage, MarksVerdictPhasesAndPipe) {
    const JointRecord rec = test::decodeFixture(QStringLiteral("plain_hydraulic"));
    ASSERT_GE(rec.headerLines.size(), 2);

    Evaluation oneOutside = allWithin();
    oneOutside.checks[3].measured = 21;
    oneOutside.checks[3].result = CheckResult::Outside;
    oneOutside.verdict = Verdict::Outside;

    Evaluation phasesMissing = allWithin();
    phasesMissing.phases = {};
    for (Check& c : phasesMissing.checks) {
        if (c.name.endsWith(u"_time")) {
            c.measured.reset();
            c.result = CheckResult::NotChecked;
            c.reason = QStringLiteral("the phase was not found on the curve");
        }
    }
    phasesMissing.verdict = Verdict::Incomplete;

    Evaluation pipeUnknown = allWithin();
    pipeUnknown.pipe = {};
    pipeUnknown.procedure.edition.clear();

    // Nothing could be evaluated: no phases, no check made, no pipe.
    Evaluation notEvaluated;
    notEvaluated.procedure = {QStringLiteral("dvs-2207-1"), QStringLiteral("DVS 2207-1"),
                              QString()};
    for (const QString& name : checkNames()) {
        Check check;
        check.name = name;
        check.reason = QStringLiteral("the record holds no samples");
        notEvaluated.checks << check;
    }

    const QString within = QStringLiteral("within");
    const QString outside = QStringLiteral("OUTSIDE");
    const QString unchecked = QStringLiteral("not checked");
    const struct Case {
        const char* name;
        Evaluation e;
        QStringList marks;
        const char* verdict;
        Rgb verdictColor;
        const char* procedure;
        const char* diameter;
        int phasesFound;
        bool commonPracticeNote;
    } cases[] = {
        {"all within",
         allWithin(),
         {within, within, unchecked, within, unchecked, within, within},
         "Within the procedure's limits",
         kWithinColor,
         "ASTM F2620, edition 2019",
         "219.1 mm (8.626 in)",
         5,
         true},
        {"one outside",
         oneOutside,
         {within, within, unchecked, outside, unchecked, within, within},
         "OUTSIDE the procedure's limits",
         kOutsideColor,
         "ASTM F2620, edition 2019",
         "219.1 mm (8.626 in)",
         5,
         true},
        {"phases missing",
         phasesMissing,
         {within, within, unchecked, unchecked, unchecked, unchecked, within},
         "Incomplete: not every check could be made",
         kNotCheckedColor,
         "ASTM F2620, edition 2019",
         "219.1 mm (8.626 in)",
         0,
         true},
        {"pipe unknown",
         pipeUnknown,
         {within, within, unchecked, within, unchecked, within, within},
         "Within the procedure's limits",
         kWithinColor,
         "ASTM F2620",
         "not known",
         5,
         true},
        {"not evaluated yet", notEvaluated, QStringList(checkNames().size(), unchecked),
         "Incomplete: not every check could be made", kNotCheckedColor, "DVS 2207-1", "not known",
         0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const PageDrawing d =
            buildEvaluationPage(rec, c.e, QStringLiteral("/r/x.tjr"), kMetrics, Medium::Screen);
        const QStringList texts = textsOf(d);
        EXPECT_EQ(marks(d), c.marks);
        for (const TextItem& t : itemsOf<TextItem>(d)) {
            if (t.text == u"OUTSIDE") {
                EXPECT_EQ(t.color, kOutsideColor);
            } else if (t.text == u"within") {
                EXPECT_EQ(t.color, kWithinColor);
            }
        }
        int verdicts = 0;
        for (const TextItem& t : textsIn(d, c.verdictColor)) verdicts += t.text == c.verdict;
        EXPECT_EQ(verdicts, 1);
        EXPECT_TRUE(texts.contains(QString::fromUtf8(c.procedure)));
        EXPECT_TRUE(texts.contains(QString::fromUtf8(c.diameter)));
        EXPECT_EQ(texts.contains(QString::fromUtf8(kCommonPracticeNote)), c.commonPracticeNote);
        EXPECT_EQ(texts.count(QStringLiteral("not found")), kPhaseCount - c.phasesFound);
        EXPECT_EQ(static_cast<int>(bands(d).size()), c.phasesFound);
        // Every check that was not checked says why, in words.
        int reasons = 0;
        for (const QString& t : texts) reasons += t.startsWith(u"Not checked: ");
        EXPECT_EQ(reasons, c.marks.count(unchecked));
        // The fixed lines: the title and path as on the report page, the note, the foot line.
        EXPECT_TRUE(texts.contains(QStringLiteral("Tarnell Joint Report (VR5)")));
        EXPECT_TRUE(texts.contains(QStringLiteral("/r/x.tjr")));
        EXPECT_TRUE(texts.contains(QStringLiteral(
            "Estimated from the pressure record; does not replace inspecting the bead.")));
        EXPECT_TRUE(texts.contains(identificationLine()));
    }
}

// A demo record and a joint of another material say so under the verdict, never "within".
TEST(EvaluationPage, DemoAndMaterialLinesUnderTheVerdict) {
    const Procedure astm = loadProcedure(QStringLiteral("astm-f2620")).procedure.value();
    JointRecord demo = test::decodeFixture(QStringLiteral("plain_hydraulic"));
    demo.fields.demo = 1;
    JointRecord nylon = test::decodeFixture(QStringLiteral("plain_hydraulic"));
    nylon.fields.material = QStringLiteral("PA 12");
    const struct {
        const JointRecord* rec;
        const char* verdict;
        QString line;
    } cases[] = {
        {&demo, kDemoVerdict, QString::fromUtf8(kDemoLine)},
        {&nylon, "Incomplete: not every check could be made",
         QStringLiteral("The pipe material PA 12 is not one this procedure is for (PE): its limits "
                        "are not checked.")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.verdict);
        const PageDrawing d =
            buildEvaluationPage(*c.rec, evaluateJoint(*c.rec, astm), QStringLiteral("/r/x.tjr"),
                                kMetrics, Medium::Screen);
        const QStringList texts = textsOf(d);
        EXPECT_TRUE(texts.contains(QString::fromUtf8(c.verdict)));
        EXPECT_TRUE(texts.contains(c.line));
        EXPECT_FALSE(texts.contains(QStringLiteral("Within the procedure's limits")));
    }
}

TEST(EvaluationPage, PhasesInTheReportsUnit) {
    Evaluation e = allWithin();
    e.phases[0] = PhaseSpan{5, 45, 290};
    const struct {
        const char* fixture;
        const char* description;
        const char* heading;
        const char* mean;
    } cases[] = {
        {"plain_hydraulic", nullptr, "Mean gauge pressure (psi)", "290"},
        {"bar", nullptr, "Mean gauge pressure (bar)", "20"},
        {"mpa", nullptr, "Mean gauge pressure (MPa)", "2"},
        {nullptr, "pressure_unit: kg/cm2\nhold: 500\nramp: 300 50\nhold: 500",
         "Mean gauge pressure (Kg/cm2)", "20.4"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.heading);
        const JointRecord rec = c.fixture
                                    ? test::decodeFixture(QString::fromLatin1(c.fixture))
                                    : test::decodeDescription(QString::fromLatin1(c.description));
        const PageDrawing d =
            buildEvaluationPage(rec, e, QStringLiteral("/r/x.tjr"), kMetrics, Medium::Paper);
        const QStringList texts = textsOf(d);
        EXPECT_TRUE(texts.contains(QString::fromUtf8(c.heading))) << texts.join(u'|').toStdString();
        // The bead-up row: its name, start, duration and mean on one line.
        std::vector<TextItem> row;
        int y = 0;
        for (const TextItem& t : itemsOf<TextItem>(d)) {
            if (t.text == u"Bead-up" && t.font == FontRole::Main) {
                y = t.at.y;  // the table's row, not the legend's below the plot
                break;
            }
        }
        for (const TextItem& t : itemsOf<TextItem>(d)) {
            if (t.at.y == y && t.font == FontRole::Main) row.push_back(t);
        }
        ASSERT_EQ(row.size(), 4u);
        EXPECT_EQ(row[1].text, "0:00:05.0");
        EXPECT_EQ(row[2].text, "40.0 s");
        EXPECT_EQ(row[3].text, c.mean);
        // Paper carries the logo, as the report page does.
        EXPECT_EQ(itemsOf<BitmapItem>(d).size(), 1u);
    }
}

TEST(EvaluationPage, ShadingFollowsThePhasesOnTheSummaryPlot) {
    const JointRecord rec = test::decodeFixture(QStringLiteral("plain_hydraulic"));
    const Evaluation e = allWithin();
    const PageDrawing d =
        buildEvaluationPage(rec, e, QStringLiteral("/r/x.tjr"), kMetrics, Medium::Screen);
    ASSERT_EQ(d.plots.size(), 1u);
    const PlotGeometry& g = d.plots.front();
    EXPECT_EQ(g.kind, 2);
    EXPECT_EQ(g.timeStart, 0);
    EXPECT_EQ(g.timeEnd, rec.Time(rec.sampleCount - 1));

    const std::vector<FilledRectItem> shaded = bands(d);
    ASSERT_EQ(shaded.size(), 5u);
    for (int i = 0; i < kPhaseCount; ++i) {
        SCOPED_TRACE(i);
        const FilledRectItem& band = shaded[static_cast<size_t>(i)];
        EXPECT_EQ(band.fill, phaseShade(static_cast<Phase>(i)));
        EXPECT_EQ(band.rect.top, g.rect.top);
        EXPECT_EQ(band.rect.bottom, g.rect.bottom);
        const int start = plotTimeX(g, static_cast<int>(kPlainPhases[i].startS) * 5);
        const int end = plotTimeX(g, static_cast<int>(kPlainPhases[i].endS) * 5);
        // A phase too short for the scale still shows, a few units wide.
        if (end - start >= 12) {
            EXPECT_EQ(band.rect.left, start);
            EXPECT_EQ(band.rect.right, end);
        } else {
            EXPECT_GT(band.rect.right, band.rect.left);
            EXPECT_LE(band.rect.left, end);
            EXPECT_GE(band.rect.right, start);
        }
    }
    // Under the curve: every band comes before the curve's polyline.
    size_t lastBand = 0, firstCurve = d.items.size();
    for (size_t i = 0; i < d.items.size(); ++i) {
        const auto* band = std::get_if<FilledRectItem>(&d.items[i]);
        if (band && inside(g.rect, {band->rect.left, band->rect.top})) {
            lastBand = i;
        }
        if (std::holds_alternative<PolylineItem>(d.items[i])) firstCurve = std::min(firstCurve, i);
    }
    EXPECT_LT(lastBand, firstCurve);
    // The long phases are named in their band; every phase is named in the legend.
    const QStringList texts = textsOf(d);
    EXPECT_EQ(texts.count(QStringLiteral("Heat soak")), 3);  // table, band, legend
    EXPECT_EQ(texts.count(QStringLiteral("Fusion and cooling")), 3);
    EXPECT_EQ(texts.count(QStringLiteral("Open/changeover")), 2);  // too narrow for its band
}

TEST(EvaluationPage, CellTexts) {
    const struct {
        double value;
        const char* shown;
    } numbers[] = {
        {0.172, "0.172"}, {8.4, "8.4"}, {450, "450"}, {44.0, "44"},     {75.36, "75.4"},
        {-0.0, "0"},      {0, "0"},     {2.5, "2.5"}, {kNaN, "\u2014"},
    };
    for (const auto& n : numbers) EXPECT_EQ(evaluationNumber(n.value), n.shown) << n.shown;

    // Every check has a title of words, not its name in the files.
    for (const QString& name : checkNames()) {
        EXPECT_FALSE(checkTitle(name).contains(u'_')) << name.toStdString();
    }

    const JointRecord rec = test::decodeFixture(QStringLiteral("plain_hydraulic"));
    const struct {
        AppliedLimit limit;
        const char* reason;
        const char* shown;
    } limits[] = {
        {limit(400, 450, "\u00B0F"), "", "400\u2013450 \u00B0F"},
        {limit(363, std::nullopt, "s"), "", "at least 363 s"},
        {limit(std::nullopt, 16, "s"), "", "at most 16 s"},
        {limit(0.15, 0.19, "MPa"), "", "0.15\u20130.19 MPa"},
        {limit(std::nullopt, 15, "s", LimitStatus::CommonPractice), "",
         "at most 15 s (common practice)"},
        {limit(std::nullopt, std::nullopt, "s", LimitStatus::CommonPractice), "", "\u2014"},
        {limit(6, 10, "min"), "wall outside every row", "\u2014"},
        {limit(std::nullopt, std::nullopt, "s"), "", "\u2014"},
    };
    for (const auto& l : limits) {
        SCOPED_TRACE(l.shown);
        Evaluation e = allWithin();
        e.checks = {e.checks[0]};
        e.checks[0].limit = l.limit;
        e.checks[0].limit.reason = QString::fromUtf8(l.reason);
        const PageDrawing d =
            buildEvaluationPage(rec, e, QStringLiteral("/r/x.tjr"), kMetrics, Medium::Screen);
        const QStringList texts = textsOf(d);
        EXPECT_TRUE(texts.contains(QString::fromUtf8(l.shown))) << texts.join(u'|').toStdString();
        EXPECT_TRUE(texts.contains(QStringLiteral("Source: ASTM F2620")));
        // The note that explains the mark comes with it.
        EXPECT_EQ(texts.contains(QString::fromUtf8(kCommonPracticeNote)),
                  QString::fromUtf8(l.shown).endsWith(u"(common practice)"));
    }
}

TEST(EvaluationPage, AValueJustPastItsLimitNeverReadsAsOnIt) {
    const JointRecord rec = test::decodeFixture(QStringLiteral("plain_hydraulic"));
    const struct {
        double measured;
        AppliedLimit limit;
        CheckResult result;
        const char* shown;
    } cases[] = {
        {450.4, limit(400, 450, "\u00B0F"), CheckResult::Outside, "450.4 \u00B0F"},
        {449.6, limit(400, 450, "\u00B0F"), CheckResult::Within, "450 \u00B0F"},
        {0.1498, limit(0.15, 0.19, "MPa"), CheckResult::Outside, "0.1498 MPa"},
        {0.15, limit(0.15, 0.19, "MPa"), CheckResult::Within, "0.15 MPa"},
        {362.99, limit(363, std::nullopt, "s"), CheckResult::Outside, "362.99 s"},
        {363, limit(363, std::nullopt, "s"), CheckResult::Within, "363 s"},
        {16.00001, limit(std::nullopt, 16, "s"), CheckResult::Outside, "16.00001 s"},
        // Past what any page shows: the usual rounding.
        {16.0000001, limit(std::nullopt, 16, "s"), CheckResult::Outside, "16 s"},
        {450.4, limit(400, 450, "\u00B0F"), CheckResult::NotChecked, "450 \u00B0F"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown);
        Evaluation e = allWithin();
        e.checks = {e.checks[0]};
        e.checks[0].measured = c.measured;
        e.checks[0].unit = c.limit.unit;
        e.checks[0].limit = c.limit;
        e.checks[0].result = c.result;
        const PageDrawing d =
            buildEvaluationPage(rec, e, QStringLiteral("/r/x.tjr"), kMetrics, Medium::Screen);
        const QStringList texts = textsOf(d);
        EXPECT_TRUE(texts.contains(QString::fromUtf8(c.shown))) << texts.join(u'|').toStdString();
    }
}

TEST(EvaluationPage, DamagedValuesStayOnThePage) {
    const JointRecord rec = test::decodeFixture(QStringLiteral("plain_hydraulic"));
    Evaluation e = allWithin();
    e.phases[0] = PhaseSpan{kNaN, kNaN, kNaN};
    e.phases[1] = PhaseSpan{400, 100, -5};  // ends before it starts
    e.phases[2] = PhaseSpan{1e300, 1e301, 1e12};
    e.phases[3] = PhaseSpan{-50, -10, 0};
    e.pipe = {kNaN, -3};
    e.checks[0].measured = std::numeric_limits<double>::infinity();
    e.checks[1].name = QStringLiteral("a_check_nobody_knows");
    e.checks[1].limit.source = QString(300, u'x');
    e.checks[2].reason = QString(500, u'y');
    e.procedure = {};
    const PageDrawing d =
        buildEvaluationPage(rec, e, QStringLiteral("/r/x.tjr"), kMetrics, Medium::Screen);
    const PageRect page{0, 0, kPageWidth, -kPageHeight};
    for (const TextItem& t : itemsOf<TextItem>(d)) {
        EXPECT_TRUE(inside(page, t.at)) << t.text.toStdString();
        EXPECT_FALSE(t.text.contains(QStringLiteral("nan"), Qt::CaseInsensitive) ||
                     t.text.contains(QStringLiteral("inf"), Qt::CaseInsensitive))
            << t.text.toStdString();
        // Long texts are cut before the right edge of the page's boxes.
        if (t.text.contains(QStringLiteral("xxxx")) || t.text.contains(QStringLiteral("yyyy"))) {
            EXPECT_LE(t.rightEdge, 8000);
        }
    }
    for (const FilledRectItem& f : itemsOf<FilledRectItem>(d)) {
        EXPECT_TRUE(inside(page, {f.rect.left, f.rect.top}));
        EXPECT_TRUE(inside(page, {f.rect.right, f.rect.bottom}));
        EXPECT_GE(f.rect.right, f.rect.left);
    }
    EXPECT_EQ(textsOf(d).count(QStringLiteral("not known")), 2);
    EXPECT_TRUE(textsOf(d).contains(QStringLiteral("a_check_nobody_knows")));

    // A file whose header could not be read has no page, as the report page has none.
    JointRecord empty;
    EXPECT_TRUE(buildEvaluationPage(empty, e, QString(), kMetrics, Medium::Screen).items.empty());
}

}  // namespace
}  // namespace vr5
