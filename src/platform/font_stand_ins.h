#pragma once

#include <QtGlobal>

namespace vr5 {

// The report page names Arial and Courier New. Where the program draws without a window (the
// offscreen platform of --export-pdf and the other commands), the Windows build's Qt reads only
// the fonts shipped beside the program, the Liberation faces with the same metrics: they stand
// in for the two names, as the system's font configuration makes them do on Linux. Call once the
// application object exists.
#ifdef Q_OS_WIN
void addFontStandIns();
#else
inline void addFontStandIns() {}
#endif

}  // namespace vr5
