#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <QVariantList>

#include "archive/archive_facts.h"
#include "archive/joint_archive.h"
#include "evaluation/procedure.h"

namespace vr5 {

// One open database, SQLite or PostgreSQL, and the few places where the two differ. Every value
// reaches the database as a bound parameter; the SQL texts are the program's own.
struct JointArchive::Connection {
    QString name;  // the Qt SQL connection's name, one per JointArchive
    bool postgres = false;

    QSqlDatabase db() const { return QSqlDatabase::database(name, false); }
    // Prepares `sql`, binds `values` in order and runs it. False with `error` set.
    bool run(QSqlQuery& query, const QString& sql, const QVariantList& values,
             QString& error) const;
    bool run(const QString& sql, const QVariantList& values, QString& error) const;
    // A write transaction. On SQLite it takes the write lock at once, so that two importers
    // queue up instead of failing on a lock upgrade.
    bool begin(QString& error) const;
    bool commit(QString& error) const;
    void rollback() const;

    QString blobType() const { return postgres ? QStringLiteral("BYTEA") : QStringLiteral("BLOB"); }
    QString realType() const {
        return postgres ? QStringLiteral("DOUBLE PRECISION") : QStringLiteral("REAL");
    }
};

// The procedures reports are evaluated under, loaded once per archive.
struct JointArchive::Procedures {
    QList<Procedure> loaded;
};

// A file made ready to be stored: read, decoded and evaluated under every procedure, outside
// any transaction (and on any thread).
struct PreparedReport {
    QString path;
    QByteArray bytes;
    ReportFacts facts;
    QString unreadable;  // why it is not archived
    struct Verdict {
        QString procedure, verdict, result;
    };
    QList<Verdict> verdicts;
};
PreparedReport prepareReport(const QString& path, const QByteArray& bytes,
                             const QList<Procedure>& procedures);

// The columns every query of archived facts selects (reports as "r"), and the row a query over
// them, followed by the verdict, stands on.
QString archivedColumns();
ArchivedReport archivedRow(const QSqlQuery& query);

namespace schema {

// The schema's versions: 1 the tables, 2 the notes column and the indexes. Migrations only go
// forward, each in the transaction of the whole open.
int currentVersion();
// The archive's version; 0 for a database without the archive's tables. Empty with `error` set
// when it cannot be read (a damaged file, a lost server).
std::optional<int> readVersion(const JointArchive::Connection& c, QString& error);
// Brings a database at `from` to `to` (at most currentVersion()) inside the caller's
// transaction.
bool migrate(const JointArchive::Connection& c, int from, int to, QString& error);

}  // namespace schema

}  // namespace vr5
