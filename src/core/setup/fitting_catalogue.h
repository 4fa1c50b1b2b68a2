#pragma once

#include <QStringList>

namespace vr5 {

// Fitting types in list order ("Service Saddle", "Tap Tee", "Branch Saddle", "H2O Tap Tee").
const QStringList& fittingTypes();
// The units the Fitting page offers for main and outlet sizes.
const QStringList& fittingSizeUnits();
// The unit texts used to turn a stored unit index back into text: the page's four and "mm JIS".
const QStringList& fittingUnitTexts();

}  // namespace vr5
