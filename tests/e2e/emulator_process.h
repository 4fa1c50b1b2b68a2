#pragma once

#include <sys/types.h>

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace vr5::test {

// The logger emulator, started on a pseudo-terminal that the ports folder names COM<n>. It is
// started with posix_spawn rather than fork: a fork in a process whose threads ThreadSanitizer
// watches would leave the sanitizer unable to follow them.
class EmulatorProcess {
public:
    static constexpr unsigned kPort = 8;

    // Points the program's ports folder at a folder of its own.
    EmulatorProcess();
    ~EmulatorProcess();

    // Starts vr5emu with these options and waits until its port is there.
    bool start(const QStringList& options);
    void stop();
    // What the emulator said on its error stream so far (every command and reply).
    QString log();

    QString portFolder() const { return folder_.path(); }

private:
    QTemporaryDir folder_;
    pid_t pid_ = -1;
};

}  // namespace vr5::test
