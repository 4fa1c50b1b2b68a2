#pragma once

#include <QString>

#include "setup/pipe_page.h"

namespace vr5 {

// The Fitting page, shown instead of the Pipe page for the mechanical machine: the pipe
// material, the fitting and the bead and fuse values copied from the fitting's label. Nothing
// on it is computed or checked.
class FittingPage {
public:
    static constexpr const char* kCaption = "Fitting";
    static constexpr int kMaterialTextLength = MaterialChoice::kTextLength;
    static constexpr int kSizeLength = 5;
    static constexpr int kPressureLength = 5;

    explicit FittingPage(SetupContext context) : c_(context) {}

    // The page's values; list positions are -1 when nothing in the list is selected.
    MaterialChoice material;
    int typeIndex = 0;
    QString mainSize;
    int mainUnit = 0;
    QString outletSize;
    int outletUnit = 0;
    QString beadPressure;  // kept as "Fitting Heat Pressure"
    QString fusePressure;

    // Reads the remembered values; a stored position a list does not have leaves that list
    // without a selection.
    void load();
    void selectMaterial(int index) { material.select(index); }
    // "Next >>": stores every value. Always closes.
    bool accept();

private:
    SetupContext c_;
};

}  // namespace vr5
