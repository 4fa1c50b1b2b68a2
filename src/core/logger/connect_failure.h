#pragma once

#include <QString>

namespace vr5 {

// The port a connect tried: its COM name and the device that name reaches here.
struct PortTried {
    QString name;    // "COM8"
    QString device;  // "/dev/rfcomm0"; on Windows the COM name itself
};

// "Could not connect to Fusilog®.  Please make sure Bluetooth® is turned on." and, when the
// port is known, which port was tried and where another one is chosen.
QString connectFailedText(const PortTried& port);

}  // namespace vr5
