#include "report/report_decoder.h"

#include <cstring>

#include "report/report_text.h"
#include "text/number_text.h"
#include "units/units.h"

namespace vr5 {

namespace {

// Reads the items of a report in order, stopping at the first one that does not fit.
class Cursor {
public:
    Cursor(const QByteArray& image, JointRecord& rec) : image_(image), rec_(rec) {}

    qsizetype pos() const { return pos_; }
    bool failed() const { return rec_.problem.stopped(); }

    void seek(qsizetype pos) { pos_ = pos; }

    bool word(ReportItem item, int& out) {
        if (failed()) return false;
        if (!fits(2)) return fail(item, pos_, QStringLiteral("runs past the end of the file"));
        out = byteAt(pos_) + 256 * byteAt(pos_ + 1);
        pos_ += 2;
        return true;
    }

    bool string(ReportItem item, QString& out) {
        if (failed()) return false;
        const qsizetype start = pos_;
        if (!fits(2)) return fail(item, start, QStringLiteral("runs past the end of the file"));
        const int n = byteAt(pos_) + 256 * byteAt(pos_ + 1);
        pos_ += 2;
        if (n == 0) {
            if (!fits(2)) {
                pos_ = start;
                return fail(item, start, QStringLiteral("runs past the end of the file"));
            }
            pos_ += 2;  // the filler word
            out = QStringLiteral("---");
            return true;
        }
        if (n > kMaxStringUnits) {
            pos_ = start;
            return fail(item, start,
                        QStringLiteral("claims %1 characters, more than the %2 a report can hold")
                            .arg(n)
                            .arg(kMaxStringUnits));
        }
        if (!fits(2 * static_cast<qsizetype>(n))) {
            pos_ = start;
            return fail(item, start, QStringLiteral("runs past the end of the file"));
        }
        QString text;
        text.reserve(n);
        bool ended = false;
        for (int i = 0; i < n; ++i) {
            const char16_t unit = static_cast<char16_t>(byteAt(pos_) * 256 + byteAt(pos_ + 1));
            pos_ += 2;
            if (unit == 0) ended = true;
            if (!ended) text.append(QChar(unit));
        }
        out = text.isEmpty() ? QStringLiteral("---") : text;
        return true;
    }

    // The NUL-terminated ASCII summary line.
    bool summary(QByteArray& out) {
        if (failed()) return false;
        const qsizetype start = pos_;
        const qsizetype limit = std::min<qsizetype>(image_.size(), start + kMaxSummaryChars + 1);
        const char* data = image_.constData();
        for (qsizetype i = start; i < limit; ++i) {
            if (data[i] == '\0') {
                out = QByteArray(data + start, i - start);
                pos_ = i + 1;
                return true;
            }
        }
        if (limit - start > kMaxSummaryChars) {
            return fail(ReportItem::Summary, start,
                        QStringLiteral("is %1 characters or longer, more than the logger writes")
                            .arg(kMaxSummaryChars + 1));
        }
        return fail(ReportItem::Summary, start, QStringLiteral("runs past the end of the file"));
    }

    bool fail(ReportItem item, qsizetype offset, const QString& what) {
        rec_.problem.item = item;
        rec_.problem.offset = offset;
        rec_.problem.what = what;
        return false;
    }

    void done(ReportItem item) {
        if (!failed()) rec_.lastItem = item;
    }

private:
    bool fits(qsizetype n) const { return n >= 0 && pos_ + n <= image_.size(); }
    int byteAt(qsizetype i) const { return static_cast<unsigned char>(image_[i]); }

    const QByteArray& image_;
    JointRecord& rec_;
    qsizetype pos_ = kPreambleSize;
};

// The numbers of the summary line sit at fixed character positions; characters 6 and 13 end
// the first two.
void readSummaryNumbers(const QByteArray& line, ReportFields& f) {
    QByteArray copy = line;
    if (copy.size() > 6) copy[6] = '\0';
    if (copy.size() > 13) copy[13] = '\0';
    auto numberAt = [&copy](qsizetype from) {
        if (from >= copy.size()) return 0;
        const char* p = copy.constData() + from;
        return readLeadingInt(p, static_cast<qsizetype>(strnlen(p, copy.size() - from)));
    };
    f.summaryMaxPressure = numberAt(2);
    f.loggedDuration = numberAt(8);
    f.storedSampleCount = numberAt(15);
}

void readSamples(const QByteArray& image, qsizetype start, JointRecord& rec, Cursor& cursor) {
    const int claimed = rec.fields.storedSampleCount;
    if (claimed < 0) {
        cursor.fail(ReportItem::Samples, start,
                    QStringLiteral("has a negative sample count (%1)").arg(claimed));
        rec.sampleCount = 0;
        return;
    }
    const qsizetype available = std::max<qsizetype>(0, (image.size() - start) / 4);
    int count = claimed;
    if (available < claimed) {
        count = static_cast<int>(available);
        cursor.fail(ReportItem::Samples, start,
                    QStringLiteral("run past the end of the file: %1 of %2 samples are present")
                        .arg(available)
                        .arg(claimed));
    }
    if (count > kMaxSamples) count = kMaxSamples;
    rec.sampleCount = count;
    rec.time.resize(static_cast<size_t>(count));
    rec.pressure.resize(static_cast<size_t>(count) + 1);
    const auto* p = reinterpret_cast<const unsigned char*>(image.constData() + start);
    for (int i = 0; i < count; ++i, p += 4) {
        rec.time[static_cast<size_t>(i)] = p[0] | (p[1] << 8);
        rec.pressure[static_cast<size_t>(i)] = static_cast<int16_t>(p[2] | (p[3] << 8));
    }
    rec.pressure[static_cast<size_t>(count)] = 0;
    cursor.done(ReportItem::Samples);
}

bool isPrintableAscii(const QByteArray& bytes) {
    for (char c : bytes) {
        if (c < 0x20 || c > 0x7e) return false;
    }
    return true;
}

void decodeItems(const QByteArray& image, JointRecord& rec) {
    ReportFields& f = rec.fields;
    Cursor in(image, rec);
    if (image.size() < kPreambleSize) {
        in.fail(ReportItem::Preamble, 0, QStringLiteral("is missing: the file is too short"));
        return;
    }
    in.done(ReportItem::Preamble);

    int date[6] = {};
    for (int& part : date) in.word(ReportItem::DateTime, part);
    if (!in.failed()) {
        f.year = date[0], f.month = date[1], f.day = date[2];
        f.hour = date[3], f.minute = date[4], f.second = date[5];
    }
    in.done(ReportItem::DateTime);
    in.string(ReportItem::MachineId, f.machineId), in.done(ReportItem::MachineId);
    in.word(ReportItem::ModelIndex, f.modelIndex), in.done(ReportItem::ModelIndex);
    in.string(ReportItem::ModelText, f.modelText), in.done(ReportItem::ModelText);
    in.string(ReportItem::PistonArea, f.pistonArea), in.done(ReportItem::PistonArea);
    in.word(ReportItem::PistonAreaUnit, f.pistonAreaUnit), in.done(ReportItem::PistonAreaUnit);
    in.string(ReportItem::EmployeeId, f.employeeId), in.done(ReportItem::EmployeeId);
    in.string(ReportItem::JobNumber, f.jobNumber), in.done(ReportItem::JobNumber);
    in.word(ReportItem::JointNumber, f.jointNumber), in.done(ReportItem::JointNumber);
    in.word(ReportItem::MaterialIndex, f.materialIndex), in.done(ReportItem::MaterialIndex);
    in.string(ReportItem::Material, f.material), in.done(ReportItem::Material);
    in.string(ReportItem::PipeSize, f.pipeSize), in.done(ReportItem::PipeSize);
    in.word(ReportItem::PipeSizeUnit, f.pipeSizeUnit), in.done(ReportItem::PipeSizeUnit);
    in.string(ReportItem::Wall, f.wall), in.done(ReportItem::Wall);
    in.word(ReportItem::WallUnit, f.wallUnit), in.done(ReportItem::WallUnit);
    in.string(ReportItem::BeadPressure, f.interfacial[0]), in.done(ReportItem::BeadPressure);
    in.string(ReportItem::SoakPressure, f.interfacial[1]), in.done(ReportItem::SoakPressure);
    in.string(ReportItem::FusePressure, f.interfacial[2]), in.done(ReportItem::FusePressure);
    in.string(ReportItem::CoolPressure, f.interfacial[3]), in.done(ReportItem::CoolPressure);
    in.word(ReportItem::PressureUnit, f.pressureUnitIndex), in.done(ReportItem::PressureUnit);
    in.string(ReportItem::Drag, f.drag), in.done(ReportItem::Drag);
    for (QString& r : f.recommended) in.string(ReportItem::Recommended, r);
    in.done(ReportItem::Recommended);
    in.word(ReportItem::TempUnit, f.tempUnitIndex), in.done(ReportItem::TempUnit);
    in.string(ReportItem::ExtHeaterTemp, f.extHeaterTemp), in.done(ReportItem::ExtHeaterTemp);
    in.string(ReportItem::HeaterTemp, f.heaterTemp), in.done(ReportItem::HeaterTemp);
    in.word(ReportItem::NotesMarker, f.notesMarker), in.done(ReportItem::NotesMarker);
    in.string(ReportItem::Location, f.location), in.done(ReportItem::Location);
    in.word(ReportItem::SecondMarker, f.secondMarker), in.done(ReportItem::SecondMarker);
    if (!in.failed()) rec.notesPos = in.pos();
    in.string(ReportItem::Notes, f.notes), in.done(ReportItem::Notes);
    if (!in.failed()) rec.notesEnd = in.pos();
    in.word(ReportItem::Demo, f.demo), in.done(ReportItem::Demo);
    in.string(ReportItem::Identity, f.identity), in.done(ReportItem::Identity);
    in.string(ReportItem::Reserve, f.reserve), in.done(ReportItem::Reserve);
    if (in.summary(f.summaryLine)) readSummaryNumbers(f.summaryLine, f);
    in.done(ReportItem::Summary);
    if (!in.failed()) readSamples(image, in.pos(), rec, in);
}

}  // namespace

void decodeReport(const QByteArray& image, JointRecord& rec) {
    const int percent = rec.searchRangePercent;
    rec = JointRecord{};
    rec.searchRangePercent = percent;

    decodeItems(image, rec);

    // A file that does not start with a version identifier may not be a report at all; the
    // operator is told so beside whatever else broke.
    rec.problem.notVersionIdentifier =
        image.size() >= kPreambleSize && !isPrintableAscii(image.left(kPreambleSize));

    if (rec.has(ReportItem::PressureUnit)) {
        rec.pressureUnitText = recordUnitText(rec.fields.pressureUnitIndex);
        rec.psiPerUnit = psiPerUnit(rec.fields.pressureUnitIndex);
    }
    if (rec.pressure.empty()) rec.pressure.assign(1, 0);
    smoothGlitches(rec);
    rec.maxPressure = computeMaxPressure(rec);
    rec.headerLines = buildReportHeaderLines(rec);
    rec.heaterRemoval = locateHeaterRemoval(rec);
}

}  // namespace vr5
