#pragma once

#include <QString>

#include "setup/setup_context.h"

namespace vr5 {

// The Heater Temperature page: the probe logs the heater plate's temperature; a reading taken
// with another thermometer may be added here.
class HeaterTempPage {
public:
    static constexpr const char* kCaption = "Heater Temperature";
    static constexpr const char* kPrompt =
        "Press \"Log\" on the probe to record temperature reading.  Optional external "
        "temperature reading may be entered here:";
    static constexpr const char* kNoTemperature = "---";

    explicit HeaterTempPage(SetupContext context) : c_(context) {}

    // The box starts empty on every visit.
    QString temperature;

    void load() { temperature.clear(); }
    // "Next >>": stores the reading with the current temperature unit label, or "---" for none.
    // Always closes.
    bool accept();

private:
    SetupContext c_;
};

}  // namespace vr5
