#include "emulator_process.h"

#include <QFileInfo>

namespace vr5::test {

EmulatorProcess::EmulatorProcess() {
    qputenv("VR5XP_PORT_DIR", folder_.path().toLocal8Bit());
}

EmulatorProcess::~EmulatorProcess() {
    stop();
}

bool EmulatorProcess::start(const QStringList& options) {
    const QString link = folder_.filePath(QStringLiteral("COM%1").arg(kPort));
    process_.start(
        QStringLiteral(VR5EMU_PATH),
        QStringList{QStringLiteral("--link"), link, QStringLiteral("--verbose")} + options);
    if (!process_.waitForStarted(5000)) return false;
    // "PORT <device>" once the link is in place.
    while (!process_.canReadLine()) {
        if (!process_.waitForReadyRead(5000)) return false;
    }
    return process_.readLine().startsWith("PORT ") && QFileInfo(link).isSymLink();
}

void EmulatorProcess::stop() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.terminate();
    if (!process_.waitForFinished(3000)) process_.kill();
    process_.waitForFinished(1000);
}

QString EmulatorProcess::log() {
    return QString::fromLocal8Bit(process_.readAllStandardError());
}

}  // namespace vr5::test
