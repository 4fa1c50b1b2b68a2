// The Analyzer: where its two points may go, what it reads out, and the page it shows.

#include "page/analyzer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <type_traits>
#include <variant>
#include <vector>

#include "page/report_page.h"
#include "test_support.h"
#include "text/tick_format.h"

namespace vr5 {
namespace {

using test::inside;
using test::itemsOf;

constexpr PageMetrics kMetrics{59, 153, 120, 92};

// 500 samples a second apart, rising evenly to 400 psi, then a heater-removal rise at the end.
const char* const k500Points = "ramp: 400 2500";

TEST(Analyzer, SliderRules) {
    enum Slider { One, Two };
    struct Move {
        Slider slider;
        int position;
        int stays;  // where the moved slider ends up
    };
    struct Case {
        const char* name;
        int count;
        std::vector<Move> moves;
        int point1, point2;
    } cases[] = {
        {"opens on the first and last point", 500, {}, 1, 500},
        {"slider 1 anywhere below slider 2", 500, {{One, 300, 300}, {One, 499, 499}}, 499, 500},
        {"slider 1 dragged onto slider 2 at 300 stops at 299",
         500,
         {{Two, 300, 300}, {One, 300, 299}},
         299,
         300},
        {"slider 1 dragged past slider 2", 500, {{Two, 300, 300}, {One, 450, 299}}, 299, 300},
        {"slider 2 dragged below slider 1 stops one above it",
         500,
         {{One, 200, 200}, {Two, 200, 201}, {Two, 5, 201}},
         200,
         201},
        {"slider 1 onto the last point", 500, {{One, 500, 499}}, 499, 500},
        {"slider 2 onto the first point", 500, {{Two, 1, 2}}, 1, 2},
        {"arrow keys: one point at a time",
         500,
         {{One, 2, 2}, {One, 3, 3}, {Two, 499, 499}, {Two, 498, 498}, {One, 2, 2}},
         2,
         498},
        {"positions never leave 1..N",
         500,
         {{One, 0, 1}, {One, -7, 1}, {Two, 501, 500}, {Two, 100000, 500}},
         1,
         500},
        {"two points cannot cross", 2, {{One, 2, 1}, {Two, 1, 2}, {One, 9, 1}}, 1, 2},
        {"one data point: nothing to choose", 1, {{One, 5, 1}, {Two, 0, 1}}, 1, 1},
        {"no data points: nothing to choose", 0, {{One, 1, 1}, {Two, 1, 1}}, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AnalyzerModel m(c.count);
        EXPECT_EQ(m.first(), 1);
        EXPECT_EQ(m.last(), std::max(c.count, 1));
        EXPECT_EQ(m.canChoose(), c.count >= 2);
        for (const Move& move : c.moves) {
            const int stays =
                move.slider == One ? m.movePoint1(move.position) : m.movePoint2(move.position);
            EXPECT_EQ(stays, move.stays) << "slider " << move.slider + 1 << " to " << move.position;
            EXPECT_GE(m.point1(), m.first());
            EXPECT_LE(m.point2(), m.last());
            if (m.canChoose()) {
                EXPECT_LT(m.point1(), m.point2());
            }
        }
        EXPECT_EQ(m.point1(), c.point1);
        EXPECT_EQ(m.point2(), c.point2);
    }
    EXPECT_EQ(AnalyzerModel::pointLabel(1), "#1");
    EXPECT_EQ(AnalyzerModel::pointLabel(10000), "#10000");
}

TEST(Analyzer, PressureInEachUnit) {
    struct Case {
        int psi, unit;
        double psiPerUnit;
        const char* text;
    } cases[] = {
        {178, 0, 1.0, "178psi"},
        {0, 0, 1.0, "0psi"},
        {-3, 0, 1.0, "-3psi"},
        // Whole psi are cut, never rounded, towards zero.
        {200, 0, 3.0, "66psi"},
        {-200, 0, 3.0, "-66psi"},
        {100, 7, 1.0, "100psi"},  // an unknown unit reads as psi
        {100, 1, 14.5, "6.9 bar"},
        {340, 1, 14.5, "23.4 bar"},
        {0, 1, 14.5, "0.0 bar"},
        {-1, 1, 14.5, "-0.1 bar"},
        {100, 2, 14.2, "7.0 Kg/cm2"},
        {378, 2, 14.2, "26.6 Kg/cm2"},
        {378, 3, 145.0, "2.607 MPa"},
        {100, 3, 145.0, "0.690 MPa"},
        {1, 3, 145.0, "0.007 MPa"},
        {4000, 3, 145.0, "27.586 MPa"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(analyzerPressureText(c.psi, c.unit, c.psiPerUnit), c.text)
            << c.psi << " psi, unit " << c.unit;
    }
}

TEST(Analyzer, Readout) {
    // An hour apart; the last sample's stored pressure is above 4000, which reads as 0.
    const char* const samples =
        "sample: 0 100\nsample: 1505 340\nsample: 18007 378\nsample: 18008 5000\n";
    struct Case {
        const char* unit;
        int point1, point2;
        const char* readout;
    } cases[] = {
        {"psi", 1, 3, "Analyzer: 100psi at 0:00:00.0   (delta: 1:00:01.4)   378psi at 1:00:01.4"},
        {"bar", 1, 3,
         "Analyzer: 6.9 bar at 0:00:00.0   (delta: 1:00:01.4)   26.1 bar at 1:00:01.4"},
        {"kg/cm2", 2, 3,
         "Analyzer: 23.9 Kg/cm2 at 0:05:01.0   (delta: 0:55:00.4)   26.6 Kg/cm2 at 1:00:01.4"},
        {"MPa", 2, 3,
         "Analyzer: 2.345 MPa at 0:05:01.0   (delta: 0:55:00.4)   2.607 MPa at 1:00:01.4"},
        {"psi", 3, 4, "Analyzer: 378psi at 1:00:01.4   (delta: 0:00:00.2)   0psi at 1:00:01.6"},
        // Points beyond the record are taken as its first and last.
        {"psi", 0, 9, "Analyzer: 100psi at 0:00:00.0   (delta: 1:00:01.6)   0psi at 1:00:01.6"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.readout);
        const JointRecord rec = test::decodeDescription(
            QStringLiteral("pressure_unit: %1\n").arg(QString::fromUtf8(c.unit)) +
            QString::fromUtf8(samples));
        ASSERT_EQ(rec.sampleCount, 4);
        EXPECT_EQ(analyzerReadout(rec, c.point1, c.point2), c.readout);
        const AnalyzerView view = analyzerView(rec, c.point1, c.point2);
        EXPECT_TRUE(view.active);
        EXPECT_EQ(view.point1, c.point1);
        EXPECT_EQ(view.point2, c.point2);
        EXPECT_EQ(view.readout, c.readout);
    }

    // A report without samples has nothing to read out.
    const JointRecord empty =
        test::decodeDescription(QStringLiteral("summary: SM0000  00000  00000"));
    ASSERT_EQ(empty.sampleCount, 0);
    EXPECT_EQ(analyzerReadout(empty, 1, 1), "");

    // Opening on a 500-point report: the delta is the whole record.
    const JointRecord rec = test::decodeDescription(QString::fromUtf8(k500Points));
    ASSERT_EQ(rec.sampleCount, 500);
    const QString whole = analyzerReadout(rec, 1, 500);
    EXPECT_TRUE(
        whole.contains(QStringLiteral("(delta: %1)").arg(formatTicks(rec.Time(499) - rec.Time(0)))))
        << whole.toStdString();
}

int mapX(const PlotGeometry& g, int t) {
    const PageRect& r = g.rect;
    return r.left + (r.right - r.left) * (t - g.timeStart) / std::max(g.timeEnd - g.timeStart, 1);
}

TEST(Analyzer, PageLayout) {
    const JointRecord rec = test::decodeDescription(QString::fromUtf8(k500Points) +
                                                    QStringLiteral("\nstep: 600\nhold: 100"));
    ASSERT_EQ(rec.sampleCount, 521);
    ASSERT_NE(rec.heaterRemoval, 0);
    const int n = rec.sampleCount;
    struct Case {
        int point1, point2;
    } cases[] = {{1, n}, {100, 300}, {299, 300}, {n - 1, n}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.point1 << ".." << c.point2);
        const AnalyzerView view = analyzerView(rec, c.point1, c.point2);
        for (Medium medium : {Medium::Screen, Medium::Paper}) {
            const PageDrawing d =
                buildReportPage(rec, QStringLiteral("/r/x.tjr"), kMetrics, medium, view);
            // The summary plot in box 1, the stretch in box 2, nothing in box 3.
            ASSERT_EQ(d.plots.size(), 2u);
            const PlotGeometry& summary = d.plots[0];
            const PlotGeometry& stretch = d.plots[1];
            EXPECT_EQ(summary.kind, 2);
            EXPECT_EQ(stretch.kind, 1);
            EXPECT_TRUE(inside(plotBox(0), {summary.rect.left, summary.rect.top}));
            EXPECT_TRUE(inside(plotBox(1), {stretch.rect.left, stretch.rect.top}));
            EXPECT_EQ(summary.timeStart, 0);
            EXPECT_EQ(summary.timeEnd, rec.Time(n - 1));
            EXPECT_EQ(stretch.timeStart, rec.Time(c.point1 - 1));
            EXPECT_EQ(stretch.timeEnd, rec.Time(c.point2 - 1));

            const PageRect box3 = plotBox(2);
            for (const PageItem& item : d.items) {
                std::visit(
                    [&](const auto& it) {
                        using T = std::decay_t<decltype(it)>;
                        if constexpr (std::is_same_v<T, FrameItem>) {
                            if (!(it.rect == box3)) {
                                EXPECT_FALSE(inside(box3, {it.rect.left, it.rect.top}));
                            }
                        } else if constexpr (std::is_same_v<T, LineItem>) {
                            EXPECT_FALSE(inside(box3, it.from));
                        } else if constexpr (std::is_same_v<T, PolylineItem>) {
                            EXPECT_FALSE(inside(box3, it.points.front()));
                        } else if constexpr (std::is_same_v<T, TextItem>) {
                            // The identification line sits on the box's bottom edge.
                            if (it.font != FontRole::Small) {
                                EXPECT_FALSE(inside(box3, it.at));
                            }
                        }
                    },
                    item);
            }

            // Two red lines, full height, at the two points' times on the summary plot only.
            std::vector<int> red;
            for (const LineItem& l : itemsOf<LineItem>(d)) {
                if (!(l.pen == kAnalyzerPen)) continue;
                EXPECT_EQ(l.from.x, l.to.x);
                EXPECT_EQ(l.from.y, summary.rect.top);
                EXPECT_EQ(l.to.y, summary.rect.bottom);
                red.push_back(l.from.x);
            }
            EXPECT_EQ(red, (std::vector<int>{mapX(summary, rec.Time(c.point1 - 1)),
                                             mapX(summary, rec.Time(c.point2 - 1))}));
            EXPECT_EQ(kAnalyzerPen, (Pen{rgb(250, 10, 10), 2}));

            // The stretch is titled with the readout; its time labels are absolute.
            const std::vector<TextItem> texts = itemsOf<TextItem>(d);
            const auto title = std::find_if(texts.begin(), texts.end(), [&](const TextItem& t) {
                return t.text == view.readout;
            });
            ASSERT_NE(title, texts.end());
            EXPECT_EQ(title->at, (PagePoint{(stretch.rect.left + stretch.rect.right) / 2,
                                            stretch.rect.top + kMetrics.ch * 3 / 2}));
            EXPECT_EQ(title->halign, HAlign::Center);
            const PagePoint firstLabel{stretch.rect.left - 5 * kMetrics.cw,
                                       stretch.rect.bottom - kMetrics.ch / 2};
            EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), [&](const TextItem& t) {
                return t.at == firstLabel && t.text == formatTicks(stretch.timeStart);
            }));
            EXPECT_TRUE(std::none_of(texts.begin(), texts.end(), [](const TextItem& t) {
                return t.text.startsWith(u"Front-end Plot") || t.text.startsWith(u"Heater Removal");
            }));

            // The stretch's curve runs from its left edge to its right edge and no further.
            std::vector<PagePoint> curve;
            for (const PolylineItem& p : itemsOf<PolylineItem>(d)) {
                if (inside(stretch.rect, p.points.front()))
                    curve.insert(curve.end(), p.points.begin(), p.points.end());
            }
            ASSERT_FALSE(curve.empty());
            for (const PagePoint& p : curve) EXPECT_TRUE(inside(stretch.rect, p));
            EXPECT_EQ(curve.front().x, stretch.rect.left);
            EXPECT_EQ(curve.back().x, stretch.rect.right);
        }
    }
}

// Everything a drawing holds, as text, so that two drawings compare whole.
std::string dump(const PageDrawing& d) {
    std::ostringstream out;
    auto point = [&out](PagePoint p) { out << p.x << ',' << p.y << ' '; };
    auto rect = [&out](const PageRect& r) {
        out << r.left << ',' << r.top << ',' << r.right << ',' << r.bottom << ' ';
    };
    auto pen = [&out](const Pen& p) { out << "pen " << p.color << '/' << p.width << ' '; };
    for (const PageItem& item : d.items) {
        std::visit(
            [&](const auto& it) {
                using T = std::decay_t<decltype(it)>;
                if constexpr (std::is_same_v<T, LineItem>) {
                    out << "line ";
                    point(it.from);
                    point(it.to);
                    pen(it.pen);
                } else if constexpr (std::is_same_v<T, FrameItem>) {
                    out << "frame ";
                    rect(it.rect);
                    pen(it.pen);
                } else if constexpr (std::is_same_v<T, PolylineItem>) {
                    out << "polyline ";
                    for (const PagePoint& p : it.points) point(p);
                    pen(it.pen);
                } else if constexpr (std::is_same_v<T, TextItem>) {
                    out << "text '" << it.text.toStdString() << "' ";
                    point(it.at);
                    out << static_cast<int>(it.font) << ' ' << it.color << ' '
                        << static_cast<int>(it.halign) << static_cast<int>(it.valign) << ' '
                        << it.rightEdge;
                } else {
                    out << "bitmap ";
                    rect(it.rect);
                }
            },
            item);
        out << '\n';
    }
    for (const PlotGeometry& g : d.plots) {
        out << "plot " << g.kind << ' ';
        rect(g.rect);
        out << g.timeStart << ' ' << g.timeEnd << ' ' << g.timeStep << ' ' << g.pressureTop << ' '
            << g.pressureStep << ' ' << g.pressureDecimals << ' ' << g.pressureTopPsi << '\n';
    }
    return out.str();
}

// With the Analyzer closed, its points and readout leave the report page as it always was.
TEST(Analyzer, ClosedAnalyzerLeavesTheReportPage) {
    const JointRecord rec = test::decodeFixture(QStringLiteral("plain_hydraulic"));
    AnalyzerView closed = analyzerView(rec, 10, 20);
    closed.active = false;
    for (Medium medium : {Medium::Screen, Medium::Paper}) {
        const PageDrawing normal =
            buildReportPage(rec, QStringLiteral("/r/x.tjr"), kMetrics, medium);
        const PageDrawing withClosed =
            buildReportPage(rec, QStringLiteral("/r/x.tjr"), kMetrics, medium, closed);
        EXPECT_EQ(dump(withClosed), dump(normal));
        ASSERT_EQ(normal.plots.size(), 3u);
        for (int k = 0; k < 3; ++k) EXPECT_EQ(normal.plots[static_cast<size_t>(k)].kind, k);
        for (const LineItem& l : itemsOf<LineItem>(normal)) EXPECT_FALSE(l.pen == kAnalyzerPen);

        const PageDrawing open = buildReportPage(rec, QStringLiteral("/r/x.tjr"), kMetrics, medium,
                                                 analyzerView(rec, 10, 20));
        EXPECT_NE(dump(open), dump(normal));
    }
}

}  // namespace
}  // namespace vr5
