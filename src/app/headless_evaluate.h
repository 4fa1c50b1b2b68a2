#pragma once

#include <QTextStream>

#include "app/command_line.h"
#include "evaluation/job_summary.h"
#include "settings/settings_store.h"

namespace vr5 {

// --evaluate, --evaluate-csv and --export-csv: JSON lines go to `out`, messages to `err`.
// The procedure is the one the command names, else the one the settings remember, else the
// default one. While reports are evaluated, a terminal shows the progress on `err`.
int runEvaluate(const CommandLine& command, const SettingsStore& settings, QTextStream& out,
                QTextStream& err);

}  // namespace vr5
