#pragma once

#include <QString>
#include <QStringList>

namespace vr5 {

// Pipe materials in list order; the last entry, "Unlisted", lets the operator type one.
// Shared by the Pipe and Fitting pages; a material is remembered by its position.
const QStringList& pipeMaterials();
inline int unlistedMaterialIndex() {
    return static_cast<int>(pipeMaterials().size()) - 1;
}

inline constexpr double kMillimetresPerInch = 25.4;
inline constexpr double kPipeAreaPi = 3.1416;  // the value the area formula has always used

// How a pipe size number gives the outside diameter. Any other index counts as IPS.
enum class SizeSystem { Ips = 0, Dips = 1, InchOd = 2, MmOd = 3, MmJis = 4 };
const QStringList& sizeSystemTexts();  // "\" IPS", "\" DIPS", "\" O.D.", "mm O.D.", "mm JIS"

// How the wall number gives the wall thickness. Any other index counts as DR.
enum class WallKind { Dr = 0, InchWt = 1, MmWt = 2 };
const QStringList& wallKindTexts();  // "DR", "\" WT", "mm WT"

// Outside diameter in inches of a size number in a size system (a stored index); 0 when the
// size is not in the system's table or not positive.
double outsideDiameter(double size, int sizeSystem);

// Wall thickness in inches from the entered wall number.
double wallThickness(double outsideDiameter, double wall, int wallKind);

// The fusion area of the pipe's annular end, in square inches.
double annulusArea(double outsideDiameter, double wallThickness);

}  // namespace vr5
