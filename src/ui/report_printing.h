#pragma once

#include "page/page_drawing.h"

class QPrinter;
class QPrintPreviewDialog;
class QString;

namespace vr5 {

// Prints one page at true size, measured from the paper's top-left corner. Returns false when
// the printer could not be started.
bool printDrawing(QPrinter& printer, const PageDrawing& drawing);

// Prints one page where a print dialog sent it: a PDF file is written whole or not at all (and
// never over a report or calibration file), on the paper chosen; a printer prints as above.
// False with `error` saying why.
bool printChosen(QPrinter& printer, const PageDrawing& drawing, const QString& title,
                 QString* error);

// Makes a print preview large enough to read: most of the screen, the page as wide as the window.
void fitPreviewToRead(QPrintPreviewDialog& preview);

}  // namespace vr5
