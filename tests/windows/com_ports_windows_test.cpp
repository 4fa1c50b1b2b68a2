// The COM names on Windows, run under Wine by tests/windows/run-tests, which links
// VR5_PRESENT_COMS (e.g. "150,151") in the prefix's dosdevices folder and makes sure that
// VR5_ABSENT_COMS are not there.
#include <gtest/gtest.h>

#include <QStringList>

#include "platform/com_ports.h"

namespace vr5 {
namespace {

QList<unsigned> numbersIn(const char* variable) {
    QList<unsigned> numbers;
    const QStringList words =
        qEnvironmentVariable(variable).split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString& word : words) numbers << word.toUInt();
    return numbers;
}

TEST(WindowsComPorts, ThePortsThatExistAreMarkedAndEveryNameIsItsOwnDevice) {
    const QList<unsigned> present = numbersIn("VR5_PRESENT_COMS");
    const QList<unsigned> absent = numbersIn("VR5_ABSENT_COMS");
    ASSERT_FALSE(present.isEmpty()) << "run by tests/windows/run-tests";
    ASSERT_FALSE(absent.isEmpty());

    const QStringList devices = presentSerialDevices();
    const SerialPortMap map = serialPortMap(devices);
    const struct {
        const QList<unsigned>& ports;
        bool there;
    } cases[] = {{present, true}, {absent, false}};
    for (const auto& c : cases) {
        for (unsigned n : c.ports) {
            SCOPED_TRACE(n);
            EXPECT_EQ(devices.contains(comName(n)), c.there);
            EXPECT_EQ(map.present.contains(n), c.there);
            // Windows opens the COM name itself, whether or not a device is behind it now.
            EXPECT_EQ(comDevicePath(n), comName(n));
        }
    }
    // Nothing to map: every device already has its COM name.
    EXPECT_TRUE(map.mapped.isEmpty());
    EXPECT_TRUE(map.unmapped.isEmpty());
    QString message;
    EXPECT_FALSE(mapDeviceToFreeCom(QStringLiteral("COM3"), devices, &message));
    EXPECT_EQ(message,
              QStringLiteral("On this system every serial port already has its COM name."));
    EXPECT_EQ(comDevicePath(0), QString());
}

}  // namespace
}  // namespace vr5
