#pragma once

#include "page/page_drawing.h"

class QPrinter;

namespace vr5 {

// Prints one page at true size, measured from the paper's top-left corner. Returns false when
// the printer could not be started.
bool printDrawing(QPrinter& printer, const PageDrawing& drawing);

}  // namespace vr5
