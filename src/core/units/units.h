#pragma once

#include <QString>

namespace vr5 {

// The pressure units the program knows, by their stored index: 0 psi, 1 bar, 2 kg/cm², 3 MPa.
// Pressures are held in psi; a value in another unit is the psi value divided by its factor.
struct PressureUnit {
    double psiPerUnit;
    int decimals;                 // how many decimals a pressure in this unit is shown with
    const char* label;            // the program's label, stored after drag pressures
    const char* recordText;       // the unit text of a joint report
    const char* settingsCaption;  // the Settings dialog's radio button
};

inline constexpr int kPressureUnitCount = 4;

// The unit of a stored index; any index outside 0..3 is psi.
const PressureUnit& pressureUnit(int pressureUnitIndex);
// The index itself, with anything unknown taken as psi (0).
int knownPressureUnitIndex(int pressureUnitIndex);

double psiPerUnit(int pressureUnitIndex);
QString pressureUnitLabel(int pressureUnitIndex);  // "psi", "bar", "Kg/cm²", "MPa"
QString recordUnitText(int pressureUnitIndex);     // "psi", "bar", "Kg/cm2", "MPa"
// The index whose program label is exactly `label`, or -1.
int pressureUnitIndexOfLabel(const QString& label);

// A pressure given in psi, shown in a unit with that unit's decimals ("%.0f", "%.1f", "%.1f",
// "%.3f"). The same under every language setting of the computer.
QString formatPressureInUnit(double psi, int pressureUnitIndex);

// Temperature units: 0 °F, 1 °C (anything else °F).
inline constexpr int kTemperatureUnitCount = 2;
QString temperatureUnitLabel(int temperatureUnitIndex);  // "°F", "°C"

}  // namespace vr5
