#pragma once

#include <QString>

namespace vr5 {

// The few values the whole program shares, one instance, used on the window thread only.
struct ProgramState {
    // The report shown in the view; empty while none is (or after the Log/Status command).
    QString currentReportPath;
    // Set when the report at currentReportPath is to be loaded before the next paint.
    bool reloadFlag = false;
    // Set by every load; the search-range box goes back to 100% after the next paint.
    bool resetRangeFlag = false;
    QString currentMachineModelText;
};

}  // namespace vr5
