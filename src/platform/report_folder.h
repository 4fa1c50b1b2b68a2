#pragma once

#include <QString>

namespace vr5 {

// The folder where downloaded joint reports are kept: the user's documents folder followed by
// "Joint Reports".
QString reportFolderPath();

// Creates the report folder when it is missing. True when it exists afterwards.
bool ensureReportFolder();

}  // namespace vr5
