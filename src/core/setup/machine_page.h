#pragma once

#include <QString>

#include "setup/machine_catalogue.h"
#include "setup/setup_context.h"

namespace vr5 {

// The Machine page: which fusion machine is used and, for one not in the list, its model and
// piston area.
class MachinePage {
public:
    static constexpr int kIdLength = 20;
    static constexpr int kModelTextLength = 20;
    static constexpr const char* kCaption = "Machine";
    static constexpr const char* kPistonAreaLabel = "Piston Area: ";
    // The typed piston area as a refusal names it.
    static constexpr const char* kPistonAreaField = "Piston area";

    explicit MachinePage(SetupContext context) : c_(context) {}

    // The page's values; the dialog shows them and puts the operator's entries back before
    // accept().
    QString machineId;
    int modelIndex = 0;
    QString modelText;       // typed for "Unlisted"
    QString pistonArea;      // typed for "Unlisted"
    int pistonAreaUnit = 0;  // selection of the unit box, -1 for a typed unit

    // Reads the remembered values.
    void load();
    // The operator picked another model: the typed boxes are emptied.
    void selectModel(int index);
    // "Unlisted" is chosen: model text, piston area and unit are typed.
    bool typedMode() const { return modelIndex == vr5::unlistedMachineIndex(); }
    // "Piston Area: " followed, for a listed model, by its catalogue area.
    QString pistonAreaLabel() const;
    // "Next >>": stores the values and makes the chosen model the current one, and closes. A
    // typed piston area that is neither empty nor a number is refused with a message: nothing
    // changes and the page stays open.
    bool accept();

private:
    SetupContext c_;
};

}  // namespace vr5
