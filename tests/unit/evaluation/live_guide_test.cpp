#include "evaluation/live_guide.h"

#include <gtest/gtest.h>

#include <QString>
#include <vector>

#include "evaluation/procedure.h"
#include "generated_joint.h"
#include "page/guide_plot.h"
#include "page/report_page.h"
#include "settings/settings_keys.h"

// The live guide fed a joint's status replies as the logger logs it: the cues it gives and
// when, the lines the operator reads, its phase times against the report's evaluation, the
// set-up it reads its targets from, and its plot.
namespace vr5 {
namespace {

using test::GeneratedJoint;

constexpr int kEvery = 2;  // one reply every 0.4 s

GuideSetup setupFor(const GeneratedJoint& j, const char* procedureId) {
    const ProcedureLoad load = loadProcedure(QString::fromLatin1(procedureId));
    EXPECT_TRUE(load.procedure.has_value()) << load.error.toStdString();
    GuideSetup s;
    s.guides = {j.beadPsi, j.fusePsi, j.dragPsi};
    s.targetsPsi = {j.beadPsi, j.dragPsi, j.fusePsi, j.fusePsi};
    s.pipe = {10.0, 110.0};
    s.limits = phaseTimeLimits(*load.procedure, s.pipe);
    s.procedureName = load.procedure->info.name;
    return s;
}

struct Fed {
    std::vector<std::pair<GuideCue, double>> cues;  // with the reply's time
    QStringList endedLines;                         // each new one, in order
    std::vector<LimitState> endedStates;
};

Fed feedAll(LiveGuide& guide, const GeneratedJoint& j) {
    Fed fed;
    for (size_t i = 0; i < j.samples.size(); i += kEvery) {
        const double t = j.samples[i].first * 0.2;
        if (const auto cue = guide.feed(t, j.samples[i].second)) fed.cues.push_back({*cue, t});
        const QString ended = guide.endedLine();
        if (!ended.isEmpty() && (fed.endedLines.isEmpty() || fed.endedLines.back() != ended)) {
            fed.endedLines << ended;
            fed.endedStates.push_back(guide.endedState());
        }
    }
    return fed;
}

TEST(LiveGuide, CuesAsTheJointGoes) {
    struct Case {
        const char* name;
        const char* procedure;
        GeneratedJoint joint;
        std::vector<GuideCue> cues;
        // The phase whose end the operator must see called short or too long.
        std::optional<Phase> badPhase;
        LimitState badState = LimitState::Met;
        // How the cooling stands once the pressure is released.
        LimitState finalState = LimitState::Met;
    };
    auto joint = [](auto change) {
        GeneratedJoint j;
        change(j);
        return j.make();
    };
    const std::vector<Case> cases = {
        {"clean, ISO",
         "iso-21307-slp",
         joint([](GeneratedJoint&) {}),
         {GuideCue::OpenNow, GuideCue::ReleaseNow},
         std::nullopt},
        {"short soak",
         "iso-21307-slp",
         joint([](GeneratedJoint& j) { j.soakS = 60; }),
         {GuideCue::ReleaseNow},
         Phase::HeatSoak,
         LimitState::Short},
        {"long changeover",
         "dvs-2207-1",
         joint([](GeneratedJoint& j) { j.openS = 12; }),
         {GuideCue::OpenNow, GuideCue::ChangeoverEnding, GuideCue::ReleaseNow},
         Phase::Open,
         LimitState::Exceeded},
        {"quick changeover",
         "dvs-2207-1",
         joint([](GeneratedJoint& j) { j.openS = 3; }),
         {GuideCue::OpenNow, GuideCue::ReleaseNow},
         std::nullopt},
        {"second bead-up",
         "iso-21307-slp",
         joint([](GeneratedJoint& j) { j.secondBeadS = 20; }),
         {GuideCue::OpenNow, GuideCue::ReleaseNow},
         std::nullopt},
        {"cooling cut short",
         "iso-21307-slp",
         joint([](GeneratedJoint& j) { j.coolS = 300; }),
         {GuideCue::OpenNow},
         std::nullopt,
         LimitState::Met,
         LimitState::Short},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LiveGuide guide(setupFor(c.joint, c.procedure));
        const Fed fed = feedAll(guide, c.joint);
        std::vector<GuideCue> cues;
        for (const auto& [cue, t] : fed.cues) cues.push_back(cue);
        EXPECT_EQ(cues, c.cues);

        // Each cue falls due within a reply of the moment the procedure names.
        const auto& limits = guide.setup().limits;
        for (const auto& [cue, t] : fed.cues) {
            const auto& truth = c.joint.truth;
            double due = 0;
            if (cue == GuideCue::OpenNow) due = truth[1]->start + *limits[1].minS;
            if (cue == GuideCue::ChangeoverEnding)
                due = truth[2]->start + *limits[2].maxS - kChangeoverWarningS;
            if (cue == GuideCue::ReleaseNow) due = truth[4]->start + *limits[4].minS;
            EXPECT_NEAR(t, due, 0.2 * kEvery + 0.6) << guideCueText(cue).toStdString();
        }

        bool sawBad = false;
        for (qsizetype i = 0; i < fed.endedLines.size(); ++i) {
            if (fed.endedStates[size_t(i)] == LimitState::Short ||
                fed.endedStates[size_t(i)] == LimitState::Exceeded) {
                sawBad = true;
                EXPECT_EQ(fed.endedStates[size_t(i)], c.badState);
                EXPECT_TRUE(fed.endedLines[i].startsWith(guidePhaseName(*c.badPhase)))
                    << fed.endedLines[i].toStdString();
            }
        }
        EXPECT_EQ(sawBad, c.badPhase.has_value()) << fed.endedLines.join(u'|').toStdString();
        EXPECT_TRUE(guide.now().released);
        EXPECT_EQ(guide.phaseLineState(), c.finalState) << guide.phaseLine().toStdString();
    }
}

TEST(LiveGuide, TheLinesTheOperatorReads) {
    GeneratedJoint j;
    j.make();
    LiveGuide guide(setupFor(j, "iso-21307-slp"));
    EXPECT_EQ(guide.phaseLine(), "Waiting for the bead-up");
    const auto at = [&](double seconds) {
        for (size_t i = 0; i < j.samples.size() && j.samples[i].first * 0.2 <= seconds; ++i)
            guide.feed(j.samples[i].first * 0.2, j.samples[i].second);
    };
    at(j.truth[1]->start + 61.5);
    EXPECT_EQ(guide.phaseLine().toStdString(),
              "Heat soak 1:01 — at least 2:00 (ISO 21307 single low-pressure, e = 10.0 mm)");
    EXPECT_EQ(guide.phaseLineState(), LimitState::Running);
    EXPECT_TRUE(guide.endedLine().startsWith(QStringLiteral("Bead-up lasted 0:3")))
        << guide.endedLine().toStdString();
    at(j.truth[1]->start + 125);
    EXPECT_EQ(guide.phaseLineState(), LimitState::Met);
    at(j.truth[2]->start + 2);
    EXPECT_TRUE(guide.phaseLine().startsWith(QString::fromUtf8("Changeover 0:0")));
    EXPECT_TRUE(guide.phaseLine().endsWith(QStringLiteral("no limit")))
        << guide.phaseLine().toStdString();
    EXPECT_TRUE(guide.endedLine().contains(QStringLiteral("met, at least 2:00")))
        << guide.endedLine().toStdString();
    at(j.truth[4]->start + 370.5);
    EXPECT_TRUE(guide.phaseLine().startsWith(QString::fromUtf8("Cooling 6:1")))
        << guide.phaseLine().toStdString();
    EXPECT_TRUE(guide.phaseLine().endsWith(QString::fromUtf8("at least 13:00")));
}

// The guide's phase times, taken from replies while the joint is made, against the phases the
// evaluation finds on the report of the same joint: within one poll period.
TEST(LiveGuide, AgreesWithTheReportsEvaluation) {
    const ProcedureLoad iso = loadProcedure(QStringLiteral("iso-21307-slp"));
    ASSERT_TRUE(iso.procedure);
    for (int noise : {0, 3}) {
        // Polls every 300 ms take one or two samples in turn; slower links take more.
        for (int every : {0, 2, 3}) {
            SCOPED_TRACE(testing::Message() << "noise " << noise << ", every " << every);
            GeneratedJoint j;
            j.procedure = QStringLiteral("iso-21307-slp");
            j.noise = noise;
            j.make();
            LiveGuide guide(setupFor(j, "iso-21307-slp"));
            for (size_t i = 0, k = 0; i < j.samples.size(); i += every ? every : 1 + k++ % 2)
                guide.feed(j.samples[i].first * 0.2, j.samples[i].second);
            EXPECT_NEAR(guide.pollPeriodS(), every ? 0.2 * every : 0.3, 0.01);
            const Evaluation evaluation = evaluateJoint(j.record(), *iso.procedure);
            for (const GuideSummaryRow& row :
                 guideSummary(guide, evaluation, guide.pollPeriodS())) {
                SCOPED_TRACE(phaseKey(row.phase).toStdString());
                ASSERT_TRUE(row.guideS && row.reportS);
                EXPECT_TRUE(row.agrees) << *row.guideS << " against " << *row.reportS;
            }
        }
    }
}

TEST(LiveGuide, TargetsAndBandFromTheSetUp) {
    struct Case {
        const char* name;
        const char* procedure;
        QString model;
        QString piston;
        int unit;  // the pressure unit of Settings
        std::optional<double> low, high;
    };
    // 19.31 in² of pipe on a 4.71 in² piston with 30 psi of drag.
    const double ratio = 19.31 / 4.71;
    const std::vector<Case> cases = {
        {"ASTM, psi", "astm-f2620", "ZA2 HF", "4.71", 0, 60 * ratio + 30, 90 * ratio + 30},
        {"DVS in MPa, shown in bar", "dvs-2207-1", "ZA2 HF", "4.71", 1,
         0.14 * psiPerUnit(3) * ratio + 30, 0.16 * psiPerUnit(3) * ratio + 30},
        {"a fitting's set-up", "astm-f2620", "ZG Mech. 2", "4.71", 0, std::nullopt, std::nullopt},
        {"no piston area", "astm-f2620", "ZA2 HF", "--", 0, std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemorySettingsStore settings;
        settings.write(keys::PressUnitInx, c.unit);
        settings.write(keys::MachineModelText, c.model);
        settings.write(keys::PistonArea, c.piston);
        settings.write(keys::PipeAreaInch, QStringLiteral("19.31"));
        settings.write(keys::DragPressure, QStringLiteral("30 psi"));
        settings.write(keys::RecHeat, QStringLiteral("337"));
        settings.write(keys::RecSoak, QStringLiteral("-----"));
        settings.write(keys::RecFuse, QStringLiteral("23.2 bar"));
        const ProcedureLoad load = loadProcedure(QString::fromLatin1(c.procedure));
        ASSERT_TRUE(load.procedure);
        const GuideSetup s = guideSetup(settings, *load.procedure);
        ASSERT_EQ(s.bandLowPsi.has_value(), c.low.has_value());
        ASSERT_EQ(s.bandHighPsi.has_value(), c.high.has_value());
        if (c.low) {
            EXPECT_NEAR(*s.bandLowPsi, *c.low, 1e-6);
        }
        if (c.high) {
            EXPECT_NEAR(*s.bandHighPsi, *c.high, 1e-6);
        }
        // A remembered pressure is read in its own unit, or in that of Settings without one.
        ASSERT_TRUE(s.targetsPsi[0]);
        EXPECT_NEAR(*s.targetsPsi[0], 337 * psiPerUnit(c.unit), 1e-6);
        EXPECT_FALSE(s.targetsPsi[1]);
        ASSERT_TRUE(s.targetsPsi[2]);
        EXPECT_NEAR(*s.targetsPsi[2], 23.2 * psiPerUnit(1), 1e-6);
        EXPECT_FALSE(s.targetsPsi[3]);
    }
}

// A one-hour joint's replies: the plot keeps its peaks when it thins them out, and names the
// targets once each.
TEST(LiveGuide, ThePlotOfALongJoint) {
    GuideSetup s;
    s.targetsPsi = {337.0, 30.0, 337.0, 337.0};
    s.bandLowPsi = 276;
    s.bandHighPsi = 399;
    LiveGuide guide(s);
    const int replies = 12000;
    for (int i = 0; i < replies; ++i) guide.feed(i * 0.3, i == 7001 ? 900 : (i % 7) * 10);
    const PageRect box{0, 0, 6000, -3500};
    const PageDrawing d = buildGuidePlot(guide, box, PageMetrics{});
    ASSERT_EQ(d.plots.size(), 1u);
    const PlotGeometry& g = d.plots[0];

    ASSERT_FALSE(d.items.empty());
    const auto* band = std::get_if<FilledRectItem>(&d.items.front());
    ASSERT_NE(band, nullptr) << "the band lies under everything else";
    EXPECT_EQ(band->rect.top, plotPressureY(g, 399));
    EXPECT_EQ(band->rect.bottom, plotPressureY(g, 276));

    size_t points = 0;
    int highest = g.rect.bottom;
    QStringList labels;
    for (const PageItem& item : d.items) {
        if (const auto* line = std::get_if<PolylineItem>(&item)) {
            points += line->points.size();
            for (const PagePoint& p : line->points) highest = std::max(highest, p.y);
        }
        if (const auto* text = std::get_if<TextItem>(&item)) labels << text->text;
    }
    EXPECT_LE(points, size_t(kGuidePlotPoints));
    EXPECT_EQ(highest, plotPressureY(g, 900)) << "the spike of one reply is kept";
    EXPECT_TRUE(labels.contains(QStringLiteral("Bead/Fuse/Cool 337")))
        << labels.join(u'|').toStdString();
    EXPECT_TRUE(labels.contains(QStringLiteral("Soak 30")));
    EXPECT_EQ(labels.filter(QStringLiteral("Fuse")).size(), 1);
    EXPECT_TRUE(labels.contains(QStringLiteral("Live pressure (12000 readings)")));
}

}  // namespace
}  // namespace vr5

namespace vr5 {
namespace {

// The summary's agreement holds up to one poll period exactly, and no further.
TEST(LiveGuide, AgreementEndsAtOnePollPeriod) {
    GeneratedJoint j;
    j.make();
    LiveGuide guide(setupFor(j, "iso-21307-slp"));
    for (size_t i = 0; i < j.samples.size(); i += 2)
        guide.feed(j.samples[i].first * 0.2, j.samples[i].second);
    const auto durations = guide.phaseDurations();
    const double poll = 0.4;
    for (double beyond : {0.0, 0.01}) {
        SCOPED_TRACE(beyond);
        Evaluation evaluation;
        for (int i = 0; i < kPhaseCount; ++i) {
            ASSERT_TRUE(durations[size_t(i)]);
            evaluation.phases[size_t(i)] =
                PhaseSpan{100, 100 + *durations[size_t(i)] + poll + beyond};
        }
        for (const GuideSummaryRow& row : guideSummary(guide, evaluation, poll))
            EXPECT_EQ(row.agrees, beyond == 0.0) << phaseKey(row.phase).toStdString();
    }
}

}  // namespace
}  // namespace vr5

namespace vr5 {
namespace {

protocol::StatusReply replyOf(std::optional<char> logging, std::optional<QByteArray> samples,
                              std::optional<int> psi = 100) {
    protocol::StatusReply r;
    r.loggingState = logging;
    r.sampleCount = std::move(samples);
    r.pressurePsi = psi;
    return r;
}

// Which replies the guide takes, and where a new joint begins.
TEST(LiveGuide, RepliesMakeJoints) {
    struct Step {
        protocol::StatusReply reply;
        bool fed;
        bool newJoint;
    };
    GuideReplies replies;
    double last = -1;  // the guide's last reply time, as the panel keeps it
    const std::vector<Step> steps = {
        {replyOf('0', "    0"), false, false},  // idle
        {replyOf('1', "   10"), true, true},    // logging starts: a joint
        {replyOf('1', "   12"), true, false},
        {replyOf('1', "  abc"), false, false},      // no count: nothing fed
        {replyOf('1', "   -3"), false, false},      // a count below zero
        {replyOf('1', "   13", {}), false, false},  // no pressure
        {replyOf('1', "   14"), true, false},       // the same joint goes on
        {replyOf('1', "    2"), true, true},        // time went back: a new run
        {replyOf('2', "  500"), false, false},      // finished: the joint stays
        {replyOf({}, "  501"), false, false},       // no state: nothing changes
        {replyOf('1', "  600"), true, true},        // logging again after finishing: a joint
    };
    for (size_t i = 0; i < steps.size(); ++i) {
        SCOPED_TRACE(i);
        const GuideReplies::Taken taken = replies.take(steps[i].reply, last);
        EXPECT_EQ(taken.reading.has_value(), steps[i].fed);
        EXPECT_EQ(taken.newJoint, steps[i].newJoint);
        if (taken.reading) {
            EXPECT_DOUBLE_EQ(taken.reading->timeS,
                             steps[i].reply.sampleCount->trimmed().toInt() * 0.2);
            last = taken.reading->timeS;
        }
    }
}

}  // namespace
}  // namespace vr5
