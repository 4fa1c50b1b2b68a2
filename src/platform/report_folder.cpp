#include "platform/report_folder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace vr5 {

QString reportFolderPath() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
        .filePath(QStringLiteral("Joint Reports"));
}

bool ensureReportFolder() {
    const QString path = reportFolderPath();
    return QDir().mkpath(path) && QFileInfo(path).isDir();
}

}  // namespace vr5
