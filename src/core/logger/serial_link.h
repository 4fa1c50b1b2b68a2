#pragma once

#include <QByteArray>
#include <QString>

namespace vr5 {

// The way the logger link's logic sends a command: a serial port in the program, a recorder in
// tests. Write returns at once; the bytes go out later, in order.
class SerialLink {
public:
    virtual ~SerialLink() = default;
    virtual void Write(const QByteArray& bytes) = 0;
};

// Whoever owns a port receives its bytes here, one at a time, in order, on the owner's (window)
// thread. The port's own thread does not read on until the byte has been handled.
class SerialByteSink {
public:
    virtual ~SerialByteSink() = default;
    virtual void onSerialByte(unsigned char byte, unsigned portNumber) = 0;
    // A failed port operation, already worded for the "Application Error" box. `linkLost` says
    // that the port failed for good (the device went away, reading stopped): nothing more
    // arrives until the owner opens the port again.
    virtual void onSerialError(const QString& text, bool linkLost) = 0;
};

}  // namespace vr5
