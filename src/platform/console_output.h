#pragma once

#include <QtGlobal>

namespace vr5 {

// The Windows program is a window program, which Windows starts without standard output even
// from a console: a command without a window (--dump, --download, ...) started from one writes
// to that console instead, and a Ctrl+C there reaches it. Output sent to a file or a pipe stays
// where it goes. Call first thing, for those commands only. Nothing to do elsewhere.
#ifdef Q_OS_WIN
void attachToCallersConsole();
#else
inline void attachToCallersConsole() {}
#endif

}  // namespace vr5
