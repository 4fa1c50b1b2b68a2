#include "faults.h"

#include <charconv>

namespace vr5emu {

namespace {

std::optional<int> wholeNumber(std::string_view text) {
    int value = 0;
    const auto [stop, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || stop != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

struct KindName {
    std::string_view name;
    FaultSpec::Kind kind;
};
constexpr KindName kKinds[] = {
    {"silence", FaultSpec::Kind::Silence},
    {"garbage", FaultSpec::Kind::Garbage},
    {"ff", FaultSpec::Kind::Ff},
    {"short-status", FaultSpec::Kind::ShortStatus},
    {"drop", FaultSpec::Kind::Drop},
    {"slow", FaultSpec::Kind::Slow},
    {"wrong-record", FaultSpec::Kind::WrongRecord},
    {"cut", FaultSpec::Kind::Cut},
};

bool replaces(const FaultSpec::Kind kind, const Command& c) {
    switch (kind) {
        case FaultSpec::Kind::ShortStatus:
            return c.kind == Command::Kind::Status;
        case FaultSpec::Kind::WrongRecord:
            return c.kind == Command::Kind::ReadBack;
        default:
            return true;
    }
}

}  // namespace

std::optional<FaultSpec> parseFault(std::string_view text, std::string* why) {
    const auto fail = [&](std::string reason) {
        if (why) *why = std::move(reason);
        return std::nullopt;
    };
    FaultSpec spec;
    std::string_view head = text;
    if (const size_t at = text.find('@'); at != std::string_view::npos) {
        head = text.substr(0, at);
        const std::string_view trigger = text.substr(at + 1);
        const size_t colon = trigger.find(':');
        const std::string_view name = trigger.substr(0, colon);
        const int k = colon == std::string_view::npos
                          ? -1
                          : wholeNumber(trigger.substr(colon + 1)).value_or(-1);
        if (name == "cmd") {
            spec.trigger = FaultSpec::Trigger::Command;
        } else if (name == "poll") {
            spec.trigger = FaultSpec::Trigger::Poll;
        } else if (name == "page") {
            spec.trigger = FaultSpec::Trigger::Page;
        } else if (name == "record") {
            spec.trigger = FaultSpec::Trigger::Record;
        } else {
            return fail("unknown trigger \"" + std::string(trigger) +
                        "\" (cmd:K, poll:K, page:K, record:K)");
        }
        const int least = spec.trigger == FaultSpec::Trigger::Page ? 0 : 1;
        if (k < least) {
            return fail("the trigger \"" + std::string(trigger) + "\" needs a number from " +
                        std::to_string(least));
        }
        spec.k = k;
    }
    const size_t colon = head.find(':');
    const std::string_view kindName = head.substr(0, colon);
    bool known = false;
    for (const KindName& entry : kKinds) {
        if (entry.name == kindName) {
            spec.kind = entry.kind;
            known = true;
        }
    }
    if (!known) {
        return fail("unknown fault \"" + std::string(kindName) +
                    "\" (silence, garbage, ff, short-status, drop, slow, wrong-record, cut)");
    }
    if (colon != std::string_view::npos) {
        const auto n = wholeNumber(head.substr(colon + 1));
        if (!n || *n < 1 || *n > 600000 || spec.kind == FaultSpec::Kind::Drop) {
            return fail("\"" + std::string(head) + "\": N must be a whole number from 1" +
                        (spec.kind == FaultSpec::Kind::Drop ? " and drop takes none" : ""));
        }
        spec.n = *n;
    } else if (spec.kind == FaultSpec::Kind::Slow) {
        return fail("slow needs its delay: slow:MS");
    }
    return spec;
}

FaultPlan::FaultPlan(std::vector<FaultSpec> faults) {
    for (const FaultSpec& spec : faults) {
        faults_.push_back({spec, spec.trigger == FaultSpec::Trigger::Start, spec.n});
    }
}

FaultDecision FaultPlan::onCommand(const Command& command) {
    ++commands_;
    if (command.kind == Command::Kind::Status) ++polls_;
    if (command.kind == Command::Kind::SetupRecord) ++records_;
    for (Active& f : faults_) {
        switch (f.spec.trigger) {
            case FaultSpec::Trigger::Start:
                break;
            case FaultSpec::Trigger::Command:
                f.armed = f.armed || commands_ == f.spec.k;
                break;
            case FaultSpec::Trigger::Poll:
                f.armed = f.armed || (command.kind == Command::Kind::Status && polls_ == f.spec.k);
                break;
            case FaultSpec::Trigger::Page:
                f.armed =
                    f.armed || (command.kind == Command::Kind::Page && command.page == f.spec.k);
                break;
            case FaultSpec::Trigger::Record:
                f.armed =
                    f.armed || (command.kind == Command::Kind::SetupRecord && records_ == f.spec.k);
                break;
        }
    }

    FaultDecision d;
    // A lost link or a lost command leaves nothing for the other faults to change.
    for (Active& f : faults_) {
        if (!f.armed || f.remaining <= 0) continue;
        if (f.spec.kind == FaultSpec::Kind::Drop) {
            d.drop = true;
            f.remaining = 0;
            return d;
        }
    }
    for (Active& f : faults_) {
        if (!f.armed || f.remaining <= 0) continue;
        if (f.spec.kind == FaultSpec::Kind::Silence) {
            d.silence = true;
            --f.remaining;
            return d;
        }
    }
    for (Active& f : faults_) {
        if (!f.armed || f.remaining <= 0) continue;
        switch (f.spec.kind) {
            case FaultSpec::Kind::Slow:
                d.delayMs += f.spec.n;
                continue;  // for good
            case FaultSpec::Kind::Garbage:
                d.garbage = true;
                break;
            case FaultSpec::Kind::Ff:
                d.ff = true;
                break;
            case FaultSpec::Kind::Cut:
                d.cut = true;
                break;
            case FaultSpec::Kind::ShortStatus:
                if (!replaces(f.spec.kind, command)) continue;
                d.shortStatus = true;
                break;
            case FaultSpec::Kind::WrongRecord:
                if (!replaces(f.spec.kind, command)) continue;
                d.wrongRecord = command.record == 4 ? 2 : command.record + 1;
                break;
            default:
                continue;
        }
        --f.remaining;
    }
    return d;
}

}  // namespace vr5emu
