#pragma once

#include <QString>

#include "settings/settings_store.h"

namespace vr5 {

// The drag pressure as the Drag Pressure page stores it ("30 psi"), in psi: its number is taken
// in the unit its label names, and only a value without a label the program knows is taken in
// `currentPressureUnitIndex`. The sign is dropped.
double dragPressurePsi(const QString& stored, int currentPressureUnitIndex);

// A pressure typed in one unit, written in another: the leading number converted and shown with
// the decimals of the new unit, fewer when that would not fit `maxLength` characters. Whatever
// followed the number is dropped (nothing ever reads it). A text without a leading number ("--",
// a typo) is returned as it is.
QString convertPressureText(const QString& text, int fromUnit, int toUnit, int maxLength);

// The operator has switched the pressure unit from one to another: every pressure remembered for
// the next joint in the old unit is rewritten in the new one (the four interfacial pressures, the
// drag pressure with its label), so that none is ever read in a unit it was not typed in.
// Nothing changes when both are the same unit.
void convertRememberedPressures(SettingsStore& settings, int fromUnit, int toUnit);

}  // namespace vr5
