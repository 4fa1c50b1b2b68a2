// The serial line through Qt SerialPort, where Qt has it (every system but the Windows build).

#include <QSerialPort>
#include <optional>
#include <utility>

#include "platform/serial_line.h"

#ifdef Q_OS_UNIX
#include <poll.h>

#include <cerrno>
#endif

namespace vr5::serial_detail {

namespace {

std::optional<QSerialPort::Parity> parityOf(char letter) {
    switch (letter) {
        case 'N':
        case 'n':
            return QSerialPort::NoParity;
        case 'E':
        case 'e':
            return QSerialPort::EvenParity;
        case 'O':
        case 'o':
            return QSerialPort::OddParity;
        case 'M':
        case 'm':
            return QSerialPort::MarkParity;
        case 'S':
        case 's':
            return QSerialPort::SpaceParity;
        default:
            return std::nullopt;
    }
}

class QtPortWorker : public PortWorker {
    Q_OBJECT
public:
    using PortWorker::PortWorker;

    bool open() override {
        port_.setPortName(line_.device);
        if (!port_.open(QIODevice::ReadWrite)) return false;
        configure();
        connect(&port_, &QSerialPort::readyRead, this, &QtPortWorker::onReadyRead);
        connect(&port_, &QSerialPort::errorOccurred, this, &QtPortWorker::onError);
        return true;
    }

    void closeLine() override { port_.close(); }

    void startReading() override {
        if (port_.isOpen()) port_.clear(QSerialPort::AllDirections);
        reading_ = true;
        announceReader();
        if (!lostText_.isEmpty()) handOver({}, std::exchange(lostText_, {}), true);
        sendPending();
    }

    void sendPending() override {
        // The reader sends: what was written before it ran waits for it.
        if (!reading_) return;
        const QByteArray bytes = takePending();
        if (bytes.isEmpty() || lost_ || !port_.isOpen()) return;
        // Whatever the logger sent before this command answers nothing we still wait for.
        port_.clear(QSerialPort::AllDirections);
        port_.write(bytes);
    }

    // Qt would signal the same failure again at once.
    void dropLink() override { port_.close(); }

private:
    void configure() {
        const auto refuse = [this](const char* operation) {
            failures_ << failureText(QString::fromLatin1(operation), port_.errorString(),
                                     shared_->portNumber);
            port_.clearError();
        };
        const std::optional<QSerialPort::Parity> parity = parityOf(line_.parity);
        const QString invalid = invalidLineText(line_, shared_->portNumber);
        if (!invalid.isEmpty() || !parity) {
            failures_ << invalid;
        } else if (!port_.setBaudRate(line_.baud) ||
                   !port_.setDataBits(static_cast<QSerialPort::DataBits>(line_.dataBits)) ||
                   !port_.setParity(*parity) ||
                   !port_.setStopBits(line_.stopBits == 2 ? QSerialPort::TwoStop
                                                          : QSerialPort::OneStop) ||
                   !port_.setFlowControl(QSerialPort::NoFlowControl)) {
            refuse("SetCommState()");
        } else if (!port_.setRequestToSend(true)) {
            // A pty or some Bluetooth links have no RTS line at all: nothing to assert.
            if (port_.error() == QSerialPort::UnsupportedOperationError)
                port_.clearError();
            else
                refuse("SetCommState()");
        }
        if (!port_.clear(QSerialPort::AllDirections)) refuse("PurgeComm()");
    }

    void onReadyRead() {
        // Until the reader starts, bytes wait in the port for its purge.
        if (!reading_ || lost_) return;
        QByteArray bytes = port_.readAll();
        if (line_.watchChars && !bytes.isEmpty()) handOver(std::move(bytes), {}, false);
    }

    void onError(QSerialPort::SerialPortError error) {
        if (lost_) return;
        if (error == QSerialPort::WriteError) {
            if (reading_)
                handOver({},
                         failureText(QStringLiteral("WriteFile()"), port_.errorString(),
                                     shared_->portNumber),
                         false);
            return;
        }
        if (error != QSerialPort::ReadError && error != QSerialPort::ResourceError) return;
        lost_ = true;
        const QString text =
            failureText(QStringLiteral("ReadFile()"), lostLineText(), shared_->portNumber);
        // Closing the device inside Qt's own read handler would pull its buffer away under it.
        QMetaObject::invokeMethod(this, "dropLink", Qt::QueuedConnection);
        if (reading_)
            handOver({}, text, true);
        else
            lostText_ = text;
    }

    // A line that hung up reads as end of file, and Qt then words whatever error came last.
    QString lostLineText() const {
#ifdef Q_OS_UNIX
        pollfd line{static_cast<int>(port_.handle()), POLLIN, 0};
        if (line.fd >= 0 && ::poll(&line, 1, 0) > 0 && (line.revents & (POLLHUP | POLLERR)))
            return qt_error_string(EIO);
#endif
        return port_.errorString();
    }

    QSerialPort port_;
    bool reading_ = false;
    bool lost_ = false;
    QString lostText_;  // a loss before the reader ran, told once it runs
};

}  // namespace

std::unique_ptr<PortWorker> makePortWorker(std::shared_ptr<PortShared> shared,
                                           const LineSettings& line) {
    return std::make_unique<QtPortWorker>(std::move(shared), line);
}

}  // namespace vr5::serial_detail

#include "serial_line_qt.moc"
