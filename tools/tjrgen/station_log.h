#pragma once

#include <QString>
#include <algorithm>

// Long calibration station logs, for the tests, the benchmark and the fuzz corpus: a station
// that logs every reading between its checks writes millions of characters.
namespace vr5::fixtures {

// The eight checks a passing calibration logs, one of each target.
inline constexpr const char* kStationChecks[] = {
    "Temp 400F is within 2F",
    "Temp 441F is within 2F",
    "Temp 499F is within 2F",
    "Temp 540F is within 2F",
    "Transducer reading 1502 PSI is within 1.0%",
    "Transducer reading 749 PSI is within 1.0%",
    "Transducer reading 251 PSI is within 1.0%",
    "Transducer reading 50 PSI is within 1.0%",
};

// A log of at least `characters` characters: `checks` checks that passed (the eight targets in
// turn) spread evenly through numbered lines of raw readings, then a summary block of
// `summaryLines` lines between the station's rulers. No check fails.
inline QString longStationLog(qsizetype characters, int checks, int summaryLines) {
    constexpr qsizetype kReadingLine = 50;  // the length of one line of readings below
    const qsizetype readings = std::max<qsizetype>(1, characters / kReadingLine);
    const qsizetype every = std::max<qsizetype>(1, readings / std::max(checks, 1));
    QString log;
    log.reserve(characters + 64 * (checks + summaryLines) + 256);
    log += QStringLiteral("VR5 calibration, station 2\r\n");
    int logged = 0;
    for (qsizetype line = 0; line < readings || logged < checks; ++line) {
        log += QStringLiteral("Reading %1 raw 0x1A2B 0x3C4D settle 0.012s\r\n")
                   .arg(line % 1000000, 8, 10, QLatin1Char('0'));
        if (logged < checks && line % every == every - 1) {
            log += QLatin1String(kStationChecks[logged % 8]) + QStringLiteral("\r\n");
            ++logged;
        }
    }
    log += QStringLiteral(
        "--------------------------------------------\r\n"
        "Cal Date    Probe Name   Offset   Span\r\n"
        "--------------------------------------------\r\n");
    for (int i = 0; i < summaryLines; ++i) {
        log += QStringLiteral("Probe %1 offset +0.4F span 1.0021\r\n").arg(i + 1, 5);
    }
    log += QStringLiteral("-----!!!!\r\n");
    return log;
}

}  // namespace vr5::fixtures
