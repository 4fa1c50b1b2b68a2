#pragma once

#include "settings/settings_store.h"

// Every value the program keeps in the settings store. Readers pass their own defaults.
namespace vr5::keys {

inline constexpr const char* kSettings = "Settings";
inline constexpr const char* kLogData = "Log Data";
inline constexpr const char* kRecentFileList = "Recent File List";

// Program settings.
inline constexpr IntKey ComPort{kSettings, "COM Port"};
inline constexpr IntKey PressUnitInx{kSettings, "Press Unit Inx"};
inline constexpr IntKey TempUnitInx{kSettings, "Temp Unit Inx"};
inline constexpr IntKey TempOffset{kSettings, "Temp Offset"};
inline constexpr IntKey DemoMode{kSettings, "Demo Mode"};
inline constexpr IntKey DemoPsi1{kSettings, "Demo PSI 1"};
inline constexpr IntKey DemoPsi2{kSettings, "Demo PSI 2"};
inline constexpr IntKey DemoPsi3{kSettings, "Demo PSI 3"};
inline constexpr IntKey DemoPsi4{kSettings, "Demo PSI 4"};
inline constexpr IntKey DemoPsiInx{kSettings, "Demo PSI Inx"};
inline constexpr IntKey PreviewPages{kSettings, "PreviewPages"};
// The fusion procedure joints are evaluated against (its ID), chosen in the evaluation view.
inline constexpr StringKey EvaluationProcedure{kSettings, "Evaluation Procedure"};
// How large the report page shows, in percent of its true size (50..400).
inline constexpr IntKey ZoomPercent{kSettings, "Zoom Percent"};
// The joint archive: a file path or postgresql://user@host:port/database (VR5XP_ARCHIVE wins);
// empty is the SQLite file in the application-data folder. Never a password.
inline constexpr StringKey ArchiveLocation{kSettings, "Archive Location"};
// Every download is archived as it is stored (1, the default) or not (0).
inline constexpr IntKey ArchiveDownloads{kSettings, "Archive Downloads"};
// The live guide beside Log/Status, and whether its cues sound.
inline constexpr IntKey GuideShown{kSettings, "Guide"};
inline constexpr IntKey GuideSound{kSettings, "Guide Sound"};

// The heater temperature offset, -200..200 degrees of the temperature unit. A value outside
// (a settings file edited by hand) counts as no offset.
inline constexpr int kTempOffsetLimit = 200;
inline int readTempOffset(const SettingsStore& settings) {
    const int offset = settings.read(TempOffset, 0);
    return offset >= -kTempOffsetLimit && offset <= kTempOffsetLimit ? offset : 0;
}

// The demo pressure of phase 1..4 ("Demo PSI %d").
inline constexpr IntKey demoPsi(int phase) {
    constexpr IntKey all[] = {DemoPsi1, DemoPsi2, DemoPsi3, DemoPsi4};
    return all[(phase >= 1 && phase <= 4) ? phase - 1 : 0];
}

// The last joint's set-up values.
inline constexpr StringKey MachineId{kLogData, "Machine ID"};
inline constexpr IntKey MachineModelInx{kLogData, "Machine Model Inx"};
inline constexpr StringKey MachineModelText{kLogData, "Machine Model Text"};
inline constexpr StringKey PistonArea{kLogData, "Piston Area"};
inline constexpr IntKey PistonAreaUnit{kLogData, "Piston Area Unit"};
inline constexpr StringKey EmployeeId{kLogData, "Employee ID"};
inline constexpr StringKey JobNumber{kLogData, "Job Number"};
inline constexpr IntKey JointNumber{kLogData, "Joint Number"};
inline constexpr IntKey PipeMaterialInx{kLogData, "Pipe Material Inx"};
inline constexpr StringKey PipeMaterialText{kLogData, "Pipe Material Text"};
inline constexpr StringKey PipeSize{kLogData, "Pipe Size"};
inline constexpr IntKey PipeSizeUnit{kLogData, "Pipe Size Unit"};
inline constexpr StringKey WallThickness{kLogData, "Wall Thickness"};
inline constexpr IntKey WallThicknessUnit{kLogData, "Wall Thickness Unit"};
inline constexpr StringKey PipeAreaInch{kLogData, "Pipe Area (inch)"};
inline constexpr StringKey PipeAreaZx{kLogData, "Pipe Area (ZX)"};
inline constexpr IntKey PipeAreaZxUnitInx{kLogData, "Pipe Area (ZX) Unit Inx"};
inline constexpr StringKey HeatIfp{kLogData, "Heat IFP"};
inline constexpr StringKey SoakIfp{kLogData, "Soak IFP"};
inline constexpr StringKey FuseIfp{kLogData, "Fuse IFP"};
inline constexpr StringKey CoolIfp{kLogData, "Cool IFP"};
inline constexpr IntKey FittingType{kLogData, "Fitting Type"};
inline constexpr StringKey FittingMainSize{kLogData, "Fitting Main Size"};
inline constexpr StringKey FittingOutletSize{kLogData, "Fitting Outlet Size"};
inline constexpr IntKey FittingMainUnit{kLogData, "Fitting Main Unit"};
inline constexpr IntKey FittingOutletUnit{kLogData, "Fitting Outlet Unit"};
inline constexpr StringKey FittingHeatPressure{kLogData, "Fitting Heat Pressure"};
inline constexpr StringKey FittingFusePressure{kLogData, "Fitting Fuse Pressure"};
inline constexpr StringKey DragPressure{kLogData, "Drag Pressure"};
inline constexpr StringKey RecHeat{kLogData, "Rec Heat"};
inline constexpr StringKey RecSoak{kLogData, "Rec Soak"};
inline constexpr StringKey RecFuse{kLogData, "Rec Fuse"};
inline constexpr StringKey RecCool{kLogData, "Rec Cool"};
inline constexpr StringKey ExtHtrTemp{kLogData, "Ext Htr Temp"};
inline constexpr StringKey HtrTemp{kLogData, "Htr Temp"};
inline constexpr StringKey Notes{kLogData, "Notes"};
inline constexpr StringKey Gps{kLogData, "GPS"};
inline constexpr IntKey ParameterEntered{kLogData, "Parameter Entered"};

// The four most recently opened files, most recent first ("File1" .. "File4").
inline constexpr int kRecentFileCount = 4;
inline constexpr StringKey RecentFile1{kRecentFileList, "File1"};
inline constexpr StringKey RecentFile2{kRecentFileList, "File2"};
inline constexpr StringKey RecentFile3{kRecentFileList, "File3"};
inline constexpr StringKey RecentFile4{kRecentFileList, "File4"};
inline constexpr StringKey recentFile(int i) {
    constexpr StringKey all[] = {RecentFile1, RecentFile2, RecentFile3, RecentFile4};
    return all[(i >= 0 && i < kRecentFileCount) ? i : 0];
}

}  // namespace vr5::keys
