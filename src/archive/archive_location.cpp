#include "archive/archive_location.h"

#include <QDir>
#include <QStandardPaths>
#include <QUrl>

#include "settings/settings_keys.h"

namespace vr5 {

ArchiveLocation ArchiveLocation::chosen(const SettingsStore& settings) {
    const QString env = qEnvironmentVariable("VR5XP_ARCHIVE").trimmed();
    if (!env.isEmpty()) return parse(env);
    const QString setting = settings.read(keys::ArchiveLocation).trimmed();
    if (!setting.isEmpty()) return parse(setting);
    return sqliteFile(defaultFile());
}

QString ArchiveLocation::defaultFile() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/archive.sqlite");
}

ArchiveLocation ArchiveLocation::sqliteFile(const QString& path) {
    ArchiveLocation location;
    location.kind = Kind::Sqlite;
    location.path = path;
    return location;
}

ArchiveLocation ArchiveLocation::parse(const QString& text) {
    const QString trimmed = text.trimmed();
    const bool postgres = trimmed.startsWith(u"postgresql://", Qt::CaseInsensitive) ||
                          trimmed.startsWith(u"postgres://", Qt::CaseInsensitive);
    if (!postgres) {
        if (trimmed.contains(QStringLiteral("://"))) {
            ArchiveLocation bad;
            bad.error = QStringLiteral(
                            "The archive location \"%1\" is neither a file nor a "
                            "postgresql://user@host:port/database address.")
                            .arg(trimmed);
            return bad;
        }
        return sqliteFile(QDir::fromNativeSeparators(trimmed));
    }
    const QUrl url(trimmed, QUrl::StrictMode);
    ArchiveLocation location;
    // A password in a setting or a command line is seen by everyone; libpq reads it from
    // PGPASSWORD or its password file instead. Never repeated in a message either.
    const QString authority =
        trimmed.mid(trimmed.indexOf(QStringLiteral("://")) + 3).section(u'/', 0, 0);
    const qsizetype at = authority.lastIndexOf(u'@');
    if (!url.password().isEmpty() || (at > 0 && authority.left(at).contains(u':'))) {
        location.error = QStringLiteral(
            "The archive address holds a password; give it in PGPASSWORD or the password file "
            "(~/.pgpass) instead.");
        return location;
    }
    const QString database = url.path().mid(1);
    if (!url.isValid() || url.host().isEmpty() || database.isEmpty() || database.contains(u'/')) {
        location.error = QStringLiteral(
                             "The archive address \"%1\" is not of the form "
                             "postgresql://user@host:port/database.")
                             .arg(trimmed);
        return location;
    }
    location.kind = Kind::Postgres;
    location.user = url.userName();
    location.host = url.host();
    location.port = url.port(5432);
    location.database = database;
    return location;
}

QString ArchiveLocation::describe() const {
    switch (kind) {
        case Kind::Sqlite:
            return QStringLiteral("SQLite %1").arg(QDir::toNativeSeparators(path));
        case Kind::Postgres:
            return QStringLiteral("PostgreSQL %1%2:%3/%4")
                .arg(user.isEmpty() ? QString() : user + u'@', host)
                .arg(port)
                .arg(database);
        case Kind::Invalid:
            break;
    }
    return QStringLiteral("no archive");
}

}  // namespace vr5
