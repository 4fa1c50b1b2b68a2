#include "frame_commands.h"

#include "settings/settings_keys.h"

namespace vr5 {

LogStatusStart startLogStatus(const SettingsStore& settings, ProgramState& state) {
    if (settings.read(keys::ComPort, -1) == -1) return LogStatusStart::OpenSettings;
    state.currentReportPath.clear();
    state.currentMachineModelText = settings.read(keys::MachineModelText);
    return LogStatusStart::OpenLogStatus;
}

}  // namespace vr5
