#pragma once

#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <functional>

#include "archive/joint_archive.h"
#include "fixture_description.h"

namespace vr5::test {

// A report from a description in tests/fixtures, changed first by `change`.
inline QByteArray describedReport(const QString& fixture,
                                  const std::function<void(ReportContent&)>& change = {}) {
    fixtures::FixtureDescription description;
    QString error;
    EXPECT_TRUE(fixtures::readFixtureFile(
        QStringLiteral(VR5_FIXTURE_DIR "/") + fixture + QStringLiteral(".txt"), description, error))
        << error.toStdString();
    if (change) change(description.content);
    return fixtures::buildFixture(description);
}

// A report of a job's joint, made by an employee at a moment.
inline QByteArray jointReport(const QString& fixture, const QString& job, int joint,
                              const QString& employee, const QDateTime& when) {
    return describedReport(fixture, [&](ReportContent& c) {
        c.fields.jobNumber = job;
        c.fields.jointNumber = joint;
        c.fields.employeeId = employee;
        c.fields.year = when.date().year();
        c.fields.month = when.date().month();
        c.fields.day = when.date().day();
        c.fields.hour = when.time().hour();
        c.fields.minute = when.time().minute();
        c.fields.second = when.time().second();
    });
}

inline bool putFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// VR5XP_ARCHIVE names an SQLite file in a folder of the test's own while it lives, so that
// nothing reaches the user's archive (nor a database another run names).
class ArchiveInFolder {
public:
    ArchiveInFolder() : had_(qEnvironmentVariableIsSet("VR5XP_ARCHIVE")) {
        before_ = qgetenv("VR5XP_ARCHIVE");
        name(path());
    }
    ~ArchiveInFolder() {
        if (had_)
            qputenv("VR5XP_ARCHIVE", before_);
        else
            qunsetenv("VR5XP_ARCHIVE");
    }
    QString path() const { return dir.filePath(QStringLiteral("archive.sqlite")); }
    // Points VR5XP_ARCHIVE elsewhere (a broken archive, an address).
    static void name(const QString& location) { qputenv("VR5XP_ARCHIVE", location.toUtf8()); }

    // The archive, opened afresh.
    std::unique_ptr<JointArchive> open() const {
        auto archive = std::make_unique<JointArchive>();
        EXPECT_TRUE(archive->open(ArchiveLocation::sqliteFile(path())))
            << archive->error().toStdString();
        return archive;
    }

    QTemporaryDir dir;

private:
    bool had_;
    QByteArray before_;
};

}  // namespace vr5::test
