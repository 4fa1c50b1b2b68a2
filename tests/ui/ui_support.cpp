#include "ui_support.h"

#include <gtest/gtest.h>

#include <QFile>

#include "fixture_description.h"

namespace vr5::test {

QString writeFile(const QTemporaryDir& dir, const QString& fileName, const QByteArray& bytes) {
    const QString path = dir.filePath(fileName);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << qPrintable(path);
    file.write(bytes);
    return path;
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString writeFixture(const QTemporaryDir& dir, const QString& name, const QString& fileName) {
    fixtures::FixtureDescription fixture;
    QString error;
    const QString description = QStringLiteral(VR5_FIXTURE_DIR "/") + name + QStringLiteral(".txt");
    EXPECT_TRUE(fixtures::readFixtureFile(description, fixture, error)) << qPrintable(error);
    return writeFile(dir, fileName.isEmpty() ? name + QStringLiteral(".tjr") : fileName,
                     fixtures::buildFixture(fixture));
}

}  // namespace vr5::test
