#pragma once

#include <QDir>
#include <QString>

#include "page/page_drawing.h"
#include "report/joint_record.h"

namespace vr5 {

// The stretch of a report that the Analyzer shows instead of the normal page.
struct AnalyzerView {
    bool active = false;
    int point1 = 1;  // 1-based sample numbers
    int point2 = 1;
    QString readout;  // the heater-removal plot's title while the Analyzer is open
};

inline constexpr PageRect kHeaderBox{500, -600, 8000, -3100};
PageRect plotBox(int k);  // k = 0, 1, 2

// Pens of the two media.
Pen gridPen(Medium medium);
Pen curvePen(Medium medium);
inline constexpr Pen kBoxPen{kBlack, 0};
inline constexpr Pen kMarkerPen{rgb(10, 10, 250), 2};
inline constexpr Pen kAnalyzerPen{rgb(250, 10, 10), 2};
inline constexpr Rgb kWatermarkColor = rgb(220, 220, 220);

// The report's path as the page shows it: with the separators of the system the program runs on
// (a back slash on Windows), and only the file name when the path is longer than 120 characters.
QString pathLineText(const QString& path, QChar separator = QDir::separator());

// What the page of a damaged report says beside its path line, so that a printout of what could
// be read never passes for the whole record.
inline constexpr const char* kDamagedReportNotice =
    "Damaged report: only part of the record could be read";

// The path line of a report's page, and the damaged notice right of it (ending at the header
// box's right edge) when the report is damaged; the path then ends before the notice.
void addPathLine(PageDrawing& page, const JointRecord& rec, const QString& path,
                 const PageMetrics& m);

// The identification line at the foot of every page: program, version and maker.
QString identificationLine();

// The summary plot of the whole record, as the report page draws it, in the plot area of `box`
// (frame, unit, title, grid, labels, curve and heater-removal marker; not the box itself). Its
// geometry comes with it in `plots`.
PageDrawing buildSummaryPlot(const JointRecord& rec, const PageRect& box, const PageMetrics& m,
                             Medium medium);

// Where time `ticks` lies across a plot drawn with geometry `g`.
int plotTimeX(const PlotGeometry& g, int ticks);
// Where a pressure (psi) lies up a plot drawn with geometry `g`, kept inside the frame.
int plotPressureY(const PlotGeometry& g, double psi);

// The report page of a decoded report. `path` is the report's full path as shown on the page.
PageDrawing buildReportPage(const JointRecord& rec, const QString& path, const PageMetrics& m,
                            Medium medium, const AnalyzerView& analyzer = {});

}  // namespace vr5
