#pragma once

#include <QString>

#include "setup/setup_context.h"

namespace vr5 {

// A value typed into a box whose number feeds the gauge pressures (drag pressure, interfacial
// pressures, piston area, pipe area) must start with a number: one that does not ("abc", "x75")
// would read as 0 and quietly take part in the calculation as nothing. A box left empty, or
// holding the "--" an empty box is remembered as, is nothing typed: the page decides what that
// means.
bool isNumberOrNothing(const QString& typed);

// "Drag pressure \"abc\" is not a number." A long entry is shown cut short.
QString notANumberMessage(const char* field, const QString& typed);

// Tells the operator, under "Error" with a stop icon, that the field holds no number, when it
// does not; true when the value may be taken. With `nothingAllowed` false, an empty box or "--"
// is refused too.
bool checkNumber(SetupContext& context, const char* field, const QString& typed,
                 bool nothingAllowed = true);

}  // namespace vr5
