#include "platform/serial_port.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QThread>
#include <functional>
#include <memory>

#include "pty_pair.h"

namespace vr5 {
namespace {

using test::PortFolder;
using test::PtyPair;

constexpr unsigned kPort = 9;

// Keeps what the port hands over, and where.
class RecordingSink : public SerialByteSink {
public:
    void onSerialByte(unsigned char byte, unsigned portNumber) override {
        bytes.append(char(byte));
        if (portNumber != kPort) ++wrongPort;
        if (QThread::currentThread() != QCoreApplication::instance()->thread()) ++offThread;
        if (afterByte) afterByte();
    }
    void onSerialError(const QString& text, bool linkLost) override {
        errors << text;
        if (linkLost) ++lost;
        if (QThread::currentThread() != QCoreApplication::instance()->thread()) ++offThread;
    }

    QByteArray bytes;
    QStringList errors;
    int lost = 0;
    int wrongPort = 0;
    int offThread = 0;
    std::function<void()> afterByte;
};

// Runs the main thread's event loop until `done` or, so that a fault fails rather than hangs,
// ten seconds have passed.
bool spinUntil(const std::function<bool()>& done) {
    QDeadlineTimer deadline(10000);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

// Gives the port's thread a chance to deliver what should not arrive.
void spinFor(int milliseconds) {
    QDeadlineTimer deadline(milliseconds);
    while (!deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

QByteArray everyByteValue(int count) {
    QByteArray bytes;
    for (int i = 0; i < count; ++i) bytes.append(char(i * 7 % 256));
    return bytes;
}

class SerialPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pty.valid());
        ASSERT_TRUE(folder.link(kPort, pty.slavePath()));
    }

    PortFolder folder;
    PtyPair pty;
    RecordingSink sink;
};

TEST_F(SerialPortTest, BytesReachTheOwnerInOrderOnItsThread) {
    CSerialPort port;
    ASSERT_TRUE(port.Open(&sink, kPort));
    EXPECT_TRUE(port.isOpen());
    ASSERT_TRUE(port.StartReader());
    EXPECT_TRUE(port.StartReader());  // a second start changes nothing

    // Every byte value, line ends and 0xFF among them, more than the line holds at once.
    const QByteArray sent = everyByteValue(100000);
    test::BackgroundSender logger(pty, sent, 777);
    ASSERT_TRUE(spinUntil([&] { return sink.bytes.size() >= sent.size(); }));
    EXPECT_TRUE(logger.finish());
    EXPECT_EQ(sink.bytes, sent);
    EXPECT_EQ(sink.wrongPort, 0);
    EXPECT_EQ(sink.offThread, 0);
    EXPECT_TRUE(sink.errors.isEmpty());
}

TEST_F(SerialPortTest, WritesGoOutWholeAndTheLatestQueuedWins) {
    CSerialPort port;
    ASSERT_TRUE(port.Open(&sink, kPort));
    ASSERT_TRUE(port.StartReader());
    QByteArray command("WpSTATUS\r\n");
    port.Write(command);
    command[0] = 'X';  // the port keeps its own copy
    EXPECT_EQ(pty.receive(10), "WpSTATUS\r\n");
    EXPECT_EQ(pty.receive(1, 100), "");

    // The reader performs the writes: until it runs, a newer message replaces the queued one.
    ASSERT_TRUE(port.Open(&sink, kPort));
    port.Write("WpFIRST\r\n");
    port.Write("WpSECOND\r\n");
    EXPECT_EQ(pty.receive(1, 200), "");
    ASSERT_TRUE(port.StartReader());
    EXPECT_EQ(pty.receive(10), "WpSECOND\r\n");
    EXPECT_EQ(pty.receive(1, 100), "");

    // No more than the write buffer holds.
    ASSERT_TRUE(port.Open(&sink, kPort, 115200, 'N', 8, 1, CSerialPort::kCharReceived, 8));
    ASSERT_TRUE(port.StartReader());
    port.Write("0123456789ABCDEF");
    EXPECT_EQ(pty.receive(8), "01234567");
    EXPECT_EQ(pty.receive(1, 100), "");

    // A reply arrives after a write as before.
    ASSERT_TRUE(pty.send("Pw OK\r\n"));
    ASSERT_TRUE(spinUntil([&] { return sink.bytes.endsWith("\n"); }));
    EXPECT_EQ(sink.bytes, "Pw OK\r\n");
    EXPECT_TRUE(sink.errors.isEmpty());
}

TEST_F(SerialPortTest, OpenOnAnOpenPortReopensIt) {
    CSerialPort port;
    ASSERT_TRUE(port.Open(&sink, kPort));
    ASSERT_TRUE(port.StartReader());
    // The device is held exclusively: a second open succeeds only because the first one ended.
    ASSERT_TRUE(port.Open(&sink, kPort));
    ASSERT_TRUE(port.StartReader());
    ASSERT_TRUE(pty.send("again\n"));
    ASSERT_TRUE(spinUntil([&] { return sink.bytes.size() >= 6; }));
    EXPECT_EQ(sink.bytes, "again\n");

    CSerialPort other;
    RecordingSink otherSink;
    EXPECT_FALSE(other.Open(&otherSink, kPort));
    EXPECT_FALSE(other.isOpen());
}

TEST_F(SerialPortTest, CloseWithBytesOnTheirWayEndsEveryCallback) {
    const QByteArray flood = everyByteValue(30000);

    // Closed by the owner from inside its own byte handler, while the rest waits in the line.
    {
        CSerialPort port;
        ASSERT_TRUE(port.Open(&sink, kPort));
        ASSERT_TRUE(port.StartReader());
        sink.afterByte = [&] { port.Close(); };
        ASSERT_TRUE(pty.send(flood.left(4000)));
        ASSERT_TRUE(spinUntil([&] { return !sink.bytes.isEmpty(); }));
        EXPECT_FALSE(port.isOpen());
        spinFor(200);
        EXPECT_EQ(sink.bytes.size(), 1);
        sink.afterByte = nullptr;
    }

    // Closed while the port's thread waits for an owner that is busy elsewhere; the owner goes
    // right after.
    auto owner = std::make_unique<RecordingSink>();
    {
        CSerialPort port;
        ASSERT_TRUE(port.Open(owner.get(), kPort));
        ASSERT_TRUE(port.StartReader());
        ASSERT_TRUE(pty.send(flood.left(4000)));
        QThread::msleep(100);
        port.Close();
        EXPECT_FALSE(port.isOpen());
        port.Close();  // twice is harmless
    }
    EXPECT_TRUE(owner->bytes.isEmpty());
    owner.reset();
    spinFor(200);

    // Destroyed from inside a callback, with its owner.
    {
        auto port = std::make_unique<CSerialPort>();
        auto doomed = std::make_unique<RecordingSink>();
        int handled = 0;
        doomed->afterByte = [&] {
            ++handled;
            port.reset();
        };
        ASSERT_TRUE(port->Open(doomed.get(), kPort));
        ASSERT_TRUE(port->StartReader());
        ASSERT_TRUE(pty.send(flood.left(4000)));
        ASSERT_TRUE(spinUntil([&] { return handled > 0; }));
        EXPECT_EQ(port, nullptr);
        doomed.reset();
        spinFor(200);
        EXPECT_EQ(handled, 1);
    }
}

TEST_F(SerialPortTest, DevicesThatCannotBeOpenedAreRefusedQuietly) {
    QFile plain(folder.entry(QStringLiteral("plain-file")));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    ASSERT_TRUE(folder.link(11, folder.entry(QStringLiteral("no-such-device"))));
    ASSERT_TRUE(folder.link(12, plain.fileName()));

    const struct {
        unsigned port;
        const char* what;
    } cases[] = {
        {11, "a link to a device that is gone"},
        {12, "a link to a file that is no serial port"},
        {199, "no link and no /dev/ttyS198"},
        {0, "no port at all"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CSerialPort port;
        EXPECT_FALSE(port.Open(&sink, c.port));
        EXPECT_FALSE(port.isOpen());
        EXPECT_FALSE(port.StartReader());
        port.Write("ignored");
    }
    EXPECT_TRUE(sink.errors.isEmpty());

    CSerialPort never;
    EXPECT_FALSE(never.StartReader());
    never.Write("ignored");
    never.Close();
}

TEST_F(SerialPortTest, RefusedLineSettingsAreReportedAndThePortStaysOpen) {
    const struct {
        int baud;
        char parity;
        int dataBits;
        int stopBits;
        QString expected;  // empty: Qt's own wording follows the operation's name
        const char* operation;
    } cases[] = {
        {115200, 'X', 8, 1,
         "WARNING:  BuildCommDCB() Failed with the following error: \nThe line settings "
         "\"baud=115200 parity=X data=8 stop=1\" are not valid.\nPort: 9\n",
         "BuildCommDCB()"},
        {115200, 'N', 9, 1,
         "WARNING:  BuildCommDCB() Failed with the following error: \nThe line settings "
         "\"baud=115200 parity=N data=9 stop=1\" are not valid.\nPort: 9\n",
         "BuildCommDCB()"},
        {115200, 'N', 8, 3,
         "WARNING:  BuildCommDCB() Failed with the following error: \nThe line settings "
         "\"baud=115200 parity=N data=8 stop=3\" are not valid.\nPort: 9\n",
         "BuildCommDCB()"},
        {-1, 'N', 8, 1, {}, "SetCommState()"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.operation);
        RecordingSink owner;
        CSerialPort port;
        ASSERT_TRUE(port.Open(&owner, kPort, c.baud, c.parity, c.dataBits, c.stopBits));
        ASSERT_EQ(owner.errors.size(), 1);
        if (!c.expected.isEmpty()) {
            EXPECT_EQ(owner.errors[0], c.expected);
        } else {
            EXPECT_TRUE(owner.errors[0].startsWith(
                QStringLiteral("WARNING:  %1 Failed with the following error: \n")
                    .arg(QLatin1String(c.operation))))
                << owner.errors[0].toStdString();
            EXPECT_TRUE(owner.errors[0].endsWith(QStringLiteral("\nPort: 9\n")));
        }
        EXPECT_TRUE(port.isOpen());
        EXPECT_EQ(owner.lost, 0) << "a refused setting leaves the link up";
        ASSERT_TRUE(port.StartReader());
        ASSERT_TRUE(pty.send("x"));
        ASSERT_TRUE(spinUntil([&] { return owner.bytes == "x"; }));
    }
    // The logger's own settings raise nothing.
    CSerialPort port;
    ASSERT_TRUE(port.Open(&sink, kPort));
    EXPECT_TRUE(sink.errors.isEmpty());
}

TEST_F(SerialPortTest, ALineThatGoesAwayIsReportedOnce) {
    for (const bool beforeReader : {false, true}) {
        SCOPED_TRACE(beforeReader ? "gone before the reader ran" : "gone while reading");
        PtyPair line;
        ASSERT_TRUE(line.valid());
        PortFolder lineFolder;
        ASSERT_TRUE(lineFolder.link(kPort, line.slavePath()));
        RecordingSink owner;
        CSerialPort port;
        ASSERT_TRUE(port.Open(&owner, kPort));
        if (beforeReader) {
            line.closeMaster();
            QThread::msleep(50);
            ASSERT_TRUE(port.StartReader());
        } else {
            ASSERT_TRUE(port.StartReader());
            ASSERT_TRUE(line.send("ab"));
            ASSERT_TRUE(spinUntil([&] { return owner.bytes == "ab"; }));
            line.closeMaster();
        }
        ASSERT_TRUE(spinUntil([&] { return !owner.errors.isEmpty(); }));
        port.Write("WpSTATUS\r\n");  // nowhere to go, and nothing more to say about it
        spinFor(300);
        ASSERT_EQ(owner.errors.size(), 1);
        EXPECT_TRUE(owner.errors[0].startsWith(
            QStringLiteral("WARNING:  ReadFile() Failed with the following error: \n")))
            << owner.errors[0].toStdString();
        EXPECT_TRUE(owner.errors[0].endsWith(QStringLiteral("\nPort: 9\n")));
        EXPECT_EQ(owner.lost, 1) << "the owner learns that the link is gone";
        EXPECT_EQ(owner.offThread, 0);
        port.Close();
        EXPECT_FALSE(port.isOpen());
    }
}

}  // namespace
}  // namespace vr5
