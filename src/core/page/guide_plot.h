#pragma once

#include "evaluation/live_guide.h"
#include "page/page_drawing.h"

namespace vr5 {

// The live guide's plot in `box`: the pressure of the replies so far as the report's summary
// plot draws a record (grid, unit, scale, curve), in the pressure unit of Settings, with the
// procedure's fusion pressure range as a band, the joint's four gauge pressures as labelled
// lines, and a mark where each phase began. Its geometry comes with it in `plots`.
PageDrawing buildGuidePlot(const LiveGuide& guide, const PageRect& box, const PageMetrics& m);

// At most this many points of a long joint reach the plot: the highest and lowest of each
// stretch are kept, so no peak or dip is lost.
inline constexpr int kGuidePlotPoints = 4000;

}  // namespace vr5
