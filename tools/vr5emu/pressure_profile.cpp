#include "pressure_profile.h"

#include <algorithm>

#include "hex_fields.h"

namespace vr5emu {

namespace {

// psi per unit, by the record's pressure unit index: psi, bar, kg/cm², MPa.
double psiPerUnit(int unitIndex) {
    switch (unitIndex) {
        case 1:
            return 14.5;
        case 2:
            return 14.2;
        case 3:
            return 145.0;
        default:
            return 1.0;
    }
}

double lerp(double from, double to, double fraction) {
    return from + (to - from) * std::clamp(fraction, 0.0, 1.0);
}

}  // namespace

GaugePressures gaugePressuresOf(std::string_view jointInfoHex) {
    GaugePressures g;
    const auto fields = parseRecord(jointInfoHex, kJointInfoLayout);
    if (!fields) return g;
    const auto& f = *fields;
    const double factor = psiPerUnit(std::get<int>(f[info::kPressureUnit]));
    // A gauge pressure is "-----" when it could not be worked out; 0 or a pressure beyond
    // the transducer's range is no better.
    const auto read = [&](int index, double fallback) {
        const auto value = leadingNumber(std::get<QString>(f[index]));
        if (!value) return fallback;
        const double psi = *value * factor;
        return (psi > 0 && psi <= 3000) ? psi : fallback;
    };
    g.drag = read(info::kDrag, g.drag);
    g.bead = read(info::kRecHeat, g.bead);
    g.soak = read(info::kRecSoak, g.drag + 3);
    g.fuse = read(info::kRecFuse, g.fuse);
    g.cool = read(info::kRecCool, g.fuse);
    return g;
}

PressureProfile::PressureProfile(const GaugePressures& gauge, double totalSeconds)
    : g_(gauge), total_(std::max(totalSeconds, 0.2)) {
    // Fractions of the joint for the long phases, a few seconds (less in a very short joint)
    // for the quick moves.
    const double quick = std::min(4.0, total_ * 0.03);
    rise_ = std::min(3.0, total_ * 0.02);
    beadEnd_ = total_ * 0.10;
    drop_ = std::min(2.0, total_ * 0.02);
    removalStart_ = total_ * 0.45;
    removalEnd_ = removalStart_ + quick;
    rampEnd_ = removalEnd_ + quick;
    coolEnd_ = total_ * 0.95;
    release_ = std::min(2.0, total_ * 0.02);
}

double PressureProfile::at(double t) const {
    if (t < rise_) return lerp(0, g_.bead, t / rise_);
    if (t < beadEnd_) return g_.bead;
    if (t < removalStart_) return lerp(g_.bead, g_.soak, (t - beadEnd_) / drop_);
    if (t < removalEnd_) return 1.0;
    if (t < rampEnd_) return lerp(1.0, g_.fuse, (t - removalEnd_) / (rampEnd_ - removalEnd_));
    if (t < coolEnd_) {
        // The cooling pressure settles from fuse to cool and leaks down slowly, a few percent
        // over the whole cooling time.
        const double settled = lerp(g_.fuse, g_.cool, (t - rampEnd_) / 10.0);
        return settled * (1.0 - 0.05 * (t - rampEnd_) / (coolEnd_ - rampEnd_));
    }
    const double leaked = g_.cool * 0.95;
    return lerp(leaked, 0, (t - coolEnd_) / release_);
}

}  // namespace vr5emu
