#include "fixture_description.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringList>
#include <cmath>
#include <functional>
#include <map>
#include <string>

namespace vr5::fixtures {

namespace {

// A description line that cannot be used; carries the message up to the line loop.
struct LineError {
    QString message;
};

[[noreturn]] void fail(const QString& message) {
    throw LineError{message};
}

// The file as the logger's echo lays it out after the preamble: words (W) and strings (S).
constexpr const char kLayout[] =
    "WWWWWW"
    "S"
    "W"
    "SS"
    "W"
    "SS"
    "WW"
    "SS"
    "W"
    "S"
    "W"  // date .. wall unit
    "SSSS"
    "W"
    "S"
    "SSSS"
    "W"
    "SS"  // pressures .. heater temps
    "W"
    "S"
    "W"
    "S"  // notes section
    "W"
    "SS";  // demo, identity, reserve

// Text values may be quoted (to keep outer blanks) and hold \n, \r, \t, \0, \\, \" and \uXXXX.
QString textValue(const QString& raw) {
    QString v = raw;
    if (v.size() >= 2 && v.startsWith(u'"') && v.endsWith(u'"')) v = v.mid(1, v.size() - 2);
    QString out;
    out.reserve(v.size());
    for (qsizetype i = 0; i < v.size(); ++i) {
        if (v[i] != u'\\') {
            out += v[i];
            continue;
        }
        if (++i >= v.size()) fail(QStringLiteral("a backslash ends the value"));
        switch (v[i].unicode()) {
            case 'n':
                out += u'\n';
                break;
            case 'r':
                out += u'\r';
                break;
            case 't':
                out += u'\t';
                break;
            case '0':
                out += QChar(0);
                break;
            case '\\':
                out += u'\\';
                break;
            case '"':
                out += u'"';
                break;
            case 'u': {
                bool ok = false;
                const uint unit = v.mid(i + 1, 4).toUInt(&ok, 16);
                if (!ok || v.mid(i + 1, 4).size() != 4) {
                    fail(QStringLiteral("\\u needs four hex digits"));
                }
                out += QChar(static_cast<char16_t>(unit));
                i += 4;
                break;
            }
            default:
                fail(QStringLiteral("unknown escape \\%1").arg(v[i]));
        }
    }
    return out;
}

int integer(const QString& text, long long min, long long max) {
    bool ok = false;
    const long long v = text.trimmed().toLongLong(&ok);
    if (!ok) fail(QStringLiteral("\"%1\" is not a whole number").arg(text.trimmed()));
    if (v < min || v > max) {
        fail(QStringLiteral("%1 is outside %2..%3").arg(v).arg(min).arg(max));
    }
    return static_cast<int>(v);
}

// A stored word: 0..65535, or a negative number stored as its 16-bit two's complement.
int word(const QString& text) {
    return integer(text, -32768, 65535) & 0xffff;
}

double decimal(const QString& text) {
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v))
        fail(QStringLiteral("\"%1\" is not a number").arg(text.trimmed()));
    return v;
}

// A word given by a name from `names` or as its number.
int namedWord(const QString& text, const std::map<QString, int>& names) {
    QString key = text.toLower();
    key.remove(QRegularExpression(QStringLiteral("[\\s._\"'°/]")));
    const auto it = names.find(key);
    if (it != names.end()) return it->second;
    bool ok = false;
    text.trimmed().toInt(&ok);
    if (!ok) {
        QStringList known;
        for (const auto& [name, value] : names) known << name;
        fail(QStringLiteral("\"%1\" is neither a number nor one of: %2")
                 .arg(text.trimmed(), known.join(QStringLiteral(", "))));
    }
    return word(text);
}

QStringList args(const QString& value, int min, int max, const char* usage) {
    const QStringList parts =
        value.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    if (parts.size() < min || parts.size() > max) {
        fail(QStringLiteral("expected: %1").arg(QString::fromLatin1(usage)));
    }
    return parts;
}

// Lays out samples phase after phase, the way a joint's pressure moves.
class Profile {
public:
    explicit Profile(std::vector<Sample>& samples) : samples_(samples) {}

    void setInterval(int ticks) { interval_ = ticks; }
    void setNoise(int amplitude, uint32_t seed) {
        noise_ = amplitude;
        rng_ = seed;
    }
    void sample(int time, double psi) {
        pressure_ = psi;
        emitAt(time, psi);
    }
    void hold(int ticks) {
        for (int k = 0, n = steps(ticks); k < n; ++k) emit(pressure_ + noise());
    }
    void ramp(double to, int ticks) {
        const double from = pressure_;
        const int n = steps(ticks);
        for (int k = 1; k <= n; ++k) emit(from + (to - from) * k / n + noise());
        pressure_ = to;
    }
    void step(double to) {
        pressure_ = to;
        emit(to);
    }
    void glitch(double delta) { emit(pressure_ + delta); }
    void gap(int ticks) { gap_ += ticks; }

private:
    int steps(int ticks) const { return std::max(1, ticks / interval_); }

    int noise() {
        if (noise_ <= 0) return 0;
        rng_ = rng_ * 1103515245u + 12345u;
        return static_cast<int>((rng_ >> 16) % static_cast<uint32_t>(2 * noise_ + 1)) - noise_;
    }

    void emit(double psi) {
        const long long t = (samples_.empty() ? 0LL : samples_.back().time + interval_) + gap_;
        emitAt(t, psi);
    }

    void emitAt(long long time, double psi) {
        if (time < 0 || time > 65535) {
            fail(QStringLiteral("sample time %1 is outside 0..65535 ticks").arg(time));
        }
        const long long p = std::llround(psi);
        if (p < -32768 || p > 32767) {
            fail(QStringLiteral("sample pressure %1 is outside -32768..32767 psi").arg(p));
        }
        samples_.push_back(Sample{static_cast<int>(time), static_cast<int>(p)});
        gap_ = 0;
    }

    std::vector<Sample>& samples_;
    int interval_ = 5;
    double pressure_ = 0;
    int gap_ = 0;
    int noise_ = 0;
    uint32_t rng_ = 1;
};

using Handler = std::function<void(const QString&)>;

// Keys whose value is text take the whole rest of the line; any other value may be followed by
// a comment.
struct Key {
    Key() = default;
    template <typename F>
    Key(F handler, bool takesText = false) : handle(std::move(handler)), text(takesText) {}

    Handler handle;
    bool text = false;
};

std::map<QString, Key> handlers(FixtureDescription& d, Profile& profile) {
    ReportFields& f = d.content.fields;
    std::map<QString, Key> h;
    auto text = [&h](const char* key, QString& field) {
        h[QString::fromLatin1(key)] = {[&field](const QString& v) { field = textValue(v); }, true};
    };
    auto number = [&h](const char* key, int& field) {
        h[QString::fromLatin1(key)] = [&field](const QString& v) { field = word(v); };
    };
    auto named = [&h](const char* key, int& field, std::map<QString, int> names) {
        h[QString::fromLatin1(key)] = [&field, names](const QString& v) {
            field = namedWord(v, names);
        };
    };

    h[QStringLiteral("preamble")] = {
        [&d](const QString& v) { d.content.preamble = textValue(v).toLatin1(); }, true};
    h[QStringLiteral("date")] = [&f](const QString& v) {
        const QStringList parts =
            v.split(QRegularExpression(QStringLiteral("[-/:\\s]+")), Qt::SkipEmptyParts);
        if (parts.size() != 3 && parts.size() != 6) {
            fail(QStringLiteral("expected: date: YYYY-MM-DD [HH:MM:SS]"));
        }
        int* out[] = {&f.year, &f.month, &f.day, &f.hour, &f.minute, &f.second};
        for (int i = 0; i < 6; ++i) *out[i] = i < parts.size() ? word(parts[i]) : 0;
    };
    text("machine_id", f.machineId);
    number("model_index", f.modelIndex);
    text("model", f.modelText);
    text("piston_area", f.pistonArea);
    named("piston_area_unit", f.pistonAreaUnit,
          {{QStringLiteral("in2"), 0},
           {QStringLiteral("in²"), 0},
           {QStringLiteral("cm2"), 1},
           {QStringLiteral("cm²"), 1}});
    text("employee", f.employeeId);
    text("job", f.jobNumber);
    number("joint", f.jointNumber);
    number("material_index", f.materialIndex);
    text("material", f.material);
    text("pipe_size", f.pipeSize);
    named("pipe_size_unit", f.pipeSizeUnit,
          {{QStringLiteral("ips"), 0},
           {QStringLiteral("dips"), 1},
           {QStringLiteral("inod"), 2},
           {QStringLiteral("mmod"), 3},
           {QStringLiteral("mmjis"), 4}});
    text("wall", f.wall);
    named("wall_unit", f.wallUnit,
          {{QStringLiteral("dr"), 0}, {QStringLiteral("inwt"), 1}, {QStringLiteral("mmwt"), 2}});
    const char* phases[] = {"bead", "soak", "fuse", "cool"};
    for (size_t i = 0; i < 4; ++i) {
        text(("ifp_" + std::string(phases[i])).c_str(), f.interfacial[i]);
        text(("rec_" + std::string(phases[i])).c_str(), f.recommended[i]);
    }
    named("pressure_unit", f.pressureUnitIndex,
          {{QStringLiteral("psi"), 0},
           {QStringLiteral("bar"), 1},
           {QStringLiteral("kgcm2"), 2},
           {QStringLiteral("kgcm²"), 2},
           {QStringLiteral("mpa"), 3}});
    text("drag", f.drag);
    named("temp_unit", f.tempUnitIndex, {{QStringLiteral("f"), 0}, {QStringLiteral("c"), 1}});
    text("ext_heater_temp", f.extHeaterTemp);
    text("heater_temp", f.heaterTemp);
    number("notes_marker", f.notesMarker);
    text("location", f.location);
    number("second_marker", f.secondMarker);
    text("notes", f.notes);
    named("demo", f.demo,
          {{QStringLiteral("no"), 0},
           {QStringLiteral("false"), 0},
           {QStringLiteral("yes"), 1},
           {QStringLiteral("true"), 1}});
    text("identity", f.identity);
    text("reserve", f.reserve);
    h[QStringLiteral("logged_duration")] = [&f](const QString& v) {
        f.loggedDuration = integer(v, 0, 65535);
    };

    // Damage.
    h[QStringLiteral("summary")] = {[&d](const QString& v) {
                                        const QString line = textValue(v);
                                        if (line.isEmpty()) {
                                            fail(
                                                QStringLiteral("leave the summary out to have "
                                                               "it built"));
                                        }
                                        d.content.summaryLine = line.toLatin1();
                                    },
                                    true};
    h[QStringLiteral("truncate")] = [&d](const QString& v) {
        d.truncateAt = integer(v, 0, 1 << 30);
    };
    h[QStringLiteral("string_count")] = [&d](const QString& v) {
        const QStringList a = args(v, 2, 2, "string_count: STRING_NAME COUNT");
        for (int i = 0; i < kStringCount; ++i) {
            if (a[0] == QLatin1String(kStringNames[i])) {
                d.stringCounts.emplace_back(i, integer(a[1], 0, 65535));
                return;
            }
        }
        fail(QStringLiteral("\"%1\" names no string of a report").arg(a[0]));
    };
    h[QStringLiteral("trailer_hex")] = [&d](const QString& v) {
        QString digits = v;
        digits.remove(QRegularExpression(QStringLiteral("\\s")));
        static const QRegularExpression hex(QStringLiteral("^([0-9A-Fa-f]{2})*$"));
        if (!hex.match(digits).hasMatch()) fail(QStringLiteral("expected pairs of hex digits"));
        d.content.trailer += QByteArray::fromHex(digits.toLatin1());
    };

    // Samples, in order.
    h[QStringLiteral("interval")] = [&profile](const QString& v) {
        profile.setInterval(integer(v, 1, 65535));
    };
    h[QStringLiteral("noise")] = [&profile](const QString& v) {
        const QStringList a = args(v, 1, 2, "noise: AMPLITUDE_PSI [SEED]");
        profile.setNoise(integer(a[0], 0, 1000),
                         a.size() > 1 ? static_cast<uint32_t>(integer(a[1], 0, INT32_MAX)) : 1u);
    };
    h[QStringLiteral("sample")] = [&profile](const QString& v) {
        const QStringList a = args(v, 2, 2, "sample: TIME_TICKS PSI");
        profile.sample(integer(a[0], 0, 65535), decimal(a[1]));
    };
    h[QStringLiteral("hold")] = [&profile](const QString& v) {
        profile.hold(integer(args(v, 1, 1, "hold: TICKS")[0], 1, 65535));
    };
    h[QStringLiteral("ramp")] = [&profile](const QString& v) {
        const QStringList a = args(v, 2, 2, "ramp: TO_PSI OVER_TICKS");
        profile.ramp(decimal(a[0]), integer(a[1], 1, 65535));
    };
    h[QStringLiteral("step")] = [&profile](const QString& v) {
        profile.step(decimal(args(v, 1, 1, "step: PSI")[0]));
    };
    h[QStringLiteral("glitch")] = [&profile](const QString& v) {
        profile.glitch(decimal(args(v, 1, 1, "glitch: DELTA_PSI")[0]));
    };
    h[QStringLiteral("gap")] = [&profile](const QString& v) {
        profile.gap(integer(args(v, 1, 1, "gap: TICKS")[0], 1, 65535));
    };
    return h;
}

int wordAt(const QByteArray& bytes, qsizetype pos) {
    return static_cast<unsigned char>(bytes[pos]) | static_cast<unsigned char>(bytes[pos + 1]) << 8;
}

}  // namespace

FixtureDescription defaultFixture() {
    FixtureDescription d;
    ReportFields& f = d.content.fields;
    f.year = 2024, f.month = 5, f.day = 6, f.hour = 14, f.minute = 32, f.second = 7;
    f.machineId = QStringLiteral("M-1042");
    f.modelText = QStringLiteral("ZA2 HF");
    f.pistonArea = QStringLiteral("4.71");
    f.employeeId = QStringLiteral("E-117");
    f.jobNumber = QStringLiteral("J-2024-118");
    f.jointNumber = 7;
    f.material = QStringLiteral("HDPE PE4710");
    f.pipeSize = QStringLiteral("8");
    f.wall = QStringLiteral("11");
    f.interfacial = {QStringLiteral("75"), QStringLiteral("0"), QStringLiteral("75"),
                     QStringLiteral("75")};
    f.drag = QStringLiteral("30");
    f.recommended = {QStringLiteral("337"), QStringLiteral("30"), QStringLiteral("337"),
                     QStringLiteral("337")};
    f.extHeaterTemp = QStringLiteral("425");
    f.heaterTemp = QStringLiteral("428");
    f.notesMarker = 999;
    f.secondMarker = 999;
    f.identity = QStringLiteral("VR5Xv0.3.0 ABCD12320120506");
    f.reserve = QStringLiteral("19.31 in\u00B2~");
    return d;
}

ParseResult parseFixtureDescription(const QString& text) {
    ParseResult result;
    result.fixture = defaultFixture();
    Profile profile(result.fixture.content.samples);
    const std::map<QString, Key> h = handlers(result.fixture, profile);
    static const QRegularExpression keyed(QStringLiteral("^([A-Za-z_][A-Za-z0-9_]*)\\s*:?(.*)$"));

    const QStringList lines = text.split(u'\n');
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(u'\r')) line.chop(1);
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(u'#')) continue;
        try {
            const QRegularExpressionMatch m = keyed.match(trimmed);
            if (!m.hasMatch()) fail(QStringLiteral("expected \"key: value\""));
            const auto it = h.find(m.captured(1).toLower());
            if (it == h.end()) fail(QStringLiteral("unknown key \"%1\"").arg(m.captured(1)));
            QString value = m.captured(2);
            if (!it->second.text)
                value = value.section(QRegularExpression(QStringLiteral("\\s#")), 0, 0);
            it->second.handle(value.trimmed());
        } catch (const LineError& e) {
            result.errorLine = i + 1;
            result.error = e.message;
            return result;
        }
    }
    return result;
}

QByteArray buildFixture(const FixtureDescription& fixture) {
    QByteArray bytes = encodeReport(fixture.content);

    // Find every string's count word before changing any of them.
    std::vector<qsizetype> stringAt;
    qsizetype pos = fixture.content.preamble.size();
    for (const char* item = kLayout; *item != '\0'; ++item) {
        if (*item == 'W') {
            pos += 2;
        } else {
            stringAt.push_back(pos);
            const int n = wordAt(bytes, pos);
            pos += 2 + 2 * std::max(n, 1);
        }
    }
    for (const auto& [index, count] : fixture.stringCounts) {
        const qsizetype at = stringAt[static_cast<size_t>(index)];
        bytes[at] = static_cast<char>(count & 0xff);
        bytes[at + 1] = static_cast<char>((count >> 8) & 0xff);
    }
    if (fixture.truncateAt && *fixture.truncateAt < bytes.size())
        bytes.truncate(*fixture.truncateAt);
    return bytes;
}

bool readTextValue(const QString& raw, QString& out, QString& error) {
    try {
        out = textValue(raw);
        return true;
    } catch (const LineError& e) {
        error = e.message;
        return false;
    }
}

bool readFixtureFile(const QString& path, FixtureDescription& out, QString& error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    const ParseResult parsed = parseFixtureDescription(QString::fromUtf8(file.readAll()));
    if (!parsed.ok()) {
        error = QStringLiteral("%1:%2: %3").arg(path).arg(parsed.errorLine).arg(parsed.error);
        return false;
    }
    out = parsed.fixture;
    return true;
}

}  // namespace vr5::fixtures
