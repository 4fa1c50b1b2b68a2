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
    double heldPsi = 0;  // the gauge pressure it held: the median of its samples
};

enum class CheckResult { Within, Outside, NotChecked };
QString resultKey(CheckResult result);  // "within", "outside", "not_checked"

// The checks, in this order: "heater_temperature", "interfacial_pressure", "heat_soak_time",
// "open_time", "build_up_time", "cooling_time", "fusion_pressure", "bead_up_pressure",
// "heat_soak_pressure". New checks are added at the end, so the first ones keep their places.
const QStringList& checkNames();

struct Check {
    QString name;
    std::optional<double> measured;  // in `unit`
    QString unit;
    AppliedLimit limit;
    CheckResult result = CheckResult::NotChecked;
    QString reason;  // why it was not checked
};

// A record logged in demo mode is no joint: its verdict is Demo whatever its checks say.
enum class Verdict { Within, Outside, Incomplete, Demo };
QString verdictKey(Verdict verdict);  // "within", "outside", "incomplete", "demo"

// "confirmed", "one_source", "common_practice", as the procedure files name them.
QString limitStatusKey(LimitStatus status);

// The heater temperature a report's heater text holds; empty when it is no reading: "-0-"
// (the probe read nothing), "ERR", "---", an empty text, or anything not a number.
std::optional<double> heaterReading(const QString& text);

// The family of a pipe material as the procedures name them ("HDPE PE4710" and "PE100" are
// "PE", "PA 12" is "PA12", "PP-R" is "PP"); empty when the text names none the program knows.
QString materialFamily(const QString& material);

struct Evaluation {
    ProcedureInfo procedure;
    PipeGeometry pipe;  // as worked out from the report's pipe fields; empty for fittings
    std::array<std::optional<PhaseSpan>, kPhaseCount> phases;
    QList<Check> checks;
    Verdict verdict = Verdict::Incomplete;
    QString note;  // "Estimated from the pressure record; does not replace inspecting the bead."
    bool demo = false;        // logged in demo mode: the logger played stored pressures
    QString material;         // the report's pipe material, as typed
    QString materialProblem;  // why the procedure's limits do not hold for this material
};

// Pure function of the decoded record and the procedure.
Evaluation evaluateJoint(const JointRecord& rec, const Procedure& procedure);

// One JSON object on one line: {"file", "procedure", "outside_diameter_mm", "wall_thickness_mm",
// "phases": {...}, "checks": [...], "verdict", "demo", "material", "material_problem"}; each
// check also says its limit's "status" and, when not checked, the "reason".
QByteArray evaluationToJson(const Evaluation& evaluation, const QString& file);

}  // namespace vr5
