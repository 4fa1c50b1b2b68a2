#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
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

// `count` report files in `folder`, copies of the undamaged reports the descriptions in
// `descriptionFolder` describe, in turn; empty (after saying why) when there are none.
inline QStringList writeReportCopies(const char* program, const QString& descriptionFolder,
                                     const QString& folder, int count) {
    QList<QByteArray> images;
    for (const QString& name : QDir(descriptionFolder).entryList({QStringLiteral("*.txt")})) {
        if (name.startsWith(QStringLiteral("damaged"))) continue;
        const QByteArray image = fixtureImage(program, descriptionFolder + u'/' + name);
        if (!image.isEmpty()) images << image;
    }
    if (images.isEmpty()) {
        std::fprintf(stderr, "%s: no reports to copy\n", program);
        return {};
    }
    QStringList paths;
    for (int i = 0; i < count; ++i) {
        const QString path = folder + QStringLiteral("/joint-%1.tjr").arg(i);
        if (!writeBenchFile(program, path, images[i % images.size()])) return {};
        paths << path;
    }
    return paths;
}

}  // namespace vr5::bench
