#pragma once

#include <QFileInfo>

#include "logger/connect_failure.h"
#include "platform/com_ports.h"

namespace vr5 {

// COM<portNumber> and the device it reaches: the target of its ports-folder link, which tells
// the operator more than the link's own name.
inline PortTried portTried(unsigned portNumber) {
    const QString path = comDevicePath(portNumber);
    const QFileInfo entry(path);
    return {comName(portNumber), entry.isSymLink() ? entry.symLinkTarget() : path};
}

}  // namespace vr5
