#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <vector>

namespace vr5 {

inline constexpr int kMaxSamples = 10000;
// A decoder keeps at most this many UTF-16 code units of a string; a larger count means the
// file is damaged.
inline constexpr int kMaxStringUnits = 300;
// The longest logger summary line, without its NUL.
inline constexpr int kMaxSummaryChars = 107;
// A stored pressure above this reads as 0 everywhere.
inline constexpr int kPressureCeiling = 4000;
inline constexpr int kPreambleSize = 10;

// The items of a joint report file in the order they are stored; the values are the item
// numbers of the file layout.
enum class ReportItem : int {
    None = 0,
    Preamble = 1,
    DateTime,
    MachineId,
    ModelIndex,
    ModelText,
    PistonArea,
    PistonAreaUnit,
    EmployeeId,
    JobNumber,
    JointNumber,
    MaterialIndex,
    Material,
    PipeSize,
    PipeSizeUnit,
    Wall,
    WallUnit,
    BeadPressure,
    SoakPressure,
    FusePressure,
    CoolPressure,
    PressureUnit,
    Drag,
    Recommended,
    TempUnit,
    ExtHeaterTemp,
    HeaterTemp,
    NotesMarker,
    Location,
    SecondMarker,
    Notes,
    Demo,
    Identity,
    Reserve,
    Summary,
    Samples,
};

// Human words for an item, as a damage message names it.
QString reportItemName(ReportItem item);

// The joint facts of a report, as decoded. Text fields that are empty in the file read "---";
// fields the decoder never reached stay empty (null) strings and 0.
struct ReportFields {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    QString machineId;
    int modelIndex = 0;
    QString modelText;
    QString pistonArea;
    int pistonAreaUnit = 0;  // 1 = cm², other = in²
    QString employeeId;
    QString jobNumber;
    int jointNumber = 0;
    int materialIndex = 0;
    QString material;
    QString pipeSize;  // the fitting type name for a mechanical machine
    int pipeSizeUnit = 0;
    QString wall;  // the fitting's main x outlet sizes for a mechanical machine
    int wallUnit = 0;
    std::array<QString, 4> interfacial;  // bead (heat), soak, fuse, cool
    int pressureUnitIndex = 0;
    QString drag;
    std::array<QString, 4> recommended;  // bead (heat), soak, fuse, cool
    int tempUnitIndex = 0;
    QString extHeaterTemp;
    QString heaterTemp;
    int notesMarker = 0;
    QString location;
    int secondMarker = 0;
    QString notes;
    int demo = 0;
    QString identity;
    QString reserve;
    QByteArray summaryLine;
    int summaryMaxPressure = 0;
    int loggedDuration = 0;     // ticks
    int storedSampleCount = 0;  // as the summary line claims it
};

// What is wrong with a damaged file: where decoding stopped, and why; and whether the file
// starts with something other than a version identifier (which may come with a file that was
// otherwise read whole, or with a stop).
struct DecodeProblem {
    ReportItem item = ReportItem::None;  // the item that could not be read whole
    qsizetype offset = 0;                // byte where the unreadable part starts
    QString what;                        // what is wrong, in the operator's words
    bool notVersionIdentifier = false;   // the first 10 bytes are not printable text

    bool stopped() const { return item != ReportItem::None; }
    bool isDamaged() const { return stopped() || notVersionIdentifier; }
};

// The decoded content of one joint report: facts, samples and the values derived from them.
struct JointRecord {
    ReportFields fields;
    // The last layout item that was decoded whole; every item after it is unread.
    ReportItem lastItem = ReportItem::None;
    DecodeProblem problem;

    // Byte positions in the file image: the notes string's count word, and the byte after it.
    qsizetype notesPos = 0;
    qsizetype notesEnd = 0;

    int sampleCount = 0;            // at most kMaxSamples
    std::vector<int32_t> time;      // ticks, sampleCount entries
    std::vector<int32_t> pressure;  // psi, sampleCount + 1 entries once smoothed
    int maxPressure = 0;            // psi
    int heaterRemoval = 0;          // ticks, 0 when none was found
    int searchRangePercent = 100;

    QString pressureUnitText = QStringLiteral("psi");
    double psiPerUnit = 1.0;

    QStringList headerLines;

    bool has(ReportItem item) const { return static_cast<int>(lastItem) >= static_cast<int>(item); }
    int Time(int i) const { return time[static_cast<size_t>(i)]; }
    // A stored pressure above 4000 reads as 0.
    int Pressure(int i) const {
        const int p = pressure[static_cast<size_t>(i)];
        return p > kPressureCeiling ? 0 : p;
    }
    bool isDemo() const { return fields.demo != 0; }
};

// Removes one-sample spikes that reverse direction (runs of at least five samples).
void smoothGlitches(JointRecord& rec);
// The largest sample pressure as the accessor reads it, never below 0.
int computeMaxPressure(const JointRecord& rec);
// The time at which the heater plate was taken out: the last clear pressure rise before the
// search range ends. 0 when there is none.
int locateHeaterRemoval(const JointRecord& rec);

}  // namespace vr5
