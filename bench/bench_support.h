#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cstdio>

#include "fixture_description.h"

// What every benchmark program sets up before it measures.
namespace vr5::bench {

// No display, and nothing of the user's settings or documents: everything lives in `home`, a
// folder of this run's own. False (after saying why) when there is no such folder.
inline bool useBenchHome(const char* program, const QTemporaryDir& home) {
    if (!home.isValid()) {
        std::fprintf(stderr, "%s: cannot make a temporary folder\n", program);
        return false;
    }
    const QByteArray path = home.path().toLocal8Bit();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("HOME", path);
    qputenv("XDG_CONFIG_HOME", path + "/.config");
    qputenv("XDG_DATA_HOME", path + "/.local/share");
    qputenv("XDG_CACHE_HOME", path + "/.cache");
    qputenv("XDG_RUNTIME_DIR", path);
    return true;
}

// The report a description file describes; empty (after saying why) when it cannot be read.
inline QByteArray fixtureImage(const char* program, const QString& description) {
    fixtures::FixtureDescription fixture;
    QString error;
    if (!fixtures::readFixtureFile(description, fixture, error)) {
        std::fprintf(stderr, "%s: %s\n", program, qPrintable(error));
        return {};
    }
    return fixtures::buildFixture(fixture);
}

// Writes a file whole; false (after saying why) when it cannot.
inline bool writeBenchFile(const char* program, const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "%s: cannot write %s\n", program, qPrintable(path));
        return false;
    }
    return true;
}

}  // namespace vr5::bench
