#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>

namespace vr5 {

// One calibration of a logger, as the calibration station writes it into a ".tdc" file: who
// calibrated it, with which reference instruments, and the station's log of the checks.
struct CalibrationRecord {
    static constexpr int kFieldCount = 16;
    // The station's fields in file order, already complemented back to their text.
    enum Field {
        CalibrationDate,  // date and time; its first number is the year
        LoggerSerial,
        CalibrationText,  // the station's log of the checks
        Technician,
        Company,
        TemperatureCalibratorModel,
        TemperatureCalibratorSerial,
        TemperatureCalibratorCertificate,
        TemperatureCalibratorExpiry,
        PressureCalibratorModel,
        PressureCalibratorSerial,
        PressureCalibratorCertificate,
        PressureCalibratorExpiry,
        LoggerModel,
        ProcessorBoardSerial,  // printed as "PPC S/N:"
        PressureTransducerSerial,
    };

    QString magic;
    std::array<QString, kFieldCount> fields;
    // The measured text of each target, "---" when the target was not met: 400, 440, 500 and
    // 540 °F; 1500, 750, 250 and 50 psi.
    std::array<QString, 4> temperatureResults;
    std::array<QString, 4> pressureResults;
    QStringList summaryLines;

    const QString& field(Field f) const { return fields[static_cast<size_t>(f)]; }
};

inline constexpr const char* kCalibrationMagic = "Tarnell VR5 Calib";
inline constexpr const char* kInvalidCalibrationFile = "Invalid calibration file!";
// A target that was not met.
inline constexpr const char* kNoResult = "---";

// Why a file is not a calibration record. The operator sees "Invalid calibration file!" for
// each; the reason is for tests and tools.
enum class CalibrationProblem {
    None,
    WrongMagic,    // the first string is not "Tarnell VR5 Calib"
    Truncated,     // the file ends inside an item
    LengthTooBig,  // a string claims more characters than the file has left
};

// Reads a calibration file's bytes. On success fills `out` (fields, results, summary lines);
// otherwise leaves it untouched.
CalibrationProblem loadCalibration(const QByteArray& bytes, CalibrationRecord& out);

// One string of the station's archive stream at `pos`; advances `pos` past it on success.
// `pos` is unchanged on failure.
CalibrationProblem readArchiveString(const QByteArray& bytes, qsizetype& pos, QString& out);

// The eight results and the summary lines, from the calibration text.
void deriveCalibrationResults(CalibrationRecord& rec);

// The words a station logs after a reading that failed its check: a temperature's
// ("Temp 452" and these) or a transducer's.
QString failedCheckWords(bool temperature);

}  // namespace vr5
