#pragma once

#include <QStringList>

#include "settings/settings_store.h"

namespace vr5 {

// The four most recently opened files, most recent first, kept in the settings store.
class RecentFileList {
public:
    explicit RecentFileList(SettingsStore& store) : store_(store) {}

    QStringList entries() const;
    void add(const QString& path);
    void remove(const QString& path);

private:
    void save(const QStringList& list);
    SettingsStore& store_;
};

}  // namespace vr5
