#pragma once

#include <QString>

#include "evaluation/evaluation.h"
#include "evaluation/procedure.h"
#include "page/page_drawing.h"
#include "report/joint_record.h"

namespace vr5 {

// While active, the window, its printing and its exports show the joint's evaluation against
// `procedure` instead of the report page.
struct EvaluationView {
    bool active = false;
    Procedure procedure;
};

inline constexpr const char* kEvaluationHeading = "Joint Evaluation";
inline constexpr const char* kEvaluationNote =
    "Estimated from the pressure record; does not replace inspecting the bead.";
inline constexpr const char* kNotKnown = "not known";
inline constexpr const char* kPhaseNotFound = "not found";
inline constexpr const char* kWithinMark = "within";
inline constexpr const char* kOutsideMark = "OUTSIDE";
inline constexpr const char* kNotCheckedMark = "not checked";
inline constexpr const char* kCommonPracticeMark = "(common practice)";
inline constexpr const char* kDemoVerdict = "Demo record: not a joint";
inline constexpr const char* kDemoLine =
    "Logged in demo mode: the logger played its stored demo pressures, so there is no joint to "
    "judge.";
inline constexpr const char* kCommonPracticeNote =
    "(common practice): limit from common practice, check against your qualified procedure.";

inline constexpr Rgb kWithinColor = rgb(0, 120, 0);
inline constexpr Rgb kOutsideColor = rgb(200, 0, 0);
inline constexpr Rgb kNotCheckedColor = rgb(150, 90, 0);

// The light colour a phase is shaded with on the summary plot.
Rgb phaseShade(Phase phase);

// A check's name as the page shows it: "heat_soak_time" is "Heat soak time".
QString checkTitle(const QString& name);

// A measured value or limit as the page writes it: as many decimals as its size needs, no
// trailing zeros ("0.172", "8.4", "450").
QString evaluationNumber(double value);

// The evaluation page of a joint: the procedure and the pipe, the phases found on the curve, each
// check against its limit, the verdict, and the summary plot with the phases shaded and named.
// `path` is the report's full path as the report page shows it.
PageDrawing buildEvaluationPage(const JointRecord& rec, const Evaluation& e, const QString& path,
                                const PageMetrics& m, Medium medium);

}  // namespace vr5
