#include "setup/machine_page.h"

#include "settings/settings_keys.h"
#include "setup/machine_catalogue.h"
#include "setup/number_entry.h"
#include "setup/typed_text.h"
#include "text/number_text.h"

namespace vr5 {

void MachinePage::load() {
    machineId = c_.settings.read(keys::MachineId);
    modelIndex = c_.settings.read(keys::MachineModelInx, 0);
    if (modelIndex < 0 || modelIndex >= machineListSize()) modelIndex = 0;
    modelText = typedMode() ? c_.settings.read(keys::MachineModelText) : QString();
    pistonArea = c_.settings.read(keys::PistonArea);
    pistonAreaUnit = c_.settings.read(keys::PistonAreaUnit, 0);
    // A listed model always shows its area in square inches.
    if (!typedMode()) pistonAreaUnit = 0;
}

void MachinePage::selectModel(int index) {
    modelIndex = index;
    modelText.clear();
    pistonArea.clear();
    if (!typedMode()) pistonAreaUnit = 0;
}

QString MachinePage::pistonAreaLabel() const {
    QString label = QString::fromLatin1(kPistonAreaLabel);
    if (!typedMode() && modelIndex >= 0 && modelIndex < unlistedMachineIndex()) {
        label += QString::fromLatin1(machineModels()[static_cast<size_t>(modelIndex)].pistonArea);
    }
    return label;
}

bool MachinePage::accept() {
    if (modelIndex < 0 || modelIndex >= machineListSize()) modelIndex = 0;
    QString area = pistonArea;
    // Every gauge pressure divides by it.
    if (typedMode() && !checkNumber(c_, kPistonAreaField, storedLine(area))) return false;
    if (typedMode()) {
        c_.state.currentMachineModelText = oneLine(leftWhole(modelText, kModelTextLength));
    } else {
        c_.state.currentMachineModelText = machineListName(modelIndex);
        area = QString::fromLatin1(machineModels()[static_cast<size_t>(modelIndex)].pistonArea);
        pistonAreaUnit = 0;  // a listed area is in square inches
    }
    c_.settings.write(keys::MachineId, storedLine(machineId, kIdLength));
    c_.settings.write(keys::MachineModelText, storedText(c_.state.currentMachineModelText));
    c_.settings.write(keys::MachineModelInx, modelIndex);
    c_.settings.write(keys::PistonArea, storedLine(area));
    c_.settings.write(keys::PistonAreaUnit, pistonAreaUnit);
    return true;
}

}  // namespace vr5
