#include "page/guide_plot.h"

#include <algorithm>
#include <cmath>

#include "page/report_page.h"
#include "report/joint_record.h"
#include "report/report_strings.h"
#include "text/tick_format.h"
#include "units/units.h"

namespace vr5 {

namespace {

constexpr Rgb kBandColor = rgb(214, 240, 214);
constexpr Rgb kPhaseMarkColor = rgb(128, 128, 128);
constexpr Rgb kTargetColors[4] = {rgb(31, 95, 191), rgb(150, 110, 0), rgb(191, 31, 31),
                                  rgb(31, 127, 31)};
const char* const kTargetNames[4] = {"Bead", "Soak", "Fuse", "Cool"};
const char* const kPhaseMarks[kPhaseCount] = {"Bead", "Soak", "Open", "Build", "Cool"};

int ticksOf(double seconds) {
    return static_cast<int>(std::lround(std::clamp(seconds, 0.0, 1e8) * kTicksPerSecond));
}

int psiOf(double psi) {
    return static_cast<int>(std::lround(std::clamp(psi, 0.0, double(kPressureCeiling))));
}

// The replies as a record the report's plot can draw: every point of a short joint, the lowest
// and highest of each stretch of a long one.
JointRecord liveRecord(const LiveGuide& guide, double topPsi) {
    const std::vector<double>& t = guide.times();
    const std::vector<double>& p = guide.pressures();
    JointRecord rec;
    const size_t n = t.size();
    const size_t buckets = kGuidePlotPoints / 2;
    const auto push = [&rec](double time, double psi) {
        rec.time.push_back(ticksOf(time));
        rec.pressure.push_back(psiOf(psi));
    };
    if (n <= size_t(kGuidePlotPoints)) {
        for (size_t i = 0; i < n; ++i) push(t[i], p[i]);
    } else {
        for (size_t b = 0; b < buckets; ++b) {
            const size_t from = b * n / buckets, to = (b + 1) * n / buckets;
            size_t lo = from, hi = from;
            for (size_t i = from; i < to; ++i) {
                if (p[i] < p[lo]) lo = i;
                if (p[i] > p[hi]) hi = i;
            }
            push(t[std::min(lo, hi)], p[std::min(lo, hi)]);
            if (lo != hi) push(t[std::max(lo, hi)], p[std::max(lo, hi)]);
        }
    }
    rec.sampleCount = static_cast<int>(rec.time.size());
    rec.pressure.push_back(rec.pressure.empty() ? 0 : rec.pressure.back());
    rec.maxPressure = psiOf(std::ceil(topPsi));
    const int unit = guide.setup().pressureUnit;
    rec.pressureUnitText = pressureUnitLabel(unit);
    rec.psiPerUnit = psiPerUnit(unit);
    rec.fields.demo = guide.setup().demo ? 1 : 0;
    return rec;
}

}  // namespace

PageDrawing buildGuidePlot(const LiveGuide& guide, const PageRect& box, const PageMetrics& m) {
    const GuideSetup& s = guide.setup();
    // The scale reaches past the highest target and the band, so the lines the operator works
    // to are on the plot before the curve gets there.
    double top = 0;
    for (double p : guide.pressures()) top = std::max(top, p);
    for (const auto& target : s.targetsPsi)
        if (target) top = std::max(top, *target * 1.15);
    if (s.bandHighPsi) top = std::max(top, *s.bandHighPsi * 1.15);
    const JointRecord rec = liveRecord(guide, std::max(top, 1.0));

    PageDrawing drawing = buildSummaryPlot(rec, box, m, Medium::Screen);
    if (drawing.plots.empty()) return drawing;
    const PlotGeometry& g = drawing.plots.front();
    const PageRect& r = g.rect;

    // The report's title names its data points; the guide's names its replies.
    const QString summaryTitle = QString::asprintf(str::kSummaryPlot, rec.sampleCount);
    for (PageItem& item : drawing.items) {
        if (auto* text = std::get_if<TextItem>(&item); text && text->text == summaryTitle) {
            text->text = QStringLiteral("Live pressure (%1 readings)").arg(guide.times().size());
        }
    }

    // The band, the targets and the phase marks go under the grid and the curve: the curve
    // held on a target stays in sight.
    std::vector<PageItem> under;
    if (s.bandLowPsi || s.bandHighPsi) {
        const int low = s.bandLowPsi ? plotPressureY(g, *s.bandLowPsi) : r.bottom;
        const int high = s.bandHighPsi ? plotPressureY(g, *s.bandHighPsi) : r.top;
        if (high > low)
            under.emplace_back(FilledRectItem{{r.left, high, r.right, low}, kBandColor});
    }

    // Targets with the same gauge pressure share a line and a label ("Bead/Fuse 211").
    for (size_t i = 0; i < 4; ++i) {
        if (!s.targetsPsi[i]) continue;
        const QString value = formatPressureInUnit(*s.targetsPsi[i], s.pressureUnit).trimmed();
        bool shownBefore = false;
        QString label = QString::fromLatin1(kTargetNames[i]);
        for (size_t j = 0; j < 4; ++j) {
            if (j == i || !s.targetsPsi[j]) continue;
            if (formatPressureInUnit(*s.targetsPsi[j], s.pressureUnit).trimmed() != value) continue;
            if (j < i) shownBefore = true;
            if (j > i) label += u'/' + QString::fromLatin1(kTargetNames[j]);
        }
        if (shownBefore) continue;
        const int y = plotPressureY(g, *s.targetsPsi[i]);
        under.emplace_back(LineItem{{r.left, y}, {r.right, y}, Pen{kTargetColors[i], 10}});
        under.emplace_back(TextItem{{r.right - m.cw, y + m.smallCh},
                                    label + u' ' + value,
                                    FontRole::Small,
                                    kTargetColors[i],
                                    HAlign::Right,
                                    VAlign::Top});
    }

    // A phase's name is written where the one before leaves room (short phases share a spot).
    int labelsEnd = r.left;
    for (const PhaseEvent& e : guide.tracker().events()) {
        const int x = plotTimeX(g, ticksOf(e.startS));
        under.emplace_back(LineItem{{x, r.top}, {x, r.bottom}, Pen{kPhaseMarkColor, 0}});
        const QString mark = QString::fromLatin1(kPhaseMarks[int(e.phase)]);
        const int width = static_cast<int>(mark.size() + 1) * std::max(m.smallMaxWidth, m.cw);
        if (x < labelsEnd || x + width > r.right) continue;
        under.emplace_back(TextItem{
            {x + m.cw / 2, r.top - m.smallCh / 4}, mark, FontRole::Small, kPhaseMarkColor});
        labelsEnd = x + width;
    }
    drawing.items.insert(drawing.items.begin(), under.begin(), under.end());
    return drawing;
}

}  // namespace vr5
