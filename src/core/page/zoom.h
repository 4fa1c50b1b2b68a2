#pragma once

namespace vr5 {

// How large the report page shows on the screen, in percent of its true size.
inline constexpr int kMinZoom = 50;
inline constexpr int kMaxZoom = 400;
inline constexpr int kActualSize = 100;

// A percentage held within 50..400; anything else (a settings file edited by hand) is 100.
int validZoom(int percent);

// The next step up or down the zoom ladder from any percentage (a fitted width lies between
// steps); at the ends it stays where it is.
int zoomIn(int percent);
int zoomOut(int percent);

// The percentage at which a page `pageWidth` pixels wide at true size, with `margin` pixels of
// desk on each side, fills `viewWidth` pixels; held within 50..400.
int fitWidthZoom(int viewWidth, double pageWidth, int margin);

}  // namespace vr5
