#include "setup/heater_temp_page.h"

#include "settings/settings_keys.h"
#include "setup/typed_text.h"
#include "text/number_text.h"

namespace vr5 {

bool HeaterTempPage::accept() {
    // Blanks alone are no reading, and blanks around one would end up before the unit label.
    const QString reading = oneLine(temperature).trimmed();
    const QString stored = reading.isEmpty() ? QString::fromLatin1(kNoTemperature)
                                             : reading + u' ' + c_.state.temperatureUnitLabel;
    c_.settings.write(keys::ExtHtrTemp, storedText(stored));
    return true;
}

}  // namespace vr5
