#pragma once

#include "page/page_drawing.h"
#include "report/calibration_record.h"

namespace vr5 {

inline constexpr Rgb kCertificateBlue = rgb(0, 0, 255);  // values, targets, "Passed"
inline constexpr Rgb kCertificateRed = rgb(255, 0, 0);   // "Failed"
inline constexpr Rgb kLogoGreen = rgb(0, 150, 0);
inline constexpr Pen kCertificatePen{kBlack, 10};
inline constexpr PageRect kCertificateFrame{1000, -1000, 7500, -10000};

inline constexpr const char* kPassed = "Passed";
inline constexpr const char* kFailed = "Failed";

// The height of a line of text in a font role, in page units: the cell of the face (ascent
// plus descent, no leading) at the role's size.
int certificateTextHeight(FontRole role);

// The certificate a calibration file prints as: one letter page with the logger's and the
// calibration's identification, the temperature and pressure checks, the station's summary and
// the certification statement. The screen and paper differ only in the faces of three lines.
// Texts from the file are cut to their columns, and the summary shows the lines that fit above
// the statement, which never moves onto the logo.
PageDrawing buildCertificatePage(const CalibrationRecord& rec, const PageMetrics& m, Medium medium);

// "2012/05/01 10:30 (Next calibration due: 2013/05/01)": a year after the calibration date.
QString dateWithNextDue(const QString& calibrationDate);

}  // namespace vr5
