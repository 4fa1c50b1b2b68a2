#pragma once

#include <QByteArray>
#include <QString>
#include <iterator>
#include <optional>
#include <utility>
#include <vector>

#include "report/report_writer.h"

// Joint report files made from readable descriptions, for tests and for anyone who needs a
// sample report without a logger at hand. tests/fixtures/README.md describes the format.
namespace vr5::fixtures {

// The strings of a report in the order the file stores them, named as a description names them.
inline constexpr const char* kStringNames[] = {
    "machine_id",  "model",    "piston_area", "employee", "job",      "material",
    "pipe_size",   "wall",     "ifp_bead",    "ifp_soak", "ifp_fuse", "ifp_cool",
    "drag",        "rec_bead", "rec_soak",    "rec_fuse", "rec_cool", "ext_heater_temp",
    "heater_temp", "location", "notes",       "identity", "reserve",
};
inline constexpr int kStringCount = static_cast<int>(std::size(kStringNames));

// A report to generate: what it holds, and the damage to do to its bytes afterwards.
struct FixtureDescription {
    ReportContent content;
    // Count words written in place of the true ones: (string number in file order, count).
    std::vector<std::pair<int, int>> stringCounts;
    // Cut the file after this many bytes.
    std::optional<qsizetype> truncateAt;
};

struct ParseResult {
    FixtureDescription fixture;
    int errorLine = 0;  // 1-based; 0 when the description was read whole
    QString error;      // what is wrong with that line

    bool ok() const { return error.isEmpty(); }
};

// The report every description starts from: a plain hydraulic machine, all fields filled,
// no samples.
FixtureDescription defaultFixture();

ParseResult parseFixtureDescription(const QString& text);

// The file bytes: the content encoded as the download writes it, then the damage applied.
QByteArray buildFixture(const FixtureDescription& fixture);

// Reads a description file (UTF-8). On failure, `error` says which line and why.
bool readFixtureFile(const QString& path, FixtureDescription& out, QString& error);

// A text value as a description writes it: the rest of the line, optionally quoted, with the
// escapes \n \r \t \0 \\ \" \uXXXX. False, with `error` saying why, for a broken escape.
bool readTextValue(const QString& raw, QString& out, QString& error);

}  // namespace vr5::fixtures
