#include "settings/recent_files.h"

#include "settings/settings_keys.h"

namespace vr5 {

QStringList RecentFileList::entries() const {
    QStringList list;
    for (int i = 0; i < keys::kRecentFileCount; ++i) {
        const QString path = store_.read(keys::recentFile(i));
        if (!path.isEmpty()) list << path;
    }
    return list;
}

void RecentFileList::add(const QString& path) {
    if (path.isEmpty()) return;
    QStringList list = entries();
    list.removeAll(path);
    list.prepend(path);
    save(list);
}

void RecentFileList::remove(const QString& path) {
    QStringList list = entries();
    if (list.removeAll(path) > 0) save(list);
}

void RecentFileList::save(const QStringList& list) {
    for (int i = 0; i < keys::kRecentFileCount; ++i) {
        store_.write(keys::recentFile(i), i < list.size() ? list[i] : QString());
    }
}

}  // namespace vr5
