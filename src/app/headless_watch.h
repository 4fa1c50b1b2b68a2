#pragma once

#include <QByteArray>
#include <QTextStream>

#include "app/command_line.h"
#include "evaluation/live_guide.h"
#include "settings/settings_store.h"

namespace vr5 {

// --watch: polls the logger as the Log/Status window does and, while it logs, prints one JSON
// object per status reply (the phase now, its time and limit) and one per phase that begins,
// until the logger reports the run finished; with --download it then downloads the run.
int runWatch(const CommandLine& command, SettingsStore& settings, const QString& reportFolder,
             QTextStream& out, QTextStream& err);

// {"t_s", "pressure_psi", "phase", "phase_s", "limit", "state"} on one line.
QByteArray watchReplyJson(double timeS, double pressurePsi, const LivePhase& now);
// {"event": "phase", "phase", "start_s", "t_s", "ended", "ended_s", "ended_state"}.
QByteArray watchEventJson(const PhaseEvent& event, double timeS);

}  // namespace vr5
