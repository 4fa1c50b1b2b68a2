#pragma once

#include <QString>

#include "setup/setup_context.h"

namespace vr5 {

// The material choice the Pipe and Fitting pages share: a list position and, for "Unlisted",
// the material the operator typed.
struct MaterialChoice {
    static constexpr int kTextLength = 20;

    int index = 0;
    QString text;  // typed for "Unlisted"

    // Reads "Pipe Material Inx" (a position outside the list is the first material) and, for
    // "Unlisted", "Pipe Material Text".
    void load(const SettingsStore& settings);
    // The operator picked another material: the typed text is emptied.
    void select(int listIndex);
    bool unlisted() const;
    // Stores "Pipe Material Inx", then "Pipe Material Text": the typed text for "Unlisted",
    // else the material's name.
    void store(SettingsStore& settings) const;
};

// The Pipe page: material, size, wall and the four interfacial pressures of a pipe-to-pipe
// joint, from which the fusion area follows.
class PipePage {
public:
    static constexpr const char* kCaption = "Pipe";
    static constexpr int kMaterialTextLength = MaterialChoice::kTextLength;
    static constexpr int kWallLength = 5;
    static constexpr int kIfpLength = 5;

    static constexpr const char* kInvalidSize = "Invalid Pipe size!";
    static constexpr const char* kInvalidWall = "Invalid wall thickness!";
    static constexpr const char* kCheckSizeAndWall = "Please check Pipe Size and wall thickness";
    static constexpr const char* kPipeAreaErrorCaption = "Pipe Area Error";
    static constexpr const char* kInvalidArea = "Invalid Pipe Area!!  Could not proceed.";
    static constexpr const char* kErrorCaption = "Error";
    static constexpr const char* kUnknownAreaCaption = "Pipe Area: ??";
    // The four interfacial pressure boxes as a refusal names them, in the order bead, soak,
    // fuse, cool.
    static constexpr const char* kPressureFields[4] = {"Bead pressure", "Soak pressure",
                                                       "Fuse pressure", "Cool pressure"};

    explicit PipePage(SetupContext context) : c_(context) {}

    // The page's values; the dialog shows them and puts the operator's entries back before
    // accept().
    MaterialChoice material;
    QString size;
    int sizeUnit = 0;  // size system, -1 when nothing in the list is selected
    QString wall;
    int wallUnit = 0;  // wall kind, -1 when nothing in the list is selected
    QString heatIfp, soakIfp, fuseIfp, coolIfp;
    // After a refused "Next >>": the interfacial pressure (0 bead .. 3 cool) that is no number,
    // else -1.
    int refusedPressure = -1;

    // Reads the remembered values. A stored size or wall unit the list does not have leaves
    // its list without a selection.
    void load();
    void selectMaterial(int index) { material.select(index); }

    // Outside diameter in inches, or 0 after telling the operator the size is invalid.
    double ComputeOutsideDiameter();
    // Fusion area in square inches, or 0 after telling the operator what is wrong.
    double ComputePipeArea();

    // "Next >>": with a valid area and interfacial pressures that are numbers or left empty,
    // stores the area and the page's values and closes; otherwise says what is wrong, stores
    // nothing and keeps the page open.
    bool accept();

    // The Pipe Area button: offered for direct-area machines only; its caption shows the typed
    // area once there is one.
    bool showsPipeAreaButton() const;
    QString pipeAreaButtonCaption() const;

private:
    void error(const char* text, const char* caption);

    SetupContext c_;
};

}  // namespace vr5
