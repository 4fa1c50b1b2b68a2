#include "ui/report_printing.h"

#include <QAction>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QScreen>

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

void fitPreviewToRead(QPrintPreviewDialog& preview) {
    // The toolkit opens its preview small, with the whole page shrunk into it.
    const QScreen* screen = preview.screen();
    if (screen) {
        const QSize room = screen->availableSize();
        preview.resize(room.width() * 3 / 4, room.height() * 9 / 10);
    }
    // The preview's own Fit Width button, so that the button shows as chosen; failing that, the
    // preview itself.
    if (auto* fitWidth = preview.findChild<QAction*>(QStringLiteral("fitWidthAction"))) {
        fitWidth->trigger();
    } else if (auto* widget = preview.findChild<QPrintPreviewWidget*>()) {
        widget->fitToWidth();
    }
}

}  // namespace vr5
