#include "logger_model.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "hex_fields.h"

namespace vr5emu {

namespace {

// Takes a decimal integer (optional minus sign) off the front of `text`.
std::optional<int> takeInt(std::string_view& text) {
    int value = 0;
    const auto [stop, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc()) return std::nullopt;
    text.remove_prefix(static_cast<size_t>(stop - text.data()));
    return value;
}

bool takePrefix(std::string_view& text, std::string_view prefix) {
    if (!text.starts_with(prefix)) return false;
    text.remove_prefix(prefix.size());
    return true;
}

}  // namespace

Command parseCommand(std::string_view line) {
    Command c;
    std::string_view rest = line;
    if (takePrefix(rest, "Wp01")) {
        std::optional<int> l, s, d, p;
        if (takePrefix(rest, "L") && (l = takeInt(rest)) && takePrefix(rest, "s") &&
            (s = takeInt(rest)) && takePrefix(rest, "D") && (d = takeInt(rest)) &&
            takePrefix(rest, "p") && (p = takeInt(rest)) && rest.empty()) {
            c.kind = Command::Kind::Status;
            c.loggingRequest = *l;
            c.stopwatchReset = *s;
            c.demoMode = *d;
            c.demoPressure = *p;
        }
        return c;
    }
    for (int record = 2; record <= 4; ++record) {
        const std::string head = "Wp0" + std::to_string(record) + ":";
        if (line.starts_with(head)) {
            c.kind = Command::Kind::SetupRecord;
            c.record = record;
            if (line.size() >= head.size() + 3 && line.ends_with("eom")) {
                c.payload = line.substr(head.size(), line.size() - head.size() - 3);
                c.wellFormed = isHexPayload(c.payload);
            }
            return c;
        }
        if (line == "Wp" + std::to_string(record) + "R") {
            c.kind = Command::Kind::ReadBack;
            c.record = record;
            return c;
        }
    }
    if (line == "Wp11") {
        c.kind = Command::Kind::Summary;
    } else if (line == "Wp13CLR") {
        c.kind = Command::Kind::Clear;
    } else if (line == "Wp05") {
        c.kind = Command::Kind::Diagnostics;
    } else if (takePrefix(rest, "Wp12-")) {
        const bool digitsOnly =
            !rest.empty() && rest.size() <= 5 &&
            std::all_of(rest.begin(), rest.end(), [](char ch) { return ch >= '0' && ch <= '9'; });
        if (const auto page = digitsOnly ? takeInt(rest) : std::nullopt) {
            c.kind = Command::Kind::Page;
            c.page = *page;
        }
    } else if (takePrefix(rest, "Wp06")) {
        std::optional<int> pressure, temperature;
        if (takePrefix(rest, "c") && (pressure = takeInt(rest)) && takePrefix(rest, "C") &&
            (temperature = takeInt(rest)) && rest.empty()) {
            c.kind = Command::Kind::Offsets;
            c.pressureOffset = *pressure;
            c.temperatureOffset = *temperature;
        }
    }
    return c;
}

std::string padded(long long value, int width, char fill) {
    char digits[24];
    const auto [end, error] = std::to_chars(digits, digits + sizeof digits, value);
    std::string text(digits, error == std::errc() ? end : digits);
    if (static_cast<int>(text.size()) < width) {
        // Zeros go after a minus sign, blanks before it.
        const size_t at = (fill == '0' && !text.empty() && text[0] == '-') ? 1 : 0;
        text.insert(at, static_cast<size_t>(width) - text.size(), fill);
    }
    return text;
}

std::string clockText(double seconds) {
    const long long whole = std::clamp(static_cast<long long>(seconds), 0LL, 9 * 3600LL + 3599);
    return padded(whole / 3600, 1, '0') + ":" + padded(whole / 60 % 60, 2, '0') + ":" +
           padded(whole % 60, 2, '0');
}

std::string stopwatchText(double seconds) {
    const long long tenths = std::max(0LL, static_cast<long long>(seconds * 10));
    if (tenths >= 100 * 600) return clockText(seconds);
    return padded(tenths / 600, 2, ' ') + ":" + padded(tenths / 10 % 60, 2, '0') + "." +
           padded(tenths % 10, 1, '0');
}

LoggerModel::LoggerModel(const LoggerSettings& settings)
    : settings_(settings), random_(settings.seed) {}

void LoggerModel::beginRun(const std::string& info, const std::string& notes,
                           const std::string& reserve, double start, int plannedSamples) {
    run_.emplace(Run{info,
                     notes,
                     reserve,
                     start,
                     plannedSamples,
                     PressureProfile(gaugePressuresOf(info), plannedSamples * kTickSeconds),
                     {}});
    run_->samples.reserve(static_cast<size_t>(plannedSamples));
}

void LoggerModel::startRun(const std::string& info, const std::string& notes,
                           const std::string& reserve, double now, int samples) {
    const int planned = static_cast<int>(std::lround(settings_.jointSeconds / kTickSeconds));
    beginRun(info, notes, reserve, now - samples * kTickSeconds, planned);
    state_ = State::Logging;
    advance(now);
}

void LoggerModel::storeFinishedRun(const std::string& info, const std::string& notes,
                                   const std::string& reserve, int samples) {
    beginRun(info, notes, reserve, 0, samples);
    state_ = State::Logging;
    advance(samples * kTickSeconds);
    finish();
}

void LoggerModel::advance(double now) {
    if (state_ != State::Logging || !run_) return;
    Run& run = *run_;
    // A sample at the start of every tick; the small allowance keeps a tick that is due from
    // being lost to rounding.
    const double elapsed = now - run.start;
    const long long due =
        elapsed < 0 ? 0 : static_cast<long long>(elapsed / kTickSeconds + 1e-6) + 1;
    const size_t target = static_cast<size_t>(std::min<long long>(due, run.plannedSamples));
    std::uniform_real_distribution<double> noise(-1.5, 1.5);
    while (run.samples.size() < target) {
        const size_t i = run.samples.size();
        double psi =
            demo_ ? demoPsi_ : std::max(0.0, run.profile.at(i * kTickSeconds) + noise(random_));
        psi = std::clamp(std::round(psi), -32768.0, 32767.0);
        run.samples.push_back({static_cast<uint16_t>(i), static_cast<int16_t>(psi)});
    }
    if (run.samples.size() >= static_cast<size_t>(run.plannedSamples)) finish();
}

void LoggerModel::finish() {
    state_ = State::Finished;
}

int LoggerModel::currentPressure() {
    if (demo_) return demoPsi_;
    if (state_ == State::Logging && run_ && !run_->samples.empty()) {
        return run_->samples.back().psi;
    }
    // A machine at rest: the gauge wanders round zero.
    return std::uniform_int_distribution<int>(0, 2)(random_);
}

std::string LoggerModel::statusReply(double now) {
    advance(now);
    const char stateDigit = state_ == State::Logging ? '1' : state_ == State::Finished ? '2' : '0';
    double elapsed = 0;
    int samples = 0;
    if (state_ != State::Idle && run_) {
        samples = static_cast<int>(run_->samples.size());
        elapsed = state_ == State::Logging ? now - run_->start : samples * kTickSeconds;
    }
    std::string reply = "Pw01L";
    reply += stateDigit;
    reply += "r" + padded(std::min(samples, 99999), 5, ' ');
    reply += "e" + clockText(elapsed);
    reply += "s" + stopwatchText(now - stopwatchStart_);
    reply += "p" + padded(std::clamp(currentPressure(), 0, 9999), 4, '0');
    reply += "," + padded(std::clamp(settings_.temperature, 0, 999), 3, '0');
    reply += ",";
    reply += settings_.temperaturePresent ? '1' : '0';
    reply += "b" + padded(std::clamp(settings_.battery, 0, 999), 3, '0');
    if (settings_.infoPresent) reply += "i" + settings_.info;
    return reply;
}

std::string LoggerModel::diagnosticsReply(double now) {
    advance(now);
    std::string reply = "Pw05LRp";
    reply += padded(std::clamp(currentPressure(), -999, 9999), 4, ' ');
    reply += "c" + padded(pressureOffset_, 5, '0');
    reply += "t";
    reply += settings_.temperaturePresent
                 ? padded(std::clamp(settings_.temperature, 0, 999), 3, ' ')
                 : std::string("---");
    reply += "C" + padded(temperatureOffset_, 5, '0');
    reply += "b" + padded(std::clamp(settings_.battery, 0, 999), 3, '0');
    if (settings_.infoPresent) reply += "i" + settings_.info;
    return reply;
}

std::string LoggerModel::readBack(int record) const {
    const std::string* text = nullptr;
    if (run_) text = record == 2 ? &run_->info : record == 3 ? &run_->notes : &run_->reserve;
    return "Pw0" + std::to_string(record) + ":" + (text ? *text : std::string()) + "eom";
}

std::string LoggerModel::summaryLine() const {
    int maxPsi = 0;
    const int count = sampleCount();
    if (run_) {
        for (const Sample& s : run_->samples) maxPsi = std::max<int>(maxPsi, s.psi);
    }
    // Positions 2-5 the highest pressure, 8-12 the logged ticks, 15 on the sample count; the
    // rest are the logger's own labels.
    return "MX" + padded(std::min(maxPsi, 9999), 4, '0') + " T" +
           padded(std::min(count, 99999), 5, '0') + " N" + padded(count, 5, '0');
}

std::string LoggerModel::pageLine(int page) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string line = "Pw12:";
    const long long first = static_cast<long long>(page) * settings_.pageSize;
    const long long last = std::min<long long>(first + settings_.pageSize, sampleCount());
    for (long long i = first; i < last; ++i) {
        const Sample& s = run_->samples[static_cast<size_t>(i)];
        const unsigned words[2] = {s.tick, static_cast<uint16_t>(s.psi)};
        for (const unsigned word : words) {
            for (int shift = 12; shift >= 0; shift -= 4) line += kHex[(word >> shift) & 15];
        }
    }
    return line + "eom";
}

LoggerModel::Reply LoggerModel::handle(const Command& c, double now) {
    advance(now);
    Reply reply;
    switch (c.kind) {
        case Command::Kind::Status:
            // The samples up to now were logged under the previous poll's demo setting.
            demo_ = c.demoMode != 0;
            demoPsi_ = c.demoPressure;
            if (c.stopwatchReset == 1) stopwatchStart_ = now;
            if (c.loggingRequest == 2 && state_ == State::Logging) finish();
            reply.line = statusReply(now);
            break;
        case Command::Kind::SetupRecord: {
            const std::string head = "Pw0" + std::to_string(c.record);
            if (!c.wellFormed) {
                warn("Wp0" + std::to_string(c.record) +
                     " record refused: not hex digit groups between the colon and \"eom\"");
                reply.line = "Pw??";
                break;
            }
            const std::string_view layout = c.record == 2   ? kJointInfoLayout
                                            : c.record == 3 ? kNotesLayout
                                                            : kReserveLayout;
            std::string why;
            if (!parseRecord(c.payload, layout, &why)) {
                warn("record Wp0" + std::to_string(c.record) +
                     " does not read field by field: " + why);
            }
            const std::string payload(c.payload);
            if (c.record == 2) {
                pendingInfo_ = payload;
            } else if (c.record == 3) {
                pendingNotes_ = payload;
            } else {
                if (!pendingInfo_) warn("logging started without joint information (Wp02)");
                if (!pendingNotes_) warn("logging started without a notes record (Wp03)");
                startRun(pendingInfo_.value_or(std::string()),
                         pendingNotes_.value_or(buildNotes(QString())), payload, now, 0);
                pendingInfo_.reset();
                pendingNotes_.reset();
            }
            reply.line = head;
            break;
        }
        case Command::Kind::ReadBack:
            reply.line = readBack(c.record);
            break;
        case Command::Kind::Summary:
            reply.line = "Pw11:" + summaryLine() + "eom";
            break;
        case Command::Kind::Page: {
            reply.line = pageLine(c.page);
            const int pages = (sampleCount() + settings_.pageSize - 1) / settings_.pageSize;
            if (state_ == State::Finished && c.page >= std::max(pages, 1) - 1) {
                // Read: no longer reported as waiting (unless told to keep it), but kept until
                // cleared.
                if (!settings_.keepFinished) state_ = State::Idle;
                reply.downloadDone = true;
            }
            break;
        }
        case Command::Kind::Clear:
            run_.reset();
            pendingInfo_.reset();
            pendingNotes_.reset();
            state_ = State::Idle;
            reply.line = diagnosticsReply(now);
            break;
        case Command::Kind::Diagnostics:
            reply.line = diagnosticsReply(now);
            break;
        case Command::Kind::Offsets: {
            const auto inRange = [](int v) { return v >= 10 && v <= 32000; };
            if (inRange(c.pressureOffset) && inRange(c.temperatureOffset)) {
                pressureOffset_ = c.pressureOffset;
                temperatureOffset_ = c.temperatureOffset;
            } else {
                warn("offsets outside 10..32000 kept as they were");
            }
            reply.line = diagnosticsReply(now);
            break;
        }
        case Command::Kind::Unknown:
            reply.line = "Pw??";
            break;
    }
    return reply;
}

void LoggerModel::warn(std::string text) {
    warnings_.push_back(std::move(text));
}

std::vector<std::string> LoggerModel::takeWarnings() {
    return std::exchange(warnings_, {});
}

}  // namespace vr5emu
