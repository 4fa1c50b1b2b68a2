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

}  // namespace vr5::test
