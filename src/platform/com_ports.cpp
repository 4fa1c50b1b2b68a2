#include "platform/com_ports.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStandardPaths>

#ifdef Q_OS_WIN
#include <windows.h>

#include <string>
#else
#include <QSerialPortInfo>
#endif

namespace vr5 {

namespace {

[[maybe_unused]] constexpr const char* kNotADevice = "%1 is not a device path.";
[[maybe_unused]] constexpr const char* kNoFolder = "The ports folder %1 could not be created.";
[[maybe_unused]] constexpr const char* kNoLink = "%1 could not be named %2 in the folder %3.";
[[maybe_unused]] constexpr const char* kNoFreeName =
    "%1 could not be given a COM name: COM1 to COM200 are all in use.";
[[maybe_unused]] constexpr const char* kNoNamesHere =
    "On this system every serial port already has its COM name.";

[[maybe_unused]] void tell(QString* message, const QString& text) {
    if (message) *message = text;
}

// The folder's entry for COMn; a link whose device is missing is an entry all the same.
[[maybe_unused]] bool hasEntry(const QDir& folder, unsigned portNumber) {
    const QFileInfo entry(folder.filePath(comName(portNumber)));
    return entry.exists() || entry.isSymLink();
}

[[maybe_unused]] QString builtInDevice(unsigned portNumber) {
    return QStringLiteral("/dev/ttyS%1").arg(portNumber - 1);
}

// Two names for one device (a link and its target) compare alike.
[[maybe_unused]] QString sameDevice(const QString& path) {
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(path) : canonical;
}

#ifdef Q_OS_WIN
// Windows names a device behind COMn now (a USB adapter plugged in, a Bluetooth link paired).
bool comNameExists(unsigned portNumber) {
    const std::wstring name = comName(portNumber).toStdWString();
    wchar_t target[1024];
    return QueryDosDeviceW(name.c_str(), target, DWORD(std::size(target))) != 0 ||
           GetLastError() == ERROR_INSUFFICIENT_BUFFER;
}
#endif

}  // namespace

QString comName(unsigned portNumber) {
    return QStringLiteral("COM%1").arg(portNumber);
}

QString portFolderPath() {
    const QString fromEnvironment = qEnvironmentVariable("VR5XP_PORT_DIR");
    if (!fromEnvironment.isEmpty()) return QDir::cleanPath(fromEnvironment);
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Tarnell/ports");
}

QString comDevicePath(unsigned portNumber) {
    if (portNumber == 0) return {};
#ifdef Q_OS_WIN
    return comName(portNumber);
#else
    const QDir folder(portFolderPath());
    if (hasEntry(folder, portNumber)) return folder.filePath(comName(portNumber));
    return builtInDevice(portNumber);
#endif
}

QStringList presentSerialDevices() {
    QStringList devices;
#ifdef Q_OS_WIN
    for (unsigned n = 1; n <= kComPortCount; ++n) {
        if (comNameExists(n)) devices << comName(n);
    }
#else
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        devices << info.systemLocation();
    devices.sort();
    devices.removeDuplicates();
#endif
    return devices;
}

SerialPortMap serialPortMap([[maybe_unused]] const QStringList& presentDevices) {
    SerialPortMap map;
#ifdef Q_OS_WIN
    // Every device is its COM name: the ones present are marked, none needs mapping.
    for (unsigned n = 1; n <= kComPortCount; ++n) {
        if (presentDevices.contains(comName(n), Qt::CaseInsensitive)) map.present.insert(n, {});
    }
#else
    const QDir folder(portFolderPath());
    QSet<QString> here;
    for (const QString& device : presentDevices) here.insert(sameDevice(device));
    QSet<QString> reached;
    for (unsigned n = 1; n <= kComPortCount; ++n) {
        QString device = builtInDevice(n);
        if (hasEntry(folder, n)) {
            const QFileInfo entry(folder.filePath(comName(n)));
            device = entry.isSymLink() ? entry.symLinkTarget() : entry.filePath();
            map.mapped.insert(n, device);
        }
        reached.insert(sameDevice(device));
        if (here.contains(sameDevice(device))) map.present.insert(n, device);
    }
    for (const QString& device : presentDevices) {
        if (!reached.contains(sameDevice(device)) && !map.unmapped.contains(device))
            map.unmapped << device;
    }
#endif
    return map;
}

std::optional<unsigned> mapDeviceToFreeCom(const QString& devicePath,
                                           [[maybe_unused]] const QStringList& presentDevices,
                                           QString* message) {
#ifdef Q_OS_WIN
    Q_UNUSED(devicePath)
    tell(message, QString::fromLatin1(kNoNamesHere));
    return std::nullopt;
#else
    if (!QDir::isAbsolutePath(devicePath) || devicePath.contains(QLatin1Char('\n'))) {
        tell(message, QString::fromLatin1(kNotADevice).arg(devicePath));
        return std::nullopt;
    }
    const QString folderPath = portFolderPath();
    const QDir folder(folderPath);
    const QString wanted = sameDevice(devicePath);
    QSet<QString> builtIn;
    for (const QString& device : presentDevices) builtIn.insert(sameDevice(device));
    for (unsigned n = 1; n <= kComPortCount; ++n) {
        if (!hasEntry(folder, n)) continue;
        const QFileInfo entry(folder.filePath(comName(n)));
        if (entry.isSymLink() && sameDevice(entry.symLinkTarget()) == wanted) return n;
    }
    if (!QDir().mkpath(folderPath) || !QFileInfo(folderPath).isDir()) {
        tell(message, QString::fromLatin1(kNoFolder).arg(QDir::toNativeSeparators(folderPath)));
        return std::nullopt;
    }
    for (unsigned n = 1; n <= kComPortCount; ++n) {
        if (hasEntry(folder, n) || builtIn.contains(builtInDevice(n))) continue;
        const QString entry = folder.filePath(comName(n));
        if (QFile::link(devicePath, entry)) return n;
        // Someone else took the name meanwhile: the next free one will do.
        if (hasEntry(folder, n)) continue;
        tell(message, QString::fromLatin1(kNoLink).arg(devicePath, comName(n),
                                                       QDir::toNativeSeparators(folderPath)));
        return std::nullopt;
    }
    tell(message, QString::fromLatin1(kNoFreeName).arg(devicePath));
    return std::nullopt;
#endif
}

std::optional<unsigned> mapDeviceToFreeCom(const QString& devicePath, QString* message) {
    return mapDeviceToFreeCom(devicePath, presentSerialDevices(), message);
}

}  // namespace vr5
