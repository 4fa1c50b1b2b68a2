#pragma once

#include <chrono>
#include <deque>
#include <string>

#include "emu_options.h"
#include "faults.h"
#include "logger_model.h"
#include "pty_port.h"

namespace vr5emu {

// The logger on its end of the line: reads command lines from the pty, lets the faults and the
// logger model answer them, and sends the replies (late, paced or not at all, as asked).
class Emulator {
public:
    enum class End { Stopped, Dropped, DownloadDone, Failed };

    Emulator(const EmuOptions& options, PtyPort& port);
    // Runs until a signal arrives on `stopFd`, the link drops or (when asked) a download ends.
    End run(int stopFd);

private:
    using Clock = std::chrono::steady_clock;
    struct Pending {
        Clock::time_point due;
        std::string bytes;
    };

    double loggerClock() const;
    void onBytes(const char* data, size_t size);
    void onLine(const std::string& line);
    void queueReply(std::string line, int delayMs);
    void log(const char* direction, const std::string& line) const;
    // What the loop waits for after sending: nothing to send, room on the line, or a time.
    struct Wait {
        enum Kind { Idle, Writable, Until } kind;
        Clock::time_point until;
    };
    // Sends what is due and what the pace allows.
    Wait sendSome(Clock::time_point now);

    const EmuOptions& options_;
    PtyPort& port_;
    LoggerModel model_;
    FaultPlan faults_;
    Clock::time_point start_;
    std::string line_;
    bool lineTooLong_ = false;
    std::deque<Pending> pending_;
    std::string out_;
    Clock::time_point nextByteAt_;
    bool dropNow_ = false;
    bool downloadDone_ = false;
};

}  // namespace vr5emu
