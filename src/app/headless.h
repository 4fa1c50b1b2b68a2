#pragma once

#include <QTextStream>

#include "app/command_line.h"

namespace vr5 {

// Exit statuses of the commands that run without a window.
enum ExitStatus {
    kExitOk = 0,
    kExitUsage = 1,
    kExitFile = 2,
    kExitDamaged = 3,
    kExitNoPrinter = 4,
    kExitNoPort = 5,
    kExitNoAnswer = 6,
    kExitNothingToDownload = 7,
    kExitStillLogging = 8,
    kExitLinkLost = 9,
};

// Runs a headless command (dump, export, print); messages go to `err`, the dump to `out`.
int runHeadless(const CommandLine& command, QTextStream& out, QTextStream& err);

}  // namespace vr5
