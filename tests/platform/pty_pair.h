#pragma once

// A pseudo-terminal standing in for the logger's line, and a ports folder of a test's own.

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <QByteArray>
#include <QDeadlineTimer>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cerrno>
#include <thread>

namespace vr5::test {

// The master side is the logger; the port opens the slave.
class PtyPair {
public:
    PtyPair() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return;
        const char* name = ::ptsname(master_);
        if (name) slave_ = QString::fromLocal8Bit(name);
    }
    ~PtyPair() { closeMaster(); }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool valid() const { return master_ >= 0 && !slave_.isEmpty(); }
    const QString& slavePath() const { return slave_; }

    // What the logger sends.
    bool send(const QByteArray& bytes) {
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t n =
                ::write(master_, bytes.constData() + done, size_t(bytes.size() - done));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return false;
            done += n;
        }
        return true;
    }

    // What the program sent: up to `count` bytes, whatever came within `milliseconds`.
    QByteArray receive(qsizetype count, int milliseconds = 5000) {
        QByteArray bytes;
        QDeadlineTimer deadline(milliseconds);
        while (bytes.size() < count) {
            pollfd line{master_, POLLIN, 0};
            const int ready = ::poll(&line, 1, int(deadline.remainingTime()));
            if (ready <= 0 || !(line.revents & POLLIN)) break;
            char buffer[4096];
            const ssize_t n =
                ::read(master_, buffer, size_t(qMin<qsizetype>(4096, count - bytes.size())));
            if (n <= 0) break;
            bytes.append(buffer, n);
        }
        return bytes;
    }

    // The logger goes away.
    void closeMaster() {
        if (master_ >= 0) ::close(master_);
        master_ = -1;
    }

private:
    int master_ = -1;
    QString slave_;
};

// The logger sending from a thread of its own: a long transfer fills the line while the owner
// is still handling the first bytes.
class BackgroundSender {
public:
    // Sends `bytes` in pieces of `piece` bytes.
    BackgroundSender(PtyPair& line, QByteArray bytes, qsizetype piece = 4096)
        : thread_([this, &line, bytes = std::move(bytes), piece] {
              for (qsizetype at = 0; at < bytes.size() && ok_; at += piece)
                  ok_ = line.send(bytes.mid(at, piece));
          }) {}
    ~BackgroundSender() { finish(); }
    BackgroundSender(const BackgroundSender&) = delete;
    BackgroundSender& operator=(const BackgroundSender&) = delete;

    // Waits for the last piece; true when every piece went out.
    bool finish() {
        if (thread_.joinable()) thread_.join();
        return ok_;
    }

private:
    bool ok_ = true;
    std::thread thread_;
};

// Points VR5XP_PORT_DIR at a temporary folder for as long as it lives.
class PortFolder {
public:
    PortFolder()
        : previous_(qgetenv("VR5XP_PORT_DIR")),
          hadPrevious_(qEnvironmentVariableIsSet("VR5XP_PORT_DIR")) {
        qputenv("VR5XP_PORT_DIR", dir_.path().toLocal8Bit());
    }
    ~PortFolder() {
        if (hadPrevious_)
            qputenv("VR5XP_PORT_DIR", previous_);
        else
            qunsetenv("VR5XP_PORT_DIR");
    }
    PortFolder(const PortFolder&) = delete;
    PortFolder& operator=(const PortFolder&) = delete;

    QString path() const { return dir_.path(); }
    QString entry(const QString& name) const { return dir_.filePath(name); }
    // COM<n> names target.
    bool link(unsigned portNumber, const QString& target) const {
        return QFile::link(target, entry(QStringLiteral("COM%1").arg(portNumber)));
    }

private:
    QTemporaryDir dir_;
    QByteArray previous_;
    bool hadPrevious_;
};

}  // namespace vr5::test
