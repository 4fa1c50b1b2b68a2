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

// The phases of a joint on its pressure record. The levels are those the curve held (a spike or
// a dropout sets none); excursions up to about a second inside a phase are bridged. Boundaries
// are where the curve crosses halfway between two phases' levels (interpolated between
// samples); the fusion is the longest hold at fusion level after the bead-up; the build-up ends
// when the pressure reaches 95% of the fusion level; the cooling ends with the fusion's fall to
// zero, or with the record.
FoundPhases findPhases(const JointRecord& rec, const PhaseGuides& guides);

}  // namespace vr5
