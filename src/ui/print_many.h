#pragma once

#include <QPageLayout>
#include <QPageRanges>
#include <QPrinter>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "evaluation/job_summary.h"
#include "page/page_drawing.h"
#include "prompter.h"

class QPagedPaintDevice;
class QWidget;

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

// The files of a Print Many job that a print dialog's pages pick: page N is the N-th file of the
// list. All pages (or anything but a page range): every file. A range past the end of the list
// keeps what exists of it; none of it existing leaves nothing.
QStringList filesInPageRange(const QStringList& paths, QPrinter::PrintRange range,
                             const QPageRanges& pages);
// What the operator is told when the pages asked for pick none of the files.
QString noFilesInPageRange(const QPageRanges& pages, qsizetype fileCount);

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

// A Print Many job after its printer dialog: the files, a page each, on the printer or in the PDF
// file the dialog chose, with a progress dialog over `parent`. A job that failed or was stopped
// has been reported through `prompter` and is not `printed`; one that went through carries what
// the operator is told at its end (nothing for a clean job on paper).
struct PrintManyOutcome {
    bool printed = false;
    QString message;
    Prompter::Icon icon = Prompter::Icon::Information;
};
PrintManyOutcome runPrintManyJob(QPrinter& printer, const QStringList& files, QWidget* parent,
                                 Prompter& prompter);

// What the operator is told when Print Many has written a PDF file: where it is, how many pages,
// and the files whose pages only say that they could not be read.
QString printManyPdfMessage(const QString& output, qsizetype pages, const QStringList& problems);

}  // namespace vr5
