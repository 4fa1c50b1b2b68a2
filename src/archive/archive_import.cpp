#include <QDateTime>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlRecord>
#include <QSysInfo>
#include <QThread>
#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

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

// An SQLite transaction is committed after this many reports, or this long.
constexpr int kBatchReports = 64;
constexpr qint64 kBatchMs = 250;
// Reports read, decoded and evaluated ahead of the one being stored.
constexpr qsizetype kPreparedAhead = 32;

// A server that went away may leave the driver without words for it.
QString lostReason(const QString& why) {
    return why.trimmed().isEmpty()
               ? QStringLiteral("the connection to the archive's database was lost")
               : why.trimmed();
}

}  // namespace

// Reads, decodes and evaluates the files on worker threads, a few ahead of the one being stored:
// the evaluation takes as long as the storing, and the two go on side by side.
class Preparer {
public:
    Preparer(const QStringList& files, const QList<Procedure>& procedures)
        : files_(files), procedures_(procedures), slots_(static_cast<size_t>(files.size())) {
        const int workers = std::clamp(QThread::idealThreadCount(), 1, 4);
        for (int i = 0; i < workers && i < files.size(); ++i)
            threads_.emplace_back([this] { work(); });
    }
    ~Preparer() {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        room_.notify_all();
        for (std::thread& t : threads_) t.join();
    }
    Preparer(const Preparer&) = delete;
    Preparer& operator=(const Preparer&) = delete;

    // The file at `index`, once ready; files are taken in order.
    PreparedReport take(qsizetype index) {
        std::unique_lock lock(mutex_);
        ready_.wait(lock, [&] { return slots_[static_cast<size_t>(index)].has_value(); });
        PreparedReport p = std::move(*slots_[static_cast<size_t>(index)]);
        slots_[static_cast<size_t>(index)].reset();
        taken_ = index + 1;
        lock.unlock();
        room_.notify_all();
        return p;
    }

private:
    void work() {
        for (;;) {
            qsizetype index = 0;
            {
                std::unique_lock lock(mutex_);
                room_.wait(lock, [&] {
                    return stop_ || next_ >= files_.size() || next_ < taken_ + kPreparedAhead;
                });
                if (stop_ || next_ >= files_.size()) return;
                index = next_++;
            }
            const QString& path = files_[index];
            PreparedReport p;
            QByteArray bytes;
            QString why;
            if (readRecordFile(path, bytes, why)) {
                p = prepareReport(path, bytes, procedures_);
            } else {
                p.path = path;
                p.unreadable = why;
            }
            {
                std::lock_guard lock(mutex_);
                slots_[static_cast<size_t>(index)] = std::move(p);
            }
            ready_.notify_all();
        }
    }

    const QStringList& files_;
    const QList<Procedure>& procedures_;
    std::vector<std::optional<PreparedReport>> slots_;
    std::mutex mutex_;
    std::condition_variable ready_, room_;
    qsizetype next_ = 0;
    qsizetype taken_ = 0;
    bool stop_ = false;
    std::vector<std::thread> threads_;
};

ImportOutcome JointArchive::archiveBytes(const QByteArray& bytes, const QString& sourceName,
                                         QString* detail) {
    error_.clear();
    if (!isOpen()) {
        error_ = QStringLiteral("The archive is not open.");
        return ImportOutcome::Failed;
    }
    const PreparedReport prepared = prepareReport(sourceName, bytes, procedures());
    if (!prepared.unreadable.isEmpty()) {
        if (detail) *detail = prepared.unreadable;
        return ImportOutcome::Unreadable;
    }
    const Connection& c = *connection_;
    QString why;
    ImportOutcome outcome = ImportOutcome::Failed;
    if (c.begin(why)) {
        outcome = write(prepared, detail, why);
        if (outcome != ImportOutcome::Failed && !c.commit(why)) outcome = ImportOutcome::Failed;
    }
    if (outcome == ImportOutcome::Failed) {
        c.rollback();
        error_ = QStringLiteral("%1 was not archived: %2")
                     .arg(prepared.facts.report.sourceName, lostReason(why));
    }
    return outcome;
}

const QList<Procedure>& JointArchive::procedures() {
    if (!procedures_) {
        procedures_ = std::make_unique<Procedures>();
        for (const QString& id : builtInProcedures()) {
            ProcedureLoad load = loadProcedure(id);
            if (load.procedure) procedures_->loaded.append(*load.procedure);
        }
    }
    return procedures_->loaded;
}

PreparedReport prepareReport(const QString& path, const QByteArray& bytes,
                             const QList<Procedure>& procedures) {
    PreparedReport p;
    p.path = path;
    p.bytes = bytes;
    p.facts = decodeFacts(bytes, path);
    p.unreadable = p.facts.unreadable;
    if (!p.unreadable.isEmpty() || !p.facts.record) return p;
    for (const Procedure& procedure : procedures) {
        const Evaluation e = evaluateJoint(*p.facts.record, procedure);
        p.verdicts.append({procedure.info.id, verdictKey(e.verdict),
                           QString::fromUtf8(evaluationToJson(e, p.facts.report.sourceName))});
    }
    return p;
}

ImportOutcome JointArchive::write(const PreparedReport& prepared, QString* detail, QString& why) {
    const Connection& c = *connection_;
    const ArchivedReport& r = prepared.facts.report;
    const QByteArray& bytes = prepared.bytes;
    if (importer_.isEmpty()) importer_ = importer();
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
        return ImportOutcome::Failed;
    // Archived before, perhaps a moment ago by another importer.
    if (insert.numRowsAffected() == 0) return ImportOutcome::Already;
    for (const PreparedReport::Verdict& v : prepared.verdicts) {
        if (!c.run(QStringLiteral("INSERT INTO evaluations (sha256, procedure_id, verdict, result) "
                                  "VALUES (?, ?, ?, ?) ON CONFLICT (sha256, procedure_id) DO "
                                  "NOTHING"),
                   {r.sha256, v.procedure, v.verdict, v.result}, why))
            return ImportOutcome::Failed;
    }
    // The same logger, date, job and joint with other bytes: an altered or re-made report,
    // unless all that differs is notes appended.
    const ReportFacts& facts = prepared.facts;
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
            return ImportOutcome::Failed;
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
    const QStringList files = archivableFiles(paths, &missing);
    for (const QString& path : missing) {
        ++counts.unreadable;
        counts.unreadableNames << QStringLiteral("%1: The file does not exist.").arg(path);
    }
    if (!isOpen()) {
        counts.failure = QStringLiteral("The archive is not open.");
        return counts;
    }
    const Connection& c = *connection_;
    Preparer preparer(files, procedures());
    // On SQLite several reports share a transaction (each whole or not at all all the same);
    // on PostgreSQL each has its own, so that two importers never wait on each other in turn.
    ImportCounts pending;
    int inTransaction = 0;
    QElapsedTimer since;
    QString why;
    const auto failed = [&](const QString& name) {
        c.rollback();
        counts.failure = QStringLiteral("%1 was not archived: %2. It was rolled back")
                             .arg(name, lostReason(why));
        if (inTransaction > 1) {
            counts.failure += QStringLiteral(
                                  ", with the %1 reports stored before it in the same "
                                  "transaction")
                                  .arg(inTransaction - 1);
        }
        counts.failure += inTransaction > 1
                              ? QStringLiteral("; every report before them is archived.")
                              : QStringLiteral("; every report before it is archived.");
        return counts;
    };
    const auto commit = [&]() {
        if (inTransaction == 0) return true;
        if (!c.commit(why)) return false;
        counts.fresh += pending.fresh;
        counts.already += pending.already;
        counts.conflicts += pending.conflicts;
        counts.damaged += pending.damaged;
        counts.conflictNames << pending.conflictNames;
        pending = ImportCounts();
        inTransaction = 0;
        return true;
    };
    for (qsizetype i = 0; i < files.size(); ++i) {
        if (cancel && cancel->load()) {
            counts.cancelled = true;
            break;
        }
        const QString& path = files[i];
        if (progress) progress(i, files.size(), path);
        const PreparedReport prepared = preparer.take(i);
        if (!prepared.unreadable.isEmpty()) {
            ++counts.unreadable;
            counts.unreadableNames << QStringLiteral("%1: %2").arg(path, prepared.unreadable);
            continue;
        }
        if (inTransaction == 0) {
            if (!c.begin(why)) return failed(QFileInfo(path).fileName());
            since.start();
        }
        ++inTransaction;
        QString detail;
        switch (write(prepared, &detail, why)) {
            case ImportOutcome::New:
                ++pending.fresh;
                break;
            case ImportOutcome::Already:
                ++pending.already;
                break;
            case ImportOutcome::Conflict:
                ++pending.conflicts;
                pending.conflictNames
                    << QStringLiteral("%1: the same logger, date, job and joint as %2")
                           .arg(path, detail);
                break;
            case ImportOutcome::Damaged:
                ++pending.damaged;
                break;
            case ImportOutcome::Unreadable:
            case ImportOutcome::Failed:
                return failed(QFileInfo(path).fileName());
        }
        if ((c.postgres || inTransaction >= kBatchReports || since.elapsed() >= kBatchMs) &&
            !commit())
            return failed(QFileInfo(path).fileName());
    }
    if (!commit()) return failed(QFileInfo(files.value(files.size() - 1)).fileName());
    return counts;
}

QStringList JointArchive::archivableFiles(const QStringList& paths, QStringList* missing) {
    QStringList none;
    return collectFiles(paths, missing ? *missing : none);
}

VerifyResult JointArchive::verify(const QString& path) {
    VerifyResult result;
    QByteArray bytes;
    if (!readRecordFile(path, bytes, result.why)) {
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
