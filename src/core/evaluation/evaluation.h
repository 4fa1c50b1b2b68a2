#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <array>
#include <optional>

#include "evaluation/procedure.h"
#include "report/joint_record.h"

// A joint's record held against a fusion procedure: the phases found on the pressure curve and
// each check within, outside, or not checked (with the reason). An estimate from the pressure
// record; it does not replace inspecting the bead.
namespace vr5 {

enum class Phase { BeadUp, HeatSoak, Open, BuildUp, Cooling };
inline constexpr int kPhaseCount = 5;
// "bead_up", "heat_soak", "open", "build_up", "cooling".
QString phaseKey(Phase phase);
// "Bead-up", "Heat soak", "Open/changeover", "Pressure build-up", "Fusion and cooling".
QString phaseName(Phase phase);

struct PhaseSpan {
    double startS = 0;
    double endS = 0;
    double meanPsi = 0;  // mean gauge pressure over the phase
};

enum class CheckResult { Within, Outside, NotChecked };
QString resultKey(CheckResult result);  // "within", "outside", "not_checked"

// The checks, in this order: "heater_temperature", "interfacial_pressure", "heat_soak_time",
// "open_time", "build_up_time", "cooling_time", "fusion_pressure".
const QStringList& checkNames();

struct Check {
    QString name;
    std::optional<double> measured;  // in `unit`
    QString unit;
    AppliedLimit limit;
    CheckResult result = CheckResult::NotChecked;
    QString reason;  // why it was not checked
};

enum class Verdict { Within, Outside, Incomplete };
QString verdictKey(Verdict verdict);  // "within", "outside", "incomplete"

struct Evaluation {
    ProcedureInfo procedure;
    PipeGeometry pipe;  // as worked out from the report's pipe fields; empty for fittings
    std::array<std::optional<PhaseSpan>, kPhaseCount> phases;
    QList<Check> checks;
    Verdict verdict = Verdict::Incomplete;
    QString note;  // "Estimated from the pressure record; does not replace inspecting the bead."
};

// Pure function of the decoded record and the procedure.
Evaluation evaluateJoint(const JointRecord& rec, const Procedure& procedure);

// One JSON object on one line: {"file", "procedure", "outside_diameter_mm", "wall_thickness_mm",
// "phases": {...}, "checks": [...], "verdict"}.
QByteArray evaluationToJson(const Evaluation& evaluation, const QString& file);

}  // namespace vr5
