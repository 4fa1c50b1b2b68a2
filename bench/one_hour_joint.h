#pragma once

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

// A joint of 12,000 status replies 0.3 s apart (one hour): drag, bead-up, a long soak at drag,
// the open, the build-up and an hour's cooling at fusion pressure, with a little noise.
namespace vr5::bench {

inline std::vector<std::pair<double, double>> oneHourJoint() {
    std::vector<std::pair<double, double>> replies;
    unsigned seed = 7;
    for (int i = 0; i < 12000; ++i) {
        const double t = 0.3 * i;
        double p = t < 5     ? 30
                   : t < 40  ? 337
                   : t < 400 ? 30
                   : t < 406 ? 0
                   : t < 410 ? (t - 406) / 4 * 337
                             : 337;
        seed = seed * 1103515245u + 12345u;
        p += static_cast<double>((seed >> 16) % 5) - 2;
        replies.push_back({t, std::max(0.0, std::round(p))});
    }
    return replies;
}

}  // namespace vr5::bench
