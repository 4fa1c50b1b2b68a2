// The report page as a drawing: what lands where, with which pen.

#include "page/report_page.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "evaluation/evaluation.h"
#include "evaluation/procedure.h"
#include "page/evaluation_page.h"
#include "test_support.h"
#include "text/tick_format.h"

namespace vr5 {
namespace {

using test::inside;
using test::itemsOf;

constexpr PageMetrics kMetrics{59, 153, 120, 92};

// Heater out at tick 1500 of 3000: a rise from 0 to 150 psi.
const char* const kHeaterAt1500 = "hold: 1500\nstep: 150\nhold: 1500";
// The same with a few psi of noise, so that no two neighbouring samples sit at the same height.
const char* const kNoisyHeaterAt1500 = "sample: 0 0\nnoise: 3 9\nhold: 1495\nstep: 150\nhold: 1500";

PageDrawing page(const JointRecord& rec, Medium medium = Medium::Screen,
                 const QString& path = QStringLiteral("/r/x.tjr")) {
    return buildReportPage(rec, path, kMetrics, medium);
}

PageDrawing page(const char* description, Medium medium = Medium::Screen) {
    return page(test::decodeDescription(QString::fromUtf8(description)), medium);
}

// The time labels under a plot, left to right.
QStringList timeLabels(const PageDrawing& d, int plot) {
    const PageRect r = d.plots[static_cast<size_t>(plot)].rect;
    QStringList out;
    for (const TextItem& t : itemsOf<TextItem>(d)) {
        if (t.at.y == r.bottom - kMetrics.ch / 2 && t.at.x >= r.left - 5 * kMetrics.cw &&
            t.at.x < r.right) {
            out << t.text;
        }
    }
    return out;
}

int verticalGridLines(const PageDrawing& d, int plot) {
    const PageRect r = d.plots[static_cast<size_t>(plot)].rect;
    int n = 0;
    for (const LineItem& l : itemsOf<LineItem>(d)) {
        n +=
            l.from.x == l.to.x && l.from.y == r.top && l.to.y == r.bottom && !(l.pen == kMarkerPen);
    }
    return n;
}

std::vector<LineItem> markers(const PageDrawing& d, int plot) {
    const PageRect r = d.plots[static_cast<size_t>(plot)].rect;
    std::vector<LineItem> out;
    for (const LineItem& l : itemsOf<LineItem>(d)) {
        if (l.pen == kMarkerPen && l.from.x >= r.left && l.from.x <= r.right &&
            l.from.y == r.top + 40) {
            out.push_back(l);
        }
    }
    return out;
}

TEST(ReportPage, PlotRanges) {
    struct Range {
        int start, end, step;
    };
    struct Case {
        const char* name;
        const char* description;
        Range plots[3];
        int markers[3];
    } cases[] = {
        {"heater out at 1500",
         kHeaterAt1500,
         {{0, 1525, 200}, {1400, 1525, 20}, {0, 3000, 500}},
         {1, 1, 1}},
        {"100 ticks or less: the whole record",
         "hold: 50\nstep: 100\nhold: 50",
         {{0, 100, 20}, {0, 100, 20}, {0, 100, 20}},
         {1, 1, 1}},
        {"80 ticks: exactly 8 steps of 10",
         "interval: 1\nhold: 81",
         {{0, 80, 10}, {0, 80, 10}, {0, 80, 10}},
         {0, 0, 0}},
        {"no heater removal",
         "step: 100\nhold: 600",
         {{0, 25, 5}, {0, 25, 5}, {0, 600, 100}},
         {0, 0, 0}},
        {"one sample", "sample: 500 10", {{0, 500, 100}, {0, 500, 100}, {0, 500, 100}}, {0, 0, 0}},
        {"no samples",
         "summary: SM0000  00000  00000",
         {{0, 1, 1}, {0, 1, 1}, {0, 1, 1}},
         {0, 0, 0}},
        {"heater out early",
         "hold: 50\nstep: 100\nhold: 3000",
         {{0, 75, 10}, {0, 75, 10}, {0, 3050, 500}},
         {1, 1, 1}},
        // At tick 1 of 10001 the marker would sit on the summary plot's left edge: none there.
        {"heater out at the first tick",
         "sample: 0 0\nsample: 1 150\ninterval: 100\nhold: 10000",
         {{0, 26, 5}, {0, 26, 5}, {0, 10001, 2000}},
         {1, 1, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const PageDrawing d = page(c.description);
        ASSERT_EQ(d.plots.size(), 3u);
        for (int k = 0; k < 3; ++k) {
            SCOPED_TRACE(k);
            const PlotGeometry& g = d.plots[static_cast<size_t>(k)];
            EXPECT_EQ(g.kind, k);
            EXPECT_EQ(g.timeStart, c.plots[k].start);
            EXPECT_EQ(g.timeEnd, c.plots[k].end);
            EXPECT_EQ(g.timeStep, c.plots[k].step);
            const std::vector<LineItem> m = markers(d, k);
            ASSERT_EQ(static_cast<int>(m.size()), c.markers[k]);
            for (const LineItem& l : m) {
                EXPECT_EQ(l.to.y, g.rect.top - 40);
                EXPECT_EQ(l.from.x, l.to.x);
            }
        }
    }
}

TEST(ReportPage, TimeGridAndLabels) {
    const PageDrawing d = page(kHeaterAt1500);
    EXPECT_EQ(timeLabels(d, 0), (QStringList{"0.00.00.0", "0:00:40.0", "0:01:20.0", "0:02:00.0",
                                             "0:02:40.0", "0:03:20.0", "0:04:00.0", "0:04:40.0"}));
    // The heater-removal plot shows absolute times.
    EXPECT_EQ(timeLabels(d, 1), (QStringList{"0:04:40.0", "0:04:44.0", "0:04:48.0", "0:04:52.0",
                                             "0:04:56.0", "0:05:00.0", "0:05:04.0"}));
    EXPECT_EQ(timeLabels(d, 2), (QStringList{"0.00.00.0", "0:01:40.0", "0:03:20.0", "0:05:00.0",
                                             "0:06:40.0", "0:08:20.0"}));
    EXPECT_EQ(verticalGridLines(d, 0), 7);
    EXPECT_EQ(verticalGridLines(d, 1), 6);
    EXPECT_EQ(verticalGridLines(d, 2), 5);

    // With wide characters, labels that would run into the first one or past the right edge
    // are left out; their grid lines stay.
    const PageMetrics wide{200, 153, 120, 92};
    const PageDrawing d80 =
        buildReportPage(test::decodeDescription(QStringLiteral("interval: 1\nhold: 81")), QString(),
                        wide, Medium::Screen);
    const PageRect r = d80.plots[2].rect;
    QStringList labels;
    for (const TextItem& t : itemsOf<TextItem>(d80)) {
        if (t.at.y == r.bottom - wide.ch / 2 && t.at.x < r.right) labels << t.text;
    }
    EXPECT_EQ(labels,
              (QStringList{"0.00.00.0", "0:00:06.0", "0:00:08.0", "0:00:10.0", "0:00:12.0"}));
    EXPECT_EQ(verticalGridLines(d80, 2), 7);
}

TEST(ReportPage, PressureGrid) {
    struct Case {
        const char* description;
        int step, top, topPsi;
        std::vector<int> linesAtPsi;
        QStringList labels;
    } cases[] = {
        {"step: 700\nhold: 100", 200, 800, 800, {200, 400, 600}, {"200", "400", "600"}},
        {"pressure_unit: bar\nstep: 700\nhold: 100",
         10,
         50,
         725,
         {145, 290, 435, 580},
         {"10", "20", "30", "40"}},
        {"pressure_unit: kg/cm2\nstep: 700\nhold: 100",
         10,
         50,
         710,
         {142, 284, 426, 568},
         {"10", "20", "30", "40"}},
        {"pressure_unit: MPa\nstep: 700\nhold: 100",
         1,
         5,
         725,
         {145, 290, 435, 580},
         {"1", "2", "3", "4"}},
        {"step: 4000\nhold: 100",
         1000,
         5000,
         5000,
         {1000, 2000, 3000, 4000},
         {"1000", "2000", "3000", "4000"}},
        // Two labels in whole units: drawn as always.
        {"pressure_unit: MPa\nstep: 290\nhold: 100", 1, 3, 435, {145, 290}, {"1", "2"}},
        {"step: 2\nhold: 100", 1, 3, 3, {1, 2}, {"1", "2"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.description);
        const PageDrawing d = page(c.description);
        const PlotGeometry& g = d.plots[0];
        EXPECT_EQ(g.pressureStep, c.step);
        EXPECT_EQ(g.pressureTop, c.top);
        EXPECT_EQ(g.pressureTopPsi, c.topPsi);
        const PageRect& r = g.rect;
        std::vector<int> ys;
        for (const LineItem& l : itemsOf<LineItem>(d)) {
            if (l.from.y == l.to.y && l.from.x == r.left && l.to.x == r.right &&
                inside(r, l.from)) {
                ys.push_back(l.from.y);
            }
        }
        std::vector<int> expected;
        for (int psi : c.linesAtPsi)
            expected.push_back(r.bottom + psi * (r.top - r.bottom) / c.topPsi);
        EXPECT_EQ(ys, expected);
        QStringList labels;
        for (const TextItem& t : itemsOf<TextItem>(d)) {
            if (t.halign == HAlign::Right && t.at.x == r.left - kMetrics.cw / 2 &&
                inside(r, {r.left, t.at.y})) {
                labels << t.text;
                EXPECT_EQ(t.valign, VAlign::Center);
            }
        }
        EXPECT_EQ(labels, c.labels);
    }

    // A label shows only where its line lies at least half a line height inside the plot.
    const PageMetrics tall{59, 360, 120, 92};  // the plot is 560 high: lines every 112
    const PageDrawing d =
        buildReportPage(test::decodeDescription(QStringLiteral("step: 4\nhold: 10")), QString(),
                        tall, Medium::Screen);
    QStringList labels;
    for (const TextItem& t : itemsOf<TextItem>(d)) {
        if (t.halign == HAlign::Right && inside(d.plots[0].rect, {d.plots[0].rect.left, t.at.y})) {
            labels << t.text;
        }
    }
    EXPECT_EQ(labels, (QStringList{"2", "3"}));
}

// Whole units that would label fewer than two grid lines give way to tenths, hundredths, ...
TEST(ReportPage, SmallPressuresGetADecimalScale) {
    struct Case {
        const char* description;
        int decimals, step, top;
        QStringList labels;
    } cases[] = {
        {"pressure_unit: MPa\nramp: 131 100\nhold: 100", 1, 2, 10, {"0.2", "0.4", "0.6", "0.8"}},
        {"pressure_unit: MPa\nstep: 150\nhold: 100", 1, 5, 15, {"0.5", "1.0"}},
        {"pressure_unit: MPa\nstep: 250\nhold: 100", 1, 5, 20, {"0.5", "1.0", "1.5"}},
        {"pressure_unit: MPa\nhold: 100", 3, 2, 8, {"0.002", "0.004", "0.006"}},
        {"pressure_unit: bar\nstep: 14\nhold: 100", 1, 2, 10, {"0.2", "0.4", "0.6", "0.8"}},
        {"pressure_unit: bar\nstep: 20\nhold: 100", 1, 5, 15, {"0.5", "1.0"}},
        {"pressure_unit: kg/cm2\nstep: 3\nhold: 100", 1, 1, 3, {"0.1", "0.2"}},
        {"step: 1\nhold: 100", 1, 5, 15, {"0.5", "1.0"}},
        {"hold: 100", 1, 5, 15, {"0.5", "1.0"}},  // nothing above 0 psi
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.description);
        const JointRecord rec = test::decodeDescription(QString::fromUtf8(c.description));
        const PageDrawing d = page(rec);
        for (int k = 0; k < 3; ++k) {
            const PlotGeometry& g = d.plots[static_cast<size_t>(k)];
            EXPECT_EQ(g.pressureDecimals, c.decimals);
            EXPECT_EQ(g.pressureStep, c.step);
            EXPECT_EQ(g.pressureTop, c.top);
            const PageRect& r = g.rect;
            QStringList labels;
            std::vector<int> labelYs;
            for (const TextItem& t : itemsOf<TextItem>(d)) {
                if (t.halign == HAlign::Right && t.at.x == r.left - kMetrics.cw / 2 &&
                    inside(r, {r.left, t.at.y})) {
                    labels << t.text;
                    labelYs.push_back(t.at.y);
                }
            }
            EXPECT_EQ(labels, c.labels);
            // Each label sits on its own line, at its value's height.
            for (size_t i = 0; i < labelYs.size(); ++i) {
                const double psi = labels[static_cast<qsizetype>(i)].toDouble() * rec.psiPerUnit;
                const double expected = r.bottom + psi * (r.top - r.bottom) / g.pressureTopPsiExact;
                EXPECT_NEAR(labelYs[i], expected, 1.0)
                    << labels[static_cast<qsizetype>(i)].toStdString();
            }
        }
        // The curve is drawn against the same scale: the top sample reaches the height of its
        // pressure, not the top of the plot.
        const PageRect& r = d.plots[2].rect;
        int highest = r.bottom;
        for (const PolylineItem& p : itemsOf<PolylineItem>(d)) {
            if (!inside(r, p.points.front())) continue;
            for (const PagePoint& q : p.points) highest = std::max(highest, q.y);
        }
        const double topPsi = d.plots[2].pressureTopPsiExact;
        EXPECT_NEAR(highest,
                    std::max<double>(r.bottom + 1,
                                     r.bottom + rec.maxPressure * (r.top - r.bottom) / topPsi),
                    1.0);
    }
}

TEST(ReportPage, Curve) {
    const PageDrawing d = page(kNoisyHeaterAt1500);
    std::vector<PolylineItem> perPlot[3];
    for (const PolylineItem& p : itemsOf<PolylineItem>(d)) {
        for (int k = 0; k < 3; ++k) {
            if (inside(d.plots[static_cast<size_t>(k)].rect, p.points.front()))
                perPlot[k].push_back(p);
        }
    }
    for (int k = 0; k < 3; ++k) {
        SCOPED_TRACE(k);
        const PageRect& r = d.plots[static_cast<size_t>(k)].rect;
        ASSERT_EQ(perPlot[k].size(), 1u);
        const std::vector<PagePoint>& pts = perPlot[k][0].points;
        for (size_t i = 0; i < pts.size(); ++i) {
            EXPECT_TRUE(inside(r, pts[i]));
            if (i > 0) {
                EXPECT_GE(pts[i].x, pts[i - 1].x);
            }
        }
        // It stops where it first reaches the right edge.
        EXPECT_EQ(pts.back().x, r.right);
        EXPECT_EQ(
            std::count_if(pts.begin(), pts.end(), [&](PagePoint p) { return p.x == r.right; }), 1);
        EXPECT_EQ(pts.front().y, r.bottom + 1);  // 0 psi sits just above the bottom
    }
    // In the heater-removal plot nothing runs along the left edge: the curve starts there.
    const std::vector<PagePoint>& heater = perPlot[1][0].points;
    const int left = d.plots[1].rect.left;
    EXPECT_EQ(heater[0].x, left);
    EXPECT_EQ(std::count_if(heater.begin(), heater.end(), [&](PagePoint p) { return p.x == left; }),
              1);
}

TEST(ReportPage, TickTimes) {
    struct Case {
        int ticks;
        const char* text;
    } cases[] = {
        {0, "0:00:00.0"},     {1, "0:00:00.2"},     {4, "0:00:00.8"},    {5, "0:00:01.0"},
        {299, "0:00:59.8"},   {300, "0:01:00.0"},   {1400, "0:04:40.0"}, {17999, "0:59:59.8"},
        {18001, "1:00:00.2"}, {65535, "3:38:27.0"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(formatTicks(c.ticks), QString::fromUtf8(c.text)) << c.ticks;
}

TEST(ReportPage, ScreenAndPaperPens) {
    struct Case {
        Medium medium;
        Pen grid;
        int curveWidth;
        size_t logos;
    } cases[] = {
        {Medium::Screen, {rgb(192, 192, 192), 1}, 1, 0},
        {Medium::Paper, {kBlack, 1}, 5, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.medium == Medium::Screen ? "screen" : "paper");
        const PageDrawing d = page(kHeaterAt1500, c.medium);
        int plotFrames = 0, boxes = 0;
        for (const FrameItem& f : itemsOf<FrameItem>(d)) {
            const bool plotRect =
                f.rect == d.plots[0].rect || f.rect == d.plots[1].rect || f.rect == d.plots[2].rect;
            EXPECT_EQ(f.pen, plotRect ? c.grid : kBoxPen);
            (plotRect ? plotFrames : boxes)++;
        }
        EXPECT_EQ(plotFrames, 3);
        EXPECT_EQ(boxes, 4);
        int markerCount = 0;
        for (const LineItem& l : itemsOf<LineItem>(d)) {
            if (l.pen == kMarkerPen) {
                ++markerCount;
            } else {
                EXPECT_EQ(l.pen, c.grid);
            }
        }
        EXPECT_EQ(markerCount, 3);
        for (const PolylineItem& p : itemsOf<PolylineItem>(d))
            EXPECT_EQ(p.pen, (Pen{kBlack, c.curveWidth}));
        const std::vector<BitmapItem> logos = itemsOf<BitmapItem>(d);
        ASSERT_EQ(logos.size(), c.logos);
        if (!logos.empty()) {
            EXPECT_EQ(logos[0].id, BitmapId::Logo);
            EXPECT_EQ(logos[0].rect, (PageRect{3241, -9900, 5259, -10638}));  // half of 4037 x 1476
        }
    }
}

TEST(ReportPage, DemoWatermark) {
    struct Case {
        const char* description;
        std::vector<int> tops;
    } cases[] = {
        {"demo: yes\nhold: 100", {-600, -3606 + 500, -5806 + 500, -8006 + 500}},
        {"demo: 2\nhold: 100", {-600, -3606 + 500, -5806 + 500, -8006 + 500}},
        {"demo: no\nhold: 100", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.description);
        for (Medium medium : {Medium::Screen, Medium::Paper}) {
            std::vector<int> tops;
            for (const TextItem& t : itemsOf<TextItem>(page(c.description, medium))) {
                if (t.text != u"Demo") continue;
                tops.push_back(t.at.y);
                EXPECT_EQ(t.font, FontRole::Watermark);
                EXPECT_EQ(t.color, rgb(220, 220, 220));
                EXPECT_EQ(t.at.x, 4250);
                EXPECT_EQ(t.halign, HAlign::Center);
            }
            EXPECT_EQ(tops, c.tops);
        }
    }
}

TEST(ReportPage, TitleBlockAndHeaderText) {
    const JointRecord rec = test::decodeFixture(QStringLiteral("plain_hydraulic"));
    const PageDrawing d = page(rec);
    const int col = kMetrics.cw + 500, row = -600 - kMetrics.ch / 4;
    const int plotTitleY = d.plots[0].rect.top + kMetrics.ch * 3 / 2;
    struct Case {
        QString text;
        PagePoint at;
        FontRole font;
        HAlign halign;
    } cases[] = {
        {"Tarnell Joint Report (VR5)", {4250, -200}, FontRole::Title, HAlign::Center},
        {"/r/x.tjr", {560, -600 + 115}, FontRole::Small, HAlign::Left},
        {" 1. Date/Time", {col, row}, FontRole::Main, HAlign::Left},
        {": 2024/05/06  14:32:07", {col + 1000, row}, FontRole::Main, HAlign::Left},
        {" 2. Joint Number", {col, row - 153}, FontRole::Main, HAlign::Left},
        {"Interfacial Pressures (psi):", {col, row - 9 * 153}, FontRole::Main, HAlign::Left},
        {"Recommended Gauge Pressures (psi):", {col + 3500, row}, FontRole::Main, HAlign::Left},
        {": 337", {col + 4500, row - 153}, FontRole::Main, HAlign::Left},
        {"          Joint OK", {col + 3500, row - 12 * 153}, FontRole::Main, HAlign::Left},
        {"Front-end Plot (100% search range)",
         {(d.plots[0].rect.left + d.plots[0].rect.right) / 2, plotTitleY},
         FontRole::Main,
         HAlign::Center},
        {"psi", {d.plots[0].rect.left - 3 * 59, plotTitleY}, FontRole::Main, HAlign::Left},
        {"Heater Removal Plot (location estimated)",
         {4397, d.plots[1].rect.top + 229},
         FontRole::Main,
         HAlign::Center},
        {QStringLiteral("Summary Plot (%1 data points)").arg(rec.sampleCount),
         {4397, d.plots[2].rect.top + 229},
         FontRole::Main,
         HAlign::Center},
    };
    const std::vector<TextItem> texts = itemsOf<TextItem>(d);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        const auto it = std::find_if(texts.begin(), texts.end(),
                                     [&](const TextItem& t) { return t.text == c.text; });
        ASSERT_NE(it, texts.end());
        EXPECT_EQ(it->at, c.at);
        EXPECT_EQ(it->font, c.font);
        EXPECT_EQ(it->halign, c.halign);
    }
    const auto id =
        std::find_if(texts.begin(), texts.end(), [](const TextItem& t) { return t.at.y == -9723; });
    ASSERT_NE(id, texts.end());
    EXPECT_TRUE(id->text.startsWith(u"Tarnell VR5-XP  v0.3.0  ")) << id->text.toStdString();
    EXPECT_EQ(id->at.x, 560);

    // A path longer than 120 characters shows as its file name.
    const Procedure astm = loadProcedure(QStringLiteral("astm-f2620")).procedure.value();
    const QString longPath =
        QStringLiteral("/reports/") + QString(120, u'd') + QStringLiteral("/J-1 7 E-1.tjr");
    const std::vector<TextItem> longTexts = itemsOf<TextItem>(page(rec, Medium::Screen, longPath));
    EXPECT_TRUE(std::any_of(longTexts.begin(), longTexts.end(), [](const TextItem& t) {
        return t.text == u"J-1 7 E-1.tjr" && t.at.x == 560;
    }));

    // Where the system separates folders with a back slash, so does the path line.
    const struct {
        QString path;
        const char* shown;
    } paths[] = {
        {QStringLiteral("C:/Users/op/Documents/Joint Reports/J-1 7 E-1.tjr"),
         "C:\\Users\\op\\Documents\\Joint Reports\\J-1 7 E-1.tjr"},
        {QStringLiteral("//server/share/J-1 7 E-1.tjr"), "\\\\server\\share\\J-1 7 E-1.tjr"},
        {longPath, "J-1 7 E-1.tjr"},
    };
    for (const auto& p : paths) EXPECT_EQ(pathLineText(p.path, u'\\'), p.shown);
    EXPECT_EQ(pathLineText(QStringLiteral("/r/x.tjr"), u'/'), "/r/x.tjr");
}

}  // namespace
}  // namespace vr5

namespace vr5 {
namespace {

TEST(ReportPage, NotesStayInsideTheHeaderBox) {
    struct Case {
        const char* notes;
        int rows;  // notes rows expected on the page
    } cases[] = {
        {"Joint OK", 1},
        {"1\\n2\\n3\\n4", 4},
        {"1\\n2\\n3\\n4\\n5\\n6\\n7\\n8\\n9\\n10\\n11\\n12\\n13\\n14\\n15\\n16\\n17\\n18\\n19\\n20"
         "\\n21\\n22\\n23\\n24\\n25\\n26\\n27\\n28\\n29\\n30",
         3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.notes);
        const PageDrawing d =
            page(test::decodeDescription(QStringLiteral("notes: %1\nsample: 0 0\nsample: 5 10")
                                             .arg(QString::fromUtf8(c.notes))));
        int notesRows = 0;
        for (const TextItem& t : itemsOf<TextItem>(d)) {
            if (t.font != FontRole::Main || t.at.y > kHeaderBox.top || t.at.y < plotBox(0).top)
                continue;
            EXPECT_GE(t.at.y - kMetrics.ch, kHeaderBox.bottom) << qPrintable(t.text);
            notesRows += t.text.startsWith(QStringLiteral("          "));
        }
        EXPECT_EQ(notesRows, c.rows);
    }
}

}  // namespace
}  // namespace vr5

namespace vr5 {
namespace {

// A page of a damaged report says so beside its path line, on screen and on paper, in the
// report, the Analyzer's layout and the evaluation alike; a whole report's page does not.
TEST(ReportPage, ADamagedReportSaysSoUnderItsTitle) {
    const QString notice = QStringLiteral("Damaged report: only part of the record could be read");
    auto notices = [&](const PageDrawing& d) {
        std::vector<TextItem> found;
        for (const TextItem& t : test::itemsOf<TextItem>(d)) {
            if (t.text == notice) found.push_back(t);
        }
        return found;
    };
    const JointRecord whole = test::decodeFixture(QStringLiteral("plain_hydraulic"));
    const JointRecord damaged = test::decodeFixture(QStringLiteral("damaged_truncated"));
    ASSERT_TRUE(damaged.problem.isDamaged());
    ASSERT_FALSE(whole.problem.isDamaged());
    AnalyzerView analyzer{true, 1, 50, QStringLiteral("readout")};
    const Procedure astm = loadProcedure(QStringLiteral("astm-f2620")).procedure.value();
    const QString longPath = QStringLiteral("/") + QString(110, u'd') + QStringLiteral("/x.tjr");

    for (const Medium medium : {Medium::Screen, Medium::Paper}) {
        const struct {
            const char* what;
            PageDrawing withDamage, withoutDamage;
        } pages[] = {
            {"report", page(damaged, medium, longPath), page(whole, medium, longPath)},
            {"analyzer", buildReportPage(damaged, longPath, kMetrics, medium, analyzer),
             buildReportPage(whole, longPath, kMetrics, medium, analyzer)},
            {"evaluation",
             buildEvaluationPage(damaged, evaluateJoint(damaged, astm), longPath, kMetrics, medium),
             buildEvaluationPage(whole, evaluateJoint(whole, astm), longPath, kMetrics, medium)},
        };
        for (const auto& p : pages) {
            SCOPED_TRACE(p.what);
            EXPECT_TRUE(notices(p.withoutDamage).empty());
            const std::vector<TextItem> found = notices(p.withDamage);
            ASSERT_EQ(found.size(), 1u);
            const TextItem& t = found[0];
            EXPECT_EQ(t.font, FontRole::Main);
            EXPECT_EQ(t.color, kBlack);
            // Right-aligned on the header box's edge, between the title and the box.
            EXPECT_EQ(t.halign, HAlign::Right);
            EXPECT_EQ(t.at.x, kHeaderBox.right);
            EXPECT_GT(t.at.y - kMetrics.ch / 2, kHeaderBox.top);
            EXPECT_LT(t.at.y + kMetrics.ch / 2,
                      -200 - fontSpec(FontRole::Title).heightInPageUnits());
            // The path line, however long, ends before it.
            for (const TextItem& path : test::itemsOf<TextItem>(p.withDamage)) {
                if (path.text.endsWith(QStringLiteral("x.tjr"))) {
                    EXPECT_LT(path.rightEdge,
                              kHeaderBox.right - static_cast<int>(notice.size()) * kMetrics.cw);
                }
            }
        }
    }
}

}  // namespace
}  // namespace vr5
