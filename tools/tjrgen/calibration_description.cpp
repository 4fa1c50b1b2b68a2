#include "calibration_description.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringList>

#include "fixture_description.h"
#include "report/calibration_record.h"

namespace vr5::fixtures {

namespace {

// The station's log of a calibration that passed: the checks, then the summary block between
// its rulers and the "-----!!!!" mark.
const char* const kPassingLog[] = {
    "VR5 calibration, station 2",
    "Temp 400F is within 2F",
    "Temp 441F is within 2F",
    "Temp 499F is within 2F",
    "Temp 540F is within 2F",
    "Transducer reading 1502 PSI is within 1.0%",
    "Transducer reading 749 PSI is within 1.0%",
    "Transducer reading 251 PSI is within 1.0%",
    "Transducer reading 50 PSI is within 1.0%",
    "--------------------------------------------",
    "Cal Date    Probe Name   Offset   Span",
    "--------------------------------------------",
    "2024/03/15  TK0120       +0.4F    1.0021",
    "Heater probe offset  +0.4F",
    "Pressure span        1.0021",
    "-----!!!!",
};

void appendLine(QString& log, const QString& line) {
    log += line + QStringLiteral("\r\n");
}

void put(QByteArray& out, quint64 value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.append(static_cast<char>((value >> (8 * i)) & 0xff));
}

struct LineError {
    QString message;
};

[[noreturn]] void fail(const QString& message) {
    throw LineError{message};
}

quint64 unsignedNumber(const QString& text, quint64 max) {
    bool ok = false;
    const quint64 v = text.trimmed().toULongLong(&ok);
    if (!ok) fail(QStringLiteral("\"%1\" is not a whole number").arg(text.trimmed()));
    if (v > max) fail(QStringLiteral("%1 is outside 0..%2").arg(v).arg(max));
    return v;
}

QString text(const QString& raw) {
    QString out, error;
    if (!readTextValue(raw, out, error)) fail(error);
    return out;
}

// The string number of a name: 0 the magic, 1 + n the field n.
int stringNumber(const QString& name) {
    if (name == u"magic") return 0;
    for (int i = 0; i < kCalibrationFieldCount; ++i) {
        if (name == QLatin1String(kCalibrationFieldNames[i])) return i + 1;
    }
    fail(QStringLiteral("\"%1\" names no string of a calibration file").arg(name));
}

// Handles one "key: value" line.
void apply(CalibrationDescription& d, bool& logFromLines, const QString& key,
           const QString& rawValue) {
    for (int i = 0; i < kCalibrationFieldCount; ++i) {
        if (key == QLatin1String(kCalibrationFieldNames[i])) {
            d.fields[static_cast<size_t>(i)] = text(rawValue);
            return;
        }
    }
    // Everything else may carry a comment after the value.
    const QString value =
        rawValue.section(QRegularExpression(QStringLiteral("\\s#")), 0, 0).trimmed();
    if (key == u"log_line") {
        QString& log = d.fields[CalibrationRecord::CalibrationText];
        if (!logFromLines) log.clear();
        logFromLines = true;
        appendLine(log, text(rawValue));
    } else if (key == u"magic") {
        d.magic = text(rawValue);
    } else if (key == u"magic_encoding") {
        if (value != u"bytes" && value != u"utf16") fail(QStringLiteral("expected bytes or utf16"));
        d.magicWide = value == u"utf16";
    } else if (key == u"value") {
        d.value = static_cast<quint32>(unsignedNumber(value, 0xFFFFFFFFu));
    } else if (key == u"length_form") {
        static const std::pair<const char*, LengthForm> kForms[] = {
            {"shortest", LengthForm::Shortest},
            {"word", LengthForm::Word},
            {"dword", LengthForm::Dword},
            {"qword", LengthForm::Qword}};
        for (const auto& [name, form] : kForms) {
            if (value == QLatin1String(name)) {
                d.lengthForm = form;
                return;
            }
        }
        fail(QStringLiteral("expected shortest, word, dword or qword"));
    } else if (key == u"string_length") {
        const QStringList a = value.split(QRegularExpression(QStringLiteral("\\s+")));
        if (a.size() != 2) fail(QStringLiteral("expected: string_length: STRING_NAME LENGTH"));
        d.claimedLengths.emplace_back(stringNumber(a[0]), unsignedNumber(a[1], ~quint64{0}));
    } else if (key == u"trailer_hex") {
        QString digits = value;
        digits.remove(QRegularExpression(QStringLiteral("\\s")));
        static const QRegularExpression hex(QStringLiteral("^([0-9A-Fa-f]{2})*$"));
        if (!hex.match(digits).hasMatch()) fail(QStringLiteral("expected pairs of hex digits"));
        d.trailer += QByteArray::fromHex(digits.toLatin1());
    } else if (key == u"truncate") {
        d.truncateAt = static_cast<qsizetype>(unsignedNumber(value, 1u << 30));
    } else {
        fail(QStringLiteral("unknown key \"%1\"").arg(key));
    }
}

std::optional<quint64> claimedLength(const CalibrationDescription& d, int string) {
    std::optional<quint64> claimed;
    for (const auto& [number, length] : d.claimedLengths) {
        if (number == string) claimed = length;
    }
    return claimed;
}

}  // namespace

CalibrationDescription defaultCalibration() {
    CalibrationDescription d;
    d.magic = QString::fromLatin1(kCalibrationMagic);
    const char* const values[kCalibrationFieldCount] = {
        "2024/03/15 10:30",
        "VR5-0417",
        "",  // the log, below
        "Dana Whitfield",
        "Tarnell Fusion Instruments",
        "TC-650",
        "TC0120",
        "C-2291",
        "2025/01/31",
        "DPC-8000",
        "P5K1",
        "C-2292",
        "2025/02/28",
        "VR5-XP",
        "PPC-3321",
        "XD-77120",
    };
    for (int i = 0; i < kCalibrationFieldCount; ++i)
        d.fields[static_cast<size_t>(i)] = QString::fromUtf8(values[i]);
    QString& log = d.fields[CalibrationRecord::CalibrationText];
    for (const char* line : kPassingLog) appendLine(log, QString::fromLatin1(line));
    return d;
}

CalibrationParseResult parseCalibrationDescription(const QString& description) {
    CalibrationParseResult result;
    result.description = defaultCalibration();
    bool logFromLines = false;
    static const QRegularExpression keyed(QStringLiteral("^([A-Za-z_][A-Za-z0-9_]*)\\s*:?(.*)$"));
    const QStringList lines = description.split(u'\n');
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(u'\r')) line.chop(1);
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(u'#')) continue;
        try {
            const QRegularExpressionMatch m = keyed.match(trimmed);
            if (!m.hasMatch()) fail(QStringLiteral("expected \"key: value\""));
            apply(result.description, logFromLines, m.captured(1).toLower(),
                  m.captured(2).trimmed());
        } catch (const LineError& e) {
            result.errorLine = i + 1;
            result.error = e.message;
            return result;
        }
    }
    return result;
}

QByteArray encodeArchiveString(const QString& text, bool wide, LengthForm form,
                               std::optional<quint64> claimed) {
    QByteArray out;
    if (wide) {
        out.append('\xff');
        put(out, 0xFFFE, 2);
    }
    const quint64 n = claimed.value_or(static_cast<quint64>(text.size()));
    // After the 2-byte marker a word 0xFFFE is a length; before it, it would be the marker.
    const bool wordFits = n < 0xFFFF && (wide || n != 0xFFFE);
    if (form == LengthForm::Shortest && n < 0xFF) {
        put(out, n, 1);
    } else if ((form == LengthForm::Shortest || form == LengthForm::Word) && wordFits) {
        out.append('\xff');
        put(out, n, 2);
    } else if (form != LengthForm::Qword && n < 0xFFFFFFFF) {
        out.append('\xff');
        put(out, 0xFFFF, 2);
        put(out, n, 4);
    } else {
        out.append('\xff');
        put(out, 0xFFFF, 2);
        put(out, 0xFFFFFFFF, 4);
        put(out, n, 8);
    }
    if (wide) {
        for (QChar c : text) put(out, c.unicode(), 2);
    } else {
        out += text.toLatin1();
    }
    return out;
}

QByteArray buildCalibration(const CalibrationDescription& d) {
    QByteArray bytes = encodeArchiveString(d.magic, d.magicWide, d.lengthForm, claimedLength(d, 0));
    put(bytes, d.value, 4);
    for (int i = 0; i < kCalibrationFieldCount; ++i) {
        // The station stores every character complemented; only 2-byte characters can hold that.
        QString stored = d.fields[static_cast<size_t>(i)];
        for (QChar& c : stored) c = QChar(static_cast<char16_t>(0xFFFF - c.unicode()));
        bytes += encodeArchiveString(stored, true, d.lengthForm, claimedLength(d, i + 1));
    }
    bytes += d.trailer;
    if (d.truncateAt && *d.truncateAt < bytes.size()) bytes.truncate(*d.truncateAt);
    return bytes;
}

bool readCalibrationFile(const QString& path, CalibrationDescription& out, QString& error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    const CalibrationParseResult parsed =
        parseCalibrationDescription(QString::fromUtf8(file.readAll()));
    if (!parsed.ok()) {
        error = QStringLiteral("%1:%2: %3").arg(path).arg(parsed.errorLine).arg(parsed.error);
        return false;
    }
    out = parsed.description;
    return true;
}

}  // namespace vr5::fixtures
