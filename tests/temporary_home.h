#pragma once

#include <QTemporaryDir>

namespace vr5::test {

// Points the home, settings and data folders at a temporary folder, so that nothing a test does
// reaches the user's own. Call before the application object exists.
inline void useTemporaryHome(const QTemporaryDir& home) {
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/.config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/.local/share")).toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", home.path().toLocal8Bit());
}

}  // namespace vr5::test
