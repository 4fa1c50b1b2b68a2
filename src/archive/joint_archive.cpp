#include "archive/joint_archive.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QTemporaryFile>
#include <QThread>
#include <atomic>

#include "archive/archive_connection.h"
#include "archive/archive_facts.h"
#include "report/record_files.h"

namespace vr5 {

namespace {

// Every SQLite file starts with these 16 bytes.
constexpr char kSqliteMagic[] = "SQLite format 3";

// A writer waits this long for another importer's transaction before giving up.
constexpr int kBusyTimeoutMs = 60000;

QString nextConnectionName() {
    static std::atomic_int counter{0};
    return QStringLiteral("vr5-archive-%1").arg(counter.fetch_add(1));
}

// Why an SQLite file is no archive, before SQLite itself touches it; empty when it may be one.
QString notSqlite(const QString& path) {
    QFile file(path);
    if (!file.exists() || file.size() == 0) return {};
    if (!file.open(QIODevice::ReadOnly)) return file.errorString();
    const QByteArray head = file.read(16);
    if (head.size() < 16 || head != QByteArray(kSqliteMagic, 16)) {
        return QStringLiteral("it is not an SQLite database");
    }
    return {};
}

const QString kColumns = QStringLiteral(
    "r.sha256, r.kind, r.report_date, r.job, r.joint, r.employee, r.machine, r.model, "
    "r.material, r.pipe, r.logger, r.samples, r.duration_s, r.demo, r.damaged, r.damage, "
    "r.notes, r.source_name, r.size, r.importer, r.imported_at");

}  // namespace

// The row a query over kColumns (then the verdict) stands on.
ArchivedReport archivedRow(const QSqlQuery& q) {
    ArchivedReport r;
    int i = 0;
    r.sha256 = q.value(i++).toString();
    r.kind = q.value(i++).toString();
    r.date = q.value(i++).toString();
    r.job = q.value(i++).toString();
    r.joint = q.value(i++).toInt();
    r.employee = q.value(i++).toString();
    r.machine = q.value(i++).toString();
    r.model = q.value(i++).toString();
    r.material = q.value(i++).toString();
    r.pipe = q.value(i++).toString();
    r.logger = q.value(i++).toString();
    r.samples = q.value(i++).toInt();
    r.durationS = q.value(i++).toDouble();
    r.demo = q.value(i++).toInt() != 0;
    r.damaged = q.value(i++).toInt() != 0;
    r.damage = q.value(i++).toString();
    r.notes = q.value(i++).toString();
    r.sourceName = q.value(i++).toString();
    r.size = q.value(i++).toLongLong();
    r.importer = q.value(i++).toString();
    r.importedAt = q.value(i++).toString();
    r.verdict = q.value(i++).toString();
    return r;
}

QString archivedColumns() {
    return kColumns;
}

int JointArchive::currentVersion() {
    return schema::currentVersion();
}

JointArchive::JointArchive() = default;

JointArchive::~JointArchive() {
    if (!connection_) return;
    const QString name = connection_->name;
    {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        if (db.isOpen()) db.close();
    }
    connection_.reset();
    QSqlDatabase::removeDatabase(name);
}

bool JointArchive::isOpen() const {
    return connection_ && connection_->db().isOpen();
}

JointArchive::Connection& JointArchive::connection() {
    return *connection_;
}

QString JointArchive::describe() const {
    return location_.describe();
}

bool JointArchive::open(const ArchiveLocation& location) {
    location_ = location;
    error_.clear();
    if (connection_) {
        error_ = QStringLiteral("The archive is already open.");
        return false;
    }
    if (location.kind == ArchiveLocation::Kind::Invalid) {
        error_ = location.error;
        return false;
    }
    const bool postgres = location.kind == ArchiveLocation::Kind::Postgres;
    const QString driver = postgres ? QStringLiteral("QPSQL") : QStringLiteral("QSQLITE");
    if (!QSqlDatabase::isDriverAvailable(driver)) {
        error_ = QStringLiteral("The archive needs the Qt SQL driver %1, which is not installed.")
                     .arg(driver);
        return false;
    }
    const QString where = location.describe();
    if (!postgres) {
        const QString why = notSqlite(location.path);
        if (!why.isEmpty()) {
            error_ = QStringLiteral("The archive %1 cannot be opened: %2. It was left as it is.")
                         .arg(where, why);
            return false;
        }
        if (!QDir().mkpath(QFileInfo(location.path).absolutePath())) {
            error_ = QStringLiteral("The folder of the archive %1 cannot be made.").arg(where);
            return false;
        }
    }
    connection_ = std::make_unique<Connection>();
    connection_->name = nextConnectionName();
    connection_->postgres = postgres;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(driver, connection_->name);
        if (postgres) {
            db.setHostName(location.host);
            db.setPort(location.port);
            db.setUserName(location.user);
            db.setDatabaseName(location.database);
            db.setConnectOptions(QStringLiteral("connect_timeout=10"));
        } else {
            db.setDatabaseName(location.path);
            db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs));
        }
        if (!db.open()) {
            error_ = QStringLiteral("The archive %1 cannot be opened: %2")
                         .arg(where, db.lastError().text());
            return false;
        }
    }
    const auto refuse = [&](const QString& why) {
        error_ = QStringLiteral("The archive %1 cannot be opened: %2. It was left as it is.")
                     .arg(where, why);
        connection_->db().close();
        return false;
    };
    // Another program making or converting the same SQLite file holds it for a moment: wait.
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        QString why;
        const Settled settled = settle(why);
        if (settled == Settled::Ready) return true;
        if (settled == Settled::Busy && waited.elapsed() < kBusyTimeoutMs) {
            QThread::msleep(20);
            continue;
        }
        return refuse(why);
    }
}

JointArchive::Settled JointArchive::settle(QString& why) {
    const Connection& c = *connection_;
    const bool postgres = c.postgres;
    const auto failed = [&] {
        const QString text = why.toLower();
        return !postgres && (text.contains(u"locked") || text.contains(u"busy")) ? Settled::Busy
                                                                                 : Settled::Refused;
    };
    // Read before anything is written: an archive of a newer program, or a damaged file, is
    // never changed.
    std::optional<int> version = schema::readVersion(c, why);
    if (!version) return failed();
    if (*version > currentVersion()) {
        why = QStringLiteral(
                  "it was made by a newer version of the program (archive version %1; "
                  "this program knows up to %2)")
                  .arg(*version)
                  .arg(currentVersion());
        return Settled::Refused;
    }
    if (!postgres) {
        // Readers never wait for a writer; a killed writer leaves a whole archive behind.
        QString journal;
        {
            QSqlQuery mode(c.db());
            if (!c.run(mode, QStringLiteral("PRAGMA journal_mode"), {}, why)) return failed();
            if (mode.next()) journal = mode.value(0).toString();
        }
        if (journal.compare(u"wal", Qt::CaseInsensitive) != 0) {
            QSqlQuery mode(c.db());
            if (!c.run(mode, QStringLiteral("PRAGMA journal_mode=WAL"), {}, why)) return failed();
            // A file another connection holds stays in its mode and says so.
            if (!mode.next() || mode.value(0).toString().compare(u"wal", Qt::CaseInsensitive)) {
                why = QStringLiteral("database is locked");
                return Settled::Busy;
            }
        }
        if (!c.run(QStringLiteral("PRAGMA synchronous=NORMAL"), {}, why)) return failed();
    }
    if (*version < currentVersion()) {
        if (!c.begin(why)) return failed();
        // Two programs opening a new archive at once: the second waits, then finds it made.
        if (postgres && !c.run(QStringLiteral("SELECT pg_advisory_xact_lock(5351)"), {}, why)) {
            c.rollback();
            return Settled::Refused;
        }
        version = schema::readVersion(c, why);
        if (!version || *version > currentVersion() ||
            !schema::migrate(c, *version, currentVersion(), why) || !c.commit(why)) {
            c.rollback();
            if (why.isEmpty()) why = QStringLiteral("it changed while it was opened");
            return failed();
        }
    }
    return Settled::Ready;
}

std::optional<QByteArray> JointArchive::reportBytes(const QString& sha) {
    error_.clear();
    const QString key = sha.trimmed().toLower();
    const bool hex = !key.isEmpty() && std::all_of(key.begin(), key.end(), [](QChar ch) {
        return (ch >= u'0' && ch <= u'9') || (ch >= u'a' && ch <= u'f');
    });
    if (!hex || key.size() < 8 || key.size() > 64) {
        error_ = QStringLiteral(
                     "\"%1\" is no SHA-256: give its 64 hex digits (or the first 8 "
                     "or more).")
                     .arg(sha);
        return std::nullopt;
    }
    if (!isOpen()) {
        error_ = QStringLiteral("The archive is not open.");
        return std::nullopt;
    }
    QSqlQuery q(connection_->db());
    q.setForwardOnly(true);
    // The column holds lower-case hex only, so a range finds every name with this beginning
    // (an index lookup, where LIKE would take the key's text as a pattern).
    const QString upper = key + u'g';
    if (!connection_->run(
            q,
            QStringLiteral("SELECT sha256, bytes FROM reports WHERE sha256 >= ? AND sha256 < ? "
                           "ORDER BY sha256 LIMIT 2"),
            {key, upper}, error_))
        return std::nullopt;
    if (!q.next()) {
        error_ = QStringLiteral("No report in the archive has the SHA-256 %1.").arg(key);
        return std::nullopt;
    }
    QByteArray bytes = q.value(1).toByteArray();
    if (q.next()) {
        error_ =
            QStringLiteral("Several archived reports begin with %1; give more digits.").arg(key);
        return std::nullopt;
    }
    return bytes;
}

bool JointArchive::exportReport(const QString& sha, const QString& outPath) {
    const std::optional<QByteArray> bytes = reportBytes(sha);
    if (!bytes) return false;
    // The file a write would really make: through links to their end.
    const QString target = outputTarget(outPath);
    const QFileInfo info(target);
    if (info.exists() || info.isSymLink()) {
        error_ = target == outPath
                     ? QStringLiteral("%1 already exists; it is never written over.").arg(outPath)
                     : QStringLiteral(
                           "%1 leads to %2, which already exists; it is never written "
                           "over.")
                           .arg(outPath, info.absoluteFilePath());
        return false;
    }
    QTemporaryFile part(info.absolutePath() + QStringLiteral("/.vr5xp-export-XXXXXX.part"));
    if (!part.open() || part.write(*bytes) != bytes->size() || !part.flush()) {
        error_ = QStringLiteral("Cannot write %1: %2").arg(outPath, part.errorString());
        return false;
    }
    // A rename that never replaces: a file made meanwhile under that name stays.
    if (!part.rename(target)) {
        error_ = QFileInfo::exists(target)
                     ? QStringLiteral("%1 already exists; it is never written over.").arg(outPath)
                     : QStringLiteral("Cannot write %1: %2").arg(outPath, part.errorString());
        return false;
    }
    part.setAutoRemove(false);
    return true;
}

QList<ArchivedReport> JointArchive::list(const ArchiveFilter& filter) {
    error_.clear();
    QList<ArchivedReport> rows;
    if (!isOpen()) {
        error_ = QStringLiteral("The archive is not open.");
        return rows;
    }
    const QString procedure =
        filter.procedure.isEmpty() ? QStringLiteral("astm-f2620") : filter.procedure;
    // A verdict selects a quarter of everything: with a narrower filter the reports' own index
    // goes first and each report's verdict is looked up by its key (the concatenations keep the
    // planner from the verdict index).
    const bool narrowed = !filter.job.isEmpty() || !filter.employee.isEmpty() ||
                          !filter.machine.isEmpty() || filter.from || filter.to;
    QString sql = QStringLiteral("SELECT ") + kColumns +
                  QStringLiteral(
                      ", e.verdict FROM reports r LEFT JOIN evaluations e ON "
                      "e.sha256 = r.sha256 AND ") +
                  (narrowed ? QStringLiteral("e.procedure_id || '' = ?")
                            : QStringLiteral("e.procedure_id = ?")) +
                  QStringLiteral(" WHERE 1 = 1");
    QVariantList values{procedure};
    const auto where = [&](const char* clause, const QVariant& value) {
        sql += QLatin1String(clause);
        values << value;
    };
    if (!filter.job.isEmpty()) where(" AND r.job = ?", filter.job);
    if (!filter.employee.isEmpty()) where(" AND r.employee = ?", filter.employee);
    if (!filter.machine.isEmpty()) where(" AND r.machine = ?", filter.machine);
    if (filter.from) where(" AND r.report_date >= ?", filter.from->toString(Qt::ISODate));
    // Dates are "YYYY-MM-DD HH:MM:SS": everything of the last day is before the next one.
    if (filter.to) where(" AND r.report_date < ?", filter.to->addDays(1).toString(Qt::ISODate));
    if (!filter.verdict.isEmpty())
        where(narrowed ? " AND e.verdict || '' = ?" : " AND e.verdict = ?", filter.verdict);
    sql += QStringLiteral(" ORDER BY r.report_date DESC, r.sha256");
    if (filter.limit > 0) where(" LIMIT ?", filter.limit);
    QSqlQuery q(connection_->db());
    q.setForwardOnly(true);
    if (!connection_->run(q, sql, values, error_)) return rows;
    while (q.next()) {
        rows.append(archivedRow(q));
        rows.back().procedure = procedure;
    }
    return rows;
}

}  // namespace vr5
