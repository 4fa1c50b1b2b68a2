#include "hex_fields.h"

#include <QDateTime>
#include <charconv>
#include <cmath>

namespace vr5emu {

namespace {

constexpr char kDigits[] = "0123456789abcdef";
constexpr int kMaxStringUnits = 100;

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

void appendHex(std::string& out, unsigned value, int digits) {
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
        out += kDigits[(value >> shift) & 15];
}

}  // namespace

void HexWriter::number(long long value) {
    const unsigned long long magnitude =
        value < 0 ? 0ULL - static_cast<unsigned long long>(value) : value;
    appendHex(text_, magnitude > 0xffff ? 0xffffU : static_cast<unsigned>(magnitude), 4);
}

void HexWriter::string(const QString& value) {
    const QString text = value.trimmed().left(kMaxStringUnits);
    appendHex(text_, static_cast<unsigned>(text.size()), 4);
    if (text.isEmpty()) {
        text_ += "0000";  // the filler group every reader skips
        return;
    }
    for (const QChar unit : text) {
        appendHex(text_, unit.unicode() & 0xff, 2);
        appendHex(text_, unit.unicode() >> 8, 2);
    }
}

std::optional<int> HexReader::number() {
    if (hex_.size() - pos_ < 4) return std::nullopt;
    int value = 0;
    for (int i = 0; i < 4; ++i) {
        const int digit = hexValue(hex_[pos_ + i]);
        if (digit < 0) return std::nullopt;
        value = value * 16 + digit;
    }
    pos_ += 4;
    return value;
}

std::optional<QString> HexReader::string() {
    const auto count = number();
    if (!count) return std::nullopt;
    if (*count == 0) {
        if (!number()) return std::nullopt;  // filler
        return QString();
    }
    QString text;
    text.reserve(*count);
    for (int i = 0; i < *count; ++i) {
        const auto unit = number();
        if (!unit) return std::nullopt;
        // Low byte first on the wire.
        text.append(QChar(static_cast<char16_t>(((*unit & 0xff) << 8) | (*unit >> 8))));
    }
    return text;
}

std::optional<std::vector<Field>> parseRecord(std::string_view hex, std::string_view layout,
                                              std::string* why) {
    HexReader reader(hex);
    std::vector<Field> fields;
    for (size_t i = 0; i < layout.size(); ++i) {
        const size_t at = reader.position();
        std::optional<Field> field;
        if (layout[i] == 'n') {
            if (auto n = reader.number()) field = *n;
        } else if (auto s = reader.string()) {
            field = *s;
        }
        if (!field) {
            if (why) {
                *why = "field " + std::to_string(i + 1) + " (at hex digit " + std::to_string(at) +
                       ") is cut short or not hex";
            }
            return std::nullopt;
        }
        fields.push_back(std::move(*field));
    }
    if (!reader.atEnd()) {
        if (why) {
            *why = std::to_string(hex.size() - reader.position()) +
                   " hex digits left over after field " + std::to_string(layout.size());
        }
        return std::nullopt;
    }
    return fields;
}

bool isHexPayload(std::string_view hex) {
    if (hex.size() % 4 != 0) return false;
    for (const char c : hex) {
        if (hexValue(c) < 0) return false;
    }
    return true;
}

std::optional<double> leadingNumber(const QString& text) {
    const std::string bytes = text.trimmed().toStdString();
    const char* begin = bytes.data();
    const char* end = begin + bytes.size();
    if (begin != end && *begin == '+') ++begin;
    double value = 0;
    const auto [stop, error] = std::from_chars(begin, end, value);
    if (error != std::errc() || stop == begin || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::string buildJointInfo(const StoredJoint& joint) {
    const QDateTime now = joint.loggedAt.isValid() ? joint.loggedAt : QDateTime::currentDateTime();
    const auto s = [](const char* text) { return QString::fromUtf8(text); };
    HexWriter w;
    w.number(now.date().year());
    w.number(now.date().month());
    w.number(now.date().day());
    w.number(now.time().hour());
    w.number(now.time().minute());
    w.number(now.time().second());
    w.string(s("EMU-1"));   // machine ID
    w.number(0);            // machine model index
    w.string(s("ZA1 HF"));  // machine model
    w.string(s("4.710"));   // piston area
    w.number(0);            // in²
    w.string(joint.employee);
    w.string(joint.job);
    w.number(joint.joint);
    w.number(19);  // pipe material index
    w.string(s("PE 4710"));
    w.string(s("6"));   // pipe size
    w.number(0);        // IPS
    w.string(s("11"));  // wall
    w.number(0);        // DR
    w.string(s("75"));  // interfacial pressures: heat, soak, fuse, cool
    w.string(s("0"));
    w.string(s("75"));
    w.string(s("75"));
    w.number(0);         // psi
    w.string(s("30"));   // drag
    w.string(s("211"));  // recommended gauge pressures: heat, soak, fuse, cool
    w.string(s("30"));
    w.string(s("211"));
    w.string(s("211"));
    w.number(0);  // °F
    w.string(s("425"));
    w.string(s("425 \u00B0F"));
    return w.text();
}

std::string buildNotes(const QString& notes) {
    HexWriter w;
    w.number(999);
    w.string(QString());
    w.number(999);
    w.string(notes);
    return w.text();
}

std::string buildReserve(const QString& probeIdentity) {
    HexWriter w;
    w.number(0);
    w.string(QStringLiteral("VR5Xv0.3.0 ") + probeIdentity);
    w.string(QStringLiteral("11.390 in\u00B2~"));
    return w.text();
}

QString probeIdentityOf(const std::string& info) {
    // Reply positions 49-52, 55, 57, 59 and 61 on, less the 44 before the info section.
    const auto part = [&](size_t from, size_t count) {
        return from < info.size() ? info.substr(from, count) : std::string();
    };
    const std::string identity =
        part(5, 4) + part(11, 1) + part(13, 1) + part(15, 1) + part(17, std::string::npos);
    return QString::fromLatin1(identity.substr(0, 31));
}

}  // namespace vr5emu
