#pragma once

#include <QPageLayout>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "evaluation/job_summary.h"
#include "page/page_drawing.h"

class QPagedPaintDevice;

namespace vr5 {

// The page of one file as it prints: a joint report, a calibration certificate, or, for a file
// that cannot be read, a page that says so (`problem` then tells why; empty otherwise).
struct FilePage {
    PageDrawing drawing;
    QString problem;
};
FilePage buildFilePage(const QString& path, Medium medium, int searchRangePercent = 100);

// A page that says a file could not be printed, and why.
PageDrawing unreadableFilePage(const QString& path, const QString& why);

// Told before each file's page is built, with its place in the list; false stops the job.
using PrintProgress = FileProgress;

enum class PrintResult {
    Printed,
    Stopped,  // `progress` stopped it; a printer's job was aborted
    Failed,   // the device could not be started or take another page
};

// Prints the files in order, one page each, on a printer or a PDF writer at `dpi`. A file that
// cannot be read gets a page that says so and the job goes on; `problems` gets one line for
// each.
PrintResult printFiles(QPagedPaintDevice& device, double dpi, const QStringList& paths,
                       Medium medium, QStringList* problems, int searchRangePercent = 100,
                       const PrintProgress& progress = {});

// The files as one PDF, a page each, written whole or not at all, on letter paper unless
// `paper` gives another size and orientation (its margins are not used: pages print at true
// size from the paper's corner). False with `error` set when the PDF could not be written, false
// with `error` empty when `progress` stopped it; unreadable files only add to `problems`.
bool writeFilesPdf(const QStringList& paths, const QString& output, QStringList* problems,
                   QString* error, int searchRangePercent = 100, const PrintProgress& progress = {},
                   const std::optional<QPageLayout>& paper = std::nullopt);

}  // namespace vr5
