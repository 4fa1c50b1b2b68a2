#include "archive/archive_facts.h"

#include <QCryptographicHash>
#include <QFileInfo>

#include "report/appended_notes.h"
#include "report/calibration_record.h"
#include "report/report_decoder.h"
#include "report/report_text.h"
#include "text/tick_format.h"

namespace vr5 {

namespace {

QString damageText(const DecodeProblem& problem) {
    if (!problem.stopped())
        return QStringLiteral("does not start with a report version identifier");
    return QStringLiteral("the %1 %2 (at byte %3)")
        .arg(reportItemName(problem.item), problem.what)
        .arg(problem.offset);
}

ReportFacts calibrationFacts(const QByteArray& bytes) {
    ReportFacts facts;
    CalibrationRecord rec;
    if (loadCalibration(bytes, rec) != CalibrationProblem::None) {
        facts.unreadable = QString::fromUtf8(kInvalidCalibrationFile);
        return facts;
    }
    ArchivedReport& r = facts.report;
    r.kind = QStringLiteral("calibration");
    r.date = rec.field(CalibrationRecord::CalibrationDate).trimmed();
    r.logger = rec.field(CalibrationRecord::LoggerSerial).trimmed();
    r.employee = rec.field(CalibrationRecord::Technician).trimmed();
    r.model = rec.field(CalibrationRecord::LoggerModel).trimmed();
    return facts;
}

}  // namespace

QString sha256Hex(const QByteArray& bytes) {
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

ReportFacts decodeFacts(const QByteArray& bytes, const QString& sourceName) {
    ReportFacts facts;
    if (bytes.isEmpty()) {
        facts.unreadable = QStringLiteral("The file is empty.");
        return facts;
    }
    if (QFileInfo(sourceName).suffix().compare(u"tdc", Qt::CaseInsensitive) == 0) {
        facts = calibrationFacts(bytes);
    } else {
        auto rec = std::make_shared<JointRecord>();
        rec->searchRangePercent = 100;
        decodeReport(bytes, *rec);
        const DecodeProblem& problem = rec->problem;
        if (problem.stopped() &&
            (problem.notVersionIdentifier || !rec->has(ReportItem::DateTime))) {
            facts.unreadable = QStringLiteral("It is not a joint report: %1%2.")
                                   .arg(problem.notVersionIdentifier
                                            ? QStringLiteral("it does not start with a report "
                                                             "version identifier, and ")
                                            : QString(),
                                        damageText(problem));
            return facts;
        }
        const ReportFields& f = rec->fields;
        ArchivedReport& r = facts.report;
        r.kind = QStringLiteral("report");
        if (rec->has(ReportItem::DateTime)) r.date = reportDateText(f);
        r.job = f.jobNumber;
        r.joint = rec->has(ReportItem::JointNumber) ? f.jointNumber : 0;
        r.employee = f.employeeId;
        r.machine = f.machineId;
        r.model = f.modelText;
        r.material = f.material;
        r.pipe = reportHeaderValue(*rec, QLatin1String("Pipe Size"));
        r.logger = f.identity;
        r.samples = rec->sampleCount;
        r.durationS = f.loggedDuration / static_cast<double>(kTicksPerSecond);
        r.demo = rec->isDemo();
        r.damaged = problem.isDamaged();
        r.damage = r.damaged ? damageText(problem) : QString();
        r.notes = f.notes;
        facts.record = std::move(rec);
    }
    facts.report.sha256 = sha256Hex(bytes);
    facts.report.size = bytes.size();
    facts.report.sourceName = QFileInfo(sourceName).fileName();
    return facts;
}

std::optional<QString> appendedNotes(const QByteArray& older, const JointRecord& olderRecord,
                                     const QByteArray& newer, const JointRecord& newerRecord) {
    if (!olderRecord.has(ReportItem::Notes) || !newerRecord.has(ReportItem::Notes))
        return std::nullopt;
    const qsizetype oldPos = olderRecord.notesPos, oldEnd = olderRecord.notesEnd;
    const qsizetype newPos = newerRecord.notesPos, newEnd = newerRecord.notesEnd;
    if (oldPos != newPos || oldPos <= 0 || oldEnd > older.size() || newEnd > newer.size())
        return std::nullopt;
    if (older.first(oldPos) != newer.first(newPos)) return std::nullopt;
    if (older.sliced(oldEnd) != newer.sliced(newEnd)) return std::nullopt;
    const QString noNotes = QString::fromLatin1(notes::kNoNotes);
    const QString before =
        olderRecord.fields.notes == noNotes ? QString() : olderRecord.fields.notes;
    const QString after = newerRecord.fields.notes;
    if (after == noNotes || after == before) return std::nullopt;
    if (before.isEmpty()) return after;
    const QString joined = before + QLatin1String(notes::kSeparator);
    if (!after.startsWith(joined) || after.size() == joined.size()) return std::nullopt;
    return after.mid(joined.size());
}

}  // namespace vr5
