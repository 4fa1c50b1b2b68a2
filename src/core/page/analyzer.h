#pragma once

#include <QString>

#include "page/report_page.h"
#include "report/joint_record.h"

namespace vr5 {

namespace str {
inline constexpr const char* kAnalyzerCaption =
    "Analyzer (click then hold and drag this bar to reposition on screen)";
inline constexpr const char* kAnalyzerInstruction =
    "To move one data point at a time, click to select slider bar then use keyboard arrow keys.";
inline constexpr const char* kAnalyzerPrint = "Print";
}  // namespace str

// The two data points the Analyzer's sliders choose on a report of N samples. Both positions
// stay within 1..N and point 1 stays below point 2: a slider moved onto or past the other one
// stops one point short of it.
//
// A report of fewer than two samples has no two distinct points: both sit at 1 and nothing
// can be chosen (`canChoose()` is false, and a move changes nothing).
class AnalyzerModel {
public:
    explicit AnalyzerModel(int pointCount);

    int pointCount() const { return count_; }
    // The sliders' range; the last is 1 when there are no samples at all.
    int first() const { return 1; }
    int last() const { return count_ > 1 ? count_ : 1; }
    bool canChoose() const { return count_ >= 2; }

    int point1() const { return point1_; }
    int point2() const { return point2_; }

    // Slider 1 (or 2) was moved to `position`; returns where it stays, which is its new point.
    int movePoint1(int position);
    int movePoint2(int position);

    // "#n", as the labels beside the sliders show a point.
    static QString pointLabel(int point);

private:
    int count_;
    int point1_ = 1;
    int point2_ = 1;
};

// A sample's pressure as the Analyzer reads it out, in the report's own unit: "12.3 bar",
// "12.3 Kg/cm2", "1.234 MPa", or whole psi cut towards zero as "178psi".
QString analyzerPressureText(int psi, int pressureUnitIndex, double psiPerUnit);

// The readout of two points (1-based sample numbers) of a report: the pressure and time at
// each and the time between them, as the title of the stretch's plot. Empty when the report
// holds no samples. Points outside 1..N are taken as the nearest of them.
QString analyzerReadout(const JointRecord& rec, int point1, int point2);

// What the page draws while the Analyzer shows these points.
AnalyzerView analyzerView(const JointRecord& rec, int point1, int point2);

}  // namespace vr5
