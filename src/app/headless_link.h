#pragma once

#include <QEventLoop>
#include <QString>
#include <QTextStream>

#include "app/command_line.h"
#include "app/stream_prompter.h"
#include "logger/logging_cycle.h"
#include "program_state.h"
#include "settings/settings_store.h"
#include "ui/logger/cycle_runner.h"

namespace vr5 {

// The logger's link for a command without a window: the same cycle and runner as the Log/Status
// window (every question answered No, so nothing is cleared unattended), on the port the command
// names or Settings chose, and an event loop that ends with an exit status.
class HeadlessLink {
public:
    HeadlessLink(const CommandLine& command, SettingsStore& settings, const QString& reportFolder,
                 QTextStream& err);

    LoggingCycle& cycle() { return cycle_; }
    CycleRunner& runner() { return runner_; }
    QEventLoop& loop() { return loop_; }
    QString portName() const;

    // Opens the port and connects; false, with the message, when the port cannot be opened.
    bool open();
    // Polls until end(); false when the program was asked to stop first (Ctrl+C, a logout).
    bool run();
    void end(int exitStatus);
    int status() const { return status_; }

private:
    QTextStream& err_;
    ProgramState state_;
    StreamPrompter prompter_;
    LoggingCycle cycle_;
    CycleRunner runner_;
    QEventLoop loop_;
    unsigned port_;
    int status_;
    bool ended_ = false;
};

}  // namespace vr5
