#pragma once

#include <QTextStream>

#include "app/command_line.h"
#include "settings/settings_store.h"

namespace vr5 {

// --download: polls the logger as the Log/Status window does and, when it holds a finished run,
// downloads it into the report folder with the same cycle; prints the report's path.
int runDownload(const CommandLine& command, SettingsStore& settings, const QString& reportFolder,
                QTextStream& out, QTextStream& err);

}  // namespace vr5
