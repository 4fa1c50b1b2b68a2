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
    FaultRule::Kind kind;
};
constexpr KindName kKinds[] = {
    {"silence", FaultRule::Kind::Silence},
    {"garbage", FaultRule::Kind::Garbage},
    {"ff", FaultRule::Kind::Ff},
    {"short-status", FaultRule::Kind::ShortStatus},
    {"drop", FaultRule::Kind::Drop},
    {"slow", FaultRule::Kind::Slow},
    {"wrong-record", FaultRule::Kind::WrongRecord},
    {"cut", FaultRule::Kind::Cut},
};

bool replaces(const FaultRule::Kind kind, const Command& c) {
    switch (kind) {
        case FaultRule::Kind::ShortStatus:
            return c.kind == Command::Kind::Status;
        case FaultRule::Kind::WrongRecord:
            return c.kind == Command::Kind::ReadBack;
        default:
            return true;
    }
}

}  // namespace

std::optional<FaultRule> parseFault(std::string_view text, std::string* why) {
    const auto fail = [&](std::string reason) {
        if (why) *why = std::move(reason);
        return std::nullopt;
    };
    FaultRule rule;
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
            rule.trigger = FaultRule::Trigger::Command;
        } else if (name == "poll") {
            rule.trigger = FaultRule::Trigger::Poll;
        } else if (name == "page") {
            rule.trigger = FaultRule::Trigger::Page;
        } else if (name == "record") {
            rule.trigger = FaultRule::Trigger::Record;
        } else {
            return fail("unknown trigger \"" + std::string(trigger) +
                        "\" (cmd:K, poll:K, page:K, record:K)");
        }
        const int least = rule.trigger == FaultRule::Trigger::Page ? 0 : 1;
        if (k < least) {
            return fail("the trigger \"" + std::string(trigger) + "\" needs a number from " +
                        std::to_string(least));
        }
        rule.k = k;
    }
    const size_t colon = head.find(':');
    const std::string_view kindName = head.substr(0, colon);
    bool known = false;
    for (const KindName& entry : kKinds) {
        if (entry.name == kindName) {
            rule.kind = entry.kind;
            known = true;
        }
    }
    if (!known) {
        return fail("unknown fault \"" + std::string(kindName) +
                    "\" (silence, garbage, ff, short-status, drop, slow, wrong-record, cut)");
    }
    if (colon != std::string_view::npos) {
        const auto n = wholeNumber(head.substr(colon + 1));
        if (!n || *n < 1 || *n > 600000 || rule.kind == FaultRule::Kind::Drop) {
            return fail("\"" + std::string(head) + "\": N must be a whole number from 1" +
                        (rule.kind == FaultRule::Kind::Drop ? " and drop takes none" : ""));
        }
        rule.n = *n;
    } else if (rule.kind == FaultRule::Kind::Slow) {
        return fail("slow needs its delay: slow:MS");
    }
    return rule;
}

FaultPlan::FaultPlan(std::vector<FaultRule> faults) {
    for (const FaultRule& rule : faults) {
        faults_.push_back({rule, rule.trigger == FaultRule::Trigger::Start, rule.n});
    }
}

FaultDecision FaultPlan::onCommand(const Command& command) {
    ++commands_;
    if (command.kind == Command::Kind::Status) ++polls_;
    if (command.kind == Command::Kind::SetupRecord) ++records_;
    for (Active& f : faults_) {
        switch (f.rule.trigger) {
            case FaultRule::Trigger::Start:
                break;
            case FaultRule::Trigger::Command:
                f.armed = f.armed || commands_ == f.rule.k;
                break;
            case FaultRule::Trigger::Poll:
                f.armed = f.armed || (command.kind == Command::Kind::Status && polls_ == f.rule.k);
                break;
            case FaultRule::Trigger::Page:
                f.armed =
                    f.armed || (command.kind == Command::Kind::Page && command.page == f.rule.k);
                break;
            case FaultRule::Trigger::Record:
                f.armed =
                    f.armed || (command.kind == Command::Kind::SetupRecord && records_ == f.rule.k);
                break;
        }
    }

    FaultDecision d;
    // A lost link or a lost command leaves nothing for the other faults to change.
    for (Active& f : faults_) {
        if (!f.armed || f.remaining <= 0) continue;
        if (f.rule.kind == FaultRule::Kind::Drop) {
            d.drop = true;
            f.remaining = 0;
            return d;
        }
    }
    for (Active& f : faults_) {
        if (!f.armed || f.remaining <= 0) continue;
        if (f.rule.kind == FaultRule::Kind::Silence) {
            d.silence = true;
            --f.remaining;
            return d;
        }
    }
    for (Active& f : faults_) {
        if (!f.armed || f.remaining <= 0) continue;
        switch (f.rule.kind) {
            case FaultRule::Kind::Slow:
                d.delayMs += f.rule.n;
                continue;  // for good
            case FaultRule::Kind::Garbage:
                d.garbage = true;
                break;
            case FaultRule::Kind::Ff:
                d.ff = true;
                break;
            case FaultRule::Kind::Cut:
                d.cut = true;
                break;
            case FaultRule::Kind::ShortStatus:
                if (!replaces(f.rule.kind, command)) continue;
                d.shortStatus = true;
                break;
            case FaultRule::Kind::WrongRecord:
                if (!replaces(f.rule.kind, command)) continue;
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
