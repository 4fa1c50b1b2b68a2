#include "setup/fitting_catalogue.h"

namespace vr5 {

const QStringList& fittingTypes() {
    static const QStringList list = {"Service Saddle", "Tap Tee", "Branch Saddle", "H2O Tap Tee"};
    return list;
}

const QStringList& fittingSizeUnits() {
    static const QStringList list = {"\" IPS", "\" DIPS", "\" CTS", "mm"};
    return list;
}

const QStringList& fittingUnitTexts() {
    static const QStringList list = fittingSizeUnits() + QStringList{"mm JIS"};
    return list;
}

}  // namespace vr5
