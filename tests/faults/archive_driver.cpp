// The fault campaign's check of an archive an import was killed in (scripts/faults):
//
//   archive_driver ARCHIVE.sqlite
//
// opens it as the program does, runs SQLite's integrity check, and checks that each report is
// whole: its bytes hash to its key, its size is theirs, and it has a verdict under every
// built-in procedure. Prints "reports N" and ends with 0; otherwise says what is wrong, status 1.
#include <QCoreApplication>
#include <QSqlQuery>
#include <QTextStream>

#include "archive/archive_connection.h"
#include "archive/joint_archive.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (app.arguments().size() != 2) {
        err << "usage: archive_driver ARCHIVE.sqlite" << Qt::endl;
        return 2;
    }
    vr5::JointArchive archive;
    if (!archive.open(vr5::ArchiveLocation::sqliteFile(app.arguments()[1]))) {
        err << archive.error() << Qt::endl;
        return 1;
    }
    const vr5::JointArchive::Connection& c = archive.connection();
    QString error;
    QSqlQuery check(c.db());
    if (!c.run(check, QStringLiteral("PRAGMA integrity_check"), {}, error) || !check.next() ||
        check.value(0).toString() != u"ok") {
        err << "integrity check: " << (error.isEmpty() ? check.value(0).toString() : error)
            << Qt::endl;
        return 1;
    }
    QSqlQuery rows(c.db());
    rows.setForwardOnly(true);
    if (!c.run(rows,
               QStringLiteral("SELECT r.sha256, r.bytes, r.size, (SELECT COUNT(*) FROM evaluations "
                              "e WHERE e.sha256 = r.sha256), r.kind FROM reports r"),
               {}, error)) {
        err << error << Qt::endl;
        return 1;
    }
    int reports = 0;
    while (rows.next()) {
        ++reports;
        const QString sha = rows.value(0).toString();
        const QByteArray bytes = rows.value(1).toByteArray();
        if (vr5::sha256Hex(bytes) != sha || bytes.size() != rows.value(2).toLongLong()) {
            err << "report " << sha << " is not whole" << Qt::endl;
            return 1;
        }
        if (rows.value(4).toString() == u"report" && rows.value(3).toInt() != 3) {
            err << "report " << sha << " has " << rows.value(3).toInt() << " verdicts, not 3"
                << Qt::endl;
            return 1;
        }
    }
    QSqlQuery orphans(c.db());
    if (!c.run(orphans,
               QStringLiteral("SELECT COUNT(*) FROM evaluations e WHERE NOT EXISTS (SELECT 1 "
                              "FROM reports r WHERE r.sha256 = e.sha256)"),
               {}, error) ||
        !orphans.next() || orphans.value(0).toInt() != 0) {
        err << "verdicts without their report" << Qt::endl;
        return 1;
    }
    out << "reports " << reports << Qt::endl;
    return 0;
}
