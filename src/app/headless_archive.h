#pragma once

#include <QString>
#include <QTextStream>

#include "app/command_line.h"
#include "settings/settings_store.h"

namespace vr5 {

// Exit statuses of the archive commands, beside those of the other commands.
enum ArchiveExitStatus {
    kExitArchive = 10,        // the archive could not be opened, or failed (rolled back)
    kExitNotesAppended = 11,  // --archive-verify: an archived report with notes appended since
    kExitAltered = 12,        // --archive-verify: altered after archiving
    kExitNotArchived = 13,    // --archive-verify, --archive-export: not in the archive
};

// --archive-import, --archive-list, --archive-verify and --archive-export on the archive the
// environment and the settings choose. Results go to `out`, messages and progress to `err`.
int runArchive(const CommandLine& command, const SettingsStore& settings, QTextStream& out,
               QTextStream& err);

// After a download stored `reportPath`: archives it when the settings say so (the default).
// A failure is only a warning on `err`: the download itself has succeeded.
void archiveDownload(const SettingsStore& settings, const QString& reportPath, QTextStream& err);

}  // namespace vr5
