#pragma once

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

namespace vr5::test {

// The logger emulator, started on a pseudo-terminal that the ports folder names COM<n>.
class EmulatorProcess {
public:
    static constexpr unsigned kPort = 8;

    // Points the program's ports folder at a folder of its own.
    EmulatorProcess();
    ~EmulatorProcess();

    // Starts vr5emu with these options and waits until its port is there.
    bool start(const QStringList& options);
    void stop();
    // What the emulator said on its error stream (with --verbose, every command and reply).
    QString log();

    QString portFolder() const { return folder_.path(); }

private:
    QTemporaryDir folder_;
    QProcess process_;
};

}  // namespace vr5::test
