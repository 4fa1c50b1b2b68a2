#include <algorithm>
#include <cmath>
#include <vector>

#include "evaluation/joint_reading.h"

namespace vr5 {

namespace {

constexpr double kSecondsPerTick = 0.2;
// Below this the record never held a joint's pressure at all.
constexpr double kLeastWorkingPsi = 5.0;

class Curve {
public:
    explicit Curve(const JointRecord& rec) : rec_(rec) {
        // A damaged record may hold fewer entries than it counts: read only what is there.
        n_ = std::max(
            0, std::min<int>(rec.sampleCount,
                             static_cast<int>(std::min(rec.time.size(), rec.pressure.size()))));
    }
    int size() const { return n_; }
    double t(int i) const { return rec_.Time(i) * kSecondsPerTick; }
    double p(int i) const { return rec_.Pressure(i); }

    // When the curve crosses `level` between samples i and i + 1.
    double crossing(int i, double level) const {
        const double p0 = p(i), p1 = p(i + 1);
        if (p1 == p0) return t(i);
        const double f = std::clamp((level - p0) / (p1 - p0), 0.0, 1.0);
        return t(i) + f * (t(i + 1) - t(i));
    }

    double mean(double from, double to) const {
        double sum = 0;
        int count = 0;
        // Times rise along the record, so the span starts at the first sample not before it.
        int i = firstAtOrAfter(from);
        for (; i < n_ && t(i) <= to; ++i, ++count) sum += p(i);
        if (count > 0) return sum / count;
        return p(std::clamp(firstAtOrAfter(from), 0, n_ - 1));
    }

    int firstAtOrAfter(double seconds) const {
        int lo = 0, hi = n_;
        while (lo < hi) {
            const int mid = (lo + hi) / 2;
            if (t(mid) < seconds)
                lo = mid + 1;
            else
                hi = mid;
        }
        return lo;
    }

    double median(int from, int to, double low = -HUGE_VAL, double high = HUGE_VAL) const {
        std::vector<double> values;
        for (int i = std::max(0, from); i < std::min(to, n_); ++i) {
            if (p(i) > low && p(i) < high) values.push_back(p(i));
        }
        if (values.empty()) return NAN;
        const auto mid = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
        std::nth_element(values.begin(), mid, values.end());
        return *mid;
    }

private:
    const JointRecord& rec_;
    int n_ = 0;
};

struct Run {
    int first;
    int last;
};

bool usable(const std::optional<double>& v) {
    return v && std::isfinite(*v) && *v > 0;
}

}  // namespace

FoundPhases findPhases(const JointRecord& rec, const PhaseGuides& guides) {
    FoundPhases out;
    const Curve c(rec);
    const int n = c.size();
    if (n < 2) return out;
    double maxP = 0;
    for (int i = 0; i < n; ++i) maxP = std::max(maxP, c.p(i));
    if (maxP < kLeastWorkingPsi) return out;

    // The levels: the report's guides where they fit the curve, else the curve's own.
    const double curveHigh = c.median(0, n, 0.5 * maxP);
    double fuse = usable(guides.fusePsi) ? *guides.fusePsi : curveHigh;
    double bead = usable(guides.beadPsi) ? *guides.beadPsi : fuse;
    double drag = guides.dragPsi && *guides.dragPsi >= 0 ? *guides.dragPsi
                                                         : c.median(0, n, 0.03 * maxP, 0.4 * maxP);
    if (!std::isfinite(drag) || drag >= 0.5 * maxP) drag = 0;
    // A recommendation the operator did not dial in (far above what the curve reached) is no
    // guide.
    if (drag + 0.5 * (fuse - drag) > 0.9 * maxP || fuse <= drag) fuse = curveHigh;
    if (drag + 0.5 * (bead - drag) > 0.9 * maxP || bead <= drag) bead = fuse;
    const double high = drag + 0.5 * (std::min(bead, fuse) - drag);
    const double zero = drag >= 4 ? 0.5 * drag : std::max(2.0, 0.05 * fuse);
    // A curve with no level clear of zero holds no joint to find phases in.
    if (high <= zero) return out;

    // Stretches at bead or fusion level, at least two samples and a second long: a knock on the
    // carriage during the soak is no bead-up.
    std::vector<Run> runs;
    for (int i = 0; i < n;) {
        if (c.p(i) < high) {
            ++i;
            continue;
        }
        int j = i;
        while (j + 1 < n && c.p(j + 1) >= high) ++j;
        if (j > i && c.t(j) - c.t(i) >= 1.0) runs.push_back({i, j});
        i = j + 1;
    }
    if (runs.empty()) return out;

    // The fusion is the last stretch reached from a carriage opened to zero after a heat soak.
    int fusion = -1;
    for (int k = static_cast<int>(runs.size()) - 1; k >= 1 && fusion < 0; --k) {
        for (int i = runs[size_t(k - 1)].last + 1; i < runs[size_t(k)].first; ++i) {
            if (c.p(i) <= zero) {
                fusion = k;
                break;
            }
        }
    }
    const int lastBead = fusion >= 0 ? fusion - 1 : static_cast<int>(runs.size()) - 1;
    const Run first = runs.front();
    const Run beadEnd = runs[size_t(lastBead)];

    auto span = [&](double from, double to) { return PhaseSpan{from, to, c.mean(from, to)}; };
    const double beadStart = first.first > 0 ? c.crossing(first.first - 1, high) : c.t(first.first);
    if (beadEnd.last + 1 >= n) {
        // The record ends during the bead-up.
        out.phases[0] = span(beadStart, c.t(n - 1));
        return out;
    }
    const double beadStop = c.crossing(beadEnd.last, high);
    out.phases[0] = span(beadStart, beadStop);

    if (fusion < 0) {
        // Stopped during the heat soak: it lasts until the pressure falls to zero or the record
        // ends; nothing after it happened.
        int i = beadEnd.last + 1;
        while (i < n && c.p(i) > zero) ++i;
        const double soakStop = i < n ? c.crossing(i - 1, zero) : c.t(n - 1);
        if (soakStop > beadStop) out.phases[1] = span(beadStop, soakStop);
        return out;
    }

    const Run fuseRun = runs[size_t(fusion)];
    // The carriage open: the stretch at zero just before the fusion's rise.
    int openLast = fuseRun.first - 1;
    while (openLast > beadEnd.last && c.p(openLast) > zero) --openLast;
    int openFirst = openLast;
    while (openFirst - 1 > beadEnd.last && c.p(openFirst - 1) <= zero) --openFirst;
    const double openStart = c.crossing(openFirst - 1, zero);
    const double openStop = c.crossing(openLast, zero);
    if (openStart > beadStop) {
        out.phases[1] = span(beadStop, openStart);
        out.soakEnded = true;
    }
    out.phases[2] = span(openStart, openStop);

    // The fusion level: where the pressure settles early in the fusion, before any leak-down.
    const int quarter = std::max(5, (fuseRun.last - fuseRun.first + 1) / 4);
    double level = c.median(fuseRun.first, std::min(fuseRun.last + 1, fuseRun.first + quarter));
    if (!std::isfinite(level)) level = c.p(fuseRun.first);
    const double reached = std::max(0.95 * level, zero);
    int r = openLast + 1;
    while (r < n && c.p(r) < reached) ++r;
    if (r >= n) return out;
    const double buildStop = std::max(openStop, r > 0 ? c.crossing(r - 1, reached) : c.t(r));
    out.phases[3] = span(openStop, buildStop);

    // The release: the final fall to zero; a slow leak-down before it is still cooling.
    int tail = n;
    while (tail - 1 > r && c.p(tail - 1) <= zero) --tail;
    double coolStop = c.t(n - 1);
    if (tail < n) {
        const double tz = c.t(tail);
        double before = c.median(std::max(r, c.firstAtOrAfter(tz - 20)), c.firstAtOrAfter(tz - 10));
        if (!std::isfinite(before)) before = c.p(tail - 1);
        const double halfway = std::max(zero, 0.5 * before);
        int i = tail - 1;
        while (i > r && c.p(i) < halfway) --i;
        coolStop = c.crossing(i, halfway);
        out.released = true;
    }
    if (coolStop > buildStop) out.phases[4] = span(buildStop, coolStop);
    return out;
}

}  // namespace vr5
