#pragma once

#include <QFileInfo>
#include <QString>
#include <filesystem>
#include <system_error>

namespace vr5 {

// The file that writing to `path` would really replace. Files are written whole and renamed into
// place at the end of a symbolic link, so a link is followed to its end, through chains of
// links, and to a target that does not exist yet, which the write would create. The link's
// own text is read rather than a cleaned path, so ".." after a linked folder goes where the
// system goes.
inline QString outputTarget(const QString& path) {
    namespace fs = std::filesystem;
    fs::path target(path.toStdU16String());
    // As many links as a system follows before it gives up; a loop ends there too, and nothing
    // can be written through one anyway.
    for (int hop = 0; hop < 40; ++hop) {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(target, error)) || error) break;
        const fs::path next = fs::read_symlink(target, error);
        if (error) break;
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    return QString::fromStdU16String(target.u16string());
}

// Reports (.tjr) and calibration files (.tdc), in any letter case, are the logger's records: no
// output the program writes ever replaces one, not even through a link that leads to one.
inline bool isRecordFile(const QString& path) {
    for (const QString& name : {path, outputTarget(path)}) {
        const QString suffix = QFileInfo(name).suffix().toLower();
        if (suffix == u"tjr" || suffix == u"tdc") return true;
    }
    return false;
}

// What an output that would replace one of them is told.
inline QString recordFileRefusal(const QString& path) {
    const QString target = outputTarget(path);
    if (target != path) {
        return QStringLiteral(
                   "%1 leads to %2, a report or calibration file; it is never written "
                   "over.")
            .arg(path, QFileInfo(target).absoluteFilePath());
    }
    return QStringLiteral("%1 is a report or calibration file; it is never written over.")
        .arg(path);
}

}  // namespace vr5
