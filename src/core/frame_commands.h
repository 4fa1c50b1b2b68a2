#pragma once

#include "program_state.h"
#include "settings/settings_store.h"

namespace vr5 {

// What the Log/Status command leads to.
enum class LogStatusStart {
    OpenSettings,   // no serial port was ever chosen: the operator picks one first
    OpenLogStatus,  // the report is let go and the Log/Status dialog opens
};

// The first step of the Log/Status command. When the dialog is to open, the current report
// path is emptied and the machine model of the last set-up becomes the current one.
LogStatusStart startLogStatus(const SettingsStore& settings, ProgramState& state);

// "Analyze..." and "Append Notes..." work on the report at the current report path.
inline bool reportCommandsEnabled(const ProgramState& state) {
    return !state.currentReportPath.isEmpty();
}

}  // namespace vr5
