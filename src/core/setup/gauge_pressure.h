#pragma once

#include <QString>
#include <optional>

#include "program_state.h"
#include "settings/settings_store.h"
#include "units/units.h"

namespace vr5 {

inline constexpr double kSquareCentimetresPerSquareInch = 6.4516;
// What a gauge pressure shows when it cannot be computed.
inline constexpr const char* kNoGaugePressure = "-----";

// The gauge pressure to dial in for one interfacial pressure text: interfacial pressure x pipe
// area / piston area + drag pressure, in the unit of "Press Unit Inx", without a unit label;
// "-----" when it cannot be computed. Reads the set-up values from the store.
QString GetRecommendedGaugePressure(const QString& interfacialPressure,
                                    const SettingsStore& settings, const ProgramState& state);

// The gauge pressure (psi) that stands for an interfacial pressure (psi) through the set-up of
// the pages: interfacial x pipe area / piston area + drag. Empty when the set-up gives no area
// or piston area.
std::optional<double> gaugePsiOfInterfacial(double interfacialPsi, const SettingsStore& settings,
                                            const QString& modelText, int currentPressureUnitIndex);

// The absolute value of a number in the current pressure unit, in psi.
double ConvertToPsi(double value, int currentPressureUnitIndex);

// The text of a live pressure reading.
QString FormatPressureReading(double psi, int pressureUnitIndex);

// Re-reads the pressure and temperature units and sets the program's unit labels.
void RefreshUnitLabels(const SettingsStore& settings, ProgramState& state);

// Takes the pressure unit of the settings as the current one and refreshes the labels: done at
// start-up and whenever the settings change, so that set-up pages opened before the first
// connection already work in the operator's unit.
void loadCurrentUnits(const SettingsStore& settings, ProgramState& state);

}  // namespace vr5
