#include "page/zoom.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace vr5 {

namespace {
// Steps close together near true size, where a reader fine-tunes, and wider apart beyond.
constexpr std::array<int, 13> kSteps = {50,  67,  75,  90,  100, 110, 125,
                                        150, 175, 200, 250, 300, 400};
}  // namespace

int validZoom(int percent) {
    return percent >= kMinZoom && percent <= kMaxZoom ? percent : kActualSize;
}

int zoomIn(int percent) {
    for (int step : kSteps) {
        if (step > percent) return step;
    }
    return kMaxZoom;
}

int zoomOut(int percent) {
    for (auto it = kSteps.rbegin(); it != kSteps.rend(); ++it) {
        if (*it < percent) return *it;
    }
    return kMinZoom;
}

int fitWidthZoom(int viewWidth, double pageWidth, int margin) {
    if (pageWidth <= 0) return kActualSize;
    const double room = std::max(0, viewWidth - 2 * margin);
    const int percent = static_cast<int>(std::floor(room * 100.0 / pageWidth));
    return std::clamp(percent, kMinZoom, kMaxZoom);
}

}  // namespace vr5
