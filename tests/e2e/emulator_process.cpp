#include "emulator_process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <csignal>
#include <vector>

extern char** environ;

namespace vr5::test {

EmulatorProcess::EmulatorProcess() {
    qputenv("VR5XP_PORT_DIR", folder_.path().toLocal8Bit());
}

EmulatorProcess::~EmulatorProcess() {
    stop();
}

bool EmulatorProcess::start(const QStringList& options) {
    stop();
    const QString link = folder_.filePath(QStringLiteral("COM%1").arg(kPort));
    const QByteArray out = QFile::encodeName(folder_.filePath(QStringLiteral("emulator.out")));
    const QByteArray err = QFile::encodeName(folder_.filePath(QStringLiteral("emulator.log")));
    QList<QByteArray> args{QByteArray(VR5EMU_PATH), "--link", QFile::encodeName(link), "--verbose"};
    for (const QString& option : options) args << option.toLocal8Bit();
    std::vector<char*> argv;
    for (QByteArray& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.constData(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addopen(&actions, 2, err.constData(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    const int failed = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) {
        pid_ = -1;
        return false;
    }
    // "PORT <device>" once the link is in place.
    for (int i = 0; i < 500; ++i) {
        QFile said(QString::fromLocal8Bit(out));
        if (said.open(QIODevice::ReadOnly) && said.readLine().startsWith("PORT ")) {
            return QFileInfo(link).isSymLink();
        }
        if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
            pid_ = -1;
            return false;
        }
        QThread::msleep(10);
    }
    return false;
}

void EmulatorProcess::stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    for (int i = 0; i < 300; ++i) {
        if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
            pid_ = -1;
            return;
        }
        QThread::msleep(10);
    }
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

QString EmulatorProcess::log() {
    QFile file(folder_.filePath(QStringLiteral("emulator.log")));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromLocal8Bit(file.readAll());
}

}  // namespace vr5::test
