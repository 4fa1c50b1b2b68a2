#include "units/units.h"

#include <array>

namespace vr5 {

namespace {

constexpr std::array<PressureUnit, kPressureUnitCount> kPressureUnits = {{
    {1.0, 0, "psi", "psi", "psi"},
    {14.5, 1, "bar", "bar", "bar"},
    {14.2, 1, "Kg/cm\u00B2", "Kg/cm2", "kg/cm\u00B2"},
    {145.0, 3, "MPa", "MPa", "MPa"},
}};

}  // namespace

int knownPressureUnitIndex(int pressureUnitIndex) {
    return pressureUnitIndex >= 0 && pressureUnitIndex < kPressureUnitCount ? pressureUnitIndex : 0;
}

const PressureUnit& pressureUnit(int pressureUnitIndex) {
    return kPressureUnits[static_cast<size_t>(knownPressureUnitIndex(pressureUnitIndex))];
}

double psiPerUnit(int pressureUnitIndex) {
    return pressureUnit(pressureUnitIndex).psiPerUnit;
}

QString pressureUnitLabel(int pressureUnitIndex) {
    return QString::fromUtf8(pressureUnit(pressureUnitIndex).label);
}

QString recordUnitText(int pressureUnitIndex) {
    return QString::fromUtf8(pressureUnit(pressureUnitIndex).recordText);
}

int pressureUnitIndexOfLabel(const QString& label) {
    for (int i = 0; i < kPressureUnitCount; ++i) {
        if (label == QString::fromUtf8(kPressureUnits[static_cast<size_t>(i)].label)) return i;
    }
    return -1;
}

QString formatPressureInUnit(double psi, int pressureUnitIndex) {
    const PressureUnit& unit = pressureUnit(pressureUnitIndex);
    // QString::number formats as the C locale does, whatever the computer's language.
    return QString::number(psi / unit.psiPerUnit, 'f', unit.decimals);
}

QString temperatureUnitLabel(int temperatureUnitIndex) {
    return temperatureUnitIndex == 1 ? QStringLiteral("\u00B0C") : QStringLiteral("\u00B0F");
}

}  // namespace vr5
