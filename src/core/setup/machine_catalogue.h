#pragma once

#include <QString>
#include <QStringList>
#include <span>

namespace vr5 {

// One fusion machine model: its effective hydraulic piston area in square inches (kept as the
// text the operator sees) and its name.
struct MachineModel {
    const char* pistonArea;
    const char* name;
};

// The machine models in the order the Machine page lists them; a model is remembered by its
// position, so the order is stored data and never changes. "Unlisted" follows as the last
// entry of the list.
std::span<const MachineModel> machineModels();
inline constexpr const char* kUnlisted = "Unlisted";
// List entries: the models and "Unlisted".
int machineListSize();
inline int unlistedMachineIndex() {
    return machineListSize() - 1;
}
// The name shown at a list position ("Unlisted" for the last one, empty outside the list).
QString machineListName(int index);

// The units a typed area may be in, in list order: "in²" (0), "cm²" (1).
const QStringList& areaUnitTexts();

// The mechanical machine: set up from a fitting label, no gauge pressures.
bool IsMechanicalMachine(const QString& currentModelText);

}  // namespace vr5
