// tjrgen: writes a joint report file (.tjr), or a calibration file (.tdc), from a readable
// description.

#include <QFileInfo>
#include <QSaveFile>
#include <QString>
#include <cstdio>
#include <cstring>

#include "calibration_description.h"
#include "fixture_description.h"

namespace {

constexpr const char* kUsage =
    "Usage: tjrgen DESCRIPTION.txt -o OUT.tjr\n"
    "       tjrgen CALIBRATION.txt -o OUT.tdc\n"
    "\n"
    "Writes the joint report that DESCRIPTION.txt describes, or, when the output ends in\n"
    ".tdc, the calibration file that CALIBRATION.txt describes. A description holds one\n"
    "\"key: value\" per line; blank lines and lines starting with # are ignored. Every field\n"
    "left out keeps the value of a plain hydraulic joint.\n"
    "\n"
    "Joint facts:\n"
    "  date: YYYY-MM-DD HH:MM:SS     machine_id:   model_index:   model:\n"
    "  piston_area:   piston_area_unit: in2|cm2   employee:   job:   joint:\n"
    "  material_index:   material:   pipe_size:   pipe_size_unit: IPS|DIPS|in OD|mm OD|mm JIS\n"
    "  wall:   wall_unit: DR|in WT|mm WT\n"
    "  ifp_bead: ifp_soak: ifp_fuse: ifp_cool:   rec_bead: rec_soak: rec_fuse: rec_cool:\n"
    "  pressure_unit: psi|bar|kg/cm2|MPa   drag:   temp_unit: F|C\n"
    "  ext_heater_temp:   heater_temp:   notes_marker:   location:   second_marker:\n"
    "  notes:   demo: yes|no   identity:   reserve:   preamble:   logged_duration: TICKS\n"
    "Text values may be quoted and hold \\n, \\r, \\t, \\0, \\\\, \\\" and \\uXXXX.\n"
    "A unit or flag may also be given as its stored number.\n"
    "\n"
    "Samples, in order (times in ticks of 0.2 s, pressures in psi):\n"
    "  interval: TICKS          time between generated samples (default 5)\n"
    "  noise: PSI [SEED]        deterministic noise on hold and ramp samples\n"
    "  hold: TICKS              keep the pressure for that long\n"
    "  ramp: TO_PSI OVER_TICKS  move the pressure evenly\n"
    "  step: PSI                one sample at a new pressure\n"
    "  glitch: DELTA_PSI        one sample off the pressure, which stays\n"
    "  gap: TICKS               no samples for that long\n"
    "  sample: TIME PSI         one sample exactly\n"
    "\n"
    "Damage:\n"
    "  summary: TEXT            the logger summary line as written (default: built)\n"
    "  string_count: NAME N     write N as the count of string NAME (a text key above)\n"
    "  trailer_hex: HEX         bytes after the last sample\n"
    "  truncate: N              cut the file after N bytes\n"
    "\n"
    "Calibration files (every field left out keeps the value of a calibration that passed):\n"
    "  date:   logger_serial:   log:   log_line: (one line of the log, replaces the default)\n"
    "  technician:   company:   model:   ppc_serial:   transducer_serial:\n"
    "  temperature_calibrator[_serial|_certificate|_expiry]:\n"
    "  pressure_calibrator[_serial|_certificate|_expiry]:\n"
    "  magic: TEXT   magic_encoding: bytes|utf16   value: N\n"
    "  length_form: shortest|word|dword|qword   string_length: NAME N\n"
    "  trailer_hex: HEX   truncate: N\n"
    "\n"
    "Exit status: 0 written, 1 the description or the output failed, 2 usage.\n";

int usageError(const char* why) {
    std::fprintf(stderr, "tjrgen: %s\n\n%s", why, kUsage);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    QString input;
    QString output;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "-o") == 0) {
            if (++i >= argc) return usageError("-o needs a file name");
            output = QString::fromLocal8Bit(argv[i]);
        } else if (argv[i][0] == '-' && argv[i][1] != '\0') {
            return usageError("unknown option");
        } else if (input.isEmpty()) {
            input = QString::fromLocal8Bit(argv[i]);
        } else {
            return usageError("only one description at a time");
        }
    }
    if (input.isEmpty()) return usageError("no description given");
    if (output.isEmpty()) return usageError("no output file given (-o OUT.tjr)");

    QByteArray bytes;
    QString error;
    bool read = false;
    if (QFileInfo(output).suffix().compare(QLatin1String("tdc"), Qt::CaseInsensitive) == 0) {
        vr5::fixtures::CalibrationDescription calibration;
        read = vr5::fixtures::readCalibrationFile(input, calibration, error);
        if (read) bytes = vr5::fixtures::buildCalibration(calibration);
    } else {
        vr5::fixtures::FixtureDescription fixture;
        read = vr5::fixtures::readFixtureFile(input, fixture, error);
        if (read) bytes = vr5::fixtures::buildFixture(fixture);
    }
    if (!read) {
        std::fprintf(stderr, "tjrgen: %s\n", qUtf8Printable(error));
        return 1;
    }

    QSaveFile file(output);
    if (!file.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "tjrgen: %s: %s\n", qUtf8Printable(output),
                     qUtf8Printable(file.errorString()));
        return 1;
    }
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        std::fprintf(stderr, "tjrgen: %s: %s\n", qUtf8Printable(output),
                     qUtf8Printable(file.errorString()));
        return 1;
    }
    return 0;
}
