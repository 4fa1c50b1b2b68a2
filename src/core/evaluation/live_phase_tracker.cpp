#include "evaluation/live_phase_tracker.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

namespace vr5 {

namespace {

// How long the pressure stays past a boundary before it counts: shorter excursions are
// bridged, as the phase finder bridges them.
constexpr double kConfirmS = kBridgeS - kPhaseSecondsPerTick;
// The soak's level is read over its first minute, as the finder reads it over its first half.
constexpr double kSoakLevelS = 60;
// How far back a boundary's crossing is looked for when a stage begins.
constexpr size_t kLookBack = 100;
// A second bead-up comes early in the soak, when the bead is seen to be uneven; a rise to
// fusion pressure after this long at soak level is the fusion.
constexpr double kLatestSecondBeadS = 60;

std::optional<double> inSeconds(const std::optional<double>& value, const QString& unit) {
    if (!value) return std::nullopt;
    return unit == u"min" ? *value * 60.0 : *value;
}

}  // namespace

QString limitStateKey(LimitState state) {
    switch (state) {
        case LimitState::Met:
            return QStringLiteral("met");
        case LimitState::Exceeded:
            return QStringLiteral("exceeded");
        case LimitState::Short:
            return QStringLiteral("short");
        case LimitState::Running:
            break;
    }
    return QStringLiteral("running");
}

std::array<PhaseLimit, kPhaseCount> phaseTimeLimits(const Procedure& procedure,
                                                    const PipeGeometry& pipe) {
    static const char* checks[kPhaseCount] = {nullptr, "heat_soak_time", "open_time",
                                              "build_up_time", "cooling_time"};
    std::array<PhaseLimit, kPhaseCount> limits;
    for (int i = 0; i < kPhaseCount; ++i) {
        if (!checks[i]) continue;
        const AppliedLimit applied = procedure.limit(QString::fromLatin1(checks[i]), pipe);
        if (!applied.applies()) continue;
        limits[size_t(i)] = {inSeconds(applied.min, applied.unit),
                             inSeconds(applied.max, applied.unit)};
    }
    return limits;
}

QString minutesSeconds(double seconds) {
    const long whole = std::max(0L, static_cast<long>(std::floor(seconds + 1e-6)));
    return QStringLiteral("%1:%2").arg(whole / 60).arg(whole % 60, 2, 10, QLatin1Char('0'));
}

QString phaseLimitText(const PhaseLimit& limit) {
    const auto low = [&] { return minutesSeconds(std::ceil(*limit.minS - 1e-6)); };
    const auto high = [&] { return minutesSeconds(*limit.maxS); };
    if (limit.minS && limit.maxS) return QStringLiteral("%1 to %2").arg(low(), high());
    if (limit.minS) return QStringLiteral("at least %1").arg(low());
    if (limit.maxS) return QStringLiteral("at most %1").arg(high());
    return {};
}

LivePhaseTracker::LivePhaseTracker(const PhaseGuides& guides,
                                   const std::array<PhaseLimit, kPhaseCount>& limits)
    : guides_(guides), limits_(limits) {}

bool LivePhaseTracker::feed(double timeS, double psi) {
    if (!std::isfinite(timeS) || !std::isfinite(psi)) return false;
    if (!samples_.empty() && timeS <= samples_.back().t) return false;
    samples_.push_back({timeS, psi});

    // The held top: the highest of the lows over kHeldS windows, kept with a window whose lows
    // rise from front to back.
    while (!window_.empty() && window_.back().p >= psi) window_.pop_back();
    window_.push_back({timeS, psi});
    while (window_.front().t < timeS - kHeldS) window_.pop_front();
    if (samples_.front().t <= timeS - kHeldS + 1.5 * kPhaseSecondsPerTick &&
        window_.front().p > heldTop_) {
        heldTop_ = window_.front().p;
        // A rise of more than a few percent since the last counts as the pressure still going
        // up, however slowly it creeps.
        if (heldTop_ > heldTopAtRise_ * 1.03 + 1) heldTopRoseAt_ = timeS, heldTopAtRise_ = heldTop_;
    }
    // The set-up's pressures are the levels to go by as soon as the joint starts. An operator
    // may work to other pressures than the set-up recommended: when, before any bead-up, the
    // curve has held a working pressure for a while that the set-up's bead level would never
    // count as one, the curve's own levels are taken from then on, as the phase finder takes
    // them.
    const bool drop = !guidesDropped_ && stage_ == Stage::Waiting && guidesUnreachable() &&
                      timeS - heldTopRoseAt_ >= kHeldS;
    if (drop) guidesDropped_ = true;
    double top = heldTop_;
    if (!guidesDropped_) {
        for (const auto& g : {guides_.beadPsi, guides_.fusePsi}) {
            if (g && std::isfinite(*g) && *g > 0) top = std::max(top, *g);
        }
    }
    levels_ = phaseLevels(guides_, top);
    // The bead-up under way began where the curve crossed the new level.
    if (drop) rescanPending();

    const qsizetype before = events_.size();
    step();
    updateNow();
    return events_.size() != before;
}

bool LivePhaseTracker::guidesUnreachable() const {
    const double drag = guides_.dragPsi.value_or(0);
    for (const auto& g : {guides_.beadPsi, guides_.fusePsi}) {
        if (!g || !std::isfinite(*g) || *g <= drag) continue;
        // Held well above drag (not the drag held before the bead-up), yet short of halfway
        // from drag to the set-up's level, with room to spare.
        if (heldTop_ >= kLeastWorkingPsi && heldTop_ > drag + 0.25 * (*g - drag) &&
            drag + 0.5 * (*g - drag) > 0.9 * heldTop_)
            return true;
    }
    return false;
}

bool LivePhaseTracker::beyond(double p) const {
    switch (stage_) {
        case Stage::Waiting:
        case Stage::BuildUp:
            return p >= levels_.high;
        case Stage::BeadUp:
            return p < levels_.high;
        case Stage::Soak:
            return p >= levels_.high || (openVisible_ && p < soakLow_ - kLeastStepPsi);
        case Stage::Open:
            return p > split_;
        case Stage::Cooling:
            return p <= levels_.zero;
        case Stage::Released:
            break;
    }
    return false;
}

void LivePhaseTracker::rescanPending() {
    pendingSince_ = -1;
    const size_t last = samples_.size() - 1;
    size_t k = samples_.size();
    while (k > 0 && samples_.size() - k < kLookBack && beyond(samples_[k - 1].p)) --k;
    if (k <= last) pendingSince_ = samples_[k].t, pendingIndex_ = k;
}

double LivePhaseTracker::crossingBefore(size_t k, double level) const {
    if (k == 0 || k >= samples_.size()) return samples_[std::min(k, samples_.size() - 1)].t;
    const Sample& a = samples_[k - 1];
    const Sample& b = samples_[k];
    if (a.p == b.p) return a.t;
    const double f = std::clamp((level - a.p) / (b.p - a.p), 0.0, 1.0);
    return a.t + f * (b.t - a.t);
}

double LivePhaseTracker::median(double fromS, double toS) const {
    std::vector<double> values;
    auto it = std::lower_bound(samples_.begin(), samples_.end(), fromS,
                               [](const Sample& s, double t) { return s.t < t; });
    for (; it != samples_.end() && it->t <= toS; ++it) values.push_back(it->p);
    if (values.empty()) return NAN;
    const auto mid = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), mid, values.end());
    return *mid;
}

void LivePhaseTracker::begin(Phase phase, double startS, bool endsPrevious) {
    PhaseEvent event{phase, startS, std::nullopt, 0, LimitState::Met};
    if (endsPrevious && now_.phase) {
        event.ended = now_.phase;
        event.endedS = std::max(0.0, startS - phaseStart_);
        event.endedState = stateOf(*now_.phase, event.endedS, true, startSeen_);
    }
    events_ << event;
    now_.phase = phase;
    phaseStart_ = startS;
    startSeen_ = true;
    stage_ = phase == Phase::BeadUp     ? Stage::BeadUp
             : phase == Phase::HeatSoak ? Stage::Soak
             : phase == Phase::Open     ? Stage::Open
             : phase == Phase::BuildUp  ? Stage::BuildUp
                                        : Stage::Cooling;
    if (phase == Phase::BeadUp) beadStart_ = startS;
    if (phase == Phase::HeatSoak) fellToZero_ = false, openVisible_ = false, zeroSince_ = -1;
    rescanPending();
}

void LivePhaseTracker::step() {
    const Sample& s = samples_.back();
    if (!levels_.usable() || stage_ == Stage::Released) return;

    if (stage_ == Stage::Waiting && events_.isEmpty() && samples_.size() == 1 &&
        s.t > 2 * kBridgeS && s.p > levels_.zero && s.p < levels_.high) {
        // Begun while the logger was already logging a joint at a working pressure below the
        // bead level: the bead-up is behind it, and the soak began before the tracker did.
        begin(Phase::HeatSoak, s.t);
        startSeen_ = false;
        return;
    }

    if (stage_ == Stage::Soak) {
        // The soak's level, over its first minute after its ramp; once it stands clear of the
        // open level an open can be told from it.
        // A fall that may be the open is no part of it.
        if (s.t <= phaseStart_ + kBridgeS + kSoakLevelS && pendingSince_ < 0 && !beyond(s.p)) {
            std::vector<double> values;
            auto it = std::lower_bound(samples_.begin(), samples_.end(), phaseStart_ + kBridgeS,
                                       [](const Sample& x, double t) { return x.t < t; });
            for (; it != samples_.end(); ++it) values.push_back(it->p);
            if (values.size() >= 5) {
                auto at = [&values](double fraction) {
                    const auto i = values.begin() + static_cast<std::ptrdiff_t>(
                                                        fraction * double(values.size() - 1));
                    std::nth_element(values.begin(), i, values.end());
                    return *i;
                };
                soakLevel_ = at(0.5);
                soakLow_ = at(0.05);
                openVisible_ = soakLow_ - kLeastStepPsi > levels_.zero / 2;
            }
        }
        if (s.p <= levels_.zero) {
            if (zeroSince_ < 0) zeroSince_ = s.t;
            if (s.t - zeroSince_ >= kConfirmS) fellToZero_ = true;
        } else {
            zeroSince_ = -1;
        }
    }

    if (!beyond(s.p)) {
        pendingSince_ = -1;
        return;
    }
    if (pendingSince_ < 0) pendingSince_ = s.t, pendingIndex_ = samples_.size() - 1;
    // A hold at bead or fusion level is one once it lasted kLeastHoldS; any other boundary
    // once the pressure stayed past it longer than a bridged excursion.
    const bool toHold = stage_ == Stage::Waiting || stage_ == Stage::BuildUp ||
                        (stage_ == Stage::Soak && s.p >= levels_.high);
    if (s.t - pendingSince_ < (toHold ? kLeastHoldS : kConfirmS)) return;

    const size_t k = pendingIndex_;
    switch (stage_) {
        case Stage::Waiting:
            begin(Phase::BeadUp, k == 0 ? samples_[0].t : crossingBefore(k, levels_.high));
            break;
        case Stage::BeadUp:
            begin(Phase::HeatSoak, crossingBefore(k, levels_.high));
            break;
        case Stage::Soak:
            if (s.p >= levels_.high) {
                const double level =
                    std::max(2 * soakLevel_ - soakLow_ + kLeastStepPsi, levels_.zero);
                if (!fellToZero_ && samples_[k].t - phaseStart_ < kLatestSecondBeadS) {
                    // Back at bead pressure early in the soak without the carriage opened: a
                    // second bead-up, which the bead-up takes in as the evaluation does.
                    begin(Phase::BeadUp, beadStart_, false);
                } else if (!fellToZero_) {
                    // At fusion pressure after a long soak: the carriage opened and closed
                    // between two replies (replies far apart, a quick changeover). The open
                    // began after the last reply at the soak's level.
                    size_t j = k;
                    while (j > 0 && samples_[j - 1].p > level) --j;
                    if (j > 0) begin(Phase::Open, std::max(phaseStart_, samples_[j - 1].t));
                    begin(Phase::BuildUp, std::max(phaseStart_, crossingBefore(j, level)));
                    step();
                } else {
                    // The fusion after a soak that bled down to the open level: soak and open
                    // cannot be told apart, the build-up starts where the pressure left it.
                    size_t j = k;
                    while (j > 0 && samples_[j - 1].p > level) --j;
                    begin(Phase::BuildUp, crossingBefore(j, level));
                    step();
                }
            } else {
                // The carriage opened: the open is below halfway between the soak's level and
                // where the pressure went.
                split_ = 0.5 * (soakLevel_ + median(pendingSince_, s.t));
                size_t j = k;
                while (j > 0 && samples_[j - 1].p <= split_) --j;
                while (j < samples_.size() - 1 && samples_[j].p > split_) ++j;
                const double split = split_;
                begin(Phase::Open, std::max(phaseStart_, crossingBefore(j, split)));
                split_ = split;
                rescanPending();
            }
            break;
        case Stage::Open: {
            size_t j = k;
            while (j > 0 && samples_[j - 1].p > split_) --j;
            begin(Phase::BuildUp, std::max(phaseStart_, crossingBefore(j, split_)));
            step();
            break;
        }
        case Stage::BuildUp: {
            // The fusion level: where the pressure settled once it reached it; while it still
            // climbs, the build-up goes on.
            double low = s.p, high = s.p;
            for (size_t i = samples_.size(); i > 0 && samples_[i - 1].t >= s.t - kLeastHoldS; --i)
                low = std::min(low, samples_[i - 1].p), high = std::max(high, samples_[i - 1].p);
            if (high - low > 0.05 * high + 2 * kLeastStepPsi) break;
            const double level = median(s.t - kLeastHoldS, s.t);
            const double reached = std::max(kBuildUpReached * level, levels_.zero);
            auto it = std::lower_bound(samples_.begin(), samples_.end(), phaseStart_,
                                       [](const Sample& x, double t) { return x.t < t; });
            while (it != samples_.end() && it->p < reached) ++it;
            const size_t r = static_cast<size_t>(it - samples_.begin());
            begin(Phase::Cooling, std::max(phaseStart_, crossingBefore(r, reached)));
            break;
        }
        case Stage::Cooling: {
            // Released: the cooling ends halfway down from where the pressure stood before.
            const double tz = pendingSince_;
            double before = median(tz - 20, tz - 10);
            if (!std::isfinite(before)) before = k > 0 ? samples_[k - 1].p : levels_.high;
            const double halfway = std::max(levels_.zero, 0.5 * before);
            size_t i = k;
            while (i > 0 && samples_[i - 1].p < halfway && samples_[i - 1].t > phaseStart_) --i;
            phaseEnd_ = std::max(phaseStart_, crossingBefore(i, halfway));
            stage_ = Stage::Released;
            now_.released = true;
            break;
        }
        case Stage::Released:
            break;
    }
}

LimitState LivePhaseTracker::stateOf(Phase phase, double seconds, bool ended,
                                     bool startSeen) const {
    const PhaseLimit& limit = limits_[static_cast<size_t>(phase)];
    // A limit and a time are decimals in doubles: a hair's breadth on the limit is on it.
    constexpr double kSlack = 1e-9;
    if (limit.maxS && seconds > *limit.maxS + kSlack) return LimitState::Exceeded;
    if (limit.minS && seconds < *limit.minS - kSlack) {
        // A phase whose start the tracker did not see may have been long enough.
        return ended && startSeen ? LimitState::Short : LimitState::Running;
    }
    return ended || limit.minS ? LimitState::Met : LimitState::Running;
}

void LivePhaseTracker::updateNow() {
    if (!now_.phase) return;
    const double end = stage_ == Stage::Released ? phaseEnd_ : samples_.back().t;
    now_.phaseS = std::max(0.0, end - phaseStart_);
    now_.limit = limits_[static_cast<size_t>(*now_.phase)];
    now_.state = stateOf(*now_.phase, now_.phaseS, stage_ == Stage::Released, startSeen_);
}

}  // namespace vr5
