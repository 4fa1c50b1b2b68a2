#include "page/analyzer.h"

#include <algorithm>

#include "text/tick_format.h"

namespace vr5 {

namespace {

// Pressure at point 1, its time, the time between the points, pressure and time at point 2.
// The times read h:mm:ss.t.
constexpr const char* kReadout = "Analyzer: %1 at %2   (delta: %3)   %4 at %5";

}  // namespace

AnalyzerModel::AnalyzerModel(int pointCount) : count_(std::max(pointCount, 0)), point2_(last()) {}

int AnalyzerModel::movePoint1(int position) {
    if (!canChoose()) return point1_;
    point1_ = std::clamp(position, first(), last());
    if (point1_ >= point2_) point1_ = point2_ - 1;
    return point1_;
}

int AnalyzerModel::movePoint2(int position) {
    if (!canChoose()) return point2_;
    point2_ = std::clamp(position, first(), last());
    if (point1_ >= point2_) point2_ = point1_ + 1;
    return point2_;
}

QString AnalyzerModel::pointLabel(int point) {
    return u'#' + QString::number(point);
}

QString analyzerPressureText(int psi, int pressureUnitIndex, double psiPerUnit) {
    const double value = psi / (psiPerUnit > 0 ? psiPerUnit : 1.0);
    // QString::number writes the same digits under every language setting.
    switch (pressureUnitIndex) {
        case 1:
            return QString::number(value, 'f', 1) + QStringLiteral(" bar");
        case 2:
            return QString::number(value, 'f', 1) + QStringLiteral(" Kg/cm2");
        case 3:
            return QString::number(value, 'f', 3) + QStringLiteral(" MPa");
        default:
            return QString::number(static_cast<int>(value)) + QStringLiteral("psi");
    }
}

QString analyzerReadout(const JointRecord& rec, int point1, int point2) {
    const int n = std::min({rec.sampleCount, static_cast<int>(rec.time.size()),
                            static_cast<int>(rec.pressure.size())});
    if (n <= 0) return {};
    const int i1 = std::clamp(point1, 1, n) - 1;
    const int i2 = std::clamp(point2, 1, n) - 1;
    const int unit = rec.fields.pressureUnitIndex;
    const int t1 = rec.Time(i1);
    const int t2 = rec.Time(i2);
    return QString::fromUtf8(kReadout).arg(
        analyzerPressureText(rec.Pressure(i1), unit, rec.psiPerUnit), formatTicks(t1),
        formatTicks(t2 - t1), analyzerPressureText(rec.Pressure(i2), unit, rec.psiPerUnit),
        formatTicks(t2));
}

AnalyzerView analyzerView(const JointRecord& rec, int point1, int point2) {
    return {true, point1, point2, analyzerReadout(rec, point1, point2)};
}

}  // namespace vr5
