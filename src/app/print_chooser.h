#pragma once

#include "app/command_line.h"

namespace vr5 {

// The desktop's "Print to...": the report or certificate opens, the print dialog chooses the
// printer (or a PDF file), the page prints and the program ends. Messages appear in boxes, as
// there is no terminal to read them. Returns the exit status: 0 printed or cancelled, 2 the
// file could not be read or the PDF chosen could not be written, 3 it is damaged (what could be
// read was printed), 4 the printer could not be started.
int runPrintChooser(const CommandLine& command);

}  // namespace vr5
