#pragma once

#include <string>
#include <vector>

#include "faults.h"
#include "hex_fields.h"
#include "logger_model.h"

namespace vr5emu {

struct EmuOptions {
    enum class Start { Idle, Logging, Finished };

    std::string link;  // a symlink to the pty slave, made at start and removed at exit
    Start start = Start::Idle;
    StoredJoint joint;
    int samples = -1;  // of the run stored at start; -1: a whole joint (finished) or none
    double timeScale = 1;
    int paceBaud = 0;  // 0: replies go out at once
    LoggerSettings logger;
    std::vector<FaultRule> faults;
    bool exitAfterDownload = false;
    bool verbose = false;
    bool help = false;
};

extern const char* const kUsage;

// Reads the command line; on a mistake returns false with the reason in *why.
bool parseOptions(int argc, char** argv, EmuOptions& options, std::string* why);

}  // namespace vr5emu
