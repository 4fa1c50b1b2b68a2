#pragma once

#include <QByteArray>
#include <memory>

#include "logger/serial_link.h"

namespace vr5 {

namespace serial_detail {
struct PortShared;
class PortThread;
class OwnerDoor;
}  // namespace serial_detail

// The logger's serial port. A QSerialPort in a thread of its own reads the line and performs the
// writes; every received byte goes to the owner, in order, on the thread that opened the port,
// and the port's thread reads on only once the owner has handled it.
//
// Open, StartReader, Write and Close belong to the thread that called Open, which must run a Qt
// event loop (the window thread, or the command line's QCoreApplication).
class CSerialPort : public SerialLink {
public:
    static constexpr unsigned kCharReceived = 1;

    CSerialPort();
    ~CSerialPort() override;  // closes
    CSerialPort(const CSerialPort&) = delete;
    CSerialPort& operator=(const CSerialPort&) = delete;

    // Opens COM<portNumber> (see comDevicePath) at the given line settings, no flow control,
    // RTS asserted; an open port is closed first. False when the device cannot be opened; the
    // owner tells the operator. A line setting the device refuses is reported to the owner
    // (onSerialError) before Open returns true. Only kCharReceived can be watched: without it
    // the port's bytes are read and thrown away.
    bool Open(SerialByteSink* owner, unsigned portNumber, int baud = 115200, char parity = 'N',
              int dataBits = 8, int stopBits = 1, unsigned watchedEvents = kCharReceived,
              int writeBufferSize = 1512);
    // Throws away what arrived so far and starts handing bytes to the owner. Writes queued
    // before go out now. Returns once the reader runs; false when the port is not open.
    bool StartReader();
    // Queues bytes (at most the write-buffer size) for the port's thread, which purges the line
    // both ways and writes them. A message not yet taken by the port's thread is replaced by
    // the next one. Returns at once.
    void Write(const QByteArray& bytes) override;
    // Ends the port's thread and closes the device. No callback reaches the owner afterwards, so
    // the owner may go right after. Safe from inside the owner's own callbacks.
    void Close();
    bool isOpen() const;

private:
    std::shared_ptr<serial_detail::PortShared> shared_;
    std::unique_ptr<serial_detail::PortThread> thread_;
    serial_detail::OwnerDoor* door_ = nullptr;
};

}  // namespace vr5
