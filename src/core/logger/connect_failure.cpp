#include "logger/connect_failure.h"

#include <QDir>

namespace vr5 {

QString connectFailedText(const PortTried& port) {
    QString text = QStringLiteral(
        "Could not connect to Fusilog\u00AE.  Please make sure Bluetooth\u00AE is turned on.");
    if (port.name.isEmpty()) return text;
    text += QStringLiteral("\n\nTried ") + port.name;
    const QString device = QDir::toNativeSeparators(port.device);
    if (!device.isEmpty() && device.compare(port.name, Qt::CaseInsensitive) != 0) {
        text += QStringLiteral(" (") + device + u')';
    }
    text += QStringLiteral(".\nChoose another port in File > Settings.");
    return text;
}

}  // namespace vr5
