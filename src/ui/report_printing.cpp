#include "ui/report_printing.h"

#include <QPainter>
#include <QPrinter>

#include "ui/page_output.h"
#include "ui/page_painter.h"

namespace vr5 {

bool printDrawing(QPrinter& printer, const PageDrawing& drawing) {
    printer.setFullPage(true);
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    paintPage(painter, drawing, PageTransform::forDpi(printer.resolution()));
    return painter.end();
}

bool printChosen(QPrinter& printer, const PageDrawing& drawing, const QString& title,
                 QString* error) {
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
        return writePdfFile(drawing, printer.outputFileName(), title, error, printer.pageLayout());
    }
    if (printDrawing(printer, drawing) && printer.printerState() != QPrinter::Error) return true;
    if (error) *error = QStringLiteral("The printer could not be started.");
    return false;
}

}  // namespace vr5
