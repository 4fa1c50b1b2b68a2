#include <QDateTime>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlRecord>
#include <QSysInfo>

#ifdef Q_OS_UNIX
#include <pwd.h>
#include <unistd.h>
#endif

#include "archive/archive_connection.h"
#include "archive/archive_facts.h"
#include "archive/joint_archive.h"
#include "evaluation/evaluation.h"
#include "evaluation/procedure.h"
#include "report/vr5xp_doc.h"

namespace vr5 {

namespace {

// The procedures built in; each report is evaluated under every one.
const QStringList& builtInProcedures() {
    static const QStringList ids{QStringLiteral("astm-f2620"), QStringLiteral("iso-21307-slp"),
                                 QStringLiteral("dvs-2207-1")};
    return ids;
}

// "user@computer", as the system names them.
QString importer() {
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty()) user = qEnvironmentVariable("LOGNAME");
    if (user.isEmpty()) user = qEnvironmentVariable("USERNAME");
#ifdef Q_OS_UNIX
    if (user.isEmpty()) {
        if (const passwd* entry = getpwuid(geteuid()))
            user = QString::fromLocal8Bit(entry->pw_name);
    }
#endif
    if (user.isEmpty()) user = QStringLiteral("unknown");
    return user + u'@' + QSysInfo::machineHostName();
}

bool readFile(const QString& path, QByteArray& bytes, QString& why) {
    const QFileInfo info(path);
    if (info.size() > CVR5XPDoc::kMaxReportBytes) {
        why = QStringLiteral("The file is %1 bytes long, far too large to be a report.")
                  .arg(info.size());
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        why = file.errorString() + u'.';
        return false;
    }
    bytes = file.read(CVR5XPDoc::kMaxReportBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        why = file.errorString() + u'.';
        return false;
    }
    return true;
}

// A text as the columns hold it: a field the decoder never reached is an empty text, not NULL.
QString text(const QString& s) {
    return s.isNull() ? QStringLiteral("") : s;
}

bool isArchivable(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == u"tjr" || suffix == u"tdc";
}

// The files to import, in a stable order: files as named, folders searched recursively.
QStringList collectFiles(const QStringList& paths, QStringList& missing) {
    QStringList files;
    for (const QString& path : paths) {
        const QFileInfo info(path);
        if (info.isDir()) {
            QStringList found;
            QDirIterator it(path, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot,
                            QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QString file = it.next();
                // Hidden files are unfinished writes (a download or a rewrite still going).
                if (isArchivable(file) && !it.fileName().startsWith(u'.')) found << file;
            }
            found.sort();
            files << found;
        } else if (info.exists()) {
            files << path;
        } else {
            missing << path;
        }
    }
    return files;
}

}  // namespace

ImportOutcome JointArchive::archiveBytes(const QByteArray& bytes, const QString& sourceName,
                                         QString* detail) {
    error_.clear();
    if (!isOpen()) {
        error_ = QStringLiteral("The archive is not open.");
        return ImportOutcome::Failed;
    }
    return store(bytes, sourceName, detail);
}

ImportOutcome JointArchive::store(const QByteArray& bytes, const QString& sourceName,
                                  QString* detail) {
    const ReportFacts facts = decodeFacts(bytes, sourceName);
    if (!facts.unreadable.isEmpty()) {
        if (detail) *detail = facts.unreadable;
        return ImportOutcome::Unreadable;
    }
    if (!procedures_) {
        procedures_ = std::make_unique<Procedures>();
        for (const QString& id : builtInProcedures()) {
            ProcedureLoad load = loadProcedure(id);
            if (load.procedure) procedures_->loaded.append(*load.procedure);
        }
    }
    const ArchivedReport& r = facts.report;
    // Evaluated before the transaction, so that it stays short.
    struct Verdict {
        QString procedure, verdict, result;
    };
    QList<Verdict> verdicts;
    if (facts.record) {
        for (const Procedure& procedure : procedures_->loaded) {
            const Evaluation e = evaluateJoint(*facts.record, procedure);
            verdicts.append({procedure.info.id, verdictKey(e.verdict),
                             QString::fromUtf8(evaluationToJson(e, r.sourceName))});
        }
    }
    const Connection& c = *connection_;
    const auto fail = [&](const QString& why) {
        c.rollback();
        // A server that went away may leave the driver without words for it.
        const QString reason =
            why.trimmed().isEmpty()
                ? QStringLiteral("the connection to the archive's database was lost")
                : why.trimmed();
        error_ = QStringLiteral("%1 was not archived: %2").arg(r.sourceName, reason);
        return ImportOutcome::Failed;
    };
    QString why;
    if (!c.begin(why)) return fail(why);
    QSqlQuery insert(c.db());
    const QString now = QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
    if (!c.run(insert,
               QStringLiteral("INSERT INTO reports (sha256, kind, bytes, size, report_date, job, "
                              "joint, employee, machine, model, material, pipe, logger, samples, "
                              "duration_s, demo, damaged, damage, source_name, importer, "
                              "imported_at, notes) VALUES (?, ?, ?, ?, @, @, ?, @, @, @, @, @, @, "
                              "?, ?, ?, ?, @, @, ?, ?, @) ON CONFLICT (sha256) DO NOTHING")
                   // A text the decoder never reached is an empty one.
                   .replace(u'@', QStringLiteral("COALESCE(?, '')")),
               {r.sha256,
                r.kind,
                bytes,
                r.size,
                r.date,
                r.job,
                r.joint,
                r.employee,
                r.machine,
                r.model,
                r.material,
                r.pipe,
                r.logger,
                r.samples,
                r.durationS,
                r.demo ? 1 : 0,
                r.damaged ? 1 : 0,
                r.damage,
                r.sourceName,
                importer(),
                now,
                r.notes},
               why))
        return fail(why);
    if (insert.numRowsAffected() == 0) {
        // Archived before, perhaps a moment ago by another importer.
        if (!c.commit(why)) return fail(why);
        return ImportOutcome::Already;
    }
    for (const Verdict& v : verdicts) {
        if (!c.run(QStringLiteral("INSERT INTO evaluations (sha256, procedure_id, verdict, result) "
                                  "VALUES (?, ?, ?, ?) ON CONFLICT (sha256, procedure_id) DO "
                                  "NOTHING"),
                   {r.sha256, v.procedure, v.verdict, v.result}, why))
            return fail(why);
    }
    // The same logger, date, job and joint with other bytes: an altered or re-made report,
    // unless all that differs is notes appended.
    QString conflict;
    if (facts.record) {
        QSqlQuery others(c.db());
        others.setForwardOnly(true);
        if (!c.run(
                others,
                QStringLiteral("SELECT sha256, source_name, bytes FROM reports WHERE logger = %1 "
                               "AND report_date = %1 AND job = %1 AND joint = ? AND kind = ? "
                               "AND sha256 <> ?")
                    .arg(QStringLiteral("COALESCE(?, '')")),
                {text(r.logger), text(r.date), text(r.job), r.joint, r.kind, r.sha256}, why))
            return fail(why);
        while (others.next() && conflict.isEmpty()) {
            const QByteArray other = others.value(2).toByteArray();
            const ReportFacts otherFacts = decodeFacts(other, r.sourceName);
            if (!otherFacts.record) continue;
            if (appendedNotes(other, *otherFacts.record, bytes, *facts.record) ||
                appendedNotes(bytes, *facts.record, other, *otherFacts.record))
                continue;
            conflict = QStringLiteral("%1 (%2)").arg(others.value(1).toString(),
                                                     others.value(0).toString());
        }
    }
    if (!c.commit(why)) return fail(why);
    if (r.damaged) {
        if (detail) *detail = r.damage;
        return ImportOutcome::Damaged;
    }
    if (!conflict.isEmpty()) {
        if (detail) *detail = conflict;
        return ImportOutcome::Conflict;
    }
    return ImportOutcome::New;
}

ImportCounts JointArchive::importFiles(const QStringList& paths, const ArchiveProgress& progress,
                                       const std::atomic_bool* cancel) {
    ImportCounts counts;
    error_.clear();
    QStringList missing;
    const QStringList files = collectFiles(paths, missing);
    for (const QString& path : missing) {
        ++counts.unreadable;
        counts.unreadableNames << QStringLiteral("%1: The file does not exist.").arg(path);
    }
    if (!isOpen()) {
        counts.failure = QStringLiteral("The archive is not open.");
        return counts;
    }
    for (qsizetype i = 0; i < files.size(); ++i) {
        if (cancel && cancel->load()) {
            counts.cancelled = true;
            break;
        }
        const QString& path = files[i];
        if (progress) progress(i, files.size(), path);
        QByteArray bytes;
        QString detail;
        if (!readFile(path, bytes, detail)) {
            ++counts.unreadable;
            counts.unreadableNames << QStringLiteral("%1: %2").arg(path, detail);
            continue;
        }
        switch (store(bytes, path, &detail)) {
            case ImportOutcome::New:
                ++counts.fresh;
                break;
            case ImportOutcome::Already:
                ++counts.already;
                break;
            case ImportOutcome::Conflict:
                ++counts.conflicts;
                counts.conflictNames
                    << QStringLiteral("%1: the same logger, date, job and joint as %2")
                           .arg(path, detail);
                break;
            case ImportOutcome::Damaged:
                ++counts.damaged;
                break;
            case ImportOutcome::Unreadable:
                ++counts.unreadable;
                counts.unreadableNames << QStringLiteral("%1: %2").arg(path, detail);
                break;
            case ImportOutcome::Failed:
                counts.failure = error_;
                return counts;
        }
    }
    return counts;
}

VerifyResult JointArchive::verify(const QString& path) {
    VerifyResult result;
    QByteArray bytes;
    if (!readFile(path, bytes, result.why)) {
        result.answer = VerifyResult::Answer::Unreadable;
        return result;
    }
    return verifyBytes(bytes, path);
}

VerifyResult JointArchive::verifyBytes(const QByteArray& bytes, const QString& sourceName) {
    VerifyResult result;
    error_.clear();
    if (!isOpen()) {
        error_ = QStringLiteral("The archive is not open.");
        result.answer = VerifyResult::Answer::Unreadable;
        result.why = error_;
        return result;
    }
    const Connection& c = *connection_;
    const QString select = QStringLiteral("SELECT ") + archivedColumns() +
                           QStringLiteral(", NULL, r.bytes FROM reports r WHERE ");
    QSqlQuery q(c.db());
    q.setForwardOnly(true);
    if (!c.run(q, select + QStringLiteral("r.sha256 = ?"), {sha256Hex(bytes)}, result.why)) {
        result.answer = VerifyResult::Answer::Unreadable;
        return result;
    }
    if (q.next()) {
        result.answer = VerifyResult::Answer::Identical;
        result.archived = archivedRow(q);
        return result;
    }
    const ReportFacts facts = decodeFacts(bytes, sourceName);
    if (!facts.unreadable.isEmpty()) {
        result.answer = VerifyResult::Answer::Unreadable;
        result.why = facts.unreadable;
        return result;
    }
    const ArchivedReport& r = facts.report;
    if (!c.run(q,
               select + QStringLiteral("r.logger = %1 AND r.report_date = %1 AND r.job = %1 "
                                       "AND r.joint = ? AND r.kind = ? ORDER BY r.imported_at DESC")
                            .arg(QStringLiteral("COALESCE(?, '')")),
               {text(r.logger), text(r.date), text(r.job), r.joint, r.kind}, result.why)) {
        result.answer = VerifyResult::Answer::Unreadable;
        return result;
    }
    result.answer = VerifyResult::Answer::NotArchived;
    while (q.next()) {
        const ArchivedReport archived = archivedRow(q);
        const QByteArray other = q.value(q.record().count() - 1).toByteArray();
        const ReportFacts otherFacts = decodeFacts(other, archived.sourceName);
        const std::optional<QString> added =
            facts.record && otherFacts.record
                ? appendedNotes(other, *otherFacts.record, bytes, *facts.record)
                : std::nullopt;
        // The archived report it grew from with the fewest notes added since.
        if (added && (result.answer != VerifyResult::Answer::NotesAppended ||
                      added->size() < result.appended.size())) {
            result.answer = VerifyResult::Answer::NotesAppended;
            result.archived = archived;
            result.appended = *added;
        } else if (result.answer == VerifyResult::Answer::NotArchived) {
            result.answer = VerifyResult::Answer::Altered;
            result.archived = archived;
        }
    }
    return result;
}

}  // namespace vr5
