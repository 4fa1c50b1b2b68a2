#pragma once

#include <QDateTime>
#include <QString>

#include "settings/settings_store.h"

namespace vr5 {

// The previous joint's set-up as numbered lines, each ending in "\n", for the question whether
// to use it again: date and time, the operator's numbers, the machine, the pipe or the fitting
// and the pressures, read from the remembered values.
QString buildSetupSummary(const SettingsStore& settings, const QDateTime& now);

}  // namespace vr5
