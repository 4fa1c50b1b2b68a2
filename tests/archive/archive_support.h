#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QMap>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <functional>

#include "archive/archive_location.h"
#include "archive/joint_archive.h"
#include "fixture_description.h"
#include "settings/settings_store.h"

namespace vr5::test {

// True when the tests run against the PostgreSQL database VR5XP_ARCHIVE names.
inline bool onPostgres() {
    return qEnvironmentVariable("VR5XP_ARCHIVE").startsWith(u"postgres", Qt::CaseInsensitive);
}

// A report made from a description in tests/fixtures, changed first by `change`.
inline QByteArray fixtureReport(const QString& name,
                                const std::function<void(ReportContent&)>& change = {}) {
    fixtures::FixtureDescription description;
    QString error;
    const bool read = fixtures::readFixtureFile(
        QStringLiteral(VR5_FIXTURE_DIR "/") + name + QStringLiteral(".txt"), description, error);
    EXPECT_TRUE(read) << error.toStdString();
    if (change) change(description.content);
    return fixtures::buildFixture(description);
}

// A report as tjrgen wrote it into the build's fixture folder.
inline QByteArray builtReport(const QString& name) {
    QFile file(QStringLiteral(VR5_FIXTURE_REPORTS "/") + name + QStringLiteral(".tjr"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
    return file.readAll();
}

inline bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Settings held in memory.
class MemorySettings final : public SettingsStore {
public:
    int readInt(const QString& s, const QString& k, int fallback) const override {
        return ints.value(s + u'/' + k, fallback);
    }
    bool writeInt(const QString& s, const QString& k, int value) override {
        ints[s + u'/' + k] = value;
        return true;
    }
    QString readString(const QString& s, const QString& k, const QString& f) const override {
        return strings.value(s + u'/' + k, f);
    }
    bool writeString(const QString& s, const QString& k, const QString& value) override {
        strings[s + u'/' + k] = value;
        return true;
    }
    QMap<QString, int> ints;
    QMap<QString, QString> strings;
};

// Each test starts from an empty archive: a new SQLite file in a folder of its own, or the
// PostgreSQL database emptied of the archive's tables.
class ArchiveTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        if (onPostgres()) {
            location = ArchiveLocation::parse(qEnvironmentVariable("VR5XP_ARCHIVE"));
            ASSERT_EQ(location.kind, ArchiveLocation::Kind::Postgres)
                << location.error.toStdString();
            emptyPostgres();
        } else {
            // A new file each time a test starts afresh.
            location = ArchiveLocation::sqliteFile(
                dir.filePath(QStringLiteral("archive-%1.sqlite").arg(++fresh_)));
        }
    }

    // What a child process needs to find this archive.
    QString locationText() const {
        return onPostgres() ? qEnvironmentVariable("VR5XP_ARCHIVE") : location.path;
    }

    void emptyPostgres() {
        const QString name = QStringLiteral("vr5-test-admin");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
            db.setHostName(location.host);
            db.setPort(location.port);
            db.setUserName(location.user);
            db.setDatabaseName(location.database);
            ASSERT_TRUE(db.open()) << "the test database does not answer";
            QSqlQuery(db).exec(QStringLiteral("SET client_min_messages TO WARNING"));
            QSqlQuery(db).exec(QStringLiteral(
                "DROP TABLE IF EXISTS evaluations, reports, archive_version, other_program "
                "CASCADE"));
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    }

    QString path(const QString& name) const { return dir.filePath(name); }

    QTemporaryDir dir;
    ArchiveLocation location;

private:
    int fresh_ = 0;
};

}  // namespace vr5::test
