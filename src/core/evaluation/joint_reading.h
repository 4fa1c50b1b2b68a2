#pragma once

#include <QString>
#include <array>
#include <optional>

#include "evaluation/evaluation.h"
#include "evaluation/procedure.h"
#include "report/joint_record.h"

// What the evaluation reads from a decoded report: the pipe's size and the phases on its curve.
namespace vr5 {

// The number a header text starts with ("30 psi" -> 30), read the same under every language;
// empty for "---", "--" or anything else without one.
std::optional<double> leadingNumber(const QString& text);

// Outside diameter and wall (mm) from the pipe fields through the pipe catalogue; empty for a
// fitting or a size no table holds.
PipeGeometry pipeGeometry(const JointRecord& rec);

// The report's gauge pressures (psi) that say where the curve's levels should be; an empty one
// is found on the curve itself.
struct PhaseGuides {
    std::optional<double> beadPsi;
    std::optional<double> fusePsi;
    std::optional<double> dragPsi;
};

struct FoundPhases {
    std::array<std::optional<PhaseSpan>, kPhaseCount> phases;
    bool soakEnded = false;  // the heat soak ended with the heater taken out
    bool released = false;   // the fusion pressure was released before the record ended
    // A fusion follows a stretch whose soak and open levels are too close to tell apart: the
    // heat soak and open phases are left empty.
    bool soakUnclear = false;
};

// What the phase finder and the live phase tracker both go by.
inline constexpr double kPhaseSecondsPerTick = 0.2;
// Below this the record never held a joint's pressure at all.
inline constexpr double kLeastWorkingPsi = 5.0;
// Dropouts, gaps, over-range readings and knocks up to about a second inside a phase are
// bridged: no carriage opens or closes and no heater comes out that fast.
inline constexpr double kBridgeS = 1.1;
// A level is one the curve held this long: a spike is no level.
inline constexpr double kHeldS = 2.0;
// The least step between soak and open that the logger's whole-psi readings can show.
inline constexpr double kLeastStepPsi = 1.5;
// A stretch at bead or fusion level is a hold once it lasted this long.
inline constexpr double kLeastHoldS = 1.0;
// The build-up ends when the pressure reaches this share of the fusion level.
inline constexpr double kBuildUpReached = 0.95;

// The pressures (psi) that part a joint's phases: at or above `high` the carriage is at bead or
// fusion pressure; at or below `zero` it is open (or a soak bled down to nothing).
struct PhaseLevels {
    double drag = 0;
    double bead = 0;
    double fuse = 0;
    double high = 0;
    double zero = 0;
    // Too low to part phases: no joint's pressure.
    bool usable() const { return high > zero; }
};

// The levels for a curve whose held top is `topPsi`, taking the report's guides where they fit
// it: a drag below the working pressure, a bead or fuse pressure the curve reached (a
// recommendation never dialled in is no guide).
PhaseLevels phaseLevels(const PhaseGuides& guides, double topPsi);

// The phases of a joint on its pressure record. The levels are those the curve held (a spike or
// a dropout sets none); excursions up to about a second inside a phase are bridged. Boundaries
// are where the curve crosses halfway between two phases' levels (interpolated between
// samples); the fusion is the longest hold at fusion level after the bead-up; the build-up ends
// when the pressure reaches 95% of the fusion level; the cooling ends with the fusion's fall to
// zero, or with the record.
FoundPhases findPhases(const JointRecord& rec, const PhaseGuides& guides);

}  // namespace vr5
