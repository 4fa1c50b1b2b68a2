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
    // The machine of the set-up under way: loaded when Log/Status opens, replaced by the Machine
    // page. IsMechanicalMachine and the direct-area test read it.
    QString currentMachineModelText;
    // Loaded from the settings on every connect; pressures typed during set-up are in this unit.
    int currentPressureUnitIndex = 0;
    // The unit labels stored after drag pressures and temperatures (RefreshUnitLabels).
    QString pressureUnitLabel = QStringLiteral("psi");
    QString temperatureUnitLabel = QStringLiteral("\u00B0F");
};

}  // namespace vr5
