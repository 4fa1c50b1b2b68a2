#include "emu_client.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

namespace vr5emu::test {

namespace {

// Bounds on waiting, so that a broken emulator fails a test rather than hanging it; the
// emulator answers in milliseconds.
constexpr int kStartMs = 10000;
constexpr int kReplyMs = 5000;

}  // namespace

EmuProcess::EmuProcess(const QStringList& arguments) {
    process_.start(QStringLiteral(VR5EMU_PATH), arguments);
    if (!process_.waitForStarted(kStartMs)) return;
    while (!output_.contains('\n') && process_.waitForReadyRead(kStartMs)) {
        output_ += process_.readAllStandardOutput();
    }
    const QByteArray first = output_.left(output_.indexOf('\n'));
    if (first.startsWith("PORT ")) slavePath_ = first.mid(5).toStdString();
}

EmuProcess::~EmuProcess() {
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished(kStartMs);
    }
}

bool EmuProcess::stop() {
    process_.terminate();
    return waitForEnd() == 0;
}

int EmuProcess::waitForEnd() {
    // Waiting on a process that has already ended says it did not finish.
    if (process_.state() != QProcess::NotRunning && !process_.waitForFinished(kStartMs)) return -1;
    return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1;
}

QByteArray EmuProcess::output() {
    output_ += process_.readAllStandardOutput();
    return output_;
}

QString EmuProcess::errorText() {
    return QString::fromUtf8(process_.readAllStandardError());
}

PtyClient::PtyClient(const std::string& path) {
    fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) return;
    termios tio{};
    tcgetattr(fd_, &tio);
    cfmakeraw(&tio);
    tcsetattr(fd_, TCSANOW, &tio);
}

PtyClient::~PtyClient() {
    if (fd_ >= 0) ::close(fd_);
}

void PtyClient::send(std::string_view command) {
    std::string bytes(command);
    bytes += "\r\n";
    size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::write(fd_, bytes.data() + sent, bytes.size() - sent);
        if (n > 0) {
            sent += static_cast<size_t>(n);
        } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
            return;
        } else {
            pollfd p{fd_, POLLOUT, 0};
            ::poll(&p, 1, kReplyMs);
        }
    }
}

std::optional<std::string> PtyClient::readLine() {
    for (;;) {
        if (const size_t end = buffer_.find('\n'); end != std::string::npos) {
            std::string line = buffer_.substr(0, end);
            buffer_.erase(0, end + 1);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            return line;
        }
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, kReplyMs) <= 0) return std::nullopt;
        char chunk[4096];
        const ssize_t n = ::read(fd_, chunk, sizeof chunk);
        if (n > 0) {
            buffer_.append(chunk, static_cast<size_t>(n));
        } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
            hungUp_ = true;
            return std::nullopt;
        }
    }
}

}  // namespace vr5emu::test
