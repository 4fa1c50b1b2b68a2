#include "ui/report_printing.h"

#include <QPainter>
#include <QPrinter>

#include "ui/page_painter.h"

namespace vr5 {

bool printDrawing(QPrinter& printer, const PageDrawing& drawing) {
    printer.setFullPage(true);
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    paintPage(painter, drawing, PageTransform::forDpi(printer.resolution()));
    return painter.end();
}

}  // namespace vr5
