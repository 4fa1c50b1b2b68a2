#include "platform/serial_port.h"

#include <QFileInfo>
#include <QMetaObject>
#include <QSerialPort>
#include <QStringList>
#include <QThread>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <utility>

#include "platform/com_ports.h"

#ifdef Q_OS_UNIX
#include <poll.h>

#include <cerrno>
#endif

// How the two threads meet. Everything they share sits in PortShared under its mutex; Qt's
// queued calls only ring the other side's bell, by method name, so that no data of ours crosses
// through Qt's own (and, to ThreadSanitizer, invisible) locking.
//
// The port's thread waits for the owner while the owner handles bytes, as a window message sent
// to the owner would. The owner never waits for the port's thread while bytes may be on their
// way to it: it waits only in Open (before the reader runs), in the first StartReader (which
// the reader answers before it delivers anything) and in Close, which first sets `closed` so
// that a delivery the port's thread is waiting on gives up at once.

namespace vr5::serial_detail {

struct LineSettings {
    QString device;
    int baud;
    char parity;
    int dataBits;
    int stopBits;
    bool watchChars;
};

struct PortShared {
    std::mutex mutex;
    std::condition_variable changed;

    // Fixed before the port's thread starts.
    SerialByteSink* owner = nullptr;
    unsigned portNumber = 0;
    qsizetype writeBufferSize = 0;
    QObject* door = nullptr;  // on the owner's thread, rung for each delivery

    enum class Opening { Pending, Opened, Failed };
    Opening opening = Opening::Pending;
    QStringList configurationFailures;  // reported by Open on the owner's thread
    QObject* worker = nullptr;          // on the port's thread while it runs
    bool readerStarted = false;
    bool closed = false;  // set by Close: nothing more reaches the owner

    QByteArray pendingWrite;
    bool writeQueued = false;  // the worker's bell rang for pendingWrite

    // One delivery at a time, from the port's thread to the owner's.
    QByteArray incoming;
    QString errorText;
    bool errorLosesLink = false;
    bool handed = true;

    bool isClosed() {
        std::lock_guard lock(mutex);
        return closed;
    }
};

QString failureText(const QString& operation, const QString& systemText, unsigned portNumber) {
    return QStringLiteral("WARNING:  %1 Failed with the following error: \n%2\nPort: %3\n")
        .arg(operation, systemText, QString::number(portNumber));
}

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

// Lives on the owner's thread; the port's thread rings deliver() for each batch of bytes or a
// failure. Deleted by Close, or by itself when Close came from inside one of its callbacks.
class OwnerDoor : public QObject {
    Q_OBJECT
public:
    explicit OwnerDoor(std::shared_ptr<PortShared> shared) : shared_(std::move(shared)) {}

    bool delivering() const { return delivering_; }
    void orphan() { orphaned_ = true; }

public Q_SLOTS:
    void deliver() {
        QByteArray bytes;
        QString error;
        bool lost = false;
        {
            std::lock_guard lock(shared_->mutex);
            if (shared_->closed) return;
            bytes = std::exchange(shared_->incoming, {});
            error = std::exchange(shared_->errorText, {});
            lost = std::exchange(shared_->errorLosesLink, false);
        }
        // The owner may close the port, open it again or show a box with its own event loop
        // from inside these calls.
        delivering_ = true;
        SerialByteSink* owner = shared_->owner;
        if (owner && !error.isEmpty() && !shared_->isClosed()) owner->onSerialError(error, lost);
        for (const char byte : std::as_const(bytes)) {
            if (!owner || shared_->isClosed()) break;
            owner->onSerialByte(static_cast<unsigned char>(byte), shared_->portNumber);
        }
        delivering_ = false;
        {
            std::lock_guard lock(shared_->mutex);
            shared_->handed = true;
        }
        shared_->changed.notify_all();
        if (orphaned_) deleteLater();
    }

private:
    std::shared_ptr<PortShared> shared_;
    bool delivering_ = false;
    bool orphaned_ = false;
};

// Lives on the port's thread with its QSerialPort.
class PortWorker : public QObject {
    Q_OBJECT
public:
    PortWorker(QSerialPort& port, std::shared_ptr<PortShared> shared, const LineSettings& line)
        : port_(port), shared_(std::move(shared)), line_(line) {}

    bool open() {
        port_.setPortName(line_.device);
        if (!port_.open(QIODevice::ReadWrite)) return false;
        configure();
        connect(&port_, &QSerialPort::readyRead, this, &PortWorker::onReadyRead);
        connect(&port_, &QSerialPort::errorOccurred, this, &PortWorker::onError);
        return true;
    }

    QStringList failures() const { return failures_; }

public Q_SLOTS:
    void startReading() {
        if (port_.isOpen()) port_.clear(QSerialPort::AllDirections);
        reading_ = true;
        {
            std::lock_guard lock(shared_->mutex);
            shared_->readerStarted = true;
        }
        shared_->changed.notify_all();
        if (!lostText_.isEmpty()) handOver({}, std::exchange(lostText_, {}), true);
        sendPending();
    }

    void sendPending() {
        // The reader sends: what was written before it ran waits for it.
        if (!reading_) return;
        QByteArray bytes;
        {
            std::lock_guard lock(shared_->mutex);
            bytes = std::exchange(shared_->pendingWrite, {});
            shared_->writeQueued = false;
        }
        if (bytes.isEmpty() || lost_ || !port_.isOpen()) return;
        // Whatever the logger sent before this command answers nothing we still wait for.
        port_.clear(QSerialPort::AllDirections);
        port_.write(bytes);
    }

    // The link failed for good: Qt would signal the same failure again at once.
    void dropLink() { port_.close(); }

private:
    void configure() {
        const auto refuse = [this](const char* operation) {
            failures_ << failureText(QString::fromLatin1(operation), port_.errorString(),
                                     shared_->portNumber);
            port_.clearError();
        };
        const std::optional<QSerialPort::Parity> parity = parityOf(line_.parity);
        const bool dataBitsValid = line_.dataBits >= 5 && line_.dataBits <= 8;
        const bool stopBitsValid = line_.stopBits == 1 || line_.stopBits == 2;
        if (!parity || !dataBitsValid || !stopBitsValid) {
            const QChar letter = QChar::fromLatin1(line_.parity);
            const QString definition =
                QStringLiteral("baud=%1 parity=%2 data=%3 stop=%4")
                    .arg(QString::number(line_.baud),
                         QString(letter.isPrint() ? letter : QChar(u'?')),
                         QString::number(line_.dataBits), QString::number(line_.stopBits));
            failures_ << failureText(
                QStringLiteral("BuildCommDCB()"),
                QStringLiteral("The line settings \"%1\" are not valid.").arg(definition),
                shared_->portNumber);
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

    // Gives bytes or a failure to the owner and waits until it has handled them, or until Close.
    void handOver(QByteArray bytes, QString error, bool losesLink) {
        std::unique_lock lock(shared_->mutex);
        if (shared_->closed) return;
        shared_->incoming = std::move(bytes);
        shared_->errorText = std::move(error);
        shared_->errorLosesLink = losesLink;
        shared_->handed = false;
        QMetaObject::invokeMethod(shared_->door, "deliver", Qt::QueuedConnection);
        shared_->changed.wait(lock, [this] { return shared_->handed || shared_->closed; });
    }

    QSerialPort& port_;
    std::shared_ptr<PortShared> shared_;
    const LineSettings line_;
    QStringList failures_;
    bool reading_ = false;
    bool lost_ = false;
    QString lostText_;  // a loss before the reader ran, told once it runs
};

class PortThread : public QThread {
public:
    PortThread(std::shared_ptr<PortShared> shared, LineSettings line)
        : shared_(std::move(shared)), line_(std::move(line)) {
        setObjectName(QStringLiteral("serial port"));
    }

protected:
    void run() override {
        QSerialPort port;
        PortWorker worker(port, shared_, line_);
        const bool opened = worker.open();
        {
            std::lock_guard lock(shared_->mutex);
            shared_->opening = opened ? PortShared::Opening::Opened : PortShared::Opening::Failed;
            shared_->configurationFailures = worker.failures();
            if (opened) shared_->worker = &worker;
        }
        shared_->changed.notify_all();
        if (!opened) return;
        exec();
        {
            std::lock_guard lock(shared_->mutex);
            shared_->worker = nullptr;
        }
        port.close();
    }

private:
    std::shared_ptr<PortShared> shared_;
    const LineSettings line_;
};

}  // namespace vr5::serial_detail

namespace vr5 {

using namespace serial_detail;

CSerialPort::CSerialPort() = default;

CSerialPort::~CSerialPort() {
    Close();
}

bool CSerialPort::Open(SerialByteSink* owner, unsigned portNumber, int baud, char parity,
                       int dataBits, int stopBits, unsigned watchedEvents, int writeBufferSize) {
    Close();
    QString device = comDevicePath(portNumber);
    if (device.isEmpty()) return false;
#ifndef Q_OS_WIN
    // One lock file per device, whichever name reaches it.
    const QString target = QFileInfo(device).canonicalFilePath();
    if (!target.isEmpty()) device = target;
#endif

    auto shared = std::make_shared<PortShared>();
    shared->owner = owner;
    shared->portNumber = portNumber;
    shared->writeBufferSize = qMax(0, writeBufferSize);
    auto* door = new OwnerDoor(shared);
    shared->door = door;
    auto thread =
        std::make_unique<PortThread>(shared, LineSettings{device, baud, parity, dataBits, stopBits,
                                                          (watchedEvents & kCharReceived) != 0});
    thread->start();

    QStringList failures;
    bool opened = false;
    {
        std::unique_lock lock(shared->mutex);
        shared->changed.wait(lock, [&] { return shared->opening != PortShared::Opening::Pending; });
        opened = shared->opening == PortShared::Opening::Opened;
        failures = shared->configurationFailures;
    }
    if (!opened) {
        thread->wait();
        delete door;
        return false;
    }
    shared_ = std::move(shared);
    thread_ = std::move(thread);
    door_ = door;
    // Told here, on the owner's thread, before the owner hears that the port is open.
    const std::shared_ptr<PortShared> current = shared_;
    for (const QString& failure : failures) {
        if (!owner || current->isClosed()) break;
        owner->onSerialError(failure, false);
    }
    return true;
}

bool CSerialPort::StartReader() {
    if (!shared_) return false;
    std::unique_lock lock(shared_->mutex);
    if (shared_->readerStarted) return true;
    if (!shared_->worker) return false;
    QMetaObject::invokeMethod(shared_->worker, "startReading", Qt::QueuedConnection);
    shared_->changed.wait(lock, [this] { return shared_->readerStarted || !shared_->worker; });
    return shared_->readerStarted;
}

void CSerialPort::Write(const QByteArray& bytes) {
    if (!shared_) return;
    std::lock_guard lock(shared_->mutex);
    // A copy of its own: the caller's array may change the moment Write returns.
    shared_->pendingWrite =
        QByteArray(bytes.constData(), qMin(bytes.size(), shared_->writeBufferSize));
    if (!shared_->writeQueued && shared_->worker) {
        shared_->writeQueued = true;
        QMetaObject::invokeMethod(shared_->worker, "sendPending", Qt::QueuedConnection);
    }
}

void CSerialPort::Close() {
    if (!shared_) return;
    {
        std::lock_guard lock(shared_->mutex);
        shared_->closed = true;
    }
    shared_->changed.notify_all();
    thread_->quit();
    thread_->wait();
    thread_.reset();
    // From inside a delivery the door is still on the stack: it goes when the delivery ends.
    if (door_->delivering())
        door_->orphan();
    else
        delete door_;
    door_ = nullptr;
    shared_.reset();
}

bool CSerialPort::isOpen() const {
    return shared_ != nullptr;
}

}  // namespace vr5

#include "serial_port.moc"
