#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>

namespace vr5 {

// The program names its serial port COM1 .. COM200, as the logger's own documents do. Windows
// opens those names directly. Elsewhere each COM name is an entry in the ports folder, a
// symbolic link to the real device (/dev/rfcomm0, /dev/ttyUSB0, a pty); a COM name without an
// entry reaches /dev/ttyS<n-1>, the built-in port of that number.
inline constexpr unsigned kComPortCount = 200;

// "COM9".
QString comName(unsigned portNumber);

// $VR5XP_PORT_DIR when set, else the "Tarnell/ports" folder in the user's configuration folder.
QString portFolderPath();

// What QSerialPort opens for COM<portNumber>: "COMn" on Windows; elsewhere the ports folder's
// entry when there is one (even a link whose device is missing now: a Bluetooth link appears
// only once bound), else /dev/ttyS<n-1>. Empty for port number 0.
QString comDevicePath(unsigned portNumber);

// What the Settings dialog offers beside the plain COM names.
struct SerialPortMap {
    QMap<unsigned, QString> mapped;   // COM number → the device its entry names
    QStringList unmapped;             // serial devices present that no COM name reaches yet
    QMap<unsigned, QString> present;  // COM number → the device present now that it reaches
};

// The serial devices present now (USB adapters, Bluetooth links, built-in ports that have
// hardware behind them). On Windows, where every device already has its COM name, the COM
// names that have a device behind them.
QStringList presentSerialDevices();

// The map as the ports folder holds it at this moment, with presentDevices (a list like
// presentSerialDevices()) for the devices that have no COM name yet.
SerialPortMap serialPortMap(const QStringList& presentDevices);

// Gives devicePath the first free COM name: one without an entry in the ports folder whose
// /dev/ttyS<n-1> is not among presentDevices (so a built-in port keeps its own name). A phantom
// /dev/ttyS node without hardware does not hold its number: most machines have 32 of them.
// A device that already has a COM name keeps it. The folder is created when missing. Refuses
// with a message for the operator, storing nothing, when no link can be made.
std::optional<unsigned> mapDeviceToFreeCom(const QString& devicePath,
                                           const QStringList& presentDevices,
                                           QString* message = nullptr);
// The same with the devices present now.
std::optional<unsigned> mapDeviceToFreeCom(const QString& devicePath, QString* message = nullptr);

}  // namespace vr5
