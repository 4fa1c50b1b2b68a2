#pragma once

#include <string_view>

namespace vr5emu {

// The gauge pressures a butt-fusion joint goes through, in psi.
struct GaugePressures {
    double bead = 190;
    double drag = 30;
    double soak = 33;
    double fuse = 190;
    double cool = 190;
};

// Reads the gauge pressures out of a joint information payload: the recommended gauge
// pressures and the drag pressure, in the record's pressure unit, converted to psi. A value
// that does not read as a sensible pressure falls back to a typical one.
GaugePressures gaugePressuresOf(std::string_view jointInfoHex);

// The pressure the transducer sees during a joint of `totalSeconds`: bead-up, heat soak just
// above drag, the open carriage while the heater comes out, the fusion ramp, cooling with a
// slow leak-down and the release. Noise is added by the caller.
class PressureProfile {
public:
    PressureProfile(const GaugePressures& gauge, double totalSeconds);
    double at(double seconds) const;

    // When the heater is out and the carriage open: the pressure sits near 0.
    double heaterRemovalStart() const { return removalStart_; }
    double heaterRemovalEnd() const { return removalEnd_; }

private:
    GaugePressures g_;
    double total_;
    double rise_, beadEnd_, drop_, removalStart_, removalEnd_, rampEnd_, coolEnd_, release_;
};

}  // namespace vr5emu
