#pragma once

#include <QString>

#include "evaluation/procedure.h"

// What the evaluation needs to know about a procedure beyond the limit of one joint.
namespace vr5 {

// True when the procedure sets a limit for the check (it may still not be workable for a given
// joint, e.g. a wall outside every row); false when it has none or says why it has none.
bool procedureHasLimit(const Procedure& procedure, const QString& check);

// The file a built-in procedure is compiled in as.
QString builtInProcedurePath(const QString& id);

}  // namespace vr5
