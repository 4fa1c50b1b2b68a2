#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "logger_model.h"

namespace vr5emu {

// Faults of a real link and logger, played on purpose: KIND[:N][@TRIGGER].
struct FaultRule {
    enum class Kind { Silence, Garbage, Ff, ShortStatus, Drop, Slow, WrongRecord, Cut };
    enum class Trigger { Start, Command, Poll, Page, Record };
    Kind kind = Kind::Silence;
    int n = 1;  // commands or replies affected; milliseconds for slow
    Trigger trigger = Trigger::Start;
    int k = 0;  // the trigger's command, poll, page or set-up record number
};

// Reads one --fault value; nothing (with the reason in *why) when it is not one.
std::optional<FaultRule> parseFault(std::string_view text, std::string* why);

// What the faults do to one command and its reply.
struct FaultDecision {
    bool silence = false;      // the command is lost: no action, no reply
    bool drop = false;         // the link goes down now
    bool garbage = false;      // the reply is replaced by a garbage line
    bool ff = false;           // the reply's first byte becomes 0xFF
    bool shortStatus = false;  // the status reply is cut to 42 characters
    bool cut = false;          // the reply loses its second half (noise on the line)
    int wrongRecord = 0;       // a read-back is answered with this record's reply instead
    int delayMs = 0;           // the reply leaves this much later
};

class FaultPlan {
public:
    explicit FaultPlan(std::vector<FaultRule> faults);
    // Counts the command, arms the faults it triggers and says what happens to it.
    FaultDecision onCommand(const Command& command);

    // The line a garbage fault sends instead of a reply.
    static constexpr std::string_view kGarbage = "#~\x9c?!GARBAGE!?";

private:
    struct Active {
        FaultRule rule;
        bool armed = false;
        int remaining = 0;
    };
    std::vector<Active> faults_;
    int commands_ = 0;
    int polls_ = 0;
    int records_ = 0;
};

}  // namespace vr5emu
