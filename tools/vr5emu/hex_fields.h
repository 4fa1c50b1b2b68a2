#pragma once

#include <QDateTime>
#include <QString>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// The logger keeps the set-up records as the hex text it received and echoes them back on a
// read-back. It reads them too: the joint information carries the gauge pressures its pressure
// profile follows. The encodings here are the logger's own, written apart from the program's.
namespace vr5emu {

// Appends number and string fields in the record's hex encoding.
class HexWriter {
public:
    // Four lower-case hex digits of the absolute value; anything above 65535 is "ffff".
    void number(long long value);
    // A count of UTF-16 units (trimmed, at most 100), then each unit low byte first. An empty
    // text is the count 0 and one filler group.
    void string(const QString& value);
    const std::string& text() const { return text_; }

private:
    std::string text_;
};

// Reads fields back out of a hex payload; every read is bounded by the payload.
class HexReader {
public:
    explicit HexReader(std::string_view hex) : hex_(hex) {}
    std::optional<int> number();
    std::optional<QString> string();
    bool atEnd() const { return pos_ == hex_.size(); }
    size_t position() const { return pos_; }

private:
    std::string_view hex_;
    size_t pos_ = 0;
};

using Field = std::variant<int, QString>;

// The field kinds of each set-up record, in order: 'n' a number, 's' a string.
inline constexpr std::string_view kJointInfoLayout = "nnnnnnsnssnssnnssnsnssssnsssssnss";
inline constexpr std::string_view kNotesLayout = "nsns";
inline constexpr std::string_view kReserveLayout = "nss";

// Positions (0-based) of the joint information fields the logger itself uses.
namespace info {
inline constexpr int kEmployee = 11;
inline constexpr int kJob = 12;
inline constexpr int kJoint = 13;
inline constexpr int kPressureUnit = 24;
inline constexpr int kDrag = 25;
inline constexpr int kRecHeat = 26;
inline constexpr int kRecSoak = 27;
inline constexpr int kRecFuse = 28;
inline constexpr int kRecCool = 29;
}  // namespace info

// Reads a payload laid out as `layout`. Fails (with the reason in *why) when a field is cut
// short, a digit is not hex, or text is left over after the last field.
std::optional<std::vector<Field>> parseRecord(std::string_view hex, std::string_view layout,
                                              std::string* why = nullptr);

// A whole payload of hex digit groups: only hex digits, a multiple of four of them.
bool isHexPayload(std::string_view hex);

// The stored-text number rule: the longest decimal number at the start after white space
// ("30 psi" reads 30); nothing when there is none.
std::optional<double> leadingNumber(const QString& text);

// The joint information a run stored at start carries: a complete record, laid out and filled
// as the program fills it, for a plain hydraulic joint.
struct StoredJoint {
    QString job = QStringLiteral("1000");
    int joint = 1;
    QString employee = QStringLiteral("EMU");
    QDateTime loggedAt;  // when its set-up was built; invalid: when the emulator started
};
std::string buildJointInfo(const StoredJoint& joint);
// An empty notes record (markers 999, no location, no notes) with one line of notes.
std::string buildNotes(const QString& notes);
// The reserve record: demo flag, identity string, reserve-data string.
std::string buildReserve(const QString& probeIdentity);
// The probe identity the program makes of the status reply's info section (`info` starts at
// the reply's position 44): the first probe text, three letters of the second, the calibration
// date and the rest; at most 31 characters.
QString probeIdentityOf(const std::string& info);

}  // namespace vr5emu
