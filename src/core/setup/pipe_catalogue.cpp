#include "setup/pipe_catalogue.h"

#include <utility>

namespace vr5 {

namespace {

using SizeTable = std::initializer_list<std::pair<double, double>>;

// Nominal inches → outside diameter in inches.
constexpr SizeTable kIps = {
    {2, 2.375}, {2.5, 2.875}, {3, 3.5},    {3.5, 4.0}, {4, 4.5}, {5, 5.563}, {6, 6.625},
    {8, 8.625}, {10, 10.75},  {12, 12.75}, {14, 14},   {16, 16}, {18, 18},   {20, 20},
    {22, 22},   {24, 24},     {26, 26},    {28, 28},   {30, 30}, {32, 32},   {34, 34},
    {36, 36},   {42, 42},     {46, 46},    {48, 48},   {54, 54}, {63, 63},   {65, 65},
};
constexpr SizeTable kDips = {
    {3, 3.96},  {4, 4.8},   {6, 6.9},   {8, 9.05},  {10, 11.1},  {12, 13.2},
    {14, 15.3}, {16, 17.4}, {18, 19.5}, {20, 21.6}, {24, 25.8},  {30, 32.0},
    {36, 38.3}, {42, 44.5}, {48, 50.8}, {54, 57.1}, {60, 61.61}, {64, 65.64},
};
// Nominal millimetres → outside diameter in inches.
constexpr SizeTable kJis = {
    {20, 1.06}, {25, 1.34},   {30, 1.65},   {40, 1.89},   {50, 2.36},
    {75, 3.5},  {100, 4.49},  {125, 5.51},  {150, 6.49},  {175, 7.48},
    {200, 8.5}, {250, 10.51}, {300, 12.52}, {350, 14.57}, {400, 16.54},
};

double lookUp(SizeTable table, double size) {
    for (const auto& [nominal, od] : table) {
        if (nominal == size) return od;
    }
    return 0;
}

}  // namespace

const QStringList& pipeMaterials() {
    static const QStringList list = {
        "EXEL",
        "ISO (Single HF IP)",
        "ISO (Single LF IP)",
        "KPE",
        "PA11",
        "PA12",
        "PE100",
        "PE80",
        "PE 2406",
        "PE 2602",
        "PE 2606",
        "PE 2706",
        "PE 2708",
        "PE 3408",
        "PE 3608",
        "PE 3708",
        "PE 3710",
        "PE 4608",
        "PE 4708",
        "PE 4710",
        "Unlisted",
    };
    return list;
}

const QStringList& sizeSystemTexts() {
    static const QStringList list = {"\" IPS", "\" DIPS", "\" O.D.", "mm O.D.", "mm JIS"};
    return list;
}

const QStringList& wallKindTexts() {
    static const QStringList list = {"DR", "\" WT", "mm WT"};
    return list;
}

double outsideDiameter(double size, int sizeSystem) {
    switch (static_cast<SizeSystem>(sizeSystem)) {
        case SizeSystem::Dips:
            return lookUp(kDips, size);
        case SizeSystem::InchOd:
            return size > 0 ? size : 0;
        case SizeSystem::MmOd:
            return size > 0 ? size / kMillimetresPerInch : 0;
        case SizeSystem::MmJis:
            return lookUp(kJis, size);
        case SizeSystem::Ips:
            break;
    }
    return lookUp(kIps, size);
}

double wallThickness(double od, double wall, int wallKind) {
    switch (static_cast<WallKind>(wallKind)) {
        case WallKind::InchWt:
            return wall;
        case WallKind::MmWt:
            return wall / kMillimetresPerInch;
        case WallKind::Dr:
            break;
    }
    return od / wall;
}

double annulusArea(double od, double t) {
    const double id = od - 2 * t;
    return (od * od - id * id) * kPipeAreaPi / 4;
}

}  // namespace vr5
