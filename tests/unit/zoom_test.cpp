#include "page/zoom.h"

#include <gtest/gtest.h>

namespace vr5 {
namespace {

TEST(Zoom, StepsUpAndDownStayWithinTheLimits) {
    const struct {
        int from, in, out;
    } cases[] = {
        {100, 110, 90},  {50, 67, 50}, {400, 400, 300}, {83, 90, 75},
        {399, 400, 300}, {51, 67, 50}, {67, 75, 50},    {250, 300, 200},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(zoomIn(c.from), c.in) << c.from;
        EXPECT_EQ(zoomOut(c.from), c.out) << c.from;
    }
    // Pressed again and again, both ends hold.
    int z = 100;
    for (int i = 0; i < 30; ++i) z = zoomIn(z);
    EXPECT_EQ(z, kMaxZoom);
    for (int i = 0; i < 30; ++i) z = zoomOut(z);
    EXPECT_EQ(z, kMinZoom);
}

TEST(Zoom, RememberedValuesOutsideTheRangeAreTrueSize) {
    for (int bad : {0, -5, 49, 401, 100000}) EXPECT_EQ(validZoom(bad), 100) << bad;
    for (int good : {50, 83, 400}) EXPECT_EQ(validZoom(good), good);
}

TEST(Zoom, FitWidthFillsTheViewBetweenItsMargins) {
    // A page 816 pixels wide at 96 dpi, 12 pixels of desk each side.
    EXPECT_EQ(fitWidthZoom(840, 816, 12), 100);
    EXPECT_EQ(fitWidthZoom(1656, 816, 12), 200);
    EXPECT_EQ(fitWidthZoom(441, 816, 12), 51);
    EXPECT_EQ(fitWidthZoom(100, 816, 12), 50);  // too narrow: the smallest zoom
    EXPECT_EQ(fitWidthZoom(9000, 816, 12), 400);
    EXPECT_EQ(fitWidthZoom(0, 816, 12), 50);
    EXPECT_EQ(fitWidthZoom(800, 0, 12), 100);
}

}  // namespace
}  // namespace vr5
