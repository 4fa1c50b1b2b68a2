#pragma once

#include <QString>

#include "settings/settings_store.h"

namespace vr5 {

// Where the archive lives: an SQLite file, or a PostgreSQL database named by a URL
// "postgresql://user@host:port/database". The password never comes from here: libpq takes it
// from PGPASSWORD or its password file (~/.pgpass).
struct ArchiveLocation {
    enum class Kind { Sqlite, Postgres, Invalid };
    Kind kind = Kind::Invalid;
    QString path;  // Sqlite: the file
    QString user, host, database;
    int port = 5432;
    QString error;  // Invalid: why

    // VR5XP_ARCHIVE when set, else the settings' "Archive Location", else the SQLite file in
    // the user's application-data folder.
    static ArchiveLocation chosen(const SettingsStore& settings);
    // A URL starting "postgresql://" (or "postgres://"), else a file path.
    static ArchiveLocation parse(const QString& text);
    static ArchiveLocation sqliteFile(const QString& path);
    // <application-data folder>/archive.sqlite
    static QString defaultFile();

    QString describe() const;
};

}  // namespace vr5
