#pragma once

#include <QFileInfo>
#include <QString>

namespace vr5 {

// Reports (.tjr) and calibration files (.tdc), in any letter case, are the logger's records: no
// output the program writes ever replaces one.
inline bool isRecordFile(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == u"tjr" || suffix == u"tdc";
}

// What an output that would replace one of them is told.
inline QString recordFileRefusal(const QString& path) {
    return QStringLiteral("%1 is a report or calibration file; it is never written over.")
        .arg(path);
}

}  // namespace vr5
