#include "text/tick_format.h"

namespace vr5 {

QString formatTicks(int ticks) {
    const int hours = ticks / kTicksPerHour;
    int minutes = ticks / kTicksPerMinute - 60 * hours;
    int seconds = ticks / kTicksPerSecond - 60 * minutes - 3600 * hours;
    const int tenths = (ticks % kTicksPerSecond) * 2;
    if (minutes < 0) minutes = 0;
    if (seconds < 0) seconds = 0;
    return QString::asprintf("%0d:%02d:%02d.%0d", hours, minutes, seconds, tenths);
}

}  // namespace vr5
