#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include "scripted_prompter.h"

namespace vr5::test {

// Writes the report of tests/fixtures/<name>.txt into dir and returns its path.
QString writeFixture(const QTemporaryDir& dir, const QString& name, const QString& fileName = {});
// Writes bytes as a file into dir and returns its path.
QString writeFile(const QTemporaryDir& dir, const QString& fileName, const QByteArray& bytes);
// The file's bytes; none when it cannot be read.
QByteArray readFile(const QString& path);

}  // namespace vr5::test
