#pragma once

#include <QString>

#include "setup/setup_context.h"

namespace vr5 {

// The Pipe Area dialog: the fusion area typed for a direct-area machine, in in² or cm².
class PipeAreaPage {
public:
    static constexpr const char* kCaption = "Pipe Area";
    static constexpr int kAreaLength = 7;
    // The typed area as a refusal names it.
    static constexpr const char* kAreaField = "Pipe area";

    explicit PipeAreaPage(SetupContext context) : c_(context) {}

    QString area;
    int unitIndex = 0;  // selection of the unit box, -1 for a typed unit

    // Reads the remembered area; a stored unit outside the list counts as in².
    void load();
    // OK: stores the unit, then the area as typed, and closes. An area that is neither empty nor
    // a number is refused with a message: nothing is stored and the dialog stays open.
    bool accept();

    // The stored unit as readers take it: anything but cm² is in².
    static int storedUnitIndex(const SettingsStore& settings);

private:
    SetupContext c_;
};

}  // namespace vr5
