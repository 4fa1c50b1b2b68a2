#include "setup/pipe_area_page.h"

#include "settings/settings_keys.h"
#include "setup/machine_catalogue.h"
#include "setup/number_entry.h"
#include "setup/typed_text.h"

namespace vr5 {

int PipeAreaPage::storedUnitIndex(const SettingsStore& settings) {
    const int unit = settings.read(keys::PipeAreaZxUnitInx, 0);
    return unit >= 0 && unit < areaUnitTexts().size() ? unit : 0;
}

void PipeAreaPage::load() {
    unitIndex = storedUnitIndex(c_.settings);
    area = c_.settings.read(keys::PipeAreaZx);
}

bool PipeAreaPage::accept() {
    // The gauge pressures of a direct-area machine multiply by it.
    if (!checkNumber(c_, kAreaField, storedLine(area, kAreaLength))) return false;
    c_.settings.write(keys::PipeAreaZxUnitInx, unitIndex);
    c_.settings.write(keys::PipeAreaZx, storedLine(area, kAreaLength));
    return true;
}

}  // namespace vr5
