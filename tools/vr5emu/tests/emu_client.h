#pragma once

#include <QProcess>
#include <QStringList>
#include <optional>
#include <string>
#include <string_view>

namespace vr5emu::test {

// The emulator as a child process: started with its arguments, ready once it has printed the
// slave device it serves.
class EmuProcess {
public:
    explicit EmuProcess(const QStringList& arguments);
    ~EmuProcess();

    bool ready() const { return !slavePath_.empty(); }
    const std::string& slavePath() const { return slavePath_; }
    QProcess& process() { return process_; }
    // Sends SIGTERM; true when the emulator then ended with status 0.
    bool stop();
    // Waits (bounded) for the emulator to end by itself; its exit status, or -1.
    int waitForEnd();
    QString errorText();
    // Everything the emulator printed on stdout so far.
    QByteArray output();

private:
    QProcess process_;
    QByteArray output_;
    std::string slavePath_;
};

// The program's end of the line, with plain POSIX calls: the slave device in raw mode.
class PtyClient {
public:
    explicit PtyClient(const std::string& path);
    ~PtyClient();
    PtyClient(const PtyClient&) = delete;
    PtyClient& operator=(const PtyClient&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    void send(std::string_view command);  // the line end is added
    // The next line without its line end; nothing when none came or the line hung up.
    std::optional<std::string> readLine();
    std::optional<std::string> ask(std::string_view command) {
        send(command);
        return readLine();
    }
    // The line hung up (end of file or an I/O error) while reading.
    bool hungUp() const { return hungUp_; }

private:
    int fd_ = -1;
    std::string buffer_;
    bool hungUp_ = false;
};

}  // namespace vr5emu::test
