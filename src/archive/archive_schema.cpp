#include <QSqlError>

#include "archive/archive_connection.h"
#include "archive/archive_facts.h"

namespace vr5 {

bool JointArchive::Connection::run(QSqlQuery& query, const QString& sql, const QVariantList& values,
                                   QString& error) const {
    // Without values the statement runs as it is: PostgreSQL cannot prepare BEGIN or COMMIT.
    if (values.isEmpty()) {
        if (query.exec(sql)) return true;
        error = query.lastError().text();
        return false;
    }
    if (!query.prepare(sql)) {
        error = query.lastError().text();
        return false;
    }
    for (const QVariant& value : values) query.addBindValue(value);
    if (!query.exec()) {
        error = query.lastError().text();
        return false;
    }
    return true;
}

bool JointArchive::Connection::run(const QString& sql, const QVariantList& values,
                                   QString& error) const {
    QSqlQuery query(db());
    return run(query, sql, values, error);
}

bool JointArchive::Connection::begin(QString& error) const {
    return run(postgres ? QStringLiteral("BEGIN") : QStringLiteral("BEGIN IMMEDIATE"), {}, error);
}

bool JointArchive::Connection::commit(QString& error) const {
    return run(QStringLiteral("COMMIT"), {}, error);
}

void JointArchive::Connection::rollback() const {
    QString ignored;
    run(QStringLiteral("ROLLBACK"), {}, ignored);
}

namespace schema {

namespace {

bool statements(const JointArchive::Connection& c, const QStringList& sql, QString& error) {
    for (const QString& s : sql) {
        if (!c.run(s, {}, error)) return false;
    }
    return true;
}

// Version 1: the reports with their facts, and their evaluations.
bool createTables(const JointArchive::Connection& c, QString& error) {
    return statements(
        c,
        {QStringLiteral("CREATE TABLE archive_version (version INTEGER NOT NULL)"),
         QStringLiteral("INSERT INTO archive_version (version) VALUES (0)"),
         QStringLiteral("CREATE TABLE reports ("
                        "sha256 TEXT PRIMARY KEY, kind TEXT NOT NULL, bytes %1 NOT NULL, "
                        "size INTEGER NOT NULL, report_date TEXT NOT NULL, job TEXT NOT NULL, "
                        "joint INTEGER NOT NULL, employee TEXT NOT NULL, machine TEXT NOT NULL, "
                        "model TEXT NOT NULL, material TEXT NOT NULL, pipe TEXT NOT NULL, "
                        "logger TEXT NOT NULL, samples INTEGER NOT NULL, duration_s %2 NOT NULL, "
                        "demo INTEGER NOT NULL, damaged INTEGER NOT NULL, damage TEXT NOT NULL, "
                        "source_name TEXT NOT NULL, importer TEXT NOT NULL, "
                        "imported_at TEXT NOT NULL)")
             .arg(c.blobType(), c.realType()),
         QStringLiteral("CREATE TABLE evaluations ("
                        "sha256 TEXT NOT NULL REFERENCES reports (sha256), "
                        "procedure_id TEXT NOT NULL, verdict TEXT NOT NULL, result TEXT NOT NULL, "
                        "PRIMARY KEY (sha256, procedure_id))")},
        error);
}

// Version 2: the notes as a column of their own (filled from the archived bytes), and the
// indexes that make a filtered list quick.
bool addNotesAndIndexes(const JointArchive::Connection& c, QString& error) {
    if (!statements(
            c,
            {QStringLiteral("ALTER TABLE reports ADD COLUMN notes TEXT NOT NULL DEFAULT ''"),
             QStringLiteral("CREATE INDEX reports_job ON reports (job)"),
             QStringLiteral("CREATE INDEX reports_date ON reports (report_date)"),
             QStringLiteral("CREATE INDEX reports_employee ON reports (employee)"),
             QStringLiteral("CREATE INDEX reports_machine ON reports (machine)"),
             QStringLiteral("CREATE INDEX reports_joint ON reports (logger, report_date, job, "
                            "joint)"),
             QStringLiteral("CREATE INDEX evaluations_verdict ON evaluations (procedure_id, "
                            "verdict)")},
            error))
        return false;
    QList<std::pair<QString, QString>> notes;
    {
        QSqlQuery query(c.db());
        query.setForwardOnly(true);
        if (!c.run(query, QStringLiteral("SELECT sha256, bytes FROM reports WHERE kind = ?"),
                   {QStringLiteral("report")}, error))
            return false;
        while (query.next()) {
            const ReportFacts facts = decodeFacts(query.value(1).toByteArray(), QString());
            notes.append({query.value(0).toString(), facts.report.notes});
        }
    }
    for (const auto& [sha, text] : notes) {
        if (!c.run(QStringLiteral("UPDATE reports SET notes = COALESCE(?, '') WHERE sha256 = ?"),
                   {text, sha}, error))
            return false;
    }
    return true;
}

using Step = bool (*)(const JointArchive::Connection&, QString&);
// steps[n] brings version n to n + 1.
constexpr Step kSteps[] = {createTables, addNotesAndIndexes};

}  // namespace

int currentVersion() {
    return static_cast<int>(std::size(kSteps));
}

std::optional<int> readVersion(const JointArchive::Connection& c, QString& error) {
    const QStringList tables = c.db().tables();
    if (c.db().lastError().isValid()) {
        error = c.db().lastError().text();
        return std::nullopt;
    }
    // SQLite reads its table list without touching the tables; reading the version proves
    // the file more.
    if (!tables.contains(QStringLiteral("archive_version"))) {
        if (!tables.isEmpty()) {
            // Some other program's database: never made into an archive.
            error = QStringLiteral("it holds tables of another program (%1)")
                        .arg(tables.mid(0, 5).join(QStringLiteral(", ")));
            return std::nullopt;
        }
        return 0;
    }
    QSqlQuery query(c.db());
    if (!c.run(query, QStringLiteral("SELECT version FROM archive_version"), {}, error))
        return std::nullopt;
    if (!query.next()) {
        error = QStringLiteral("its version table is empty");
        return std::nullopt;
    }
    bool ok = false;
    const int version = query.value(0).toInt(&ok);
    if (!ok || version < 0) {
        error = QStringLiteral("its version table does not hold a version");
        return std::nullopt;
    }
    return version;
}

bool migrate(const JointArchive::Connection& c, int from, int to, QString& error) {
    for (int version = from; version < to && version < currentVersion(); ++version) {
        if (!kSteps[version](c, error)) {
            error = QStringLiteral("bringing the archive from version %1 to %2 failed: %3")
                        .arg(version)
                        .arg(version + 1)
                        .arg(error);
            return false;
        }
        if (!c.run(QStringLiteral("UPDATE archive_version SET version = ?"), {version + 1}, error))
            return false;
    }
    return true;
}

}  // namespace schema

}  // namespace vr5
