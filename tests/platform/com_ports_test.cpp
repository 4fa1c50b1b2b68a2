#include "platform/com_ports.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "pty_pair.h"

namespace vr5 {
namespace {

using test::PortFolder;

// An ordinary file standing in for a device that exists.
QString makeFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) ? path : QString();
}

QStringList entriesOf(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

TEST(ComPorts, EachComNameReachesItsEntryOrTheBuiltInPort) {
    PortFolder folder;
    ASSERT_TRUE(folder.link(1, QStringLiteral("/dev/pts/7")));
    ASSERT_TRUE(folder.link(10, QStringLiteral("/dev/rfcomm0")));
    ASSERT_TRUE(folder.link(123, folder.entry(QStringLiteral("gone"))));  // a broken link
    const QString plain = makeFile(folder.entry(QStringLiteral("COM200")));
    ASSERT_FALSE(plain.isEmpty());

    const struct {
        unsigned port;
        QString expected;
    } cases[] = {
        {1, folder.entry(QStringLiteral("COM1"))},
        {10, folder.entry(QStringLiteral("COM10"))},  // not COM1's entry
        {123, folder.entry(QStringLiteral("COM123"))},
        {200, plain},
        {2, QStringLiteral("/dev/ttyS1")},
        {11, QStringLiteral("/dev/ttyS10")},
        {12, QStringLiteral("/dev/ttyS11")},
        {0, QString()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.port);
        EXPECT_EQ(comDevicePath(c.port), c.expected);
    }
    EXPECT_EQ(comName(12), "COM12");
    EXPECT_EQ(portFolderPath(), folder.path());
}

TEST(ComPorts, TheDefaultPortsFolderIsInTheUsersConfiguration) {
    const QByteArray previous = qgetenv("VR5XP_PORT_DIR");
    qunsetenv("VR5XP_PORT_DIR");
    EXPECT_EQ(
        portFolderPath(),
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/Tarnell/ports");
    EXPECT_EQ(comDevicePath(3), "/dev/ttyS2");
    if (!previous.isEmpty()) qputenv("VR5XP_PORT_DIR", previous);
}

TEST(ComPorts, TheMapShowsLinkedNamesAndDevicesWithoutOne) {
    PortFolder folder;
    QTemporaryDir devices;
    const QString adapter = makeFile(devices.filePath(QStringLiteral("ttyUSB7")));
    const QString byId = devices.filePath(QStringLiteral("by-id-adapter"));
    ASSERT_TRUE(QFile::link(adapter, byId));
    const QString dongle = makeFile(devices.filePath(QStringLiteral("ttyACM0")));

    ASSERT_TRUE(folder.link(8, QStringLiteral("/dev/rfcomm0")));  // not bound just now
    ASSERT_TRUE(folder.link(4, dongle));                          // COM4 no longer /dev/ttyS3
    ASSERT_TRUE(folder.link(150, byId));                          // the adapter, by another name
    makeFile(folder.entry(QStringLiteral("COM0")));
    makeFile(folder.entry(QStringLiteral("COM201")));
    makeFile(folder.entry(QStringLiteral("COM08")));
    makeFile(folder.entry(QStringLiteral("notes.txt")));

    const QStringList present{QStringLiteral("/dev/rfcomm0"), QStringLiteral("/dev/ttyS0"),
                              QStringLiteral("/dev/ttyS3"),   QStringLiteral("/dev/ttyS250"),
                              QStringLiteral("/dev/ttyUSB0"), adapter,
                              QStringLiteral("/dev/ttyUSB0"), dongle};
    const SerialPortMap map = serialPortMap(present);
    const QMap<unsigned, QString> mapped{
        {4, dongle}, {8, QStringLiteral("/dev/rfcomm0")}, {150, byId}};
    EXPECT_EQ(map.mapped, mapped);
    // /dev/ttyS0 is COM1's by default, the adapter and the dongle have their names already.
    EXPECT_EQ(map.unmapped,
              (QStringList{QStringLiteral("/dev/ttyS3"), QStringLiteral("/dev/ttyS250"),
                           QStringLiteral("/dev/ttyUSB0")}));
    // The COM names that reach a device present now: a link to it, by any name, or a built-in
    // port without a link of its own.
    const QMap<unsigned, QString> reaching{{1, QStringLiteral("/dev/ttyS0")},
                                           {4, dongle},
                                           {8, QStringLiteral("/dev/rfcomm0")},
                                           {150, byId}};
    EXPECT_EQ(map.present, reaching);

    // An empty or missing folder maps nothing.
    PortFolder empty;
    const SerialPortMap none = serialPortMap({QStringLiteral("/dev/ttyS1")});
    EXPECT_TRUE(none.mapped.isEmpty());
    EXPECT_TRUE(none.unmapped.isEmpty());
    EXPECT_EQ(none.present, (QMap<unsigned, QString>{{2, QStringLiteral("/dev/ttyS1")}}));
}

TEST(ComPorts, ANewDeviceGetsTheFirstFreeComName) {
    PortFolder folder;
    ASSERT_TRUE(folder.link(1, QStringLiteral("/dev/ttyACM0")));
    ASSERT_TRUE(folder.link(2, folder.entry(QStringLiteral("gone"))));  // broken: still taken
    ASSERT_TRUE(folder.link(4, QStringLiteral("/dev/ttyACM1")));
    // COM3 is the built-in /dev/ttyS2, which has hardware behind it; COM5's /dev/ttyS4 is a
    // node without one and does not hold the number.
    const QStringList present{QStringLiteral("/dev/ttyS2"), QStringLiteral("/dev/rfcomm0")};

    QString message;
    EXPECT_EQ(mapDeviceToFreeCom(QStringLiteral("/dev/rfcomm0"), present, &message), 5u);
    EXPECT_EQ(QFileInfo(folder.entry(QStringLiteral("COM5"))).symLinkTarget(), "/dev/rfcomm0");
    EXPECT_EQ(comDevicePath(5), folder.entry(QStringLiteral("COM5")));
    // Asked again, the device keeps its name.
    EXPECT_EQ(mapDeviceToFreeCom(QStringLiteral("/dev/rfcomm0"), present, &message), 5u);
    EXPECT_EQ(mapDeviceToFreeCom(QStringLiteral("/dev/ttyACM1"), present, &message), 4u);
    EXPECT_EQ(mapDeviceToFreeCom(QStringLiteral("/dev/ttyUSB0"), present, &message), 6u);
    EXPECT_TRUE(message.isEmpty());
    EXPECT_EQ(entriesOf(folder.path()), (QStringList{"COM1", "COM2", "COM4", "COM5", "COM6"}));
}

TEST(ComPorts, TheFolderIsMadeWhenMissing) {
    PortFolder parent;
    const QString nested = parent.entry(QStringLiteral("Tarnell/ports"));
    qputenv("VR5XP_PORT_DIR", nested.toLocal8Bit());
    EXPECT_EQ(mapDeviceToFreeCom(QStringLiteral("/dev/ttyUSB0"), {}, nullptr), 1u);
    EXPECT_EQ(QFileInfo(nested + "/COM1").symLinkTarget(), "/dev/ttyUSB0");
}

TEST(ComPorts, RefusalsLeaveNothingBehind) {
    PortFolder parent;
    const QString blocker = makeFile(parent.entry(QStringLiteral("a-file")));
    PortFolder full;
    for (unsigned n = 1; n <= kComPortCount; ++n)
        ASSERT_TRUE(full.link(n, QStringLiteral("/dev/ttyACM%1").arg(n)));

    const struct {
        QString folder;
        QString device;
        QString expected;
    } cases[] = {
        {parent.path(), QStringLiteral("ttyUSB0"), "ttyUSB0 is not a device path."},
        {parent.path(), QString(), " is not a device path."},
        {blocker + "/ports", QStringLiteral("/dev/ttyUSB0"),
         "The ports folder " + blocker + "/ports could not be created."},
        {full.path(), QStringLiteral("/dev/ttyUSB0"),
         "/dev/ttyUSB0 could not be given a COM name: COM1 to COM200 are all in use."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected.toStdString());
        qputenv("VR5XP_PORT_DIR", c.folder.toLocal8Bit());
        const QStringList before = entriesOf(c.folder);
        QString message;
        EXPECT_EQ(mapDeviceToFreeCom(c.device, {}, &message), std::nullopt);
        EXPECT_EQ(message, c.expected);
        EXPECT_EQ(entriesOf(c.folder), before);
    }
    EXPECT_EQ(entriesOf(parent.path()), QStringList{"a-file"});
}

}  // namespace
}  // namespace vr5
