#include "platform/serial_port.h"

#include <QFileInfo>
#include <QMetaObject>
#include <QThread>
#include <utility>

#include "platform/com_ports.h"
#include "platform/serial_line.h"

// How the two threads meet. Everything they share sits in PortShared under its mutex; Qt's
// queued calls only ring the other side's bell, by method name, so that no data of ours crosses
// through Qt's own (and, to ThreadSanitizer, invisible) locking.
//
// The port's thread waits for the owner while the owner handles bytes, as a window message sent
// to the owner would. The owner never waits for the port's thread while bytes may be on their
// way to it: it waits only in Open (before the reader runs), in the first StartReader (which
// the reader answers before it delivers anything) and in Close, which first sets `closed` so
// that a delivery the port's thread is waiting on gives up at once.
//
// What reads and writes the line is the PortWorker of each system (serial_line.h).

namespace vr5::serial_detail {

QString failureText(const QString& operation, const QString& systemText, unsigned portNumber) {
    return QStringLiteral("WARNING:  %1 Failed with the following error: \n%2\nPort: %3\n")
        .arg(operation, systemText, QString::number(portNumber));
}

QString invalidLineText(const LineSettings& line, unsigned portNumber) {
    const bool parityValid = QByteArrayView("NnEeOoMmSs").contains(line.parity);
    const bool dataBitsValid = line.dataBits >= 5 && line.dataBits <= 8;
    const bool stopBitsValid = line.stopBits == 1 || line.stopBits == 2;
    if (parityValid && dataBitsValid && stopBitsValid) return {};
    const QChar letter = QChar::fromLatin1(line.parity);
    const QString definition =
        QStringLiteral("baud=%1 parity=%2 data=%3 stop=%4")
            .arg(QString::number(line.baud), QString(letter.isPrint() ? letter : QChar(u'?')),
                 QString::number(line.dataBits), QString::number(line.stopBits));
    return failureText(QStringLiteral("BuildCommDCB()"),
                       QStringLiteral("The line settings \"%1\" are not valid.").arg(definition),
                       portNumber);
}

PortWorker::PortWorker(std::shared_ptr<PortShared> shared, LineSettings line)
    : shared_(std::move(shared)), line_(std::move(line)) {}

void PortWorker::announceReader() {
    {
        std::lock_guard lock(shared_->mutex);
        shared_->readerStarted = true;
    }
    shared_->changed.notify_all();
}

QByteArray PortWorker::takePending() {
    std::lock_guard lock(shared_->mutex);
    shared_->writeQueued = false;
    return std::exchange(shared_->pendingWrite, {});
}

void PortWorker::handOver(QByteArray bytes, QString error, bool losesLink) {
    std::unique_lock lock(shared_->mutex);
    if (shared_->closed) return;
    shared_->incoming = std::move(bytes);
    shared_->errorText = std::move(error);
    shared_->errorLosesLink = losesLink;
    shared_->handed = false;
    QMetaObject::invokeMethod(shared_->door, "deliver", Qt::QueuedConnection);
    shared_->changed.wait(lock, [this] { return shared_->handed || shared_->closed; });
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

class PortThread : public QThread {
public:
    PortThread(std::shared_ptr<PortShared> shared, LineSettings line)
        : shared_(std::move(shared)), line_(std::move(line)) {
        setObjectName(QStringLiteral("serial port"));
    }

protected:
    void run() override {
        const std::unique_ptr<PortWorker> worker = makePortWorker(shared_, line_);
        const bool opened = worker->open();
        {
            std::lock_guard lock(shared_->mutex);
            shared_->opening = opened ? PortShared::Opening::Opened : PortShared::Opening::Failed;
            shared_->configurationFailures = worker->failures();
            if (opened) shared_->worker = worker.get();
        }
        shared_->changed.notify_all();
        if (!opened) return;
        exec();
        {
            std::lock_guard lock(shared_->mutex);
            shared_->worker = nullptr;
        }
        worker->closeLine();
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
