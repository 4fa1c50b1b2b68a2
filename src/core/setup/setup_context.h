#pragma once

#include "program_state.h"
#include "prompter.h"
#include "settings/settings_store.h"

namespace vr5 {

// What every set-up page works with: the remembered values, the program-wide state and the way
// to tell the operator something.
struct SetupContext {
    SettingsStore& settings;
    ProgramState& state;
    Prompter& prompter;
};

}  // namespace vr5
