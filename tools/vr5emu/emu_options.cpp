#include "emu_options.h"

#include <charconv>
#include <cmath>
#include <string_view>

namespace vr5emu {

const char* const kUsage =
    "Usage: vr5emu [OPTION...]\n"
    "\n"
    "Plays the VR5 logger on a pseudo-terminal: answers status polls, takes the set-up records,\n"
    "logs a butt-fusion pressure profile and hands the run over for download. Prints\n"
    "\"PORT <slave device>\" once ready and runs until stopped (SIGINT, SIGTERM).\n"
    "\n"
    "Link:\n"
    "  --link PATH            make PATH a symlink to the slave device (replacing a symlink\n"
    "                         there); removed at exit\n"
    "  --pace BAUD            send replies no faster than a line at BAUD carries them\n"
    "                         (10 bits a byte), e.g. 115200; default: at once\n"
    "  --exit-after-download  end once the last page of a run has been read\n"
    "  --keep-finished        keep reporting a finished run as waiting after it was read,\n"
    "                         until Wp13CLR clears it\n"
    "  --verbose              log every command and reply on stderr\n"
    "\n"
    "Logger:\n"
    "  --state idle|logging|finished  at start: memory empty (default), logging a run, or a\n"
    "                         finished run waiting to be downloaded\n"
    "  --job TEXT --joint N --employee TEXT  joint information of the run stored at start\n"
    "                         (defaults 1000, 1, EMU)\n"
    "  --logged-at DATETIME   when that run was set up, as 2026-12-07T09:05:03 (default: now)\n"
    "  --samples N            samples of that run: logged so far (logging, default 0) or in\n"
    "                         all (finished, default a whole joint)\n"
    "  --joint-seconds S      logged time after which a run ends by itself (default 600)\n"
    "  --time-scale X         logged time runs X times faster than real time (default 1)\n"
    "  --page-size N          samples per download page, 1..370 (default 250)\n"
    "  --battery N            battery charge in percent, 0..100 (default 85)\n"
    "  --temperature F        heater temperature in degrees F, 0..999 (default 425;\n"
    "                         777 reads as a probe error, 0 as no reading)\n"
    "  --no-temperature       the temperature flag says no reading\n"
    "  --info TEXT            status reply from position 44 on (after the \"i\" marker):\n"
    "                         5 characters, probe text (4), blank, probe text (6), blank,\n"
    "                         calibration date YYYYMMDD, anything more\n"
    "                         (default \"03.0 P5K1 TK0120 20240315 SN0417\")\n"
    "  --no-info              status and diagnostics replies without the \"i\" section\n"
    "  --seed N               seed of the pressure noise (default 1)\n"
    "\n"
    "Faults (repeatable): --fault KIND[:N][@TRIGGER]\n"
    "  silence[:N]            ignore the next N commands (default 1): no action, no reply\n"
    "  garbage[:N]            answer N commands with the line \"#~\\x9c?!GARBAGE!?\"\n"
    "  ff[:N]                 the first byte of N replies is 0xFF\n"
    "  short-status[:N]       N status replies cut to 42 characters\n"
    "  wrong-record[:N]       N read-backs answered with the next record's reply\n"
    "  cut[:N]                N replies lose their second half (the line still ends)\n"
    "                         (Wp2R gets Pw03, Wp3R gets Pw04, Wp4R gets Pw02)\n"
    "  slow:MS                every reply from then on leaves MS milliseconds later\n"
    "  drop                   the link goes down: no reply, the pty closes, vr5emu ends\n"
    "  TRIGGER                cmd:K   from the K-th command received (1-based)\n"
    "                         poll:K  from the K-th status poll (1-based)\n"
    "                         page:K  from the request of download page K (from 0)\n"
    "                         record:K  from the K-th set-up record (Wp02:, Wp03:, Wp04:)\n"
    "                         without one, from the first command\n"
    "  A fault acts on the commands it fits: short-status on status polls, wrong-record on\n"
    "  read-backs; the others on any command.\n"
    "\n"
    "Examples:\n"
    "  vr5emu --link ~/.config/Tarnell/ports/COM6 --time-scale 10\n"
    "  vr5emu --state finished --job 12 --joint 7 --employee A5 --samples 25 --page-size 10\n"
    "  vr5emu --fault short-status@poll:3 --fault drop@page:2\n"
    "  vr5emu --state finished --fault cut@page:3\n"
    "\n"
    "Exit status: 0 stopped, link dropped or download done; 1 wrong arguments; 2 no pty,\n"
    "or the --link name is taken by something other than a symlink.\n";

namespace {

// Walks the arguments one option at a time; "--name value" and "--name=value" alike. The first
// mistake is kept and ends the walk.
class Args {
public:
    Args(int argc, char** argv) : argc_(argc), argv_(argv) {}

    bool next() {
        if (!error_.empty() || ++i_ >= argc_) return false;
        name_ = argv_[i_];
        hasInline_ = false;
        if (const size_t eq = name_.find('='); name_.starts_with("--") && eq != npos) {
            value_ = name_.substr(eq + 1);
            name_ = name_.substr(0, eq);
            hasInline_ = true;
        }
        return true;
    }
    bool flag(std::string_view name) { return name_ == name && !hasInline_; }
    bool option(std::string_view name) {
        if (name_ != name) return false;
        if (!hasInline_) {
            if (i_ + 1 >= argc_) return fail(std::string(name) + " needs a value");
            value_ = argv_[++i_];
        }
        return true;
    }
    void unknown() { fail("unknown option " + std::string(name_)); }

    int whole(int least, int most) {
        int out = 0;
        if (!readNumber(out) || out < least || out > most) {
            fail(std::string(name_) + " takes a whole number from " + std::to_string(least) +
                 " to " + std::to_string(most) + ", not \"" + std::string(value_) + "\"");
        }
        return out;
    }
    // A number above `above` and at most `most`.
    double real(double above, double most) {
        double out = 0;
        if (!readNumber(out) || !std::isfinite(out) || out <= above || out > most) {
            fail(std::string(name_) + " takes a number above " + shortText(above) + " up to " +
                 shortText(most) + ", not \"" + std::string(value_) + "\"");
        }
        return out;
    }
    // One line of text: no control characters, which would break the serial line.
    std::string line() {
        for (const char c : value_) {
            if (static_cast<unsigned char>(c) < 0x20)
                fail(std::string(name_) + " takes one line of text");
        }
        return std::string(value_);
    }
    QString text() {
        const std::string bytes = line();
        return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    }
    std::string_view value() const { return value_; }
    bool fail(std::string why) {
        if (error_.empty()) error_ = std::move(why);
        return false;
    }
    const std::string& error() const { return error_; }

private:
    static constexpr size_t npos = std::string_view::npos;

    template <typename T>
    bool readNumber(T& out) const {
        const auto [stop, error] =
            std::from_chars(value_.data(), value_.data() + value_.size(), out);
        return !value_.empty() && error == std::errc() && stop == value_.data() + value_.size();
    }
    static std::string shortText(double v) {
        char digits[32];
        const auto [end, error] = std::to_chars(digits, digits + sizeof digits, v);
        return error == std::errc() ? std::string(digits, end) : std::string();
    }

    int argc_;
    char** argv_;
    int i_ = 0;
    std::string_view name_, value_;
    bool hasInline_ = false;
    std::string error_;
};

}  // namespace

bool parseOptions(int argc, char** argv, EmuOptions& o, std::string* why) {
    Args a(argc, argv);
    while (a.next()) {
        if (a.flag("--help") || a.flag("-h")) {
            o.help = true;
        } else if (a.option("--link")) {
            o.link = a.line();
            if (o.link.empty()) a.fail("--link needs a path");
        } else if (a.option("--state")) {
            if (a.value() == "idle") {
                o.start = EmuOptions::Start::Idle;
            } else if (a.value() == "logging") {
                o.start = EmuOptions::Start::Logging;
            } else if (a.value() == "finished") {
                o.start = EmuOptions::Start::Finished;
            } else {
                a.fail("--state is idle, logging or finished, not \"" + std::string(a.value()) +
                       "\"");
            }
        } else if (a.option("--job")) {
            o.joint.job = a.text();
        } else if (a.option("--employee")) {
            o.joint.employee = a.text();
        } else if (a.option("--logged-at")) {
            o.joint.loggedAt = QDateTime::fromString(a.text(), Qt::ISODate);
            if (!o.joint.loggedAt.isValid()) {
                a.fail("--logged-at takes a date and time as 2026-12-07T09:05:03, not \"" +
                       std::string(a.value()) + "\"");
            }
        } else if (a.option("--joint")) {
            o.joint.joint = a.whole(0, 65535);
        } else if (a.option("--samples")) {
            o.samples = a.whole(0, 65000);
        } else if (a.option("--joint-seconds")) {
            // At least one tick; at most what 16-bit sample times can count.
            o.logger.jointSeconds = a.real(0, 13000);
            if (o.logger.jointSeconds < LoggerModel::kTickSeconds) {
                a.fail("--joint-seconds takes at least one tick, 0.2");
            }
        } else if (a.option("--time-scale")) {
            o.timeScale = a.real(0, 100000);
        } else if (a.option("--page-size")) {
            o.logger.pageSize = a.whole(1, 370);
        } else if (a.option("--battery")) {
            o.logger.battery = a.whole(0, 100);
        } else if (a.option("--temperature")) {
            o.logger.temperature = a.whole(0, 999);
        } else if (a.flag("--no-temperature")) {
            o.logger.temperaturePresent = false;
        } else if (a.option("--info")) {
            o.logger.info = a.line();
        } else if (a.flag("--no-info")) {
            o.logger.infoPresent = false;
        } else if (a.option("--pace")) {
            o.paceBaud = a.whole(300, 4000000);
        } else if (a.option("--seed")) {
            o.logger.seed = static_cast<unsigned>(a.whole(0, 2147483647));
        } else if (a.option("--fault")) {
            std::string reason;
            if (const auto fault = parseFault(a.value(), &reason)) {
                o.faults.push_back(*fault);
            } else {
                a.fail("--fault " + std::string(a.value()) + ": " + reason);
            }
        } else if (a.flag("--keep-finished")) {
            o.logger.keepFinished = true;
        } else if (a.flag("--exit-after-download")) {
            o.exitAfterDownload = true;
        } else if (a.flag("--verbose")) {
            o.verbose = true;
        } else {
            a.unknown();
        }
    }
    if (!a.error().empty()) {
        *why = a.error();
        return false;
    }
    return true;
}

}  // namespace vr5emu
