#pragma once

#include <QString>

namespace vr5 {

// Sample times are counted in ticks of 0.2 s.
inline constexpr int kTicksPerSecond = 5;
inline constexpr int kTicksPerMinute = 300;
inline constexpr int kTicksPerHour = 18000;

// "h:mm:ss.t" as the report shows it; negative minutes or seconds show as 0.
QString formatTicks(int ticks);

}  // namespace vr5
