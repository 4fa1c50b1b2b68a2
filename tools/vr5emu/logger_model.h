#pragma once

#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "pressure_profile.h"

namespace vr5emu {

// One command line from the program, as far as the logger tells commands apart.
struct Command {
    enum class Kind {
        Status,       // Wp01L%ds%dD%dp%d
        SetupRecord,  // Wp02: / Wp03: / Wp04: ... eom
        ReadBack,     // Wp2R / Wp3R / Wp4R
        Summary,      // Wp11
        Page,         // Wp12-NNNN
        Clear,        // Wp13CLR
        Diagnostics,  // Wp05
        Offsets,      // Wp06c%dC%d
        Unknown,
    };
    Kind kind = Kind::Unknown;
    int record = 0;  // 2, 3 or 4 for set-up records and read-backs
    int page = 0;
    // Status poll: logging request, stopwatch reset, demo mode, demo pressure.
    int loggingRequest = 0, stopwatchReset = 0, demoMode = 0, demoPressure = 0;
    // Offsets: pressure channel, temperature channel.
    int pressureOffset = 0, temperatureOffset = 0;
    std::string_view payload;  // the hex text of a set-up record
    bool wellFormed = false;   // the record's framing and hex digits are right
};

Command parseCommand(std::string_view line);

struct LoggerSettings {
    int pageSize = 250;
    int battery = 85;
    int temperature = 425;  // °F
    bool temperaturePresent = true;
    bool infoPresent = true;
    // From position 44 of the status reply: five characters of firmware text, the two probe
    // texts, the calibration date and a serial number.
    std::string info = "03.0 P5K1 TK0120 20240315 SN0417";
    double jointSeconds = 600;  // logged time after which a run ends by itself
    unsigned seed = 1;
    // A finished run is still reported as waiting after it was read, until Wp13CLR.
    bool keepFinished = false;
};

// The logger's inner working: its report memory, the run it logs and the replies it gives.
// Time is the logger's own clock in seconds (the caller may run it faster than real time).
class LoggerModel {
public:
    enum class State { Idle, Logging, Finished };

    explicit LoggerModel(const LoggerSettings& settings);

    // A run already in memory when the logger is switched on: logging for `samples` samples so
    // far, or finished with `samples` samples.
    void startRun(const std::string& info, const std::string& notes, const std::string& reserve,
                  double now, int samples);
    void storeFinishedRun(const std::string& info, const std::string& notes,
                          const std::string& reserve, int samples);

    struct Reply {
        std::string line;           // without the line end
        bool downloadDone = false;  // this reply carried the run's last page
    };
    Reply handle(const Command& command, double now);

    // The reply to a read-back of record 2, 3 or 4, as it stands.
    std::string readBack(int record) const;
    std::string statusReply(double now);
    std::string diagnosticsReply(double now);

    State state() const { return state_; }
    int sampleCount() const { return run_ ? static_cast<int>(run_->samples.size()) : 0; }
    // Things the program sent that a logger would not take as they are; the caller shows them.
    std::vector<std::string> takeWarnings();

    static constexpr double kTickSeconds = 0.2;

private:
    struct Sample {
        uint16_t tick;
        int16_t psi;
    };
    struct Run {
        std::string info, notes, reserve;
        double start = 0;        // logger clock at the first sample
        int plannedSamples = 0;  // the run ends by itself after these
        PressureProfile profile;
        std::vector<Sample> samples;
    };

    void beginRun(const std::string& info, const std::string& notes, const std::string& reserve,
                  double start, int plannedSamples);
    void advance(double now);
    void finish();
    int currentPressure();
    std::string summaryLine() const;
    std::string pageLine(int page);
    void warn(std::string text);

    LoggerSettings settings_;
    State state_ = State::Idle;
    std::optional<Run> run_;
    std::optional<std::string> pendingInfo_, pendingNotes_;
    double stopwatchStart_ = 0;
    bool demo_ = false;
    int demoPsi_ = 0;
    int pressureOffset_ = 8192;
    int temperatureOffset_ = 8000;
    std::mt19937 random_;
    std::vector<std::string> warnings_;
};

// Fixed-width decimal texts of the logger's replies.
std::string padded(long long value, int width, char fill);
// Logged time as seven characters: "0:01:23" (hours, minutes, seconds).
std::string clockText(double seconds);
// The stopwatch as seven characters: " 1:23.4" (minutes, seconds, tenths), past 99 minutes
// as clockText.
std::string stopwatchText(double seconds);

}  // namespace vr5emu
