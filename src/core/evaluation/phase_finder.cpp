#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "evaluation/joint_reading.h"

namespace vr5 {

namespace {

constexpr double kSecondsPerTick = kPhaseSecondsPerTick;

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

    // The pressure the span held: the middle of its samples, which ramps at its ends, a dip
    // between two bead-ups or a spike do not move as they move a mean.
    double held(double from, double to) const {
        std::vector<double> values;
        for (int i = firstAtOrAfter(from); i < n_ && t(i) <= to; ++i) values.push_back(p(i));
        if (values.empty()) return mean(from, to);
        const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
        std::nth_element(values.begin(), middle, values.end());
        return *middle;
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

    // The usual time between samples.
    double period() const {
        std::vector<double> steps;
        for (int i = 1; i < n_; ++i) steps.push_back(t(i) - t(i - 1));
        if (steps.empty()) return kSecondsPerTick;
        const auto mid = steps.begin() + static_cast<std::ptrdiff_t>(steps.size() / 2);
        std::nth_element(steps.begin(), mid, steps.end());
        return std::clamp(*mid, kSecondsPerTick, kBridgeS);
    }

    // The highest pressure the curve held for kHeldS.
    double heldTop() const {
        double top = 0;
        for (int i = 0, j = 0; i < n_; ++i) {
            j = std::max(j, i);
            while (j + 1 < n_ && t(j + 1) <= t(i) + kHeldS) ++j;
            if (j == i || t(j) - t(i) < kHeldS - 1.5 * kSecondsPerTick) continue;
            double low = p(i);
            for (int k = i + 1; k <= j && low > top; ++k) low = std::min(low, p(k));
            top = std::max(top, low);
        }
        return top;
    }

private:
    const JointRecord& rec_;
    int n_ = 0;
};

// Which samples are on one side of a level, with excursions to the other side no longer than
// kBridgeS inside a stretch taken back; an excursion takes the side of the stretch before it.
std::vector<char> bridged(const Curve& c, double period, const std::function<bool(double)>& side) {
    const int n = c.size();
    std::vector<char> on(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) on[size_t(i)] = side(c.p(i));
    std::vector<int> starts;  // where the runs before the present one start
    int runStart = 0;
    for (int i = 1; i <= n; ++i) {
        if (i < n && on[size_t(i)] == on[size_t(runStart)]) continue;
        // Samples runStart .. i - 1 are one run; an inner one that is short joins its neighbours,
        // and the run after it continues theirs.
        if (runStart > 0 && i < n && c.t(i - 1) - c.t(runStart) + period <= kBridgeS) {
            for (int k = runStart; k < i; ++k) on[size_t(k)] = !on[size_t(k)];
            runStart = starts.back();
            starts.pop_back();
            continue;
        }
        starts.push_back(runStart);
        runStart = i;
    }
    return on;
}

struct Run {
    int first;
    int last;
};

// The level p holds over samples from..to (inclusive), its middle value, and the lowest it
// goes there but for a few samples in twenty (a dropout, the dips of the noise).
std::pair<double, double> levelAndLow(const Curve& c, int from, int to) {
    std::vector<double> values;
    for (int i = std::max(0, from); i <= std::min(to, c.size() - 1); ++i) values.push_back(c.p(i));
    if (values.empty()) return {NAN, NAN};
    auto at = [&values](double fraction) {
        const auto it = values.begin() + static_cast<std::ptrdiff_t>(
                                             fraction * static_cast<double>(values.size() - 1));
        std::nth_element(values.begin(), it, values.end());
        return *it;
    };
    const double level = at(0.5);
    return {level, at(0.05)};
}

bool usable(const std::optional<double>& v) {
    return v && std::isfinite(*v) && *v > 0;
}

}  // namespace

PhaseLevels phaseLevels(const PhaseGuides& guides, double top) {
    PhaseLevels l;
    l.drag =
        guides.dragPsi && *guides.dragPsi >= 0 && *guides.dragPsi < 0.5 * top ? *guides.dragPsi : 0;
    auto fits = [&](const std::optional<double>& g) {
        return usable(g) && *g > l.drag && *g >= 0.5 * top &&
               l.drag + 0.5 * (*g - l.drag) <= 0.9 * top;
    };
    l.fuse = fits(guides.fusePsi) ? *guides.fusePsi : top;
    l.bead = fits(guides.beadPsi) ? *guides.beadPsi : l.fuse;
    l.high = l.drag + 0.5 * (std::min(l.bead, l.fuse) - l.drag);
    l.zero = std::max(2.0, 0.05 * top);
    return l;
}

FoundPhases findPhases(const JointRecord& rec, const PhaseGuides& guides) {
    FoundPhases out;
    const Curve c(rec);
    const int n = c.size();
    if (n < 2) return out;
    const double period = c.period();
    // The levels come from what the curve held, so that a spike sets none of them.
    const double top = c.heldTop();
    if (top < kLeastWorkingPsi) return out;

    const PhaseLevels levels = phaseLevels(guides, top);
    const double high = levels.high, zero = levels.zero;
    if (!levels.usable()) return out;

    const std::vector<char> atHigh = bridged(c, period, [high](double p) { return p >= high; });
    const std::vector<char> atZero = bridged(c, period, [zero](double p) { return p <= zero; });

    // Stretches at bead or fusion level, at least a second long: a knock on the carriage during
    // the soak is no bead-up. Each belongs to a hold: the pressure between two holds fell to
    // the open level.
    std::vector<Run> runs;
    std::vector<int> holdOf;
    int hold = 0;
    for (int i = 0; i < n;) {
        if (!atHigh[size_t(i)]) {
            if (atZero[size_t(i)] && !runs.empty() && holdOf.back() == hold) ++hold;
            ++i;
            continue;
        }
        int j = i;
        while (j + 1 < n && atHigh[size_t(j + 1)]) ++j;
        if (j > i && c.t(j) - c.t(i) >= kLeastHoldS) {
            runs.push_back({i, j});
            holdOf.push_back(hold);
        }
        i = j + 1;
    }
    if (runs.empty()) return out;

    // The fusion is the longest hold at fusion level after the first: a second bead-up or the
    // carriage closed again after the release is shorter.
    int fusion = -1;
    double longest = 0;
    for (int h = 1; h <= holdOf.back(); ++h) {
        double held = 0;
        int firstRun = -1;
        for (size_t k = 0; k < runs.size(); ++k) {
            if (holdOf[k] != h) continue;
            if (firstRun < 0) firstRun = static_cast<int>(k);
            held += c.t(runs[k].last) - c.t(runs[k].first);
        }
        if (firstRun >= 0 && held > longest) longest = held, fusion = firstRun;
    }
    const int lastBead = fusion >= 0 ? fusion - 1 : static_cast<int>(runs.size()) - 1;
    const Run first = runs.front();
    const Run beadEnd = runs[size_t(lastBead)];

    auto span = [&](double from, double to) {
        return PhaseSpan{from, to, c.mean(from, to), c.held(from, to)};
    };
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
        while (i < n && !atZero[size_t(i)]) ++i;
        const double soakStop = i < n ? std::max(beadStop, c.crossing(i - 1, zero)) : c.t(n - 1);
        if (soakStop > beadStop) out.phases[1] = span(beadStop, soakStop);
        return out;
    }

    // Between the bead-up and the fusion: the soak, then the carriage open. The soak is told
    // from the open by its level, whatever it is from 0 to drag, when it stands clear of the
    // open level by more than the noise; the open is the stretch below halfway between them
    // just before the fusion's rise.
    const Run fuseRun = runs[size_t(fusion)];
    const int a = beadEnd.last + 1, b = fuseRun.first - 1;
    const auto [soakLevel, soakLow] = levelAndLow(c, a, a + (b - a) / 2);
    std::vector<double> below;
    for (int i = a; i <= b; ++i) {
        if (c.p(i) < soakLow - kLeastStepPsi) below.push_back(c.p(i));
    }
    int openFirst = -1, openLast = -1;
    double split = NAN;
    if (!below.empty()) {
        const auto mid = below.begin() + static_cast<std::ptrdiff_t>(below.size() / 2);
        std::nth_element(below.begin(), mid, below.end());
        split = 0.5 * (soakLevel + *mid);
        const std::vector<char> open = bridged(c, period, [split](double p) { return p <= split; });
        int j = b;
        while (j >= a && !open[size_t(j)]) --j;
        int i = j;
        while (i - 1 >= a && open[size_t(i - 1)]) --i;
        if (j >= a && c.t(j) - c.t(i) + period > kBridgeS) openFirst = i, openLast = j;
    }
    if (openFirst >= 0) {
        const double openStart = std::max(beadStop, c.crossing(openFirst - 1, split));
        const double openStop = std::max(openStart, c.crossing(openLast, split));
        if (openStart > beadStop) {
            out.phases[1] = span(beadStop, openStart);
            out.soakEnded = true;
        }
        out.phases[2] = span(openStart, openStop);
    } else {
        // Soak and open are one stretch on this record; the fusion starts where it ends.
        split = std::max(2 * soakLevel - soakLow + kLeastStepPsi, zero);
        openLast = b;
        while (openLast > a && c.p(openLast) > split) --openLast;
        out.soakUnclear = true;
        // The heater-removal point the operator placed with the search range inside the stretch
        // says where the soak ended.
        const double removal = rec.heaterRemoval * kSecondsPerTick;
        const double stop = c.crossing(openLast, split);
        if (rec.searchRangePercent < 100 && rec.heaterRemoval > 0 &&
            removal > beadStop + kBridgeS && removal < stop - kBridgeS) {
            out.phases[1] = span(beadStop, removal);
            out.phases[2] = span(removal, stop);
            out.soakEnded = true;
            out.soakUnclear = false;
        }
    }
    const double openStop =
        out.phases[2] ? out.phases[2]->endS : std::max(beadStop, c.crossing(openLast, split));

    // The fusion level: where the pressure settles early in the fusion, before any leak-down.
    const int quarter = std::max(5, (fuseRun.last - fuseRun.first + 1) / 4);
    double level =
        levelAndLow(c, fuseRun.first, std::min(fuseRun.last, fuseRun.first + quarter - 1)).first;
    if (!std::isfinite(level)) level = c.p(fuseRun.first);
    const double reached = std::max(kBuildUpReached * level, zero);
    int r = openLast + 1;
    while (r < n && !(c.p(r) >= reached && atHigh[size_t(r)])) ++r;
    if (r >= n) return out;
    const double buildStop = std::max(openStop, r > 0 ? c.crossing(r - 1, reached) : c.t(r));
    out.phases[3] = span(openStop, buildStop);

    // The release: the first fall to the open level after the fusion began; a slow leak-down
    // before it is still cooling, and whatever the carriage did after it is not.
    int tail = r;
    while (tail < n && !atZero[size_t(tail)]) ++tail;
    double coolStop = c.t(n - 1);
    if (tail < n) {
        const double tz = c.t(tail);
        double before =
            levelAndLow(c, std::max(r, c.firstAtOrAfter(tz - 20)), c.firstAtOrAfter(tz - 10) - 1)
                .first;
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
