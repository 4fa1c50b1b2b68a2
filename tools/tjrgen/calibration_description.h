#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <iterator>
#include <optional>
#include <utility>
#include <vector>

// Calibration files (.tdc) made from readable descriptions, as the calibration station writes
// them. tests/fixtures/README.md describes the format.
namespace vr5::fixtures {

// The station's sixteen fields in file order, named as a description names them.
inline constexpr const char* kCalibrationFieldNames[] = {
    "date",
    "logger_serial",
    "log",
    "technician",
    "company",
    "temperature_calibrator",
    "temperature_calibrator_serial",
    "temperature_calibrator_certificate",
    "temperature_calibrator_expiry",
    "pressure_calibrator",
    "pressure_calibrator_serial",
    "pressure_calibrator_certificate",
    "pressure_calibrator_expiry",
    "model",
    "ppc_serial",
    "transducer_serial",
};
inline constexpr int kCalibrationFieldCount = static_cast<int>(std::size(kCalibrationFieldNames));

// How a string's length is written: the shortest prefix that holds it, or a longer one.
enum class LengthForm { Shortest, Word, Dword, Qword };

struct CalibrationDescription {
    QString magic;
    bool magicWide = false;  // the magic as 2-byte characters (the fields always are)
    quint32 value = 1;       // the 32-bit value after the magic
    std::array<QString, kCalibrationFieldCount> fields;
    LengthForm lengthForm = LengthForm::Shortest;
    // Lengths written in place of the true ones: (0 for the magic, 1 + field number, length).
    std::vector<std::pair<int, quint64>> claimedLengths;
    QByteArray trailer;                   // bytes after the last field
    std::optional<qsizetype> truncateAt;  // cut the file after this many bytes
};

struct CalibrationParseResult {
    CalibrationDescription description;
    int errorLine = 0;  // 1-based; 0 when the description was read whole
    QString error;

    bool ok() const { return error.isEmpty(); }
};

// A whole calibration that passed every check, with a summary block.
CalibrationDescription defaultCalibration();

CalibrationParseResult parseCalibrationDescription(const QString& text);

// One archive string: the length prefix (`claimed` in place of the true length, when given),
// then the characters, 2 bytes each (UTF-16LE) when `wide`, else Latin-1.
QByteArray encodeArchiveString(const QString& text, bool wide,
                               LengthForm form = LengthForm::Shortest,
                               std::optional<quint64> claimed = std::nullopt);

// The file bytes: magic, value, the complemented fields, then the damage applied.
QByteArray buildCalibration(const CalibrationDescription& description);

// Reads a description file (UTF-8). On failure, `error` says which line and why.
bool readCalibrationFile(const QString& path, CalibrationDescription& out, QString& error);

}  // namespace vr5::fixtures
