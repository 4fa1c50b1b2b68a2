#pragma once

// The report's own texts, kept in one place. Labels starting "%2d. " take the line number.
namespace vr5::str {

inline constexpr const char* kDateTime = "%2d. Date/Time";
inline constexpr const char* kJointNumber = "%2d. Joint Number";
inline constexpr const char* kJobNumber = "%2d. Job Number";
inline constexpr const char* kEmployeeId = "%2d. Employee ID";
inline constexpr const char* kMachineId = "%2d. Machine ID";
inline constexpr const char* kMachModel = "%2d. Mach. Model";
inline constexpr const char* kPistonArea = "%2d. Piston Area";
inline constexpr const char* kPipeMaterial = "%2d. Pipe Material";
inline constexpr const char* kFittingType = "%2d. Fitting Type";
inline constexpr const char* kPipeSize = "%2d. Pipe Size";
inline constexpr const char* kPipeArea = "%2d. Pipe Area";
inline constexpr const char* kPressuresHeading = "Pressures (";
inline constexpr const char* kBead = "%2d. Bead";
inline constexpr const char* kSoak = "%2d. Soak";
inline constexpr const char* kFuse = "%2d. Fuse";
inline constexpr const char* kCool = "%2d. Cool";
inline constexpr const char* kRecordedDataMech = "Recorded Data:";
inline constexpr const char* kFittingLabelHeading = "Rec. Forces from Fitting Label:";
inline constexpr const char* kInterfacialHeading = "Interfacial Pressures (";
inline constexpr const char* kRecommendedHeading = "Recommended Gauge Pressures (";
inline constexpr const char* kRecordedData = "Recorded Data:";
inline constexpr const char* kDragPressure = "%2d. Drag Pressure: ";
inline constexpr const char* kFusilogProbe = "%2d. Fusilog Probe";
inline constexpr const char* kExternalProbe = "%2d. External Probe";
inline constexpr const char* kNotes = "%2d. Notes:";
// The model value that marks the mechanical machine.
inline constexpr const char* kMechanicalModelValue = ": ZG";

// The report page.
inline constexpr const char* kDemo = "Demo";
inline constexpr const char* kPageTitle = "Tarnell Joint Report (VR5)";
inline constexpr const char* kFrontEndPlot = "Front-end Plot (%d%% search range)";
inline constexpr const char* kHeaterRemovalPlot = "Heater Removal Plot (location estimated)";
inline constexpr const char* kSummaryPlot = "Summary Plot (%d data points)";
inline constexpr const char* kFirstTimeLabel = "0.00.00.0";

// Loading a report.
inline constexpr const char* kNoFileName = "No file name given";

}  // namespace vr5::str
