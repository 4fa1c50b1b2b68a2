#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <optional>

#include "program_state.h"
#include "prompter.h"
#include "settings/settings_store.h"

// The conversation with the logger: the program speaks first ("Wp..." commands ending in CR LF),
// the logger answers each with one line ("Pw..."). Set-up records travel as hexadecimal text
// ending in "eom".
namespace vr5::protocol {

inline constexpr const char* kReadJointInfo = "Wp2R\r\n";
inline constexpr const char* kReadNotes = "Wp3R\r\n";
inline constexpr const char* kReadReserve = "Wp4R\r\n";
inline constexpr const char* kReadSummary = "Wp11\r\n";
inline constexpr const char* kClearMemory = "Wp13CLR\r\n";
inline constexpr const char* kDiagnosticsPoll = "Wp05\r\n";
// Put in place of a notes read-back that is missing or malformed: no location, no notes.
inline constexpr const char* kEmptyNotesReply = "Pw03:03e70000000003e700000000eom";

// The longest text a string field carries, in UTF-16 code units.
inline constexpr int kMaxStringUnits = 100;
// The outgoing buffer and the room a record may take in it.
inline constexpr int kRecordBufferSize = 1034;
inline constexpr int kRecordRoom = 1022;

// "Wp01L%ds%dD%dp%d\r\n".
QByteArray statusPoll(int loggingRequest, int stopwatchReset, int demoMode, int demoPressure);
// "Wp12-%04d\r\n": one page of the logged samples.
QByteArray readPage(int page);
// "Wp06c%dC%d\r\n": the two sensor offsets.
QByteArray setOffsets(int pressureOffset, int temperatureOffset);

// A reply that begins with `prefix` and whose last three characters are "eom".
bool isRecord(const QByteArray& line, const char* prefix);

// A page of samples as the logger sends it: five characters of prefix, then whole samples of
// eight hex digits (time, then pressure), then "eom". A page cut short, without its "eom", with
// a character that is no hex digit or with part of a sample was damaged on the way.
inline constexpr int kSampleDigits = 8;
bool isWholePage(const QByteArray& line);
// The samples a whole page holds.
qsizetype pageSamples(const QByteArray& line);

// Field encodings of the hex records: a number is four lower-case hex digits of its absolute
// value (above 65535: "ffff"); a string is its count of UTF-16 units (trimmed, at most 100)
// then each unit low byte first; an empty string is "0000" and one filler "0000".
QByteArray numberField(long long value);
QByteArray stringField(const QString& value);

// Reads the fields of a hex record from a position in a reply line. Reading never goes past
// the line: what is missing reads as 0 or an empty text, and the position still advances.
class HexReader {
public:
    HexReader(const QByteArray& line, qsizetype position) : line_(line), pos_(position) {}
    int number();
    // Keeps at most `keepUnits` units of the value (the rest is passed over); a NUL unit ends
    // the kept text.
    QString string(int keepUnits);
    qsizetype position() const { return pos_; }

private:
    const QByteArray& line_;
    qsizetype pos_;
};

// Builds one set-up record in the outgoing buffer ("Wp02:", "Wp03:", "Wp04:" + fields +
// "eom\r\n"). A field that would not fit stops the build with a message; the record is then
// not sent.
class RecordBuilder {
public:
    enum class Kind { JointInformation, Notes, Reserve };
    static constexpr const char* kStringTooLong =
        "Joint Infomaiton data exceed memory limit.  Joint will not be logged!";
    static constexpr const char* kNumberTooLong =
        "No memory allocate for joint information.  Cannot log joints!";

    RecordBuilder(Kind kind, Prompter& prompter);
    void number(long long value);
    void string(const QString& value);
    // Appends "eom\r\n"; the record, or nothing when the build failed (after saying so).
    std::optional<QByteArray> finish();

private:
    bool fits(qsizetype more) const { return buffer_.size() + more < kRecordRoom; }
    void fail(const char* text);

    Kind kind_;
    Prompter& prompter_;
    QByteArray buffer_;
    bool failed_ = false;
};

// The records of the joint about to be logged, from the remembered set-up values.
std::optional<QByteArray> buildJointInformation(const SettingsStore& settings,
                                                const ProgramState& state, const QDateTime& now,
                                                Prompter& prompter);
std::optional<QByteArray> buildNotesRecord(const SettingsStore& settings, const ProgramState& state,
                                           Prompter& prompter);
std::optional<QByteArray> buildReserveRecord(const SettingsStore& settings,
                                             const QByteArray& probeIdentity, Prompter& prompter);

// The logger's answer to a status poll, as far as its sections are present.
struct StatusReply {
    std::optional<char> loggingState;       // '1' logging, '2' a finished run waits
    std::optional<QByteArray> sampleCount;  // 5 characters, may start with blanks
    std::optional<QByteArray> elapsed;      // 7 characters, shown as they are
    std::optional<QByteArray> stopwatch;    // 7 characters, shown as they are
    std::optional<int> pressurePsi;
    int temperatureF = 0;
    bool temperaturePresent = false;
    std::optional<int> battery;
    bool hasInfo = false;
    QString probeVersion;      // "<probe> <probe2> c<yyyy>/<mm>/<dd>"
    QByteArray probeIdentity;  // at most 31 characters
};
inline constexpr int kStatusReplyMinLength = 43;
inline constexpr int kProbeIdentityMaxLength = 31;
// Nothing unless the line begins "Pw01" and has at least 43 characters.
std::optional<StatusReply> parseStatusReply(const QByteArray& line);

// The logger's answer to a diagnostics poll.
struct DiagnosticsReply {
    std::optional<bool> buttonPressed;
    std::optional<QByteArray> pressure;           // 4 characters
    std::optional<QByteArray> pressureOffset;     // 5 characters
    std::optional<QByteArray> temperature;        // 3 characters
    std::optional<QByteArray> temperatureOffset;  // 5 characters
    std::optional<int> battery;
    std::optional<QByteArray> probeInfo;
};
inline constexpr int kDiagnosticsReplyMinLength = 27;
// Nothing unless the line begins "Pw05" and has at least 27 characters.
std::optional<DiagnosticsReply> parseDiagnosticsReply(const QByteArray& line);

// A hex reply as the report file keeps it: the text between the five-character prefix and the
// final "eom", four hex digits to one 16-bit word, low byte first; a shorter rest is dropped.
// Returns the number of characters converted over (the text's length before cutting).
qsizetype convertSection(const QByteArray& line, QByteArray& out);

// The decimal number at a position of a line, read as the logger's fields are: leading
// blanks, an optional sign, digits up to the first non-digit, at most `width` characters.
int fieldNumber(const QByteArray& line, qsizetype position, qsizetype width);

}  // namespace vr5::protocol
