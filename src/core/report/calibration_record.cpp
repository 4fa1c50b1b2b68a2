#include "report/calibration_record.h"

#include <algorithm>

#include "text/number_text.h"

namespace vr5 {

namespace {

// What the calibration station writes after a check that failed; the phrases are its own, so
// they are matched exactly, letter case included.
constexpr const char* kTemperatureCheckFailed = "F Is Not Within Spec";
constexpr const char* kPressureCheckFailed = "PSI is Not Within Spec";

// Where a phrase next occurs at or after a position that only moves forward. Each check looks
// for its failure phrase from the check on; searching the rest of the log afresh for every one
// of thousands of checks took time in the square of the log's length, so the place found is kept
// while it still lies ahead.
class NextPhrase {
public:
    NextPhrase(const QString& text, const char* phrase)
        : text_(text), phrase_(QLatin1String(phrase)) {}

    qsizetype from(qsizetype pos) {
        // The first place at or after an earlier start that is still ahead is the first at or
        // after `pos` too; none after an earlier start means none after `pos`.
        if (searched_ && start_ <= pos && (found_ < 0 || found_ >= pos)) return found_;
        searched_ = true;
        start_ = pos;
        found_ = text_.indexOf(phrase_, pos);
        return found_;
    }

private:
    const QString& text_;
    QLatin1String phrase_;
    bool searched_ = false;
    qsizetype start_ = 0;
    qsizetype found_ = -1;
};

}  // namespace

namespace {

// Little-endian reads that stay inside the file; each says whether the bytes were there.
class ArchiveReader {
public:
    ArchiveReader(const QByteArray& bytes, qsizetype pos) : bytes_(bytes), pos_(pos) {}

    qsizetype pos() const { return pos_; }
    qsizetype left() const { return bytes_.size() - pos_; }

    bool read(int size, quint64& value) {
        if (left() < size) return false;
        value = 0;
        for (int i = size - 1; i >= 0; --i) {
            value = (value << 8) | static_cast<unsigned char>(bytes_[pos_ + i]);
        }
        pos_ += size;
        return true;
    }

    const char* at() const { return bytes_.constData() + pos_; }
    void skip(qsizetype n) { pos_ += n; }

private:
    const QByteArray& bytes_;
    qsizetype pos_;
};

// The length prefix of an archive string: a byte, else a word, else a 32-bit and finally a
// 64-bit count; a word 0xFFFE in place of the count marks 2-byte characters and starts the
// prefix again.
CalibrationProblem readLength(ArchiveReader& in, quint64& length, bool& wide) {
    wide = false;
    quint64 value = 0;
    if (!in.read(1, value)) return CalibrationProblem::Truncated;
    if (value != 0xFF) {
        length = value;
        return CalibrationProblem::None;
    }
    if (!in.read(2, value)) return CalibrationProblem::Truncated;
    if (value == 0xFFFE) {
        wide = true;
        if (!in.read(1, value)) return CalibrationProblem::Truncated;
        if (value != 0xFF) {
            length = value;
            return CalibrationProblem::None;
        }
        if (!in.read(2, value)) return CalibrationProblem::Truncated;
    }
    if (value != 0xFFFF) {
        length = value;
        return CalibrationProblem::None;
    }
    if (!in.read(4, value)) return CalibrationProblem::Truncated;
    if (value != 0xFFFFFFFF) {
        length = value;
        return CalibrationProblem::None;
    }
    if (!in.read(8, value)) return CalibrationProblem::Truncated;
    if ((value >> 32) != 0) return CalibrationProblem::LengthTooBig;
    length = value;
    return CalibrationProblem::None;
}

QString complemented(const QString& text) {
    QString out(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        out[i] = QChar(static_cast<char16_t>(0xFFFF - text[i].unicode()));
    }
    return out;
}

// Which temperature target a measured reading such as "399" belongs to, or -1.
int temperatureSlot(const QString& f) {
    static const char* const kPrefixes[4][2] = {
        {"40", "39"}, {"44", "43"}, {"50", "49"}, {"54", "53"}};
    for (int slot = 0; slot < 4; ++slot) {
        for (const char* prefix : kPrefixes[slot]) {
            if (f.startsWith(QLatin1String(prefix))) return slot;
        }
    }
    return -1;
}

// Which pressure target (1500, 750, 250, 50 psi) a measured reading belongs to, or -1.
int pressureSlot(const QString& f) {
    if (f.startsWith(u'1')) return 0;
    if (f.startsWith(u'7')) return 1;
    if (f.startsWith(u'2')) return 2;
    const double value = readLeadingNumber(f);
    if (value > 29 && value <= 70) return 3;
    return -1;
}

// The station's summary block: from the first "------" after the last check up to the line of
// "-----!!!!", without its rulers and column headings.
QStringList summaryLines(const QString& s, qsizetype from) {
    const qsizetype start = s.indexOf(QLatin1String("------"), from);
    if (start < 0) return {};
    const qsizetype mark = s.indexOf(QLatin1String("-----!!!!"), start);
    if (mark < 0) return {};
    const qsizetype end = s.indexOf(QLatin1String("\r\n"), mark);
    if (end < 0) return {};
    QStringList pieces = s.mid(start, end - start).split(QLatin1String("\r\n"));
    pieces.removeLast();  // the marker's own line, which has no line break in the block
    QStringList lines;
    for (const QString& line : pieces) {
        if (line.isEmpty() || line.contains(QLatin1String("---")) ||
            line.contains(QLatin1String("Cal Date")) || line.contains(QLatin1String("Probe Name")))
            continue;
        lines << line;
    }
    return lines;
}

}  // namespace

CalibrationProblem readArchiveString(const QByteArray& bytes, qsizetype& pos, QString& out) {
    if (pos < 0 || pos > bytes.size()) return CalibrationProblem::Truncated;
    ArchiveReader in(bytes, pos);
    quint64 length = 0;
    bool wide = false;
    if (const CalibrationProblem p = readLength(in, length, wide); p != CalibrationProblem::None)
        return p;
    // Bounded by what the file holds before anything is allocated.
    const quint64 unit = wide ? 2 : 1;
    if (length > static_cast<quint64>(in.left()) / unit) return CalibrationProblem::LengthTooBig;
    const auto n = static_cast<qsizetype>(length);
    if (wide) {
        QString text(n, Qt::Uninitialized);
        const auto* p = reinterpret_cast<const unsigned char*>(in.at());
        for (qsizetype i = 0; i < n; ++i) {
            text[i] = QChar(static_cast<char16_t>(p[2 * i] | (p[2 * i + 1] << 8)));
        }
        out = std::move(text);
    } else {
        // The calibration station runs with a Western code page; Latin-1 is that page for
        // every character its texts use.
        out = QString::fromLatin1(in.at(), n);
    }
    in.skip(n * static_cast<qsizetype>(unit));
    pos = in.pos();
    return CalibrationProblem::None;
}

CalibrationProblem loadCalibration(const QByteArray& bytes, CalibrationRecord& out) {
    CalibrationRecord rec;
    qsizetype pos = 0;
    if (const CalibrationProblem p = readArchiveString(bytes, pos, rec.magic);
        p != CalibrationProblem::None)
        return p;
    if (rec.magic != QLatin1String(kCalibrationMagic)) return CalibrationProblem::WrongMagic;
    // A 32-bit value the station writes after the magic; nothing here needs it.
    if (bytes.size() - pos < 4) return CalibrationProblem::Truncated;
    pos += 4;
    for (QString& field : rec.fields) {
        QString stored;
        if (const CalibrationProblem p = readArchiveString(bytes, pos, stored);
            p != CalibrationProblem::None)
            return p;
        field = complemented(stored);
    }
    deriveCalibrationResults(rec);
    out = std::move(rec);
    return CalibrationProblem::None;
}

QString failedCheckWords(bool temperature) {
    return QString::fromLatin1(temperature ? kTemperatureCheckFailed : kPressureCheckFailed);
}

void deriveCalibrationResults(CalibrationRecord& rec) {
    const QString& s = rec.field(CalibrationRecord::CalibrationText);
    const QString none = QString::fromLatin1(kNoResult);
    rec.temperatureResults.fill(none);
    rec.pressureResults.fill(none);

    NextPhrase temperatureFailed(s, kTemperatureCheckFailed);
    NextPhrase pressureFailed(s, kPressureCheckFailed);
    qsizetype p = 0;
    qsizetype resume = 0;
    while (p >= 0) {
        p = s.indexOf(QLatin1String(" is within"), p);
        if (p < 0) break;
        const QChar before = p >= 1 ? s[p - 1] : QChar();
        if (before == u'F') {
            // "Temp 399F is within": the three characters before the "F".
            const QString f = p >= 4 ? s.mid(p - 4, 3) : QString();
            if (const int slot = temperatureSlot(f); slot >= 0) {
                rec.temperatureResults[static_cast<size_t>(slot)] = f + QStringLiteral("\u00B0F");
            }
            const qsizetype failed = temperatureFailed.from(p);
            if (failed >= 0) {
                rec.temperatureResults.fill(none);
                p = failed;
            }
        } else if (before == u'I') {
            // "at 1502 PSI is within": the word after the first blank in the twelve characters
            // before the match (nothing lies before the start of the text).
            const qsizetype blank = s.indexOf(u' ', std::max<qsizetype>(p - 12, 0));
            const qsizetype a = blank + 1;
            const qsizetype b = s.indexOf(u' ', a);
            if (b >= 0) {
                const QString f = s.mid(a, b - a);
                if (const int slot = pressureSlot(f); slot >= 0) {
                    rec.pressureResults[static_cast<size_t>(slot)] = f + QStringLiteral("psi");
                }
            }
            const qsizetype failed = pressureFailed.from(p);
            if (failed >= 0) {
                rec.pressureResults.fill(none);
                p = failed;
            }
        }
        p += 2;
        resume = p;
    }
    rec.summaryLines = summaryLines(s, resume);
}

}  // namespace vr5
