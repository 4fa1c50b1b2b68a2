#include "setup/pipe_page.h"

#include <cmath>

#include "settings/settings_keys.h"
#include "setup/machine_catalogue.h"
#include "setup/number_entry.h"
#include "setup/pipe_area_page.h"
#include "setup/pipe_catalogue.h"
#include "setup/typed_text.h"
#include "text/machine_tests.h"
#include "text/number_text.h"

namespace vr5 {

namespace {

// A stored list position the list does not have means no selection.
int listPosition(int stored, qsizetype listSize) {
    return stored >= 0 && stored < listSize ? stored : -1;
}

// "Pipe Area (inch)" as the gauge calculation reads it.
QString areaText(double area) {
    return QString::asprintf("%.6f", area);
}

}  // namespace

void MaterialChoice::load(const SettingsStore& settings) {
    index = settings.read(keys::PipeMaterialInx, 0);
    if (index < 0 || index > unlistedMaterialIndex()) index = 0;
    text = unlisted() ? settings.read(keys::PipeMaterialText) : QString();
}

void MaterialChoice::select(int listIndex) {
    index = listIndex;
    text.clear();
}

bool MaterialChoice::unlisted() const {
    return index == unlistedMaterialIndex();
}

void MaterialChoice::store(SettingsStore& settings) const {
    const QString name =
        unlisted() ? oneLine(leftWhole(text, kTextLength)) : pipeMaterials().value(index);
    settings.write(keys::PipeMaterialInx, index);
    settings.write(keys::PipeMaterialText, storedText(name));
}

void PipePage::load() {
    material.load(c_.settings);
    size = c_.settings.read(keys::PipeSize);
    sizeUnit = listPosition(c_.settings.read(keys::PipeSizeUnit, 0), sizeSystemTexts().size());
    wall = c_.settings.read(keys::WallThickness);
    wallUnit = listPosition(c_.settings.read(keys::WallThicknessUnit, 0), wallKindTexts().size());
    heatIfp = c_.settings.read(keys::HeatIfp);
    soakIfp = c_.settings.read(keys::SoakIfp);
    fuseIfp = c_.settings.read(keys::FuseIfp);
    coolIfp = c_.settings.read(keys::CoolIfp);
}

void PipePage::error(const char* text, const char* caption) {
    c_.prompter.show(QString::fromLatin1(text), QString::fromLatin1(caption),
                     Prompter::Icon::Error);
}

double PipePage::ComputeOutsideDiameter() {
    const double od = outsideDiameter(readLeadingNumber(size), sizeUnit);
    if (!(od > 0) || !std::isfinite(od)) {
        error(kInvalidSize, kErrorCaption);
        return 0;
    }
    return od;
}

double PipePage::ComputePipeArea() {
    const double od = ComputeOutsideDiameter();
    if (od == 0) return 0;
    const double w = readLeadingNumber(leftWhole(wall, kWallLength));
    if (!(w > 0)) {
        error(kInvalidWall, kErrorCaption);
        return 0;
    }
    const double t = wallThickness(od, w, wallUnit);
    const double area = annulusArea(od, t);
    // A wall of half the outside diameter or more leaves no bore: that is no pipe, whatever
    // the formula gives. Neither is one whose area overflows, or is too small to be stored as
    // anything but 0.
    const double insideDiameter = od - 2 * t;
    if (!(insideDiameter > 0) || !std::isfinite(area) || !(readLeadingNumber(areaText(area)) > 0)) {
        error(kCheckSizeAndWall, kPipeAreaErrorCaption);
        return 0;
    }
    return area;
}

bool PipePage::accept() {
    refusedPressure = -1;
    const double area = ComputePipeArea();
    if (!(area > 0)) {
        error(kInvalidArea, kErrorCaption);
        return false;
    }
    // A pressure with a typo in front ("x75") would read as 0 and recommend the drag pressure
    // alone; one left empty shows as no gauge pressure, which the operator can see.
    const QString* pressures[4] = {&heatIfp, &soakIfp, &fuseIfp, &coolIfp};
    for (int i = 0; i < 4; ++i) {
        if (!checkNumber(c_, kPressureFields[i], storedLine(*pressures[i], kIfpLength))) {
            refusedPressure = i;
            return false;
        }
    }
    c_.settings.write(keys::PipeAreaInch, areaText(area));
    material.store(c_.settings);
    c_.settings.write(keys::PipeSize, storedLine(size));
    c_.settings.write(keys::PipeSizeUnit, sizeUnit);
    c_.settings.write(keys::WallThickness, storedLine(wall, kWallLength));
    c_.settings.write(keys::WallThicknessUnit, wallUnit);
    c_.settings.write(keys::HeatIfp, storedLine(heatIfp, kIfpLength));
    c_.settings.write(keys::SoakIfp, storedLine(soakIfp, kIfpLength));
    c_.settings.write(keys::FuseIfp, storedLine(fuseIfp, kIfpLength));
    c_.settings.write(keys::CoolIfp, storedLine(coolIfp, kIfpLength));
    return true;
}

bool PipePage::showsPipeAreaButton() const {
    return IsDirectAreaMachine(c_.state.currentMachineModelText);
}

QString PipePage::pipeAreaButtonCaption() const {
    const QString area = c_.settings.read(keys::PipeAreaZx);
    if (area.isEmpty()) return QString::fromLatin1(kUnknownAreaCaption);
    const int unit = PipeAreaPage::storedUnitIndex(c_.settings);
    return QStringLiteral("Pipe Area: ") + area + u' ' + areaUnitTexts()[unit];
}

}  // namespace vr5
