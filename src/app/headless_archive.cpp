#include "app/headless_archive.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <optional>

#include "app/headless.h"
#include "app/headless_progress.h"
#include "archive/joint_archive.h"
#include "evaluation/job_summary.h"
#include "report/report_decoder.h"
#include "settings/settings_keys.h"

namespace vr5 {

namespace {

QByteArray reportJson(const ArchivedReport& r) {
    QJsonObject o;
    o.insert(QStringLiteral("sha256"), r.sha256);
    o.insert(QStringLiteral("kind"), r.kind);
    o.insert(QStringLiteral("date"), r.date);
    o.insert(QStringLiteral("job"), r.job);
    o.insert(QStringLiteral("joint"), r.joint);
    o.insert(QStringLiteral("employee"), r.employee);
    o.insert(QStringLiteral("machine"), r.machine);
    o.insert(QStringLiteral("model"), r.model);
    o.insert(QStringLiteral("material"), r.material);
    o.insert(QStringLiteral("pipe"), r.pipe);
    o.insert(QStringLiteral("logger"), r.logger);
    o.insert(QStringLiteral("samples"), r.samples);
    o.insert(QStringLiteral("duration_s"), r.durationS);
    o.insert(QStringLiteral("demo"), r.demo);
    o.insert(QStringLiteral("damaged"), r.damaged);
    o.insert(QStringLiteral("damage"), r.damage);
    o.insert(QStringLiteral("notes"), r.notes);
    o.insert(QStringLiteral("file"), r.sourceName);
    o.insert(QStringLiteral("size"), r.size);
    o.insert(QStringLiteral("importer"), r.importer);
    o.insert(QStringLiteral("imported_at"), r.importedAt);
    o.insert(QStringLiteral("procedure"), r.procedure);
    o.insert(QStringLiteral("verdict"),
             r.verdict.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(r.verdict));
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

// "archived on <when> by <user@computer>"
QString archivedBy(const ArchivedReport& r) {
    return QStringLiteral("archived on %1 by %2").arg(r.importedAt, r.importer);
}

int runImport(const CommandLine& c, JointArchive& archive, QTextStream& out, QTextStream& err) {
    std::optional<TerminalProgress> progress;
    const ImportCounts counts =
        archive.importFiles(c.files, [&](qsizetype index, qsizetype count, const QString& path) {
            if (!progress) progress.emplace(err, QStringLiteral("Archiving"), count);
            progress->step(index, path);
        });
    if (progress) progress->clear();
    out << "new " << counts.fresh << ", already archived " << counts.already << ", conflicts "
        << counts.conflicts << ", damaged " << counts.damaged << ", unreadable "
        << counts.unreadable << Qt::endl;
    for (const QString& name : counts.conflictNames) out << "conflict: " << name << Qt::endl;
    for (const QString& name : counts.unreadableNames) err << "unreadable: " << name << Qt::endl;
    if (!counts.failure.isEmpty()) {
        err << counts.failure << Qt::endl << "Run the import again to complete it." << Qt::endl;
        return kExitArchive;
    }
    return counts.unreadable > 0 ? int{kExitFile} : int{kExitOk};
}

int runList(const CommandLine& c, JointArchive& archive, QTextStream& out, QTextStream& err) {
    ArchiveFilter filter;
    filter.job = c.archive.job;
    filter.employee = c.archive.employee;
    filter.machine = c.archive.machine;
    filter.verdict = c.archive.verdict;
    if (c.archive.from.isValid()) filter.from = c.archive.from;
    if (c.archive.to.isValid()) filter.to = c.archive.to;
    filter.procedure = c.procedure;
    const QList<ArchivedReport> rows = archive.list(filter);
    if (!archive.error().isEmpty()) {
        err << archive.error() << Qt::endl;
        return kExitArchive;
    }
    if (c.output.isEmpty()) {
        for (const ArchivedReport& r : rows) out << QString::fromUtf8(reportJson(r)) << '\n';
        out.flush();
        return kExitOk;
    }
    // The job summary the evaluation writes, from the archived bytes.
    const ProcedureLoad load =
        loadProcedure(c.procedure.isEmpty() ? defaultProcedureId() : c.procedure);
    if (!load.procedure) {
        err << (load.error.isEmpty()
                    ? QStringLiteral("There is no procedure \"%1\".").arg(c.procedure)
                    : load.error)
            << Qt::endl;
        return kExitFile;
    }
    JobSummary summary;
    for (const ArchivedReport& r : rows) {
        if (r.kind != u"report") continue;
        const std::optional<QByteArray> bytes = archive.reportBytes(r.sha256);
        if (!bytes) {
            err << archive.error() << Qt::endl;
            return kExitArchive;
        }
        JointRecord rec;
        rec.searchRangePercent = 100;
        decodeReport(*bytes, rec);
        summary.addJoint(rec, evaluateJoint(rec, *load.procedure), r.sourceName,
                         r.damaged ? QStringLiteral("damaged: ") + r.damage : QString());
    }
    QString error;
    if (!writeCsvFile(c.output, summary.csv(), error)) {
        err << error << Qt::endl;
        return kExitFile;
    }
    return kExitOk;
}

int runVerify(const CommandLine& c, JointArchive& archive, QTextStream& out, QTextStream& err) {
    bool altered = false, unreadable = false, notArchived = false, appended = false;
    // A folder is verified report by report, as an import would take it.
    QStringList missing;
    const QStringList files = JointArchive::archivableFiles(c.files, &missing);
    for (const QString& path : missing) {
        unreadable = true;
        err << QDir::toNativeSeparators(path) << ": cannot be verified: The file does not exist."
            << Qt::endl;
    }
    for (const QString& path : files) {
        const VerifyResult v = archive.verify(path);
        const QString name = QDir::toNativeSeparators(path);
        switch (v.answer) {
            case VerifyResult::Answer::Identical:
                out << name << ": identical to the copy " << archivedBy(*v.archived) << Qt::endl;
                break;
            case VerifyResult::Answer::NotesAppended:
                appended = true;
                out << name << ": the report " << archivedBy(*v.archived) << " ("
                    << v.archived->sha256 << ") with notes appended since: \"" << v.appended << '"'
                    << Qt::endl;
                break;
            case VerifyResult::Answer::Altered:
                altered = true;
                out << name
                    << ": altered after archiving: it differs from the report of the same "
                       "logger, date, job and joint "
                    << archivedBy(*v.archived) << " (" << v.archived->sha256 << ")" << Qt::endl;
                break;
            case VerifyResult::Answer::NotArchived:
                notArchived = true;
                out << name << ": not in the archive" << Qt::endl;
                break;
            case VerifyResult::Answer::Unreadable:
                unreadable = true;
                err << name << ": cannot be verified: " << v.why << Qt::endl;
                break;
        }
    }
    if (altered) return kExitAltered;
    if (unreadable) return kExitFile;
    if (notArchived) return kExitNotArchived;
    return appended ? int{kExitNotesAppended} : int{kExitOk};
}

int runExport(const CommandLine& c, JointArchive& archive, QTextStream& err) {
    if (archive.exportReport(c.file, c.output)) return kExitOk;
    err << archive.error() << Qt::endl;
    // Nothing by that SHA-256 is the archive's answer; anything else is the output's.
    return archive.error().startsWith(u"No report in the archive") ? int{kExitNotArchived}
                                                                   : int{kExitFile};
}

}  // namespace

int runArchive(const CommandLine& c, const SettingsStore& settings, QTextStream& out,
               QTextStream& err) {
    JointArchive archive;
    if (!archive.open(settings)) {
        err << archive.error() << Qt::endl;
        return kExitArchive;
    }
    switch (c.mode) {
        case CommandLine::Mode::ArchiveImport:
            return runImport(c, archive, out, err);
        case CommandLine::Mode::ArchiveList:
            return runList(c, archive, out, err);
        case CommandLine::Mode::ArchiveVerify:
            return runVerify(c, archive, out, err);
        case CommandLine::Mode::ArchiveExport:
            return runExport(c, archive, err);
        default:
            return kExitUsage;
    }
}

void archiveDownload(const SettingsStore& settings, const QString& reportPath, QTextStream& err) {
    if (settings.read(keys::ArchiveDownloads, 1) == 0) return;
    QFile file(reportPath);
    if (!file.open(QIODevice::ReadOnly)) {
        err << "Warning: the report was not archived: " << file.errorString() << Qt::endl;
        return;
    }
    const QByteArray bytes = file.readAll();
    JointArchive archive;
    QString detail;
    if (!archive.open(settings)) {
        err << "Warning: the report was not archived: " << archive.error() << Qt::endl;
        return;
    }
    if (archive.archiveBytes(bytes, reportPath, &detail) == ImportOutcome::Failed)
        err << "Warning: the report was not archived: " << archive.error() << Qt::endl;
}

}  // namespace vr5
