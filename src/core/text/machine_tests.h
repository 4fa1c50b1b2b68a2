#pragma once

#include <QString>

namespace vr5 {

// A machine for which the operator types the fusion area instead of having it computed from the
// pipe: the first of "ZG LD", "ZJ", "ZF" found in the model text decides.
bool IsDirectAreaMachine(const QString& modelText);

// The mechanical machine, set up from a fitting's label: its model text contains "ZG Mech.".
bool isMechanicalModelText(const QString& modelText);

}  // namespace vr5
