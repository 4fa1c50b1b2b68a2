#pragma once

// Inside the serial port: what its shared part (serial_port.cpp) and the line of each operating
// system (serial_line_qt.cpp with Qt SerialPort, serial_line_win32.cpp with the Win32 API) use.

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <condition_variable>
#include <memory>
#include <mutex>

#include "logger/serial_link.h"

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

// The operator's message for a failed operation on the line, worded as the system words it.
QString failureText(const QString& operation, const QString& systemText, unsigned portNumber);

// The message for line settings no serial line takes; empty when they are valid.
QString invalidLineText(const LineSettings& line, unsigned portNumber);

// Lives on the port's thread, which runs a Qt event loop: opens the line, reads it, and writes
// what the owner queued. The owner's thread rings startReading, sendPending and dropLink by name.
class PortWorker : public QObject {
    Q_OBJECT
public:
    PortWorker(std::shared_ptr<PortShared> shared, LineSettings line);

    // Opens and configures the line; the settings it refuses go to failures().
    virtual bool open() = 0;
    // Closes the line when the port's thread ends.
    virtual void closeLine() = 0;
    QStringList failures() const { return failures_; }

public Q_SLOTS:
    // Throws away what arrived so far, reads from now on, and sends what waits.
    virtual void startReading() = 0;
    // Purges the line both ways and writes the pending message.
    virtual void sendPending() = 0;
    // The link failed for good.
    virtual void dropLink() = 0;

protected:
    // Marks the reader as running for the owner waiting in StartReader.
    void announceReader();
    // Takes the message the owner queued last.
    QByteArray takePending();
    // Gives bytes or a failure to the owner and waits until it has handled them, or until Close.
    void handOver(QByteArray bytes, QString error, bool losesLink);

    std::shared_ptr<PortShared> shared_;
    const LineSettings line_;
    QStringList failures_;
};

// The line of this operating system.
std::unique_ptr<PortWorker> makePortWorker(std::shared_ptr<PortShared> shared,
                                           const LineSettings& line);

}  // namespace vr5::serial_detail
