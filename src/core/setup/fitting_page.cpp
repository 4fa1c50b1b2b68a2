#include "setup/fitting_page.h"

#include "settings/settings_keys.h"
#include "setup/fitting_catalogue.h"
#include "setup/typed_text.h"

namespace vr5 {

namespace {

int listPosition(int stored, qsizetype listSize) {
    return stored >= 0 && stored < listSize ? stored : -1;
}

}  // namespace

void FittingPage::load() {
    typeIndex = listPosition(c_.settings.read(keys::FittingType, 0), fittingTypes().size());
    mainUnit = listPosition(c_.settings.read(keys::FittingMainUnit, 0), fittingSizeUnits().size());
    outletUnit =
        listPosition(c_.settings.read(keys::FittingOutletUnit, 0), fittingSizeUnits().size());
    mainSize = c_.settings.read(keys::FittingMainSize);
    outletSize = c_.settings.read(keys::FittingOutletSize);
    fusePressure = c_.settings.read(keys::FittingFusePressure);
    beadPressure = c_.settings.read(keys::FittingHeatPressure);
    material.load(c_.settings);
}

bool FittingPage::accept() {
    c_.settings.write(keys::FittingType, typeIndex);
    c_.settings.write(keys::FittingMainUnit, mainUnit);
    c_.settings.write(keys::FittingOutletUnit, outletUnit);
    c_.settings.write(keys::FittingMainSize, storedLine(mainSize, kSizeLength));
    c_.settings.write(keys::FittingOutletSize, storedLine(outletSize, kSizeLength));
    c_.settings.write(keys::FittingFusePressure, storedLine(fusePressure, kPressureLength));
    c_.settings.write(keys::FittingHeatPressure, storedLine(beadPressure, kPressureLength));
    material.store(c_.settings);
    return true;
}

}  // namespace vr5
