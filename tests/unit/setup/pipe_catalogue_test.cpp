#include "setup/pipe_catalogue.h"

#include <gtest/gtest.h>

#include "setup/fitting_catalogue.h"
#include "test_support.h"

namespace vr5 {
namespace {

TEST(PipeCatalogue, ListsKeepTheirStoredOrder) {
    ASSERT_EQ(pipeMaterials().size(), 21);
    struct Case {
        int index;
        const char* material;
    } materials[] = {
        {0, "EXEL"},
        {1, "ISO (Single HF IP)"},
        {2, "ISO (Single LF IP)"},
        {6, "PE100"},
        {7, "PE80"},
        {8, "PE 2406"},
        {19, "PE 4710"},
        {20, "Unlisted"},
    };
    for (const Case& c : materials) EXPECT_EQ(pipeMaterials()[c.index], c.material) << c.index;
    EXPECT_EQ(unlistedMaterialIndex(), 20);

    EXPECT_EQ(sizeSystemTexts(),
              QStringList({"\" IPS", "\" DIPS", "\" O.D.", "mm O.D.", "mm JIS"}));
    EXPECT_EQ(wallKindTexts(), QStringList({"DR", "\" WT", "mm WT"}));
    EXPECT_EQ(fittingTypes(),
              QStringList({"Service Saddle", "Tap Tee", "Branch Saddle", "H2O Tap Tee"}));
    EXPECT_EQ(fittingSizeUnits(), QStringList({"\" IPS", "\" DIPS", "\" CTS", "mm"}));
    EXPECT_EQ(fittingUnitTexts(), QStringList({"\" IPS", "\" DIPS", "\" CTS", "mm", "mm JIS"}));
}

TEST(PipeCatalogue, OutsideDiameterInEverySizeSystem) {
    constexpr int ips = 0, dips = 1, inchOd = 2, mmOd = 3, jis = 4;
    struct Case {
        double size;
        int system;
        double od;
    } cases[] = {
        // IPS: first, last, the odd half sizes and the sizes that are their own OD.
        {2, ips, 2.375},
        {2.5, ips, 2.875},
        {3.5, ips, 4.0},
        {5, ips, 5.563},
        {12, ips, 12.75},
        {14, ips, 14},
        {46, ips, 46},
        {65, ips, 65},
        {40, ips, 0},
        {2.4, ips, 0},
        {1, ips, 0},
        {0, ips, 0},
        {-4, ips, 0},
        {66, ips, 0},
        // DIPS.
        {3, dips, 3.96},
        {30, dips, 32.0},
        {60, dips, 61.61},
        {64, dips, 65.64},
        {2, dips, 0},
        {5, dips, 0},
        {61.61, dips, 0},
        // JIS, nominal millimetres.
        {20, jis, 1.06},
        {75, jis, 3.5},
        {400, jis, 16.54},
        {21, jis, 0},
        {1.06, jis, 0},
        // O.D. sizes are the diameter itself; not greater than 0 is no size.
        {4.5, inchOd, 4.5},
        {0.001, inchOd, 0.001},
        {0, inchOd, 0},
        {-2, inchOd, 0},
        {110, mmOd, 110 / 25.4},
        {25.4, mmOd, 1},
        {0, mmOd, 0},
        {-110, mmOd, 0},
        // Any other system, no selection included, is IPS.
        {2.5, -1, 2.875},
        {2.5, 5, 2.875},
        {20, 99, 20},
        {75, -1, 0},
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(outsideDiameter(c.size, c.system), c.od)
            << c.size << " in system " << c.system;
    }
}

TEST(PipeCatalogue, WallThicknessAndArea) {
    struct Case {
        double od, wall;
        int kind;
        double thickness;
    } cases[] = {
        {4.5, 11, 0, 4.5 / 11},  {4.5, 0.5, 1, 0.5}, {4.5, 12.7, 2, 0.5},
        {4.5, 11, -1, 4.5 / 11}, {4.5, 9, 3, 0.5},
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(wallThickness(c.od, c.wall, c.kind), c.thickness) << c.kind;
    }
    // The area formula keeps its own pi: 3.1416 x t x (OD - t).
    EXPECT_NEAR(annulusArea(4.5, 4.5 / 11), 5.257636, 5e-7);
    EXPECT_NEAR(annulusArea(2, 0.5), 3.1416 * 0.5 * 1.5, 1e-12);
}

}  // namespace
}  // namespace vr5
