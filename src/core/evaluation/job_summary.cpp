#include "evaluation/job_summary.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>
#include <cmath>

#include "program_state.h"
#include "prompter.h"
#include "report/record_files.h"
#include "report/report_text.h"
#include "report/vr5xp_doc.h"
#include "settings/settings_keys.h"
#include "settings/settings_store.h"
#include "text/tick_format.h"
#include "units/units.h"

namespace vr5 {

namespace {

// A spreadsheet takes the file as UTF-8 only when it starts with the byte order mark.
constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

// Keeps the document's messages: a failure's reason goes into the command's own output, a
// damaged report's message to the error stream as for the other commands.
class RecordingPrompter final : public Prompter {
public:
    void show(const QString& text, const QString&, Icon) override { last = text; }
    using Prompter::ask;
    Answer ask(const QString& text, const QString&, Buttons, Icon) override {
        last = text;
        return Answer::Cancel;
    }
    // The reason, the message's last line (the lines before it name the file).
    QString reason() const {
        const QStringList lines = last.split(u'\n', Qt::SkipEmptyParts);
        return lines.isEmpty() ? QString() : lines.last().trimmed();
    }
    QString last;
};

QString seconds(double s) {
    return QString::number(s, 'f', 1);
}

QString jointNumberText(const JointRecord& rec) {
    return rec.has(ReportItem::JointNumber) ? QString::number(rec.fields.jointNumber) : QString();
}

QString checkHeading(const QString& name) {
    QString text = name;
    text.replace(u'_', u' ');
    if (!text.isEmpty()) text[0] = text[0].toUpper();
    return text;
}

// The checks whose result columns come before the verdict; later checks have theirs after the
// columns a spreadsheet already knows by their place.
constexpr qsizetype kFirstChecks = 7;

QString statusText(const AppliedLimit& limit) {
    return limit.applies() ? limitStatusKey(limit.status).replace(u'_', u' ') : QString();
}

QStringList summaryHeadings() {
    QStringList h{QStringLiteral("Date"),         QStringLiteral("Job Number"),
                  QStringLiteral("Joint Number"), QStringLiteral("Employee ID"),
                  QStringLiteral("Machine ID"),   QStringLiteral("Pipe")};
    for (int p = 0; p < kPhaseCount; ++p) h << phaseName(static_cast<Phase>(p)) + " (s)";
    for (const QString& name : checkNames().mid(0, kFirstChecks)) h << checkHeading(name);
    h << QStringLiteral("Verdict") << QStringLiteral("Procedure") << QStringLiteral("File")
      << QStringLiteral("Problem") << QStringLiteral("Demo");
    for (const QString& name : checkNames().mid(kFirstChecks)) h << checkHeading(name);
    // How sure each check is: its limit's status, and why it was not checked.
    for (const QString& name : checkNames()) {
        h << checkHeading(name) + QStringLiteral(" limit status")
          << checkHeading(name) + QStringLiteral(" not checked because");
    }
    return h;
}

QStringList summaryRow(const JointRecord& rec, const Evaluation& e, const QString& file,
                       const QString& problem) {
    const ReportFields& f = rec.fields;
    QStringList row{reportDateText(f),    f.jobNumber,
                    jointNumberText(rec), f.employeeId,
                    f.machineId,          reportHeaderValue(rec, QLatin1String("Pipe Size"))};
    for (const auto& span : e.phases)
        row << (span ? seconds(span->endS - span->startS) : QString());
    const auto checkOf = [&e](const QString& name) {
        for (const Check& c : e.checks) {
            if (c.name == name) return c;
        }
        return Check{};
    };
    const auto result = [&](const QString& name) {
        const Check c = checkOf(name);
        return c.name.isEmpty() ? QString() : resultKey(c.result).replace(u'_', u' ');
    };
    for (const QString& name : checkNames().mid(0, kFirstChecks)) row << result(name);
    const QString procedure = e.procedure.edition.isEmpty()
                                  ? e.procedure.name
                                  : e.procedure.name + u' ' + e.procedure.edition;
    row << verdictKey(e.verdict) << procedure << file << problem
        << (e.demo ? QStringLiteral("yes") : QString());
    for (const QString& name : checkNames().mid(kFirstChecks)) row << result(name);
    for (const QString& name : checkNames()) {
        const Check c = checkOf(name);
        const bool open = !c.name.isEmpty() && c.result == CheckResult::NotChecked;
        row << statusText(c.limit)
            << (open ? (c.reason.isEmpty() ? c.limit.reason : c.reason) : QString());
    }
    return row;
}

QStringList failedRow(const QString& file, const QString& why) {
    const QStringList headings = summaryHeadings();
    QStringList row(headings.size());
    row[headings.indexOf(QStringLiteral("File"))] = file;
    row[headings.indexOf(QStringLiteral("Problem"))] = why;
    return row;
}

}  // namespace

QString csvField(const QString& text) {
    // A spreadsheet runs a cell that starts with one of these as a formula: typed fields and
    // file names are shown as text instead. A number, negative or signed, stays a number.
    if (!text.isEmpty() && QStringView(u"=+-@\t\r").contains(text.front())) {
        bool number = false;
        const double value = QLocale::c().toDouble(text, &number);
        if (!number || !std::isfinite(value)) return csvField(u'\'' + text);
    }
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n') &&
        !text.contains(u'\r'))
        return text;
    QString quoted = text;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

QString csvRow(const QStringList& fields) {
    QStringList quoted;
    quoted.reserve(fields.size());
    for (const QString& f : fields) quoted << csvField(f);
    return quoted.join(u',') + QStringLiteral("\r\n");
}

bool writeCsvFile(const QString& path, const QByteArray& text, QString& error) {
    if (isRecordFile(path)) {
        error = recordFileRefusal(path);
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(kUtf8Bom) != 3 ||
        file.write(text) != text.size() || !file.commit()) {
        error = QStringLiteral("Cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

QByteArray samplesCsv(const JointRecord& rec) {
    const ReportFields& f = rec.fields;
    auto text = [&](ReportItem item, const QString& value) {
        return rec.has(item) ? value : QString();
    };
    const struct {
        const char* label;
        QString value;
    } facts[] = {
        {"Date/Time", reportDateText(f)},
        {"Joint Number", jointNumberText(rec)},
        {"Job Number", f.jobNumber},
        {"Employee ID", f.employeeId},
        {"Machine ID", f.machineId},
        {"Mach. Model", f.modelText},
        {"Pipe Material", f.material},
        {"Pipe Size", reportHeaderValue(rec, QLatin1String("Pipe Size"))},
        {"Interfacial Bead", f.interfacial[0]},
        {"Interfacial Soak", f.interfacial[1]},
        {"Interfacial Fuse", f.interfacial[2]},
        {"Interfacial Cool", f.interfacial[3]},
        {"Drag Pressure", f.drag},
        {"Recommended Bead", f.recommended[0]},
        {"Recommended Soak", f.recommended[1]},
        {"Recommended Fuse", f.recommended[2]},
        {"Recommended Cool", f.recommended[3]},
        {"Pressure Unit", text(ReportItem::PressureUnit, rec.pressureUnitText)},
        {"Fusilog Probe", f.heaterTemp},
        {"External Probe", f.extHeaterTemp},
        {"Notes", f.notes},
        {"Logged Duration (s)",
         text(ReportItem::Summary,
              seconds(f.loggedDuration / static_cast<double>(kTicksPerSecond)))},
        {"Samples", QString::number(rec.sampleCount)},
    };
    QString csv;
    csv.reserve(200 + rec.sampleCount * 24);
    for (const auto& fact : facts) {
        csv += csvRow({QStringLiteral("# ") + QLatin1String(fact.label), fact.value});
    }
    csv += csvRow({QStringLiteral("Time (s)"), "Pressure (" + rec.pressureUnitText + ')',
                   QStringLiteral("Pressure (psi)")});
    const int unit = rec.has(ReportItem::PressureUnit) ? rec.fields.pressureUnitIndex : 0;
    for (int i = 0; i < rec.sampleCount; ++i) {
        const int psi = rec.Pressure(i);
        csv += QString::number(rec.Time(i) / static_cast<double>(kTicksPerSecond), 'f', 1);
        csv += u',';
        csv += formatPressureInUnit(psi, unit);
        csv += u',';
        csv += QString::number(psi);
        csv += QStringLiteral("\r\n");
    }
    return csv.toUtf8();
}

ProcedureLoad chooseProcedure(const QString& named, const SettingsStore& settings) {
    QString id = named;
    if (id.isEmpty()) id = settings.read(keys::EvaluationProcedure).trimmed();
    if (id.isEmpty()) id = defaultProcedureId();
    ProcedureLoad load = loadProcedure(id);
    if (!load.procedure && load.error.isEmpty())
        load.error = QStringLiteral("There is no procedure \"%1\".").arg(id);
    return load;
}

struct JointReader::Parts {
    ProgramState state;
    RecordingPrompter prompter;
    CVR5XPDoc doc{state, prompter};
};

JointReader::JointReader() : parts_(std::make_unique<Parts>()) {}

JointReader::~JointReader() = default;

const JointRecord& JointReader::record() const {
    return parts_->doc.record();
}

JointReader::Opened JointReader::open(const QString& path, int searchRangePercent) {
    RecordingPrompter& prompter = parts_->prompter;
    CVR5XPDoc& doc = parts_->doc;
    prompter.last.clear();
    if (CVR5XPDoc::isCalibrationPath(path)) {
        message_ = QStringLiteral("It is a calibration file, not a joint report.");
        return Opened::Failed;
    }
    const CVR5XPDoc::OpenResult result = doc.Open(path);
    if (result == CVR5XPDoc::OpenResult::Failed) {
        message_ = prompter.reason();
        if (message_.isEmpty()) message_ = QStringLiteral("It could not be read.");
        return Opened::Failed;
    }
    if (searchRangePercent != 100) doc.SetSearchRangePercent(searchRangePercent);
    message_ = prompter.last;
    return result == CVR5XPDoc::OpenResult::Damaged ? Opened::Damaged : Opened::Report;
}

QString JointReader::damage() const {
    const DecodeProblem& problem = record().problem;
    if (!problem.stopped())
        return QStringLiteral("damaged: does not start with a report version identifier");
    return QStringLiteral("damaged: the %1 %2 (at byte %3)")
        .arg(reportItemName(problem.item), problem.what)
        .arg(problem.offset);
}

JobSummary::JobSummary() : table_(csvRow(summaryHeadings())) {}

void JobSummary::addJoint(const JointRecord& rec, const Evaluation& evaluation, const QString& file,
                          const QString& problem) {
    table_ += csvRow(summaryRow(rec, evaluation, file, problem));
    ++joints_;
}

void JobSummary::addUnreadable(const QString& file, const QString& why) {
    table_ += csvRow(failedRow(file, why));
    ++unreadable_;
}

QString fileProgressText(const QString& verb, qsizetype index, qsizetype count,
                         const QString& path) {
    return QStringLiteral("%1 %2 of %3: %4")
        .arg(verb)
        .arg(index + 1)
        .arg(count)
        .arg(QFileInfo(path).fileName());
}

JobSummaryResult writeJobSummary(const QStringList& files, const Procedure& procedure,
                                 const QString& output, const FileProgress& progress,
                                 int searchRangePercent) {
    JobSummaryResult result;
    // Refused before any report is read: the operator hears at once.
    if (isRecordFile(output)) {
        result.error = recordFileRefusal(output);
        return result;
    }
    JointReader reader;
    JobSummary summary;
    for (qsizetype i = 0; i < files.size(); ++i) {
        if (progress && !progress(i, files[i])) {
            result.status = JobSummaryResult::Status::Cancelled;
            return result;
        }
        const JointReader::Opened opened = reader.open(files[i], searchRangePercent);
        if (opened == JointReader::Opened::Failed) {
            summary.addUnreadable(files[i], reader.message());
            continue;
        }
        const bool damaged = opened == JointReader::Opened::Damaged;
        result.damaged += damaged ? 1 : 0;
        summary.addJoint(reader.record(), evaluateJoint(reader.record(), procedure), files[i],
                         damaged ? reader.damage() : QString());
    }
    result.joints = summary.joints();
    result.unreadable = summary.unreadable();
    if (!writeCsvFile(output, summary.csv(), result.error)) return result;
    result.status = JobSummaryResult::Status::Written;
    return result;
}

QString jobSummaryMessage(const JobSummaryResult& result, const QString& output) {
    const auto count = [](int n, const char* one, const char* many) {
        return QString::number(n) + u' ' + QLatin1String(n == 1 ? one : many);
    };
    QString text =
        QStringLiteral("The job summary was saved as\n%1\n\n%2 written; %3 could not be read.")
            .arg(QDir::toNativeSeparators(output), count(result.joints, "joint", "joints"),
                 count(result.unreadable, "file", "files"));
    if (result.unreadable > 0) text += QStringLiteral(" Their rows say why.");
    if (result.damaged > 0) {
        text += QStringLiteral("\n%1 damaged: what could be read of %2 is summed up.")
                    .arg(count(result.damaged, "report is", "reports are"),
                         QLatin1String(result.damaged == 1 ? "it" : "them"));
    }
    return text;
}

}  // namespace vr5
